#include "gui/shell/MainWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTableView>
#include <QTimer>
#include <QTreeWidget>
#include <QUrl>
#include <QVBoxLayout>

#include "gui/listout/ListOutputController.h"
#include "gui/history/HistoryController.h"
#include "gui/browser/BrowserCommands.h"
#include "gui/browser/DupList.h"
#include "gui/browser/DupListCommands.h"
#include "gui/browser/FileViewController.h"
#include "gui/browser/ListFrame.h"
#include "gui/prefs/PreferencesController.h"
#include "gui/processing/ProcessingController.h"
#include "gui/processing/ResultController.h"
#include "gui/shell/BusyPanel.h"
#include "gui/shell/FrameTexts.h"
#include "gui/shell/HelpController.h"
#include "gui/shell/LifecycleController.h"
#include "gui/shell/Menus.h"
#include "gui/shell/PageStack.h"
#include "gui/shell/QtPrompts.h"
#include "gui/shell/Theme.h"
#include "gui/shell/ViewController.h"
#include "gui/verify/ClipViewer.h"
#include "gui/verify/ComparisonLoader.h"
#include "gui/verify/MatchController.h"
#include "gui/verify/SoundController.h"
#include "job/FromSettings.h"
#include "platform/Clock.h"
#include "platform/DataFolder.h"
#include "platform/Paths.h"
#include "processing/ResultPanel.h"

