#include "browser/FileView.h"

#include "history/HashHistory.h"
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

FileRow MakeRow(const FoundEntry& entry, const std::string& path, const HashHistory& history)
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
    int32_t index = -1;
    row.known = history.Find(path, index);
    if (row.known) {
        const HistoryRecord& record = history.RecordAt(index);
        row.valid = RecordMatchesStamp(record, entry.size, entry.stamp);
        if (row.valid) {
            row.crc = record.Crc;
            row.md5 = record.Md5;
        }
    }
    return row;
}

int CompareCells(const FileRow& a, const FileRow& b, FileColumn column)
{
    // Texts in the path-key order (letters folded, exact bytes breaking ties), the order the
    // folder list and the history read in.
    switch (column) {
    case FileColumn::Name: return ComparePathKeys(a.name, b.name);
    // Numbers, as the texts "shorter first, then character by character" order them.
    case FileColumn::Size: return a.size < b.size ? -1 : (a.size > b.size ? 1 : 0);
    default: return ComparePathKeys(CellText(a, column), CellText(b, column));
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
    std::string path;
    for (const FoundEntry& entry : entries) {
        if (entry.attributes & kAttrDirectory) continue;
        path = JoinPath(folder, entry.name);
        contents.rows.push_back(MakeRow(entry, path, history));
    }
    SortRows(contents, FileColumn::Name);
    return contents;
}

void SortRows(FolderContents& contents, FileColumn column)
{
    contents.sortedBy = column;
    std::sort(contents.rows.begin(), contents.rows.end(), [column](const FileRow& a, const FileRow& b) {
        const int c = CompareCells(a, b, column);
        return c != 0 ? c < 0 : ComparePathKeys(a.name, b.name) < 0;
    });
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
