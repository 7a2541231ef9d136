#include "gui/browser/FileTableModel.h"

#include <QFontMetrics>

#include <algorithm>
#include <string_view>
#include <unordered_map>

#include "gui/shell/QtPrompts.h"

namespace qv {
namespace {

QString FromView(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

}  // namespace

int FileTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(contents_.rows.size());
}

int FileTableModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kFileColumnCount; }

QVariant FileTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || static_cast<size_t>(index.row()) >= contents_.rows.size()) return {};
    const FileRow& row = contents_.rows[static_cast<size_t>(index.row())];
    const auto column = static_cast<FileColumn>(index.column());
    switch (role) {
    case Qt::DisplayRole: return FromView(CellText(row, column));
    case Qt::TextAlignmentRole:
        if (column == FileColumn::Size) return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
        return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    case Qt::DecorationRole:
        if (column != FileColumn::Name) return {};
        if (row.resultMark >= 0) return marks_[static_cast<size_t>(row.resultMark)];
        if (fileIcons_) return icons_.For(contents_.PathOf(static_cast<size_t>(index.row())));
        return {};
    default: return {};
    }
}

QVariant FileTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= kFileColumnCount)
        return {};
    return ToQ(ColumnHeader(static_cast<FileColumn>(section), contents_.sortedBy));
}

void FileTableModel::SetContents(FolderContents contents)
{
    beginResetModel();
    contents_ = std::move(contents);
    ForgetWidths();
    endResetModel();
    Q_EMIT headerDataChanged(Qt::Horizontal, 0, kFileColumnCount - 1);
}

void FileTableModel::Sort(FileColumn column)
{
    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    std::vector<std::string> names;
    names.reserve(static_cast<size_t>(before.size()));
    for (const QModelIndex& i : before) names.push_back(contents_.rows[static_cast<size_t>(i.row())].name);
    SortRows(contents_, column);
    // Names are unique within one listing, so they say where each row went.
    std::unordered_map<std::string_view, int> rowOf;
    rowOf.reserve(contents_.rows.size());
    for (size_t r = 0; r < contents_.rows.size(); ++r) rowOf.emplace(contents_.rows[r].name, static_cast<int>(r));
    QModelIndexList after;
    after.reserve(before.size());
    for (qsizetype k = 0; k < before.size(); ++k)
        after.push_back(index(rowOf.at(names[static_cast<size_t>(k)]), before[k].column()));
    changePersistentIndexList(before, after);
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
    Q_EMIT headerDataChanged(Qt::Horizontal, 0, kFileColumnCount - 1);
}

void FileTableModel::SetMarks(const std::vector<ResultMark>& marks)
{
    const size_t n = std::min(marks.size(), contents_.rows.size());
    for (size_t r = 0; r < n; ++r) contents_.rows[r].resultMark = static_cast<int8_t>(marks[r]);
    if (n > 0) Q_EMIT dataChanged(index(0, 0), index(static_cast<int>(n) - 1, 0), {Qt::DecorationRole});
}

void FileTableModel::RemoveRows(std::vector<size_t> rows)
{
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    while (!rows.empty() && rows.back() >= contents_.rows.size()) rows.pop_back();
    // From the last run of neighbouring rows to the first, one removal per run.
    while (!rows.empty()) {
        size_t first = rows.size() - 1;
        while (first > 0 && rows[first - 1] + 1 == rows[first]) --first;
        const auto from = static_cast<int>(rows[first]), to = static_cast<int>(rows.back());
        beginRemoveRows({}, from, to);
        contents_.rows.erase(contents_.rows.begin() + from, contents_.rows.begin() + to + 1);
        endRemoveRows();
        rows.resize(first);
    }
    ForgetWidths();
}

void FileTableModel::SetFileIcons(bool on)
{
    if (on == fileIcons_) return;
    fileIcons_ = on;
    if (!contents_.rows.empty())
        Q_EMIT dataChanged(index(0, 0), index(rowCount() - 1, 0), {Qt::DecorationRole});
}

void FileTableModel::SetMarkIcons(const std::array<QIcon, 5>& icons)
{
    marks_ = icons;
    if (!contents_.rows.empty())
        Q_EMIT dataChanged(index(0, 0), index(rowCount() - 1, 0), {Qt::DecorationRole});
}

void FileTableModel::ForgetWidths() const { widestKnown_.fill(false); }

int FileTableModel::WidestRow(FileColumn column, const QFont& font) const
{
    if (contents_.rows.empty()) return -1;
    if (font != widthFont_) {
        widthFont_ = font;
        ForgetWidths();
    }
    const auto c = static_cast<size_t>(column);
    if (widestKnown_[c]) return widest_[c];
    // ASCII texts (every column but some names) are measured by a table of character
    // advances; that picks the widest row without shaping 20,000 texts.
    const QFontMetrics metrics(font);
    int advance[128];
    for (int ch = 0; ch < 128; ++ch) advance[ch] = metrics.horizontalAdvance(QChar(ch));
    int best = 0, bestWidth = -1;
    for (size_t r = 0; r < contents_.rows.size(); ++r) {
        const std::string_view text = CellText(contents_.rows[r], column);
        int width = 0;
        bool ascii = true;
        for (const char ch : text) {
            if (static_cast<unsigned char>(ch) >= 128) {
                ascii = false;
                break;
            }
            width += advance[static_cast<unsigned char>(ch)];
        }
        if (!ascii) width = metrics.horizontalAdvance(FromView(text));
        if (width > bestWidth) {
            bestWidth = width;
            best = static_cast<int>(r);
        }
    }
    widest_[c] = best;
    widestKnown_[c] = true;
    return best;
}

}  // namespace qv
