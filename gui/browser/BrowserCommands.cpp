#include "gui/browser/BrowserCommands.h"

#include <QApplication>
#include <QTableView>

#include "browser/BulkCheck.h"
#include "browser/DuplicateCheck.h"
#include "browser/FileCommands.h"
#include "gui/browser/FileTableModel.h"
#include "gui/browser/FileViewController.h"
#include "gui/browser/ListFrame.h"
#include "gui/shell/Desktop.h"
#include "history/HashHistory.h"
#include "platform/DirSearch.h"
#include "platform/Paths.h"
#include "platform/Prompts.h"
#include "processing/Driver.h"
#include "processing/ResultPanel.h"
#include "settings/Settings.h"

namespace qv {

BrowserCommands::BrowserCommands(const Parts& parts, FileViewController& files)
    : p_(parts), files_(files), frame_(files.Frame())
{
    connect(frame_.FileView(), &QAbstractItemView::doubleClicked, this, [this] { FileViewDblClick(); });
}

void BrowserCommands::FListSelectAllClick() { frame_.FileView()->selectAll(); }

void BrowserCommands::FListResetAllClick() { frame_.FileView()->clearSelection(); }

void BrowserCommands::FListNoCalcClick() { frame_.SelectRows(SelectUncalculated(frame_.Model().Contents().rows)); }

void BrowserCommands::SameExtClick()
{
    Selection rows = frame_.SelectedRows();
    if (!SelectSameExtension(frame_.Model().Contents().rows, rows)) {
        p_.status.SetStatus(kStatusNothingSelected);
        return;
    }
    frame_.SelectRows(rows);
}

void BrowserCommands::FListSelectCalcClick()
{
    const std::vector<std::string> paths = files_.SelectedPaths();
    if (paths.empty()) {
        p_.status.SetStatus(kStatusNothingSelected);
        return;
    }
    // A file deleted since the listing would stop the batch; the reread drops its row.
    for (const std::string& path : paths)
        if (FileExists(path)) p_.driver.Enqueue(path);
    if (!p_.driver.ProcessingQueue().empty()) p_.driver.ProcessFiles(Recalc::Yes);
    files_.FolderListChange();
}

void BrowserCommands::FileViewDblClick()
{
    const auto row = OnlySelected(frame_.SelectedRows());
    if (!row) return;
    p_.driver.Enqueue(frame_.Model().Contents().PathOf(*row));
    p_.views.CallBasicFrameClick();
    p_.driver.ProcessFiles();
}

void BrowserCommands::FListFileExecClick()
{
    const std::vector<std::string> paths = files_.SelectedPaths();
    if (paths.empty()) {
        p_.status.SetStatus(kStatusNothingSelected);
        return;
    }
    OpenWithDesktop(OpenTarget(paths.front()));
}

void BrowserCommands::FListFileOpenClick()
{
    const std::string folder = frame_.SelectedFolder();
    if (!folder.empty() && FolderExists(folder)) OpenWithDesktop(folder);
}

void BrowserCommands::FListFileDelClick()
{
    std::vector<std::string> refused;
    std::string reason;
    DeleteSeams seams;
    seams.prompts = &p_.prompts;
    seams.status = [this](const std::string& text) { p_.status.SetStatus(text); };
    seams.recycle = [&](const std::string& path) {
        std::string error;
        const RecycleOutcome outcome = RecycleFile(path, p_.prompts, error);
        if (outcome == RecycleOutcome::Failed) {
            refused.push_back(path);
            if (reason.empty()) reason = error;
        }
        return outcome == RecycleOutcome::Trashed || outcome == RecycleOutcome::Gone;
    };
    const std::vector<size_t> removed =
        qv::FListFileDelClick(p_.history, frame_.Model().Contents(), frame_.SelectedRows(), seams);
    frame_.Model().RemoveRows(removed);
    if (!removed.empty()) p_.result.RefindShownRecord();
    if (!refused.empty())
        p_.prompts.Message(kAppTitle, TrashFailureText(refused, reason), Buttons::Ok, BoxIcon::Error);
}

void BrowserCommands::FListRefreshClick() { files_.FolderListChange(); }

bool BrowserCommands::HashFilesLackingCodes()
{
    const std::vector<std::string> paths = PathsLackingCodes(frame_.Model().Contents());
    if (paths.empty()) return true;
    for (const std::string& path : paths) p_.driver.Enqueue(path);
    // The driver rereads the view at the end, so the rows show the new codes.
    p_.driver.ProcessFiles(Recalc::No, Quiet::Yes);
    return !p_.driver.stop.Requested();
}

void BrowserCommands::AllCheckClick()
{
    if (!HashFilesLackingCodes()) {
        p_.status.SetStatus(kStatusBulkCheckStopped);
        return;
    }
    const BulkCheckResult checked = BulkCheck(frame_.Model().Contents().rows, p_.comparison.Comparison().Text(),
                                              BulkCheckOptionsFrom(p_.settings));
    p_.comparison.ShowMarks(checked.highlights);
    frame_.Model().SetMarks(checked.marks);
    p_.status.SetStatus(checked.status);
    p_.notifier.Play(checked.sound);
}

void BrowserCommands::B1Click()
{
    if (!HashFilesLackingCodes()) {
        p_.status.SetStatus(kStatusBulkCheckStopped);
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const DuplicateCheckResult checked = BulkDuplicateCheck(frame_.Model().Contents(), p_.history);
    frame_.Model().SetMarks(checked.marks);
    p_.status.SetStatus(checked.status);
    if (checked.sound) p_.notifier.Play(*checked.sound);
    QApplication::restoreOverrideCursor();
}

void BrowserCommands::FileIconDblClick()
{
    const std::string path = p_.frame.Caption();
    if (!FileExists(path) || !frame_.SelectFolder(FolderOf(path))) return;
    p_.views.CallListFrameClick();
    const std::vector<FileRow>& rows = frame_.Model().Contents().rows;
    const std::string name = NameOf(path);
    for (size_t r = 0; r < rows.size(); ++r) {
        if (rows[r].name == name) {
            frame_.GoToRow(static_cast<int>(r));
            return;
        }
    }
}

}  // namespace qv