namespace qv {

namespace {
// How often a batch serves input between its display refreshes: the cancel button and ESC
// take effect within this, and drops join the batch.
constexpr uint32_t kInputPollMs = 40;
}  // namespace

MainWindow::MainWindow(WindowOptions options) : options_(std::move(options))
{
    if (options_.prompts && options_.dialogs) {
        prompts_ = options_.prompts;
        dialogs_ = options_.dialogs;
    } else {
        ownPrompts_ = std::make_unique<QtPrompts>(this);
        prompts_ = options_.prompts ? options_.prompts : ownPrompts_.get();
        dialogs_ = options_.dialogs ? options_.dialogs : ownPrompts_.get();
    }
    if (!options_.soundOutput) {
        ownSoundOutput_ = std::make_unique<QtSoundOutput>();
        options_.soundOutput = ownSoundOutput_.get();
    }
    setObjectName(QStringLiteral("TForm1"));
    setAcceptDrops(true);
    BuildPages();
    BuildSubsystems();
    qApp->installEventFilter(this);
    lifecycle_->FormCreate();
    loader_->JoinClipboard();
}

MainWindow::~MainWindow()
{
    lifecycle_->FormDestroy();
    qApp->removeEventFilter(this);
}

void MainWindow::BuildPages()
{
    auto* central = new QWidget(this);
    auto* box = new QVBoxLayout(central);
    box->setContentsMargins(0, 0, 0, 0);
    auto* stack = new QStackedWidget(central);
    stack->setObjectName(QStringLiteral("Views"));
    box->addWidget(stack);
    setCentralWidget(central);
    statusBar()->setObjectName(QStringLiteral("Status"));
    statusBar()->setSizeGripEnabled(true);
    pages_ = std::make_unique<PageStack>(*stack, *menuBar());
    texts_ = std::make_unique<FrameTexts>(*this);

    initialComment_ = new QLabel(QString::fromUtf8(kInitialComment), stack);
    initialComment_->setObjectName(QStringLiteral("InitialComment"));
    initialComment_->setAlignment(Qt::AlignCenter);
    initialComment_->setAutoFillBackground(true);
    viewer_ = new ClipViewer(settings_, *prompts_, stack);
    listFrame_ = new ListFrame(stack);
    busy_ = new BusyPanel(*pages_, stack);
}

WorkHooks MainWindow::MakeHooks()
{
    WorkHooks ui;
    ui.status = [this](const std::string& t) { texts_->SetStatus(t); };
    ui.title = [this](const std::string& t) { texts_->SetAppTitle(t); };
    ui.fileLabel = [this](const std::string& t) { busy_->SetFileLabel(t); };
    ui.busyComment = [this](const std::string& t) { busy_->SetComment(t); };
    ui.progressMax = [this](int64_t max) { busy_->SetFileRange(max); };
    ui.progressPos = [this](int64_t pos) { busy_->SetFilePosition(pos); };
    ui.pump = [this] { Refresh(); };
    ui.bringToFront = [this] { texts_->BringToFront(); };
    ui.prompts = prompts_;
    ui.clock = options_.clock;
    if (processing_) ui.stop = &processing_->TheDriver().stop;
    ui.refreshPeriod = RefreshPeriodOf(settings_);
    return ui;
}

void MainWindow::BuildSubsystems()
{
    QStackedWidget* stack = qobject_cast<QStackedWidget*>(initialComment_->parentWidget());
    jobHooks_ = MakeHooks();
    JobSeams seams;
    seams.hooks = &jobHooks_;
    seams.folderSeen = [this](const std::string& f) { listFrame_->AddFolder(f); };
    seams.queueLength = [this] { return static_cast<int>(processing_->TheDriver().ProcessingQueue().size()); };
    // The driver works on the front of the queue: the entry after it is the next file.
    seams.nextPath = [this] {
        const std::deque<std::string>& queue = processing_->TheDriver().ProcessingQueue();
        return queue.size() > 1 ? queue[1] : std::string();
    };
    seams.pollInput = [this] { PollInput(); };
    seams.pollPeriod = kInputPollMs;
    job_ = std::make_unique<FileJob>(history_, std::move(seams), EngineSettingsFrom(settings_), options_.jobOptions);

    sounds_ = std::make_unique<SoundController>(SoundController::Parts{
        settings_, *texts_, *dialogs_, *options_.soundOutput,
        options_.shippedFolder.empty() ? ShippedDataFolder() : options_.shippedFolder});
    menus_ = std::make_unique<Menus>(*this, settings_, *job_, *texts_);
    dupView_ = std::make_unique<DupListView>(settings_, history_, stack);
    results_ = std::make_unique<ResultController>(
        ResultController::Parts{settings_, history_, *prompts_, *texts_, *texts_, *pages_, *menus_, *sounds_, *dupView_},
        stack);
    fileView_ = std::make_unique<FileViewController>(
        FileViewController::Parts{settings_, history_, *texts_, *this, *pages_}, *listFrame_);
    pages_->AddPage(PageStack::kInitialPage, initialComment_);
    pages_->AddPage(PageStack::kMainPage, results_->Panel());
    pages_->AddPage(PageStack::kClipPage, viewer_->Widget());
    pages_->AddPage(PageStack::kListPage, listFrame_);
    pages_->AddPage(PageStack::kDupPage, dupView_->Widget());
    pages_->AddPage(PageStack::kBusyPage, busy_);

    ViewController::Widgets focus;
    focus.clipViewer = viewer_->Widget();
    focus.folderList = listFrame_->FolderList();
    focus.fileView = listFrame_->FileView();
    focus.dupList = dupView_->Widget();
    focus.nameScroller = results_->NameScroller();
    views_ = std::make_unique<ViewController>(
        ViewController::Parts{*pages_, *menus_, *results_, *texts_, *texts_, *fileView_}, focus);
    // The driver comes after the matching pass that it calls; the pass reads its stop flag.
    matcher_ = std::make_unique<MatchController>(MatchController::Parts{
        settings_, history_, *viewer_, *results_, *texts_, *texts_, *pages_, *views_, *sounds_,
        [this]() -> StopFlag& { return processing_->TheDriver().stop; }});
    loader_ = std::make_unique<ComparisonLoader>(ComparisonLoader::Parts{
        settings_, *viewer_, *matcher_, *texts_, *prompts_, *dialogs_, *texts_, SystemClock::Instance()});
    processing_ = std::make_unique<ProcessingController>(
        ProcessingController::Parts{settings_, *job_, *dialogs_, *texts_, *texts_, *this, *pages_, *busy_,
                                    *listFrame_, *fileView_, *results_, *views_, *matcher_, *loader_});
    jobHooks_.stop = &processing_->TheDriver().stop;
    Driver& driver = processing_->TheDriver();
    browser_ = std::make_unique<BrowserCommands>(
        BrowserCommands::Parts{settings_, history_, *prompts_, *texts_, *texts_, driver, *views_, *results_, *viewer_,
                               *sounds_},
        *fileView_);
    dupCommands_ = std::make_unique<DupListCommands>(
        DupListCommands::Parts{settings_, history_, *prompts_, *texts_, driver, *views_, *results_, *menus_}, *dupView_);
    connect(results_.get(), &ResultController::fileIconDoubleClicked, this, [this] { browser_->FileIconDblClick(); });

    const std::string folder = options_.dataFolder.empty() ? DataFolder() : options_.dataFolder;
    LifecycleController::Parts life{*this, *results_->Panel(), settings_, history_, processing_->TheDriver(),
                                    *job_, *prompts_, *texts_, *this, *busy_, *listFrame_, *processing_,
                                    [this] { return MakeHooks(); }, [this] { ApplySettings(); },
                                    JoinPath(folder, kSettingsFileName), JoinPath(folder, "Quenvarlith.dat"),
                                    options_.arguments, options_.shiftHeld};
    lifecycle_ = std::make_unique<LifecycleController>(std::move(life));
    historyCommands_ = std::make_unique<HistoryController>(HistoryController::Parts{
        settings_, history_, processing_->TheDriver(), *processing_, *results_, *prompts_, *dialogs_, *texts_,
        *busy_, *listFrame_, lifecycle_->historyState(), [this] { return MakeHooks(); }, HistoryFilePath(folder)});
    lists_ = std::make_unique<ListOutputController>(
        ListOutputController::Parts{settings_, history_, processing_->TheDriver(), *prompts_, *dialogs_, *texts_,
                                    *this, *busy_, *menus_, SystemClock::Instance(), this});
    prefs_ = std::make_unique<PreferencesController>(PreferencesController::Parts{
        *this, settings_, *prompts_, *dialogs_, *texts_, *job_, jobHooks_, *matcher_, [this] { ApplyLook(); }});
    menus_->Build({*processing_, *results_, *views_, *lifecycle_, *viewer_, *matcher_, *loader_, *sounds_, *lists_,
                  *historyCommands_, *fileView_, *browser_, *dupCommands_, *prefs_});
    const std::string shipped = options_.shippedFolder.empty() ? ShippedDataFolder() : options_.shippedFolder;
    help_ = std::make_unique<HelpController>(
        HelpController::Parts{*prompts_, *texts_, JoinPath(shipped, kManualFile), options_.homePage, folder});
    menus_->BuildHelpMenu(*help_);
    shell_.emplace(Shell{settings_, history_, processing_->TheDriver(), *job_, *prompts_, *dialogs_, *texts_,
                         *texts_, *this, *pages_, *busy_, *listFrame_, *viewer_, *sounds_, *fileView_});

    connect(busy_, &BusyPanel::cancelRequested, this, [this] { processing_->CanButtonClick(); });
    const auto popUp = [this](QWidget* on, Menus::Popup popup) {
        connect(on, &QWidget::customContextMenuRequested, this,
                [this, on, popup](const QPoint& p) { menus_->PopUp(popup, on->mapToGlobal(p)); });
    };
    popUp(results_->Panel(), Menus::Popup::Main);
    popUp(listFrame_, Menus::Popup::List);
    // Scroll areas report the point in their viewport.
    const auto popUpOnViewport = [this](QAbstractScrollArea* on, Menus::Popup popup) {
        connect(on, &QWidget::customContextMenuRequested, this,
                [this, on, popup](const QPoint& p) { menus_->PopUp(popup, on->viewport()->mapToGlobal(p)); });
    };
    popUpOnViewport(viewer_->Widget(), Menus::Popup::Clip);
    popUpOnViewport(dupView_->Widget(), Menus::Popup::Dup);
}

ResultView& MainWindow::result() { return *results_; }

void MainWindow::ApplySettings()
{
    // Sounds and extension strings first: the menus tick what they settle on.
    sounds_->PrepareAtStart();
    loader_->BuildExtensionStrings();
    menus_->SyncFromSettings();
    // Made before the settings were read: the job's hooks take the period read.
    jobHooks_.refreshPeriod = RefreshPeriodOf(settings_);
    prefs_->ApplyWindowSettings();
    ApplyLook();
    fileView_->ApplySettings();
}

void MainWindow::ApplyLook()
{
    SetBackground(this, settings_.WallColor);
    SetBackground(initialComment_, settings_.WallColor);
    SetTextColour(initialComment_, settings_.NormalColor);
    SetBackground(busy_, settings_.WallColor);
    results_->ApplySettings();
    viewer_->ApplySettings();
    listFrame_->ApplyLook(settings_);
    dupView_->ApplyLook();
}

void MainWindow::Refresh()
{
    texts_->Changes().Flush();
    busy_->Changes().Flush();
    QCoreApplication::processEvents();
    if (options_.pumpHook) options_.pumpHook();
}

void MainWindow::PollInput()
{
    QCoreApplication::processEvents();
    if (options_.pumpHook) options_.pumpHook();
}

void MainWindow::DeferDisplay(bool deferred)
{
    texts_->Changes().SetDeferred(deferred);
    busy_->Changes().SetDeferred(deferred);
}

void MainWindow::DropPaths(const std::vector<std::string>& paths) { processing_->DropHandler(paths); }

void MainWindow::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls() && processing_->DropsEnabled()) event->acceptProposedAction();
}

