#include "FileJobFixture.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <unistd.h>

#include "engine/ReadThread.h"
#include "job/JobReports.h"
#include "platform/Attributes.h"
#include "platform/DirSearch.h"
#include "platform/Files.h"

namespace qv::test {
namespace {

constexpr const char* kAbcCrc = "352441C2";
constexpr const char* kAbcMd5 = "900150983CD24FB0D6963F7D28E17F72";

std::string Pattern(size_t size)
{
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 131 + i / 977) & 0xFF);
    return bytes;
}

TEST_F(FileJobTest, FirstHashStoresRecordAndReportsTheFolder)
{
    const std::string path = MakeFile("sub/abc.txt", "abc");
    const int32_t index = Job().HashFile(path, false);
    ASSERT_GE(index, 0);
    const HistoryRecord& r = history.RecordAt(index);
    EXPECT_EQ(r.Crc, kAbcCrc);
    EXPECT_EQ(r.Md5, kAbcMd5);
    EXPECT_EQ(r.Size, 3);
    FoundEntry found;
    ASSERT_TRUE(FindPath(path, kAttrAny, found));
    EXPECT_EQ(r.FileTime, found.stamp);
    EXPECT_EQ(r.RegisteredAt, clock.Now());
    EXPECT_EQ(folders, std::vector<std::string>{dir.Path("sub")});
    EXPECT_EQ(control.opens.load(), 1);
    EXPECT_EQ(statuses.front(), "処理中");
    EXPECT_EQ(titles.back(), "Quenvarlith");
    EXPECT_EQ(progressMax, 1);
    EXPECT_FALSE(stop.Requested());
    EXPECT_TRUE(prompts.shown().empty());
    EXPECT_EQ(Job().LastOutcome().crc, kAbcCrc);
}

TEST_F(FileJobTest, CodesAreRightAcrossBankBoundaries)
{
    for (size_t size : {size_t{65536}, size_t{65537}, size_t{3 * 65536 + 5}, size_t{7 * 65536}}) {
        SCOPED_TRACE(size);
        const std::string bytes = Pattern(size);
        const std::string path = MakeFile(std::string("f").append(std::to_string(size)), bytes);
        std::string md5, crc;
        CodesOf(bytes, md5, crc);
        const int32_t index = Job().HashFile(path, false);
        ASSERT_GE(index, 0);
        EXPECT_EQ(history.RecordAt(index).Md5, md5);
        EXPECT_EQ(history.RecordAt(index).Crc, crc);
    }
    // One reader served the whole set.
    EXPECT_EQ(control.opens.load(), 4);
    EXPECT_TRUE(prompts.shown().empty());
}

TEST_F(FileJobTest, UnchangedFileIsTakenFromTheHistory)
{
    const std::string path = MakeFile("a.bin", "abc");
    const int32_t first = Job().HashFile(path, false);
    const double registered = history.RecordAt(first).RegisteredAt;
    clock.Advance(60000);
    const int32_t second = Job().HashFile(path, false);
    EXPECT_EQ(second, first);
    EXPECT_EQ(control.opens.load(), 1);
    EXPECT_FALSE(Job().LastOutcome().read);
    EXPECT_EQ(history.RecordAt(second).RegisteredAt, registered);
    EXPECT_EQ(Job().LastOutcome().md5, kAbcMd5);
    EXPECT_EQ(folders.size(), 1u);
}

TEST_F(FileJobTest, VerificationRereadsAndStoresADifferentResultWithoutReport)
{
    settings.verification = true;
    const std::string path = MakeFile("a.bin", "abc");
    const int32_t index = Job().HashFile(path, false);
    clock.Advance(60000);
    // Same size and stamp, other bytes: only a re-read can notice.
    MakeFile("a.bin", "xyz");
    EXPECT_EQ(Job().HashFile(path, false), index);
    EXPECT_EQ(control.opens.load(), 2);
    std::string md5, crc;
    CodesOf("xyz", md5, crc);
    EXPECT_EQ(history.RecordAt(index).Crc, crc);
    EXPECT_EQ(history.RecordAt(index).Md5, md5);
    EXPECT_EQ(history.RecordAt(index).RegisteredAt, clock.Now());
    EXPECT_TRUE(prompts.shown().empty());
    EXPECT_FALSE(stop.Requested());
}

