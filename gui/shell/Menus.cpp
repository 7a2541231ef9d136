#include "gui/shell/Menus.h"

#include <QAction>
#include <QActionGroup>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

#include <utility>

#include "gui/listout/ListOutputController.h"
#include "gui/history/HistoryController.h"
#include "browser/FileView.h"
#include "gui/browser/BrowserMenus.h"
#include "gui/browser/DupListCommands.h"
#include "gui/browser/FileViewController.h"
#include "gui/prefs/PreferencesController.h"
#include "gui/processing/ProcessingController.h"
#include "gui/processing/ResultController.h"
#include "gui/shell/HelpController.h"
#include "gui/shell/LifecycleController.h"
#include "gui/shell/ViewController.h"
#include "gui/verify/ClipViewer.h"
#include "gui/verify/ComparisonLoader.h"
#include "gui/verify/MatchController.h"
#include "gui/verify/SoundController.h"
#include "job/FileJob.h"
#include "job/FromSettings.h"
#include "listout/FormatDialog.h"
#include "processing/ResultPanel.h"
#include "settings/Settings.h"
#include "verify/Sounds.h"

namespace qv {

Menus::Menus(QMainWindow& window, Settings& settings, FileJob& job, StatusLine& status)
    : QObject(&window), window_(window), settings_(settings), job_(job), status_(status)
{
}

QAction* AddMenuItem(QMenu* menu, const char* name, const char* caption)
{
    QAction* a = menu->addAction(QString::fromUtf8(caption));
    a->setObjectName(QString::fromLatin1(name));
    return a;
}

QAction* Menus::Add(QMenu* menu, const char* name, const char* caption) { return AddMenuItem(menu, name, caption); }

QAction* Menus::AddCheck(QMenu* menu, const char* name, const char* caption)
{
    QAction* a = Add(menu, name, caption);
    a->setCheckable(true);
    return a;
}

QAction* Menus::AddSettingCheck(QMenu* menu, const char* name, const char* caption, bool Settings::*field,
                                std::function<void()> after)
{
    QAction* a = AddCheck(menu, name, caption);
    settingChecks_.emplace_back(a, field);
    connect(a, &QAction::triggered, this, [this, field, after = std::move(after)](bool on) {
        settings_.*field = on;
        if (after) after();
    });
    return a;
}

void Menus::Build(const Commands& c)
{
    QMenuBar* bar = window_.menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));
    ProcessingController& proc = c.processing;
    ViewController& views = c.views;

    QMenu* file = bar->addMenu(QStringLiteral("ファイル(&F)"));
    file->setObjectName(QStringLiteral("FileMenu"));
    connect(Add(file, "OpenFiles", "ファイルのハッシュコードを算出(&O)..."), &QAction::triggered, this,
            [&proc] { proc.OpenFilesClick(); });
    connect(Add(file, "MenuRecalc", "再計算(&R)"), &QAction::triggered, this, [&proc] { proc.RecalcExecute(); });
    ComparisonLoader& loader = c.loader;
    connect(Add(file, "OpenText", "比較ファイル読込み(&C)..."), &QAction::triggered, this,
            [&loader] { loader.OpenTextClick(); });
    file->addSeparator();
    BuildHistoryMenus(file, c.history);
    BuildListMenus(file, c.lists);
    file->addSeparator();
    QAction* exit1 = Add(file, "Exit1", "終了(&X)");
    exit1->setShortcut(QKeySequence(Qt::ALT | Qt::Key_F4));
    LifecycleController& life = c.lifecycle;
    connect(exit1, &QAction::triggered, this, [&life] { life.Exit1Click(); });

    QMenu* viewMenu = bar->addMenu(QStringLiteral("表示(&V)"));
    viewMenu->setObjectName(QStringLiteral("ViewMenu"));
    auto* viewGroup = new QActionGroup(this);
    views_[0] = AddCheck(viewMenu, "CallBasicFrame", "基本画面(&D)");
    views_[1] = AddCheck(viewMenu, "CallClipViewer", "クリップボードビュア(&V)");
    views_[2] = AddCheck(viewMenu, "CallListFrame", "処理ファイル一覧(&F)");
    views_[3] = AddCheck(viewMenu, "CallDupFrame", "重複ファイル一覧(&L)");
    for (QAction* a : views_) viewGroup->addAction(a);
    views_[0]->setChecked(true);
    // The handler sets the tick: a refused switch (busy) must leave the old tick.
    connect(views_[0], &QAction::triggered, this, [&views] { views.CallBasicFrameClick(); });
    connect(views_[1], &QAction::triggered, this, [&views] { views.CallClipViewerClick(); });
    connect(views_[2], &QAction::triggered, this, [&views] { views.CallListFrameClick(); });
    connect(views_[3], &QAction::triggered, this, [&views] { views.CallDupFrameClick(); });
    dupCommands_[0] = views_[3];

    QMenu* tool = bar->addMenu(QStringLiteral("ツール(&T)"));
    tool->setObjectName(QStringLiteral("ToolMenu"));
    BuildToolMenu(tool, c);

    QMenu* setting = bar->addMenu(QStringLiteral("設定(&S)"));
    setting->setObjectName(QStringLiteral("SettingMenu"));
    BuildSettingsMenu(setting, c);
    prefs_ = &c.prefs;
    prefs_->BuildMenus(*viewMenu, *setting);
    BuildPopups(c);
    SetDupCommandsEnabled(false);
    SyncFromSettings();
}