void MainWindow::dragMoveEvent(QDragMoveEvent* event)
{
    if (event->mimeData()->hasUrls() && processing_->DropsEnabled()) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event)
{
    std::vector<std::string> paths;
    for (const QUrl& url : event->mimeData()->urls()) {
        if (url.isLocalFile()) paths.push_back(FromQ(url.toLocalFile()));
    }
    event->acceptProposedAction();
    // Handled after the drop returns, so the drag source is not held for the whole batch.
    QTimer::singleShot(0, this, [this, paths] { DropPaths(paths); });
}

void MainWindow::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!shownOnce_) {
        shownOnce_ = true;
        QTimer::singleShot(0, this, [this] { lifecycle_->FormActivate(); });
    }
}

void MainWindow::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && shownOnce_ && !lifecycle_->startingUp()) {
        QTimer::singleShot(0, this, [this] { lifecycle_->FormActivate(); });
    }
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    // A second request while the history is being saved: the first one is already closing.
    if (lifecycle_->closing() || !lifecycle_->FormCloseQuery()) {
        event->ignore();
        return;
    }
    lifecycle_->FormClose();
    event->accept();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress) return QMainWindow::eventFilter(watched, event);
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget->window() != this) return QMainWindow::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) return false;
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        if (views_->EnterKey(QApplication::focusWidget())) return true;
    } else if ((key->key() == Qt::Key_Left || key->key() == Qt::Key_Right) &&
               QApplication::focusWidget() != results_->NameScroller()) {
        if (views_->ArrowKey()) return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

}  // namespace qv