TEST_F(FileJobTest, RecalculationMismatchReportsBothCodesAndStopsTheBatch)
{
    const std::string path = MakeFile("data/abc.txt", "abc");
    clock.SetNow(At(2024, 2, 1));   // registered at midnight: the time is left out
    const int32_t index = Job().HashFile(path, false);
    ASSERT_GE(index, 0);
    const HistoryRecord before = history.RecordAt(index);

    // The data now reads differently although the file looks the same.
    control.afterRead = [](const std::string&, uint8_t* data, uint32_t got, int) {
        if (got > 2) data[2] = 'd';
    };
    clock.SetNow(At(2024, 2, 3, 14, 7, 8));
    EXPECT_EQ(Job().HashFile(path, true), -1);

    std::string md5, crc;
    CodesOf("abd", md5, crc);
    const std::string expected =
        "Quenvarlith V1.08D エラー情報\r\r再計算で異なったハッシュデータを算出しました\r"
        "フォルダ\t\t" + dir.Path("data") + "/\r"
        "ファイル名\tabc.txt\r"
        "ファイルサイズ\t3byte\r"
        "更新日時\t2024/01/31 9:05:06\r"
        "CRC履歴値\t352441C2\r"
        "CRC算出値\t" + crc + "\r"
        "MD5履歴値\t900150983CD24FB0D6963F7D28E17F72\r"
        "MD5算出値\t" + md5 + "\r"
        "履歴日時\t2024/02/01\r"
        "現在日時\t2024/02/03 14:07:08\r\r"
        "CTRL+Cでクリップボードにコピー出来ます";
    ASSERT_EQ(prompts.shown().size(), 1u);
    EXPECT_EQ(prompts.shown()[0].text, expected);
    EXPECT_EQ(prompts.shown()[0].title, "Quenvarlith");
    EXPECT_EQ(prompts.beeps(), 1);
    EXPECT_EQ(fronts, 1);
    EXPECT_TRUE(stop.Requested());
    EXPECT_EQ(statuses.back(), "システムエラー 再計算で異なったハッシュデータを算出しました");
    EXPECT_EQ(history.RecordAt(index), before);
}

TEST_F(FileJobTest, RecalculationAfterAStampChangeRenewsWithoutComparing)
{
    const std::string path = MakeFile("a.bin", "abc");
    const int32_t index = Job().HashFile(path, false);
    MakeFile("a.bin", "xyz", LocalTime(2024, 3, 1, 8, 0, 0));
    clock.Advance(5000);
    EXPECT_EQ(Job().HashFile(path, true), index);
    std::string md5, crc;
    CodesOf("xyz", md5, crc);
    EXPECT_EQ(history.RecordAt(index).Md5, md5);
    EXPECT_EQ(history.RecordAt(index).FileTime, StampFromUnix(LocalTime(2024, 3, 1, 8, 0, 0)));
    EXPECT_EQ(history.RecordAt(index).RegisteredAt, clock.Now());
    EXPECT_TRUE(prompts.shown().empty());
    EXPECT_FALSE(stop.Requested());
}

TEST_F(FileJobTest, RecordWithoutCodesIsReadAgainInsteadOfShown)
{
    const std::string path = MakeFile("a.bin", "abc");
    FoundEntry found;
    ASSERT_TRUE(FindPath(path, kAttrAny, found));
    for (bool recalc : {false, true}) {
        SCOPED_TRACE(recalc);
        history.ClearHistory();
        history.Insert(path, HistoryRecord{3, found.stamp, 1.0, "", "352441C2"});
        const int32_t index = Job().HashFile(path, recalc);
        ASSERT_GE(index, 0);
        EXPECT_TRUE(Job().LastOutcome().read);
        EXPECT_EQ(history.RecordAt(index).Md5, kAbcMd5);
        EXPECT_EQ(history.RecordAt(index).RegisteredAt, clock.Now());
    }
    EXPECT_TRUE(prompts.shown().empty());
    EXPECT_FALSE(stop.Requested());
}

TEST_F(FileJobTest, EmptyFileIsHashedWithoutOpeningIt)
{
    const std::string path = MakeFile("empty", "");
    const int32_t index = Job().HashFile(path, false);
    ASSERT_GE(index, 0);
    EXPECT_EQ(history.RecordAt(index).Crc, "00000000");
    EXPECT_EQ(history.RecordAt(index).Md5, "D41D8CD98F00B204E9800998ECF8427E");
    EXPECT_EQ(control.opens.load(), 0);
    EXPECT_EQ(progressMax, 0);
}

