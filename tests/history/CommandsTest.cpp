// History commands: import and export (round trips, bad inputs, the history file itself, folding
// into it without losing another copy's records), clearing, keep period, size threshold, bulk
// removal and the walk of bulk registration.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "HistoryFixture.h"
#include "history/ImportExport.h"
#include "history/Maintenance.h"
#include "platform/Attributes.h"
#include "platform/DateTime.h"
#include "platform/DirSearch.h"
#include "platform/Files.h"
#include "support/Processes.h"

namespace qv {
namespace {

class ImportExportTest : public WorkHooksFixture {
protected:
    ImportExportTest() { dir.MakeFolder("home"); }

    // A record of a real file (so the inspection keeps it), registered age days ago.
    void AddReal(HashHistory& h, const std::string& name, double age = 1)
    {
        FoundEntry f;
        ASSERT_TRUE(FindPath(dir.WriteFile(name, name), kAttrAny, f));
        h.Insert(dir.Path(name), HistoryRecord{f.size, f.stamp, clock.Now() - age, "0123456789ABCDEF0123456789ABCDEF", "89ABCDEF"});
    }
    std::string FileOf(std::initializer_list<const char*> names, const std::string& target)
    {
        HashHistory h;
        for (const char* name : names) AddReal(h, name);
        EXPECT_TRUE(ExportHistory(h, target, "", ui).written);   // the history file too
        return target;
    }
    ImportOutcome Import(std::vector<std::string> files, bool deleteAfter = false)
    {
        ImportRequest r{std::move(files), historyPath, HistoryOptions{}, deleteAfter, 100};
        const ImportSeams seams{{}, [this](const std::string& path) { recycled.push_back(path); }};
        return ImportHistoryFiles(store, state, r, seams, ui = Ui());
    }

