#include "gui/shell/MainWindow.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QProgressBar>
#include <QScrollBar>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTextEdit>
#include <QTimer>
#include <QTreeWidget>
#include <QUrl>
#include <QVBoxLayout>

#include "gui/shell/BusyPanel.h"
#include "gui/shell/LifecycleController.h"
#include "gui/shell/Menus.h"
#include "gui/processing/ProcessingController.h"
#include "gui/shell/QtPrompts.h"
#include "gui/processing/ResultController.h"
#include "gui/processing/ResultPanelWidget.h"
#include "gui/shell/Theme.h"
#include "gui/shell/ViewController.h"
#include "job/FromSettings.h"
#include "processing/ResultPanel.h"
#include "platform/DataFolder.h"
#include "platform/Paths.h"

namespace qv {

namespace {
enum Page { kInitialPage, kMainPage, kClipPage, kListPage, kDupPage, kBusyPage };
}

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
    const std::string folder = options_.dataFolder.empty() ? DataFolder() : options_.dataFolder;
    iniPath = JoinPath(folder, kSettingsFileName);
    datPath = JoinPath(folder, "Quenvarlith.dat");

    processing = std::make_unique<ProcessingController>(*this);
    driver = std::make_unique<Driver>(*processing);
    BuildHooks();
    JobSeams seams;
    seams.hooks = &hooks_;
    seams.folderSeen = [this](const std::string& f) { AddFolderItem(f); };
    seams.queueLength = [this] { return static_cast<int>(driver->ProcessingQueue().size()); };
    job = std::make_unique<FileJob>(history, std::move(seams), EngineSettingsFrom(settings),
                                    options_.jobOptions);

    BuildWidgets();
    views = std::make_unique<ViewController>(*this);
    results = std::make_unique<ResultController>(*this);
    lifecycle = std::make_unique<LifecycleController>(*this);
    menus = std::make_unique<Menus>(*this);
    menus->Build();
    lifecycle->FormCreate();
    UpdatePages();
}

MainWindow::~MainWindow()
{
    lifecycle->FormDestroy();
    qApp->removeEventFilter(this);
}

