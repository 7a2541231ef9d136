#pragma once
#include <QAbstractTableModel>
#include <QFont>
#include <QIcon>

#include <array>
#include <vector>

#include "browser/FileView.h"
#include "gui/browser/FileIcons.h"

namespace qv {

// FileView's rows: one folder's snapshot, served cell by cell from the texts the core made,
// so filling and scrolling 20,000 rows costs one reset and the rows on screen.
class FileTableModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    const FolderContents& Contents() const { return contents_; }
    // A new snapshot in one reset; the file icons come back in place of any result marks.
    void SetContents(FolderContents contents);
    // Sorts by the column; selection and current row follow their files.
    void Sort(FileColumn column);
    // One mark per row, in row order, replacing the file icons in one change.
    void SetMarks(const std::vector<ResultMark>& marks);
    void RemoveRows(std::vector<size_t> rows);
    void SetFileIcons(bool on);
    void SetMarkIcons(const std::array<QIcon, 5>& icons);

    // The row whose text in the column is widest in the font, -1 without rows. Remembered
    // until the rows or the font change, so fitting the widths on every resize is cheap.
    int WidestRow(FileColumn column, const QFont& font) const;

private:
    void ForgetWidths() const;

    FolderContents contents_;
    bool fileIcons_ = true;
    std::array<QIcon, 5> marks_;
    mutable FileIcons icons_;
    mutable std::array<int, kFileColumnCount> widest_{};
    mutable std::array<bool, kFileColumnCount> widestKnown_{};
    mutable QFont widthFont_;
};

}  // namespace qv
