// The processing driver in the window: what a drop shows, a folder dropped alone, the busy
// texts, start-up (refusing to close while it loads), the command line and the open dialog.
#include "AppTestSupport.h"

#include <QComboBox>

#include "verify/Matching.h"
#include "processing/Lifecycle.h"
#include "processing/ResultPanel.h"

namespace qv {
namespace {

class DriverWindowTest : public WindowTest {};

TEST_F(DriverWindowTest, DroppedItemsAreHashedLastToFirstAndOpenedOnesInTheDialogsOrder)
{
    const std::string a = dir.WriteFile("in/a.bin", "alpha");
    const std::string b = dir.WriteFile("in/b.bin", "bravo!");
    const std::string c = dir.WriteFile("in/c.bin", "charlie");
    StartAndDrop({a, b, c});

    EXPECT_EQ(Hashed(), (std::vector<std::string>{c, b, a}));
    EXPECT_EQ(S().history.Count(), 3);
    EXPECT_EQ(Caption(), a);
    EXPECT_EQ(Text("XFileName"), "a.bin");
    EXPECT_EQ(Text("XFileSize"), "5byte");
    EXPECT_EQ(window->result().ShownIndex(), IndexOf(a));
    EXPECT_EQ(Status(), kStatusNothingToCompare);   // after the matching pass, with an empty viewer
    EXPECT_TRUE(Shown("MainPanel"));
    EXPECT_TRUE(Idle());
    EXPECT_EQ(S().frame.AppTitle(), "Quenvarlith");

    // The open dialog starts in the shown file's folder; its files are hashed in its order.
    const std::string x = dir.WriteFile("in/x", "x"), y = dir.WriteFile("in/y", "yy");
    source.Clear();
    dialogs.answers.push_back({x, y});
    Trigger("OpenFiles");
    ASSERT_TRUE(WaitFor([&] { return !TheDriver().Running(); }));
    EXPECT_EQ(dialogs.shownFolders.back(), dir.Path("in"));
    EXPECT_EQ(Hashed(), (std::vector<std::string>{x, y}));
}

TEST_F(DriverWindowTest, FolderDroppedAloneIsExpandedOneLevelAndOpenedInTheListFrame)
{
    const std::string folder = dir.MakeFolder("drop"), hiddenOnly = dir.MakeFolder("hidden");
    dir.WriteFile("drop/one.bin", "1");
    dir.WriteFile("drop/two.bin", "22");
    dir.WriteFile("drop/.hidden", "3");
    dir.WriteFile("drop/sub/deep.bin", "4");
    dir.WriteFile("hidden/.only", "5");
    const std::string file = dir.WriteFile("file", "6");
    Start();
    // Not opened: a folder dropped with a file, and a folder the list does not hold.
    for (const std::vector<std::string>& drop : {std::vector{folder, file}, std::vector{hiddenOnly}}) {
        DropAndWait(drop);
        EXPECT_EQ(S().pages.CurrentView(), View::Basic);
    }
    S().folders.AddFolder(dir.Path("other"));
    S().folders.AddFolder(folder);   // already there: one item per folder
    DropAndWait({folder});
    EXPECT_EQ(S().history.Count(), 3);
    // The hashed files put their folder in the list, and the folder dropped alone opens it.
    EXPECT_EQ(Find<QComboBox>("FolderList")->count(), 3);
    EXPECT_EQ(S().folders.SelectedFolder(), folder);
    EXPECT_TRUE(Shown("FileViewBase"));
}

TEST_F(DriverWindowTest, BusyTextsFollowTheBatchAndStayOutOfTheCaption)
{
    const std::string one = dir.WriteFile("one", "1");
    const std::string two = dir.WriteFile("two", "22");
    std::vector<std::string> titles, totals, displayNames;
    std::vector<bool> barShown;
    Start({}, [&] {
        if (!window || !S().pages.Busy() || !TheDriver().Running()) return;
        titles.push_back(S().frame.AppTitle());
        totals.push_back(Text("LbTotalProgress"));
        barShown.push_back(Shown("PgTotal"));
        displayNames.push_back(QGuiApplication::applicationDisplayName().toStdString());
    });
    const std::string displayName = QGuiApplication::applicationDisplayName().toStdString();
    DropAndWait({one});
    ASSERT_FALSE(totals.empty());
    EXPECT_EQ(totals.front(), "");
    EXPECT_FALSE(barShown.front());

    titles.clear(), totals.clear(), barShown.clear();
    DropAndWait({one, two});
    ASSERT_FALSE(totals.empty());
    EXPECT_EQ(totals.front(), "全体 (0/2files)");
    EXPECT_TRUE(barShown.front());
    EXPECT_EQ(totals.back(), "全体 (1/2files)");
    EXPECT_EQ(titles.back(), "残り1files");
    EXPECT_EQ(window->windowIconText().toStdString(), "Quenvarlith");
    // The desktop appends a set display name to every caption ("path — 残り1files"), and
    // keeps it there after the batch: the caption must stay the bare path.
    for (const std::string& name : displayNames) EXPECT_EQ(name, displayName);
    EXPECT_EQ(Caption(), one);
}

TEST_F(DriverWindowTest, NothingRunsDuringStartUpAndQueuedFilesFollowTheHistoryLoad)
{
    // A history file makes the start-up load run under the busy display.
    WriteHistoryWith(dir.WriteFile("old.bin", "old"));
    const std::string arg = dir.WriteFile("arg.bin", "argument");
    const std::string dropped = dir.WriteFile("dropped.bin", "dropped");
    bool droppedDuringLoad = false;
    MainWindow& w = Create({arg}, [&] {
        if (window && S().pages.Busy() && window->lifecycle().startingUp() && !droppedDuringLoad) {
            droppedDuringLoad = true;
            window->DropPaths({dropped});
            EXPECT_EQ(TheDriver().ProcessingQueue().size(), 2u);
            EXPECT_FALSE(window->close());   // refused with a warning until the load is done
        }
    });
    ASSERT_EQ(TheDriver().ProcessingQueue().size(), 1u);
    TheDriver().ProcessFiles();
    EXPECT_EQ(TheDriver().ProcessingQueue().size(), 1u);
    EXPECT_EQ(S().history.Count(), 0);

    prompts.Push(Answer::Ok);
    w.show();
    ASSERT_TRUE(WaitFor([&] { return Idle(); }));
    EXPECT_TRUE(droppedDuringLoad);
    EXPECT_EQ(prompts.LastText(), kStartupCloseWarning);
    EXPECT_TRUE(w.isVisible());
    EXPECT_GE(IndexOf(arg), 0);
    EXPECT_GE(IndexOf(dropped), 0);
}

TEST_F(DriverWindowTest, BadCommandLineArgumentsAreReportedWithTheirReason)
{
    // Hidden files are left out by default; naming one is a bad argument, not silence.
    const std::string good = dir.WriteFile("good", "g");
    const std::string hidden = dir.WriteFile(".hidden", "h");
    ASSERT_EQ(::mkfifo(dir.Path("fifo").c_str(), 0600), 0);
    const std::string masked = "パラメータエラー" + hidden + "　（属性の制限で対象外です）";
    const struct {
        std::string argument, status;
    } cases[] = {
        {dir.Path("missing"), "パラメータエラー" + dir.Path("missing") + "　（見つかりません）"},
        {dir.Path("fifo"), "パラメータエラー" + dir.Path("fifo") + "　（通常のファイルではありません）"},
        {"", "パラメータエラー　（空の引数です）"},   // not the current folder
        {hidden, masked},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.argument);
        Create({c.argument, good});
        EXPECT_EQ(Status(), c.status);
        EXPECT_EQ(TheDriver().ProcessingQueue(), std::deque<std::string>{good});
    }
    // Taken from the last to the first: the first bad one is what stays in the status line.
    Create({hidden, good, dir.Path("missing")});
    EXPECT_EQ(Status(), masked);
}

}  // namespace
}  // namespace qv
