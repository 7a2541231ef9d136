// The result panel: size texts, codes and their copies, duplicates, and deleting the shown
// file to the trash.
#include "AppTestSupport.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QTreeWidget>

#include <sys/stat.h>

#include "gui/shell/Menus.h"
#include "gui/processing/ResultController.h"
#include "history/Duplicates.h"
#include "processing/ResultPanel.h"
#include "platform/DirSearch.h"
#include "platform/Paths.h"

namespace qv {
namespace {

class ResultWindowTest : public WindowTest {};

TEST_F(ResultWindowTest, DuplicatesAreListedAndFlagged)
{
    const std::string x = dir.WriteFile("one/same.bin", "same content");
    const std::string y = dir.WriteFile("two/same.bin", "same content");
    const std::string z = dir.WriteFile("three/other.bin", "other content");
    MainWindow& w = Start();
    DropAndWait({x});
    EXPECT_EQ(w.dupList->topLevelItemCount(), 1);
    EXPECT_FALSE(Shown("DuplicateMark"));
    EXPECT_FALSE(w.menus->callDupFrame->isEnabled());

    DropAndWait({y});
    ASSERT_EQ(w.dupList->topLevelItemCount(), 2);
    EXPECT_TRUE(Shown("DuplicateMark"));
    EXPECT_EQ(w.StatusText(), kStatusLoadedDup);
    EXPECT_TRUE(w.menus->callDupFrame->isEnabled());
    std::vector<std::string> rows;
    for (int i = 0; i < 2; ++i) rows.push_back(w.dupList->topLevelItem(i)->text(0).toStdString());
    EXPECT_NE(std::find(rows.begin(), rows.end(), x), rows.end());
    EXPECT_NE(std::find(rows.begin(), rows.end(), y), rows.end());

    // With the duplicate view open, a result without duplicates returns to the basic frame.
    w.menus->callDupFrame->trigger();
    EXPECT_TRUE(Shown("DupList"));
    DropAndWait({z});
    EXPECT_EQ(w.view, View::Basic);
    EXPECT_TRUE(Shown("MainPanel"));
    EXPECT_FALSE(w.menus->callDupFrame->isEnabled());
}

TEST_F(ResultWindowTest, VanishedDuplicateLeavesTheHistory)
{
    const std::string x = dir.WriteFile("x/f", "twin");
    const std::string y = dir.WriteFile("y/f", "twin");
    MainWindow& w = Start();
    DropAndWait({x, y});
    ASSERT_EQ(w.history.Count(), 2);
    std::remove(x.c_str());
    DropAndWait({y});
    EXPECT_EQ(w.history.Count(), 1);
    EXPECT_EQ(w.dupList->topLevelItemCount(), 1);
    ASSERT_GE(w.shownIndex, 0);
    EXPECT_EQ(w.history.PathAt(w.shownIndex), y);
}

TEST_F(ResultWindowTest, CodesShowAndCopyInLowerCaseWithCapsSet)
{
    const std::string f = dir.WriteFile("empty.bin", "");
    MainWindow& w = Start();
    DropAndWait({f});
    EXPECT_EQ(Text("XCRC_32"), "00000000");
    EXPECT_EQ(Text("XMD5"), "D41D8CD98F00B204E9800998ECF8427E");
    w.menus->capsSet->trigger();
    EXPECT_TRUE(w.settings.LowerCaseCodes);
    EXPECT_EQ(Text("XMD5"), "d41d8cd98f00b204e9800998ecf8427e");
    w.results->CopyMD5Execute();
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), "d41d8cd98f00b204e9800998ecf8427e");
    EXPECT_EQ(w.StatusText(), "ＭＤ５をクリップボードにコピーしました");
    w.results->CopyCRCExecute();
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), "00000000");
    w.results->XFileNameDblClick();
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), "empty.bin");
    w.menus->fullPathCopy->trigger();
    w.results->XFileNameDblClick();
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), f);

    w.menus->sizeByte->trigger();
    EXPECT_EQ(w.settings.SizeUnit, 1);
    EXPECT_EQ(Text("XFileSize"), "0byte");
    EXPECT_EQ(w.StatusText(), "ファイルサイズ単位 = byte固定");
}

