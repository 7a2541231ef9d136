#pragma once
// What the benchmarks of the real window (offscreen) share: silence for the sounds, and
// timing of steps together with the layout and painting they leave behind.
#include <QCoreApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "gui/shell/LifecycleController.h"
#include "gui/shell/MainWindow.h"
#include "gui/verify/SoundController.h"

namespace qv::bench {

class Silence final : public SoundOutput {
public:
    void Beep() override {}
    void PlayWave(const std::string&) override {}
};

inline void Wait(const std::function<bool()>& done)
{
    while (!done()) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

// The real window on a data folder of its own, silent, shown and past its start-up.
struct BenchWindow {
    explicit BenchWindow(const std::string& folder)
    {
        WindowOptions options;
        options.dataFolder = folder;
        options.shippedFolder = folder;
        options.soundOutput = &silence;
        window = std::make_unique<MainWindow>(options);
        window->resize(900, 700);
        window->show();
        Wait([this] { return !window->lifecycle().startingUp(); });
    }
    Silence silence;
    std::unique_ptr<MainWindow> window;
};

// Best and median; the note (a status line, say) is read after the runs.
inline void Report(const char* what, std::vector<double> ms, const std::function<std::string()>& note = {})
{
    std::sort(ms.begin(), ms.end());
    std::printf("%-58s best %7.1f ms   median %7.1f ms   %s\n", what, ms.front(), ms[ms.size() / 2],
                note ? note().c_str() : "");
}

// Runs step `runs` times; each figure includes the events the step leaves behind (layout, paint).
inline std::vector<double> Time(int runs, const std::function<void()>& step)
{
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        step();
        QCoreApplication::processEvents();
        ms.push_back(static_cast<double>(t.nsecsElapsed()) / 1e6);
    }
    return ms;
}

}  // namespace qv::bench
