#include <gtest/gtest.h>

#include <random>

#include "Encode.h"
#include "platform/Text.h"
#include "support/TempDir.h"
#include "verify/ComparisonFile.h"
#include "verify/Matching.h"

namespace qv {
namespace {

const std::string kCrc = "1A2B3C4D";
const std::string kMd5 = "00112233445566778899AABBCCDDEEFF";

TEST(MatchingPass, OutcomeTable)
{
    const MatchOptions all, noCrc{false, true, true}, noName{true, true, false};
    const auto match = Notification::Match, mismatch = Notification::Mismatch;
    struct Case {
        const char* what; std::string text; std::string crc; MatchOptions options; bool duplicate, cancelled;
        const char* status; std::vector<TextRange> marks; std::optional<Notification> sound;
    };
    const char* crcOnly = "ＣＲＣが一致しました";
    const Case cases[] = {
        {"lower-case text", "x 1a2b3c4d", kCrc, all, false, false, crcOnly, {{2, 8}}, match},
        {"lower-case code", "x 1A2B3C4D", "1a2b3c4d", all, false, false, crcOnly, {{2, 8}}, match},
        {"inside a longer run", "FFFF1A2B3C4DFFFF", kCrc, all, false, false, crcOnly, {{4, 8}}, match},
        {"twice", "1A2B3C4D\r\n1a2b3c4d", kCrc, all, false, false, crcOnly, {{0, 8}, {10, 8}}, match},
        {"never overlapping", "AAAAAAAAA", "AAAAAAAA", all, false, false, crcOnly, {{0, 8}}, match},
        {"CloseupCRC off", "1A2B3C4D", kCrc, noCrc, false, false, crcOnly, {}, match},
        {"name only", "a.bin 0000", kCrc, all, false, false, "クリップボードに一致したコードは有りません", {{0, 5}}, mismatch},
        {"name marks off", "a.bin 1A2B3C4D", kCrc, noName, false, false, crcOnly, {{6, 8}}, match},
        {"duplicate shown", kMd5 + " 1A2B3C4D", kCrc, all, true, false, "ＣＲＣとＭＤ５が一致しました", {{0, 32}, {33, 8}}, Notification::Duplicate},
        {"md5 only", kMd5, kCrc, all, false, false, "ＭＤ５が一致しました", {{0, 32}}, match},
        {"crc inside md5", kMd5, "44556677", all, false, false, "ＣＲＣとＭＤ５が一致しました", {{0, 32}}, match},
        {"cancelled", "1A2B3C4D", kCrc, all, true, true, "ハッシュ計算は中止されました", {{0, 8}}, match},
        {"empty viewer", "", kCrc, all, true, false, "検査対象ファイルを読込ませて下さい", {}, std::nullopt},
        {"no result", "1A2B3C4D", "", all, false, false, "検査対象ファイルを読込ませて下さい", {}, std::nullopt},
    };
    for (const Case& c : cases) {
        const MatchOutcome out = MatchComparisonText(ComparisonText(c.text), {c.crc, kMd5, "a.bin", c.cancelled, c.duplicate}, c.options);
        EXPECT_EQ(std::tie(out.status, out.textMarks, out.sound, out.ran, out.clearResult),
                  std::tuple(c.status, c.marks, c.sound, c.sound.has_value(), c.cancelled)) << c.what;
    }
}

TEST(MatchingPass, MarksInDocumentPositions)
{
    const ComparisonText text("表😀\r\n1a2b3c4d ＡＢ a.bin");
    const MatchOutcome out = MatchComparisonText(text, {kCrc, kMd5, "a.bin"}, {});
    EXPECT_EQ(out.marks, (std::vector<DocRange>{{4, 8}, {16, 5}}));
    EXPECT_EQ(MatchStatus(text, kCrc, kMd5), "ＣＲＣが一致しました");
}

// Lists written in three layouts and four encodings by the test's own generator; every file's
// codes and name are found again once the list is read back.
TEST(MatchingRoundTrip, ListLayoutsAndEncodings)
{
    struct Entry { std::string name, crc, md5; };
    std::mt19937 rng(42);
    auto hex = [&](int n) {
        std::string s;
        while (n-- > 0) s += "0123456789ABCDEF"[rng() % 16];
        return s;
    };
    std::vector<Entry> entries;
    for (const char* n : {"表示.txt", "ソフト_1.bin", "data 2.iso", "ﾃｽﾄ.dat"}) entries.push_back({n, hex(8), hex(32)});

    struct Layout { const char* name; bool crc, md5; std::string (*line)(const Entry&); };
    const Layout layouts[] = {
        {"md5sum", false, true, [](const Entry& e) { return AsciiLower(e.md5) + "  " + e.name + "\n"; }},
        {"sfv", true, false, [](const Entry& e) { return e.name + " " + e.crc + "\r\n"; }},
        {"csv", true, true, [](const Entry& e) { return "\"" + e.name + "\",1024," + e.crc + "," + e.md5 + "\r\n"; }},
    };
    const std::pair<const char*, std::string (*)(std::string_view)> encodings[] = {
        {"utf-8", [](std::string_view s) { return std::string(s); }},
        {"cp932", [](std::string_view s) { return test::Encode(s, "CP932"); }},
        {"utf-16le", test::Utf16Le},
        {"utf-16be", test::Utf16Be},
    };
    TempDir dir;
    for (const Layout& layout : layouts) {
        std::string list = "; generated list\r\n";
        for (const Entry& e : entries) list += layout.line(e);
        for (const auto& [encoding, encode] : encodings) {
            const std::string where = std::string(layout.name) + "." + encoding;
            const ListText loaded = LoadComparisonFile(dir.WriteFile(where + ".txt", encode(list)), kListByteLimit, 5000000);
            const ComparisonText text(loaded.text);
            for (const Entry& e : entries) {
                const MatchOutcome out = MatchComparisonText(text, {e.crc, e.md5, e.name}, {});
                EXPECT_EQ(std::pair(out.crcFound, out.md5Found), std::pair(layout.crc, layout.md5))
                    << where << " " << e.name;
                EXPECT_TRUE(std::any_of(out.textMarks.begin(), out.textMarks.end(), [&](const TextRange& r) {
                    return text.Text().compare(r.start, r.length, e.name) == 0;
                })) << where << " " << e.name;
            }
            EXPECT_FALSE(MatchComparisonText(text, {"DEADBEEF", std::string(32, 'E'), "x"}, {}).crcFound) << where;
        }
    }
}

}  // namespace
}  // namespace qv
