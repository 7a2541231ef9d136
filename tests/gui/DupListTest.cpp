// The duplicate list's commands and view options, and what the file commands of both lists
// hand to the desktop (recorded through Qt's own URL handler hook).
#include "BrowserSupport.h"

#include <QTreeWidget>

#include <unistd.h>

namespace qv {

namespace {

class DupListTest : public BrowserTest {
protected:
    QTreeWidget* List() const { return Find<QTreeWidget>("DupList"); }
    std::vector<std::string> Rows() const
    {
        std::vector<std::string> rows;
        for (int r = 0; r < List()->topLevelItemCount(); ++r) rows.push_back(List()->topLevelItem(r)->text(0).toStdString());
        return rows;
    }
    void SelectRows(std::initializer_list<int> rows) const
    {
        List()->clearSelection();
        for (const int r : rows) List()->topLevelItem(r)->setSelected(true);
    }
    // Two files with equal codes, the second shown with the first as its duplicate.
    void ShowTwins()
    {
        x = dir.WriteFile("x/twin", "twin");
        y = dir.WriteFile("y/twin", "twin");
        StartAndDrop({x, y});
        ASSERT_EQ(Rows().size(), 2u);
        Trigger("CallDupFrame");
    }
    std::string x, y;
};

TEST_F(DupListTest, DeletingAsksOnlyForTheLastRow)
{
    ShowTwins();
    // Two rows selected: a double click does nothing.
    SelectRows({0, 1});
    source.Clear();
    Q_EMIT List()->doubleClicked(List()->model()->index(0, 0));
    EXPECT_TRUE(Hashed().empty());

    SelectRows({1});
    const std::string first = Rows()[1];
    Trigger("DupFileDel");
    EXPECT_TRUE(prompts.shown().empty());
    EXPECT_EQ(Status(), "削除完了 " + first);
    EXPECT_FALSE(PathExists(first));
    EXPECT_EQ(IndexOf(first), -1);
    EXPECT_EQ(Rows().size(), 1u);
    EXPECT_FALSE(Shown("DuplicateMark"));
    EXPECT_FALSE(Action("CallDupFrame")->isEnabled());

    // The last row asks first: Abort keeps the row, Ignore deletes.
    const std::string last = Rows()[0];
    SelectRows({0});
    prompts.Push(Answer::Abort).Push(Answer::Ignore);
    Trigger("DupFileDel");
    EXPECT_EQ(Rows(), std::vector<std::string>{last});
    EXPECT_EQ(Status(), "削除を中止しました");
    Trigger("DupFileDel");
    EXPECT_NE(prompts.LastText().find("全てのファイルを削除しようとしています"), std::string::npos);
    EXPECT_FALSE(PathExists(last));
    EXPECT_EQ(IndexOf(last), -1);
    EXPECT_EQ(Status(), "削除完了 " + last);
    EXPECT_TRUE(Rows().empty());
    SelectRows({});
    Trigger("DupFileDel");
    EXPECT_EQ(Status(), "ファイルが選択されていません");
}

TEST_F(DupListTest, FileCommandsOpenTheRealFiles)
{
    OpenedUrls desktop;
    ShowTwins();
    const std::string bad = dir.WriteFile("x/bad\xff.txt", "b");
    ::symlink(y.c_str(), dir.Path("x/link").c_str());
    const std::string url = "file://" + dir.path();

    SelectRows({0});
    const std::string row = Rows()[0];
    Trigger("DupFileExec");
    Trigger("DupFileOpen");
    ShowFolder(dir.Path("x"));
    const struct {
        const char* command;
        std::vector<std::string> selected;
        std::string opened;
    } cases[] = {
        {"FListFileExec", {"link"}, url + "/y/twin"},          // a link opens its target
        {"FListFileExec", {"bad\xef\xbf\xbd.txt"}, url + "/x/bad%FF.txt"},
        {"FListFileOpen", {}, url + "/x"},
    };
    for (const auto& c : cases) {
        Select(c.selected);
        Trigger(c.command);
    }
    std::vector<std::string> expected = {"file://" + row, "file://" + FolderOf(row)};
    for (const auto& c : cases) expected.push_back(c.opened);
    EXPECT_EQ(desktop.Encoded(), expected);

    Select({});
    Trigger("FListFileExec");
    EXPECT_EQ(Status(), "ファイルが選択されていません");
    EXPECT_EQ(desktop.urls.size(), expected.size());
}

}  // namespace
}  // namespace qv

