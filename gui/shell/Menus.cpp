#include "gui/shell/Menus.h"

#include <QAction>
#include <QActionGroup>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

#include <utility>

#include "gui/processing/ProcessingController.h"
#include "gui/processing/ResultController.h"
#include "gui/shell/LifecycleController.h"
#include "gui/shell/ViewController.h"
#include "job/FileJob.h"
#include "job/FromSettings.h"
#include "settings/Settings.h"

namespace qv {

Menus::Menus(QMainWindow& window, Settings& settings, FileJob& job, StatusLine& status)
    : QObject(&window), window_(window), settings_(settings), job_(job), status_(status)
{
}

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

    QMenu* setting = bar->addMenu(QStringLiteral("設定(&S)"));
    setting->setObjectName(QStringLiteral("SettingMenu"));
    BuildSettingsMenu(setting, c.results);
    BuildPopups(c);
    SetDupCommandsEnabled(false);
    SyncFromSettings();
}

void Menus::BuildSettingsMenu(QMenu* setting, ResultController& res)
{
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
    QMenu* log = setting->addMenu(QStringLiteral("履歴情報(&L)"));
    log->setObjectName(QStringLiteral("LogSet"));
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
    // The other views' own commands come with their subsystems.
    switches(popup(Popup::Clip, "PpClip"), View::Clip, "SubClip");
    switches(popup(Popup::List, "PpFlist"), View::List, "SubList");
    switches(popup(Popup::Dup, "PpDup"), View::Dup, "SubDup");
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
    results.RefreshSize();
    status_.SetStatus(kTexts[unit]);
}

}  // namespace qv
