#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "WorkHooksFixture.h"
#include "history/HistoryPersistence.h"
#include "platform/DateTime.h"
#include "platform/DirSearch.h"
#include "platform/Files.h"
#include "support/ScriptedPrompts.h"
#include "support/TempDir.h"

namespace qv {
namespace {

using Texts = std::vector<std::string>;

TEST(DatedHistoryName, TakesTheFirstFreeNumberWithThreeDigits)
{
    TempDir dir;
    const double day = EncodeDateTime({2004, 5, 6, 13, 14, 15});
    const std::string base = dir.path() + "/Quenvarlith-20040506";
    EXPECT_EQ(DatedHistoryName(dir.path(), day, ".csv"), base + "_001.csv");
    dir.WriteFile("Quenvarlith-20040506_001.csv", "x");
    EXPECT_EQ(DatedHistoryName(dir.path(), day, ".csv"), base + "_002.csv");
    EXPECT_EQ(DatedHistoryName(dir.path(), day, ".dat"), base + "_001.dat");
    for (int n = 2; n < 100; ++n) {
        const std::string name = DatedHistoryName(dir.path(), day, ".csv");
        if (n == 10) {
            EXPECT_EQ(name, base + "_010.csv");
        }
        dir.WriteFile(name.substr(dir.path().size() + 1), "x");
    }
    EXPECT_EQ(DatedHistoryName(dir.path(), day, ".csv"), base + "_100.csv");
}

TEST(HistoryMerge, RulesForReadRecords)
{
    const double now = 45000.5;
    HistoryReadOptions options{14, 100};
    auto rec = [](int64_t size, double registered) {
        return HistoryRecord{size, 1.0, registered, "M", "C"};
    };

    HashHistory h;
    h.Insert("/older", rec(1, now - 3));
    h.Insert("/equal", rec(1, now - 3));
    h.Insert("/newer", rec(1, now - 3));
    h.Insert("/Stale", rec(1, now - 30));
    {
        HistoryMerge merge(h, options, now);
        EXPECT_TRUE(merge.MergeMode());
        EXPECT_EQ(merge.CutOff(), now - 14);
        merge.MergeRecord("/older", rec(5, now - 2));      // read one is later: replaces
        merge.MergeRecord("/equal", rec(5, now - 3));      // equal: kept
        merge.MergeRecord("/newer", rec(5, now - 4));      // earlier: kept
        merge.MergeRecord("/Stale", rec(5, now - 20));     // present: no cut-off, no size limit
        merge.MergeRecord("/stale", rec(500, now - 20));   // absent and too old: dropped
        merge.MergeRecord("/small", rec(99, now));         // below the limit: dropped
        merge.MergeRecord("/limit", rec(100, now));        // at the limit: kept
        merge.MergeRecord("/dup", rec(100, now - 1));      // first of two: inserted ...
        merge.MergeRecord("/dup", rec(7, now));            // ... then replaced, being later
        merge.MergeRecord("/late", rec(1, now));           // refused (small) ...
        merge.MergeRecord("/late", rec(200, now - 1));     // ... so this one goes in
        merge.MergeRecord("", rec(200, now));              // no key: ignored
    }
    ASSERT_EQ(h.Count(), 7);
    int32_t i = -1;
    ASSERT_TRUE(h.Find("/older", i));
    EXPECT_EQ(h.RecordAt(i).Size, 5);
    ASSERT_TRUE(h.Find("/equal", i));
    EXPECT_EQ(h.RecordAt(i).Size, 1);
    ASSERT_TRUE(h.Find("/newer", i));
    EXPECT_EQ(h.RecordAt(i).Size, 1);
    ASSERT_TRUE(h.Find("/Stale", i));
    EXPECT_EQ(h.RecordAt(i).Size, 5);
    EXPECT_FALSE(h.Find("/stale", i));
    EXPECT_FALSE(h.Find("/small", i));
    ASSERT_TRUE(h.Find("/limit", i));
    ASSERT_TRUE(h.Find("/dup", i));
    EXPECT_EQ(h.RecordAt(i).Size, 7);
    ASSERT_TRUE(h.Find("/late", i));
    EXPECT_EQ(h.RecordAt(i).Size, 200);

    // Into an empty store there is no merge mode: the first admitted record of a key stays.
    HashHistory empty;
    {
        HistoryMerge merge(empty, options, now);
        EXPECT_FALSE(merge.MergeMode());
        merge.MergeRecord("/b", rec(100, now - 1));
        merge.MergeRecord("/a", rec(100, now - 1));
        merge.MergeRecord("/b", rec(300, now));
        merge.MergeRecord("/old", rec(300, now - 14.5));
    }
    ASSERT_EQ(empty.Count(), 2);
    EXPECT_EQ(empty.PathAt(0), "/a");
    EXPECT_EQ(empty.RecordAt(1).Size, 100);
}

class PersistenceTest : public WorkHooksFixture {
protected:
    PersistenceTest() : WorkHooksFixture(EncodeDateTime({2024, 6, 1, 12, 0, 0})) {}
    void SetUp() override { historyPath = HistoryFilePath(dir.path()); }

