#pragma once
// Import merges history files of either form into the store (another copy's history file, a
// dated file, an export, or the history file itself) and may fold the result into the history
// file; export writes the whole store in either form. The window and the terminal mode run
// the same functions; the window adds its dialogs, question and trash.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "history/HashHistory.h"
#include "history/HistoryFiles.h"
#include "history/HistoryPersistence.h"
#include "platform/WorkHooks.h"

namespace qv {

// The form a history file has by its extension, letter case ignored: ".CSV" and ".LOG" the
// text form, ".DAT" the binary form.
enum class HistoryForm { Other, Text, Binary };
HistoryForm HistoryFormOf(const std::string& path);

// True when path is the history file, however it is spelled (a link to it counts).
bool IsHistoryFile(const std::string& path, const std::string& historyPath);

inline constexpr const char* kImportQuestion =
    "読込み後Quenvarlith.logに履歴を保存し、読み込んだファイルを削除しますか？";
inline constexpr const char* kImportWrongExtension = "インポートファイルが対象拡張子ではありません ";

struct ImportRequest {
    std::vector<std::string> files;   // in the order chosen
    std::string historyPath;
    HistoryOptions options;           // keep period and size limit; fileMask for the inspection
    // The merged store is written to the history file, then the imported files are trashed.
    bool deleteAfter = false;
    int lockWaitMs = 2000;            // for another copy that holds the history file
};

struct ImportSeams {
    // The batch caption "履歴ファイル数 (done/total)" and its bar; "" hides both.
    std::function<void(const std::string& text, int done, int total)> fileCount;
    // Moves an imported file to the trash (after the history file was written).
    std::function<void(const std::string& path)> recycle;
};

struct ImportOutcome {
    bool stopped = false;        // a file failed, the user stopped, or the inspection was cancelled
    bool saved = false;          // the history file was written
    std::string failedFile;      // the file the import stopped at ("" when it was not one)
    std::vector<std::string> folders;   // the folder list after the import
    std::string status;          // the closing status text
};

// Reads each file (stopping at the first that fails), merges, inspects, saves and trashes as
// asked. The history file is read under its lock, so another copy's save never lands in the
// middle; it marks the store as holding the history file (state) only when read whole and
// unchanged since. A file that cannot be read is named with the reason in a box.
ImportOutcome ImportHistoryFiles(HashHistory& store, HistoryFileState& state, const ImportRequest& request,
                                 const ImportSeams& seams, WorkHooks& ui);

// Writes the store over the history file under the folder's save lock, merging the file in
// first when another copy rewrote it since it was read. False (with a box) when that cannot
// be done safely or the write fails; on success state holds the new file.
bool SaveStoreToHistoryFile(HashHistory& store, HistoryFileState& state, const std::string& historyPath,
                            const HistoryReadOptions& options, WorkHooks& ui, int lockWaitMs);

inline constexpr const char* kExportEmpty = "LOG情報が無いのでエクスポートは出来ません";
// The dated name the save dialog proposes: folder/Quenvarlith-yyyymmdd_nnn.csv.
std::string ExportFileName(const std::string& folder, double now);

struct ExportResult {
    bool written = false;
    std::string status;
};
// Writes the whole store to target in the form its extension names, atomically: a failure
// shows the save-error box and leaves an old file as it was. The history file itself is
// refused: overwriting it here would bypass the protocol between copies.
ExportResult ExportHistory(const HashHistory& store, const std::string& target, const std::string& historyPath,
                           WorkHooks& ui);

}  // namespace qv