TEST_F(FileJobTest, FileAppendedWhileReadKeepsStartSizeCodesThenReportsTheChange)
{
    const std::string original = Pattern(3 * 65536 + 100);
    const std::string path = MakeFile("grow.log", original);
    control.afterRead = [](const std::string& p, uint8_t*, uint32_t, int readIndex) {
        if (readIndex != 0) return;
        if (FILE* f = std::fopen(p.c_str(), "ab")) {
            std::fputs("more data appended", f);
            std::fclose(f);
        }
        TempDir::SetMtime(p, LocalTime(2024, 1, 31, 9, 6, 0));
    };
    const int32_t index = Job().HashFile(path, false);
    ASSERT_GE(index, 0);
    std::string md5, crc;
    CodesOf(original, md5, crc);
    EXPECT_EQ(history.RecordAt(index).Md5, md5);
    EXPECT_EQ(history.RecordAt(index).Crc, crc);
    EXPECT_EQ(history.RecordAt(index).Size, static_cast<int64_t>(original.size()));
    const std::string expected =
        "Quenvarlith V1.08D エラー情報\r\rハッシュ算出中にファイルが更新されました\r"
        "フォルダ\t\t" + dir.path() + "/\r"
        "ファイル名\tgrow.log\r"
        "ファイルサイズ\t196,708byte\r"
        "開始更新日時\t2024/01/31 9:05:06\r"
        "終了更新日時\t2024/01/31 9:06:00\r\r"
        "CTRL+Cでクリップボードにコピー出来ます";
    EXPECT_EQ(prompts.LastText(), expected);
    EXPECT_EQ(prompts.beeps(), 1);
    EXPECT_TRUE(stop.Requested());
}

TEST_F(FileJobTest, GrowthWithinOneStampStepIsStillAChange)
{
    const std::string path = MakeFile("grow.log", "abc");
    control.afterRead = [](const std::string& p, uint8_t*, uint32_t, int) {
        if (FILE* f = std::fopen(p.c_str(), "ab")) {
            std::fputs("d", f);
            std::fclose(f);
        }
        TempDir::SetMtime(p, LocalTime(2024, 1, 31, 9, 5, 6));
    };
    EXPECT_GE(Job().HashFile(path, false), 0);
    EXPECT_EQ(Job().LastOutcome().crc, kAbcCrc);
    EXPECT_EQ(prompts.shown().size(), 1u);
    EXPECT_TRUE(stop.Requested());
}

TEST_F(FileJobTest, FileGoneBeforeTheChangeCheckGivesAStatusText)
{
    const std::string path = MakeFile("gone.txt", "abc");
    control.afterRead = [](const std::string& p, uint8_t*, uint32_t, int) { ::unlink(p.c_str()); };
    const int32_t index = Job().HashFile(path, false);
    EXPECT_GE(index, 0);
    EXPECT_EQ(statuses.back(), kStatusVanished);
    EXPECT_TRUE(prompts.shown().empty());
    EXPECT_FALSE(stop.Requested());
}

TEST_F(FileJobTest, MissingFileOrFolderIsAnOpenError)
{
    for (const std::string& path : {dir.Path("missing"), dir.MakeFolder("folder")}) {
        SCOPED_TRACE(path);
        statuses.clear();
        EXPECT_EQ(Job().HashFile(path, false), -1);
        EXPECT_EQ(statuses, std::vector<std::string>{"ファイルオープンエラー"});
    }
    EXPECT_EQ(history.Count(), 0);
    EXPECT_FALSE(stop.Requested());
    EXPECT_TRUE(prompts.shown().empty());
}

TEST_F(FileJobTest, ReadFailureGivesThePlatformReportAndKeepsTheRecord)
{
    settings.ioTimeOut = 300;
    const std::string path = MakeFile("bad.bin", "abc");
    const int32_t index = Job().HashFile(path, false);
    const HistoryRecord before = history.RecordAt(index);
    control.readError = EIO;
    // A new reader replaces the one that ended on the error.
    EXPECT_EQ(Job().HashFile(path, true), index);
    EXPECT_EQ(Job().LastOutcome().code, EIO);
    const std::string expected =
        std::string("Quenvarlith V1.08D エラー情報\r\r読取り時にエラーを検出しました\r"
                    "フォルダ\t\t") + dir.path() + "/\r"
        "ファイル名\tbad.bin\r"
        "ファイルサイズ\t3byte\r"
        "更新日時\t2024/01/31 9:05:06\r"
        "エラー内容\t" + PlatformErrorText(EIO) + "(5)\r\r"
        "CTRL+Cでクリップボードにコピー出来ます";
    EXPECT_EQ(prompts.LastText(), expected);
    EXPECT_EQ(history.RecordAt(index), before);
    EXPECT_TRUE(stop.Requested());

    // Without a record nothing is created and the result is -1.
    stop.Clear();
    const std::string other = MakeFile("other.bin", "abc");
    EXPECT_EQ(Job().HashFile(other, false), -1);
    int32_t where = 0;
    EXPECT_FALSE(history.Find(other, where));
    EXPECT_TRUE(stop.Requested());
}

