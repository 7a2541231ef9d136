#include <gtest/gtest.h>

#include "ParTestData.h"
#include "platform/DateTime.h"
#include "verify/ParReport.h"

namespace qv {
namespace {

using test::BuildPar1;
using test::Hex;
using test::Par1Entry;
using test::Par1File;
using test::Seq16;
using test::SetLe;

// Computed on use: date conversions are not ready during static initialisation.
double Now() { return EncodeDateTime({2024, 3, 5, 9, 7, 3}); }
constexpr const char* kTitle = "[ Quenvarlith V1.08D PAR File Analyze Report ] 2024/03/05 09;07:03";
constexpr const char* kColumns =
    "MD5 Hash                         16k MD5 Hash                     FileName - FileSize - Status";

Par1Entry Entry(std::u16string name, uint64_t status, int64_t size, uint8_t seed)
{
    Par1Entry e;
    e.name = std::move(name);
    e.status = status;
    e.fileSize = size;
    e.md5 = Seq16(seed);
    e.md5First16k = Seq16(static_cast<uint8_t>(seed + 0x80));
    return e;
}

std::string EntryPrefix(uint8_t seed)
{
    return Hex(Seq16(seed)) + " " + Hex(Seq16(static_cast<uint8_t>(seed + 0x80))) + " ";
}

TEST(Par1Report, WellFormedFileGivesEveryLine)
{
    Par1File file;
    file.client = 3;
    file.version[0] = 4;   // printed last: b14.b13.b12
    file.version[1] = 2;
    file.version[2] = 1;
    file.entries = {Entry(u"a.txt", 1, 1234567, 0x30), Entry(u"日本.bin", 3, 5000000000LL, 0x50)};
    file.dataLength = 100;
    const std::string bytes = BuildPar1(file);
    ASSERT_EQ(bytes.size(), 330u);

    const ParReport r = BuildParReport("/data/set.par", bytes, Now());
    const std::vector<std::string> expected = {
        kTitle,
        "",
        "FileName = /data/set.par",
        "FileSize = 330 bytes",
        "",
        "Created by SmartPAR V1.2.4",
        "Control Hash    = 101112131415161718191A1B1C1D1E1F",
        "Set Hash        = 202122232425262728292A2B2C2D2E2F",
        "Volume Number   = 0   ( PAR File )",
        "Number of Files = 2",
        "Start Offset of the File List = 0x00000060   File List Size = 134\t- 0x00000086",
        "Start Offset of the Data      = 0x000000E6   Data Size      = 100\t- 0x00000064",
        "",
        kColumns,
        EntryPrefix(0x30) + "a.txt - 1234567bytes",
        EntryPrefix(0x50) + "日本.bin - 5000000000bytes - already checked",
        "End of 2 Files",
    };
    EXPECT_EQ(r.lines, expected);
    EXPECT_TRUE(r.success);
    // The column header's columns start where the entry line's fields do.
    EXPECT_EQ(std::string(kColumns).find("16k"), 33u);
    EXPECT_EQ(std::string(kColumns).find("FileName"), 66u);
}

TEST(Par1Report, TooShortOrWrongIdEndsAfterTheErrorLine)
{
    const std::string valid = BuildPar1(Par1File{});
    const ParReport shortFile = BuildParReport("x.par", valid.substr(0, 95), Now());
    EXPECT_EQ(shortFile.lines, (std::vector<std::string>{kTitle, "", "FileName = x.par", "FileSize = 95 bytes", "",
                                                         "<<< エラー：ファイルサイズがヘッダ部基本領域以下です >>>"}));
    EXPECT_FALSE(shortFile.success);

    const ParReport empty = BuildParReport("x.par", "", Now());
    EXPECT_EQ(empty.lines.back(), "<<< エラー：ファイルサイズがヘッダ部基本領域以下です >>>");
    EXPECT_FALSE(empty.success);

    std::string wrong = valid;
    wrong.replace(0, 8, std::string("PAR2\0PKT", 8));
    const ParReport wrongId = BuildParReport("x.par", wrong, Now());
    ASSERT_EQ(wrongId.lines.size(), 6u);
    EXPECT_EQ(wrongId.lines[3], "FileSize = 96 bytes");
    EXPECT_EQ(wrongId.lines[5], "<<< エラー：ヘッダ部の先頭ＩＤが一致しませんでした >>>   ID = 5041523200504B54");
    EXPECT_FALSE(wrongId.success);

    // Exactly the header, no entries: a complete report.
    const ParReport headerOnly = BuildParReport("x.par", valid, Now());
    EXPECT_TRUE(headerOnly.success);
    EXPECT_EQ(headerOnly.lines.back(), kColumns);
}

TEST(Par1Report, VolumeNamesAndClientNames)
{
    const std::pair<int64_t, const char*> volumes[] = {
        {0, "0   ( PAR File )"}, {1, "1   ( P01 File )"}, {3, "3   ( P03 File )"}, {9, "9   ( P09 File )"},
        {10, "10   ( P10 File )"}, {12, "12   ( P12 File )"}, {99, "99   ( P99 File )"},
        {100, "100   ( Illegal Number 100 File )"}, {150, "150   ( Illegal Number 150 File )"},
        {-1, "-1   ( Illegal Number -1 File )"}};
    for (const auto& [volume, text] : volumes) {
        Par1File file;
        file.volume = volume;
        EXPECT_EQ(BuildParReport("v.p01", BuildPar1(file), Now()).lines[8], std::string("Volume Number   = ") + text);
    }
    const std::pair<uint8_t, const char*> clients[] = {
        {1, "Mirror"}, {3, "SmartPAR"}, {254, "News?"}, {255, "FSRaid"}, {0, "undefined"}, {2, "undefined"}};
    for (const auto& [id, name] : clients) {
        Par1File file;
        file.client = id;
        file.version[0] = 200;
        file.version[1] = 0;
        file.version[2] = 255;
        EXPECT_EQ(BuildParReport("v.par", BuildPar1(file), Now()).lines[5],
                  std::string("Created by ") + name + " V255.0.200");
    }
}

TEST(Par1Report, StatusBitsGiveTheirWords)
{
    Par1File file;
    file.entries = {Entry(u"s0", 0, 1, 0), Entry(u"s1", 1, 2, 0), Entry(u"s2", 2, 3, 0), Entry(u"s3", 3, 4, 0),
                    Entry(u"high", 0xFFFFFFFFFFFFFFFCULL, 5, 0)};
    const ParReport r = BuildParReport("s.par", BuildPar1(file), Now());
    ASSERT_EQ(r.lines.size(), 20u);
    EXPECT_EQ(r.lines[14], EntryPrefix(0) + "s0 - 1bytes - not recoverble");
    EXPECT_EQ(r.lines[15], EntryPrefix(0) + "s1 - 2bytes");
    EXPECT_EQ(r.lines[16], EntryPrefix(0) + "s2 - 3bytes - not recoverble - already checked");
    EXPECT_EQ(r.lines[17], EntryPrefix(0) + "s3 - 4bytes - already checked");
    EXPECT_EQ(r.lines[18], EntryPrefix(0) + "high - 5bytes - not recoverble");
    EXPECT_EQ(r.lines[19], "End of 5 Files");
}

TEST(Par1Report, SizeWarningsCompareTheDefinedEndWithTheFile)
{
    Par1File file;
    file.entries = {Entry(u"a", 1, 10, 0)};
    file.dataLength = 16;
    const std::string exact = BuildPar1(file);
    const char* kShort = "<<< エラー：ファイルサイズが定義データより少ないので破損している可能性が有ります >>>";
    const char* kLong = "<<< エラー：ファイルサイズが定義データより多いので余分なデータが含まれている可能性が有ります >>>";

    EXPECT_EQ(BuildParReport("a.par", exact, Now()).lines[12], "");
    const ParReport padded = BuildParReport("a.par", exact + "junk", Now());
    EXPECT_EQ(padded.lines[12], kLong);
    EXPECT_EQ(padded.lines[13], "");
    EXPECT_TRUE(padded.success);
    const ParReport cut = BuildParReport("a.par", exact.substr(0, exact.size() - 1), Now());
    EXPECT_EQ(cut.lines[12], kShort);
    EXPECT_TRUE(cut.success);

    // The list end counts too when it lies beyond the data end.
    std::string listBeyond = exact;
    SetLe(listBeyond, 72, 100000, 8);
    EXPECT_EQ(BuildParReport("a.par", listBeyond, Now()).lines[12], kShort);
    // Offsets whose sums leave the 64-bit range are still compared soundly.
    std::string huge = exact;
    SetLe(huge, 80, 0x7FFFFFFFFFFFFFFFULL, 8);
    SetLe(huge, 88, 0x7FFFFFFFFFFFFFFFULL, 8);
    const ParReport hugeReport = BuildParReport("a.par", huge, Now());
    EXPECT_EQ(hugeReport.lines[11],
              "Start Offset of the Data      = 0x7FFFFFFFFFFFFFFF   Data Size      = 9,223,372,036,854,775,807\t- "
              "0x7FFFFFFFFFFFFFFF");
    EXPECT_EQ(hugeReport.lines[12], kShort);
}

TEST(Par1Report, ListRunningPastTheEndReportsTheLostEntries)
{
    Par1File file;
    for (int i = 0; i < 10; ++i) file.entries.push_back(Entry(u"file" + std::u16string(1, u'0' + i), 1, i, 0x10));
    const std::string full = BuildPar1(file);
    const size_t entrySize = 56 + 5 * 2;
    // Cut the file in the middle of the third entry.
    const std::string cut = full.substr(0, 96 + 2 * entrySize + 30);
    const ParReport r = BuildParReport("ten.par", cut, Now());
    ASSERT_EQ(r.lines.size(), 18u);
    EXPECT_EQ(r.lines[9], "Number of Files = 10");
    EXPECT_EQ(r.lines[12], "<<< エラー：ファイルサイズが定義データより少ないので破損している可能性が有ります >>>");
    EXPECT_EQ(r.lines[15], EntryPrefix(0x10) + "file0 - 0bytes");
    EXPECT_EQ(r.lines[16], EntryPrefix(0x10) + "file1 - 1bytes");
    EXPECT_EQ(r.lines[17], "<<< エラー：データはここまで 8個のデータを失いました >>>");
    EXPECT_TRUE(r.success);
    // An entry ending exactly at the end of the file is still whole.
    const ParReport whole = BuildParReport("ten.par", full, Now());
    EXPECT_EQ(whole.lines.back(), "End of 10 Files");
}

TEST(Par1Report, EntriesThatCannotBeSteppedOverEndTheList)
{
    Par1File file;
    file.entries = {Entry(u"a", 1, 1, 0), Entry(u"b", 1, 2, 0)};
    const std::string base = BuildPar1(file);
    const size_t second = 96 + 58;
    const auto lostLine = [](int count) {
        return "<<< エラー：データはここまで " + std::to_string(count) + "個のデータを失いました >>>";
    };

    // Size 0 with a huge file count: must not repeat the entry forever.
    std::string zero = base;
    SetLe(zero, 56, 0x7FFFFFFF, 8);
    SetLe(zero, second, 0, 8);
    ParReport r = BuildParReport("z.par", zero, Now());
    EXPECT_EQ(r.lines.back(), lostLine(0x7FFFFFFF - 1));
    EXPECT_EQ(r.lines.size(), 16u);

    // Shorter than the fixed part, "negative", and past the end.
    for (uint64_t size : {uint64_t{8}, uint64_t{55}, ~uint64_t{0}, uint64_t{0x8000000000000000ULL}, uint64_t{1000}}) {
        std::string bad = base;
        SetLe(bad, second, size, 8);
        r = BuildParReport("b.par", bad, Now());
        EXPECT_EQ(r.lines.back(), lostLine(1)) << size;
        EXPECT_EQ(r.lines[r.lines.size() - 2], EntryPrefix(0) + "a - 1bytes");
    }

    // List offsets at, near and past the end of the file, and far beyond 64-bit sums.
    for (uint64_t offset : {uint64_t{base.size()}, uint64_t{base.size() - 4}, uint64_t{base.size() + 1},
                            ~uint64_t{0} - 3}) {
        std::string bad = base;
        SetLe(bad, 64, offset, 8);
        r = BuildParReport("o.par", bad, Now());
        EXPECT_EQ(r.lines.back(), lostLine(2)) << offset;
    }

    // A count of 0 or a negative low half gives no entry lines and no end line; the high half
    // of the count is not used.
    std::string counts = base;
    SetLe(counts, 56, 0, 8);
    EXPECT_EQ(BuildParReport("c.par", counts, Now()).lines.back(), kColumns);
    SetLe(counts, 56, 0xFFFFFFFF, 8);
    r = BuildParReport("c.par", counts, Now());
    EXPECT_EQ(r.lines[9], "Number of Files = -1");
    EXPECT_EQ(r.lines.back(), kColumns);
    SetLe(counts, 56, 0x0000000500000001ULL, 8);
    r = BuildParReport("c.par", counts, Now());
    EXPECT_EQ(r.lines[9], "Number of Files = 1");
    EXPECT_EQ(r.lines.back(), "End of 1 Files");
}

TEST(Par1Report, NamesAreUtf16WithAnOddLastByteLeftOut)
{
    Par1File file;
    file.entries = {Entry(u"ファイル①.txt", 1, 7, 0), Entry(u"\U0001F600x", 1, 8, 0)};
    std::string bytes = BuildPar1(file);
    ParReport r = BuildParReport("n.par", bytes, Now());
    EXPECT_EQ(r.lines[14], EntryPrefix(0) + "ファイル①.txt - 7bytes");
    EXPECT_EQ(r.lines[15], EntryPrefix(0) + "\U0001F600x - 8bytes");

    // An odd name length: the last entry's half unit has no partner inside the file.
    Par1File odd;
    odd.entries = {Entry(u"ab", 1, 9, 0)};
    std::string oddBytes = BuildPar1(odd) + "c";
    SetLe(oddBytes, 96, 56 + 5, 8);
    SetLe(oddBytes, 72, 61, 8);
    SetLe(oddBytes, 80, 96 + 61, 8);
    r = BuildParReport("odd.par", oddBytes, Now());
    EXPECT_EQ(r.lines[12], "");
    EXPECT_EQ(r.lines[14], EntryPrefix(0) + "ab - 9bytes");
    EXPECT_EQ(r.lines[15], "End of 1 Files");
}

}  // namespace
}  // namespace qv