void Menus::BuildHelpMenu(HelpController& help)
{
    QMenu* menu = window_.menuBar()->addMenu(QStringLiteral("ヘルプ(&H)"));
    menu->setObjectName(QStringLiteral("HelpMenu"));
    QAction* helpCall = Add(menu, "HelpCall", "ヘルプの表示(&H)");
    helpCall->setShortcut(QKeySequence(Qt::Key_F1));
    connect(helpCall, &QAction::triggered, this, [&help] { help.HelpCallClick(); });
    if (help.HasHomePage()) {
        connect(Add(menu, "HomePageCall", "ホームページ(&W)"), &QAction::triggered, this,
                [&help] { help.HomePageCallClick(); });
    }
    menu->addSeparator();
    connect(Add(menu, "About1", "バージョン情報(&A)..."), &QAction::triggered, this, [&help] { help.About1Click(); });
}

void Menus::BuildListMenus(QMenu* file, ListOutputController& lists)
{
    // After the history's own bulk items, in the same submenu.
    QMenu* n4 = file->findChild<QMenu*>(QStringLiteral("N4"));
    for (int n = 1; n <= 5; ++n) {
        listMenus_[n - 1] = Add(n4, ("ListMenu" + std::to_string(n)).c_str(), "");
        connect(listMenus_[n - 1], &QAction::triggered, this, [&lists, n] { lists.MakeFileList(n); });
    }
    connect(Add(file, "SetFileFormat", "出力書式設定(&F)..."), &QAction::triggered, this,
            [&lists] { lists.SetFileFormatClick(); });
}

void Menus::UpdateFormatMenus()
{
    const ListFormatTable& formats = settings_.ListFormats;
    for (size_t n = 0; n < kListFormatCount; ++n) {
        listMenus_[n]->setText(QString::fromStdString(TreeMenuCaption(n + 1, formats[n].Name)));
        // The selection's items sit in the file view's popup, found by their names.
        const QString name = QStringLiteral("CheckFileFormat") + QString::number(n + 1);
        if (auto* item = window_.findChild<QAction*>(name))
            item->setText(QString::fromStdString(SelectionMenuCaption(n + 1, formats[n].Name)));
    }
}

void Menus::BuildHistoryMenus(QMenu* file, HistoryController& history)
{
    connect(Add(file, "InportLOG", "履歴インポート(&I)..."), &QAction::triggered, this,
            [&history] { history.InportLOGClick(); });
    connect(Add(file, "ExportLOG", "履歴エクスポート(&E)..."), &QAction::triggered, this,
            [&history] { history.ExportLOGClick(); });
    // The bulk list items of list output follow in the same submenu, after a separator.
    QMenu* n4 = file->addMenu(QStringLiteral("履歴一括処理(&T)"));
    n4->setObjectName(QStringLiteral("N4"));
    connect(Add(n4, "FolderScan", "履歴一括登録(&A)..."), &QAction::triggered, this,
            [&history] { history.FolderScanClick(); });
    connect(Add(n4, "LogErase", "履歴一括削除(&E)..."), &QAction::triggered, this,
            [&history] { history.LogEraseClick(); });
    n4->addSeparator();
}

