#pragma once
#include <functional>
#include <string>
#include <vector>

#include "gui/shell/Shell.h"
#include "history/HistoryPersistence.h"
#include "platform/WorkHooks.h"
#include "settings/SettingsFile.h"

class QMainWindow;
class QWidget;

namespace qv {

class ProcessingController;
class SignalBridge;

// Start-up and shut-down in their fixed order: creation, first activation (history load and
// queued files), close question, history save, settings written at destruction.
class LifecycleController {
public:
    struct Parts {
        QMainWindow& window;   // geometry, and the close itself
        const QWidget& widest; // the page the window is never made narrower than
        Settings& settings;
        HashHistory& history;
        Driver& driver;
        FileJob& job;
        Prompts& prompts;
        WindowFrame& frame;
        MessagePump& pump;
        BusyPanel& busy;
        FolderItems& folders;
        ProcessingController& processing;
        // The hooks history work reports through in this window.
        std::function<WorkHooks()> hooks;
        // The settings were read or changed as a whole: menus, colours and fonts follow them.
        std::function<void()> settingsApplied;
        std::string iniPath;
        std::string datPath;
        std::vector<std::string> arguments;   // command-line paths
        bool shiftHeld = false;               // Shift held at start: the history is not loaded
    };
    explicit LifecycleController(Parts parts);
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
    bool closeAccepted() const { return closeAccepted_; }
    const HistoryFileState& historyState() const { return historyState_; }
    // Import renews it, for the exit save.
    HistoryFileState& historyState() { return historyState_; }

private:
    void FirstActivation();
    HistoryOptions Options() const;
    void LoadHistoryAtStart();
    void SaveHistoryAtExit();
    void TryPendingClose();

    Parts p_;
    HistoryFileState historyState_;
    SettingsFileStamp settingsStamp_;
    SignalBridge* signals_ = nullptr;
    bool activatedOnce_ = false;
    bool closed_ = false;
    bool closeAccepted_ = false;
    bool saveSettings_ = true;
    bool closeBySignal_ = false;
};

}  // namespace qv
