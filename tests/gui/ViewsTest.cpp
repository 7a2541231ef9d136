// The four views: the view commands, Enter cycling, and what the busy display refuses.
#include "AppTestSupport.h"

#include <QKeyEvent>
#include <QMenuBar>
#include <QPushButton>

#include "processing/ResultPanel.h"

namespace qv {
namespace {

class ViewsTest : public WindowTest {};

TEST_F(ViewsTest, EnterCyclesThroughTheViewsAndSkipsTheDupFrameWithoutDuplicates)
{
    const std::string f = dir.WriteFile("f.bin", "f");
    StartAndDrop({f});
    ASSERT_TRUE(Shown("MainPanel"));
    PressEnter();
    EXPECT_TRUE(Shown("ClipViewer"));
    EXPECT_TRUE(Action("CallClipViewer")->isChecked());
    PressEnter();
    EXPECT_TRUE(Shown("FileViewBase"));
    EXPECT_TRUE(Action("CallListFrame")->isChecked());
    PressEnter();
    EXPECT_EQ(S().pages.CurrentView(), View::Basic);
    EXPECT_TRUE(Shown("MainPanel"));
    EXPECT_EQ(Caption(), f);
}

TEST_F(ViewsTest, TheDropHintShowsAtStartAndWhenTheShownFileIsGone)
{
    const auto expectHint = [&] {
        EXPECT_TRUE(Shown("InitialComment"));
        EXPECT_EQ(Caption(), kIdleCaption);
        EXPECT_EQ(window->result().ShownIndex(), -1);
    };
    const std::string f = dir.WriteFile("f.bin", "f");
    Start();
    expectHint();
    EXPECT_EQ(Text("InitialComment"), kInitialComment);
    EXPECT_TRUE(Action("CallBasicFrame")->isChecked());
    EXPECT_FALSE(Action("CallDupFrame")->isEnabled());
    EXPECT_FALSE(Shown("ScrollBar1"));
    // Back in the basic frame with the shown file deleted: the panel resets.
    DropAndWait({f});
    Trigger("CallClipViewer");
    std::remove(f.c_str());
    Trigger("CallBasicFrame");
    expectHint();
    EXPECT_EQ(Text("XMD5"), "");
    EXPECT_EQ(Status(), kStatusDropPlease);
}

TEST_F(ViewsTest, BusyDisplayRefusesViewSwitchesAndExit)
{
    const std::string a = dir.WriteFile("a", "a");
    const std::string b = dir.WriteFile("b", "b");
    MainWindow& w = Start();
    bool menuHidden = false;
    View during = View::Dup;
    QTimer::singleShot(0, &w, [&] {
        menuHidden = w.menuBar()->isHidden();
        Trigger("CallClipViewer");
        during = S().pages.CurrentView();
        Trigger("Exit1");
        EXPECT_TRUE(Shown("BuzyPanel"));
        EXPECT_EQ(Text("BuzyComment"), "ハッシュコード計算中　しばらくお待ち下さい");
        EXPECT_EQ(Text("CanButton"), "中止 [ESC]");
        EXPECT_EQ(Find<QPushButton>("CanButton")->shortcut(), QKeySequence(Qt::Key_Escape));
    });
    DropAndWait({a, b});
    EXPECT_TRUE(menuHidden);
    EXPECT_EQ(during, View::Basic);
    EXPECT_EQ(prompts.beeps(), 1);
    EXPECT_TRUE(w.isVisible());
    EXPECT_FALSE(w.menuBar()->isHidden());
    EXPECT_TRUE(Action("CallBasicFrame")->isChecked());
}

TEST_F(ViewsTest, StoppedDropLeavesTheDuplicateViewOfTheEarlierFile)
{
    const std::string a = dir.WriteFile("one/same.bin", "same");
    const std::string b = dir.WriteFile("two/same.bin", "same");
    const std::string c = dir.WriteFile("c.bin", "other");
    MainWindow& w = Start();
    DropAndWait({a});
    DropAndWait({b});
    ASSERT_TRUE(Shown("DuplicateMark"));
    Trigger("CallDupFrame");
    ASSERT_TRUE(Shown("DupList"));

    // The drop hides the duplicate mark; the stopped batch shows no new result.
    QTimer::singleShot(0, &w, [&] { Click("CanButton"); });
    DropAndWait({c});
    EXPECT_EQ(S().pages.CurrentView(), View::Basic);
    EXPECT_TRUE(Action("CallBasicFrame")->isChecked());
    EXPECT_FALSE(Shown("DupList"));
    EXPECT_TRUE(Shown("InitialComment"));
    EXPECT_EQ(Caption(), kIdleCaption);

    // Without the mark, Enter in the list frame goes to the basic frame, not to the old list.
    Trigger("CallListFrame");
    PressEnter();
    EXPECT_EQ(S().pages.CurrentView(), View::Basic);
}

}  // namespace
}  // namespace qv