void Menus::BuildToolMenu(QMenu* tool, const Commands& c)
{
    ComparisonLoader& loader = c.loader;
    pasteClipboard_[0] = Add(tool, "PasteClipboard", "ｸﾘｯﾌﾟﾎﾞｰﾄﾞ読込み(&P)");
    tool->addSeparator();
    QMenu* drop = tool->addMenu(QStringLiteral("比較ファイル(&F)"));
    drop->setObjectName(QStringLiteral("DropFileMenu"));
    drop->menuAction()->setToolTip(QStringLiteral("D&Dで比較情報として読み取るファイル種別"));
    tool->setToolTipsVisible(true);
    const auto rebuild = [&loader] { loader.BuildExtensionStrings(); };
    AddSettingCheck(drop, "ExtTxt", "Text比較(*.txt) (&T)", &Settings::ExtTxt, rebuild);
    AddSettingCheck(drop, "ExtCsv", "Text比較(*.csv) (&C)", &Settings::ExtCsv, rebuild);
    AddSettingCheck(drop, "ExtSfv", "Text比較(*.crc,*.sfv) (&S)", &Settings::ExtSfv, rebuild);
    AddSettingCheck(drop, "ExtMd5", "Text比較(*.md5) (&M)", &Settings::ExtMd5, rebuild);
    AddSettingCheck(drop, "ExtHtm", "Text比較(*.htm,*.html) (&H)", &Settings::ExtHtm, rebuild);
    connect(Add(drop, "OptionExtInput", "Text比較追加拡張子入力(&O)..."), &QAction::triggered, this,
            [&loader] { loader.OptionExtInputClick(); });
    drop->addSeparator();
    AddSettingCheck(drop, "ExtPar", "Binary比較(PAR,PAR2,Pnn) (&P)", &Settings::ExtPar, rebuild);
    // Read when a PAR2 report is built.
    AddSettingCheck(drop, "PAR2Ex", "PAR2詳細出力(&2)", &Settings::PAR2Ex);
}

void Menus::BuildClipViewerMenu(QMenu* setting, const Commands& c)
{
    MatchController& matcher = c.matcher;
    ClipViewer& viewer = c.viewer;
    QMenu* v1 = setting->addMenu(QStringLiteral("ｸﾘｯﾌﾟﾎﾞｰﾄﾞﾋﾞｭｱ(&V)"));
    v1->setObjectName(QStringLiteral("V1"));
    const auto rematch = [&matcher] { matcher.CloseupClick(); };
    AddSettingCheck(v1, "CloseupMD5", "MD5を強調表示(&M)", &Settings::CloseupMD5, rematch);
    AddSettingCheck(v1, "CloseupCRC", "CRCを強調表示(&R)", &Settings::CloseupCRC, rematch);
    AddSettingCheck(v1, "CloseupFileName", "ファイル名を強調表示(&N)", &Settings::CloseupFileName, rematch);
    v1->addSeparator();
    wordWrap_[0] = AddCheck(v1, "WordWrap1", "右端で折り返す(&W)");
    AddSettingCheck(v1, "WheelScroll", "ホイールスクロール機能(&S)", &Settings::WheelScroll,
                    [&viewer] { viewer.WheelScrollClick(); });
    AddSettingCheck(v1, "AsyncClipboard", "ｸﾘｯﾌﾟﾎﾞｰﾄﾞ非同期(&A)", &Settings::AsyncClipboard,
                    [this] { SyncClipCommands(); });
}

