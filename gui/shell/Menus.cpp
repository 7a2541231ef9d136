#include "gui/shell/Menus.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>

#include "gui/shell/LifecycleController.h"
#include "gui/shell/MainWindow.h"
#include "gui/processing/ProcessingController.h"
#include "gui/processing/ResultController.h"
#include "gui/processing/ResultPanelWidget.h"
#include "gui/shell/ViewController.h"
#include "job/FromSettings.h"

namespace qv {

Menus::Menus(MainWindow& window) : QObject(&window), w_(window) {}

QAction* Menus::Add(QMenu* menu, const char* name, const char* caption)
{
    QAction* a = menu->addAction(QString::fromUtf8(caption));
    a->setObjectName(QString::fromLatin1(name));
    return a;
}

QAction* Menus::AddCheck(QMenu* menu, const char* name, const char* caption)
{
    QAction* a = Add(menu, name, caption);
    a->setCheckable(true);
    return a;
}

void Menus::Build()
{
    QMenuBar* bar = w_.menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));
    ProcessingController& proc = *w_.processing;
    ResultController& res = *w_.results;
    ViewController& views = *w_.views;

    QMenu* file = bar->addMenu(QStringLiteral("ファイル(&F)"));
    file->setObjectName(QStringLiteral("FileMenu"));
    openFiles = Add(file, "OpenFiles", "ファイルのハッシュコードを算出(&O)...");
    connect(openFiles, &QAction::triggered, this, [&proc] { proc.OpenFilesClick(); });
    menuRecalc = Add(file, "MenuRecalc", "再計算(&R)");
    connect(menuRecalc, &QAction::triggered, this, [&proc] { proc.RecalcExecute(); });
    file->addSeparator();
    exit1 = Add(file, "Exit1", "終了(&X)");
    exit1->setShortcut(QKeySequence(Qt::ALT | Qt::Key_F4));
    connect(exit1, &QAction::triggered, this, [this] { w_.lifecycle->Exit1Click(); });

    QMenu* viewMenu = bar->addMenu(QStringLiteral("表示(&V)"));
    viewMenu->setObjectName(QStringLiteral("ViewMenu"));
    viewGroup = new QActionGroup(this);
    callBasicFrame = AddCheck(viewMenu, "CallBasicFrame", "基本画面(&D)");
    callClipViewer = AddCheck(viewMenu, "CallClipViewer", "クリップボードビュア(&V)");
    callListFrame = AddCheck(viewMenu, "CallListFrame", "処理ファイル一覧(&F)");
    callDupFrame = AddCheck(viewMenu, "CallDupFrame", "重複ファイル一覧(&L)");
    for (QAction* a : {callBasicFrame, callClipViewer, callListFrame, callDupFrame}) viewGroup->addAction(a);
    callBasicFrame->setChecked(true);
    // The handler sets the tick: a refused switch (busy) must leave the old tick.
    connect(callBasicFrame, &QAction::triggered, this, [&views] { views.CallBasicFrameClick(); });
    connect(callClipViewer, &QAction::triggered, this, [&views] { views.CallClipViewerClick(); });
    connect(callListFrame, &QAction::triggered, this, [&views] { views.CallListFrameClick(); });
    connect(callDupFrame, &QAction::triggered, this, [&views] { views.CallDupFrameClick(); });

    QMenu* setting = bar->addMenu(QStringLiteral("設定(&S)"));
    setting->setObjectName(QStringLiteral("SettingMenu"));
    QMenu* basic = setting->addMenu(QStringLiteral("基本画面(&D)"));
    basic->setObjectName(QStringLiteral("SettingBasicFrame"));
    showMainIcon = AddCheck(basic, "ShowMainIcon", "アイコン表示(&I)");
    connect(showMainIcon, &QAction::triggered, this, [this](bool on) {
        w_.settings.ShowMainIcon = on;
        w_.mainPanel->fileIcon->setVisible(on);
        w_.SetStatus(on ? "基本画面にアイコンを表示します" : "基本画面にアイコンを表示しません");
    });
    capsSet = AddCheck(basic, "CapsSet", "小文字コード(&H)");
    connect(capsSet, &QAction::triggered, this, [this, &res](bool on) {
        w_.settings.LowerCaseCodes = on;
        res.RefreshCodes();
        w_.SetStatus(on ? "ハッシュコードの16進英文字は[小文字]で表示されます"
                        : "ハッシュコードの16進英文字は[大文字]で表示されます");
    });
    fullPathCopy = AddCheck(basic, "FullPathCopy", "フルパス名コピー(&N)");
    QMenu* unit = basic->addMenu(QStringLiteral("ファイルサイズ単位(&U)"));
    unit->setObjectName(QStringLiteral("SizeUnit"));
    auto* unitGroup = new QActionGroup(this);
    sizeAuto = AddCheck(unit, "SizeAuto", "自動(&A)");
    sizeByte = AddCheck(unit, "SizeByte", "Byte固定(&B)");
    sizeKB = AddCheck(unit, "SizeKB", "KB固定(&K)");
    sizeMB = AddCheck(unit, "SizeMB", "MB固定(&M)");
    int u = 0;
    for (QAction* a : {sizeAuto, sizeByte, sizeKB, sizeMB}) {
        unitGroup->addAction(a);
        connect(a, &QAction::triggered, this, [this, u] { SizeUnitClick(u); });
        ++u;
    }
    QMenu* font = basic->addMenu(QStringLiteral("ファイル名フォント(&F)"));
    font->setObjectName(QStringLiteral("FileNameFont"));
    auto* fontGroup = new QActionGroup(this);
    fileNameFont9 = AddCheck(font, "FileNameFont9", "9ポイント(&1)");
    fileNameFont12 = AddCheck(font, "FileNameFont12", "12ポイント(&2)");
    fileNameFont14 = AddCheck(font, "FileNameFont14", "14ポイント(&3)");
    for (auto [a, pt] : {std::pair{fileNameFont9, 9}, std::pair{fileNameFont12, 12}, std::pair{fileNameFont14, 14}}) {
        fontGroup->addAction(a);
        connect(a, &QAction::triggered, this, [this, pt = pt] { FileNameFontClick(pt); });
    }
    QMenu* log = setting->addMenu(QStringLiteral("履歴情報(&L)"));
    log->setObjectName(QStringLiteral("LogSet"));
    verification = AddCheck(log, "Verification", "再計算し履歴と照合(&R)");
    connect(verification, &QAction::triggered, this, [this](bool on) {
        w_.settings.Verification = on;
        w_.job->SetEngineSettings(EngineSettingsFrom(w_.settings));
    });
    log->addSeparator();
    QMenu* readMode = log->addMenu(QStringLiteral("履歴読込み条件(&L)"));
    readMode->setObjectName(QStringLiteral("LogReadMode"));
    auto* readGroup = new QActionGroup(this);
    logReadModes[0] = AddCheck(readMode, "EvryRead", "常時起動時(&E)");
    logReadModes[1] = AddCheck(readMode, "NormalRead", "パラメータ無し起動時(&N)");
    logReadModes[2] = AddCheck(readMode, "NonRead", "起動時読込まない(&U)");
    QMenu* saveMode = log->addMenu(QStringLiteral("履歴未読時の終了方法(&E)"));
    saveMode->setObjectName(QStringLiteral("LogSaveMode"));
    auto* saveGroup = new QActionGroup(this);
    logSaveModes[0] = AddCheck(saveMode, "LogMergeSave", "履歴ファイルに結合(&M)");
    logSaveModes[1] = AddCheck(saveMode, "LogRenameSave", "別ファイルで保存(&R)");
    logSaveModes[2] = AddCheck(saveMode, "LogNotSave", "保存しない(&N)");
    for (int i = 0; i < 3; ++i) {
        readGroup->addAction(logReadModes[i]);
        saveGroup->addAction(logSaveModes[i]);
        connect(logReadModes[i], &QAction::triggered, this, [this, i] { w_.settings.LogReadMode = i + 1; });
        connect(logSaveModes[i], &QAction::triggered, this, [this, i] { w_.settings.LogSaveMode = i + 1; });
    }

    // PpMain on the basic frame.
    ppMain = new QMenu(&w_);
    ppMain->setObjectName(QStringLiteral("PpMain"));
    popCopyCRC = Add(ppMain, "PopCopyCRC", "CRCをコピー(&C)");
    connect(popCopyCRC, &QAction::triggered, this, [&res] { res.CopyCRCExecute(); });
    popCopyMD5 = Add(ppMain, "PopCopyMD5", "MD5をコピー(&M)");
    connect(popCopyMD5, &QAction::triggered, this, [&res] { res.CopyMD5Execute(); });
    ppMain->addSeparator();
    subRecalc = Add(ppMain, "SubRecalc", "再計算(&R)");
    connect(subRecalc, &QAction::triggered, this, [&proc] { proc.RecalcExecute(); });
    QMenu* control = ppMain->addMenu(QStringLiteral("ファイル操作(&F)"));
    control->setObjectName(QStringLiteral("MainFileControl"));
    mainFileExec = Add(control, "MainFileExec", "関連づけアプリで開く(&P)");
    connect(mainFileExec, &QAction::triggered, this, [&res] { res.MainFileExecClick(); });
    mainFileOpen = Add(control, "MainFileOpen", "フォルダを開く(&O)");
    connect(mainFileOpen, &QAction::triggered, this, [&res] { res.MainFileOpenClick(); });
    mainFileDel = Add(control, "MainFileDel", "削除(&D)...");
    connect(mainFileDel, &QAction::triggered, this, [&res] { res.MainFileDelClick(); });
    ppMain->addSeparator();
    connect(Add(ppMain, "SubMainToClip", "ｸﾘｯﾌﾟﾎﾞｰﾄﾞﾋﾞｭｱ(&V)"), &QAction::triggered, this,
            [&views] { views.CallClipViewerClick(); });
    connect(Add(ppMain, "SubMainToList", "処理ファイル一覧(&L)"), &QAction::triggered, this,
            [&views] { views.CallListFrameClick(); });
    subMainToDup = Add(ppMain, "SubMainToDup", "重複ファイル一覧(&D)");
    connect(subMainToDup, &QAction::triggered, this, [&views] { views.CallDupFrameClick(); });

    // View switches of the other views' popups; their own commands come with their views.
    ppClip = new QMenu(&w_);
    ppClip->setObjectName(QStringLiteral("PpClip"));
    connect(Add(ppClip, "SubClipToMain", "基本画面(&N)"), &QAction::triggered, this,
            [&views] { views.CallBasicFrameClick(); });
    connect(Add(ppClip, "SubClipToList", "処理ファイル一覧(&L)"), &QAction::triggered, this,
            [&views] { views.CallListFrameClick(); });
    subClipToDup = Add(ppClip, "SubClipToDup", "重複ファイル一覧(&D)");
    connect(subClipToDup, &QAction::triggered, this, [&views] { views.CallDupFrameClick(); });
    ppFlist = new QMenu(&w_);
    ppFlist->setObjectName(QStringLiteral("PpFlist"));
    connect(Add(ppFlist, "SubListToMain", "基本画面(&N)"), &QAction::triggered, this,
            [&views] { views.CallBasicFrameClick(); });
    connect(Add(ppFlist, "SubListToClip", "ｸﾘｯﾌﾟﾎﾞｰﾄﾞﾋﾞｭｱ(&V)"), &QAction::triggered, this,
            [&views] { views.CallClipViewerClick(); });
    subListToDup = Add(ppFlist, "SubListToDup", "重複ファイル一覧(&D)");
    connect(subListToDup, &QAction::triggered, this, [&views] { views.CallDupFrameClick(); });
    ppDup = new QMenu(&w_);
    ppDup->setObjectName(QStringLiteral("PpDup"));
    connect(Add(ppDup, "SubDupToMain", "基本画面(&N)"), &QAction::triggered, this,
            [&views] { views.CallBasicFrameClick(); });
    connect(Add(ppDup, "SubDupToClip", "ｸﾘｯﾌﾟﾎﾞｰﾄﾞﾋﾞｭｱ(&V)"), &QAction::triggered, this,
            [&views] { views.CallClipViewerClick(); });
    connect(Add(ppDup, "SubDupToList", "処理ファイル一覧(&L)"), &QAction::triggered, this,
            [&views] { views.CallListFrameClick(); });

    SetDupCommandsEnabled(false);
    SyncFromSettings();
}

