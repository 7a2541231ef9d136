// The four views: the view commands, Enter cycling, and what the busy display refuses.
#include "AppTestSupport.h"

#include <QAction>
#include <QKeyEvent>
#include <QMenuBar>
#include <QPushButton>
#include <QTimer>

#include "gui/shell/BusyPanel.h"
#include "gui/shell/Menus.h"
#include "gui/shell/LifecycleController.h"
#include "gui/processing/ProcessingController.h"
#include "gui/processing/ResultPanelWidget.h"
#include "gui/shell/ViewController.h"
#include "processing/ResultPanel.h"

namespace qv {
namespace {

class ViewsTest : public WindowTest {};

TEST_F(ViewsTest, InitialStateShowsTheDropHint)
{
    MainWindow& w = Start();
    EXPECT_TRUE(Shown("InitialComment"));
    EXPECT_EQ(Text("InitialComment"), kInitialComment);
    EXPECT_EQ(w.Caption(), kIdleCaption);
    EXPECT_TRUE(w.menus->callBasicFrame->isChecked());
    EXPECT_FALSE(w.menus->callDupFrame->isEnabled());
    EXPECT_FALSE(Shown("ScrollBar1"));
    EXPECT_EQ(w.shownIndex, -1);
}

TEST_F(ViewsTest, EnterCyclesThroughTheViewsAndSkipsTheDupFrameWithoutDuplicates)
{
    const std::string f = dir.WriteFile("f.txt", "f");
    MainWindow& w = Start();
    DropAndWait({f});
    ASSERT_TRUE(Shown("MainPanel"));
    const auto press = [&] {
        QKeyEvent key(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QCoreApplication::sendEvent(w.centralWidget(), &key);
    };
    press();
    EXPECT_EQ(w.view, View::Clip);
    EXPECT_TRUE(Shown("ClipViewer"));
    EXPECT_TRUE(w.menus->callClipViewer->isChecked());
    press();
    EXPECT_EQ(w.view, View::List);
    EXPECT_TRUE(Shown("FileViewBase"));
    press();
    EXPECT_EQ(w.view, View::Basic);
    EXPECT_TRUE(Shown("MainPanel"));
    EXPECT_EQ(w.Caption(), f);
}

TEST_F(ViewsTest, BasicFrameWithoutAFileResetsThePanel)
{
    const std::string f = dir.WriteFile("f.txt", "f");
    MainWindow& w = Start();
    DropAndWait({f});
    w.menus->callClipViewer->trigger();
    std::remove(f.c_str());
    w.menus->callBasicFrame->trigger();
    EXPECT_EQ(w.Caption(), kIdleCaption);
    EXPECT_EQ(w.shownIndex, -1);
    EXPECT_EQ(Text("XMD5"), "");
    EXPECT_EQ(w.StatusText(), kStatusDropPlease);
    EXPECT_TRUE(Shown("InitialComment"));
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
        w.views->CallClipViewerClick();
        during = w.view;
        w.lifecycle->Exit1Click();
        EXPECT_TRUE(Shown("BuzyPanel"));
        EXPECT_EQ(Text("BuzyComment"), "ハッシュコード計算中　しばらくお待ち下さい");
        EXPECT_EQ(Text("CanButton"), "中止 [ESC]");
    });
    DropAndWait({a, b});
    EXPECT_TRUE(menuHidden);
    EXPECT_EQ(during, View::Basic);
    EXPECT_EQ(prompts.beeps(), 1);
    EXPECT_TRUE(w.isVisible());
    EXPECT_FALSE(w.menuBar()->isHidden());
    EXPECT_TRUE(w.menus->callBasicFrame->isChecked());
}

TEST_F(ViewsTest, CancelButtonCarriesEscapeAndStopsTheBatch)
{
    const std::string a = dir.WriteFile("a", "a");
    const std::string b = dir.WriteFile("b", "b");
    MainWindow& w = Start();
    QTimer::singleShot(0, &w, [&] {
        EXPECT_EQ(w.busyPanel->canButton->shortcut(), QKeySequence(Qt::Key_Escape));
        w.busyPanel->canButton->click();
    });
    DropAndWait({a, b});
    EXPECT_EQ(w.StatusText(), "処理を中止しました");
}

TEST_F(ViewsTest, StoppedDropLeavesTheDuplicateViewOfTheEarlierFile)
{
    const std::string a = dir.WriteFile("one/same.txt", "same");
    const std::string b = dir.WriteFile("two/same.txt", "same");
    const std::string c = dir.WriteFile("c.txt", "other");
    MainWindow& w = Start();
    DropAndWait({a});
    DropAndWait({b});
    ASSERT_FALSE(w.mainPanel->duplicateMark->isHidden());
    w.menus->callDupFrame->trigger();
    ASSERT_EQ(w.view, View::Dup);

    // The drop hides the duplicate mark; the stopped batch shows no new result.
    QTimer::singleShot(0, &w, [&] { w.processing->CanButtonClick(); });
    DropAndWait({c});
    EXPECT_EQ(w.view, View::Basic);
    EXPECT_TRUE(w.menus->callBasicFrame->isChecked());
    EXPECT_FALSE(Shown("DupList"));
    EXPECT_TRUE(Shown("InitialComment"));
    EXPECT_EQ(w.Caption(), kIdleCaption);

    // Without the mark, Enter in the list frame goes to the basic frame, not to the old list.
    w.menus->callListFrame->trigger();
    QKeyEvent key(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QCoreApplication::sendEvent(w.centralWidget(), &key);
    EXPECT_EQ(w.view, View::Basic);
}

}  // namespace
}  // namespace qv
