// The comparison text: decoding, positions, and the viewer's code walk, find and popup rules.
#include <gtest/gtest.h>

#include <random>

#include "Encode.h"
#include "platform/Text.h"
#include "verify/ComparisonText.h"
#include "verify/ViewerNavigation.h"

namespace qv {
namespace {

// Byte offsets <-> document positions over a long text crossing many checkpoints, against
// positions counted piece by piece: CR LF and a bare LF are one position, U+1F600 two.
TEST(ComparisonTextPositions, ConvertExactlyBothWays)
{
    struct Piece { std::string_view bytes; int units; };
    const Piece pieces[] = {{"a", 1}, {"\r\n", 1}, {"\xF0\x9F\x98\x80", 2}, {"全", 1}, {"\n", 1}, {"\t", 1}};
    std::mt19937 rng(7);
    std::string s;
    std::vector<TextRange> ranges;
    std::vector<DocRange> expected;
    for (int n = 0, units = 0; n < 60000; ++n) {
        const Piece& p = pieces[rng() % std::size(pieces)];
        ranges.push_back({s.size(), p.bytes.size()});
        expected.push_back({units, p.units});
        s += p.bytes;
        units += p.units;
    }
    const ComparisonText text(s);
    EXPECT_EQ(text.ToDocumentRanges(ranges), expected);
    for (size_t i = 0; i < ranges.size(); i += 97) {
        EXPECT_EQ(text.TextOffset(expected[i].start), ranges[i].start) << i;
        // Inside a surrogate pair: the pair's start; after a CR LF: behind its LF.
        EXPECT_EQ(text.TextOffset(expected[i].start + expected[i].length - 1), ranges[i].start) << i;
        EXPECT_EQ(text.DocumentPosition(ranges[i].start + ranges[i].length), expected[i].start + expected[i].length) << i;
    }
    EXPECT_EQ(text.TextOffset(1 << 30), s.size());
    const std::vector<TextRange> backwards(ranges.rbegin(), ranges.rbegin() + 500);
    EXPECT_EQ(text.ToDocumentRanges(backwards).back(), expected[expected.size() - 500]);
}

TEST(ComparisonTextShape, LineBreaksAndViewerLength)
{
    EXPECT_EQ(NormalizeLineBreaks("a\nb\rc\r\n\r\nd", true), "a\r\nb\r\nc\r\n\r\nd\r\n");
    EXPECT_EQ(ClipboardComparisonText(std::string_view("a\nb\0c", 5), 100), "a\r\nb");
    struct Row { std::string text; int64_t max; std::string kept; };
    const Row rows[] = {
        {"abcdef", 4, "abcd"},   {"ab\r\ncd", 3, "ab"} /* never half a line break */, {"ab\r\ncd", 4, "ab\r\n"},
        {"a\xF0\x9F\x98\x80z", 2, "a"} /* nor half a surrogate pair */, {"全角ＡＢ", 3, "全角Ａ"},
        {"abc", 0, "abc"} /* no limit */,
    };
    for (const Row& r : rows) EXPECT_EQ(FitToViewerLength(r.text, r.max), r.kept) << r.text << " " << r.max;
}

TEST(ComparisonTextDecode, EncodingsAndZeroBytes)
{
    const std::string jp = "表示 ソフト 1A2B3C4D";   // 表 and ソ carry a 0x5C trail byte in CP932
    struct Row { const char* what; std::string bytes; std::string text; };
    const Row rows[] = {
        {"utf-8", jp + "\nx", jp + "\r\nx\r\n"},
        {"utf-8 mark", "\xEF\xBB\xBF" + jp, jp + "\r\n"},
        {"cp932", test::Encode(jp + "\r\n", "CP932"), jp + "\r\n"},
        {"invalid cp932", "ok\x81\xFF", "ok\xEF\xBF\xBD\xEF\xBF\xBD\r\n"},
        {"utf-16le", test::Utf16Le(jp + "\r\n😀"), jp + "\r\n😀\r\n"},
        {"utf-16be", test::Utf16Be(jp + "\n"), jp + "\r\n"},
        {"utf-16 nul", test::Utf16Le("ab") + std::string(2, '\0') + test::Encode("cd", "UTF-16LE"), "ab\r\n"},
        {"utf-16 no mark", test::Encode("ab", "UTF-16LE"), "a\r\n"},   // ends at the first zero byte
        {"nul", std::string("abc\0def", 7), "abc\r\n"},
        {"binary", std::string("\0\x01\x02", 3), ""},
    };
    for (const Row& r : rows) EXPECT_EQ(DecodeComparisonBytes(r.bytes), r.text) << r.what;
    EXPECT_EQ(ComparisonText("a\xFF" "b").Text(), "a\xEF\xBF\xBD" "b");
}

// Any bytes give well-formed text (valid UTF-8, no NUL, CR LF breaks only) whose character
// starts survive the trip to document positions and back.
TEST(ComparisonTextDecode, RandomBytesGiveWellFormedText)
{
    std::mt19937 rng(3);
    const std::string marks[] = {"", "\xFF\xFE", "\xFE\xFF", "\xEF\xBB\xBF"};
    for (int n = 0; n < 3000; ++n) {
        std::string bytes = marks[n % 4];
        for (size_t i = rng() % 300; i > 0; --i) bytes += static_cast<char>(rng() % 3 ? rng() % 256 : "\r\na\x83\x81\xD8"[rng() % 6]);
        const ComparisonText text(DecodeComparisonBytes(bytes));
        const std::string& t = text.Text();
        ASSERT_TRUE(IsValidUtf8(t)) << n;
        ASSERT_EQ(t.find('\0'), std::string::npos) << n;
        ASSERT_NE(t[0], '\n') << n;
        for (size_t i = 0; i < t.size(); ++i) {
            ASSERT_EQ(t[i] == '\r', t[i + 1] == '\n') << n;   // every CR before an LF, every LF after a CR
            // Each character start (an LF belongs to its CR) survives the trip to a position and back.
            ASSERT_TRUE((t[i] & 0xC0) == 0x80 || t[i] == '\n' || text.TextOffset(text.DocumentPosition(i)) == i) << n;
        }
    }
}


const std::string kMd5 = "0123456789abcdef0123456789ABCDEF";
// Name, CRC and MD5 per line; a 9- and a 16-digit run and full-width text in between.
const std::string kList = "file1.bin 1A2B3C4D " + kMd5 + "\r\n" +   // CRC at 10, MD5 at 19
                          "123456789 0123456789ABCDEF 全角\r\n" +
                          "file2.bin CAFEBABE x\r\n" +                // CRC at 98
                          "DEADBEEF";                                 // 110, runs into the end

TEST(ViewerNavigation, TabAndShiftTab)
{
    struct Row { size_t start, length; TextRange next, previous; };
    const Row rows[] = {
        {0, 0, {10, 8}, {}},
        {10, 8, {19, 32}, {}},
        {19, 32, {98, 8}, {10, 8}},          // the 9- and 16-digit runs are skipped
        {98, 8, {}, {19, 32}},               // the last code has nothing after it
        {kList.size(), 0, {}, {110, 8}},     // but is reached backwards
        {9, 0, {10, 8}, {}},
    };
    for (const Row& r : rows) {
        const CodeSelection next = SelectNextCode(kList, r.start, r.length);
        const CodeSelection previous = SelectPreviousCode(kList, r.start);
        EXPECT_EQ(std::tie(next.found, next.range), std::tuple(r.next.length > 0, r.next)) << r.start;
        EXPECT_EQ(std::tie(previous.found, previous.range), std::tuple(r.previous.length > 0, r.previous)) << r.start;
    }
    EXPECT_EQ(SelectNextCode("1A2B3C4D ", 0, 0).range, (TextRange{0, 8}));
    EXPECT_EQ(SelectPreviousCode("1A2B3C4D x", 9).range, (TextRange{0, 8}));   // code at the very start
    EXPECT_FALSE(SelectNextCode("", 0, 0).found || SelectPreviousCode("", 0).found);
}

TEST(ViewerNavigation, FindWrapsAround)
{
    const ComparisonText text("md5 " + kMd5 + "\r\nagain " + kMd5);
    FindResult f;
    const TextRange walk[] = {{4, 32}, {44, 32}, {4, 32}};   // the third jumps back to the top
    for (size_t i = 0, selection = 0; i < 3; ++i, selection = f.range.start) {
        f = FindInViewer(text, kMd5, selection);
        EXPECT_EQ(std::tie(f.range, f.scrollToTop), std::tuple(walk[i], i == 2)) << i;
    }
    EXPECT_EQ(f.status, "見つかりました 検索キー:" + kMd5);
    EXPECT_EQ(FindInViewer(text, "MD5", 0).range, (TextRange{0, 3}));   // letter case ignored
    for (const char* key : {"", "FFFFFFFF"}) {
        f = FindInViewer(text, key, 0);
        EXPECT_EQ(std::tie(f.found, f.status), std::tuple(false, std::string("見つかりませんでした 検索キー:") + key));
    }
}

TEST(ViewerNavigation, PopupEnablingRules)
{
    struct Row { std::string selected; bool copy, logSearch; };
    const Row rows[] = {
        {"", false, false},        {"1a2b3c4d", true, true},   {"1a2b3g4d", true, false}, {kMd5, true, true},
        {"1a2b3c4d ", true, false}, {"123456789", true, false}, {"１２３４５６７８", true, false},
    };
    for (const Row& r : rows) {
        const auto popup = ClipViewerSelectionChange(r.selected);
        EXPECT_EQ(std::pair(popup.copyEnabled, popup.logSearchEnabled), std::pair(r.copy, r.logSearch)) << r.selected;
    }
}

}  // namespace
}  // namespace qv