void MainWindow::BuildWidgets()
{
    setObjectName(QStringLiteral("TForm1"));
    setWindowIconText(ToQ(appTitle_));
    setAcceptDrops(true);
    auto* central = new QWidget(this);
    auto* box = new QVBoxLayout(central);
    box->setContentsMargins(0, 0, 0, 0);
    stack = new QStackedWidget(central);
    stack->setObjectName(QStringLiteral("Views"));
    box->addWidget(stack);
    setCentralWidget(central);

    initialComment = new QLabel(QString::fromUtf8(kInitialComment), stack);
    initialComment->setObjectName(QStringLiteral("InitialComment"));
    initialComment->setAlignment(Qt::AlignCenter);
    initialComment->setAutoFillBackground(true);
    mainPanel = new ResultPanelWidget(stack);
    clipViewer = new QTextEdit(stack);
    clipViewer->setObjectName(QStringLiteral("ClipViewer"));
    clipViewer->setReadOnly(true);
    clipViewer->setAcceptDrops(false);
    clipViewer->setContextMenuPolicy(Qt::CustomContextMenu);
    fileViewBase = new QWidget(stack);
    fileViewBase->setObjectName(QStringLiteral("FileViewBase"));
    fileViewBase->setContextMenuPolicy(Qt::CustomContextMenu);
    auto* listBox = new QVBoxLayout(fileViewBase);
    listBox->setContentsMargins(0, 0, 0, 0);
    folderList = new QComboBox(fileViewBase);
    folderList->setObjectName(QStringLiteral("FolderList"));
    fileView = new QTreeWidget(fileViewBase);
    fileView->setObjectName(QStringLiteral("FileView"));
    fileView->setHeaderLabels({QStringLiteral("ファイル名"), QStringLiteral("サイズ"), QStringLiteral("ＣＲＣ"),
                               QStringLiteral("ＭＤ５"), QStringLiteral("属性"), QStringLiteral("更新日時")});
    fileView->setRootIsDecorated(false);
    listBox->addWidget(folderList);
    listBox->addWidget(fileView, 1);
    dupList = new QTreeWidget(stack);
    dupList->setObjectName(QStringLiteral("DupList"));
    dupList->setColumnCount(1);
    dupList->setHeaderLabels({QStringLiteral("fullpathname")});
    dupList->setHeaderHidden(true);
    dupList->setRootIsDecorated(false);
    dupList->setContextMenuPolicy(Qt::CustomContextMenu);
    busyPanel = new BusyPanel(stack);
    for (QWidget* page : {static_cast<QWidget*>(initialComment), static_cast<QWidget*>(mainPanel),
                          static_cast<QWidget*>(clipViewer), fileViewBase, static_cast<QWidget*>(dupList),
                          static_cast<QWidget*>(busyPanel)})
        stack->addWidget(page);
    mainPanel->setContextMenuPolicy(Qt::CustomContextMenu);

    statusBar()->setObjectName(QStringLiteral("Status"));
    statusBar()->setSizeGripEnabled(true);

    // Gestures of the panel, routed to the result controller.
    connect(mainPanel->xFileName, &ClickLabel::doubleClicked, this, [this] { results->XFileNameDblClick(); });
    connect(mainPanel->xFileSize, &ClickLabel::doubleClicked, this, [this] { results->XFileSizeDblClick(); });
    connect(mainPanel->xCrc32, &ClickLabel::doubleClicked, this, [this] { results->CopyCRCExecute(); });
    connect(mainPanel->lCrc32, &ClickLabel::clicked, this, [this] { results->CopyCRCExecute(); });
    connect(mainPanel->xMd5, &ClickLabel::doubleClicked, this, [this] { results->CopyMD5Execute(); });
    connect(mainPanel->lMd5, &ClickLabel::clicked, this, [this] { results->CopyMD5Execute(); });
    connect(busyPanel, &BusyPanel::cancelRequested, this, [this] { processing->CanButtonClick(); });
    connect(mainPanel, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& p) { menus->ppMain->popup(mainPanel->mapToGlobal(p)); });
    connect(clipViewer, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& p) { menus->ppClip->popup(clipViewer->mapToGlobal(p)); });
    connect(fileViewBase, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& p) { menus->ppFlist->popup(fileViewBase->mapToGlobal(p)); });
    connect(dupList, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& p) { menus->ppDup->popup(dupList->viewport()->mapToGlobal(p)); });
    qApp->installEventFilter(this);
}

void MainWindow::UpdatePages()
{
    Page page = kInitialPage;
    if (busy) {
        page = kBusyPage;
    } else {
        switch (view) {
        case View::Basic: page = mainPanelShown ? kMainPage : kInitialPage; break;
        case View::Clip: page = kClipPage; break;
        case View::List: page = kListPage; break;
        case View::Dup: page = kDupPage; break;
        }
    }
    stack->setCurrentIndex(page);
}

void MainWindow::ApplyColours()
{
    SetBackground(this, settings.WallColor);
    SetBackground(initialComment, settings.WallColor);
    SetTextColour(initialComment, settings.NormalColor);
    SetBackground(busyPanel, settings.WallColor);
    mainPanel->ApplySettings(settings);
    SetBackground(clipViewer, settings.ViewColor);
    SetTextColour(clipViewer, settings.ViewFontColor);
    SetBackground(fileView, settings.ListColor);
    SetTextColour(fileView, settings.ListFontColor);
    SetBackground(dupList, settings.DupColor);
    SetTextColour(dupList, settings.DupFontColor);
}

void MainWindow::SetStatus(const std::string& text) { statusBar()->showMessage(ToQ(text)); }
std::string MainWindow::StatusText() const { return FromQ(statusBar()->currentMessage()); }

