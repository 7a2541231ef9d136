#include "listout/ListCommands.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "history/HashHistory.h"
#include "job/FileJob.h"
#include "listout/ListTestSupport.h"
#include "platform/Attributes.h"
#include "platform/DirSearch.h"
#include "support/TempDir.h"

namespace qv {
namespace {

using namespace test;
using Paths = std::vector<std::string>;

// A history and a hashing step that records files as a driver would (codes of "abc", real
// stamps) and notes what it was handed.
class ListCommandsTest : public ::testing::Test {
protected:
    CodeSource Codes(bool verification = false)
    {
        return {history_, [this](const Paths& paths) {
                    hashed_.insert(hashed_.end(), paths.begin(), paths.end());
                    for (const std::string& path : paths) {
                        FoundEntry e;
                        if (records_ && FindPath(path, kAttrAny, e))
                            RecordHashResult(history_, path, e.size, e.stamp, 0.0, kAbcMd5, "352441C2");
                    }
                    return !cancel_;
                },
                verification};
    }
    // A record that still matches the file on disk.
    void Remember(const std::string& path, const std::string& md5 = kAbcMd5)
    {
        FoundEntry e;
        ASSERT_TRUE(FindPath(path, kAttrAny, e));
        history_.Insert(path, HistoryRecord{e.size, e.stamp, 0.0, md5, "00000000"});
    }

