#pragma once
#include <QMainWindow>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "gui/shell/Shell.h"
#include "history/HashHistory.h"
#include "job/FileJob.h"
#include "platform/Version.h"
#include "platform/WorkHooks.h"
#include "settings/Settings.h"

class QLabel;

namespace qv {

class BrowserCommands;
class ClipViewer;
class ComparisonLoader;
class DupListCommands;
class DupListView;
class FileViewController;
class FrameTexts;
class HistoryController;
class HelpController;
class LifecycleController;
class ListOutputController;
class MatchController;
class ListFrame;
class Menus;
class PreferencesController;
class PageStack;
class ProcessingController;
class QtPrompts;
class ResultController;
class SoundController;
class SoundOutput;
class ViewController;

struct WindowOptions {
    Prompts* prompts = nullptr;          // nullptr: real dialogs
    FileDialogs* dialogs = nullptr;      // nullptr: real dialogs
    std::string dataFolder;              // "" : DataFolder()
    std::vector<std::string> arguments;  // command-line paths
    bool shiftHeld = false;              // Shift held at start: the history is not loaded
    FileJobOptions jobOptions;           // test seams of the engine
    std::function<void()> pumpHook;      // tests: runs after each message pump
    SoundOutput* soundOutput = nullptr;  // nullptr: the desktop's beep and wave playback
    std::string shippedFolder;           // "" : ShippedDataFolder(), where Media/*.WAV are
    const Clock* clock = nullptr;        // tests: the time and tick source (nullptr: the system's)
    std::string homePage = kHomePageUrl; // the help menu's page; "" : no such item
};

// The main window: builds the subsystems, hands each the narrow interfaces it needs, and
// routes the window's events to them. It holds no state of its own beyond what it builds.
class MainWindow final : public QMainWindow, private MessagePump {
    Q_OBJECT
public:
    explicit MainWindow(WindowOptions options = {});
    ~MainWindow() override;

    // The window's services, for the program entry and tests.
    const Shell& shell() const { return *shell_; }
    ResultView& result();
    LifecycleController& lifecycle() { return *lifecycle_; }
    // List output; the file view's popup hands its selection to it.
    ListOutputController& lists() { return *lists_; }
    // The drop handler, as a drop on the window reaches it.
    void DropPaths(const std::vector<std::string>& paths);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildPages();
    void BuildSubsystems();
    void ApplySettings();
    // Colours, fonts, icons and marks of every view from the settings, as a whole.
    void ApplyLook();
    WorkHooks MakeHooks();
    // MessagePump.
    void Refresh() override;
    void PollInput() override;
    void DeferDisplay(bool deferred) override;

    WindowOptions options_;
    std::unique_ptr<QtPrompts> ownPrompts_;
    std::unique_ptr<SoundOutput> ownSoundOutput_;
    Prompts* prompts_ = nullptr;
    FileDialogs* dialogs_ = nullptr;
    Settings settings_;
    HashHistory history_;
    WorkHooks jobHooks_;

    std::unique_ptr<PageStack> pages_;
    std::unique_ptr<FrameTexts> texts_;
    QLabel* initialComment_ = nullptr;
    ClipViewer* viewer_ = nullptr;   // owned by its page, like the other pages
    ListFrame* listFrame_ = nullptr;
    BusyPanel* busy_ = nullptr;

    std::unique_ptr<FileJob> job_;
    std::unique_ptr<SoundController> sounds_;
    std::unique_ptr<Menus> menus_;
    std::unique_ptr<DupListView> dupView_;
    std::unique_ptr<ResultController> results_;
    std::unique_ptr<FileViewController> fileView_;
    std::unique_ptr<ViewController> views_;
    std::unique_ptr<MatchController> matcher_;
    std::unique_ptr<ComparisonLoader> loader_;
    std::unique_ptr<ProcessingController> processing_;
    std::unique_ptr<BrowserCommands> browser_;
    std::unique_ptr<DupListCommands> dupCommands_;
    std::unique_ptr<LifecycleController> lifecycle_;
    std::unique_ptr<ListOutputController> lists_;
    std::unique_ptr<HistoryController> historyCommands_;
    std::unique_ptr<HelpController> help_;
    std::unique_ptr<PreferencesController> prefs_;
    std::optional<Shell> shell_;
    bool shownOnce_ = false;
};

}  // namespace qv
