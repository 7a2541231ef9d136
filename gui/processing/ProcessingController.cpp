#include "gui/processing/ProcessingController.h"

#include "gui/shell/BusyPanel.h"
#include "gui/shell/FileDialogs.h"
#include "job/BatchPaths.h"
#include "job/FileJob.h"
#include "platform/DirSearch.h"
#include "platform/Paths.h"
#include "processing/Lifecycle.h"
#include "processing/ResultPanel.h"
#include "settings/Settings.h"

namespace qv {

void ProcessingController::DropHandler(const std::vector<std::string>& items)
{
    if (!dropsEnabled_) return;
    p_.result.HideDuplicateMark();
    const CollectedPaths got =
        CollectDropped(items, {p_.settings.FileAttrMask, p_.settings.FolderAttrMask});
    for (const std::string& path : got.files) driver_.Enqueue(path);
    p_.frame.BringToFront();
    if (!driver_.ProcessingQueue().empty()) driver_.ProcessFiles();
    // A folder dropped alone opens the list frame on it, when the folder list holds it.
    if (items.size() == 1 && got.folders == 1 && p_.folders.SelectFolder(got.lastFolder))
        p_.views.CallListFrameClick();
}

void ProcessingController::OpenFilesClick()
{
    const std::vector<std::string> chosen =
        p_.dialogs.OpenFiles("", p_.settings.InitialDir, "ハッシュ算出対象(*.*)|*.*");
    FoundEntry found;
    for (const std::string& path : chosen) {
        if (FileExists(path) && FindPath(path, p_.settings.FileAttrMask, found)) driver_.Enqueue(path);
    }
    if (!driver_.ProcessingQueue().empty()) driver_.ProcessFiles();
}

void ProcessingController::RecalcExecute()
{
    const std::string path = p_.frame.Caption();
    if (path.empty() || path[0] != '/') {
        p_.status.SetStatus(kStatusNoFile);
        return;
    }
    driver_.Enqueue(path);
    driver_.ProcessFiles(Recalc::Yes);
}

void ProcessingController::AddCommandLineFiles(const std::vector<std::string>& arguments)
{
    const CollectedPaths got =
        CollectArguments(arguments, {p_.settings.FileAttrMask, p_.settings.FolderAttrMask});
    for (const std::string& path : got.files) driver_.Enqueue(path);
    if (!got.rejected.empty()) {
        const PathItem& last = got.rejected.back();
        p_.status.SetStatus(ParameterErrorText(last.path, last));
    }
}

void ProcessingController::CanButtonClick() { driver_.Cancel(); }

bool ProcessingController::IsBusy() const { return p_.busy.Shown(); }

void ProcessingController::ShowBusy(bool busy)
{
    if (busy) {
        p_.pump.DeferDisplay(true);
        p_.busy.SetComment(kHashingComment);
        p_.busy.SetFileLabel("");
        p_.busy.Show();
    } else {
        p_.pages.SetResultShown(FileExists(p_.frame.Caption()));
        p_.busy.Hide();
        p_.frame.SetAppTitle(kAppTitle);
        p_.pump.DeferDisplay(false);
    }
}

void ProcessingController::SetTotalProgress(const std::string& text, bool visible) { p_.busy.SetTotal(text, visible); }
void ProcessingController::SetTotalBar(int maximum, int position, bool visible)
{
    p_.busy.SetTotalBar(maximum, position, visible);
}
void ProcessingController::SetFileProgress(const std::string& text) { p_.busy.SetFileLabel(text); }
void ProcessingController::SetStatus(const std::string& text) { p_.status.SetStatus(text); }
void ProcessingController::SetAppTitle(const std::string& text) { p_.frame.SetAppTitle(text); }
void ProcessingController::SetCaption(const std::string& text) { p_.frame.SetCaption(text); }
void ProcessingController::Pump() { p_.pump.Refresh(); }
void ProcessingController::BetweenFiles() { p_.job.Pace(); }

void ProcessingController::StartReader()
{
    p_.job.BeginBatch();
    // One refresh schedule for the whole batch: many small files share a refresh period.
    p_.job.ScheduleRefresh();
}

void ProcessingController::StopReader() { p_.job.RequestReaderEnd(); }

int ProcessingController::HashOne(const std::string& path, Recalc recalc)
{
    return p_.job.HashFile(path, recalc == Recalc::Yes);
}

void ProcessingController::ShowCancelled()
{
    p_.frame.SetCaption(kIdleCaption);
    p_.pages.SetResultShown(false);
}

void ProcessingController::ShowResult(int index) { p_.result.ShowResult(index); }

void ProcessingController::MatchComparisonText() { p_.check.MatchComparisonText(); }

void ProcessingController::AfterBatch()
{
    if (p_.pages.CurrentView() == View::Dup && !p_.result.DuplicateMarkShown()) p_.views.CallBasicFrameClick();
    if (!p_.result.HasCodes()) p_.pages.SetResultShown(false);
    if (p_.pages.ResultShown()) p_.result.FitNameScroller();
    p_.job.EndBatch();
}

void ProcessingController::RefreshFileView() { p_.files.RefreshIfShown(); }

bool ProcessingController::DispatchSingleFile(const std::string& path)
{
    return p_.comparisonFiles.DispatchSingleFile(path);
}

}  // namespace qv
