#include "AppTestSupport.h"

#include <QAbstractButton>
#include <QClipboard>
#include <QDesktopServices>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTextBlock>

#include <cstdlib>

#include "gui/shell/Shell.h"
#include "gui/shell/Theme.h"
#include "history/HistoryFiles.h"

namespace qv {

bool WaitFor(const std::function<bool()>& cond, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (!cond()) {
        if (timer.elapsed() > timeoutMs) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

namespace {

// The next scripted answer, or none when the script has run out.
template <class T>
T TakeFirst(std::vector<T>& script)
{
    if (script.empty()) return {};
    T a = std::move(script.front());
    script.erase(script.begin());
    return a;
}

}  // namespace

std::vector<std::string> ScriptedFileDialogs::OpenFiles(const std::string&, const std::string& folder,
                                                        const std::string&)
{
    shownFolders.push_back(folder);
    return TakeFirst(answers);
}

std::string ScriptedFileDialogs::OpenFile(const std::string& title, const std::string& folder,
                                          const std::string& filter)
{
    const std::vector<std::string> chosen = OpenFiles(title, folder, filter);
    return chosen.empty() ? std::string() : chosen.front();
}

std::string ScriptedFileDialogs::ChooseSoundFile(const std::string& startFile, const std::string& startFolder,
                                                 const std::function<void(const std::string&)>&)
{
    soundStarts.emplace_back(startFile, startFolder);
    return TakeFirst(soundAnswers);
}

std::string ScriptedFileDialogs::SaveFile(const std::string&, const std::string& fileName,
                                          const std::vector<FileFilter>& filters, int& filterIndex)
{
    saveOffers.push_back({fileName, filters, filterIndex});
    const auto [path, chosen] = TakeFirst(saveAnswers);
    if (chosen > 0) filterIndex = chosen;
    return path;
}

std::string ScriptedFileDialogs::ChooseFolder(const std::string& prompt, const std::string&)
{
    folderPrompts.push_back(prompt);
    return TakeFirst(folderAnswers);
}

bool ScriptedFileDialogs::ChooseColour(uint32_t& colour)
{
    colourStarts.push_back(colour);
    const std::optional<uint32_t> a = TakeFirst(colourAnswers);
    if (a) colour = *a;
    return a.has_value();
}

void RecordedSounds::PlayWave(const std::string& file) { played.push_back(NameOf(file)); }

WindowTest::WindowTest()
{
    ticks.step = 100000;
    if (const char* old = std::getenv("XDG_DATA_HOME")) savedDataHome_ = old;
    setenv("XDG_DATA_HOME", dir.MakeFolder("xdg").c_str(), 1);
}

WindowTest::~WindowTest()
{
    window.reset();
    // The next window would take it in as its comparison text.
    QGuiApplication::clipboard()->clear();
    if (savedDataHome_) setenv("XDG_DATA_HOME", savedDataHome_->c_str(), 1);
    else unsetenv("XDG_DATA_HOME");
}

MainWindow& WindowTest::Create(std::vector<std::string> arguments, std::function<void()> pumpHook)
{
    window.reset();
    dir.MakeFolder("home");
    if (!PathExists(Shipped())) {
        for (const char* name : {"TADA.WAV", "CHORD.WAV", "CHIMES.WAV", "NOTIFY.WAV"})
            dir.WriteFile(std::string("shipped/Media/") + name, "RIFF");
    }
    WindowOptions o;
    o.prompts = &prompts;
    o.dialogs = &dialogs;
    o.dataFolder = Home();
    o.arguments = std::move(arguments);
    o.pumpHook = std::move(pumpHook);
    o.jobOptions.fileSource = test::ControlledSource::Factory(source);
    o.soundOutput = &sounds;
    o.shippedFolder = Shipped();
    o.homePage = homePage;
    // The reader is read ahead with whenever it can be, not only when it happens to be idle.
    o.jobOptions.readAheadIdleMs = 5000;
    o.clock = &ticks;
    window = std::make_unique<MainWindow>(std::move(o));
    return *window;
}

MainWindow& WindowTest::Start(std::vector<std::string> arguments, std::function<void()> pumpHook)
{
    Create(std::move(arguments), std::move(pumpHook));
    window->show();
    EXPECT_TRUE(WaitFor([this] { return Idle(); }));
    return *window;
}

bool WindowTest::Idle() const
{
    return !window->lifecycle().startingUp() && !TheDriver().Running() && TheDriver().ProcessingQueue().empty();
}

void WindowTest::CloseAndDestroy()
{
    window->close();
    window.reset();
}

void WindowTest::DropAndWait(const std::vector<std::string>& paths)
{
    window->DropPaths(paths);
    EXPECT_TRUE(WaitFor([this] { return !TheDriver().Running(); }));
}

void WindowTest::WriteHistoryWith(const std::string& path)
{
    HashHistory h;
    h.Insert(path, HistoryRecord{1, 0.0, 0.0, "", ""});
    WorkHooks ui;
    dir.MakeFolder("home");
    ASSERT_TRUE(WriteHistoryFile(h, JoinPath(Home(), "Quenvarlith.dat"), ui));
}

void WindowTest::ReadSaved(HashHistory& h, const std::string& home) const
{
    WorkHooks ui;
    EXPECT_TRUE(ReadHistoryFile(h, JoinPath(home.empty() ? Home() : home, "Quenvarlith.dat"), {}, ui));
}

std::vector<std::string> WindowTest::ViewerMarks() const
{
    std::vector<std::string> out;
    const auto* viewer = Find<QPlainTextEdit>("ClipViewer");
    for (QTextBlock b = viewer->document()->begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat f = it.fragment().charFormat();
            if (!f.fontUnderline()) continue;
            EXPECT_EQ(f.foreground().color(), ToQColor(S().settings.PickupColor));
            out.push_back(it.fragment().text().toStdString());
        }
    }
    return out;
}

int32_t WindowTest::IndexOf(const std::string& path) const
{
    int32_t i = -1;
    return S().history.Find(path, i) ? i : -1;
}

// What a person sees, not what waits for the next refresh.
std::string WindowTest::Status() const { return window->statusBar()->currentMessage().toStdString(); }
std::string WindowTest::Caption() const { return window->windowTitle().toStdString(); }

std::vector<std::string> WindowTest::Hashed()
{
    std::vector<std::string> once;
    for (const std::string& p : source.Opened()) {
        if (once.empty() || once.back() != p) once.push_back(p);
    }
    return once;
}

QAction* WindowTest::Action(const char* objectName) const { return Find<QAction>(objectName); }

void WindowTest::Trigger(const char* objectName) const
{
    if (QAction* a = Action(objectName)) a->trigger();
}

void WindowTest::Click(const char* objectName) const
{
    if (auto* b = Find<QAbstractButton>(objectName)) b->click();
}

void WindowTest::DoubleClick(const char* objectName) const
{
    auto* w = Find<QWidget>(objectName);
    if (!w) return;
    const QPointF at(1, 1);
    QMouseEvent e(QEvent::MouseButtonDblClick, at, w->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                  Qt::NoModifier);
    QCoreApplication::sendEvent(w, &e);
}

void WindowTest::PressEnter() const
{
    QKeyEvent key(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QCoreApplication::sendEvent(window->centralWidget(), &key);
}

std::string WindowTest::Text(const char* objectName) const
{
    auto* w = window->findChild<QWidget*>(QString::fromLatin1(objectName));
    if (auto* l = qobject_cast<QLabel*>(w)) return l->text().toStdString();
    if (auto* b = qobject_cast<QAbstractButton*>(w)) return b->text().toStdString();
    ADD_FAILURE() << "no text widget " << objectName;
    return {};
}

bool WindowTest::Shown(const char* objectName) const
{
    auto* w = window->findChild<QWidget*>(QString::fromLatin1(objectName));
    if (!w) {
        ADD_FAILURE() << "no widget " << objectName;
        return false;
    }
    // A page of the view stack counts as shown when it is the current page.
    if (auto* stack = qobject_cast<QStackedWidget*>(w->parentWidget())) return stack->currentWidget() == w;
    return !w->isHidden();
}

OpenedUrls::OpenedUrls()
{
    for (const char* scheme : {"file", "https"}) QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), this, "Open");
}

OpenedUrls::~OpenedUrls()
{
    for (const char* scheme : {"file", "https"}) QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
}

std::vector<std::string> OpenedUrls::Encoded() const
{
    std::vector<std::string> encoded;
    for (const QUrl& url : urls) encoded.push_back(url.toEncoded().toStdString());
    return encoded;
}

}  // namespace qv

int main(int argc, char** argv)
{
    // Discovery runs this program without the test environment.
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
