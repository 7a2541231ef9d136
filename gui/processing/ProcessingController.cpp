#include "gui/processing/ProcessingController.h"

#include <QComboBox>
#include <QLabel>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>

#include "gui/shell/BusyPanel.h"
#include "gui/shell/FileDialogs.h"
#include "gui/shell/MainWindow.h"
#include "gui/shell/QtPrompts.h"
#include "gui/processing/ResultController.h"
#include "gui/processing/ResultPanelWidget.h"
#include "gui/shell/ViewController.h"
#include "job/BatchPaths.h"
#include "processing/Lifecycle.h"
#include "processing/ResultPanel.h"
#include "platform/DirSearch.h"
#include "platform/Paths.h"
#include "platform/Text.h"

namespace qv {

void ProcessingController::DropHandler(const std::vector<std::string>& items)
{
    if (!dropsEnabled) return;
    w_.mainPanel->duplicateMark->hide();
    const CollectedPaths got =
        CollectDropped(items, {w_.settings.FileAttrMask, w_.settings.FolderAttrMask});
    for (const std::string& path : got.files) w_.driver->Enqueue(path);
    w_.BringToFront();
    if (!w_.driver->ProcessingQueue().empty()) w_.driver->ProcessFiles(false, false);
    if (items.size() == 1 && got.folders == 1) {
        const QString folder = ToQ(got.lastFolder);
        for (int i = 0; i < w_.folderList->count(); ++i) {
            if (w_.folderList->itemText(i).compare(folder, Qt::CaseInsensitive) == 0) {
                w_.folderList->setCurrentIndex(i);
                w_.views->CallListFrameClick();
                break;
            }
        }
    }
}

void ProcessingController::OpenFilesClick()
{
    const std::vector<std::string> chosen =
        w_.dialogs().OpenFiles("", w_.settings.InitialDir, "ハッシュ算出対象(*.*)|*.*");
    FoundEntry found;
    for (const std::string& path : chosen) {
        if (FileExists(path) && FindPath(path, w_.settings.FileAttrMask, found)) w_.driver->Enqueue(path);
    }
    if (!w_.driver->ProcessingQueue().empty()) w_.driver->ProcessFiles(false, false);
}

void ProcessingController::RecalcExecute()
{
    const std::string path = w_.Caption();
    if (path.empty() || path[0] != '/') {
        w_.SetStatus(kStatusNoFile);
        return;
    }
    w_.driver->Enqueue(path);
    w_.driver->ProcessFiles(true, false);
}

void ProcessingController::AddCommandLineFiles(const std::vector<std::string>& arguments)
{
    const CollectedPaths got =
        CollectArguments(arguments, {w_.settings.FileAttrMask, w_.settings.FolderAttrMask});
    for (const std::string& path : got.files) w_.driver->Enqueue(path);
    if (!got.rejected.empty()) {
        const PathItem& last = got.rejected.back();
        w_.SetStatus(ParameterErrorText(last.path, last));
    }
}

void ProcessingController::CanButtonClick() { w_.driver->Cancel(); }

bool ProcessingController::IsBusy() const { return w_.busy; }

void ProcessingController::ShowBusy(bool busy)
{
    BusyPanel& b = *w_.busyPanel;
    if (busy) {
        w_.busy = true;
        b.buzyComment->setText(QString::fromUtf8(kHashingComment));
        b.lbFileProgress->clear();
        b.canButton->show();
        b.popupEnabled = true;
        w_.menuBar()->setEnabled(false);
        w_.menuBar()->hide();
    } else {
        w_.busy = false;
        w_.mainPanelShown = FileExists(w_.Caption());
        w_.menuBar()->setEnabled(true);
        w_.menuBar()->show();
        w_.SetAppTitle(kAppTitle);
    }
    w_.UpdatePages();
}

void ProcessingController::SetTotalProgress(const std::string& text, bool visible)
{
    w_.busyPanel->lbTotalProgress->setText(ToQ(text));
    w_.busyPanel->lbTotalProgress->setVisible(visible);
}

void ProcessingController::SetTotalBar(int maximum, int position, bool visible)
{
    QProgressBar& bar = *w_.busyPanel->pgTotal;
    bar.setRange(0, maximum);
    bar.setValue(position);
    bar.setVisible(visible);
}

void ProcessingController::SetFileProgress(const std::string& text)
{
    w_.busyPanel->lbFileProgress->setText(ToQ(text));
}

void ProcessingController::SetStatus(const std::string& text) { w_.SetStatus(text); }
void ProcessingController::SetAppTitle(const std::string& text) { w_.SetAppTitle(text); }
void ProcessingController::SetCaption(const std::string& text) { w_.SetCaption(text); }
void ProcessingController::Pump() { w_.Pump(); }
void ProcessingController::StartReader() { w_.job->BeginBatch(); }
void ProcessingController::StopReader() { w_.job->RequestReaderEnd(); }

int ProcessingController::HashOne(const std::string& path, bool recalc)
{
    w_.job->ScheduleRefresh();
    return w_.job->HashFile(path, recalc);
}

void ProcessingController::ShowCancelled()
{
    w_.SetCaption(kIdleCaption);
    w_.mainPanelShown = false;
}

void ProcessingController::ShowResult(int index) { w_.results->ShowResult(index); }

void ProcessingController::MatchComparisonText()
{
    // The comparison text and its matching arrive with the verification subsystem.
}

void ProcessingController::AfterBatch()
{
    if (w_.view == View::Dup && !w_.results->DuplicateMarkShown()) w_.views->CallBasicFrameClick();
    ResultPanelWidget& p = *w_.mainPanel;
    if (p.xMd5->text().isEmpty() && p.xCrc32->text().isEmpty()) w_.mainPanelShown = false;
    w_.UpdatePages();
    if (w_.mainPanelShown) p.FitNameScroller();
    w_.job->EndBatch();
}

void ProcessingController::RefreshFileView()
{
    // The file view is filled by the browser subsystem.
}

bool ProcessingController::DispatchSingleFile(const std::string&)
{
    // No comparison or PAR extensions are registered yet: every file is hashed.
    return false;
}

}  // namespace qv