TEST_F(FileJobTest, ShortReadGivesTheEngineReportWithRecentFiles)
{
    settings.ioTimeOut = 300;
    const std::string first = MakeFile("one.bin", "12345678abc");
    const std::string second = MakeFile("two.bin", Pattern(200000));
    ASSERT_GE(Job().HashFile(first, false), 0);
    control.readCap = 1000;   // never a full bank, never the end: a short read
    EXPECT_EQ(Job().HashFile(second, false), -1);
    EXPECT_EQ(Job().LastOutcome().code, -4);
    const std::string expected =
        std::string("Quenvarlith V1.08D エラー情報\r\r読取り時にエラーを検出しました\r"
                    "フォルダ\t\t") + dir.path() + "/\r"
        "ファイル名\ttwo.bin\r"
        "ファイルサイズ\t200,000byte\r"
        "更新日時\t2024/01/31 9:05:06\r"
        "再試行回数\t4回\r"
        "バッファ０\t00 83 06 89 0C 8F 12 95 ..\r"
        "バッファ１\t" + Job().Engine().BankDump(1) + "..\r"
        "バッファ２\t" + Job().Engine().BankDump(2) + "..\r"
        "ファイル処理履歴\r" + second + "  \r" + first + "  \r  \r"
        "エラー内容\t読取りサイズ異常(-4)\r\r"
        "CTRL+Cでクリップボードにコピー出来ます";
    EXPECT_EQ(prompts.LastText(), expected);
    EXPECT_TRUE(stop.Requested());
}

TEST_F(FileJobTest, RecentFilesKeepsTheLastThreeNewestFirst)
{
    std::vector<std::string> paths;
    for (int i = 0; i < 4; ++i) paths.push_back(MakeFile(std::string("r").append(std::to_string(i)), "x"));
    for (const std::string& p : paths) Job().HashFile(p, false);
    const std::array<std::string, 3> expected{paths[3], paths[2], paths[1]};
    EXPECT_EQ(Job().RecentFiles(), expected);
    // A file taken from the history is not handed to the reader, so it does not count.
    Job().HashFile(paths[0], false);
    EXPECT_EQ(Job().RecentFiles(), expected);
}

TEST_F(FileJobTest, CancelDuringReadingWritesNoRecord)
{
    const std::string path = MakeFile("big.bin", Pattern(20 * 65536));
    Job();
    job->SetNextRefreshTime(0);   // the first bank refreshes at once
    onPump = [this] { stop.Request(); };
    EXPECT_EQ(job->HashFile(path, false), -1);
    EXPECT_EQ(history.Count(), 0);
    EXPECT_TRUE(job->LastOutcome().md5.empty());
    EXPECT_EQ(job->LastOutcome().code, 0);
    EXPECT_TRUE(prompts.shown().empty());
    EXPECT_EQ(pumps, 1);
    EXPECT_EQ(statuses[1], "処理中 1.3MB中 0.0MB (0%)");
}

TEST_F(FileJobTest, ProgressRefreshesOncePerPeriodNotPerBank)
{
    const std::string path = MakeFile("big.bin", Pattern(40 * 65536));
    Job().SetNextRefreshTime(clock.Tick() + 800);
    ASSERT_GE(Job().HashFile(path, false), 0);
    EXPECT_EQ(pumps, 0);   // the tick stood still: no refresh was due
    EXPECT_EQ(progressMax, 40);
}

TEST_F(FileJobTest, NewBankSizeTakesEffectAtTheNextBatch)
{
    const std::string bytes = Pattern(300000);
    const std::string path = MakeFile("f.bin", bytes);
    Job().BeginBatch();
    EngineSettings bigger = settings;
    bigger.bufferSize = 200000;   // rounds down to 196608
    bigger.verification = true;
    Job().SetEngineSettings(bigger);
    EXPECT_EQ(Job().Engine().BufferSize(), 65536);   // the running batch keeps its banks
    Job().EndBatch();
    Job().BeginBatch();
    EXPECT_EQ(Job().Engine().BufferSize(), 196608);
    ASSERT_GE(Job().HashFile(path, false), 0);
    EXPECT_EQ(progressMax, 2);
    std::string md5, crc;
    CodesOf(bytes, md5, crc);
    EXPECT_EQ(Job().LastOutcome().md5, md5);
    Job().EndBatch();
}

