#pragma once
#include <QObject>

class QAction;
class QActionGroup;
class QMenu;
class QMenuBar;

namespace qv {

class MainWindow;

// The main menu and the popups of this window. Ticks show the Settings object and write to
// it when clicked, so the window and the core read one source.
class Menus : public QObject {
    Q_OBJECT
public:
    explicit Menus(MainWindow& window);
    void Build();
    // Ticks from the settings (start-up, and after the settings change elsewhere).
    void SyncFromSettings();
    void SetDupCommandsEnabled(bool enabled);
    void TickView(int view);

    // File menu.
    QAction* openFiles = nullptr;
    QAction* menuRecalc = nullptr;
    QAction* exit1 = nullptr;
    // View menu.
    QActionGroup* viewGroup = nullptr;
    QAction* callBasicFrame = nullptr;
    QAction* callClipViewer = nullptr;
    QAction* callListFrame = nullptr;
    QAction* callDupFrame = nullptr;
    // Settings: basic frame.
    QAction* showMainIcon = nullptr;
    QAction* capsSet = nullptr;
    QAction* fullPathCopy = nullptr;
    QAction* sizeAuto = nullptr;
    QAction* sizeByte = nullptr;
    QAction* sizeKB = nullptr;
    QAction* sizeMB = nullptr;
    QAction* fileNameFont9 = nullptr;
    QAction* fileNameFont12 = nullptr;
    QAction* fileNameFont14 = nullptr;
    // Settings: history.
    QAction* verification = nullptr;
    // Read modes 1..3 (EvryRead, NormalRead, NonRead) and save modes 1..3 (LogMergeSave,
    // LogRenameSave, LogNotSave); index = mode - 1.
    QAction* logReadModes[3] = {};
    QAction* logSaveModes[3] = {};

    // Popups.
    QMenu* ppMain = nullptr;
    QAction* popCopyCRC = nullptr;
    QAction* popCopyMD5 = nullptr;
    QAction* subRecalc = nullptr;
    QAction* mainFileExec = nullptr;
    QAction* mainFileOpen = nullptr;
    QAction* mainFileDel = nullptr;
    QAction* subMainToDup = nullptr;
    QMenu* ppDup = nullptr;
    QMenu* ppClip = nullptr;
    QAction* subClipToDup = nullptr;
    QMenu* ppFlist = nullptr;
    QAction* subListToDup = nullptr;

private:
    QAction* Add(QMenu* menu, const char* name, const char* caption);
    QAction* AddCheck(QMenu* menu, const char* name, const char* caption);
    void SizeUnitClick(int unit);
    void FileNameFontClick(int points);

    MainWindow& w_;
};

}  // namespace qv
