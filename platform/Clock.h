#pragma once
#include <cstdint>

namespace qv {

// Source of "now" and the millisecond tick; tests replace it to fix the time.
class Clock {
public:
    virtual ~Clock() = default;
    virtual double Now() const = 0;        // local date-time value
    virtual uint32_t Tick() const = 0;     // milliseconds, monotonic
};

class SystemClock final : public Clock {
public:
    double Now() const override;
    uint32_t Tick() const override;
    static SystemClock& Instance();
};

// A clock that stands still until told otherwise.
class ManualClock final : public Clock {
public:
    explicit ManualClock(double now = 0.0, uint32_t tick = 0) : now_(now), tick_(tick) {}
    double Now() const override { return now_; }
    uint32_t Tick() const override { return tick_; }
    void SetNow(double now) { now_ = now; }
    void SetTick(uint32_t tick) { tick_ = tick; }
    void Advance(uint32_t ms) { tick_ += ms; now_ += ms / 86400000.0; }
private:
    double now_;
    uint32_t tick_;
};

}  // namespace qv
