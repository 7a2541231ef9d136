#include "listout/ListCommands.h"

#include "history/HashHistory.h"
#include "platform/Attributes.h"
#include "platform/DirSearch.h"

#include "listout/ListTestSupport.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace qv {
namespace {

const std::string kMd5 = test::AbcRecord().Md5;

ListStyle DefaultStyle(size_t n) { return {DefaultListFormats()[n], DefaultTimestampFormats()}; }

// The history with a hashing step that records files as a driver would (with the codes of
// "abc" and their real stamps) and notes what it was handed.
class ListCommandsTest : public ::testing::Test {
protected:
    CodeSource Codes(bool verification = false)
    {
        return {history_, [this](const std::vector<std::string>& paths) {
                    hashed_.insert(hashed_.end(), paths.begin(), paths.end());
                    for (const std::string& path : paths) {
                        FoundEntry e;
                        if (records_ && FindPath(path, kAttrAny, e))
                            RecordHashResult(history_, path, e.size, e.stamp, 0.0, kMd5, "352441C2");
                    }
                    return !cancel_;
                },
                verification};
    }
    // A record that still matches the file on disk.
    void Remember(const std::string& path, std::string md5 = kMd5)
    {
        FoundEntry e;
        ASSERT_TRUE(FindPath(path, kAttrAny, e));
        history_.Insert(path, HistoryRecord{e.size, e.stamp, 0.0, std::move(md5), "00000000"});
    }

