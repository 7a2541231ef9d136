#pragma once

namespace qv {

// A request to stop long work: set by the cancel button, ESC, a signal or a failed file;
// polled by the batch, the per-file job and the history work between steps.
class StopFlag {
public:
    void Request() { requested_ = true; }
    void Clear() { requested_ = false; }
    bool Requested() const { return requested_; }

private:
    bool requested_ = false;
};

}  // namespace qv
