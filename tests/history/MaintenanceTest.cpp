// Clear, keep period, size threshold, bulk removal and the walk of bulk registration.
#include <gtest/gtest.h>

#include <algorithm>

#include "WorkHooksFixture.h"
#include "history/Maintenance.h"
#include "platform/Attributes.h"
#include "platform/DateTime.h"
#include "platform/DirSearch.h"

namespace qv {
namespace {

class MaintenanceTest : public WorkHooksFixture {
protected:
    MaintenanceTest() : WorkHooksFixture(EncodeDateTime({2024, 6, 1, 12, 0, 0})) {}

    void Add(const std::string& path, double age = 0) { store.Insert(path, HistoryRecord{1, 1, clock.Now() - age, "M", "C"}); }
    Texts Paths() const
    {
        Texts out;
        for (int32_t i = 0; i < store.Count(); ++i) out.push_back(store.PathAt(i));
        return out;
    }
    HashHistory store;
};

TEST_F(MaintenanceTest, AnswersOfTheInputBoxes)
{
    const std::tuple<const char*, bool, int32_t> days[] = {
        {"14", true, 14}, {" 7\t", true, 7}, {"0", true, 0}, {"-3", true, -3}, {"2147483647", true, 2147483647},
        {"2147483648", false, 0}, {"-2147483649", false, 0}, {"abc", false, 0}, {"", false, 0}, {"1 4", false, 0},
    };
    for (const auto& [answer, taken, value] : days) {
        int32_t keep = 30;
        EXPECT_EQ(KeepDaysFromAnswer(answer, keep), taken) << answer;
        EXPECT_EQ(keep, taken ? value : 30) << answer;
    }
    const std::tuple<const char*, bool, int64_t> limits[] = {
        {"100", true, 100}, {"5000000000", true, 5000000000}, {"-1", true, -1},
        {"9223372036854775808", false, 0}, {"1e3", false, 0}, {"", false, 0},
    };
    for (const auto& [answer, taken, value] : limits) {
        int64_t limit = 77;
        EXPECT_EQ(SizeLimitFromAnswer(answer, limit), taken) << answer;
        EXPECT_EQ(limit, taken ? value : 77) << answer;
    }
    EXPECT_EQ(SizeLimitText(5000000000, true), "制限ファイルサイズ 5,000,000,000bytes に変更しました");
    EXPECT_EQ(SizeLimitText(0, false), "制限ファイルサイズ 0bytes");
    EXPECT_EQ(ClearQuestionText(1234, true), "履歴データを全て削除します\r\r履歴件数\t= 1,234件\r履歴ファイル\t= 既読状態\r\r"
                                             "履歴ファイルはクリア以後に作られたデータで上書きされます        \r\rよろしいですか？");
    EXPECT_EQ(ClearQuestionText(0, false), "履歴データを全て削除します\r\r履歴件数\t= 0件\r履歴ファイル\t= 未読状態        \r\rよろしいですか？");
}

TEST_F(MaintenanceTest, SweepRemovesExactlyWhatIsAtOrBeforeTheCutOff)
{
    for (const auto& [path, age] : {std::pair{"/a/20days", 20.0}, {"/a/14days", 14.0}, {"/a/13days", 13.99}, {"/b/now", 0.0}})
        Add(path, age);
    EXPECT_EQ(SweepExpired(store, 14, ui), 2);
    EXPECT_EQ(Paths(), (Texts{"/a/13days", "/b/now"}));
    EXPECT_EQ(statuses.front(), "履歴有効期限確認中 しばらくお待ちください");
    EXPECT_EQ(statuses[1], "履歴有効期限確認中 25.0%");
    EXPECT_EQ(statuses.back(), "履歴保存期間は14日間、累積件数は 2件です");
    EXPECT_EQ(SweepExpired(store, 0, ui), 2);   // 0 days: every record goes
    EXPECT_EQ(store.Count(), 0);
}

TEST_F(MaintenanceTest, ForgetTakesWholePathComponentsOnly)
{
    const Texts all = {"/fo/o", "/foo", "/foo bar/d", "/foo/a.txt", "/foo/sub/b.txt", "/FOO/x", "/foobar/c.txt"};
    const std::pair<const char*, Texts> cases[] = {
        {"/foo", {"/foo/a.txt", "/foo/sub/b.txt"}},
        {"/foo/", {"/foo/a.txt", "/foo/sub/b.txt"}},
        {"/foo/sub", {"/foo/sub/b.txt"}},
        {"/", all},
        {"", {}},
    };
    for (const auto& [folder, gone] : cases) {
        store.ClearHistory();
        Texts left;
        for (const std::string& p : all) {
            Add(p);
            if (std::find(gone.begin(), gone.end(), p) == gone.end()) left.push_back(p);
        }
        EXPECT_EQ(ForgetFolder(store, folder, ui), static_cast<int32_t>(gone.size())) << folder;
        EXPECT_EQ(Paths(), left) << folder;
    }
    EXPECT_EQ(ForgetDoneText(1234, 5, "/foo"), "履歴データ削除終了　残数1,234件 削除5件 指定フォルダ /foo");
}

TEST_F(MaintenanceTest, ScanLeavesOutFilesWithValidRecords)
{
    for (const char* name : {"t/a", "t/sub/b", "t/sub/deep/c", "t/.hidden/d", "t/.e"}) dir.WriteFile(name, "x");
    const std::string tree = dir.Path("t");
    const uint32_t folderMask = kAttrAny & ~kAttrHidden, fileMask = kAttrArchive | kAttrReadOnly;
    TreeScan scan = ScanTree(store, tree, folderMask, fileMask, false, ui);
    EXPECT_EQ(scan.toHash, (Texts{tree + "/a", tree + "/sub/b", tree + "/sub/deep/c"}));
    EXPECT_EQ(statuses.front(), "フォルダ検索中 算出予約数1files");
    for (const std::string& path : scan.toHash) {
        FoundEntry f;
        ASSERT_TRUE(FindPath(path, kAttrAny, f));
        RecordHashResult(store, path, f.size, f.stamp, clock.Now(), "M", "C");
    }
    EXPECT_TRUE(ScanTree(store, tree, folderMask, fileMask, false, ui).toHash.empty());
    EXPECT_EQ(ScanTree(store, tree, folderMask, fileMask, true, ui).toHash.size(), 3u);   // verification reads all
    dir.WriteFile("t/sub/b", "changed");
    scan = ScanTree(store, tree, folderMask, fileMask, false, ui);
    EXPECT_EQ(scan.toHash, Texts{tree + "/sub/b"});
    EXPECT_EQ(scan.accepted, 3);
    stop.Request();
    EXPECT_TRUE(ScanTree(store, tree, folderMask, fileMask, false, ui).stopped);
    EXPECT_EQ(RegistrationDoneText(false, 0, 1234), "履歴一括登録完了 登録 0件  履歴全体 1,234件");
    EXPECT_EQ(RegistrationDoneText(true, 5, 6), "履歴一括登録中止 登録 5件  履歴全体 6件");
}

}  // namespace
}  // namespace qv
