#pragma once
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "browser/FileView.h"

namespace qv {

class HashHistory;
class Prompts;

// Selected rows of the file view or the duplicate list: one flag per row, in view order.
using Selection = std::vector<bool>;

inline constexpr const char* kStatusNothingSelected = "ファイルが選択されていません";
inline constexpr const char* kStatusFilesDeleted = "ファイルを削除しました";
inline constexpr const char* kStatusDeleteStopped = "削除を中止しました";

// 未計算ファイルを選択: exactly the rows that show no codes.
Selection SelectUncalculated(const std::vector<FileRow>& rows);

// 同じ種類を選択: the selected rows' extensions (from the last dot, ASCII upper case) are
// strung together, and every row whose extension occurs in that text joins the selection.
// Being a substring test, a selected .CPP also brings in .C files. False when nothing is
// selected (the caller shows kStatusNothingSelected).
bool SelectSameExtension(const std::vector<FileRow>& rows, Selection& selection);

// Full paths of the selected rows, in view order.
std::vector<std::string> SelectedPaths(const FolderContents& contents, const Selection& selection);
// The rows of contents whose paths are among paths: a reread keeps what the user had picked.
Selection SelectionOf(const FolderContents& contents, const std::vector<std::string>& paths);
// The row a double click acts on: only when exactly one row is selected.
std::optional<size_t> OnlySelected(const Selection& selection);
// What the bulk checks hash before comparing: every row that shows no codes (never hashed, or
// changed since) and whose file is still there.
std::vector<std::string> PathsLackingCodes(const FolderContents& contents);

// What "open with its program" opens: a symbolic link stands for a shortcut and opens its
// final target ("" when it dangles); anything else opens itself.
std::string OpenTarget(const std::string& path);

// The window's side of the delete commands.
struct DeleteSeams {
    Prompts* prompts = nullptr;
    // Moves a file to the trash (asking first for a read-only one); true when it went.
    std::function<bool(const std::string&)> recycle;
    std::function<void(const std::string&)> status;
};

// 選択ファイルを削除: asks, then trashes the selected files from the last row to the first.
// A file's record and row go only when the file is gone afterwards, so a file the user kept
// (or the trash refused) keeps its remembered codes. Returns the rows to remove, last first.
std::vector<size_t> FListFileDelClick(HashHistory& history, const FolderContents& contents,
                                      const Selection& selection, const DeleteSeams& seams);

// 削除 in the duplicate list (rows are full paths), for the first selected row; the last row
// left is deleted only after an explicit Ignore. True when that row is to be removed.
bool DupFileDelClick(HashHistory& history, const std::vector<std::string>& rows,
                     const Selection& selection, const DeleteSeams& seams);

// Status lines of the duplicate list's view options.
enum class DupOption { Icons, BoldFont, BorderLines };
std::string DupOptionStatus(DupOption option, bool on);

}  // namespace qv
