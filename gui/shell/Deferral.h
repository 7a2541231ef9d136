#pragma once
#include <functional>
#include <utility>

namespace qv {

// Changes to a display, recorded as bits and shown by one call: at once, or while deferred
// (during a batch) at the next Flush, so that a batch of thousands of small files repaints
// once per refresh period rather than once per file.
class Deferral {
public:
    explicit Deferral(std::function<void(unsigned changed)> show) : show_(std::move(show)) {}

    void Changed(unsigned what)
    {
        pending_ |= what;
        if (!deferred_) Flush();
    }
    // Off: what was recorded is shown at once.
    void SetDeferred(bool deferred)
    {
        deferred_ = deferred;
        if (!deferred) Flush();
    }
    void Flush()
    {
        if (pending_) show_(std::exchange(pending_, 0u));
    }
    bool Pending(unsigned what) const { return (pending_ & what) != 0; }

private:
    std::function<void(unsigned)> show_;
    unsigned pending_ = 0;
    bool deferred_ = false;
};

}  // namespace qv