    const std::string historyPath = dir.Path("home/Quenvarlith.dat");
    HashHistory store;
    HistoryFileState state;
    Texts recycled;
};

TEST_F(ImportExportTest, ExportThenImportLosesNothing)
{
    HashHistory h;
    for (const char* name : {"a.bin", "名前, \"quoted\".txt", "sub/b", "big.iso"}) AddReal(h, name, 2.5);
    ASSERT_EQ(::truncate(dir.Path("big.iso").c_str(), int64_t{3} << 30), 0);   // sparse, above 2 GiB
    FoundEntry f;
    int32_t big = 0;
    ASSERT_TRUE(FindPath(dir.Path("big.iso"), kAttrAny, f) && h.Find(dir.Path("big.iso"), big));
    h.RecordAt(big) = HistoryRecord{f.size, f.stamp, clock.Now(), "", "0"};
    for (const char* name : {"out.csv", "out.LOG", "out.dat"}) {
        EXPECT_EQ(ExportHistory(h, dir.Path(name), historyPath, ui).status, "履歴データエクスポート完了 履歴データ 4件");
        store.ClearHistory();
        EXPECT_EQ(Import({dir.Path(name)}).status, "履歴データインポート完了 履歴データ4件 未読状態");
        ASSERT_EQ(KeysOf(store), KeysOf(h)) << name;
        for (int32_t i = 0; i < h.Count(); ++i) {
            const HistoryRecord &a = h.RecordAt(i), &b = store.RecordAt(i);
            const auto near = [](double x, double y) { return std::abs(x - y) < 0.5 / 86400; };   // whole seconds
            EXPECT_TRUE(a.Size == b.Size && a.Md5 == b.Md5 && a.Crc == b.Crc && near(a.FileTime, b.FileTime) &&
                        near(a.RegisteredAt, b.RegisteredAt)) << name << " " << i;
        }
    }
}

TEST_F(ImportExportTest, ExportRefusesAndFailsWithoutTouchingOldFiles)
{
    HashHistory h;
    for (int i = 0; i < 50; ++i) AddReal(h, std::to_string(i));
    EXPECT_EQ(ExportHistory(h, historyPath, historyPath, ui).status, "履歴ファイルそのものにはエクスポート出来ません");
    EXPECT_FALSE(PathExists(historyPath));

    // A path with a line break fits the binary form only: the text form says what it left out.
    AddReal(h, "line\nbreak");
    EXPECT_EQ(ExportHistory(h, dir.Path("odd.csv"), historyPath, ui).status,
              "履歴データエクスポート完了 履歴データ 50件 改行を含むパス1件は.datにのみ書けます");

    const std::string old = dir.WriteFile("old.csv", "old bytes");
    prompts.Push(Answer::Ok);
    const FileSizeLimit full(100);
    EXPECT_EQ(ExportHistory(h, old, historyPath, ui).status, "履歴データエクスポート失敗 " + old);
    EXPECT_EQ(prompts.LastText(), HistorySaveErrorText(old, EFBIG));
    EXPECT_EQ(TempDir::ReadFile(old), "old bytes");
}

// Each bad file, imported before a good one with deletion asked for: the import stops there
// (or skips what the user ignores), nothing in the store is lost, nothing is saved or trashed.
TEST_F(ImportExportTest, BadFilesStopTheImportAndKeepTheStore)
{
    const std::string good = TempDir::ReadFile(FileOf({"g1", "g2"}, dir.Path("good.dat")));
    const std::string line = TempDir::ReadFile(FileOf({"t1"}, dir.Path("t.csv")));
    const std::string broken = line + "\"/x\",1,\"2024/06/01\",\"2024/06/01\",M\r\n" + line;
    dir.MakeFolder("folder.dat");
    // name, bytes, answer to its box (Cancel: none), reason in the box, stopped, records read from it
    const std::tuple<const char*, std::string, Answer, std::string, bool, int32_t> cases[] = {
        {"cut.dat", good.substr(0, good.size() - 10), Answer::Ok, "ファイルが途中で切れています", true, 1},
        {"empty.dat", "", Answer::Ok, "履歴ファイルの形式ではありません", true, 0},
        {"folder.dat", "", Answer::Ok, PlatformErrorText(EISDIR), true, 0},
        {"broken.csv", broken, Answer::Abort, "", true, 1},
        {"broken.log", broken, Answer::Ignore, "", false, 1},
        {"empty.csv", "", Answer::Cancel, "", false, 0},
    };
    for (const auto& [name, bytes, answer, reason, stopped, read] : cases) {
        store.ClearHistory(), state = {}, recycled.clear(), prompts.Clear();
        ::unlink(historyPath.c_str());
        AddReal(store, "kept");
        const std::string path = dir.Path(name);
        if (!FolderExists(path)) dir.WriteFile(name, bytes);
        if (answer != Answer::Cancel) prompts.Push(answer);
        const ImportOutcome out = Import({path, dir.Path("good.dat")}, true);
        EXPECT_EQ(std::tuple(out.failedFile, store.Count(), out.saved, recycled.size()),
                  std::tuple(stopped ? path : "", 1 + read + (stopped ? 0 : 2), !stopped, stopped ? 0u : 2u))
            << name;
        EXPECT_TRUE(reason.empty() || prompts.LastText() == HistoryReadErrorText(path, reason)) << name;
    }
}

TEST_F(ImportExportTest, TheHistoryFileIsReadUnderItsLockAndSavedBeforeAnythingIsTrashed)
{
    FileOf({"h1"}, historyPath);
    // Another copy saving at this moment holds the lock: asked as at start-up; Abort stops.
    const int held = ::open(historyPath.c_str(), O_RDONLY);
    ASSERT_EQ(::flock(held, LOCK_EX | LOCK_NB), 0);
    prompts.Push(Answer::Abort);
    EXPECT_EQ(Import({historyPath}).status, "履歴データインポート中止 履歴データ0件 未読状態");
    EXPECT_EQ(prompts.LastText().rfind("履歴ファイル読込エラー\r\r", 0), 0u);
    ::close(held);
    EXPECT_EQ(Import({historyPath}).status, "履歴データインポート完了 履歴データ1件 既読状態");

    // Not read: with deletion the history file comes in first, the store replaces it, then the
    // files go, never the history file itself even when it was named.
    state = {};
    store.ClearHistory();
    const std::string a = FileOf({"a1", "a2"}, dir.Path("a.csv")), b = FileOf({"b1"}, dir.Path("b.dat"));
    EXPECT_EQ(Import({a, historyPath, b}, true).status, "履歴データインポート完了 履歴データ4件 既読状態");
    EXPECT_EQ(recycled, (Texts{a, b}));
    EXPECT_EQ(KeysIn(historyPath), KeysOf(store));
    EXPECT_TRUE(state.HistoryFileTime == HistoryFileStamp(historyPath));

    // Another copy rewrites the history file after it was read: its records are merged, not lost.
    HashHistory other;
    AddReal(other, "theirs");
    ASSERT_TRUE(WriteHistoryFile(other, historyPath, ui));
    AddReal(store, "new");
    EXPECT_TRUE(SaveStoreToHistoryFile(store, state, historyPath, HistoryReadOptions{}, ui, 100));
    EXPECT_EQ(KeysIn(historyPath).size(), 6u);
    EXPECT_EQ(KeysIn(historyPath), KeysOf(store));
}


class MaintenanceTest : public WorkHooksFixture {
protected:
    void Add(const std::string& path, double age = 0)
    {
        store.Insert(path, HistoryRecord{1, 1, clock.Now() - age, "M", "C"});
    }
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
    EXPECT_EQ(ClearQuestionText(1234, true), "履歴データを全て削除します\r\r履歴件数\t= 1,234件\r履歴ファイル\t= 既読状態\r\r"
                                             "履歴ファイルはクリア以後に作られたデータで上書きされます        \r\rよろしいですか？");
}

TEST_F(MaintenanceTest, SweepRemovesExactlyWhatIsAtOrBeforeTheCutOff)
{
    for (const auto& [path, age] :
         {std::pair{"/a/20days", 20.0}, {"/a/14days", 14.0}, {"/a/13days", 13.99}, {"/b/now", 0.0}})
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
    const auto scan = [&](bool verification) {
        return ScanTree(store, tree, kAttrAny & ~kAttrHidden, kAttrAny, verification, ui);
    };
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
