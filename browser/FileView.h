#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qv {

class HashHistory;
struct Settings;

// Columns of the file view, in their order on screen.
enum class FileColumn { Name = 0, Size, Crc, Md5, Attributes, Time };
inline constexpr int kFileColumnCount = 6;

// Images of ResultIconList that the bulk checks put on rows; kNoResultMark keeps the file icon.
enum class ResultMark : int8_t {
    HashAndName = 0,   // name and a code on one line (bulk check); has a duplicate (bulk duplicate check)
    Md5 = 1,
    Crc = 2,
    NameOnly = 3,
    Nothing = 4,
};
inline constexpr int8_t kNoResultMark = -1;

// One file of the shown folder, with every text the view shows precomputed so a table model
// can serve cells without work.
struct FileRow {
    std::string name;        // bytes on disk: join with the folder to open or hash the file
    std::string shownName;   // the name as valid UTF-8 (U+FFFD for bad bytes); empty when name is valid
    int64_t size = 0;
    std::string sizeText;    // plain decimal digits
    std::string crc;         // the record's codes when it is valid for the file, else empty
    std::string md5;
    uint32_t attributes = 0; // kAttr* bits
    char attributeText[7] = "------";
    double stamp = 0.0;      // last-write time in the stamp form (whole seconds)
    std::string timeText;    // "yyyy/mm/dd hh:mm:ss"
    bool known = false;      // the history has a record under this path
    bool valid = false;      // ... and it still matches size and stamp, so the codes are shown
    int8_t resultMark = kNoResultMark;

    bool Modified() const { return known && !valid; }
    const std::string& ShownName() const { return shownName.empty() ? name : shownName; }
};

// The text of a cell as the view shows it.
std::string_view CellText(const FileRow& row, FileColumn column);
// "ファイル名", or "ファイル名▽" when the view is sorted by that column.
std::string ColumnHeader(FileColumn column, FileColumn sortedBy);

enum class FolderState {
    Listed,       // enumerated (possibly empty)
    NoFolder,     // no folder selected
    Missing,      // the folder is gone
    Unreadable,   // there, but the user may not list it
};

// What FolderListChange puts in the file view.
struct FolderContents {
    std::string folder;
    FolderState state = FolderState::NoFolder;
    int errorCode = 0;           // errno of a failed listing
    std::vector<FileRow> rows;   // sorted by name
    FileColumn sortedBy = FileColumn::Name;

    std::string PathOf(size_t row) const;
};

// One enumeration of the folder with the file mask, one history lookup per file; no file is
// opened. Folders and entries the mask leaves out are skipped.
FolderContents ReadFolder(const std::string& folder, const HashHistory& history, uint32_t fileMask);

// Ascending by the column, always; equal keys fall back to the name so the order is stable.
void SortRows(FolderContents& contents, FileColumn column);

// Status lines of a reread: "フォルダ読取り中 " + folder before, the count (or the reason the
// folder could not be listed) after.
std::string ReadingFolderStatus(std::string_view folder);
std::string FolderContentsStatus(const FolderContents& contents);

// The three restriction items of the FolderAttr and FileAttr menus.
enum class AttrItem { System, Hidden, ReadOnly };
// Flip the clicked item and recompute the mask.
void FolderAttrClick(Settings& settings, AttrItem item);
void FileAttrClick(Settings& settings, AttrItem item);

}  // namespace qv