    TempDir dir_;
    HashHistory history_;
    Paths hashed_;
    bool records_ = true, cancel_ = false;
};

TEST_F(ListCommandsTest, SelectionHashesWhatLacksAValidRecordOrStops)
{
    const std::string a = dir_.WriteFile("a.txt", "a"), b = dir_.WriteFile("b.txt", "b"), c = dir_.WriteFile("c.txt", "c");
    const std::string nl = dir_.WriteFile("n\nl.txt", "n");   // its line would forge an entry
    const std::string known(32, 'A');
    Remember(a, known);
    history_.Insert(c, HistoryRecord{99, 0.0, 0.0, std::string(32, 'C'), "0"});   // an older state of c
    const std::string target = dir_.Path("list.MD5");
    CodeSource codes = Codes();
    const ListResult result = MakeSelectionList({a, nl, b, c}, DefaultStyle(0), target, codes);
    EXPECT_EQ(hashed_, (Paths{b, c}));
    EXPECT_EQ(result.status, "list.MD5(3files) を作成しました 改行を含む名前の1files はリストに書けません");
    EXPECT_EQ(TempDir::ReadFile(target), known + " a.txt\r\n" + kAbcMd5 + " b.txt\r\n" + kAbcMd5 + " c.txt\r\n");
    hashed_.clear();
    CodeSource verifying = Codes(true);
    EXPECT_EQ(MakeSfvList({a, b}, target, verifying, 0.0).outcome, ListOutcome::Written);
    EXPECT_EQ(hashed_, (Paths{a, b}));

    const struct { bool sfv, cancel, records; Paths paths; const char* status; } stops[] = {
        {false, true, true, {b}, "比較ファイル作成処理が中止されました"},
        {true, true, true, {b}, "SFVファイル作成処理が中止されました"},
        {false, false, false, {b}, "Error Hash未計算ファイルを抽出b.txt"},
        {true, false, true, {}, "ファイルが選択されていません"},
        {true, false, true, {nl}, "改行を含む名前の1files はリストに書けません"},
    };
    const std::string old = dir_.WriteFile("old.sfv", "old");
    for (const auto& s : stops) {
        history_.ClearHistory();
        cancel_ = s.cancel;
        records_ = s.records;
        const ListResult stopped = s.sfv ? MakeSfvList(s.paths, old, codes, 0.0)
                                         : MakeSelectionList(s.paths, DefaultStyle(0), old, codes);
        EXPECT_EQ(stopped.status, s.status);
        EXPECT_EQ(TempDir::ReadFile(old), "old");
    }
}

TEST_F(ListCommandsTest, TreeListHashesTheWalkAndListsTheHistoryByFolder)
{
    const std::string data = dir_.MakeFolder("data");
    const std::string a = dir_.WriteFile("data/a.txt", "a"), b = dir_.WriteFile("data/sub/b.txt", "b");
    dir_.WriteFile("data/.hid/h.txt", "h");
    Remember(dir_.WriteFile("database/c.txt", "c"));
    Remember(a);
    TreeListRequest request{data, dir_.Path("out.MD5"), 49, 33, DefaultStyle(0)};
    request.style.format.HeaderText1 = "; ";
    request.style.format.PathHeader = request.style.format.TailBlankLine = true;
    Paths shown;
    CodeSource codes = Codes();
    ListResult result = MakeTreeList(request, codes, [&](const std::string& text) { return shown.push_back(text), true; });
    EXPECT_EQ(hashed_, (Paths{b}));   // a is known, the hidden folder stays out
    EXPECT_EQ(shown, (Paths{"フォルダ検索中 算出予約数1files", "フォルダ検索中 算出予約数2files", "ファイル分類中", "リスト出力中"}));
    EXPECT_EQ(result.status, "リスト出力完了" + request.target);
    EXPECT_EQ(TempDir::ReadFile(request.target),
              "; " + data + "\r\n" + kAbcMd5 + " a.txt\r\n\r\n; " + data + "/sub\r\n" + kAbcMd5 + " b.txt\r\n\r\n");

    request.target = dir_.Path("data/data.MD5");   // a list in its own tree leaves itself out
    for (int run = 0; run < 2; ++run) EXPECT_EQ(MakeTreeList(request, codes).entries, 2u);
    EXPECT_EQ(std::count(hashed_.begin(), hashed_.end(), request.target), 0);
    cancel_ = true;
    dir_.WriteFile("data/new.txt", "n");
    EXPECT_EQ(MakeTreeList(request, codes).status, "リスト出力は中止されました 履歴件数4件");
    EXPECT_EQ(MakeTreeList(request, codes, [](const std::string&) { return false; }).outcome, ListOutcome::Cancelled);
    request.folder = dir_.MakeFolder("empty");
    EXPECT_EQ(MakeTreeList(request, codes).outcome, ListOutcome::NothingToList);
}

TEST_F(ListCommandsTest, TreeTextGroupsExactFoldersInHistoryOrder)
{
    for (const char* path : {"/a/b-c/y", "/a/b.txt", "/a/b/x", "/a/c.txt", "/a/B-C/q", "/A/z.txt", "/ab/x", "/a/x\ny"})
        history_.Insert(path, AbcRecord());
    ListStyle style = DefaultStyle(3);
    style.format.HeaderText1 = "# ";
    style.format.PathHeader = true;
    size_t count = 0, leftOut = 0;
    const std::string m = "900150983cd24fb0d6963f7d28e17f72\r\n";
    EXPECT_EQ(TreeListText(history_, "/a", style, count, {}, &leftOut),
              "# /a/B-C\r\n" + m + "# /a/b-c\r\n" + m + "# /a\r\n" + m + m + "# /a/b\r\n" + m);
    EXPECT_EQ(std::pair(count, leftOut), std::pair(size_t{5}, size_t{1}));
    TreeListText(history_, "/", style, count);
    EXPECT_EQ(count, 7u);
}

TEST(ListFileNames, ProposalsAndFilters)
{
    ListFormatTable formats = DefaultListFormats();
    formats[1].Extension = ".*";
    EXPECT_EQ(SelectionListFileName("/data/photos", formats[1]), "/data/photos/photos.MD5");
    EXPECT_EQ(TreeListFileName("/data/photos", formats[0]), "/data/photos/photos.MD5");
    EXPECT_EQ(TreeListFileName("/data/photos", formats[1]), "/data/photos/photos");
    EXPECT_EQ(TreeListFileName("/", formats[0]), "/root.MD5");
    EXPECT_EQ(SfvFileName("/data/photos/"), "/data/photos/photos.sfv");
    EXPECT_EQ(TreeListFilters(formats)[4].description, "リスト書式-5 MD5 (FileName) = md5(*.MD5)");
}

}  // namespace
}  // namespace qv
