#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "platform/Clock.h"
#include "platform/Prompts.h"
#include "platform/StopFlag.h"

namespace qv {

// What long work (the hashing job, history loading and saving, bulk commands) needs of
// whoever runs it: the window fills this once, the terminal mode once, tests with what they
// watch. Every callback may be left empty.
struct WorkHooks {
    std::function<void(const std::string&)> status;        // the status line
    std::function<void(const std::string&)> title;         // the application title
    std::function<void(const std::string&)> fileLabel;     // the file progress caption
    std::function<void(const std::string&)> busyComment;   // the busy display comment
    // true: busy display up (batch bar hidden, its caption emptied, main menu removed);
    // false: busy display down, main menu back, window laid out again.
    std::function<void(bool)> busyPanel;
    std::function<void(int64_t)> progressMax;               // file progress bar: range 0..max, at 0
    std::function<void(int64_t)> progressPos;
    std::function<void()> pump;                             // let the window process messages
    std::function<void()> bringToFront;
    Prompts* prompts = nullptr;
    const Clock* clock = nullptr;                           // nullptr: the system clock
    StopFlag* stop = nullptr;                               // nullptr: never stopped
    uint32_t refreshPeriod = 100;                           // milliseconds between refreshes

    void Status(const std::string& text) const { if (status) status(text); }
    void Title(const std::string& text) const { if (title) title(text); }
    void FileLabel(const std::string& text) const { if (fileLabel) fileLabel(text); }
    void BusyComment(const std::string& text) const { if (busyComment) busyComment(text); }
    void BusyPanel(bool shown) const { if (busyPanel) busyPanel(shown); }
    void ProgressMax(int64_t max) const { if (progressMax) progressMax(max); }
    void ProgressPos(int64_t pos) const { if (progressPos) progressPos(pos); }
    void Pump() const { if (pump) pump(); }
    void BringToFront() const { if (bringToFront) bringToFront(); }

    bool StopRequested() const { return stop && stop->Requested(); }
    void ClearStop() const { if (stop) stop->Clear(); }

    const Clock& TheClock() const { return clock ? *clock : SystemClock::Instance(); }
    double Now() const { return TheClock().Now(); }

    // Refresh ticks: elapsed time is measured unsigned, so the tick counter may wrap.
    bool RefreshDue() const
    {
        return refreshNow_ || TheClock().Tick() - scheduledAt_ >= refreshPeriod;
    }
    void ScheduleRefresh()
    {
        scheduledAt_ = TheClock().Tick();
        refreshNow_ = false;
    }
    void RefreshAtOnce() { refreshNow_ = true; }

private:
    uint32_t scheduledAt_ = 0;
    bool refreshNow_ = true;
};

}  // namespace qv
