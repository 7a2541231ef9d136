#include "gui/history/HistoryController.h"

#include "gui/shell/BusyPanel.h"
#include "gui/shell/Desktop.h"
#include "gui/shell/FileDialogs.h"
#include "history/ImportExport.h"
#include "history/Maintenance.h"
#include "job/FromSettings.h"
#include "platform/Paths.h"
#include "platform/Prompts.h"
#include "processing/Driver.h"
#include "processing/ResultPanel.h"
#include "settings/Settings.h"

namespace qv {
namespace {

constexpr const char* kImportFilter =
    "Quenvarlith履歴ファイル(Quenvarlith*.LOG/DAT/CSV)|Quenvarlith*.CSV;Quenvarlith*.LOG;Quenvarlith*.DAT|"
    "Quenvarlith履歴ファイル(*.LOG/*.DAT/*.CSV)|*.CSV;*.LOG;*.DAT";

}  // namespace

bool HistoryController::Occupied() const
{
    return p_.driver.startingUp || p_.driver.Running() || p_.busy.Shown();
}

void HistoryController::AfterHistoryChanged()
{
    p_.host.RefreshFileView();
    p_.result.RefindShownRecord();
}

WorkHooks HistoryController::Hooks() const
{
    WorkHooks ui = p_.hooks();
    ui.busyPanel = [this](bool shown) { shown ? p_.busy.Show() : p_.busy.Hide(); };
    return ui;
}

void HistoryController::LogClearClick()
{
    if (Occupied()) return;
    const Answer answer = p_.prompts.Message(kAppTitle, ClearQuestionText(p_.history.Count(), p_.state.HistoryFileRead),
                                             Buttons::OkCancel, BoxIcon::Warning);
    if (answer != Answer::Ok) {
        p_.status.SetStatus(kClearCancelledStatus);
        return;
    }
    // HistoryFileRead stays: a read history file is overwritten at exit, an unread one is not.
    p_.history.ClearHistory();
    p_.folders.SetFolders({});
    AfterHistoryChanged();
    p_.status.SetStatus(kClearedStatus);
}

void HistoryController::LogKeepSetClick()
{
    if (Occupied()) return;
    // A cancelled box answers with the text it offered: the period stays, the sweep runs.
    std::string answer = std::to_string(p_.settings.LogKeepDate);
    p_.prompts.Input(kKeepPeriodTitle, KeepPeriodPrompt(p_.history.Count()), answer);
    int32_t days = p_.settings.LogKeepDate;
    KeepDaysFromAnswer(answer, days);
    p_.settings.LogKeepDate = days;
    WorkHooks ui = Hooks();
    if (SweepExpired(p_.history, days, ui) > 0) AfterHistoryChanged();
}

void HistoryController::LogInhibitSizeClick()
{
    if (Occupied()) return;
    const int64_t old = p_.settings.LimitLogingFileSize;
    std::string answer = std::to_string(old);
    p_.prompts.Input(kSizeLimitTitle, kSizeLimitPrompt, answer);
    int64_t limit = old;
    SizeLimitFromAnswer(answer, limit);
    p_.settings.LimitLogingFileSize = limit;
    p_.status.SetStatus(SizeLimitText(limit, limit != old));
}

void HistoryController::FolderScanClick()
{
    if (Occupied()) return;
    const int32_t before = p_.history.Count();
    const std::string folder = p_.dialogs.ChooseFolder(kRegisterPrompt, "");
    if (folder.empty()) return;
    p_.driver.stop.Clear();
    WorkHooks ui = Hooks();
    // A large tree takes a while to walk: the busy display shows it, and its cancel stops it.
    p_.busy.SetComment(kWalkComment);
    p_.busy.SetFileLabel("");
    p_.busy.Show();
    const TreeScan scan = ScanTree(p_.history, folder, p_.settings.FolderAttrMask, p_.settings.FileAttrMask,
                                   p_.settings.Verification, ui);
    p_.busy.Hide();
    bool stopped = scan.stopped;
    if (!stopped && !scan.toHash.empty()) {
        for (const std::string& path : scan.toHash) p_.driver.Enqueue(path);
        p_.driver.ProcessFiles(Recalc::No, Quiet::Yes);
        // A file that failed or vanished ended the batch early: the tree is not registered.
        stopped = !p_.driver.LastBatchComplete();
    }
    p_.status.SetStatus(RegistrationDoneText(stopped, p_.history.Count() - before, p_.history.Count()));
}

void HistoryController::LogEraseClick()
{
    if (Occupied()) return;
    const std::string folder = p_.dialogs.ChooseFolder(kForgetPrompt, "");
    if (folder.empty()) return;
    WorkHooks ui = Hooks();
    const int32_t removed = ForgetFolder(p_.history, folder, ui);
    // The folder list stays as it is; the file view shows the codes that are left.
    if (removed > 0) AfterHistoryChanged();
    p_.status.SetStatus(ForgetDoneText(p_.history.Count(), removed, folder));
}

void HistoryController::InportLOGClick()
{
    if (Occupied()) return;
    ImportRequest request;
    request.files = p_.dialogs.OpenFiles("", FolderOf(p_.historyPath), kImportFilter);
    if (request.files.empty()) return;
    const bool single = request.files.size() == 1;
    if (single && HistoryFormOf(request.files[0]) == HistoryForm::Other) {
        p_.status.SetStatus(kImportWrongExtension);
        return;
    }
    request.historyPath = p_.historyPath;
    request.options = HistoryOptionsFrom(p_.settings);
    request.deleteAfter = !(single && IsHistoryFile(request.files[0], p_.historyPath)) &&
                          p_.prompts.Message(kAppTitle, kImportQuestion, Buttons::YesNo, BoxIcon::Question) == Answer::Yes;

    ImportSeams seams;
    seams.fileCount = [this](const std::string& text, int done, int total) {
        p_.busy.SetTotal(text, !text.empty());
        p_.busy.SetTotalBar(total, done, total > 0);
    };
    seams.recycle = [this](const std::string& path) {
        std::string error;
        if (RecycleFile(path, p_.prompts, error) == RecycleOutcome::Failed)
            p_.prompts.Message(kAppTitle, path + "\rごみ箱へ移動出来ませんでした\r" + error, Buttons::Ok, BoxIcon::Error);
    };
    WorkHooks ui = Hooks();
    p_.driver.stop.Clear();
    const ImportOutcome outcome = ImportHistoryFiles(p_.history, p_.state, request, seams, ui);
    p_.folders.SetFolders(outcome.folders);
    AfterHistoryChanged();
}

void HistoryController::ExportLOGClick()
{
    if (Occupied()) return;
    if (p_.history.Count() == 0) {
        p_.status.SetStatus(kExportEmpty);
        return;
    }
    WorkHooks ui = Hooks();
    const std::vector<FileFilter> filters = {
        {"Quenvarlith履歴ファイル(Quenvarlith*.CSV/DAT)", "Quenvarlith*.CSV;Quenvarlith*.DAT"},
        {"Quenvarlith履歴ファイル(*.CSV,*.DAT)", "*.CSV;*.DAT"},
    };
    int filter = 1;
    const std::string target =
        p_.dialogs.SaveFile("", ExportFileName(FolderOf(p_.historyPath), ui.Now()), filters, filter);
    if (target.empty()) return;
    ExportHistory(p_.history, target, p_.historyPath, ui);
}

}  // namespace qv
