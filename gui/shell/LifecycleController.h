#pragma once
#include <string>

#include "history/HistoryPersistence.h"
#include "settings/SettingsFile.h"

namespace qv {

class MainWindow;
class SignalBridge;

// Start-up and shut-down in their fixed order: creation, first activation (history load and
// queued files), close question, history save, settings written at destruction.
class LifecycleController {
public:
    explicit LifecycleController(MainWindow& window);
    ~LifecycleController();

    void FormCreate();
    void FormActivate();
    void Exit1Click();
    // false: the close is refused.
    bool FormCloseQuery();
    void FormClose();
    void FormDestroy();

    // SIGTERM/SIGINT/SIGHUP: cancel what runs, give any open box its most cautious answer,
    // then close without questions.
    void TerminateBySignal();

    bool startingUp() const;
    bool closing() const { return closed_; }
    bool closeAccepted = false;
    bool saveSettings = true;
    bool closeBySignal = false;
    HistoryFileState historyState;
    SettingsFileStamp settingsStamp;

private:
    void FirstActivation();
    HistoryOptions Options() const;
    void LoadHistoryAtStart();
    void SaveHistoryAtExit();
    void TryPendingClose();

    MainWindow& w_;
    SignalBridge* signals_ = nullptr;
    bool activatedOnce_ = false;
    bool closed_ = false;
};

}  // namespace qv
