#include "history/AtomicWriter.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/Paths.h"

namespace qv {
namespace {
constexpr size_t kBufferBytes = 1 << 20;
}

AtomicWriter::AtomicWriter(std::string target) : target_(std::move(target)) {}

AtomicWriter::~AtomicWriter() { Discard(); }

bool AtomicWriter::Open()
{
    struct stat st {};
    if (::stat(target_.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
        error_ = EISDIR;
        return false;
    }
    const std::string folder = FolderOf(target_);
    std::string name(".");
    name.append(NameOf(target_)).append(".XXXXXX");
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
    if (::fsync(fd_) != 0) error_ = errno;
    if (::close(fd_) != 0 && error_ == 0) error_ = errno;
    fd_ = -1;
    if (error_ == 0 && ::rename(temp_.c_str(), target_.c_str()) != 0) error_ = errno;
    if (error_ != 0) return false;
    temp_.clear();
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
