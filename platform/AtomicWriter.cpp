#include "platform/AtomicWriter.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/Paths.h"
#include "platform/Text.h"

namespace qv {
namespace {
constexpr size_t kBufferBytes = 1 << 20;

// The file a path leads to, symbolic links followed even when the last one dangles (the file
// is then created where it points). The path itself when it is no link.
std::string FinalTarget(std::string path)
{
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
        std::string link(static_cast<size_t>(st.st_size > 0 ? st.st_size : 4096) + 1, '\0');
        const ssize_t n = ::readlink(path.c_str(), link.data(), link.size());
        if (n <= 0 || static_cast<size_t>(n) >= link.size()) return path;
        link.resize(static_cast<size_t>(n));
        const std::string folder = FolderOf(path);
        path = link.front() == '/' || folder.empty() ? link : JoinPath(folder, link);
    }
    return path;   // a loop: the rename below reports it as the platform sees it
}

}  // namespace

AtomicWriter::AtomicWriter(std::string target) : target_(std::move(target)) {}

AtomicWriter::~AtomicWriter() { Discard(); }

bool AtomicWriter::Open()
{
    struct stat st {};
    const bool exists = ::stat(target_.c_str(), &st) == 0;
    if (exists && S_ISDIR(st.st_mode)) {
        error_ = EISDIR;
        return false;
    }
    // Opened as named: the system follows every link, /dev/stdout's too.
    if (exists && !S_ISREG(st.st_mode)) {
        fd_ = ::open(target_.c_str(), O_WRONLY | O_CLOEXEC | O_NONBLOCK);
        if (fd_ < 0) error_ = errno;
        else ::fcntl(fd_, F_SETFL, ::fcntl(fd_, F_GETFL) & ~O_NONBLOCK);
        buffer_.reserve(kBufferBytes);
        return fd_ >= 0;
    }
    target_ = FinalTarget(target_);
    // Still a link after following: a loop, or links too deep to be followed.
    if (::lstat(target_.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        error_ = ELOOP;
        return false;
    }
    const std::string folder = FolderOf(target_);
    // The temporary name stays within NAME_MAX however long the target's name is.
    std::string name(".");
    name.append(CutToBytes(NameOf(target_), 200)).append(".XXXXXX");
    temp_ = folder.empty() ? name : JoinPath(folder, name);
    fd_ = ::mkostemp(temp_.data(), O_CLOEXEC);
    if (fd_ < 0) {
        error_ = errno;
        temp_.clear();
        return false;
    }
    // mkostemp creates 0600; the file gets what the umask allows, as a plain create would.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd_, 0666 & ~mask);
    buffer_.reserve(kBufferBytes);
    return true;
}

bool AtomicWriter::Flush()
{
    std::string_view rest(buffer_);
    while (!rest.empty()) {
        const ssize_t n = ::write(fd_, rest.data(), rest.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            error_ = errno;
            return false;
        }
        rest.remove_prefix(static_cast<size_t>(n));
    }
    buffer_.clear();
    return true;
}

bool AtomicWriter::Write(std::string_view bytes)
{
    if (fd_ < 0 || error_ != 0) return false;
    buffer_.append(bytes);
    return buffer_.size() < kBufferBytes || Flush();
}

bool AtomicWriter::Commit()
{
    if (fd_ < 0 || error_ != 0) return false;
    if (!Flush()) return false;
    const bool direct = temp_.empty();
    // A FIFO or a terminal cannot be synced, and has nothing to lose by it.
    if (!direct && ::fsync(fd_) != 0) error_ = errno;
    if (::close(fd_) != 0 && error_ == 0) error_ = errno;
    fd_ = -1;
    if (direct || error_ != 0) return error_ == 0;
    if (::rename(temp_.c_str(), target_.c_str()) != 0) error_ = errno;
    if (error_ != 0) return false;
    temp_.clear();
    // Make the rename itself durable; a failure here no longer endangers the data.
    const std::string folder = FolderOf(target_);
    const int dirFd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return true;
}

void AtomicWriter::Discard()
{
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (!temp_.empty()) ::unlink(temp_.c_str());
    temp_.clear();
}

}  // namespace qv