void Menus::BuildSoundMenu(QMenu* setting, SoundController& sounds)
{
    // The items are the prefix with "Test" and with their Tag 0..2.
    struct SoundMenu {
        const char* name;
        const char* caption;
        const char* prefix;
        const char* waveCaption;
    };
    static const SoundMenu kMenus[] = {
        {"BeepTrue", "照合一致時鳴らす(&Y)", "BeepTrue", "SoundBeep(&2)..."},
        {"BeepFalse", "照合不一致で鳴らす(&N)", "BeepFalse", "SoundBeep(&2)"},
        {"BeepCopy", "コードコピーで鳴らす(&C)", "BeepCopy", "SoundBeep(&2)..."},
        {"BeepDubble", "重複検出時鳴らす(&D)", "BeepDup", "SoundBeep(&2)..."},
    };
    QMenu* beep = setting->addMenu(QStringLiteral("BEEP音(&B)"));
    beep->setObjectName(QStringLiteral("SetBEEP"));
    for (int n = 0; n < 4; ++n) {
        const SoundMenu& m = kMenus[n];
        const auto which = static_cast<Notification>(n);
        QMenu* sub = beep->addMenu(QString::fromUtf8(m.caption));
        sub->setObjectName(QString::fromLatin1(m.name));
        const std::string prefix = m.prefix;
        connect(Add(sub, (prefix + "Test").c_str(), "Beepテスト(&T)"), &QAction::triggered, this,
                [&sounds, which] { sounds.TestClick(which); });
        sub->addSeparator();
        // The handler ticks: a cancelled chooser leaves the earlier choice ticked.
        auto* group = new QActionGroup(this);
        group->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
        const char* captions[] = {"Beepなし(&0)", "HardwareBeep(&1)", m.waveCaption};
        for (int tag = 0; tag < 3; ++tag) {
            QAction* a = AddCheck(sub, (prefix + std::to_string(tag)).c_str(), captions[tag]);
            group->addAction(a);
            soundItems_[n][tag] = a;
            connect(a, &QAction::triggered, this, [this, &sounds, which, tag] {
                sounds.TypeClick(which, tag);
                TickSoundItems();
            });
        }
    }
}

void Menus::TickSoundItems()
{
    const int types[] = {settings_.MatchBeepType, settings_.MismatchBeepType, settings_.CopyBeepType,
                         settings_.DuplicateBeepType};
    // A stored type outside 0..2 ticks none.
    for (int n = 0; n < 4; ++n) {
        for (int tag = 0; tag < 3; ++tag) soundItems_[n][tag]->setChecked(TickedSoundItem(types[n]) == tag);
    }
}

void Menus::SyncClipCommands()
{
    for (QAction* a : pasteClipboard_) a->setEnabled(settings_.AsyncClipboard);
    for (QAction* a : wordWrap_) a->setChecked(settings_.WordWrap);
}

