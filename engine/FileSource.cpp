#include "engine/FileSource.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace qv {

uint32_t ReadOpenFlags(bool noCache)
{
    return kOpenSequential | (noCache ? kOpenNoCache : 0u);
}

PosixFileSource::~PosixFileSource() { Close(); }

int PosixFileSource::SysOpen(const char* path, int flags) { return ::open(path, flags); }

ssize_t PosixFileSource::SysPread(int fd, void* buffer, size_t length, off_t offset)
{
    return ::pread(fd, buffer, length, offset);
}

int PosixFileSource::Open(const std::string& path, uint32_t openFlags)
{
    Close();
    // Not inheritable: a program started later must not keep our read handle open.
    // Non-blocking open: a file swapped for a FIFO since it was found would otherwise wait
    // for a writer for ever; only regular files are read (checked below).
    const int base = O_RDONLY | O_CLOEXEC | O_NONBLOCK;
    direct_ = (openFlags & kOpenNoCache) != 0;
    int fd = -1;
    if (direct_) {
        fd = SysOpen(path.c_str(), base | O_DIRECT);
        if (fd < 0 && errno == EINVAL) direct_ = false;
        else if (fd < 0) return errno;
    }
    if (fd < 0) {
        fd = SysOpen(path.c_str(), base);
        if (fd < 0) return errno;
    }
    struct stat st {};
    const int statCode = ::fstat(fd, &st) != 0 ? errno : (S_ISREG(st.st_mode) ? 0 : EINVAL);
    if (statCode != 0) {
        ::close(fd);
        direct_ = false;
        return statCode;
    }
    // O_NONBLOCK may stay: reads of a regular file ignore it, and two more calls per file
    // would show in the rate of small files.
    fd_ = fd;
    position_ = 0;
    if (openFlags & kOpenSequential) ::posix_fadvise(fd_, 0, 0, POSIX_FADV_SEQUENTIAL);
    return 0;
}

int PosixFileSource::Seek(int64_t position)
{
    if (fd_ < 0) return EBADF;
    if (position < 0) return EINVAL;
    position_ = position;
    return 0;
}

int PosixFileSource::Read(void* buffer, uint32_t length, uint32_t enough, uint32_t& got)
{
    got = 0;
    if (fd_ < 0) return EBADF;
    auto* out = static_cast<unsigned char*>(buffer);
    // Stopping at `enough` spares small files the extra read that would only confirm the end.
    while (got < length && (got < enough || got == 0)) {
        const ssize_t n = SysPread(fd_, out + got, length - got, static_cast<off_t>(position_ + got));
        if (n > 0) {
            got += static_cast<uint32_t>(n);
            continue;
        }
        if (n == 0) break;  // end of file
        const int err = errno;
        if (err == EINTR) continue;
        if (err == EINVAL && direct_) {
            // The file system accepted O_DIRECT at open but refuses the read: read cached.
            const int flags = ::fcntl(fd_, F_GETFL);
            if (flags != -1 && ::fcntl(fd_, F_SETFL, flags & ~O_DIRECT) == 0) {
                direct_ = false;
                continue;
            }
        }
        got = 0;
        return err;
    }
    return 0;
}

void PosixFileSource::Close()
{
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    direct_ = false;
}

std::unique_ptr<FileSource> MakePosixFileSource() { return std::make_unique<PosixFileSource>(); }

}  // namespace qv
