#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "HistoryFixture.h"
#include "history/HistoryPersistence.h"
#include "platform/DateTime.h"
#include "platform/DirSearch.h"
#include "platform/Files.h"
#include "platform/Paths.h"
#include "support/Processes.h"

namespace qv {
namespace {

TEST(HistoryMerge, RulesForReadRecords)
{
    const double now = 45000.5;
    const auto rec = [&](int64_t size, double age) { return HistoryRecord{size, 1.0, now - age, "M", "C"}; };
    HashHistory h, empty;
    for (const auto& [path, age] : {std::pair{"/older", 3}, {"/equal", 3}, {"/newer", 3}, {"/Stale", 30}}) h.Insert(path, rec(1, age));
    const std::tuple<const char*, int64_t, double> reads[] = {
        {"/older", 5, 2}, {"/equal", 5, 3}, {"/newer", 5, 4},   // registered later replaces, else kept
        {"/Stale", 5, 20}, {"/stale", 500, 20},  // present: no cut-off or size limit; absent and too old: dropped
        {"/small", 99, 0}, {"/limit", 100, 0},  // below the limit dropped, at it kept
        {"/dup", 100, 1}, {"/dup", 7, 0},       // in merge mode replaced by a later one, even a small one
        {"/two", 100, 1}, {"/two", 300, 0},
        {"/late", 1, 0}, {"/late", 200, 1},     // refused (small), so this one goes in
        {"", 200, 0},                           // no key: ignored
    };
    for (HashHistory* store : {&h, &empty}) {
        HistoryMerge merge(*store, HistoryReadOptions{14, 100}, now);
        // Merge mode only into a store that held entries.
        EXPECT_EQ(std::pair(merge.MergeMode(), merge.CutOff()), std::pair(store == &h, now - 14));
        for (const auto& [path, size, age] : reads) merge.MergeRecord(path, rec(size, age));
    }
    using Sizes = std::vector<std::pair<std::string, int64_t>>;
    const auto sizes = [](const HashHistory& store) {
        Sizes out;
        for (int32_t i = 0; i < store.Count(); ++i) out.emplace_back(store.PathAt(i), store.RecordAt(i).Size);
        return out;
    };
    EXPECT_EQ(sizes(h), (Sizes{{"/dup", 7}, {"/equal", 1}, {"/late", 200}, {"/limit", 100}, {"/newer", 1},
                               {"/older", 5}, {"/Stale", 5}, {"/two", 300}}));
    EXPECT_EQ(sizes(empty), (Sizes{{"/dup", 100}, {"/late", 200}, {"/limit", 100}, {"/two", 100}}));   // the first admitted stays
}

class PersistenceTest : public WorkHooksFixture {
protected:

    // The history file of the store and a valid record of a real file for each name; empties the store.
    std::string HistoryOf(std::initializer_list<const char*> names, double age = 0)
    {
        for (const char* name : names) {
            FoundEntry f;
            EXPECT_TRUE(FindPath(dir.WriteFile(name, "content"), kAttrAny, f));
            store.Insert(dir.Path(name), HistoryRecord{f.size, f.stamp, clock.Now() - age, "M", "C"});
        }
        EXPECT_TRUE(WriteHistoryFile(store, historyPath, ui = Ui()));
        store.ClearHistory();
        ForgetShown();
        return TempDir::ReadFile(historyPath);
    }
    int32_t CountIn(const std::string& path)
    {
        HashHistory h;
        return ReadHistoryFile(h, path, HistoryReadOptions{14, 0}, ui = Ui()), h.Count();
    }
    StartLoadOutcome Load(StartConditions start = {}) { return LoadHistoryAtStart(store, options, state, historyPath, start, ui = Ui()); }
    ExitSaveOutcome Save(int waitMs = 10000) { return SaveHistoryAtExit(store, options, state, historyPath, ui = Ui(), waitMs); }
    void AddMine(const std::string& name) { store.Insert(dir.Path(name), HistoryRecord{1, 1, clock.Now(), "M", "C"}); }
    // Another copy's lock of a file or folder, until the descriptor is closed.
    static int Hold(const std::string& path)
    {
        const int fd = ::open(path.c_str(), O_RDONLY);
        return ::flock(fd, LOCK_EX | LOCK_NB) == 0 ? fd : (ADD_FAILURE() << path, fd);
    }

