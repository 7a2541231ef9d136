#include "gui/shell/LifecycleController.h"

#include <algorithm>

#include <QApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

#include "gui/shell/BusyPanel.h"
#include "gui/shell/MainWindow.h"
#include "gui/shell/Menus.h"
#include "gui/processing/ProcessingController.h"
#include "gui/shell/QtPrompts.h"
#include "gui/processing/ResultPanelWidget.h"
#include "gui/shell/SignalBridge.h"
#include "job/FromSettings.h"
#include "processing/Lifecycle.h"
#include "processing/ResultPanel.h"
#include "history/HistoryFiles.h"
#include "history/HistoryPersistence.h"
#include "platform/Attributes.h"
#include "platform/DirSearch.h"
#include "platform/NumberFormat.h"
#include "platform/Paths.h"

namespace qv {

namespace {
uint64_t PhysicalMemory()
{
    const long pages = ::sysconf(_SC_PHYS_PAGES);
    const long size = ::sysconf(_SC_PAGE_SIZE);
    return pages > 0 && size > 0 ? static_cast<uint64_t>(pages) * static_cast<uint64_t>(size) : 0;
}

ScreenMetrics Screen()
{
    ScreenMetrics m;
    if (const QScreen* s = QGuiApplication::primaryScreen()) {
        m.width = s->availableGeometry().width();
        m.height = s->availableGeometry().height();
        m.ppi = static_cast<int>(s->logicalDotsPerInch() + 0.5);
    }
    return m;
}
}  // namespace

LifecycleController::LifecycleController(MainWindow& window) : w_(window) {}
LifecycleController::~LifecycleController() = default;

bool LifecycleController::startingUp() const { return w_.driver->startingUp; }

void LifecycleController::FormCreate()
{
    w_.driver->startingUp = true;
    historyState.HistoryFileTime = HistoryFileStamp(w_.datPath);
    w_.menus->SetDupCommandsEnabled(false);
    w_.mainPanel->scrollBar1->hide();

    const LoadResult loaded = LoadSettings(w_.iniPath, Screen(), PhysicalMemory(), w_.settings);
    settingsStamp = loaded.stamp;
    w_.job->SetEngineSettings(EngineSettingsFrom(w_.settings));
    // Never narrower than the code rows: a cut-off MD5 cannot be read or checked by eye.
    const int minWidth = std::max(w_.settings.MinWidth, w_.mainPanel->minimumSizeHint().width());
    w_.setMinimumSize(minWidth, w_.settings.MinHeight);
    w_.setGeometry(w_.settings.Left, w_.settings.Top, std::max(w_.settings.Width, minWidth), w_.settings.Height);
    w_.menus->SyncFromSettings();
    w_.ApplyColours();

    w_.SetCaption(kIdleCaption);
    if (!w_.options().arguments.empty()) w_.processing->AddCommandLineFiles(w_.options().arguments);

    signals_ = new SignalBridge(&w_);
    QObject::connect(signals_, &SignalBridge::terminateRequested, &w_, [this](int) { TerminateBySignal(); });
}

void LifecycleController::FormActivate()
{
    if (!activatedOnce_) {
        activatedOnce_ = true;
        FirstActivation();
    }
    if (closeBySignal) return;
    if (!w_.driver->ProcessingQueue().empty() && !w_.driver->Running())
        w_.driver->ProcessFiles(false, false);
    // Scripts that drive the program wait for this mark: start-up and its files are done.
    if (const char* ready = std::getenv("QUENVARLITH_READY_FILE"); ready && *ready && !w_.driver->Running()) {
        if (FILE* f = std::fopen(ready, "w")) std::fclose(f);
    }
}

void LifecycleController::FirstActivation()
{
    w_.ApplyColours();
    LoadHistoryAtStart();
    w_.driver->startingUp = false;
}

HistoryOptions LifecycleController::Options() const { return HistoryOptionsFrom(w_.settings); }

void LifecycleController::LoadHistoryAtStart()
{
    w_.driver->stop.Clear();
    WorkHooks& ui = w_.Hooks();
    ui.busyPanel = [this](bool shown) {
        // The start-up load shows the busy display without a batch bar.
        w_.busy = shown;
        if (shown) {
            w_.busyPanel->pgTotal->hide();
            w_.busyPanel->lbTotalProgress->clear();
        }
        w_.menuBar()->setEnabled(!shown);
        w_.menuBar()->setVisible(!shown);
        w_.UpdatePages();
    };
    const StartLoadOutcome out =
        qv::LoadHistoryAtStart(w_.history, Options(), historyState, w_.datPath,
                               StartConditions{!w_.options().arguments.empty(), w_.options().shiftHeld}, ui);
    if (w_.busy) ui.busyPanel(false);
    if (out.foldersReplaced) w_.SetFolderItems(out.folders);
}

void LifecycleController::SaveHistoryAtExit()
{
    WorkHooks& ui = w_.Hooks();
    // The shutdown display stays up; the save must not take it down.
    ui.busyPanel = nullptr;
    qv::SaveHistoryAtExit(w_.history, Options(), historyState, w_.datPath, ui);
}

void LifecycleController::Exit1Click()
{
    if (w_.busy) {
        w_.prompts().Beep();
        return;
    }
    w_.close();
}

bool LifecycleController::FormCloseQuery()
{
    CloseState state;
    state.busy = w_.busy;
    state.startingUp = startingUp();
    state.askQuestions = !closeBySignal;
    if (closeBySignal && (w_.busy || w_.driver->Running())) return false;
    const SettingsFileChange change = CheckSettingsFileChanged(w_.iniPath, settingsStamp);
    const CloseDecision d = DecideClose(state, change, w_.prompts());
    saveSettings = d.saveSettings;
    return d.allow;
}

void LifecycleController::FormClose()
{
    if (closed_) return;
    closed_ = true;
    closeAccepted = true;
    w_.driver->stop.Clear();
    BusyPanel& b = *w_.busyPanel;
    w_.busy = true;
    b.canButton->hide();
    b.popupEnabled = false;
    w_.menuBar()->setEnabled(false);
    w_.menuBar()->hide();
    b.pgTotal->hide();
    b.lbTotalProgress->clear();
    b.lbFileProgress->setText(ToQ("履歴件数 " + FormatGrouped(w_.history.Count()) + "件"));
    b.buzyComment->setText(QString::fromUtf8(kShutdownComment));
    w_.UpdatePages();
    w_.processing->dropsEnabled = false;
    SaveHistoryAtExit();
}

void LifecycleController::FormDestroy()
{
    if (closeAccepted && saveSettings) {
        const QRect g = w_.normalGeometry().isValid() ? w_.normalGeometry() : w_.geometry();
        w_.settings.Left = g.x();
        w_.settings.Top = g.y();
        w_.settings.Width = g.width();
        w_.settings.Height = g.height();
        std::string error;
        if (!SaveSettings(w_.iniPath, w_.settings, error))
            w_.prompts().Message(kAppTitle, w_.iniPath + "\r" + error, Buttons::Ok, BoxIcon::Error);
    }
    w_.history.ClearHistory();
}

void LifecycleController::TerminateBySignal()
{
    closeBySignal = true;
    w_.driver->Cancel();
    TryPendingClose();
}

void LifecycleController::TryPendingClose()
{
    if (closed_) return;
    // Wait until the running batch or history load has unwound to the event loop.
    if (w_.busy || w_.driver->Running() || startingUp()) {
        w_.driver->Cancel();
        QTimer::singleShot(20, &w_, [this] { TryPendingClose(); });
        return;
    }
    w_.close();
}

}  // namespace qv
