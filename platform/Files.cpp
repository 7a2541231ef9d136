#include "platform/Files.h"

#include "platform/AtomicWriter.h"
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

int OpenRegularFile(const std::string& path, int& errorCode)
{
    errorCode = 0;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        errorCode = errno;
        return -1;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        // A device or pipe may never end: only regular files are read.
        errorCode = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
        ::close(fd);
        return -1;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

bool ReadWholeFile(const std::string& path, std::string& bytes, std::string& errorText)
{
    bytes.clear();
    errorText.clear();
    int code = 0;
    const int fd = OpenRegularFile(path, code);
    if (fd < 0) {
        errorText = PlatformErrorText(code);
        return false;
    }
    struct stat st {};
    if (::fstat(fd, &st) == 0 && st.st_size > 0) bytes.reserve(static_cast<size_t>(st.st_size));
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

bool KeepFileAs(const std::string& path, const std::string& newName, int& errorCode)
{
    errorCode = 0;
    if (::link(path.c_str(), newName.c_str()) == 0) return true;
    if (errno == EEXIST || errno == ENOENT) {
        errorCode = errno;
        return false;
    }
    // A file system without hard links: copy, never over an existing file.
    const int in = OpenRegularFile(path, errorCode);
    if (in < 0) return false;
    const int out = ::open(newName.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (out < 0) errorCode = errno;
    char buffer[65536];
    while (out >= 0 && errorCode == 0) {
        const ssize_t n = ::read(in, buffer, sizeof buffer);
        if (n == 0) break;
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 || !WriteAll(out, std::string_view(buffer, static_cast<size_t>(n)))) errorCode = errno;
    }
    if (out >= 0 && errorCode == 0 && ::fsync(out) != 0) errorCode = errno;
    if (out >= 0 && ::close(out) != 0 && errorCode == 0) errorCode = errno;
    ::close(in);
    if (out >= 0 && errorCode != 0) ::unlink(newName.c_str());
    return errorCode == 0;
}

bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string& errorText)
{
    AtomicWriter writer(path);
    const bool ok = writer.Open() && writer.Write(bytes) && writer.Commit();
    errorText = ok ? std::string() : PlatformErrorText(writer.ErrorCode());
    return ok;
}

}  // namespace qv