void MainWindow::SetAppTitle(const std::string& text)
{
    appTitle_ = text;
    // The icon name is the task-bar text; a set display name would instead be appended to
    // every window caption and stay there after the batch.
    setWindowIconText(ToQ(text));
}

void MainWindow::SetCaption(const std::string& text) { setWindowTitle(ToQ(text)); }
std::string MainWindow::Caption() const { return FromQ(windowTitle()); }

void MainWindow::Pump()
{
    QCoreApplication::processEvents();
    if (options_.pumpHook) options_.pumpHook();
}

void MainWindow::BringToFront()
{
    // The offscreen platform (tests, headless sessions) has no stacking order to change.
    if (!isVisible() || QGuiApplication::platformName() == QLatin1String("offscreen")) return;
    raise();
    activateWindow();
}

void MainWindow::BuildHooks()
{
    WorkHooks& ui = hooks_;
    ui.status = [this](const std::string& t) { SetStatus(t); };
    ui.title = [this](const std::string& t) { SetAppTitle(t); };
    ui.fileLabel = [this](const std::string& t) { busyPanel->lbFileProgress->setText(ToQ(t)); };
    ui.busyComment = [this](const std::string& t) { busyPanel->buzyComment->setText(ToQ(t)); };
    ui.busyPanel = [this](bool shown) {
        busy = shown;
        if (shown) {
            busyPanel->pgTotal->hide();
            busyPanel->lbTotalProgress->clear();
        }
        menuBar()->setEnabled(!shown);
        menuBar()->setVisible(!shown);
        UpdatePages();
    };
    ui.progressMax = [this](int64_t max) {
        busyPanel->pgFile->setRange(0, static_cast<int>(std::min<int64_t>(max, INT32_MAX)));
        busyPanel->pgFile->setValue(0);
    };
    ui.progressPos = [this](int64_t pos) {
        busyPanel->pgFile->setValue(static_cast<int>(std::min<int64_t>(pos, INT32_MAX)));
    };
    ui.pump = [this] { Pump(); };
    ui.bringToFront = [this] { BringToFront(); };
    ui.prompts = prompts_;
    ui.stop = &driver->stop;
}

WorkHooks& MainWindow::Hooks()
{
    hooks_.refreshPeriod = RefreshPeriodOf(settings);
    return hooks_;
}

void MainWindow::AddFolderItem(const std::string& folder)
{
    const QString f = ToQ(folder);
    int at = 0;
    for (; at < folderList->count(); ++at) {
        const int c = folderList->itemText(at).compare(f, Qt::CaseInsensitive);
        if (c == 0) return;
        if (c > 0) break;
    }
    folderList->insertItem(at, f);
}

void MainWindow::SetFolderItems(const std::vector<std::string>& folders)
{
    folderList->clear();
    for (const std::string& f : folders) folderList->addItem(ToQ(f));
}

void MainWindow::DropPaths(const std::vector<std::string>& paths) { processing->DropHandler(paths); }

void MainWindow::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls() && processing->dropsEnabled) event->acceptProposedAction();
}

void MainWindow::dragMoveEvent(QDragMoveEvent* event)
{
    if (event->mimeData()->hasUrls() && processing->dropsEnabled) event->acceptProposedAction();
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
        QTimer::singleShot(0, this, [this] { lifecycle->FormActivate(); });
    }
}

void MainWindow::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && shownOnce_ && !lifecycle->startingUp()) {
        QTimer::singleShot(0, this, [this] { lifecycle->FormActivate(); });
    }
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    // A second request while the history is being saved: the first one is already closing.
    if (lifecycle->closing()) {
        event->ignore();
        return;
    }
    if (!lifecycle->FormCloseQuery()) {
        event->ignore();
        return;
    }
    lifecycle->FormClose();
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
        if (!busy && views->EnterKey(QApplication::focusWidget())) return true;
    } else if ((key->key() == Qt::Key_Left || key->key() == Qt::Key_Right) &&
               QApplication::focusWidget() != mainPanel->scrollBar1) {
        if (views->ArrowKey()) return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

}  // namespace qv
