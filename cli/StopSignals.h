#pragma once
// SIGINT, SIGTERM, SIGHUP and SIGPIPE while a terminal command that polls for a stop runs:
// the signal is only noted, so the command ends after its current file, its printed lines are
// flushed and the history saved; then the process ends the way the signal would have ended it.

namespace qv {

class StopSignals {
public:
    StopSignals();    // catches the four signals
    ~StopSignals();   // puts the earlier actions back
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    // The first signal caught since start-up, or 0.
    static int Caught();
    // With a signal caught: its default action, unblocked, raised (the process ends with the
    // status a shell reports as 128 + n). Returns only when none was caught.
    static void EndAsCaught();
};

}  // namespace qv
