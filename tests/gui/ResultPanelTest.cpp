// The result panel: size texts, codes and their copies, duplicates, and deleting the shown
// file to the trash.
#include "AppTestSupport.h"

#include <QTreeWidget>

#include "history/Duplicates.h"
#include "processing/ResultPanel.h"

namespace qv {
namespace {

class ResultWindowTest : public WindowTest {
protected:
    int DupRows() const { return Find<QTreeWidget>("DupList")->topLevelItemCount(); }
};

TEST_F(ResultWindowTest, DuplicatesAreListedAndFlagged)
{
    const std::string x = dir.WriteFile("one/same.bin", "same content");
    const std::string y = dir.WriteFile("two/same.bin", "same content");
    const std::string z = dir.WriteFile("three/other.bin", "other content");
    StartAndDrop({x});
    EXPECT_EQ(DupRows(), 1);
    EXPECT_FALSE(Shown("DuplicateMark"));
    EXPECT_FALSE(Action("CallDupFrame")->isEnabled());

    DropAndWait({y});
    ASSERT_EQ(DupRows(), 2);
    EXPECT_TRUE(Shown("DuplicateMark"));
    EXPECT_TRUE(Action("CallDupFrame")->isEnabled());
    std::vector<std::string> rows;
    for (int i = 0; i < 2; ++i) rows.push_back(Find<QTreeWidget>("DupList")->topLevelItem(i)->text(0).toStdString());
    EXPECT_NE(std::find(rows.begin(), rows.end(), x), rows.end());
    EXPECT_NE(std::find(rows.begin(), rows.end(), y), rows.end());
    // A match on a file with duplicates sounds the duplicate sound, not the match sound.
    sounds.played.clear();
    QGuiApplication::clipboard()->setText(QStringLiteral("793953EE398D864EC40252DF9554C3E6 11691A39"));
    EXPECT_EQ(Status(), "ＣＲＣとＭＤ５が一致しました");
    EXPECT_EQ(sounds.played, std::vector<std::string>{"NOTIFY.WAV"});

    // With the duplicate view open, a result without duplicates returns to the basic frame.
    Trigger("CallDupFrame");
    EXPECT_TRUE(Shown("DupList"));
    DropAndWait({z});
    EXPECT_EQ(S().pages.CurrentView(), View::Basic);
    EXPECT_TRUE(Shown("MainPanel"));
    EXPECT_FALSE(Action("CallDupFrame")->isEnabled());
}

TEST_F(ResultWindowTest, VanishedDuplicateLeavesTheHistory)
{
    const std::string x = dir.WriteFile("x/f", "twin");
    const std::string y = dir.WriteFile("y/f", "twin");
    StartAndDrop({x, y});
    ASSERT_EQ(S().history.Count(), 2);
    std::remove(x.c_str());
    DropAndWait({y});
    EXPECT_EQ(S().history.Count(), 1);
    EXPECT_EQ(DupRows(), 1);
    ASSERT_GE(window->result().ShownIndex(), 0);
    EXPECT_EQ(S().history.PathAt(window->result().ShownIndex()), y);
}

TEST_F(ResultWindowTest, CodesShowAndCopyInLowerCaseWithCapsSet)
{
    const std::string f = dir.WriteFile("empty.bin", "");
    Start();
    // Nothing shown yet: the copy commands leave the clipboard and the status alone.
    QGuiApplication::clipboard()->setText(QStringLiteral("untouched"));
    S().status.SetStatus("before");
    Trigger("PopCopyCRC");
    Trigger("PopCopyMD5");
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), "untouched");
    EXPECT_EQ(Status(), "before");
    DropAndWait({f});
    EXPECT_EQ(Text("XCRC_32"), "00000000");
    EXPECT_EQ(Text("XMD5"), "D41D8CD98F00B204E9800998ECF8427E");
    Trigger("CapsSet");
    EXPECT_EQ(Text("XMD5"), "d41d8cd98f00b204e9800998ecf8427e");
    Trigger("PopCopyMD5");
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), "d41d8cd98f00b204e9800998ecf8427e");
    EXPECT_EQ(Status(), "ＭＤ５をクリップボードにコピーしました");
    Trigger("PopCopyCRC");
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), "00000000");
    DoubleClick("XFileName");
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), "empty.bin");
    Trigger("FullPathCopy");
    DoubleClick("XFileName");
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), f);
}

TEST_F(ResultWindowTest, DeletingTheShownFileAsksAndMovesItToTheTrashAndEmptiesThePanel)
{
    const std::string kept = dir.WriteFile("ro/kept.bin", "keep");
    const std::string f = dir.WriteFile("work/victim.bin", "bye");
    ::chmod(kept.c_str(), 0444);
    ::chmod(f.c_str(), 0444);
    // A read-only file asks a second time; No keeps the file and its record.
    StartAndDrop({kept});
    prompts.Push(Answer::Yes).Push(Answer::No);
    Trigger("MainFileDel");
    EXPECT_EQ(prompts.LastText(), kept + "\r読み取り属性の設定されたファイルです\r削除してもよろしいですか？");
    EXPECT_TRUE(FileExists(kept));
    EXPECT_NE(IndexOf(kept), -1);
    EXPECT_EQ(Caption(), kept);
    EXPECT_EQ(Status(), "削除を中止しました");

    DropAndWait({f});
    prompts.Push(Answer::Cancel).Push(Answer::Yes).Push(Answer::Ok);
    Trigger("MainFileDel");   // cancelled: nothing changes
    EXPECT_EQ(prompts.LastText(), f + "\rファイルを削除します\rよろしいですか");
    EXPECT_TRUE(FileExists(f) && IndexOf(f) != -1);
    EXPECT_EQ(Caption(), f);
    Trigger("MainFileDel");
    EXPECT_FALSE(PathExists(f));
    EXPECT_TRUE(FileExists(Trashed("victim.bin")));
    EXPECT_EQ(IndexOf(f), -1);
    EXPECT_EQ(Caption(), kIdleCaption);
    EXPECT_EQ(window->result().ShownIndex(), -1);
    EXPECT_FALSE(Shown("MainPanel"));
    EXPECT_TRUE(Shown("InitialComment"));
    EXPECT_EQ(Status(), "victim.binを削除しました");
}

}  // namespace
}  // namespace qv
