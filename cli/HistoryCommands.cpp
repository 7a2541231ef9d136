#include "cli/Commands.h"

#include <string>
#include <vector>

#include "cli/HashOperands.h"
#include "cli/TerminalSession.h"
#include "history/ImportExport.h"
#include "history/Maintenance.h"
#include "job/FromSettings.h"
#include "platform/DirSearch.h"
#include "platform/Files.h"
#include "platform/Paths.h"

#include <cerrno>

namespace qv {
namespace {

constexpr int kUsageError = 2;

// The history is saved as every terminal command saves it; the closing status goes to
// standard output when the command did what it was asked, else to standard error.
int Finish(TerminalSession& s, bool ok, const std::string& status)
{
    const bool saved = !s.SaveHistory().Failed();
    if (ok) s.out.Text(status + "\n");
    else s.out.Message(status);
    return ok && saved ? 0 : 1;
}

// The folder operand, absolute; "" after a usage message when there is none.
std::string FolderOperand(TerminalSession& s)
{
    if (s.operands[0].empty()) {
        s.out.Message("フォルダが指定されていません");
        return {};
    }
    return ExpandLongPath(s.operands[0], s.cwd);
}

}  // namespace

int RunExport(TerminalSession& s)
{
    const std::string target = ExpandLongPath(s.operands[0], s.cwd);
    if (HistoryFormOf(target) == HistoryForm::Other) {
        s.out.PathMessage("エクスポート対象拡張子ではありません (.csv .log .dat): ", target);
        return kUsageError;
    }
    s.LoadHistory();
    const ExportResult result = ExportHistory(s.history, target, HistoryFilePath(s.dataFolder), s.hooks);
    return Finish(s, result.written, result.status);
}

int RunImport(TerminalSession& s)
{
    ImportRequest request;
    for (const std::string& operand : s.operands) {
        const std::string path = ExpandLongPath(operand, s.cwd);
        if (HistoryFormOf(path) == HistoryForm::Other) {
            s.out.PathMessage(kImportWrongExtension, path);
            return kUsageError;
        }
        request.files.push_back(path);
    }
    request.historyPath = HistoryFilePath(s.dataFolder);
    request.options = HistoryOptionsFrom(s.settings);
    s.LoadHistory();
    // Never deleted here: the files were named by hand, and nobody is asked.
    const ImportOutcome outcome = ImportHistoryFiles(s.history, s.historyState, request, {}, s.hooks);
    if (!outcome.failedFile.empty()) s.out.PathMessage("読み込めませんでした: ", outcome.failedFile);
    return Finish(s, !outcome.stopped, outcome.status);
}

int RunRegister(TerminalSession& s)
{
    const std::string folder = FolderOperand(s);
    if (folder.empty()) return kUsageError;
    if (!FolderExists(folder)) {
        s.out.PathMessage("フォルダを読み込めません: ", folder,
                          " (" + (PathExists(folder) ? std::string("フォルダではありません") : PlatformErrorText(ENOENT)) + ")");
        return 1;
    }
    s.LoadHistory();
    const int32_t before = s.history.Count();
    const TreeScan scan = ScanTree(s.history, folder, s.settings.FolderAttrMask, s.settings.FileAttrMask,
                                   s.settings.Verification, s.hooks);
    HashPass pass;
    if (!scan.stopped) pass = HashOperands(s, scan.toHash, [](const std::string&, const FileJobOutcome&) {});
    const bool stopped = scan.stopped || pass.stopped;
    const std::string status = RegistrationDoneText(stopped, s.history.Count() - before, s.history.Count());
    return Finish(s, !stopped && pass.failed == 0 && pass.rejected == 0, status);
}

int RunForget(TerminalSession& s)
{
    const std::string folder = FolderOperand(s);
    if (folder.empty()) return kUsageError;
    s.LoadHistory();
    const int32_t removed = ForgetFolder(s.history, folder, s.hooks);
    return Finish(s, true, ForgetDoneText(s.history.Count(), removed, folder));
}

}  // namespace qv