void Menus::BuildSettingsMenu(QMenu* setting, const Commands& c)
{
    ResultController& res = c.results;
    QMenu* basic = setting->addMenu(QStringLiteral("基本画面(&D)"));
    basic->setObjectName(QStringLiteral("SettingBasicFrame"));
    showMainIcon_ = AddCheck(basic, "ShowMainIcon", "アイコン表示(&I)");
    connect(showMainIcon_, &QAction::triggered, this, [this, &res](bool on) {
        settings_.ShowMainIcon = on;
        res.ApplySettings();
        status_.SetStatus(on ? "基本画面にアイコンを表示します" : "基本画面にアイコンを表示しません");
    });
    capsSet_ = AddCheck(basic, "CapsSet", "小文字コード(&H)");
    connect(capsSet_, &QAction::triggered, this, [this, &res](bool on) {
        settings_.LowerCaseCodes = on;
        res.RefreshCodes();
        status_.SetStatus(on ? "ハッシュコードの16進英文字は[小文字]で表示されます"
                             : "ハッシュコードの16進英文字は[大文字]で表示されます");
    });
    // Not a setting: the tick lives for the run only.
    connect(AddCheck(basic, "FullPathCopy", "フルパス名コピー(&N)"), &QAction::toggled, this,
            [&res](bool on) { res.SetFullPathCopy(on); });
    QMenu* unit = basic->addMenu(QStringLiteral("ファイルサイズ単位(&U)"));
    unit->setObjectName(QStringLiteral("SizeUnit"));
    auto* unitGroup = new QActionGroup(this);
    sizeUnits_[0] = AddCheck(unit, "SizeAuto", "自動(&A)");
    sizeUnits_[1] = AddCheck(unit, "SizeByte", "Byte固定(&B)");
    sizeUnits_[2] = AddCheck(unit, "SizeKB", "KB固定(&K)");
    sizeUnits_[3] = AddCheck(unit, "SizeMB", "MB固定(&M)");
    for (int u = 0; u < 4; ++u) {
        unitGroup->addAction(sizeUnits_[u]);
        connect(sizeUnits_[u], &QAction::triggered, this, [this, u, &res] { SizeUnitClick(u, res); });
    }
    QMenu* font = basic->addMenu(QStringLiteral("ファイル名フォント(&F)"));
    font->setObjectName(QStringLiteral("FileNameFont"));
    auto* fontGroup = new QActionGroup(this);
    fileNameFonts_[0] = AddCheck(font, "FileNameFont9", "9ポイント(&1)");
    fileNameFonts_[1] = AddCheck(font, "FileNameFont12", "12ポイント(&2)");
    fileNameFonts_[2] = AddCheck(font, "FileNameFont14", "14ポイント(&3)");
    for (auto [a, points] : {std::pair{fileNameFonts_[0], 9}, std::pair{fileNameFonts_[1], 12},
                             std::pair{fileNameFonts_[2], 14}}) {
        fontGroup->addAction(a);
        connect(a, &QAction::triggered, this, [this, pt = points, &res] {
            settings_.FileNameFontSize = pt;
            res.ApplySettings();
            status_.SetStatus("ファイル名フォントを" + std::to_string(pt) + "ポに変更しました");
        });
    }
    BuildClipViewerMenu(setting, c);
    BuildListMenus(setting, c);
    setting->addSeparator();
    QMenu* log = setting->addMenu(QStringLiteral("履歴情報(&L)"));
    log->setObjectName(QStringLiteral("LogSet"));
    HistoryController& history = c.history;
    connect(Add(log, "LogClear", "履歴情報クリア(&C)"), &QAction::triggered, this, [&history] { history.LogClearClick(); });
    connect(Add(log, "LogKeepSet", "保存期間設定(&D)..."), &QAction::triggered, this,
            [&history] { history.LogKeepSetClick(); });
    connect(Add(log, "LogInhibitSize", "制限ファイルサイズ(&S)..."), &QAction::triggered, this,
            [&history] { history.LogInhibitSizeClick(); });
    verification_ = AddCheck(log, "Verification", "再計算し履歴と照合(&R)");
    connect(verification_, &QAction::triggered, this, [this](bool on) {
        settings_.Verification = on;
        job_.SetEngineSettings(EngineSettingsFrom(settings_));
    });
    log->addSeparator();
    QMenu* readMode = log->addMenu(QStringLiteral("履歴読込み条件(&L)"));
    readMode->setObjectName(QStringLiteral("LogReadMode"));
    auto* readGroup = new QActionGroup(this);
    logReadModes_[0] = AddCheck(readMode, "EvryRead", "常時起動時(&E)");
    logReadModes_[1] = AddCheck(readMode, "NormalRead", "パラメータ無し起動時(&N)");
    logReadModes_[2] = AddCheck(readMode, "NonRead", "起動時読込まない(&U)");
    QMenu* saveMode = log->addMenu(QStringLiteral("履歴未読時の終了方法(&E)"));
    saveMode->setObjectName(QStringLiteral("LogSaveMode"));
    auto* saveGroup = new QActionGroup(this);
    logSaveModes_[0] = AddCheck(saveMode, "LogMergeSave", "履歴ファイルに結合(&M)");
    logSaveModes_[1] = AddCheck(saveMode, "LogRenameSave", "別ファイルで保存(&R)");
    logSaveModes_[2] = AddCheck(saveMode, "LogNotSave", "保存しない(&N)");
    for (int i = 0; i < 3; ++i) {
        readGroup->addAction(logReadModes_[i]);
        saveGroup->addAction(logSaveModes_[i]);
        connect(logReadModes_[i], &QAction::triggered, this, [this, i] { settings_.LogReadMode = i + 1; });
        connect(logSaveModes_[i], &QAction::triggered, this, [this, i] { settings_.LogSaveMode = i + 1; });
    }
    BuildAttributeMenu(setting);
    BuildSoundMenu(setting, c.sounds);
}

