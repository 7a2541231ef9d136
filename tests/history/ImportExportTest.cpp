// Import and export of history files: round trips, bad inputs, the history file itself, and
// folding into the history file without losing another copy's records.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

#include "WorkHooksFixture.h"
#include "history/ImportExport.h"
#include "platform/Attributes.h"
#include "platform/DateTime.h"
#include "platform/DirSearch.h"
#include "platform/Files.h"
#include "support/Processes.h"

namespace qv {
namespace {

class ImportExportTest : public WorkHooksFixture {
protected:
    ImportExportTest() : WorkHooksFixture(EncodeDateTime({2024, 6, 1, 12, 0, 0})) { dir.MakeFolder("home"); }

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
        ImportSeams seams;
        seams.recycle = [this](const std::string& path) { recycled.push_back(path); };
        return ImportHistoryFiles(store, state, r, seams, ui = Ui());
    }
    static Texts PathsOf(const HashHistory& h)
    {
        Texts out;
        for (int32_t i = 0; i < h.Count(); ++i) out.push_back(h.PathAt(i));
        return out;
    }
    Texts PathsIn(const std::string& file)
    {
        HashHistory h;
        EXPECT_TRUE(ReadHistoryFile(h, file, HistoryReadOptions{}, ui));
        return PathsOf(h);
    }

