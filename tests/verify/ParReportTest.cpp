// PAR 1.0 and PAR 2.0 reports: crafted files against golden reports; broken files, whose report
// ends where the data stops making sense; randomly damaged files; and the analysis of a chosen file.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <random>
#include <tuple>

#include "ParTestData.h"
#include "platform/Clock.h"
#include "platform/DateTime.h"
#include "platform/Paths.h"
#include "platform/Text.h"
#include "support/ScriptedPrompts.h"
#include "support/TempDir.h"
#include "verify/ParAnalysis.h"
#include "verify/ParReport.h"

namespace qv::test {
namespace {

using namespace std::string_literals;
using Texts = std::vector<std::string>;
const double kNow = EncodeDateTime({2024, 3, 5, 9, 7, 3});

ParReport Par1(const std::string& bytes) { return BuildParReport("/data/set.par", bytes, kNow); }
ParReport Par2(const std::string& bytes, bool extend = false)
{
    return BuildPar2Report("/p/set.par2", bytes, kNow, {extend});
}

// The report's lines from line `from` on, each ended by "\n".
std::string Text(const ParReport& report, size_t from = 0)
{
    std::string text;
    for (size_t i = from; i < report.lines.size(); ++i) text += report.lines[i] + "\n";
    return text;
}

Par1Entry Entry(std::u16string name, uint64_t status, int64_t size, uint8_t seed)
{
    return {status, size, Seq16(seed), Seq16(static_cast<uint8_t>(seed + 0x80)), std::move(name)};
}

TEST(ParReport, WellFormedFilesGiveTheGoldenReports)
{
    const auto golden = [](const char* name) {
        return TempDir::ReadFile(JoinPath(FolderOf(__FILE__), "golden/"s + name));
    };
    const std::string par1 = BuildPar1({{Entry(u"a.txt", 1, 1234567, 0x30), Entry(u"日本.bin", 3, 5000000000LL, 0x50),
                                         Entry(u"", 0, 1, 0), Entry(u"s2", 2, 3, 0),
                                         Entry(u"\U0001F600①", ~uint64_t{3}, 5, 0)},
                                        0, 100});
    EXPECT_EQ(Text(Par1(par1)), golden("par1.txt"));
    const ParReport par2 = Par2(Par2Sample(), true);
    EXPECT_EQ(Text(par2), golden("par2-extended.txt"));
    // Without the extension: the same lines less the main packets' five IDs and the two slice lines.
    EXPECT_EQ(Par2(Par2Sample()).lines.size(), par2.lines.size() - 7);
    // Text fields lose at most three padding zeros; zeros inside stay.
    EXPECT_EQ(Par2(Par2Packet("Creator", Seq16(0), "ab\0cd\0\0\0\0"s)).lines.at(7), std::string(17, ' ') + "ab\0cd\0"s);
}

TEST(ParReport, BrokenPar1FilesEndWhereTheDataStops)
{
    const std::string base = BuildPar1({{Entry(u"a", 1, 1, 0), Entry(u"b", 1, 2, 0)}});   // entries at 96, 154
    const std::string a = "000102030405060708090A0B0C0D0E0F 808182838485868788898A8B8C8D8E8F a - 1bytes";
    const std::string kShort = "<<< エラー：ファイルサイズが定義データより少ないので破損している可能性が有ります >>>";
    const std::string kLong =
        "<<< エラー：ファイルサイズが定義データより多いので余分なデータが含まれている可能性が有ります >>>";
    const std::string kColumns =
        "MD5 Hash                         16k MD5 Hash                     FileName - FileSize - Status";
    const auto lost = [](int64_t n) {
        return "<<< エラー：データはここまで " + std::to_string(n) + "個のデータを失いました >>>";
    };
    std::string odd = BuildPar1({{Entry(u"ab", 1, 9, 0)}}) + "c";   // the odd last byte has no partner
    odd = SetLe(SetLe(SetLe(odd, 96, 61, 8), 72, 61, 8), 80, 157, 8);
    const std::tuple<std::string, std::string, std::string> cases[] = {   // bytes, a line of the report, its last line
        {base.substr(0, 95), "FileSize = 95 bytes", "<<< エラー：ファイルサイズがヘッダ部基本領域以下です >>>"},
        {"PAR2\0PKT"s + base.substr(8), "",
         "<<< エラー：ヘッダ部の先頭ＩＤが一致しませんでした >>>   ID = 5041523200504B54"},
        {base + "junk", kLong, "End of 2 Files"},
        {base.substr(0, 211), kShort, lost(1)},
        {SetLe(base, 72, 100000, 8), kShort, "End of 2 Files"},   // the list's end counts too
        {SetLe(SetLe(base, 80, INT64_MAX, 8), 88, INT64_MAX, 8),   // sums beyond 64 bits
         "Start Offset of the Data      = 0x7FFFFFFFFFFFFFFF   Data Size      = 9,223,372,036,854,775,807\t- "
         "0x7FFFFFFFFFFFFFFF",
         "End of 2 Files"},
        // Entries that cannot be stepped over (size 0 with a count that would loop long), lists past the end.
        {SetLe(SetLe(base, 56, 0x7FFFFFFF, 8), 154, 0, 8), a, lost(0x7FFFFFFE)},
        {SetLe(base, 154, uint64_t{1} << 63, 8), a, lost(1)},
        {SetLe(base, 64, ~uint64_t{3}, 8), "", lost(2)},
        {SetLe(base, 56, 0, 8), "Number of Files = 0", kColumns},
        {SetLe(base, 56, 0xFFFFFFFF, 8), "Number of Files = -1", kColumns},
        {SetLe(base, 56, 0x500000001, 8), "Number of Files = 1", "End of 1 Files"},
        {odd, a.substr(0, 66) + "ab - 9bytes", "End of 1 Files"},
    };
    for (const auto& [bytes, line, last] : cases) {
        const ParReport r = Par1(bytes);
        EXPECT_NE(std::find(r.lines.begin(), r.lines.end(), line), r.lines.end()) << Text(r);
        EXPECT_EQ(r.lines.back(), last);
        EXPECT_EQ(r.success, r.lines.size() > 6) << last;   // the header was read
    }
    const std::pair<int64_t, const char*> volumes[] = {
        {0, "0   ( PAR"},   {1, "1   ( P01"},   {9, "9   ( P09"}, {10, "10   ( P10"},
        {99, "99   ( P99"}, {100, "100   ( Illegal Number 100"}, {-1, "-1   ( Illegal Number -1"}};
    for (const auto& [volume, text] : volumes)
        EXPECT_EQ(Par1(BuildPar1({{}, volume})).lines[8], "Volume Number   = "s + text + " File )");
    const std::pair<uint8_t, const char*> clients[] = {
        {1, "Mirror"}, {3, "SmartPAR"}, {254, "News?"}, {255, "FSRaid"}, {2, "undefined"}};
    for (const auto& [id, name] : clients)   // version bytes 200, 0, 255
        EXPECT_EQ(Par1(SetLe(BuildPar1({}), 12, 0xFF00C8 | uint64_t{id} << 24, 4)).lines[5],
                  "Created by "s + name + " V255.0.200");
}

TEST(ParReport, BrokenPar2FilesEndInLostData)
{
    const std::string set = Seq16(0xA0);
    const std::string good =
        Par2Packet("Main", set, Le(512, 8) + Le(1, 4) + Seq16(1)) + Par2Packet("Creator", set, "abc\0"s);
    // After the file's name and size: set ID, "", main, creator and its text, "", "End of Packet".
    const std::string walked = Text(Par2(good), 4);
    const std::string all = walked.substr(0, walked.size() - 15), main = walked.substr(0, walked.find("0000005C"));
    const std::pair<std::string, std::string> cases[] = {   // the bytes, the report's lines before the loss
        {good + "xyz", all}, {good + "PAR2\0PKT\x50"s, all}, {good.substr(0, good.size() - 1), main},
        {"not a parity file", "Recovery SetID = \n\n"}, {SetLe(good, 0x64, 63, 8), main},   // below the header
        {SetLe(good, 0x64, good.size() - 0x5C + 4, 8), main}};                                 // past the end
    for (const auto& [bytes, before] : cases)
        EXPECT_EQ(Text(Par2(bytes), 4), before + "... Lost Data\n\nEnd of Packet\n") << bytes.size();
    EXPECT_EQ(Text(Par2(SetLe(good, 12, 1, 4)), 4), walked);   // only the low 32 bits of the length count
}

// A parity file chosen by the user: size limit, whole-file read, report delivered with CR LF.
TEST(ParAnalysis, DeliversTheReportOrRefusesWithTheReason)
{
    ScriptedPrompts prompts;
    ManualClock clock(EncodeDateTime({2024, 2, 29, 13, 0, 9}));
    Texts delivered;
    int raised = 0;
    const auto analyze = [&](const std::string& path, int64_t limit) {
        const ParAnalysisContext c{prompts, clock, limit, true,
                                   [&](const std::string& text) { delivered.push_back(text); }, [&] { ++raised; }};
        return ParKindOfPath(path) == ParKind::Par2 ? AnalyzePar2File(path, c) : AnalyzeParFile(path, c);
    };
    TempDir dir;
    const std::string par1 = BuildPar1({{Entry(u"a.txt", 1, 10, 0x11)}}), cut = par1.substr(0, 95);
    const std::string par2 = Par2Packet("Main", Seq16(0xA0), Le(512, 8) + Le(1, 4) + Seq16(1));
    const int64_t size = static_cast<int64_t>(par1.size());
    const std::string p01 = dir.WriteFile("set.p01", par1), big = dir.WriteFile("set.PAR2", par2);
    EXPECT_TRUE(analyze(p01, size));   // exactly the limit
    EXPECT_TRUE(analyze(big, size));
    EXPECT_FALSE(analyze(dir.WriteFile("short.par", cut), size));   // delivered, but malformed
    EXPECT_EQ(delivered, (Texts{ParReportText(p01, par1, clock.Now(), {}),
                                ParReportText(big, par2, clock.Now(), {true}),
                                ParReportText(dir.Path("short.par"), cut, clock.Now(), {})}));
    EXPECT_TRUE(delivered[0].starts_with(
        "[ Quenvarlith V1.08D PAR File Analyze Report ] 2024/02/29 13;00:09\r\n\r\nFileName = " + p01 + "\r\n"));
    // Over the limit (also a limit gone negative, even for an empty file): the sizes, no report.
    prompts.SetDefaultAnswer(Answer::Ok);
    EXPECT_FALSE(analyze(p01, size - 1));
    EXPECT_FALSE(analyze(dir.WriteFile("empty.par2", ""), -1));
    EXPECT_EQ(raised, 2);
    EXPECT_EQ(prompts.MessageTexts(), (Texts{ParLimitMessage(size, size - 1), ParLimitMessage(0, -1)}));
    EXPECT_EQ(ParLimitMessage(5000000000LL, 2147483647),
              "<<< エラー：ファイルサイズがPARファイルの許容設定値を超えました >>>\r\r"
              "    ファイルサイズ :          5000000000 bytes\r    許容設定値     :          2147483647 bytes\r"
              "    ※正常なPARファイルでない恐れがあります※\r"
              "    必要ならIniファイルの\"Limit PAR FileSize\"の値を調整して下さい");
    // Missing, a folder, a FIFO, a device: never read; the path, then the reason on its own line.
    ASSERT_EQ(::mkfifo(dir.Path("p.par2").c_str(), 0600), 0);
    for (const auto& path : {dir.Path("none.par2"), dir.MakeFolder("x.par"), dir.Path("p.par2"), "/dev/zero"s}) {
        EXPECT_FALSE(analyze(path, 1 << 20));
        const std::string& text = prompts.LastText();
        EXPECT_TRUE(text.starts_with("ファイルを読み込めませんでした\r" + path + "\r") && !text.ends_with("\r"));
        EXPECT_EQ(prompts.shown().back().icon, BoxIcon::Error);
    }
}

// Whatever the bytes, a report ends in bounded size and stays valid UTF-8 (the sanitizer build
// checks every read).
TEST(ParFuzz, DamagedFilesEndSafely)
{
    const std::string seeds[] = {
        BuildPar1({{Entry(u"ファイル", 0, 1000, 1), Entry(std::u16string(40, u'x'), 3, 0, 2)}, 3, 300}), Par2Sample()};
    static constexpr uint64_t kExtremes[] = {0, 8, 55, 56, 63, 64, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFF, ~0ull};
    std::mt19937 rng(20240501);
    for (int round = 0; round < 4000; ++round) {
        const bool isPar2 = round % 2 == 1;
        std::string bytes = seeds[isPar2 != (round % 50 == 0)];   // now and then read as the other format
        // Header fields and packet lengths set to extreme values, bit flips, cuts.
        for (int k = static_cast<int>(rng() % 3); k >= 0; --k) {
            const size_t at = isPar2 ? bytes.find("PAR2\0PKT"s, rng() % (bytes.size() + 1)) + 8 : 48 + 8 * (rng() % 7);
            if (rng() % 2 && at + 8 <= bytes.size()) bytes = SetLe(bytes, at, kExtremes[rng() % 10], 8);
            else if (rng() % 2 && !bytes.empty()) bytes[rng() % bytes.size()] ^= static_cast<char>(1 << rng() % 8);
            else bytes.resize(rng() % (bytes.size() + 1));
        }
        const ParReport r = isPar2 ? Par2(bytes, round % 4 == 1) : Par1(bytes);
        ASSERT_TRUE(IsValidUtf8(JoinReportLines(r.lines))) << round;
        // Per 56-byte entry one line; per 64-byte packet at most four, plus one per ID or slice.
        ASSERT_LE(r.lines.size(), isPar2 ? 9 + 4 * (bytes.size() / 64) + bytes.size() / 16 : 20 + bytes.size() / 56);
        ASSERT_TRUE(!isPar2 || r.success == (r.lines[r.lines.size() - 3] != "... Lost Data")) << round;
    }
}

}  // namespace
}  // namespace qv::test