TEST_F(FileJobTest, BankCountOfTheLargestFileSizeDoesNotOverflow)
{
    // A sparse file on tmpfs may be as large as the size type allows.
    const std::string path = MakeFile("sparse.img", "x");
    FoundEntry found;
    ASSERT_TRUE(FindPath(path, kAttrAny, found));
    found.size = INT64_MAX;
    stop.Request();   // stop before the first bank: only the set-up is wanted
    Job().HashFoundFile(path, found, false);
    EXPECT_EQ(progressMax, INT64_MAX / 65536 + 1);
}

TEST_F(FileJobTest, UpdateFileProgressTextsAndPosition)
{
    queueLength = 3;
    const uint32_t next = Job().UpdateFileProgress(SizeClass::GB, 2147483648LL, 5000000000LL);
    EXPECT_EQ(statuses.back(), "処理中 4.7GB中 2.000GB (42%)");
    EXPECT_EQ(titles.back(), "残り3files - 58%");
    EXPECT_EQ(progressPositions.back(), 32768);
    EXPECT_EQ(next, clock.Tick() + 800);
    EXPECT_EQ(pumps, 1);

    Job().UpdateFileProgress(SizeClass::MB, 4718592, 12897485);
    EXPECT_EQ(statuses.back(), "処理中 12.3MB中 4.5MB (36%)");
    EXPECT_EQ(titles.back(), "残り3files - 64%");
    Job().UpdateFileProgress(SizeClass::KB, 0, 1000);
    EXPECT_EQ(statuses.back(), "処理中 1KB中 0.0KB (0%)");
    EXPECT_EQ(titles.back(), "残り3files - 100%");
}

TEST(JobTexts, SizeClassBoundaries)
{
    EXPECT_EQ(SizeClassOf(0), SizeClass::KB);
    EXPECT_EQ(SizeClassOf(1048575), SizeClass::KB);
    EXPECT_EQ(SizeClassOf(1048576), SizeClass::MB);
    EXPECT_EQ(SizeClassOf(1073741823), SizeClass::MB);
    EXPECT_EQ(SizeClassOf(1073741824), SizeClass::GB);
    EXPECT_EQ(SizeClassOf(5000000000LL), SizeClass::GB);
}

TEST(JobTexts, ErrorKindsByCode)
{
    // The codes are shown in the report beside the kind, so their values are part of it.
    const struct {
        EngineCode fault;
        int32_t code, banks;
        const char* text;
    } kinds[] = {
        {EngineCode::ReaderLockAbandoned, -1, 3, "読取部検出のミューテックス異常"},
        {EngineCode::ShortRead, -4, 3, "読取りサイズ異常"},
        {EngineCode::ReaderLockTimeout, -7, 3, "ハッシュ算出部のタイムアウト"},
        {EngineCode::BankEventFailed, -11, 3, "イベント異常"},
        {EngineCode::HashLockAbandoned, -14, 3, "ハッシュ算出部検出のミューテックス異常"},
        {EngineCode::FirstLockFailed, -17, 1, "ハッシュ算出部検出のミューテックス異常"},
        {EngineCode::ReaderNotIdle, -18, 1, "読取部アイドリング待ちタイムアウト"},
        {EngineCode::BankEventTimeout, -21, 3, "読取部タイムアウト"},
        {EngineCode::HashLockTimeout, -24, 3, "読取部メモリ開放エラー"},
    };
    for (const auto& kind : kinds) {
        EXPECT_EQ(CodeOf(kind.fault), kind.code);
        for (int n = 0; n < kind.banks; ++n) EXPECT_EQ(ErrorKindText(BankCode(kind.fault, n)), kind.text) << n;
    }
    for (const int32_t code : {0, 5, -10, -19, -20, -27, INT32_MIN}) EXPECT_EQ(ErrorKindText(code), "管理外エラー") << code;
}

TEST(JobTexts, PercentNeverDividesByZeroOrOverflows)
{
    EXPECT_EQ(ProgressPercent(0, 0), 100);
    EXPECT_EQ(ProgressPercent(1, 3), 33);
    EXPECT_EQ(ProgressPercent(INT64_MAX / 2, INT64_MAX), 49);
}

}  // namespace
}  // namespace qv::test