    // A real file and a record that is valid for it, so the inspection keeps it.
    std::string RealFile(const std::string& name, double registered)
    {
        const std::string path = dir.WriteFile(name, "content");
        FoundEntry f;
        EXPECT_TRUE(FindPath(path, kAttrAny, f));
        store.Insert(path, HistoryRecord{f.size, f.stamp, registered, "M", "C"});
        return path;
    }
    void WriteStoreToHistoryFile()
    {
        WorkHooks ui = Ui();
        ASSERT_TRUE(WriteHistoryFile(store, historyPath, ui));
        store.ClearHistory();
        statuses.clear();
    }
    int32_t CountIn(const std::string& path)
    {
        HashHistory h;
        WorkHooks ui = Ui();
        ReadHistoryFile(h, path, HistoryReadOptions{14, 0}, ui);
        return h.Count();
    }

    std::string historyPath;
    HashHistory store;
    HistoryOptions options;
    HistoryFileState state;
};

TEST_F(PersistenceTest, LoadsInspectsAndReports)
{
    const std::string a = RealFile("x/a.txt", clock.Now() - 1);
    RealFile("y/b.txt", clock.Now() - 1);
    store.Insert(dir.path() + "/gone.txt", HistoryRecord{1, 1, clock.Now() - 1, "M", "C"});
    WriteStoreToHistoryFile();
    stop.Request();   // the load starts by clearing the flag

    WorkHooks ui = Ui();
    const StartLoadOutcome out = LoadHistoryAtStart(store, options, state, historyPath, StartConditions{false, false}, ui);
    EXPECT_TRUE(out.attempted);
    EXPECT_TRUE(out.loadResult);
    EXPECT_TRUE(state.HistoryFileRead);
    EXPECT_EQ(store.Count(), 2);   // the record of the missing file went in the inspection
    EXPECT_EQ(out.folders, (Texts{dir.path() + "/x", dir.path() + "/y"}));
    EXPECT_EQ(comments, (Texts{"履歴データ読込み中　しばらくお待ちください",
                               "履歴データ検査中　しばらくお待ちください"}));
    EXPECT_EQ(panel, (std::vector<bool>{true, false}));
    EXPECT_EQ(statuses.back(), "履歴読込み完了 履歴データ 2件");
    EXPECT_TRUE(prompts.shown().empty());
}

TEST_F(PersistenceTest, ConditionsThatSkipTheLoad)
{
    RealFile("a.txt", clock.Now());
    WriteStoreToHistoryFile();
    struct Case {
        const char* name;
        int32_t keepDays, readMode;
        bool arguments, shift;
    } cases[] = {
        {"keep days 0", 0, 1, false, false},
        {"read mode 2 with arguments", 14, 2, true, false},
        {"read mode 3", 14, 3, false, false},
        {"shift held", 14, 1, false, true},
        {"read mode out of range", 14, 4, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        options.keepDays = c.keepDays;
        options.readMode = c.readMode;
        state.HistoryFileRead = true;
        WorkHooks ui = Ui();
        const StartLoadOutcome out =
            LoadHistoryAtStart(store, options, state, historyPath, StartConditions{c.arguments, c.shift}, ui);
        EXPECT_FALSE(out.attempted);
        EXPECT_FALSE(state.HistoryFileRead);
        EXPECT_EQ(store.Count(), 0);
        EXPECT_EQ(statuses.back(), "履歴データは読み込まれていません");
    }
    // Read mode 2 without arguments loads.
    options = HistoryOptions{};
    options.readMode = 2;
    WorkHooks ui = Ui();
    EXPECT_TRUE(LoadHistoryAtStart(store, options, state, historyPath, StartConditions{false, false}, ui).attempted);
    EXPECT_EQ(store.Count(), 1);
    // No history file at all.
    HashHistory other;
    WorkHooks ui2 = Ui();
    EXPECT_FALSE(LoadHistoryAtStart(other, options, state, dir.Path("none.dat"), StartConditions{}, ui2).attempted);
    EXPECT_EQ(statuses.back(), "履歴データは読み込まれていません");
}

TEST_F(PersistenceTest, TruncatedHistoryFileReportsReadFailure)
{
    RealFile("a.txt", clock.Now());
    RealFile("b.txt", clock.Now());
    WriteStoreToHistoryFile();
    std::string bytes = TempDir::ReadFile(historyPath);
    dir.WriteFile("Quenvarlith.dat", bytes.substr(0, bytes.size() - 10));
    WorkHooks ui = Ui();
    LoadHistoryAtStart(store, options, state, historyPath, StartConditions{false, false}, ui);
    EXPECT_EQ(store.Count(), 1);
    EXPECT_FALSE(state.HistoryFileRead);
    EXPECT_EQ(statuses.back(), "履歴データ読取り失敗");

    store.ClearHistory();
    dir.WriteFile("Quenvarlith.dat", bytes.substr(0, 30));
    WorkHooks ui2 = Ui();
    LoadHistoryAtStart(store, options, state, historyPath, StartConditions{false, false}, ui2);
    EXPECT_EQ(statuses.back(), "履歴データは読み込まれていません");
}

TEST_F(PersistenceTest, CancelDuringLoadKeepsWhatWasReadAndIsNotARead)
{
    for (const char* name : {"f0", "f1", "f2", "f3", "f4", "f5"}) RealFile(name, clock.Now());
    WriteStoreToHistoryFile();
    WorkHooks ui = Ui();
    int pumps = 0;
    ui.pump = [&] {
        if (++pumps == 4) stop.Request();   // the busy display's pump, then three reading steps
    };
    // The flag raised at the third entry's refresh is seen at the fourth.
    const StartLoadOutcome out = LoadHistoryAtStart(store, options, state, historyPath, StartConditions{false, false}, ui);
    EXPECT_TRUE(out.foldersReplaced);
    EXPECT_EQ(store.Count(), 3);
    EXPECT_FALSE(state.HistoryFileRead);
    EXPECT_EQ(comments.size(), 1u);   // no inspection after a cancel
    EXPECT_EQ(statuses.back(), "履歴読込み中止 履歴データ 3件");
}

TEST_F(PersistenceTest, ProbeFailsWhileAnotherDescriptionHoldsTheLock)
{
    RealFile("a.txt", clock.Now());
    WriteStoreToHistoryFile();
    const int holder = ::open(historyPath.c_str(), O_RDONLY);
    ASSERT_GE(holder, 0);
    ASSERT_EQ(::flock(holder, LOCK_EX | LOCK_NB), 0);

    int code = 0;
    EXPECT_FALSE(ProbeHistoryFile(historyPath, code));
    EXPECT_EQ(code, EWOULDBLOCK);

    prompts.Push(Answer::Retry).Push(Answer::Abort);
    WorkHooks ui = Ui();
    const StartLoadOutcome out = LoadHistoryAtStart(store, options, state, historyPath, StartConditions{false, false}, ui);
    EXPECT_FALSE(out.attempted);
    EXPECT_EQ(store.Count(), 0);
    EXPECT_FALSE(state.HistoryFileRead);
    ASSERT_EQ(prompts.shown().size(), 2u);
    EXPECT_EQ(prompts.shown()[0].text, "履歴ファイル読込エラー\r\r" + PlatformErrorText(EWOULDBLOCK) + "(" +
                                           std::to_string(EWOULDBLOCK) + ")\r\rもう一度読み取りを試みますか？");

    ::close(holder);
    EXPECT_TRUE(ProbeHistoryFile(historyPath, code));
    int missing = 0;
    EXPECT_FALSE(ProbeHistoryFile(dir.Path("none.dat"), missing));
    EXPECT_EQ(missing, ENOENT);
}

TEST_F(PersistenceTest, ExitSaveOverwritesAReadUnchangedFileEvenWhenEmpty)
{
    RealFile("a.txt", clock.Now());
    WriteStoreToHistoryFile();
    state = {true, HistoryFileStamp(historyPath)};
    WorkHooks ui = Ui();
    options.saveMode = 3;   // does not matter for a read, unchanged file
    const ExitSaveOutcome out = SaveHistoryAtExit(store, options, state, historyPath, ui);
    EXPECT_EQ(out.action, ExitSave::Overwritten);
    EXPECT_TRUE(out.written);
    EXPECT_EQ(TempDir::ReadFile(historyPath), std::string(4, '\0'));
    EXPECT_EQ(statuses, (Texts{"終了処理 履歴データ整理中 履歴データ0件", "終了処理 履歴ファイル保存中"}));
    EXPECT_EQ(titles, Texts{"Quenvarlith終了中"});
    EXPECT_EQ(comments, Texts{"Quenvarlith終了中　しばらくお待ちください"});
}

TEST_F(PersistenceTest, ExitSaveModesWhenAnotherCopyRewroteTheFile)
{
    // The file holds another copy's record; this copy has one of its own, registered later
    // for a shared key, and the file was re-dated after this copy noted it.
    const std::string shared = RealFile("shared.txt", clock.Now() - 2);
    RealFile("theirs.txt", clock.Now() - 1);
    WriteStoreToHistoryFile();
    const double noted = HistoryFileStamp(historyPath);
    TempDir::SetMtime(historyPath, 1600000000);
    state = {true, noted};
    store.Insert(shared, HistoryRecord{7, 1, clock.Now(), "NEW", "C"});
    store.Insert(dir.path() + "/mine.txt", HistoryRecord{7, 1, clock.Now(), "M", "C"});
    const std::string before = TempDir::ReadFile(historyPath);

    options.saveMode = 3;
    WorkHooks ui = Ui();
    EXPECT_EQ(SaveHistoryAtExit(store, options, state, historyPath, ui).action, ExitSave::Nothing);
    EXPECT_EQ(TempDir::ReadFile(historyPath), before);

    options.saveMode = 2;
    dir.WriteFile("Quenvarlith-20240601_001.dat", "taken");
    titles.clear();
    ExitSaveOutcome out = SaveHistoryAtExit(store, options, state, historyPath, ui);
    EXPECT_EQ(out.action, ExitSave::DatedFile);
    EXPECT_EQ(out.path, dir.path() + "/Quenvarlith-20240601_002.dat");
    EXPECT_EQ(CountIn(out.path), 2);
    EXPECT_EQ(TempDir::ReadFile(historyPath), before);
    EXPECT_EQ(titles, (Texts{"Quenvarlith終了中", "Quenvarlith履歴保存中"}));

    options.saveMode = 1;
    statuses.clear();
    titles.clear();
    out = SaveHistoryAtExit(store, options, state, historyPath, ui);
    EXPECT_EQ(out.action, ExitSave::Merged);
    EXPECT_TRUE(out.written);
    EXPECT_EQ(statuses.front(), "終了処理 履歴データ整理中 履歴データ2件");
    EXPECT_EQ(statuses[1], "終了処理 履歴ファイル結合中");
    EXPECT_EQ(statuses.back(), "終了処理 履歴ファイル保存中");
    EXPECT_EQ(titles, (Texts{"Quenvarlith終了中", "Quenvarlith履歴結合中", "Quenvarlith履歴保存中"}));
    HashHistory merged;
    WorkHooks ui2 = Ui();
    ASSERT_TRUE(ReadHistoryFile(merged, historyPath, HistoryReadOptions{}, ui2));
    EXPECT_EQ(merged.Count(), 3);   // both copies' entries
    int32_t i = -1;
    ASSERT_TRUE(merged.Find(shared, i));
    EXPECT_EQ(merged.RecordAt(i).Md5, "NEW");   // the later registration wins
}

TEST_F(PersistenceTest, ExitSaveWithoutAHistoryFile)
{
    options.saveMode = 3;
    store.Insert("/a", HistoryRecord{1, 1, clock.Now(), "M", "C"});
    WorkHooks ui = Ui();
    EXPECT_EQ(SaveHistoryAtExit(store, options, state, historyPath, ui).action, ExitSave::Nothing);
    EXPECT_FALSE(FileExists(historyPath));
    options.saveMode = 2;
    const ExitSaveOutcome out = SaveHistoryAtExit(store, options, state, historyPath, ui);
    EXPECT_EQ(out.action, ExitSave::Created);
    EXPECT_EQ(CountIn(historyPath), 1);

    // Keep days 0: nothing is written at all.
    const std::string other = dir.Path("sub/Quenvarlith.dat");
    options.keepDays = 0;
    statuses.clear();
    EXPECT_EQ(SaveHistoryAtExit(store, options, state, other, ui).action, ExitSave::Nothing);
    EXPECT_TRUE(statuses.empty());
}

TEST_F(PersistenceTest, FailedExitSaveShowsTheMessageAndKeepsTheOldFile)
{
    // The history file's name is taken by a folder: the write fails with EISDIR.
    dir.MakeFolder("Quenvarlith.dat");
    store.Insert("/a", HistoryRecord{1, 1, clock.Now(), "M", "C"});
    prompts.Push(Answer::Ok);
    WorkHooks ui = Ui();
    const ExitSaveOutcome out = SaveHistoryAtExit(store, options, state, historyPath, ui);
    EXPECT_FALSE(out.written);
    EXPECT_EQ(prompts.LastText(), "履歴保存時にエラーが発生しました\r\r" + historyPath + "\rError code = 21 (Is a directory)");
    EXPECT_TRUE(FolderExists(historyPath));
    EXPECT_EQ(store.Count(), 1);
}

TEST_F(PersistenceTest, ExitSaveHoldsTheLockAndStoppedMergeGoesToADatedFile)
{
    RealFile("theirs.txt", clock.Now());
    WriteStoreToHistoryFile();
    const std::string before = TempDir::ReadFile(historyPath);
    store.Insert("/mine", HistoryRecord{1, 1, clock.Now(), "M", "C"});
    state = {false, 0.0};
    WorkHooks ui = Ui();
    int probeCode = 0;
    bool probed = false;
    ui.pump = [&] {
        // Another copy starting now would find the file locked; the user stops the merge.
        probed = !ProbeHistoryFile(historyPath, probeCode);
        stop.Request();
    };
    const ExitSaveOutcome out = SaveHistoryAtExit(store, options, state, historyPath, ui);
    EXPECT_TRUE(probed);
    EXPECT_EQ(probeCode, EWOULDBLOCK);
    EXPECT_EQ(out.action, ExitSave::DatedFile);
    EXPECT_EQ(out.path, dir.path() + "/Quenvarlith-20240601_001.dat");
    EXPECT_EQ(TempDir::ReadFile(historyPath), before);   // the other copy's file is untouched
    int code = 0;
    EXPECT_TRUE(ProbeHistoryFile(historyPath, code));   // released after the save
}

TEST_F(PersistenceTest, ExitSaveSeesARewriteWithinTheSameTwoSecondStep)
{
    // This copy read the file; another copy then saved its own record in the same two-second
    // step of the file's time, so the two-second form of the time did not change.
    RealFile("mine.txt", clock.Now() - 1);
    WriteStoreToHistoryFile();
    TempDir::SetMtime(historyPath, 1600000000);
    state = {true, HistoryFileStamp(historyPath)};
    {
        HashHistory theirs;
        theirs.Insert(dir.path() + "/theirs.txt", HistoryRecord{7, 1, clock.Now(), "T", "C"});
        WorkHooks ui = Ui();
        ASSERT_TRUE(WriteHistoryFile(theirs, historyPath, ui));
        TempDir::SetMtime(historyPath, 1600000001);
    }
    store.Insert(dir.path() + "/mine.txt", HistoryRecord{7, 1, clock.Now(), "M", "C"});
    WorkHooks ui = Ui();
    const ExitSaveOutcome out = SaveHistoryAtExit(store, options, state, historyPath, ui);
    EXPECT_EQ(out.action, ExitSave::Merged);
    EXPECT_EQ(CountIn(historyPath), 2);   // the other copy's record survives
}

TEST_F(PersistenceTest, ExitSaveWhileAnotherCopySavesGoesToADatedFile)
{
    RealFile("theirs.txt", clock.Now());
    WriteStoreToHistoryFile();
    const std::string before = TempDir::ReadFile(historyPath);
    state = {true, HistoryFileStamp(historyPath)};
    store.Insert("/mine", HistoryRecord{1, 1, clock.Now(), "M", "C"});
    // Another copy holds the lock for its own save past our wait.
    const int other = ::open(historyPath.c_str(), O_RDONLY);
    ASSERT_GE(other, 0);
    ASSERT_EQ(::flock(other, LOCK_EX | LOCK_NB), 0);
    for (const int mode : {1, 2}) {
        options.saveMode = mode;
        WorkHooks ui = Ui();
        const ExitSaveOutcome out = SaveHistoryAtExit(store, options, state, historyPath, ui, 0);
        EXPECT_EQ(out.action, ExitSave::DatedFile) << mode;
        EXPECT_TRUE(out.written) << mode;
        EXPECT_EQ(TempDir::ReadFile(historyPath), before) << mode;
    }
    options.saveMode = 3;
    WorkHooks ui = Ui();
    EXPECT_EQ(SaveHistoryAtExit(store, options, state, historyPath, ui, 0).action, ExitSave::Nothing);
    EXPECT_EQ(TempDir::ReadFile(historyPath), before);
    ::close(other);
}

}  // namespace
}  // namespace qv
