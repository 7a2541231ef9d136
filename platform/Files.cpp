#include "platform/Files.h"

#include "platform/Paths.h"
#include "platform/Text.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace qv {
namespace {

bool WriteAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}

}  // namespace

std::string PlatformErrorText(int code)
{
    char buffer[256];
    // The GNU strerror_r may return a static string instead of filling the buffer.
    const char* text = strerror_r(code, buffer, sizeof buffer);
    std::string out(text ? text : "");
    while (!out.empty() && (out.back() == ' ' || out.back() == '\t' || out.back() == '\r' ||
                            out.back() == '\n' || out.back() == '.'))
        out.pop_back();
    return out;
}

bool ReadWholeFile(const std::string& path, std::string& bytes, std::string& errorText)
{
    bytes.clear();
    errorText.clear();
    // Non-blocking open so a FIFO cannot hang us; only regular files are read, since a
    // device or pipe may never end.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        errorText = PlatformErrorText(errno);
        return false;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        const int code = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
        ::close(fd);
        errorText = PlatformErrorText(code);
        return false;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    if (st.st_size > 0) bytes.reserve(static_cast<size_t>(st.st_size));
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) continue;
            errorText = PlatformErrorText(errno);
            ::close(fd);
            bytes.clear();
            return false;
        }
        if (n == 0) break;
        bytes.append(buffer, static_cast<size_t>(n));
    }
    ::close(fd);
    return true;
}

bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string& errorText)
{
    errorText.clear();
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
        errorText = PlatformErrorText(EISDIR);
        return false;
    }
    std::string folder = FolderOf(path);
    if (folder.empty()) folder.assign(1, '.');
    // The temporary name stays within NAME_MAX however long the target's name is.
    std::string tempName(1, '.');
    tempName += CutToBytes(NameOf(path), 200);
    tempName += ".XXXXXX";
    std::string temp = JoinPath(folder, tempName);
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) {
        errorText = PlatformErrorText(errno);
        return false;
    }
    // mkstemp creates 0600; a new file gets the usual permissions the umask allows.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
    int failure = 0;
    if (!WriteAll(fd, bytes)) failure = errno;
    if (failure == 0 && ::fsync(fd) != 0) failure = errno;
    if (::close(fd) != 0 && failure == 0) failure = errno;
    if (failure == 0 && ::rename(temp.c_str(), path.c_str()) != 0) failure = errno;
    if (failure != 0) {
        ::unlink(temp.c_str());
        errorText = PlatformErrorText(failure);
        return false;
    }
    // Make the rename itself durable; a failure here no longer endangers the data.
    const int dirFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return true;
}

}  // namespace qv
