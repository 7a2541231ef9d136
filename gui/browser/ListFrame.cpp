#include "gui/shell/ListFrame.h"

#include <QComboBox>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

#include "gui/shell/QtPrompts.h"
#include "platform/Paths.h"

namespace qv {

ListFrame::ListFrame(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("FileViewBase"));
    setContextMenuPolicy(Qt::CustomContextMenu);
    auto* box = new QVBoxLayout(this);
    box->setContentsMargins(0, 0, 0, 0);
    folderList_ = new QComboBox(this);
    folderList_->setObjectName(QStringLiteral("FolderList"));
    fileView_ = new QTreeWidget(this);
    fileView_->setObjectName(QStringLiteral("FileView"));
    fileView_->setHeaderLabels({QStringLiteral("ファイル名"), QStringLiteral("サイズ"), QStringLiteral("ＣＲＣ"),
                                QStringLiteral("ＭＤ５"), QStringLiteral("属性"), QStringLiteral("更新日時")});
    fileView_->setRootIsDecorated(false);
    box->addWidget(folderList_);
    box->addWidget(fileView_, 1);
}

void ListFrame::AddFolder(const std::string& folder)
{
    const auto at = std::lower_bound(folders_.begin(), folders_.end(), folder, PathKeyLess{});
    if (at != folders_.end() && PathKeysEqual(*at, folder)) return;
    folderList_->insertItem(static_cast<int>(at - folders_.begin()), ToQ(folder));
    folders_.insert(at, folder);
}

void ListFrame::SetFolders(const std::vector<std::string>& folders)
{
    folders_ = folders;
    std::sort(folders_.begin(), folders_.end(), PathKeyLess{});
    folders_.erase(std::unique(folders_.begin(), folders_.end(),
                               [](const std::string& a, const std::string& b) { return PathKeysEqual(a, b); }),
                   folders_.end());
    folderList_->clear();
    for (const std::string& f : folders_) folderList_->addItem(ToQ(f));
}

bool ListFrame::SelectFolder(const std::string& folder)
{
    const auto at = std::lower_bound(folders_.begin(), folders_.end(), folder, PathKeyLess{});
    if (at == folders_.end() || !PathKeysEqual(*at, folder)) return false;
    folderList_->setCurrentIndex(static_cast<int>(at - folders_.begin()));
    return true;
}

std::string ListFrame::SelectedFolder() const { return FromQ(folderList_->currentText()); }

}  // namespace qv
