#include "browser/FileView.h"

#include "history/HashHistory.h"
#include "history/KeyOrder.h"
#include "platform/Attributes.h"
#include "platform/DateFormat.h"
#include "platform/DirSearch.h"
#include "platform/Files.h"
#include "platform/NumberFormat.h"
#include "platform/Paths.h"
#include "platform/Text.h"
#include "settings/Settings.h"

#include <algorithm>
#include <cerrno>

namespace qv {
namespace {

constexpr const char* kHeaders[kFileColumnCount] = {"ファイル名", "サイズ", "ＣＲＣ",
                                                    "ＭＤ５", "属性", "更新日時"};

FileRow MakeRow(const FoundEntry& entry)
{
    FileRow row;
    row.name = entry.name;
    if (!IsValidUtf8(entry.name)) row.shownName = Utf8WithReplacements(entry.name);
    row.size = entry.size;
    row.sizeText = std::to_string(entry.size);
    row.attributes = entry.attributes;
    AttributeLetters(entry.attributes, row.attributeText);
    row.stamp = entry.stamp;
    row.timeText = FormatDateTime("yyyy/mm/dd hh:mm:ss", entry.stamp);
    return row;
}

// The first history index at or after from whose key is not below path: a doubling step
// then a binary search, so rows looked up in key order mostly touch neighbouring entries.
int32_t LowerBoundFrom(const HashHistory& history, int32_t from, std::string_view path)
{
    const auto below = [&](int32_t i) { return CompareHistoryKeys(history.PathAt(i), path) < 0; };
    int32_t lo = from, hi = from, step = 1;
    while (hi < history.Count() && below(hi)) {
        lo = hi + 1;
        hi = step < history.Count() - from ? from + step : history.Count();
        step *= 2;
    }
    while (lo < hi) {
        const int32_t mid = lo + (hi - lo) / 2;
        if (below(mid)) lo = mid + 1;
        else hi = mid;
    }
    return lo;
}

// Rows sorted by name are in the history's key order (they share the folder prefix), so
// each lookup starts where the last one ended.
void LookUpRecords(FolderContents& contents, const HashHistory& history)
{
    int32_t from = 0;
    std::string path;
    for (FileRow& row : contents.rows) {
        path = JoinPath(contents.folder, row.name);
        from = LowerBoundFrom(history, from, path);
        row.known = from < history.Count() && PathKeysEqual(history.PathAt(from), path);
        if (!row.known) continue;
        const HistoryRecord& record = history.RecordAt(from);
        row.valid = RecordMatchesStamp(record, row.size, row.stamp);
        if (row.valid) {
            row.crc = record.Crc;
            row.md5 = record.Md5;
        }
    }
}

bool& ItemOf(bool& system, bool& hidden, bool& readOnly, AttrItem item)
{
    return item == AttrItem::System ? system : (item == AttrItem::Hidden ? hidden : readOnly);
}

}  // namespace

std::string_view CellText(const FileRow& row, FileColumn column)
{
    switch (column) {
    case FileColumn::Name: return row.ShownName();
    case FileColumn::Size: return row.sizeText;
    case FileColumn::Crc: return row.crc;
    case FileColumn::Md5: return row.md5;
    case FileColumn::Attributes: return row.attributeText;
    case FileColumn::Time: return row.timeText;
    }
    return {};
}

std::string ColumnHeader(FileColumn column, FileColumn sortedBy)
{
    std::string header = kHeaders[static_cast<int>(column)];
    if (column == sortedBy) header += "▽";
    return header;
}

std::string FolderContents::PathOf(size_t row) const { return JoinPath(folder, rows.at(row).name); }

FolderContents ReadFolder(const std::string& folder, const HashHistory& history, uint32_t fileMask)
{
    FolderContents contents;
    contents.folder = folder;
    if (folder.empty()) return contents;
    std::vector<FoundEntry> entries;
    if (!ListFolder(folder, "*", fileMask, entries)) {
        contents.errorCode = errno;
        contents.state = FolderExists(folder) ? FolderState::Unreadable : FolderState::Missing;
        return contents;
    }
    contents.state = FolderState::Listed;
    contents.rows.reserve(entries.size());
    for (const FoundEntry& entry : entries)
        if (!(entry.attributes & kAttrDirectory)) contents.rows.push_back(MakeRow(entry));
    SortRows(contents, FileColumn::Name);
    LookUpRecords(contents, history);
    return contents;
}

void SortRows(FolderContents& contents, FileColumn column)
{
    contents.sortedBy = column;
    std::vector<FileRow>& rows = contents.rows;
    // Texts in the path-key order (letters folded, exact bytes breaking ties), the order the
    // folder list and the history read in; folded once per row rather than per comparison.
    std::vector<std::string> names(rows.size()), texts;
    for (size_t i = 0; i < rows.size(); ++i) names[i] = AsciiLower(rows[i].name);
    const bool byText = column != FileColumn::Name && column != FileColumn::Size;
    if (byText)
        for (const FileRow& row : rows) texts.push_back(AsciiLower(CellText(row, column)));
    std::vector<uint32_t> order(rows.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = static_cast<uint32_t>(i);
    std::sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) {
        // Sizes as numbers, as the texts "shorter first, then character by character" order them.
        if (column == FileColumn::Size && rows[a].size != rows[b].size) return rows[a].size < rows[b].size;
        if (byText) {
            if (const int c = texts[a].compare(texts[b])) return c < 0;
            if (const int c = CellText(rows[a], column).compare(CellText(rows[b], column))) return c < 0;
        }
        if (const int c = names[a].compare(names[b])) return c < 0;
        return rows[a].name < rows[b].name;
    });
    std::vector<FileRow> sorted;
    sorted.reserve(rows.size());
    for (const uint32_t i : order) sorted.push_back(std::move(rows[i]));
    rows.swap(sorted);
}

std::string ReadingFolderStatus(std::string_view folder)
{
    return "フォルダ読取り中 " + std::string(folder);
}

std::string FolderContentsStatus(const FolderContents& contents)
{
    // A folder that exists but cannot be listed is not an empty one: say why it shows nothing.
    if (contents.state == FolderState::Unreadable)
        return "フォルダを読み込めません " + contents.folder + " (" + PlatformErrorText(contents.errorCode) + ")";
    return FormatGrouped(static_cast<int64_t>(contents.rows.size())) + "ファイル有ります";
}

void FolderAttrClick(Settings& s, AttrItem item)
{
    bool& tick = ItemOf(s.FolderAttr_S, s.FolderAttr_H, s.FolderAttr_R, item);
    tick = !tick;
    UpdateAttributeMasks(s);
}

void FileAttrClick(Settings& s, AttrItem item)
{
    bool& tick = ItemOf(s.FileAttr_S, s.FileAttr_H, s.FileAttr_R, item);
    tick = !tick;
    UpdateAttributeMasks(s);
}

}  // namespace qv
