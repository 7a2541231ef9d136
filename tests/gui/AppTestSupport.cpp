#include "AppTestSupport.h"

#include <QAbstractButton>
#include <QElapsedTimer>
#include <QLabel>
#include <QStackedWidget>

#include <cstdlib>

#include "history/HistoryFiles.h"
#include "platform/Paths.h"

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

std::vector<std::string> ScriptedFileDialogs::OpenFiles(const std::string&, const std::string& folder,
                                                        const std::string&)
{
    shownFolders.push_back(folder);
    if (answers.empty()) return {};
    std::vector<std::string> a = answers.front();
    answers.erase(answers.begin());
    return a;
}

MainWindow& WindowTest::Create(std::vector<std::string> arguments, std::function<void()> pumpHook)
{
    dir.MakeFolder("home");
    WindowOptions o;
    o.prompts = &prompts;
    o.dialogs = &dialogs;
    o.dataFolder = Home();
    o.arguments = std::move(arguments);
    o.pumpHook = std::move(pumpHook);
    window = std::make_unique<MainWindow>(std::move(o));
    return *window;
}

MainWindow& WindowTest::Start(std::vector<std::string> arguments, std::function<void()> pumpHook)
{
    Create(std::move(arguments), std::move(pumpHook));
    window->show();
    EXPECT_TRUE(WaitFor([this] {
        return !window->lifecycle->startingUp() && !window->driver->Running() &&
               window->driver->ProcessingQueue().empty();
    }));
    return *window;
}

void WindowTest::CloseAndDestroy()
{
    window->close();
    window.reset();
}

void WindowTest::DropAndWait(const std::vector<std::string>& paths)
{
    window->DropPaths(paths);
    EXPECT_TRUE(WaitFor([this] { return !window->driver->Running(); }));
}

void WindowTest::WriteHistoryWith(const std::string& path)
{
    HashHistory h;
    HistoryRecord r;
    r.Size = 1;
    h.Insert(path, r);
    WorkHooks ui;
    dir.MakeFolder("home");
    ASSERT_TRUE(WriteHistoryFile(h, JoinPath(Home(), "Quenvarlith.dat"), ui));
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

void WindowTest::TearDown()
{
    window.reset();
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