void Menus::BuildListMenus(QMenu* setting, const Commands& c)
{
    FileViewController& files = c.fileView;
    QMenu* list = setting->addMenu(QStringLiteral("処理ファイル一覧(&F)"));
    list->setObjectName(QStringLiteral("SettingFileList"));
    for (const ColumnWidthSetting& column : kColumnWidthSettings)
        AddSettingCheck(list, column.item, column.caption, column.adjust, [&files] { files.FileViewResize(); });
    list->addSeparator();
    AddSettingCheck(list, "FileListIconView", "アイコン表示(&I)", &Settings::FileListIconView,
                    [&files] { files.FileListIconViewClick(); });
    AddSettingCheck(list, "FileListBorderView", "罫線表示(&L)", &Settings::FileListBorderView,
                    [&files] { files.FileListBorderViewClick(); });
    AddSettingCheck(list, "FileListBoldFont", "太線で表示(&O)", &Settings::FileListBoldFont,
                    [&files] { files.FileListBoldFontClick(); });

    DupListCommands& dups = c.dupList;
    QMenu* dup = setting->addMenu(QStringLiteral("重複ファイル一覧(&U)"));
    dup->setObjectName(QStringLiteral("SettingDupList"));
    AddSettingCheck(dup, "AdjustDupWidth", "幅調整(&W)", &Settings::AdjustDupWidth, [&dups] { dups.DupListResize(); });
    AddSettingCheck(dup, "DupListIconView", "アイコン表示(&I)", &Settings::DupListIconView,
                    [&dups] { dups.DupListIconViewClick(); });
    AddSettingCheck(dup, "DupListBorderView", "罫線表示(&L)", &Settings::DupListBorderView,
                    [&dups] { dups.DupListBorderViewClick(); });
    AddSettingCheck(dup, "DupListBoldFont", "太線で表示(&O)", &Settings::DupListBoldFont,
                    [&dups] { dups.DupListBoldFontClick(); });
}

void Menus::BuildAttributeMenu(QMenu* setting)
{
    QMenu* attr = setting->addMenu(QStringLiteral("属性制限(&A)"));
    attr->setObjectName(QStringLiteral("AttrMenu"));
    struct Restriction {
        const char* name;
        const char* caption;
        void (*click)(Settings&, AttrItem);
    };
    static const Restriction kMenus[] = {{"FolderAttr", "フォルダ属性制限(&D)", &FolderAttrClick},
                                         {"FileAttr", "ファイル属性制限(&F)", &FileAttrClick}};
    // In menu order R, H, S; attributeItems_ keeps them by AttrItem (S, H, R).
    struct Item {
        AttrItem item;
        const char* suffix;
        const char* caption;
    };
    static const Item kItems[] = {{AttrItem::ReadOnly, "_R", "読取専用(&R)"},
                                  {AttrItem::Hidden, "_H", "不可視(&H)"},
                                  {AttrItem::System, "_S", "システム(&S)"}};
    for (int m = 0; m < 2; ++m) {
        QMenu* sub = attr->addMenu(QString::fromUtf8(kMenus[m].caption));
        sub->setObjectName(QString::fromLatin1(kMenus[m].name));
        for (const auto& [item, suffix, caption] : kItems) {
            const std::string name = std::string(kMenus[m].name) + suffix;
            QAction* a = AddCheck(sub, name.c_str(), caption);
            attributeItems_[m][static_cast<int>(item)] = a;
            // The handler ticks, from the setting it flipped.
            connect(a, &QAction::triggered, this, [this, click = kMenus[m].click, which = item] {
                click(settings_, which);
                TickAttributeItems();
            });
        }
    }
}

void Menus::TickAttributeItems()
{
    const Settings& s = settings_;
    const bool ticks[2][3] = {{s.FolderAttr_S, s.FolderAttr_H, s.FolderAttr_R}, {s.FileAttr_S, s.FileAttr_H, s.FileAttr_R}};
    for (int m = 0; m < 2; ++m)
        for (int i = 0; i < 3; ++i) attributeItems_[m][i]->setChecked(ticks[m][i]);
}

