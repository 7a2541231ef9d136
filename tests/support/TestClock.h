#pragma once
#include <atomic>
#include <ctime>

#include "platform/Clock.h"
#include "platform/DateTime.h"

namespace qv::test {

// A local date-time as a clock value.
inline double At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) { return EncodeDateTime({y, mo, d, h, mi, s, 0}); }

// A set time, and a millisecond tick that stands or moves on by `step` at each look (safe to
// look at and to move from any thread).
// Local wall-clock fields as a time_t, whatever the machine's zone.
inline time_t LocalUnix(int y, int mo, int d, int h, int mi, int s)
{
    std::tm tm{};
    tm.tm_year = y - 1900, tm.tm_mon = mo - 1, tm.tm_mday = d, tm.tm_hour = h, tm.tm_min = mi, tm.tm_sec = s;
    tm.tm_isdst = -1;
    return std::mktime(&tm);
}

class TestClock final : public Clock {
public:
    explicit TestClock(double now = 0.0) : now_(now) {}
    double Now() const override { return now_ ? now_.load() : LocalNowSystem(); }
    uint32_t Tick() const override { return tick_ += step; }
    uint32_t Peek() const { return tick_; }
    void SetNow(double now) { now_ = now; }
    void Advance(uint32_t ms)
    {
        tick_ += ms;
        if (now_) now_ = now_ + ms / 86400000.0;
    }
    std::atomic<uint32_t> step{0};

private:
    std::atomic<double> now_;   // 0: the system's
    mutable std::atomic<uint32_t> tick_{1000};
};

}  // namespace qv::test
