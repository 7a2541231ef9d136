#pragma once
#include <QWidget>

#include <string>
#include <vector>

#include "browser/FileCommands.h"
#include "browser/FolderList.h"
#include "gui/shell/Shell.h"

class QComboBox;
class QTableView;

namespace qv {

class FileTableModel;
class FolderItemsModel;

// The list frame FileViewBase: FolderList above FileView. Folder items keep the path-key order
// of the history and their bytes, so a folder whose name is not valid UTF-8 is shown with a
// replacement character and still read under its real name.
class ListFrame final : public QWidget, public FolderItems {
    Q_OBJECT
public:
    explicit ListFrame(QWidget* parent = nullptr);
    ~ListFrame() override;

    // FolderItems.
    void AddFolder(const std::string& folder) override;
    void SetFolders(const std::vector<std::string>& folders) override;
    bool SelectFolder(const std::string& folder) override;
    std::string SelectedFolder() const override;

    QComboBox* FolderList() const { return folderList_; }
    QTableView* FileView() const { return fileView_; }
    FileTableModel& Model() const { return *model_; }

    // The file view's selection, one flag per row in view order, and its replacement.
    Selection SelectedRows() const;
    void SelectRows(const Selection& rows);
    // Selects the row alone, makes it current and scrolls to it, with the focus on the view.
    void GoToRow(int row);
    // Fonts, grid lines, colours, result marks and drop-down rows as the settings say.
    void ApplyLook(const Settings& settings);

Q_SIGNALS:
    void folderChosen();      // the user picked an item of FolderList
    void fileViewResized();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QComboBox* folderList_;
    QTableView* fileView_;
    FolderItemsModel* folders_;
    FileTableModel* model_;
};

}  // namespace qv