    const std::string historyPath = dir.Path("home/Quenvarlith.dat");
    HashHistory store;
    HistoryFileState state;
    Texts recycled;
};

TEST_F(ImportExportTest, ExportThenImportLosesNothing)
{
    HashHistory h;
    for (const char* name : {"a.bin", "名前, \"quoted\".txt", "sub/b"}) AddReal(h, name, 2.5);
    const std::string big = dir.Path("big.iso");   // sparse, above 2 GiB
    ASSERT_EQ(::truncate(dir.WriteFile("big.iso", "").c_str(), int64_t{3} << 30), 0);
    FoundEntry f;
    ASSERT_TRUE(FindPath(big, kAttrAny, f));
    h.Insert(big, HistoryRecord{f.size, f.stamp, clock.Now(), "", "0"});
    for (const char* name : {"out.csv", "out.LOG", "out.dat"}) {
        const ExportResult r = ExportHistory(h, dir.Path(name), historyPath, ui);
        EXPECT_EQ(r.status, "履歴データエクスポート完了 履歴データ 4件");
        store.ClearHistory();
        EXPECT_EQ(Import({dir.Path(name)}).status, "履歴データインポート完了 履歴データ4件 未読状態");
        ASSERT_EQ(PathsOf(store), PathsOf(h)) << name;
        for (int32_t i = 0; i < h.Count(); ++i) {
            const HistoryRecord &a = h.RecordAt(i), &b = store.RecordAt(i);
            EXPECT_TRUE(a.Size == b.Size && a.Md5 == b.Md5 && a.Crc == b.Crc) << name << " " << i;
            EXPECT_NEAR(a.FileTime, b.FileTime, 0.5 / 86400);   // the text form keeps whole seconds
            EXPECT_NEAR(a.RegisteredAt, b.RegisteredAt, 0.5 / 86400);
        }
    }
    EXPECT_EQ(ExportFileName(dir.path(), clock.Now()), dir.Path("Quenvarlith-20240601_001.csv"));
}

TEST_F(ImportExportTest, ExportRefusesAndFailsWithoutTouchingOldFiles)
{
    HashHistory h;
    EXPECT_EQ(ExportHistory(h, dir.Path("x.csv"), historyPath, ui).status, kExportEmpty);
    AddReal(h, "a");
    EXPECT_EQ(ExportHistory(h, dir.Path("x.txt"), historyPath, ui).status, "エクスポート対象拡張子ではありません [.txt]");
    EXPECT_EQ(ExportHistory(h, historyPath, historyPath, ui).status, "履歴ファイルそのものにはエクスポート出来ません");
    EXPECT_FALSE(PathExists(dir.Path("x.txt")) || PathExists(historyPath));

    const std::string old = dir.WriteFile("old.csv", "old bytes");
    for (int i = 0; i < 50; ++i) AddReal(h, std::to_string(i));
    prompts.Push(Answer::Ok);
    const ExportResult r = [&] {
        const FileSizeLimit full(100);
        return ExportHistory(h, old, historyPath, ui);
    }();
    EXPECT_FALSE(r.written);
    EXPECT_EQ(r.status, "履歴データエクスポート失敗 " + old);
    EXPECT_EQ(prompts.LastText(), HistorySaveErrorText(old, EFBIG));
    EXPECT_EQ(TempDir::ReadFile(old), "old bytes");
}

TEST_F(ImportExportTest, BadFilesStopTheImportAndKeepTheStore)
{
    const std::string good = TempDir::ReadFile(FileOf({"g1", "g2"}, dir.Path("good.dat")));
    const std::string line = TempDir::ReadFile(FileOf({"t1"}, dir.Path("t.csv")));
    dir.MakeFolder("folder.dat");
    struct Case {
        const char* name;
        std::string bytes;
        Answer answer;            // to the box the file raises (Cancel: none)
        std::string box;          // its text ("" : none)
        bool stopped;
        int32_t count;            // records after, /kept included
    };
    const std::string broken = line + "\"/x\",1,\"2024/06/01\",\"2024/06/01\",M\r\n" + line;
    const Case cases[] = {
        {"cut.dat", good.substr(0, good.size() - 10), Answer::Ok, "ファイルが途中で切れています", true, 2},
        {"empty.dat", "", Answer::Ok, "履歴ファイルの形式ではありません", true, 1},
        {"folder.dat", {}, Answer::Ok, PlatformErrorText(EISDIR), true, 1},
        {"broken.csv", broken, Answer::Abort, "", true, 2},
        {"broken.log", broken, Answer::Ignore, "", false, 2},
        {"empty.csv", "", Answer::Cancel, "", false, 1},
    };
    for (const Case& c : cases) {
        store.ClearHistory();
        state = {};
        AddReal(store, "kept");
        const std::string path = dir.Path(c.name);
        if (!FolderExists(path)) dir.WriteFile(c.name, c.bytes);
        prompts.Clear();
        if (c.answer != Answer::Cancel) prompts.Push(c.answer);
        const ImportOutcome out = Import({path, dir.Path("good.dat")}, true);
        EXPECT_EQ(out.stopped, c.stopped) << c.name;
        EXPECT_EQ(out.failedFile, c.stopped ? path : "") << c.name;
        EXPECT_EQ(store.Count(), c.stopped ? c.count : c.count + 2) << c.name;
        if (!c.box.empty()) {
            EXPECT_EQ(prompts.LastText(), HistoryReadErrorText(path, c.box)) << c.name;
        }
        EXPECT_EQ(out.saved, !c.stopped) << c.name;
        EXPECT_EQ(recycled.empty(), c.stopped) << c.name;   // nothing trashed after a failure
        recycled.clear();
        ::unlink(historyPath.c_str());
    }
}

TEST_F(ImportExportTest, TheHistoryFileItselfIsReadUnderItsLock)
{
    FileOf({"h1", "h2"}, historyPath);
    AddReal(store, "mine");
    ImportOutcome out = Import({historyPath});
    EXPECT_EQ(out.status, "履歴データインポート完了 履歴データ3件 既読状態");
    EXPECT_TRUE(state.HistoryFileRead);
    EXPECT_EQ(state.HistoryFileTime, HistoryFileStamp(historyPath));

    // Another copy saving at this moment holds the lock: asked as at start-up; Abort stops.
    state = {};
    const int held = ::open(historyPath.c_str(), O_RDONLY);
    ASSERT_EQ(::flock(held, LOCK_EX | LOCK_NB), 0);
    prompts.Push(Answer::Abort);
    out = Import({historyPath});
    ::close(held);
    EXPECT_EQ(prompts.LastText().rfind("履歴ファイル読込エラー\r\r", 0), 0u);
    EXPECT_EQ(out.status, "履歴データインポート中止 履歴データ3件 未読状態");
}

TEST_F(ImportExportTest, DeleteAfterFoldsInTheHistoryFileThenTrashes)
{
    FileOf({"h1"}, historyPath);
    const std::string a = FileOf({"a1", "a2"}, dir.Path("a.csv")), b = FileOf({"b1"}, dir.Path("b.dat"));
    ImportOutcome out = Import({a, b}, true);
    EXPECT_TRUE(out.saved);
    EXPECT_EQ(out.status, "履歴データインポート完了 履歴データ4件 既読状態");
    EXPECT_EQ(recycled, (Texts{a, b}));
    EXPECT_EQ(PathsIn(historyPath), PathsOf(store));
    EXPECT_EQ(state.HistoryFileTime, HistoryFileStamp(historyPath));

    // Another copy rewrites the history file after it was read: its records are merged, not lost.
    HashHistory other;
    AddReal(other, "theirs");
    AddReal(other, "h1");
    ASSERT_TRUE(WriteHistoryFile(other, historyPath, ui));
    AddReal(store, "new");
    EXPECT_TRUE(SaveStoreToHistoryFile(store, state, historyPath, HistoryReadOptions{}, ui, 100));
    EXPECT_EQ(PathsIn(historyPath).size(), 6u);
    EXPECT_EQ(PathsIn(historyPath), PathsOf(store));
}

}  // namespace
}  // namespace qv