void Menus::SyncFromSettings()
{
    const Settings& s = w_.settings;
    showMainIcon->setChecked(s.ShowMainIcon);
    capsSet->setChecked(s.LowerCaseCodes);
    QAction* units[] = {sizeAuto, sizeByte, sizeKB, sizeMB};
    for (int i = 0; i < 4; ++i) units[i]->setChecked(s.SizeUnit == i);
    fileNameFont9->setChecked(s.FileNameFontSize == 9);
    fileNameFont12->setChecked(s.FileNameFontSize == 12);
    fileNameFont14->setChecked(s.FileNameFontSize == 14);
    verification->setChecked(s.Verification);
    // A stored mode outside 1..3 ticks none, and the setting keeps its value until a click.
    for (int i = 0; i < 3; ++i) {
        logReadModes[i]->setChecked(s.LogReadMode == i + 1);
        logSaveModes[i]->setChecked(s.LogSaveMode == i + 1);
    }
}

void Menus::SetDupCommandsEnabled(bool enabled)
{
    for (QAction* a : {callDupFrame, subMainToDup, subClipToDup, subListToDup}) a->setEnabled(enabled);
}

void Menus::TickView(int view)
{
    QAction* items[] = {callBasicFrame, callClipViewer, callListFrame, callDupFrame};
    if (view >= 0 && view < 4) items[view]->setChecked(true);
}

void Menus::SizeUnitClick(int unit)
{
    static const char* const kTexts[] = {"ファイルサイズ単位 = 自動", "ファイルサイズ単位 = byte固定",
                                         "ファイルサイズ単位 = KB固定", "ファイルサイズ単位 = MB固定"};
    w_.settings.SizeUnit = unit;
    w_.results->RefreshSize();
    w_.SetStatus(kTexts[unit]);
}

void Menus::FileNameFontClick(int points)
{
    w_.settings.FileNameFontSize = points;
    w_.mainPanel->ApplySettings(w_.settings);
    w_.SetStatus("ファイル名フォントを" + std::to_string(points) + "ポに変更しました");
}

}  // namespace qv
