#include "FileJobFixture.h"

#include <cerrno>
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

#include <utility>

#include "engine/EngineKit.h"
#include "engine/FileSource.h"
#include "job/JobReports.h"
#include "platform/Attributes.h"
#include "platform/DirSearch.h"
#include "platform/Files.h"
#include "platform/Paths.h"

namespace qv::test {
namespace {

const Codes kAbc{"352441C2", "900150983CD24FB0D6963F7D28E17F72"};
const double kStamp = StampFromUnix(LocalUnix(2024, 1, 31, 9, 5, 6));
const std::string kUpdated = "更新日時\t2024/01/31 9:05:06";

// A report as the user reads it: head, the file, the given lines, the copy hint.
std::string Report(const std::string& what, const std::string& path, const std::string& size,
                   std::initializer_list<std::string> lines)
{
    std::string text = "Quenvarlith V1.08D エラー情報\r\r" + what + "\rフォルダ\t\t" + FolderOf(path) + "/\rファイル名\t" +
                       NameOf(path) + "\rファイルサイズ\t" + size;
    for (const std::string& line : lines) text += "\r" + line;
    return text + "\r\rCTRL+Cでクリップボードにコピー出来ます";
}

TEST_F(FileJobTest, FirstHashStoresTheRecordAndReportsTheFolder)
{
    const std::string path = MakeFile("sub/abc.txt", "abc");
    const int32_t index = Job().HashFile(path, false);
    ASSERT_GE(index, 0);
    EXPECT_EQ(history.RecordAt(index), (HistoryRecord{3, kStamp, clock.Now(), kAbc.md5, kAbc.crc}));
    EXPECT_EQ(folders, std::vector<std::string>{dir.Path("sub")});
    EXPECT_EQ(control.opens.load(), 1);
    EXPECT_EQ(statuses.front(), "処理中");
    EXPECT_EQ(titles.back(), "Quenvarlith");
    EXPECT_EQ(progressMax, 1);
    EXPECT_EQ(Job().LastOutcome().crc, kAbc.crc);
    // Empty data is hashed without opening the file.
    const int32_t empty = Job().HashFile(MakeFile("empty", ""), false);
    EXPECT_EQ(Recorded(empty), (Codes{"00000000", "D41D8CD98F00B204E9800998ECF8427E"}));
    EXPECT_EQ(control.opens.load(), 1);
    EXPECT_EQ(progressMax, 0);
    // A missing file or a folder is an open error, and nothing else.
    for (const std::string& p : {dir.Path("missing"), dir.MakeFolder("folder")}) {
        statuses.clear();
        EXPECT_EQ(Job().HashFile(p, false), -1);
        EXPECT_EQ(statuses, std::vector<std::string>{"ファイルオープンエラー"}) << p;
    }
    EXPECT_EQ(history.Count(), 2);
    // The last three read, newest first; a file the history serves is not read, so not counted.
    const std::string more = MakeFile("more", "m");
    Job().HashFile(more, false);
    Job().HashFile(path, false);
    EXPECT_EQ(Job().RecentFiles(), (std::array<std::string, 3>{more, dir.Path("empty"), path}));
    EXPECT_FALSE(stop.Requested());
    EXPECT_TRUE(prompts.shown().empty());
}

// A file the history holds: read again or not, the record renewed or kept.
TEST_F(FileJobTest, RecordedFileIsReadAgainOnlyWhenItsRecordCannotServe)
{
    const std::string path = dir.Path("a.bin");
    const time_t same = LocalUnix(2024, 1, 31, 9, 5, 6), later = LocalUnix(2024, 3, 1, 8, 0, 0);
    const HistoryRecord noMd5{3, kStamp, 1.0, "", kAbc.crc}, hashed{};
    // record Size 0: the record a first hash gives; bytes: the file when hashed again
    const struct { const char* name; bool verification, recalc; HistoryRecord record; const char* bytes; time_t mtime;
                   bool read; } rows[] = {
        {"unchanged", false, false, hashed, "abc", same, false},
        {"verification: other bytes under the same stamp", true, false, hashed, "xyz", same, true},
        {"recalculation after a stamp change", false, true, hashed, "xyz", later, true},
        {"record without an MD5", false, false, noMd5, "abc", same, true},
        {"record without an MD5, recalculated", false, true, noMd5, "abc", same, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        history.ClearHistory();
        settings.verification = row.verification;
        Job().SetEngineSettings(settings);
        MakeFile("a.bin", "abc");
        if (row.record.Size) history.Insert(path, row.record);
        else Job().HashFile(path, false);
        const double registered = history.RecordAt(0).RegisteredAt;
        MakeFile("a.bin", row.bytes, row.mtime);
        clock.Advance(60000);
        ASSERT_EQ(Job().HashFile(path, row.recalc), 0);
        EXPECT_EQ(Job().LastOutcome().read, row.read);
        EXPECT_EQ(Recorded(0), CodesOf(row.bytes));
        EXPECT_EQ(history.RecordAt(0).RegisteredAt, row.read ? clock.Now() : registered);
    }
    EXPECT_TRUE(prompts.shown().empty());
    EXPECT_FALSE(stop.Requested());
}

// The reports: each names the file and what went wrong, stops the batch and leaves the
// record as the rule says.
TEST_F(FileJobTest, ReportsNameTheFileAndWhatWentWrong)
{
    settings.ioTimeOut = 300;
    const std::string before = Bytes(3 * 65536 + 100);
    std::string path;
    // Appends to the file after its first read, with the given stamp.
    const auto append = [](time_t mtime) {
        return [mtime, first = true](const std::string& p, uint8_t*, uint32_t, int) mutable {
            if (!std::exchange(first, false)) return;
            if (FILE* f = std::fopen(p.c_str(), "ab")) std::fputs("more", f), std::fclose(f);
            TempDir::SetMtime(p, mtime);
        };
    };
    // run: sets the file up and hashes it; result 0: the file's record; recorded: the record afterwards ({}: none)
    const struct { const char* name; std::function<int32_t()> run; std::function<std::string()> report; int32_t result;
                   Codes recorded; } rows[] = {
        {"recalculation mismatch",
         [&] {
             path = MakeFile("data/abc.txt", "abc");
             clock.SetNow(At(2024, 2, 1));   // registered at midnight: the time is left out
             Job().HashFile(path, false);
             control.afterRead = [](const std::string&, uint8_t* data, uint32_t got, int) { data[got - 1] = 'd'; };
             clock.SetNow(At(2024, 2, 3, 14, 7, 8));
             return Job().HashFile(path, true);
         },
         [&] {
             return Report("再計算で異なったハッシュデータを算出しました", path, "3byte",
                           {kUpdated, "CRC履歴値\t352441C2", "CRC算出値\t" + CodesOf("abd").crc, "MD5履歴値\t" + kAbc.md5,
                            "MD5算出値\t" + CodesOf("abd").md5, "履歴日時\t2024/02/01", "現在日時\t2024/02/03 14:07:08"});
         },
         -1, kAbc},
        {"file appended while read: its codes cover the size found first",
         [&] {
             path = MakeFile("grow.log", before);
             control.afterRead = append(LocalUnix(2024, 1, 31, 9, 6, 0));
             return Job().HashFile(path, false);
         },
         [&] {
             return Report("ハッシュ算出中にファイルが更新されました", path, "196,708byte",
                           {"開始更新日時\t2024/01/31 9:05:06", "終了更新日時\t2024/01/31 9:06:00"});
         },
         0, CodesOf(before)},
        {"file appended within one stamp step",
         [&] {
             path = MakeFile("same.log", "abc");
             control.afterRead = append(LocalUnix(2024, 1, 31, 9, 5, 6));
             return Job().HashFile(path, false);
         },
         [&] {
             return Report("ハッシュ算出中にファイルが更新されました", path, "3byte",
                           {"開始更新日時\t2024/01/31 9:05:06", "終了更新日時\t2024/01/31 9:05:06"});
         },
         0, kAbc},
        {"read failure",
         [&] {
             path = MakeFile("bad.bin", "abc");
             Job().HashFile(path, false);
             control.readError = EIO;
             return Job().HashFile(path, true);   // a new reader replaces the one that failed
         },
         [&] { return Report("読取り時にエラーを検出しました", path, "3byte", {kUpdated, "エラー内容\t" + PlatformErrorText(EIO) + "(5)"}); },
         0, kAbc},
        {"short read",
         [&] {
             Job().HashFile(MakeFile("one.bin", "12345678abc"), false);
             path = MakeFile("two.bin", Bytes(200000));
             control.readCap = 1000;   // never a full bank, never the end
             return Job().HashFile(path, false);
         },
         [&] {
             return Report("読取り時にエラーを検出しました", path, "200,000byte",
                           {kUpdated, "再試行回数\t4回", "バッファ０\t00 83 06 89 0C 8F 12 95 ..",
                            "バッファ１\t" + Job().Engine().BankDump(1) + "..", "バッファ２\t" + Job().Engine().BankDump(2) + "..",
                            "ファイル処理履歴", path + "  ", dir.Path("one.bin") + "  ", "  ", "エラー内容\t読取りサイズ異常(-4)"});
         },
         -1, {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        history.ClearHistory(), prompts.Clear(), stop.Clear(), job.reset();
        control.afterRead = nullptr, control.readError = 0, control.readCap = 0, fronts = 0;
        EXPECT_EQ(row.run(), row.result);
        ASSERT_EQ(prompts.shown().size(), 1u);
        EXPECT_EQ(prompts.shown()[0].text, row.report());
        EXPECT_EQ(prompts.shown()[0].title, "Quenvarlith");
        EXPECT_EQ(fronts, 1);
        EXPECT_EQ(prompts.beeps(), 1);
        EXPECT_TRUE(stop.Requested());
        int32_t index = -1;
        EXPECT_EQ(history.Find(path, index) ? Recorded(index) : Codes{}, row.recorded);
    }
    EXPECT_NE(std::find(statuses.begin(), statuses.end(), kStatusRecalcMismatch), statuses.end());
}

// A file gone once its codes are made keeps them and gets a status, no report.
TEST_F(FileJobTest, FileGoneAfterReadingKeepsItsCodes)
{
    control.afterRead = [](const std::string& p, uint8_t*, uint32_t, int) { ::unlink(p.c_str()); };
    EXPECT_GE(Job().HashFile(MakeFile("f.txt", "abc"), false), 0);
    EXPECT_EQ(Job().LastOutcome().crc, kAbc.crc);
    EXPECT_EQ(statuses.back(), kStatusVanished);
    EXPECT_TRUE(prompts.shown().empty());
    EXPECT_FALSE(stop.Requested());
}

// Plays a file system whose files hold more than their reported size: 7 bytes more at the end.
class LongerSource final : public PosixFileSource {
public:
    int Read(void* buffer, uint32_t length, uint32_t enough, uint32_t& got) override
    {
        const int code = PosixFileSource::Read(buffer, length, enough, got);
        if (code == 0 && got + 7 <= length) got += 7;
        return code;
    }
};

// Codes of a part of a file are no codes: files under /proc report 0 bytes, a FIFO is no
// regular file, and content past the reported size of an unchanged file is a read error.
TEST_F(FileJobTest, ContentOtherThanTheReportedSizeIsAnErrorNeverARecord)
{
    EXPECT_EQ(Job().HashFile("/proc/self/status", false), -1);
    EXPECT_NE(prompts.LastText().find("読取りサイズ異常(-4)"), std::string::npos);
    ASSERT_EQ(::mkfifo(dir.Path("fifo").c_str(), 0600), 0);
    stop.Clear();
    EXPECT_EQ(Job().HashFile(dir.Path("fifo"), false), -1);
    EXPECT_NE(prompts.LastText().find(PlatformErrorText(EINVAL)), std::string::npos);
    stop.Clear(), job.reset();
    source = [] { return std::make_unique<LongerSource>(); };
    EXPECT_EQ(Job().HashFile(MakeFile("a.bin", Bytes(100000)), false), -1);
    EXPECT_NE(prompts.LastText().find("読取りサイズ異常(-5)"), std::string::npos);   // the second bank
    EXPECT_EQ(history.Count(), 0);
    EXPECT_EQ(prompts.shown().size(), 3u);
}

// Inside a file: the display once per refresh period, input polled every poll period in
// between; a stop asked for at a poll leaves no record.
TEST_F(FileJobTest, ReadingRefreshesPerPeriodAndPollsInputInBetween)
{
    pollPeriod = 40;
    clock.step = 10;   // each look at the clock takes 10 ms
    ASSERT_GE(Job().HashFile(MakeFile("big.bin", Bytes(200 * 65536)), false), 0);
    ASSERT_GE(pumpTicks.size(), 2u);
    for (size_t i = 1; i < pumpTicks.size(); ++i) EXPECT_GT(pumpTicks[i] - pumpTicks[i - 1], 800u);
    std::vector<uint32_t> served = pumpTicks;
    served.insert(served.end(), pollTicks.begin(), pollTicks.end());
    std::sort(served.begin(), served.end());
    for (size_t i = 1; i < served.size(); ++i) EXPECT_LE(served[i] - served[i - 1], 40u + 30u);
    EXPECT_EQ(statuses[1].rfind("処理中 12.5MB中 ", 0), 0u);

    onPoll = [this] { stop.Request(); };
    EXPECT_EQ(Job().HashFile(MakeFile("other.bin", Bytes(200 * 65536, 1)), false), -1);
    EXPECT_EQ(history.Count(), 1);
    EXPECT_TRUE(Job().LastOutcome().md5.empty());
    EXPECT_EQ(Job().LastOutcome().code, 0);
    EXPECT_TRUE(prompts.shown().empty());
}

// Between files the window runs only when due; a pump lets the read-ahead go first.
TEST_F(FileJobTest, BetweenFilesTheWindowRunsWhenARefreshOrPollIsDue)
{
    pollPeriod = 40;
    const std::string a = MakeFile("a", Bytes(10, 1)), b = MakeFile("b", Bytes(5 * 65536, 2));
    Job().ScheduleRefresh();
    for (const auto& [ms, pumps, polls] : {std::tuple{0u, 0u, 0u}, {41u, 0u, 1u}, {800u, 1u, 1u}}) {
        clock.Advance(ms);
        Job().Pace();
        EXPECT_EQ(std::pair(pumpTicks.size(), pollTicks.size()), std::pair(size_t{pumps}, size_t{polls})) << ms;
    }
    next = b;
    Job().HashFile(a, false);
    ASSERT_TRUE(qv::testing::WaitUntil([&] { return OpensOf(b) == 1; }));
    clock.Advance(41);
    Job().Pace();
    next.clear();
    EXPECT_EQ(Recorded(Job().HashFile(b, false)), CodesOf(Bytes(5 * 65536, 2)));
    EXPECT_EQ(OpensOf(b), 2);
    EXPECT_TRUE(prompts.shown().empty());
}

TEST_F(FileJobTest, NewBankSizeTakesEffectAtTheNextBatch)
{
    const std::string path = MakeFile("f.bin", Bytes(300000));
    Job().BeginBatch();
    EngineSettings bigger = settings;
    bigger.bufferSize = 200000;   // rounds down to 196608
    Job().SetEngineSettings(bigger);
    EXPECT_EQ(Job().Engine().BufferSize(), 65536);   // the running batch keeps its banks
    Job().EndBatch();
    Job().BeginBatch();
    EXPECT_EQ(Job().Engine().BufferSize(), 196608);
    EXPECT_EQ(Recorded(Job().HashFile(path, false)), CodesOf(Bytes(300000)));
    EXPECT_EQ(progressMax, 2);
    // A sparse file may be as large as the size type allows: its bank count must not overflow.
    FoundEntry found;
    ASSERT_TRUE(FindPath(path, kAttrAny, found));
    found.size = INT64_MAX;
    stop.Request();   // stop before the first bank: only the set-up is wanted
    Job().HashFoundFile(path, found, false);
    EXPECT_EQ(progressMax, INT64_MAX / 196608 + 1);
}

TEST_F(FileJobTest, ProgressTextsByFileSize)
{
    queueLength = 3;
    const struct { SizeClass sizeClass; int64_t done, size; const char *status, *title; } rows[] = {
        {SizeClass::GB, 2147483648LL, 5000000000LL, "処理中 4.7GB中 2.000GB (42%)", "残り3files - 58%"},
        {SizeClass::MB, 4194304, 12897485, "処理中 12.3MB中 4.0MB (32%)", "残り3files - 68%"},
        {SizeClass::KB, 0, 1000, "処理中 1KB中 0.0KB (0%)", "残り3files - 100%"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(Job().UpdateFileProgress(row.sizeClass, row.done, row.size), clock.Tick() + 800);
        EXPECT_EQ(statuses.back() + "/" + titles.back(), std::string(row.status) + "/" + row.title);
    }
    EXPECT_EQ(progressPositions.front(), 32768);
    EXPECT_EQ(pumpTicks.size(), 3u);
}

TEST(JobTexts, BoundariesOfSizeClassesErrorKindsAndPercent)
{
    const std::pair<int64_t, SizeClass> classes[] = {{0, SizeClass::KB}, {1048575, SizeClass::KB}, {1048576, SizeClass::MB},
                                                     {1073741823, SizeClass::MB}, {1073741824, SizeClass::GB}};
    for (const auto& [size, sizeClass] : classes) EXPECT_EQ(SizeClassOf(size), sizeClass) << size;
    // The ranges of the result codes, each checked at both ends.
    const struct { int32_t from, to; const char* kind; } kinds[] = {
        {-1, -3, "読取部検出のミューテックス異常"}, {-4, -6, "読取りサイズ異常"}, {-7, -9, "ハッシュ算出部のタイムアウト"},
        {-10, -10, "管理外エラー"}, {-11, -13, "イベント異常"}, {-14, -17, "ハッシュ算出部検出のミューテックス異常"},
        {-18, -18, "読取部アイドリング待ちタイムアウト"}, {-19, -20, "管理外エラー"}, {-21, -23, "読取部タイムアウト"},
        {-24, -26, "読取部メモリ開放エラー"}, {-27, -27, "管理外エラー"}};
    for (const auto& k : kinds) EXPECT_EQ(ErrorKindText(k.from) + ErrorKindText(k.to), std::string(k.kind) + k.kind) << k.from;
    // The report shows the code beside the kind, so the named faults keep their numbers.
    EXPECT_EQ(BankCode(EngineCode::ShortRead, 2), -6);
    EXPECT_EQ(CodeOf(EngineCode::HashLockTimeout), -24);
    EXPECT_EQ(ProgressPercent(0, 0), 100);
    EXPECT_EQ(ProgressPercent(1, 3), 33);
    EXPECT_EQ(ProgressPercent(INT64_MAX / 2, INT64_MAX), 49);
}

}  // namespace
}  // namespace qv::test
