// Clear, keep period, size threshold, bulk removal and the walk of bulk registration.
#include <gtest/gtest.h>

#include <algorithm>

#include "HistoryFixture.h"
#include "history/Maintenance.h"
#include "platform/Attributes.h"
#include "platform/DateTime.h"
#include "platform/DirSearch.h"

namespace qv {
namespace {

class MaintenanceTest : public WorkHooksFixture {
protected:
    void Add(const std::string& path, double age = 0) { store.Insert(path, HistoryRecord{1, 1, clock.Now() - age, "M", "C"}); }
    HashHistory store;
};

TEST_F(MaintenanceTest, AnswersOfTheInputBoxes)
{
    // Taken, or (value 99) the old value kept.
    const std::pair<const char*, int64_t> days[] = {{" 7\t", 7}, {"-3", -3}, {"2147483647", 2147483647},
                                                    {"2147483648", 99}, {"abc", 99}, {"", 99}, {"1 4", 99}};
    for (const auto& [answer, value] : days) {
        int32_t keep = 99;
        EXPECT_EQ(KeepDaysFromAnswer(answer, keep), value != 99) << answer;
        EXPECT_EQ(keep, value) << answer;
    }
    const std::pair<const char*, int64_t> limits[] = {{"5000000000", 5000000000}, {"-1", -1},
                                                      {"9223372036854775808", 99}, {"1e3", 99}};
    for (const auto& [answer, value] : limits) {
        int64_t limit = 99;
        EXPECT_EQ(SizeLimitFromAnswer(answer, limit), value != 99) << answer;
        EXPECT_EQ(limit, value) << answer;
    }
    EXPECT_EQ(SizeLimitText(5000000000, true), "制限ファイルサイズ 5,000,000,000bytes に変更しました");
    EXPECT_EQ(ClearQuestionText(1234, true), "履歴データを全て削除します\r\r履歴件数\t= 1,234件\r履歴ファイル\t= 既読状態\r\r"
                                             "履歴ファイルはクリア以後に作られたデータで上書きされます        \r\rよろしいですか？");
}

TEST_F(MaintenanceTest, SweepRemovesExactlyWhatIsAtOrBeforeTheCutOff)
{
    for (const auto& [path, age] : {std::pair{"/a/20days", 20.0}, {"/a/14days", 14.0}, {"/a/13days", 13.99}, {"/b/now", 0.0}})
        Add(path, age);
    EXPECT_EQ(SweepExpired(store, 14, ui), 2);
    EXPECT_EQ(KeysOf(store), (Texts{"/a/13days", "/b/now"}));
    EXPECT_EQ(statuses, (Texts{"履歴有効期限確認中 しばらくお待ちください", "履歴有効期限確認中 25.0%", "履歴有効期限確認中 50.0%",
                               "履歴有効期限確認中 75.0%", "履歴有効期限確認中 100.0%", "履歴ソート中",
                               "履歴保存期間は14日間、累積件数は 2件です"}));
}

TEST_F(MaintenanceTest, ForgetTakesWholePathComponentsOnly)
{
    const Texts all = {"/fo/o", "/foo", "/foo bar/d", "/foo/a.txt", "/foo/sub/b.txt", "/FOO/x", "/foobar/c.txt"};
    const std::pair<const char*, Texts> cases[] = {
        {"/foo", {"/foo/a.txt", "/foo/sub/b.txt"}}, {"/foo/", {"/foo/a.txt", "/foo/sub/b.txt"}},
        {"/foo/sub", {"/foo/sub/b.txt"}}, {"/", all}, {"", {}},
    };
    for (const auto& [folder, gone] : cases) {
        store.ClearHistory();
        Texts left;
        for (const std::string& p : all) {
            Add(p);
            if (std::find(gone.begin(), gone.end(), p) == gone.end()) left.push_back(p);
        }
        EXPECT_EQ(ForgetFolder(store, folder, ui), static_cast<int32_t>(gone.size())) << folder;
        EXPECT_EQ(KeysOf(store), left) << folder;
    }
    EXPECT_EQ(ForgetDoneText(1234, 5, "/foo"), "履歴データ削除終了　残数1,234件 削除5件 指定フォルダ /foo");
}

TEST_F(MaintenanceTest, ScanLeavesOutFilesWithValidRecords)
{
    for (const char* name : {"t/sub/deep/c", "t/sub/b", "t/a", "t/.hidden/d"}) dir.WriteFile(name, "x");
    const std::string tree = dir.Path("t");
    const auto scan = [&](bool verification) { return ScanTree(store, tree, kAttrAny & ~kAttrHidden, kAttrAny, verification, ui); };
    const Texts files = {tree + "/a", tree + "/sub/b", tree + "/sub/deep/c"};
    EXPECT_EQ(scan(false).toHash, files);
    EXPECT_EQ(statuses.front(), "フォルダ検索中 算出予約数1files");
    for (const std::string& path : files) {
        FoundEntry f;
        ASSERT_TRUE(FindPath(path, kAttrAny, f));
        RecordHashResult(store, path, f.size, f.stamp, clock.Now(), "M", "C");
    }
    dir.WriteFile("t/sub/b", "changed");
    EXPECT_EQ(scan(false).toHash, Texts{tree + "/sub/b"});
    EXPECT_EQ(scan(true).toHash, files);   // verification reads every file again
    stop.Request();
    EXPECT_TRUE(scan(false).stopped);
    EXPECT_EQ(RegistrationDoneText(true, 5, 1234), "履歴一括登録中止 登録 5件  履歴全体 1,234件");
}

}  // namespace
}  // namespace qv
