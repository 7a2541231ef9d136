#pragma once
#include <QObject>

#include <functional>
#include <utility>
#include <vector>

#include "gui/shell/Shell.h"

class QAction;
class QMainWindow;
class QMenu;
class QPoint;

namespace qv {

class BrowserCommands;
class ClipViewer;
class ComparisonLoader;
class HistoryController;
class HelpController;
class DupListCommands;
class FileViewController;
class LifecycleController;
class ListOutputController;
class MatchController;
class PreferencesController;
class ProcessingController;
class ResultController;
class SoundController;
class ViewController;

// Adds a command item found by its component name.
QAction* AddMenuItem(QMenu* menu, const char* name, const char* caption);

// The main menu and the popups of this window, each item found by its component name. Ticks
// show the Settings object and write to it when clicked, so the window and the core read one
// source.
class Menus final : public QObject, public ViewMenu, public FormatMenus {
    Q_OBJECT
public:
    // The commands the items start.
    struct Commands {
        ProcessingController& processing;
        ResultController& results;
        ViewController& views;
        LifecycleController& lifecycle;
        ClipViewer& viewer;
        MatchController& matcher;
        ComparisonLoader& loader;
        SoundController& sounds;
        ListOutputController& lists;
        HistoryController& history;
        FileViewController& fileView;
        BrowserCommands& browser;
        DupListCommands& dupList;
        PreferencesController& prefs;
    };
    Menus(QMainWindow& window, Settings& settings, FileJob& job, StatusLine& status);
    void Build(const Commands& commands);
    // The help menu, last on the bar; its home-page item only when the build names a page.
    void BuildHelpMenu(HelpController& help);
    // Ticks from the settings (start-up, and after the settings change elsewhere).
    void SyncFromSettings();

    // ViewMenu.
    void TickView(View view) override;
    void SetDupCommandsEnabled(bool enabled) override;
    bool DupCommandsEnabled() const override;
    // FormatMenus.
    void UpdateFormatMenus() override;

    // The popups of the views, opened at a point of the screen.
    enum class Popup { Main, Clip, List, Dup };
    void PopUp(Popup popup, const QPoint& globalPosition);

private:
    QAction* Add(QMenu* menu, const char* name, const char* caption);
    QAction* AddCheck(QMenu* menu, const char* name, const char* caption);
    // A self-ticking item that shows and sets one bool of the settings, then runs after.
    QAction* AddSettingCheck(QMenu* menu, const char* name, const char* caption, bool Settings::*field,
                             std::function<void()> after = {});
    void BuildSettingsMenu(QMenu* setting, const Commands& commands);
    void BuildListMenus(QMenu* file, ListOutputController& lists);
    void BuildSelectionListMenu(QMenu& ppFlist, const Commands& c);
    void BuildHistoryMenus(QMenu* file, HistoryController& history);
    void BuildToolMenu(QMenu* tool, const Commands& commands);
    void BuildClipViewerMenu(QMenu* setting, const Commands& commands);
    void BuildSoundMenu(QMenu* setting, SoundController& sounds);
    void BuildListMenus(QMenu* setting, const Commands& commands);
    void BuildAttributeMenu(QMenu* setting);
    void TickAttributeItems();
    void BuildClipPopup(QMenu* ppClip, const Commands& commands);
    void TickSoundItems();
    void SyncClipCommands();
    void BuildPopups(const Commands& c);
    void SizeUnitClick(int unit, ResultController& results);

    QMainWindow& window_;
    Settings& settings_;
    FileJob& job_;
    StatusLine& status_;

    QAction* views_[4] = {};   // CallBasicFrame, CallClipViewer, CallListFrame, CallDupFrame
    QAction* dupCommands_[4] = {};   // CallDupFrame, SubMainToDup, SubClipToDup, SubListToDup
    QAction* showMainIcon_ = nullptr;
    QAction* capsSet_ = nullptr;
    QAction* sizeUnits_[4] = {};
    QAction* fileNameFonts_[3] = {};
    QAction* verification_ = nullptr;
    // Read modes 1..3 (EvryRead, NormalRead, NonRead) and save modes 1..3 (LogMergeSave,
    // LogRenameSave, LogNotSave); index = mode - 1.
    QAction* logReadModes_[3] = {};
    QAction* logSaveModes_[3] = {};
    QMenu* popups_[4] = {};
    std::vector<std::pair<QAction*, bool Settings::*>> settingChecks_;
    QAction* pasteClipboard_[2] = {};   // PasteClipboard, PasteClipboard2
    QAction* wordWrap_[2] = {};         // WordWrap1, W1: one command, two places
    QAction* soundItems_[4][3] = {};    // per notification, the radio items of types 0..2
    QAction* listMenus_[5] = {};        // ListMenu1..5
    QAction* attributeItems_[2][3] = {};   // FolderAttr_ and FileAttr_: S, H, R
    PreferencesController* prefs_ = nullptr;
};

}  // namespace qv
