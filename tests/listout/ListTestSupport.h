#pragma once
// Shared pieces of the list tests: the record of a file holding "abc", fixed times, and a
// file-size limit that makes any write fail, even for root.

#include <sys/resource.h>

#include <csignal>
#include <string>

#include "history/HistoryRecord.h"
#include "platform/DateTime.h"

namespace qv::test {

inline double At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0)
{
    CalendarFields f;
    f.year = y; f.month = mo; f.day = d;
    f.hour = h; f.minute = mi; f.second = s;
    return EncodeDateTime(f);
}

inline HistoryRecord AbcRecord(int64_t size = 3)
{
    return HistoryRecord{size, At(2024, 1, 31, 9, 5, 7), At(2024, 2, 1), "900150983CD24FB0D6963F7D28E17F72",
                         "352441C2"};
}

class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &saved_);
        struct rlimit small = saved_;
        small.rlim_cur = bytes;
        oldHandler_ = signal(SIGXFSZ, SIG_IGN);
        setrlimit(RLIMIT_FSIZE, &small);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &saved_);
        signal(SIGXFSZ, oldHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    struct rlimit saved_ {};
    void (*oldHandler_)(int) = nullptr;
};

}  // namespace qv::test