TEST_F(ResultWindowTest, CopyWithoutACodeDoesNothing)
{
    MainWindow& w = Start();
    QGuiApplication::clipboard()->setText(QStringLiteral("untouched"));
    w.SetStatus("before");
    w.results->CopyCRCExecute();
    w.results->CopyMD5Execute();
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), "untouched");
    EXPECT_EQ(w.StatusText(), "before");
}

class TrashTest : public ResultWindowTest {
protected:
    void SetUp() override
    {
        // The real trash, inside this test's folder.
        dir.MakeFolder("xdg");
        const char* old = std::getenv("XDG_DATA_HOME");
        saved_ = old ? old : "";
        hadOld_ = old != nullptr;
        setenv("XDG_DATA_HOME", dir.Path("xdg").c_str(), 1);
    }
    void TearDown() override
    {
        ResultWindowTest::TearDown();
        if (hadOld_) setenv("XDG_DATA_HOME", saved_.c_str(), 1);
        else unsetenv("XDG_DATA_HOME");
    }
    std::string Trashed(const std::string& name) { return dir.Path("xdg/Trash/files/" + name); }

private:
    std::string saved_;
    bool hadOld_ = false;
};

TEST_F(TrashTest, DeletingTheShownFileMovesItToTheTrashAndEmptiesThePanel)
{
    const std::string f = dir.WriteFile("work/victim.txt", "bye");
    MainWindow& w = Start();
    DropAndWait({f});
    prompts.Push(Answer::Yes);
    w.menus->mainFileDel->trigger();

    EXPECT_EQ(prompts.LastText(), f + "\rファイルを削除します\rよろしいですか");
    EXPECT_FALSE(PathExists(f));
    EXPECT_TRUE(FileExists(Trashed("victim.txt")));
    EXPECT_EQ(w.history.Count(), 0);
    EXPECT_EQ(w.Caption(), kIdleCaption);
    EXPECT_EQ(w.shownIndex, -1);
    EXPECT_FALSE(Shown("MainPanel"));
    EXPECT_TRUE(Shown("InitialComment"));
    EXPECT_EQ(w.StatusText(), "victim.txtを削除しました");
}

TEST_F(TrashTest, ReadOnlyFileAsksFirstAndNoKeepsIt)
{
    const std::string kept = dir.WriteFile("ro/kept.txt", "keep");
    const std::string gone = dir.WriteFile("ro/gone.txt", "gone");
    ::chmod(kept.c_str(), 0444);
    ::chmod(gone.c_str(), 0444);
    MainWindow& w = Start();

    DropAndWait({kept});
    prompts.Push(Answer::Yes).Push(Answer::No);
    w.menus->mainFileDel->trigger();
    EXPECT_EQ(prompts.LastText(), kept + "\r読み取り属性の設定されたファイルです\r削除してもよろしいですか？");
    EXPECT_TRUE(FileExists(kept));
    int32_t i = -1;
    EXPECT_FALSE(w.history.Find(kept, i));
    EXPECT_EQ(w.StatusText(), "削除を中止しました");

    DropAndWait({gone});
    prompts.Push(Answer::Yes).Push(Answer::Ok);
    w.menus->mainFileDel->trigger();
    EXPECT_FALSE(PathExists(gone));
    EXPECT_TRUE(FileExists(Trashed("gone.txt")));
    EXPECT_EQ(w.StatusText(), "gone.txtを削除しました");
}

TEST_F(TrashTest, CancelledDeleteChangesNothing)
{
    const std::string f = dir.WriteFile("stay.txt", "stay");
    MainWindow& w = Start();
    DropAndWait({f});
    prompts.Push(Answer::Cancel);
    w.menus->mainFileDel->trigger();
    EXPECT_TRUE(FileExists(f));
    EXPECT_EQ(w.history.Count(), 1);
    EXPECT_EQ(w.Caption(), f);
}

}  // namespace
}  // namespace qv
