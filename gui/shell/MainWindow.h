#pragma once
#include <QMainWindow>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "processing/Driver.h"
#include "job/FileJob.h"
#include "history/HashHistory.h"
#include "platform/WorkHooks.h"
#include "settings/Settings.h"
#include "settings/SettingsFile.h"

class QComboBox;
class QLabel;
class QStackedWidget;
class QTextEdit;
class QTreeWidget;

namespace qv {

class BusyPanel;
class FileDialogs;
class LifecycleController;
class Menus;
class ProcessingController;
class Prompts;
class QtPrompts;
class ResultController;
class ResultPanelWidget;
class ViewController;

// The four views; the ticked view item records which one is current, also while busy.
enum class View { Basic, Clip, List, Dup };

struct WindowOptions {
    Prompts* prompts = nullptr;          // nullptr: real dialogs
    FileDialogs* dialogs = nullptr;      // nullptr: real dialogs
    std::string dataFolder;              // "" : DataFolder()
    std::vector<std::string> arguments;  // command-line paths
    bool shiftHeld = false;              // Shift held at start: the history is not loaded
    FileJobOptions jobOptions;           // test seams of the engine
    std::function<void()> pumpHook;      // tests: runs after each message pump
};

// The main window: owns every piece of state for the whole run and routes its events to the
// subsystem controllers.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(WindowOptions options = {});
    ~MainWindow() override;

    // State.
    Settings settings;
    HashHistory history;
    std::unique_ptr<Driver> driver;
    std::unique_ptr<FileJob> job;
    int shownIndex = -1;   // history index of the shown file, -1 when none
    View view = View::Basic;
    bool mainPanelShown = false;
    bool busy = false;
    std::string iniPath;
    std::string datPath;

    Prompts& prompts() { return *prompts_; }
    FileDialogs& dialogs() { return *dialogs_; }
    const WindowOptions& options() const { return options_; }

    // Widgets (objectName = the component name).
    QStackedWidget* stack = nullptr;
    QLabel* initialComment = nullptr;
    ResultPanelWidget* mainPanel = nullptr;
    QTextEdit* clipViewer = nullptr;
    QWidget* fileViewBase = nullptr;
    QComboBox* folderList = nullptr;
    QTreeWidget* fileView = nullptr;
    QTreeWidget* dupList = nullptr;
    BusyPanel* busyPanel = nullptr;

    // Subsystems.
    std::unique_ptr<Menus> menus;
    std::unique_ptr<ViewController> views;
    std::unique_ptr<ProcessingController> processing;
    std::unique_ptr<ResultController> results;
    std::unique_ptr<LifecycleController> lifecycle;

    // Status line, application title, caption.
    void SetStatus(const std::string& text);
    std::string StatusText() const;
    void SetAppTitle(const std::string& text);
    std::string AppTitle() const { return appTitle_; }
    void SetCaption(const std::string& text);
    std::string Caption() const;
    void Pump();
    void BringToFront();
    // The seam through which history work shows its progress in this window.
    WorkHooks& Hooks();

    // Shows the page that matches the busy state, the current view and the panel state.
    void UpdatePages();
    void ApplyColours();
    // Adds a folder to FolderList unless an item equals it ignoring letter case.
    void AddFolderItem(const std::string& folder);
    void SetFolderItems(const std::vector<std::string>& folders);

    // The drop handler (also what tests call to drop paths).
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
    void BuildWidgets();
    void BuildHooks();

    WindowOptions options_;
    std::unique_ptr<QtPrompts> ownPrompts_;
    WorkHooks hooks_;
    Prompts* prompts_ = nullptr;
    FileDialogs* dialogs_ = nullptr;
    std::string appTitle_ = "Quenvarlith";
    bool shownOnce_ = false;
};

}  // namespace qv
