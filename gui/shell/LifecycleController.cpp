#include "gui/shell/LifecycleController.h"

#include <algorithm>

#include <QGuiApplication>
#include <QMainWindow>
#include <QScreen>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

#include "gui/shell/QtPrompts.h"
#include "gui/processing/ProcessingController.h"
#include "gui/shell/BusyPanel.h"
#include "gui/shell/SignalBridge.h"
#include "history/HistoryFiles.h"
#include "job/FileJob.h"
#include "job/FromSettings.h"
#include "platform/NumberFormat.h"
#include "platform/Prompts.h"
#include "processing/Driver.h"
#include "processing/Lifecycle.h"
#include "processing/ResultPanel.h"
#include "settings/Settings.h"

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

LifecycleController::LifecycleController(Parts parts) : p_(std::move(parts)) {}
LifecycleController::~LifecycleController() = default;

bool LifecycleController::startingUp() const { return p_.driver.startingUp; }

void LifecycleController::FormCreate()
{
    p_.driver.startingUp = true;
    historyState_.HistoryFileTime = HistoryFileStamp(p_.datPath);

    const LoadResult loaded = LoadSettings(p_.iniPath, Screen(), PhysicalMemory(), p_.settings);
    settingsStamp_ = loaded.stamp;
    p_.job.SetEngineSettings(EngineSettingsFrom(p_.settings));
    p_.settingsApplied();
    // Never narrower than the code rows: a cut-off MD5 cannot be read or checked by eye.
    QMainWindow& w = p_.window;
    const int minWidth = std::max(p_.settings.MinWidth, p_.widest.minimumSizeHint().width());
    w.setMinimumSize(minWidth, p_.settings.MinHeight);
    w.setGeometry(p_.settings.Left, p_.settings.Top, std::max(p_.settings.Width, minWidth), p_.settings.Height);

    p_.frame.SetCaption(kIdleCaption);
    if (!p_.arguments.empty()) p_.processing.AddCommandLineFiles(p_.arguments);

    signals_ = new SignalBridge(&w);
    QObject::connect(signals_, &SignalBridge::terminateRequested, &w, [this](int) { TerminateBySignal(); });
}

void LifecycleController::FormActivate()
{
    if (!activatedOnce_) {
        activatedOnce_ = true;
        FirstActivation();
    }
    if (closeBySignal_) return;
    if (!p_.driver.ProcessingQueue().empty() && !p_.driver.Running()) p_.driver.ProcessFiles();
    // Scripts that drive the program wait for this mark: start-up and its files are done.
    if (const char* ready = std::getenv("QUENVARLITH_READY_FILE"); ready && *ready && !p_.driver.Running()) {
        if (FILE* f = std::fopen(ready, "w")) std::fclose(f);
    }
}

void LifecycleController::FirstActivation()
{
    p_.settingsApplied();
    LoadHistoryAtStart();
    p_.driver.startingUp = false;
}

HistoryOptions LifecycleController::Options() const { return HistoryOptionsFrom(p_.settings); }

void LifecycleController::LoadHistoryAtStart()
{
    p_.driver.stop.Clear();
    WorkHooks ui = p_.hooks();
    // The start-up load shows the busy display without a batch bar.
    ui.busyPanel = [this](bool shown) { shown ? p_.busy.Show() : p_.busy.Hide(); };
    const StartLoadOutcome out = qv::LoadHistoryAtStart(p_.history, Options(), historyState_, p_.datPath,
                                                        StartConditions{!p_.arguments.empty(), p_.shiftHeld}, ui);
    if (p_.busy.Shown()) p_.busy.Hide();
    if (out.foldersReplaced) p_.folders.SetFolders(out.folders);
}

void LifecycleController::SaveHistoryAtExit()
{
    // The shutdown display stays up; the save must not take it down.
    WorkHooks ui = p_.hooks();
    qv::SaveHistoryAtExit(p_.history, Options(), historyState_, p_.datPath, ui);
}

void LifecycleController::Exit1Click()
{
    if (p_.busy.Shown()) {
        p_.prompts.Beep();
        return;
    }
    p_.window.close();
}

bool LifecycleController::FormCloseQuery()
{
    CloseState state;
    state.busy = p_.busy.Shown();
    state.startingUp = startingUp();
    state.askQuestions = !closeBySignal_;
    if (closeBySignal_ && (state.busy || p_.driver.Running())) return false;
    const SettingsFileChange change = CheckSettingsFileChanged(p_.iniPath, settingsStamp_);
    const CloseDecision d = DecideClose(state, change, p_.prompts);
    saveSettings_ = d.saveSettings;
    return d.allow;
}

void LifecycleController::FormClose()
{
    if (closed_) return;
    closed_ = true;
    closeAccepted_ = true;
    p_.driver.stop.Clear();
    p_.pump.DeferDisplay(false);
    BusyPanel& b = p_.busy;
    b.Show();
    b.SetCancellable(false);
    b.SetFileLabel("履歴件数 " + FormatGrouped(p_.history.Count()) + "件");
    b.SetComment(kShutdownComment);
    p_.processing.SetDropsEnabled(false);
    SaveHistoryAtExit();
    // Closed by force during a batch: nothing hashed from now on could be saved.
    if (p_.driver.Running()) p_.driver.Cancel();
}

void LifecycleController::FormDestroy()
{
    if (closeAccepted_ && saveSettings_) {
        const QRect g = p_.window.normalGeometry().isValid() ? p_.window.normalGeometry() : p_.window.geometry();
        p_.settings.Left = g.x();
        p_.settings.Top = g.y();
        p_.settings.Width = g.width();
        p_.settings.Height = g.height();
        std::string error;
        if (!SaveSettings(p_.iniPath, p_.settings, error))
            p_.prompts.Message(kAppTitle, p_.iniPath + "\r" + error, Buttons::Ok, BoxIcon::Error);
    }
    p_.history.ClearHistory();
}

void LifecycleController::TerminateBySignal()
{
    closeBySignal_ = true;
    if (auto* real = dynamic_cast<QtPrompts*>(&p_.prompts)) real->AnswerCautiouslyFromNowOn();
    p_.driver.Cancel();
    TryPendingClose();
}

void LifecycleController::TryPendingClose()
{
    // A box waiting for an answer would hold the close (or the save under way) for ever.
    AnswerOpenDialogsCautiously();
    if (closed_) return;
    // Wait until the running batch, history load or dialog has unwound to the event loop.
    if (p_.busy.Shown() || p_.driver.Running() || startingUp() || DialogsRunning()) {
        p_.driver.Cancel();
        QTimer::singleShot(20, &p_.window, [this] { TryPendingClose(); });
        return;
    }
    p_.window.close();
}

}  // namespace qv