    TempDir dir_;
    HashHistory history_;
    std::vector<std::string> hashed_;
    bool records_ = true;
    bool cancel_ = false;
};

TEST_F(ListCommandsTest, SelectionHashesWhatLacksAValidRecord)
{
    const std::string a = dir_.WriteFile("a.txt", "a"), b = dir_.WriteFile("b.txt", "b"),
                      c = dir_.WriteFile("c.txt", "c");
    Remember(a, std::string(32, 'A'));
    history_.Insert(c, HistoryRecord{99, 0.0, 0.0, std::string(32, 'C'), "00000000"});   // an older state of c
    const std::string target = dir_.Path("list.MD5");
    CodeSource codes = Codes();
    const ListResult result = MakeSelectionList({a, b, c}, DefaultStyle(0), target, codes);
    EXPECT_EQ(hashed_, (std::vector<std::string>{b, c}));
    EXPECT_EQ(result.outcome, ListOutcome::Written);
    EXPECT_EQ(result.status, "list.MD5(3files) を作成しました");
    EXPECT_EQ(TempDir::ReadFile(target),
              std::string(32, 'A') + " a.txt\r\n" + kMd5 + " b.txt\r\n" + kMd5 + " c.txt\r\n");

    hashed_.clear();
    CodeSource verifying = Codes(true);
    EXPECT_EQ(MakeSfvList({a, b}, target, verifying, 0.0).status, "list.MD5(2files) を作成しました");
    EXPECT_EQ(hashed_, (std::vector<std::string>{a, b}));
}

TEST_F(ListCommandsTest, SelectionStopsBeforeWriting)
{
    const std::string b = dir_.WriteFile("b.txt", "b");
    const std::string target = dir_.WriteFile("old.sfv", "old");
    const struct {
        bool sfv, cancel, records;
        std::vector<std::string> paths;
        ListOutcome outcome;
        const char* status;
    } cases[] = {
        {false, true, true, {b}, ListOutcome::Cancelled, "比較ファイル作成処理が中止されました"},
        {true, true, true, {b}, ListOutcome::Cancelled, "SFVファイル作成処理が中止されました"},
        {false, false, false, {b}, ListOutcome::MissingCodes, "Error Hash未計算ファイルを抽出b.txt"},
        {true, false, false, {b}, ListOutcome::MissingCodes, "Error Hash未計算ファイルを抽出b.txt"},
        {true, false, true, {}, ListOutcome::NothingToList, "ファイルが選択されていません"},
    };
    for (const auto& c : cases) {
        cancel_ = c.cancel;
        records_ = c.records;
        CodeSource codes = Codes();
        const ListResult result = c.sfv ? MakeSfvList(c.paths, target, codes, 0.0)
                                        : MakeSelectionList(c.paths, DefaultStyle(0), target, codes);
        EXPECT_EQ(result.outcome, c.outcome) << c.status;
        EXPECT_EQ(result.status, c.status);
        EXPECT_EQ(TempDir::ReadFile(target), "old");
        history_.ClearHistory();
    }
}

TEST_F(ListCommandsTest, TreeListHashesTheWalkAndListsTheHistoryByFolder)
{
    const std::string data = dir_.MakeFolder("data");
    const std::string a = dir_.WriteFile("data/a.txt", "a");
    const std::string b = dir_.WriteFile("data/sub/b.txt", "b");
    dir_.WriteFile("data/.hid/h.txt", "h");
    Remember(dir_.WriteFile("database/c.txt", "c"));
    Remember(a);

    TreeListRequest request{data, dir_.Path("out.MD5"), 49, 33, DefaultStyle(0)};
    request.style.format.HeaderText1 = "; ";
    request.style.format.PathHeader = true;
    request.style.format.TailBlankLine = true;
    std::vector<std::string> shown;
    CodeSource codes = Codes();
    ListResult result = MakeTreeList(request, codes, [&](const std::string& text) {
        shown.push_back(text);
        return true;
    });
    EXPECT_EQ(hashed_, (std::vector<std::string>{b}));   // a is known, the hidden folder stays out
    EXPECT_EQ(shown, (std::vector<std::string>{"フォルダ検索中 算出予約数1files", "フォルダ検索中 算出予約数2files",
                                               "ファイル分類中", "リスト出力中"}));
    EXPECT_EQ(result.status, "リスト出力完了" + request.target);
    EXPECT_EQ(result.entries, 2u);
    EXPECT_EQ(TempDir::ReadFile(request.target), "; " + data + "\r\n" + kMd5 + " a.txt\r\n\r\n; " + data +
                                                     "/sub\r\n" + kMd5 + " b.txt\r\n\r\n");

    request.style = DefaultStyle(3);
    ASSERT_EQ(MakeTreeList(request, codes).outcome, ListOutcome::Written);
    EXPECT_EQ(TempDir::ReadFile(request.target),
              "900150983cd24fb0d6963f7d28e17f72\r\n900150983cd24fb0d6963f7d28e17f72\r\n");

    // Stops: hashing cancelled, the walk stopped, nothing accepted.
    cancel_ = true;
    dir_.WriteFile("data/new.txt", "n");
    result = MakeTreeList(request, codes);
    EXPECT_EQ(result.status, "リスト出力は中止されました 履歴件数4件");
    EXPECT_EQ(MakeTreeList(request, codes, [](const std::string&) { return false; }).outcome, ListOutcome::Cancelled);
    request.folder = dir_.MakeFolder("empty");
    EXPECT_EQ(MakeTreeList(request, codes).outcome, ListOutcome::NothingToList);
}

TEST_F(ListCommandsTest, TreeTextGroupsExactFoldersInHistoryOrder)
{
    for (const char* path : {"/a/b-c/y", "/a/b.txt", "/a/b/x", "/a/c.txt", "/a/B-C/q", "/A/z.txt", "/ab/x"})
        history_.Insert(path, test::AbcRecord());
    ListStyle style = DefaultStyle(0);
    style.format.HeaderText1 = "# ";
    style.format.PathHeader = true;
    size_t count = 0;
    const std::string m = kMd5 + " ";
    EXPECT_EQ(TreeListText(history_, "/a", style, count),
              "# /a/B-C\r\n" + m + "q\r\n# /a/b-c\r\n" + m + "y\r\n# /a\r\n" + m + "b.txt\r\n" + m +
                  "c.txt\r\n# /a/b\r\n" + m + "x\r\n");
    EXPECT_EQ(count, 5u);
    TreeListText(history_, "/", style, count);
    EXPECT_EQ(count, 7u);
}

TEST(ListFileNames, ProposalsAndFilters)
{
    ListFormatTable formats = DefaultListFormats();
    formats[1].Extension = ".*";
    EXPECT_EQ(SelectionListFileName("/data/photos", formats[0]), "/data/photos/photos.MD5");
    EXPECT_EQ(SelectionListFileName("/data/photos", formats[1]), "/data/photos/photos.MD5");
    EXPECT_EQ(TreeListFileName("/data/photos", formats[0]), "/data/photos/photos.MD5");
    EXPECT_EQ(TreeListFileName("/data/photos", formats[1]), "/data/photos/photos");
    EXPECT_EQ(TreeListFileName("/", formats[0]), "/root.MD5");
    EXPECT_EQ(SfvFileName("/data/photos"), "/data/photos/photos.sfv");
    EXPECT_EQ(SelectionListFilters(formats)[0].description, "MD5 FileName(*.MD5)");
    EXPECT_EQ(SelectionListFilters(formats)[1].pattern, "*.*");
    EXPECT_EQ(TreeListFilters(formats)[4].description, "リスト書式-5 MD5 (FileName) = md5(*.MD5)");
}

}  // namespace
}  // namespace qv
