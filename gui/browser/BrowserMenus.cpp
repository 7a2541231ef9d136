#include "gui/browser/BrowserMenus.h"

#include <QAction>
#include <QMenu>

#include "gui/browser/BrowserCommands.h"
#include "gui/browser/DupListCommands.h"
#include "gui/shell/Menus.h"

namespace qv {
namespace {

struct Item {
    const char* name;
    const char* caption;
    void (BrowserCommands::*command)();
};

void AddItems(QMenu* menu, BrowserCommands& c, std::initializer_list<Item> items)
{
    for (const Item& i : items)
        QObject::connect(AddMenuItem(menu, i.name, i.caption), &QAction::triggered, &c, [&c, i] { (c.*i.command)(); });
}

QMenu* AddSubmenu(QMenu& menu, const char* name, const char* caption)
{
    QMenu* sub = menu.addMenu(QString::fromUtf8(caption));
    sub->setObjectName(QString::fromLatin1(name));
    return sub;
}

}  // namespace

void BuildFileListPopup(QMenu& pp, BrowserCommands& c)
{
    using B = BrowserCommands;
    AddItems(AddSubmenu(pp, "N3", "項目選択(&I)"), c,
             {{"FListSelectAll", "全て選択(&A)", &B::FListSelectAllClick},
              {"FListNoCalc", "未計算ファイルを選択(&N)", &B::FListNoCalcClick},
              {"SameExt", "同じ種類を選択(&S)", &B::SameExtClick},
              {"FListResetAll", "全て解除(&U)", &B::FListResetAllClick}});
    AddItems(AddSubmenu(pp, "FlistFileControl", "ファイル操作(&F)"), c,
             {{"FListFileExec", "関連づけアプリで開く(&P)", &B::FListFileExecClick},
              {"FListFileOpen", "フォルダを開く(&O)", &B::FListFileOpenClick},
              {"FListFileDel", "選択ファイルを削除(&D)...", &B::FListFileDelClick}});
    AddItems(&pp, c,
             {{"FListSelectCalc", "選択ファイルを計算(&Z)", &B::FListSelectCalcClick},
              {"FListRefresh", "フォルダ再読込み(&R)", &B::FListRefreshClick},
              {"AllCheck", "一括チェック(&A)", &B::AllCheckClick},
              {"B1", "一括重複チェック(&B)", &B::B1Click}});
    pp.addSeparator();
}

void BuildDupListPopup(QMenu& pp, DupListCommands& c)
{
    QObject::connect(AddMenuItem(&pp, "DupFileExec", "関連づけアプリで開く(&P)"), &QAction::triggered, &c,
                     [&c] { c.DupFileExecClick(); });
    QObject::connect(AddMenuItem(&pp, "DupFileOpen", "フォルダを開く(&O)"), &QAction::triggered, &c,
                     [&c] { c.DupFileOpenClick(); });
    QObject::connect(AddMenuItem(&pp, "DupFileDel", "削除(&D)"), &QAction::triggered, &c,
                     [&c] { c.DupFileDelClick(); });
    pp.addSeparator();
}

}  // namespace qv
