#pragma once
#include <sys/resource.h>

#include <csignal>
#include <functional>
#include <vector>

namespace qv {

// Runs body(i) for i in 0..count-1, each in a forked child of its own; the children start
// their bodies together and are killed after `seconds` if they have not ended (so a hang
// fails the test instead of blocking it). Returns each child's exit code, or 128 + the
// signal that ended it.
std::vector<int> RunInChildren(int count, const std::function<int(int)>& body, unsigned seconds = 30);

// Lowers the size a file may reach (RLIMIT_FSIZE) for this process until destroyed, with
// SIGXFSZ ignored: a write past it fails with EFBIG, as on a full disk, even for root.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        ::getrlimit(RLIMIT_FSIZE, &saved_);
        rlimit lowered = saved_;
        lowered.rlim_cur = bytes;
        handler_ = std::signal(SIGXFSZ, SIG_IGN);
        ::setrlimit(RLIMIT_FSIZE, &lowered);
    }
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, handler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit saved_{};
    void (*handler_)(int) = nullptr;
};

}  // namespace qv
