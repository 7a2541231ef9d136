#pragma once
#include <QWidget>

#include <string>
#include <vector>

#include "gui/shell/Shell.h"

class QComboBox;
class QTreeWidget;

namespace qv {

// The list frame FileViewBase: FolderList above FileView. The folder items are kept in
// path-key order (letters folded, exact bytes breaking ties) and told apart byte for byte,
// the rule of every other path comparison; a sorted copy finds an item without asking Qt.
class ListFrame final : public QWidget, public FolderItems {
    Q_OBJECT
public:
    explicit ListFrame(QWidget* parent = nullptr);

    void AddFolder(const std::string& folder) override;
    void SetFolders(const std::vector<std::string>& folders) override;
    bool SelectFolder(const std::string& folder) override;
    std::string SelectedFolder() const override;

    QComboBox* FolderList() const { return folderList_; }
    QTreeWidget* FileView() const { return fileView_; }

private:
    QComboBox* folderList_;
    QTreeWidget* fileView_;
    std::vector<std::string> folders_;   // the items, in their order
};

}  // namespace qv
