#include "history/ImportExport.h"

#include <sys/stat.h>

#include <cerrno>

#include "platform/DirSearch.h"
#include "platform/NumberFormat.h"
#include "platform/Paths.h"
#include "platform/Text.h"

namespace qv {
namespace {

std::string Counted(int64_t count) { return FormatGrouped(count) + "件"; }

void ShowBox(WorkHooks& ui, const std::string& text, BoxIcon icon)
{
    if (ui.prompts) ui.prompts->Message("Quenvarlith", text, Buttons::Ok, icon);
}

// A failed reading with a reason gets its box; a stop has none.
bool Reported(bool ok, const std::string& path, const std::string& why, WorkHooks& ui)
{
    if (!ok && !why.empty()) ShowBox(ui, HistoryReadErrorText(path, why), BoxIcon::Error);
    return ok;
}

// Reads the history file while holding its lock, asking as the start-up load does while
// another copy keeps it. On success the state notes the stamp the file had when read.
bool ReadOwnHistoryFile(HashHistory& store, HistoryFileState& state, const std::string& path,
                        const HistoryReadOptions& options, WorkHooks& ui, int lockWaitMs)
{
    HistoryFileLock lock;
    while (!lock.Acquire(path, lockWaitMs) && lock.Contended()) {
        if (!AskToRetryHistoryRead(EWOULDBLOCK, ui)) return false;
    }
    const HistoryFileMark stamp = HistoryFileStamp(path);
    std::string why;
    if (!Reported(ReadHistoryFile(store, path, options, ui, &why), path, why, ui)) return false;
    state.HistoryFileRead = true;
    state.HistoryFileTime = stamp;
    return true;
}

bool ReadOne(HashHistory& store, HistoryFileState& state, const std::string& file, const ImportRequest& r,
             WorkHooks& ui)
{
    const HistoryReadOptions options = r.options.ReadOptions();
    switch (HistoryFormOf(file)) {
    case HistoryForm::Text: return ReadHistoryText(store, file, options, ui);
    case HistoryForm::Binary: {
        if (IsHistoryFile(file, r.historyPath))
            return ReadOwnHistoryFile(store, state, r.historyPath, options, ui, r.lockWaitMs);
        std::string why;
        return Reported(ReadHistoryFile(store, file, options, ui, &why), file, why, ui);
    }
    case HistoryForm::Other: break;
    }
    return Reported(false, file, "対象拡張子ではありません", ui);
}

}  // namespace

HistoryForm HistoryFormOf(const std::string& path)
{
    const std::string ext = AsciiUpper(ExtensionOf(path));
    if (ext == ".CSV" || ext == ".LOG") return HistoryForm::Text;
    return ext == ".DAT" ? HistoryForm::Binary : HistoryForm::Other;
}

bool IsHistoryFile(const std::string& path, const std::string& historyPath)
{
    if (PathKeysEqual(path, historyPath)) return true;
    struct stat a {}, b {};
    return ::stat(path.c_str(), &a) == 0 && ::stat(historyPath.c_str(), &b) == 0 && a.st_dev == b.st_dev &&
           a.st_ino == b.st_ino;
}

ImportOutcome ImportHistoryFiles(HashHistory& store, HistoryFileState& state, const ImportRequest& r,
                                 const ImportSeams& seams, WorkHooks& ui)
{
    ImportOutcome out;
    const int total = static_cast<int>(r.files.size());
    const auto fileCount = [&](int done) {
        if (seams.fileCount && total > 1)
            seams.fileCount("履歴ファイル数 (" + FormatGrouped(done) + "/" + FormatGrouped(total) + ")", done, total);
    };
    ui.ClearStop();
    // The busy display comes up with its batch caption emptied: the count goes on after it.
    ui.BusyComment("履歴データ読込み中　しばらくお待ちください");
    ui.BusyPanel(true);
    if (seams.fileCount) seams.fileCount("", 0, 0);
    fileCount(0);
    ui.ProgressPos(0);
    ui.Pump();

    bool& stopped = out.stopped;
    for (int i = 0; i < total && !stopped; ++i) {
        const std::string& file = r.files[static_cast<size_t>(i)];
        if (!ReadOne(store, state, file, r, ui) && !ui.StopRequested()) out.failedFile = file;
        stopped = !out.failedFile.empty() || ui.StopRequested();
        fileCount(i + 1);
    }
    // Another copy may have rewritten the history file meanwhile.
    if (state.HistoryFileRead && HistoryFileStamp(r.historyPath) != state.HistoryFileTime)
        state.HistoryFileRead = false;
    if (r.deleteAfter && !state.HistoryFileRead && !stopped) {
        // Its own records come in first, or writing the store over it would lose them. No
        // file at all holds nothing to lose.
        if (!FileExists(r.historyPath)) state = HistoryFileState{true, {}};
        else ReadOwnHistoryFile(store, state, r.historyPath, r.options.ReadOptions(), ui, r.lockWaitMs);
        ui.Pump();
    }
    if (seams.fileCount) seams.fileCount("", 0, 0);
    ui.ProgressPos(0);

    if (stopped) {
        ui.FileLabel("");
        ui.BusyComment("履歴読込み処理中止　しばらくお待ちください");
        ui.Pump();
    } else {
        ui.FileLabel("履歴件数 " + Counted(store.Count()));
        ui.BusyComment("履歴データ検査中　しばらくお待ちください");
        ui.Pump();
        store.InspectHistory(r.options.fileMask, ui);
        stopped = ui.StopRequested();
    }

    if (r.deleteAfter && state.HistoryFileRead && !stopped) {
        ui.Status("履歴データ保存中");
        out.saved = SaveStoreToHistoryFile(store, state, r.historyPath, r.options.ReadOptions(), ui, r.lockWaitMs);
        if (out.saved) {
            ui.Status("インポートファイル削除中");
            for (const std::string& file : r.files)
                if (seams.recycle && !IsHistoryFile(file, r.historyPath)) seams.recycle(file);
        }
    }
    ui.Status("処理ファイル一覧のフォルダリスト更新中");
    out.folders = store.CollectHistoryFolders();
    ui.BusyPanel(false);
    out.status = std::string(stopped ? "履歴データインポート中止 履歴データ" : "履歴データインポート完了 履歴データ") +
                 Counted(store.Count()) + (state.HistoryFileRead ? " 既読状態" : " 未読状態");
    ui.Status(out.status);
    return out;
}

bool SaveStoreToHistoryFile(HashHistory& store, HistoryFileState& state, const std::string& historyPath,
                            const HistoryReadOptions& options, WorkHooks& ui, int lockWaitMs)
{
    // The exit save's order: the folder's save lock, then the file's own lock.
    HistorySaveLock saving;
    saving.Acquire(FolderOf(historyPath), lockWaitMs);
    HistoryFileLock lock;
    if (!saving.Contended() && FileExists(historyPath)) lock.Acquire(historyPath, lockWaitMs);
    if (saving.Contended() || lock.Contended()) {
        ShowBox(ui, HistorySaveErrorText(historyPath, EWOULDBLOCK), BoxIcon::None);
        return false;
    }
    if (FileExists(historyPath) && HistoryFileStamp(historyPath) != state.HistoryFileTime) {
        std::string why;
        if (!Reported(ReadHistoryFile(store, historyPath, options, ui, &why), historyPath, why, ui)) return false;
    }
    if (!WriteHistoryFile(store, historyPath, ui)) return false;
    state = HistoryFileState{true, HistoryFileStamp(historyPath)};
    return true;
}

std::string ExportFileName(const std::string& folder, double now) { return DatedHistoryName(folder, now, ".csv"); }

ExportResult ExportHistory(const HashHistory& store, const std::string& target, const std::string& historyPath,
                           WorkHooks& ui)
{
    ExportResult result;
    const HistoryForm form = HistoryFormOf(target);
    if (store.Count() == 0) result.status = kExportEmpty;
    else if (form == HistoryForm::Other) result.status = "エクスポート対象拡張子ではありません [" + ExtensionOf(target) + "]";
    else if (IsHistoryFile(target, historyPath)) result.status = "履歴ファイルそのものにはエクスポート出来ません";
    if (!result.status.empty()) {
        ui.Status(result.status);
        return result;
    }
    const std::string count = Counted(store.Count());
    ui.Status("履歴データエクスポート中　 履歴データ " + count);
    ui.Pump();
    int32_t skipped = 0;
    result.written = form == HistoryForm::Text ? WriteHistoryText(store, target, ui, &skipped)
                                               : WriteHistoryFile(store, target, ui);
    // A failed write is not reported as done: the box has named the file and the reason. The
    // count is what the file holds; entries the text form cannot carry are named as such.
    result.status = result.written ? "履歴データエクスポート完了 履歴データ " + Counted(store.Count() - skipped)
                                   : "履歴データエクスポート失敗 " + target;
    if (result.written && skipped > 0) result.status += " 改行を含むパス" + Counted(skipped) + "は.datにのみ書けます";
    ui.Status(result.status);
    return result;
}

}  // namespace qv
