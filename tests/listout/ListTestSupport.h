#pragma once
// Shared pieces of the list tests: the record of a file holding "abc", fixed times, the
// default styles, and a file-size limit that makes any write fail, even for root.

#include <sys/resource.h>

#include <csignal>

#include "history/HistoryRecord.h"
#include "listout/ListWriter.h"
#include "platform/DateTime.h"

namespace qv::test {

inline double At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0)
{
    return EncodeDateTime(CalendarFields{y, mo, d, h, mi, s, 0});
}

inline const std::string kAbcMd5 = "900150983CD24FB0D6963F7D28E17F72";

inline HistoryRecord AbcRecord(int64_t size = 3)
{
    return HistoryRecord{size, At(2024, 1, 31, 9, 5, 7), 0.0, kAbcMd5, "352441C2"};
}

inline ListStyle DefaultStyle(size_t n) { return {DefaultListFormats()[n], DefaultTimestampFormats()}; }

struct FileSizeLimit {
    explicit FileSizeLimit(rlim_t bytes) : oldHandler(signal(SIGXFSZ, SIG_IGN))
    {
        getrlimit(RLIMIT_FSIZE, &saved);
        const struct rlimit small{bytes, saved.rlim_max};
        setrlimit(RLIMIT_FSIZE, &small);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &saved);
        signal(SIGXFSZ, oldHandler);
    }
    void (*oldHandler)(int);
    struct rlimit saved {};
};

}  // namespace qv::test