void Menus::BuildClipPopup(QMenu* pp, const Commands& c)
{
    MatchController& matcher = c.matcher;
    ClipViewer& viewer = c.viewer;
    ComparisonLoader& loader = c.loader;
    wordWrap_[1] = AddCheck(pp, "W1", "右端で折り返す(&W)");
    for (QAction* a : wordWrap_) {
        connect(a, &QAction::triggered, this, [this, &viewer] {
            viewer.WordWrapExecute();
            SyncClipCommands();
        });
    }
    QAction* copyArea = Add(pp, "CopyArea", "選択領域コピー(&C)");
    connect(copyArea, &QAction::triggered, this, [&matcher] { matcher.CopyAreaClick(); });
    connect(Add(pp, "MD5M2", "MD5を検索(&M)"), &QAction::triggered, this, [&matcher] { matcher.MD5M2Click(); });
    connect(Add(pp, "CRCC2", "CRCを検索(&C)"), &QAction::triggered, this, [&matcher] { matcher.CRCC2Click(); });
    connect(Add(pp, "N5", "ファイル名を検索(&N)"), &QAction::triggered, this, [&matcher] { matcher.N5Click(); });
    QAction* logSearch = Add(pp, "LogSearch", "履歴検索(&R)");
    connect(logSearch, &QAction::triggered, this, [&matcher] { matcher.LogSearchClick(); });
    pasteClipboard_[1] = Add(pp, "PasteClipboard2", "ｸﾘｯﾌﾟﾎﾞｰﾄﾞ読込み(&P)");
    for (QAction* a : pasteClipboard_)
        connect(a, &QAction::triggered, this, [&loader] { loader.PasteClipboardClick(); });
    pp->addSeparator()->setObjectName(QStringLiteral("N6"));
    // ClipViewerSelectionChange.
    copyArea->setEnabled(false);
    logSearch->setEnabled(false);
    connect(&viewer, &ClipViewer::selectionRulesChanged, this, [copyArea, logSearch](bool copy, bool code) {
        copyArea->setEnabled(copy);
        logSearch->setEnabled(code);
    });
}

void Menus::BuildPopups(const Commands& c)
{
    ResultController& res = c.results;
    ProcessingController& proc = c.processing;
    ViewController& views = c.views;
    const auto popup = [this](Popup which, const char* name) {
        QMenu* m = new QMenu(&window_);
        m->setObjectName(QString::fromLatin1(name));
        popups_[static_cast<int>(which)] = m;
        return m;
    };
    // The view switches every popup offers, but never to its own view.
    const auto switches = [&](QMenu* m, View own, const char* prefix) {
        static const char* const kTargets[] = {"Main", "Clip", "List", "Dup"};
        static const char* const kCaptions[] = {"基本画面(&N)", "ｸﾘｯﾌﾟﾎﾞｰﾄﾞﾋﾞｭｱ(&V)", "処理ファイル一覧(&L)",
                                                "重複ファイル一覧(&D)"};
        for (int v = 0; v < 4; ++v) {
            if (v == static_cast<int>(own)) continue;
            const std::string name = std::string(prefix) + "To" + kTargets[v];
            QAction* a = Add(m, name.c_str(), kCaptions[v]);
            connect(a, &QAction::triggered, this, [&views, v] {
                switch (static_cast<View>(v)) {
                case View::Basic: views.CallBasicFrameClick(); break;
                case View::Clip: views.CallClipViewerClick(); break;
                case View::List: views.CallListFrameClick(); break;
                case View::Dup: views.CallDupFrameClick(); break;
                }
            });
            if (v == static_cast<int>(View::Dup)) dupCommands_[1 + static_cast<int>(own)] = a;
        }
    };

    QMenu* ppMain = popup(Popup::Main, "PpMain");
    connect(Add(ppMain, "PopCopyCRC", "CRCをコピー(&C)"), &QAction::triggered, this, [&res] { res.CopyCRCExecute(); });
    connect(Add(ppMain, "PopCopyMD5", "MD5をコピー(&M)"), &QAction::triggered, this, [&res] { res.CopyMD5Execute(); });
    ppMain->addSeparator();
    connect(Add(ppMain, "SubRecalc", "再計算(&R)"), &QAction::triggered, this, [&proc] { proc.RecalcExecute(); });
    QMenu* control = ppMain->addMenu(QStringLiteral("ファイル操作(&F)"));
    control->setObjectName(QStringLiteral("MainFileControl"));
    connect(Add(control, "MainFileExec", "関連づけアプリで開く(&P)"), &QAction::triggered, this,
            [&res] { res.MainFileExecClick(); });
    connect(Add(control, "MainFileOpen", "フォルダを開く(&O)"), &QAction::triggered, this,
            [&res] { res.MainFileOpenClick(); });
    connect(Add(control, "MainFileDel", "削除(&D)..."), &QAction::triggered, this, [&res] { res.MainFileDelClick(); });
    ppMain->addSeparator();
    switches(ppMain, View::Basic, "SubMain");
    QMenu* ppClip = popup(Popup::Clip, "PpClip");
    BuildClipPopup(ppClip, c);
    switches(ppClip, View::Clip, "SubClip");
    QMenu* ppFlist = popup(Popup::List, "PpFlist");
    BuildFileListPopup(*ppFlist, c.browser);
    BuildSelectionListMenu(*ppFlist, c);
    switches(ppFlist, View::List, "SubList");
    QMenu* ppDup = popup(Popup::Dup, "PpDup");
    BuildDupListPopup(*ppDup, c.dupList);
    switches(ppDup, View::Dup, "SubDup");
}