    std::string historyPath = HistoryFilePath(dir.path());
    HashHistory store;
    HistoryOptions options;
    HistoryFileState state;
};

TEST_F(PersistenceTest, DatedNamesTakeTheFirstFreeNumberWithThreeDigits)
{
    const double day = EncodeDateTime({2004, 5, 6, 13, 14, 15});
    const std::string base = dir.path() + "/Quenvarlith-20040506";
    for (int n = 1; n < 100; ++n) {
        const std::string name = DatedHistoryName(dir.path(), day, ".csv");
        EXPECT_TRUE(n != 10 || name == base + "_010.csv") << name;
        dir.WriteFile(NameOf(name), "x");
    }
    EXPECT_EQ(DatedHistoryName(dir.path(), day, ".csv"), base + "_100.csv");
    EXPECT_EQ(DatedHistoryName(dir.path(), day, ".dat"), base + "_001.dat");
}

TEST_F(PersistenceTest, ProbesLoadsInspectsAndReports)
{
    AddMine("gone.txt");   // no such file: the inspection removes its record
    HistoryOf({"x/a.txt", "y/b.txt"}, 1);
    const int holder = Hold(historyPath);
    int code = 0;
    EXPECT_TRUE(!ProbeHistoryFile(historyPath, code) && code == EWOULDBLOCK);
    prompts.Push(Answer::Retry).Push(Answer::Abort);
    EXPECT_FALSE(Load().attempted);
    EXPECT_EQ(prompts.MessageTexts(), Texts(2, "履歴ファイル読込エラー\r\r" + PlatformErrorText(EWOULDBLOCK) + "(" +
                                                   std::to_string(EWOULDBLOCK) + ")\r\rもう一度読み取りを試みますか？"));
    ::close(holder);
    EXPECT_TRUE(!ProbeHistoryFile(dir.Path("none.dat"), code) && code == ENOENT);
    EXPECT_FALSE(LoadHistoryAtStart(store, options, state, dir.Path("none.dat"), {}, ui).attempted);   // no box

    stop.Request();   // the load starts by clearing the flag
    const StartLoadOutcome out = Load();
    EXPECT_TRUE(out.attempted && out.loadResult && state.HistoryFileRead);
    EXPECT_EQ(out.folders, (Texts{dir.Path("x"), dir.Path("y")}));
    EXPECT_EQ(comments, (Texts{"履歴データ読込み中　しばらくお待ちください", "履歴データ検査中　しばらくお待ちください"}));
    EXPECT_EQ(panel, (std::vector<bool>{true, false}));
    EXPECT_EQ(statuses.back(), "履歴読込み完了 履歴データ 2件");
}

TEST_F(PersistenceTest, SkippedDamagedOrStoppedLoadIsNoRead)
{
    const std::string bytes = HistoryOf({"f0", "f1", "f2", "f3", "f4", "f5"});
    const struct { int32_t keepDays, readMode; StartConditions start; } skipped[] = {
        {0, 1, {}}, {14, 2, {true, false}}, {14, 3, {}}, {14, 1, {false, true}}, {14, 4, {}}};
    for (const auto& c : skipped) {
        options.keepDays = c.keepDays;
        options.readMode = c.readMode;
        state.HistoryFileRead = true;
        EXPECT_FALSE(Load(c.start).attempted || state.HistoryFileRead || store.Count() > 0) << c.readMode;
        EXPECT_EQ(statuses.back(), "履歴データは読み込まれていません");
    }
    options.readMode = 2;   // loads without arguments, but the file is cut short
    dir.WriteFile("Quenvarlith.dat", bytes.substr(0, bytes.size() - 10));
    EXPECT_TRUE(Load().attempted && store.Count() == 5 && !state.HistoryFileRead);
    EXPECT_EQ(statuses.back(), "履歴データ読取り失敗");
    store.ClearHistory();
    dir.WriteFile("Quenvarlith.dat", bytes.substr(0, 30));
    Load();
    EXPECT_EQ(statuses.back(), "履歴データは読み込まれていません");

    // Stopped at the fourth refresh (after the busy display's pump and three entries).
    dir.WriteFile("Quenvarlith.dat", bytes);
    store.ClearHistory();
    ForgetShown();
    int pumps = 0;
    (ui = Ui()).pump = [&] { if (++pumps == 4) stop.Request(); };
    EXPECT_TRUE(LoadHistoryAtStart(store, options, state, historyPath, {}, ui).foldersReplaced && store.Count() == 3 &&
                !state.HistoryFileRead);
    EXPECT_EQ(comments.size(), 1u);   // no inspection after a stop
    EXPECT_EQ(statuses.back(), "履歴読込み中止 履歴データ 3件");
}

TEST_F(PersistenceTest, ExitSaveWithoutAFileAndOverAReadUnchangedOne)
{
    options.saveMode = 3;
    AddMine("a");
    EXPECT_TRUE(Save().action == ExitSave::Nothing && !FileExists(historyPath));
    options.saveMode = 2;
    EXPECT_TRUE(Save().action == ExitSave::Created && CountIn(historyPath) == 1);

    // Read and unchanged: overwritten whatever the save mode, even with an empty store.
    state = {true, HistoryFileStamp(historyPath)};
    options.saveMode = 3;
    store.ClearHistory();
    ForgetShown();
    const ExitSaveOutcome out = Save();
    EXPECT_TRUE(out.action == ExitSave::Overwritten && out.written);
    EXPECT_EQ(TempDir::ReadFile(historyPath), std::string(4, '\0'));
    EXPECT_EQ((std::vector<Texts>{statuses, titles, labels, comments}),
              (std::vector<Texts>{{"終了処理 履歴データ整理中 履歴データ0件", "終了処理 履歴ファイル保存中"}, {"Quenvarlith終了中"},
                                  {"履歴件数 0件"}, {"Quenvarlith終了中　しばらくお待ちください"}}));

    options.keepDays = 0;   // nothing is written at all
    statuses.clear();
    AddMine("a");
    EXPECT_TRUE(Save().action == ExitSave::Nothing && statuses.empty());
}

TEST_F(PersistenceTest, ExitSaveMergesWhenAnotherCopyRewroteTheFile)
{
    // This copy read the file; another copy then saved a later record of a shared key one
    // second later.
    HistoryOf({"shared.txt"}, 2);
    TempDir::SetMtime(historyPath, 1600000000);
    state = {true, HistoryFileStamp(historyPath)};
    const std::string before = HistoryOf({"theirs.txt", "shared.txt"}, 1);
    TempDir::SetMtime(historyPath, 1600000001);
    store.Insert(dir.Path("shared.txt"), HistoryRecord{7, 1, clock.Now(), "NEW", "C"});
    AddMine("mine.txt");

    const ExitSaveOutcome out = Save();
    EXPECT_TRUE(out.action == ExitSave::Merged && out.written && out.keptAs.empty());
    EXPECT_EQ(statuses, (Texts{"終了処理 履歴データ整理中 履歴データ2件", "終了処理 履歴ファイル結合中",
                               "履歴データ読取り中 Quenvarlith.dat 0.0%", "履歴データ読取り中 Quenvarlith.dat 50.0%",
                               "履歴データソート中", "終了処理 履歴ファイル保存中"}));
    EXPECT_EQ(titles, (Texts{"Quenvarlith終了中", "Quenvarlith履歴結合中", "Quenvarlith履歴保存中"}));
    HashHistory merged;
    ASSERT_TRUE(ReadHistoryFile(merged, historyPath, HistoryReadOptions{}, ui));
    int32_t i = -1;   // both copies' entries; the later registration wins
    EXPECT_TRUE(merged.Count() == 3 && merged.Find(dir.Path("shared.txt"), i) && merged.RecordAt(i).Md5 == "NEW");
}

// A stopped merge, or another copy that keeps the history file's or the folder's lock, sends
// the records to a dated file. Temporaries of killed saves go only under the folder's lock.
TEST_F(PersistenceTest, OtherCopiesLocksStoppedMergesAndStaleTemporaries)
{
    const std::string before = HistoryOf({"theirs.txt"});
    AddMine("mine");
    int probeCode = 0;
    (ui = Ui()).pump = [&] {
        EXPECT_FALSE(ProbeHistoryFile(historyPath, probeCode));
        stop.Request();
    };
    ExitSaveOutcome out = SaveHistoryAtExit(store, options, state, historyPath, ui);
    EXPECT_EQ(probeCode, EWOULDBLOCK);
    EXPECT_EQ(out.path, dir.Path("Quenvarlith-20240601_001.dat"));
    EXPECT_EQ(TempDir::ReadFile(historyPath), before);
    EXPECT_TRUE(ProbeHistoryFile(historyPath, probeCode));   // released after the save

    const Texts stale = {".Quenvarlith-20240101_001.dat.zz9ZZ9", ".Quenvarlith.dat.AbC123"},
                others = {".Other.dat.AbC123", ".Quenvarlith.dat.AbC12", ".Quenvarlith.dat.keep-me"};
    for (const std::string& name : {stale[0], stale[1], others[0], others[1], others[2]}) dir.WriteFile(name, "x");
    state = {true, HistoryFileStamp(historyPath)};
    for (const std::string& held : {dir.path(), historyPath}) {
        const int other = Hold(held);
        for (const int mode : {1, 2, 3}) {
            options.saveMode = mode;
            out = Save(0);
            EXPECT_TRUE(out.action == (mode == 3 ? ExitSave::Nothing : ExitSave::DatedFile) && out.written == (mode != 3))
                << held << mode;
            EXPECT_EQ(TempDir::ReadFile(historyPath), before) << held << mode;
        }
        ::close(other);
        EXPECT_EQ(FileExists(dir.Path(stale[1])), held == dir.path());   // not swept while another save runs
    }
    EXPECT_FALSE(FileExists(dir.Path(stale[0])));
    for (const std::string& name : others) EXPECT_TRUE(FileExists(dir.Path(name))) << name;
}

// A file not read whole is merged as far as it reads and kept under a dated name; a full disk leaves it.
TEST_F(PersistenceTest, DamagedFileIsKeptAndAFullDiskFailsTheSave)
{
    for (int i = 0; i < 10; ++i) AddMine("old" + std::to_string(i));
    const std::string good = HistoryOf({});
    const size_t entry = 76 + static_cast<unsigned char>(good[4]), third = 4 + 3 * entry;
    const std::pair<std::string, int32_t> cases[] = {
        {good.substr(0, 500), static_cast<int32_t>((500 - 4) / entry)},              // cut short
        {std::string(4, '\xFF') + good.substr(4), 0},                                // count -1
        {good.substr(0, third) + std::string(4, '\0') + good.substr(third + 4), 3},  // a path length 0
    };
    dir.WriteFile("Quenvarlith.dat", cases[0].first);
    for (int i = 0; i < 50; ++i) AddMine(std::to_string(i));
    prompts.Push(Answer::Ok);
    ExitSaveOutcome out = [&] {
        const FileSizeLimit limit(1000);
        return Save();
    }();
    EXPECT_TRUE(out.action == ExitSave::Merged && out.Failed() && out.keptAs.empty());
    EXPECT_EQ(prompts.LastText(), "履歴保存時にエラーが発生しました\r\r" + historyPath + "\rError code = 27 (File too large)");
    EXPECT_EQ(dir.Names(), Texts{"Quenvarlith.dat"});   // no copy and no temporary file left
    EXPECT_EQ(TempDir::ReadFile(historyPath), cases[0].first);

    for (int c = 0; c < 3; ++c) {
        dir.WriteFile("Quenvarlith.dat", cases[c].first);
        store.ClearHistory();
        AddMine("new");
        out = Save();
        ASSERT_TRUE(out.action == ExitSave::Merged && out.written);
        EXPECT_EQ(out.keptAs, dir.Path("Quenvarlith-20240601_00" + std::to_string(c + 1) + ".dat"));
        EXPECT_EQ(statuses.back(), KeptDamagedHistoryText(historyPath, out.keptAs));
        EXPECT_EQ(TempDir::ReadFile(out.keptAs), cases[c].first);
        EXPECT_EQ(CountIn(historyPath), cases[c].second + 1) << c;
    }
}

// Copies started together without a history file keep both their records; a FIFO blocks nothing.
TEST_F(PersistenceTest, CopiesInOtherProcesses)
{
    for (int round = 0; round < 5; ++round) {
        ::unlink(historyPath.c_str());
        const auto copy = [&](int n) {
            for (int i = 0; i < 300; ++i) AddMine(std::to_string(n) + "-" + std::to_string(i));
            return Save().written ? 0 : 1;
        };
        EXPECT_EQ(RunInChildren(2, copy), (std::vector<int>{0, 0}));
        ASSERT_EQ(CountIn(historyPath), 600) << "round " << round;
    }
    ::unlink(historyPath.c_str());
    ASSERT_EQ(::mkfifo(historyPath.c_str(), 0600), 0);
    prompts.SetDefaultAnswer(Answer::Abort);   // the probe's box: give up
    const auto fifo = [&](int) {
        const bool loaded = Load().attempted;
        AddMine("mine");
        const ExitSaveOutcome out = Save();
        return loaded || out.action != ExitSave::DatedFile || !out.written ? 1 : 0;
    };
    EXPECT_EQ(RunInChildren(1, fifo, 10), std::vector<int>{0});   // and the FIFO was not replaced
}

}  // namespace
}  // namespace qv
