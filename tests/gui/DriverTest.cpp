// The processing driver in the window: drop order, folders, batches growing while they run,
// a file that vanished before its turn, start-up, quiet batches.
#include "AppTestSupport.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QProgressBar>
#include <QTimer>

#include <cstdio>

#include <sys/stat.h>

#include "gui/shell/BusyPanel.h"
#include "gui/processing/ProcessingController.h"
#include "processing/ResultPanel.h"
#include "platform/Paths.h"

namespace qv {
namespace {

class DriverWindowTest : public WindowTest {};

int32_t IndexOf(MainWindow& w, const std::string& path)
{
    int32_t i = -1;
    return w.history.Find(path, i) ? i : -1;
}

TEST_F(DriverWindowTest, DroppedItemsAreHashedLastToFirstAndTheLastOneIsShown)
{
    const std::string a = dir.WriteFile("in/a.txt", "alpha");
    const std::string b = dir.WriteFile("in/b.txt", "bravo!");
    const std::string c = dir.WriteFile("in/c.txt", "charlie");
    MainWindow& w = Start();
    DropAndWait({a, b, c});

    // Newest first: a was hashed last.
    const auto& recent = w.job->RecentFiles();
    EXPECT_EQ(recent[0], a);
    EXPECT_EQ(recent[1], b);
    EXPECT_EQ(recent[2], c);
    EXPECT_EQ(w.history.Count(), 3);
    EXPECT_EQ(w.Caption(), a);
    EXPECT_EQ(Text("XFileName"), "a.txt");
    EXPECT_EQ(Text("XFileSize"), "5byte");
    EXPECT_EQ(w.shownIndex, IndexOf(w, a));
    EXPECT_EQ(w.StatusText(), kStatusLoaded);
    EXPECT_TRUE(Shown("MainPanel"));
    EXPECT_TRUE(w.driver->ProcessingQueue().empty());
    EXPECT_EQ(w.driver->BatchTotal(), 0);
    EXPECT_EQ(w.AppTitle(), "Quenvarlith");
}

TEST_F(DriverWindowTest, FolderIsExpandedOneLevelWithoutHiddenFilesAndSelectedInTheFolderList)
{
    const std::string folder = dir.MakeFolder("drop");
    dir.WriteFile("drop/one.bin", "1");
    dir.WriteFile("drop/two.bin", "22");
    dir.WriteFile("drop/.hidden", "3");
    dir.WriteFile("drop/sub/deep.bin", "4");
    MainWindow& w = Start();
    w.AddFolderItem(dir.Path("other"));
    DropAndWait({folder});

    EXPECT_EQ(w.history.Count(), 2);
    EXPECT_GE(IndexOf(w, JoinPath(folder, "one.bin")), 0);
    EXPECT_GE(IndexOf(w, JoinPath(folder, "two.bin")), 0);
    EXPECT_EQ(IndexOf(w, JoinPath(folder, ".hidden")), -1);
    EXPECT_EQ(IndexOf(w, dir.Path("drop/sub/deep.bin")), -1);
    // The hashed files put their folder in the list, and the folder dropped alone opens it.
    EXPECT_EQ(w.folderList->currentText().toStdString(), folder);
    EXPECT_EQ(w.view, View::List);
    EXPECT_TRUE(Shown("FileViewBase"));
}

TEST_F(DriverWindowTest, DropDuringARunningBatchGrowsTheSameBatch)
{
    const std::string a = dir.WriteFile("a", "a");
    const std::string b = dir.WriteFile("b", "bb");
    const std::string d = dir.WriteFile("d", "ddd");
    const std::string e = dir.WriteFile("e", "eeee");
    MainWindow& w = Start();
    int maximumAfterDrop = 0;
    bool totalShown = false;
    // Served by the driver's first message pump, like a real drop during a batch.
    QTimer::singleShot(0, &w, [&] {
        EXPECT_TRUE(w.driver->Running());
        w.DropPaths({d, e});
        maximumAfterDrop = w.busyPanel->pgTotal->maximum();
        totalShown = !w.busyPanel->pgTotal->isHidden();
    });
    DropAndWait({a, b});

    EXPECT_EQ(maximumAfterDrop, 4);
    EXPECT_TRUE(totalShown);
    EXPECT_EQ(w.history.Count(), 4);
    // b, a, then the later drop e, d.
    EXPECT_EQ(w.job->RecentFiles()[0], d);
    EXPECT_EQ(w.job->RecentFiles()[1], e);
    EXPECT_EQ(w.job->RecentFiles()[2], a);
    EXPECT_EQ(w.Caption(), d);
}

TEST_F(DriverWindowTest, RemainingCountStaysOutOfTheWindowCaption)
{
    const std::string one = dir.WriteFile("one", "1");
    const std::string two = dir.WriteFile("two", "22");
    std::vector<std::string> titlesWhileBusy;
    std::vector<std::string> displayNamesWhileBusy;
    Start({}, [&] {
        if (window && window->busy && window->driver->Running()) {
            titlesWhileBusy.push_back(window->AppTitle());
            displayNamesWhileBusy.push_back(QGuiApplication::applicationDisplayName().toStdString());
        }
    });
    const std::string displayName = QGuiApplication::applicationDisplayName().toStdString();
    DropAndWait({one, two});

    ASSERT_FALSE(titlesWhileBusy.empty());
    EXPECT_EQ(titlesWhileBusy.back(), "残り1files");
    EXPECT_EQ(window->windowIconText().toStdString(), "Quenvarlith");
    // The desktop appends a set display name to every caption ("path — 残り1files"), and
    // keeps it there after the batch: the caption must stay the bare path.
    for (const std::string& name : displayNamesWhileBusy) EXPECT_EQ(name, displayName);
    EXPECT_EQ(QGuiApplication::applicationDisplayName().toStdString(), displayName);
    EXPECT_EQ(window->Caption(), one);
}

TEST_F(DriverWindowTest, BatchTextAndBarsFollowTheBatchSize)
{
    const std::string one = dir.WriteFile("one", "1");
    const std::string two = dir.WriteFile("two", "2");
    std::vector<std::string> seenTotals;
    std::vector<bool> barShown;
    Start({}, [&] {
        if (window && window->busy && window->driver->Running()) {
            seenTotals.push_back(Text("LbTotalProgress"));
            barShown.push_back(!window->busyPanel->pgTotal->isHidden());
        }
    });
    DropAndWait({one});
    ASSERT_FALSE(seenTotals.empty());
    EXPECT_EQ(seenTotals.front(), "");
    EXPECT_FALSE(barShown.front());

    seenTotals.clear();
    barShown.clear();
    DropAndWait({one, two});
    ASSERT_FALSE(seenTotals.empty());
    EXPECT_EQ(seenTotals.front(), "全体 (0/2files)");
    EXPECT_TRUE(barShown.front());
    EXPECT_EQ(seenTotals.back(), "全体 (1/2files)");
}

TEST_F(DriverWindowTest, SecondFileGoneBeforeItsTurnEndsTheBatch)
{
    const std::string a = dir.WriteFile("a", "a");
    const std::string b = dir.WriteFile("b", "b");
    const std::string c = dir.WriteFile("c", "c");
    MainWindow& w = Start({}, [&] {
        // Once c (the first in the batch) has its record, b disappears.
        int32_t i = -1;
        if (window && window->history.Find(c, i)) std::remove(b.c_str());
    });
    DropAndWait({a, b, c});

    EXPECT_EQ(w.StatusText(), "ファイルオープンエラー");
    EXPECT_GE(IndexOf(w, c), 0);
    EXPECT_EQ(IndexOf(w, a), -1);
    EXPECT_TRUE(w.driver->ProcessingQueue().empty());
    EXPECT_EQ(w.driver->BatchTotal(), 0);
    EXPECT_FALSE(Shown("MainPanel"));
}

TEST_F(DriverWindowTest, NothingRunsDuringStartUpAndQueuedFilesFollowTheHistoryLoad)
{
    // A history file makes the start-up load run under the busy display.
    WriteHistoryWith(dir.WriteFile("old.txt", "old"));
    const std::string arg = dir.WriteFile("arg.txt", "argument");
    const std::string dropped = dir.WriteFile("dropped.txt", "dropped");
    bool droppedDuringLoad = false;
    MainWindow& w = Create({arg}, [&] {
        if (window && window->busy && window->lifecycle->startingUp() && !droppedDuringLoad) {
            droppedDuringLoad = true;
            window->DropPaths({dropped});
            EXPECT_EQ(window->driver->ProcessingQueue().size(), 2u);
        }
    });
    ASSERT_EQ(w.driver->ProcessingQueue().size(), 1u);
    w.driver->ProcessFiles(false, false);
    EXPECT_EQ(w.driver->ProcessingQueue().size(), 1u);
    EXPECT_EQ(w.history.Count(), 0);

    w.show();
    ASSERT_TRUE(WaitFor([&] { return !w.lifecycle->startingUp() && w.driver->ProcessingQueue().empty() &&
                                     !w.driver->Running(); }));
    EXPECT_TRUE(droppedDuringLoad);
    EXPECT_GE(IndexOf(w, arg), 0);
    EXPECT_GE(IndexOf(w, dropped), 0);
}

TEST_F(DriverWindowTest, BadCommandLineArgumentIsReportedWithItsReason)
{
    const std::string good = dir.WriteFile("good", "g");
    ASSERT_EQ(::mkfifo(dir.Path("fifo").c_str(), 0600), 0);
    // Taken from the last to the first: the status names the first bad one.
    const struct {
        std::string argument, status;
    } cases[] = {
        {dir.Path("missing"), "パラメータエラー" + dir.Path("missing") + "　（見つかりません）"},
        {dir.Path("fifo"), "パラメータエラー" + dir.Path("fifo") + "　（通常のファイルではありません）"},
        {"", "パラメータエラー　（空の引数です）"},   // not the current folder
    };
    for (const auto& c : cases) {
        MainWindow& w = Create({c.argument, good});
        EXPECT_EQ(w.StatusText(), c.status);
        EXPECT_EQ(w.driver->ProcessingQueue().size(), 1u);
    }
}

TEST_F(DriverWindowTest, CommandLineFileLeftOutByTheAttributeMaskIsReported)
{
    // Hidden files are left out by default; naming one is a bad argument, not silence.
    const std::string good = dir.WriteFile("good", "g");
    const std::string hidden = dir.WriteFile(".hidden", "h");
    MainWindow& w = Create({hidden, good});
    EXPECT_EQ(w.StatusText(), "パラメータエラー" + hidden + "　（属性の制限で対象外です）");
    ASSERT_EQ(w.driver->ProcessingQueue().size(), 1u);
    EXPECT_EQ(w.driver->ProcessingQueue().front(), good);
}

TEST_F(DriverWindowTest, QuietBatchKeepsThePanelAndLeavesTheCaptionOnTheLastFile)
{
    const std::string shown = dir.WriteFile("shown.txt", "shown");
    const std::string quiet = dir.WriteFile("quiet.txt", "quiet!");
    MainWindow& w = Start();
    DropAndWait({shown});
    const std::string md5 = Text("XMD5");
    w.driver->Enqueue(quiet);
    w.driver->ProcessFiles(false, true);

    EXPECT_GE(IndexOf(w, quiet), 0);
    EXPECT_EQ(w.Caption(), quiet);
    EXPECT_EQ(Text("XFileName"), "shown.txt");
    EXPECT_EQ(Text("XMD5"), md5);
}

TEST_F(DriverWindowTest, CancelEndsTheBatchAsStopped)
{
    const std::string a = dir.WriteFile("a", "a");
    const std::string b = dir.WriteFile("b", "b");
    MainWindow& w = Start();
    QTimer::singleShot(0, &w, [&] { w.processing->CanButtonClick(); });
    DropAndWait({a, b});
    EXPECT_EQ(w.StatusText(), "処理を中止しました");
    EXPECT_EQ(w.Caption(), kIdleCaption);
    EXPECT_EQ(w.history.Count(), 0);
    EXPECT_FALSE(Shown("MainPanel"));
}

TEST_F(DriverWindowTest, OpenDialogFilesAreHashedInTheDialogsOrder)
{
    const std::string x = dir.WriteFile("x", "x");
    const std::string y = dir.WriteFile("y", "yy");
    MainWindow& w = Start();
    dialogs.answers.push_back({x, y});
    w.processing->OpenFilesClick();
    ASSERT_TRUE(WaitFor([&] { return !w.driver->Running(); }));
    EXPECT_EQ(w.job->RecentFiles()[0], y);
    EXPECT_EQ(w.job->RecentFiles()[1], x);
    // The next dialog starts in the folder of the shown file.
    w.processing->OpenFilesClick();
    EXPECT_EQ(dialogs.shownFolders.back(), dir.path());
}

}  // namespace
}  // namespace qv