// H1: lists of the file view's selection, before the file commands. The captions of the five
// format items follow the formats (UpdateFormatMenus finds them by name).
void Menus::BuildSelectionListMenu(QMenu& ppFlist, const Commands& c)
{
    auto* h1 = new QMenu(QStringLiteral("比較ファイル作成(&H)"), &ppFlist);
    h1->setObjectName(QStringLiteral("H1"));
    QMenu* fileControl = ppFlist.findChild<QMenu*>(QStringLiteral("FlistFileControl"));
    ppFlist.insertMenu(fileControl ? fileControl->menuAction() : nullptr, h1);
    ListOutputController& lists = c.lists;
    FileSelection& files = c.fileView;
    for (int n = 1; n <= 5; ++n) {
        connect(Add(h1, ("CheckFileFormat" + std::to_string(n)).c_str(), ""), &QAction::triggered, this,
                [&lists, &files, n] { lists.CheckFileFormatClick(n, files.SelectedPaths()); });
    }
    h1->addSeparator();
    connect(Add(h1, "SFVMake", "SFVファイル作成(&S)..."), &QAction::triggered, this,
            [&lists, &files] { lists.SFVMakeClick(files.SelectedPaths()); });
}

void Menus::PopUp(Popup popup, const QPoint& globalPosition)
{
    popups_[static_cast<int>(popup)]->popup(globalPosition);
}

void Menus::SyncFromSettings()
{
    const Settings& s = settings_;
    showMainIcon_->setChecked(s.ShowMainIcon);
    capsSet_->setChecked(s.LowerCaseCodes);
    for (int i = 0; i < 4; ++i) sizeUnits_[i]->setChecked(s.SizeUnit == i);
    const int points[] = {9, 12, 14};
    for (int i = 0; i < 3; ++i) fileNameFonts_[i]->setChecked(s.FileNameFontSize == points[i]);
    verification_->setChecked(s.Verification);
    for (const auto& [action, field] : settingChecks_) action->setChecked(s.*field);
    TickSoundItems();
    TickAttributeItems();
    SyncClipCommands();
    prefs_->SyncTicks();
    UpdateFormatMenus();
    // A stored mode outside 1..3 ticks none, and the setting keeps its value until a click.
    for (int i = 0; i < 3; ++i) {
        logReadModes_[i]->setChecked(s.LogReadMode == i + 1);
        logSaveModes_[i]->setChecked(s.LogSaveMode == i + 1);
    }
}

void Menus::SetDupCommandsEnabled(bool enabled)
{
    for (QAction* a : dupCommands_) a->setEnabled(enabled);
}

bool Menus::DupCommandsEnabled() const { return dupCommands_[0]->isEnabled(); }

void Menus::TickView(View view) { views_[static_cast<int>(view)]->setChecked(true); }

void Menus::SizeUnitClick(int unit, ResultController& results)
{
    static const char* const kTexts[] = {"ファイルサイズ単位 = 自動", "ファイルサイズ単位 = byte固定",
                                         "ファイルサイズ単位 = KB固定", "ファイルサイズ単位 = MB固定"};
    settings_.SizeUnit = unit;
    results.RefreshSize(kUnitCommandBytes);
    status_.SetStatus(kTexts[unit]);
}

}  // namespace qv
