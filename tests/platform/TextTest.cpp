#include "platform/Text.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace qv {
namespace {

using namespace std::string_literals;
const std::string R = "\xEF\xBF\xBD";   // U+FFFD

using Cases = std::initializer_list<std::pair<std::string, std::string>>;

void ExpectEach(std::string (*convert)(std::string_view), Cases cases)
{
    for (const auto& [in, out] : cases) EXPECT_EQ(convert(in), out) << in;
}

TEST(Utf8, ValidOnlyWhenEverySequenceIsShortestFormAndInRange)
{
    for (const std::string& text : {""s, "plain ASCII"s, "履歴データ"s, "\xF0\x9F\x98\x80"s, "\xF4\x8F\xBF\xBF"s,
                                    "\xEE\x80\x80"s, "a\0b"s})
        EXPECT_TRUE(IsValidUtf8(text)) << text;
    // Overlong forms, surrogates, beyond U+10FFFF, five bytes, cut short, stray or CP932 bytes.
    for (const char* text : {"\xC0\xAF", "\xC1\xBF", "\xE0\x80\xAF", "\xF0\x80\x80\xAF", "\xED\xA0\x80", "\xED\xBF\xBF",
                             "\xF4\x90\x80\x80", "\xF8\x88\x80\x80\x80", "\xE3\x81", "\x80", "a\xE3\x41\x82",
                             "\x82\xA0"})
        EXPECT_FALSE(IsValidUtf8(text)) << text;
    ExpectEach(Utf8WithReplacements, {{"履歴", "履歴"}, {"a\xE3\x81z", "a" + R + "z"}, {"\x80\x80", R + R},
                                      {"\xED\xA0\x80!", R + "!"}, {"\xC0\xAF", R}, {"\xFF" "a", R + "a"}});
}

TEST(Cp932, DecodesJapaneseTextAndReplacesBrokenBytes)
{
    ExpectEach(Cp932ToUtf8, {{"\x82\xA0", "あ"}, {"\xB1", "ｱ"}, {"abc\r\n", "abc\r\n"}, {"\x97\x9A\x97\xF0", "履歴"},
                             {"\x87\x40", "①"}, {"C:\x5C\x95\x5C~", "C:\\表~"}, {"\x81\x60", "～"}, {"", ""},
                             {"\x82\x20x", R + " x"}, {"a\x82", "a" + R}, {"\xFD\x82\xA0", R + "あ"},
                             {"\0z"s, "\0z"s}});
    std::string longer, decoded;
    for (int i = 0; i < 5000; ++i) longer += "\x82\xA0", decoded += "あ";   // past the conversion buffer
    EXPECT_EQ(Cp932ToUtf8(longer + "\xFD"), decoded + R);
    // Outside text: UTF-8 as it is, anything else CP932; a BOM settles the encoding.
    ExpectEach(DecodeOutsideText, {{"履歴", "履歴"}, {"\xEF\xBB\xBF" "abc", "abc"}, {"\x97\x9A\x97\xF0", "履歴"},
                                   {"", ""}, {"\xEF\xBB\xBF" "履\xFF歴", "履" + R + "歴"}});
}

TEST(Utf16Le, UnitsPairsAndLoneSurrogates)
{
    ExpectEach(Utf16LeToUtf8, {{"A\0"s, "A"}, {"\x42\x30", "あ"}, {"\x3D\xD8\x00\xDE"s, "\xF0\x9F\x98\x80"},
                               {"\x00\xDC" "A\0"s, R + "A"}, {"\x3D\xD8" "A\0"s, R + "A"}, {"\x3D\xD8", R},
                               {"A\0B"s, "A"}, {"\xFF\x07", "\xDF\xBF"}});
}

TEST(TextRules, CutsCaseTrimming)
{
    const std::pair<size_t, const char*> cuts[] = {{6, "あい"}, {5, "あ"}, {4, "あ"}, {3, "あ"}, {2, ""}, {0, ""}};
    for (const auto& [bytes, text] : cuts) EXPECT_EQ(CutToBytes("あい", bytes), text) << bytes;
    EXPECT_EQ(CutToBytes("aあ", 2) + CutToBytes("ab\xF0\x9F\x98\x80", 5) + CutToBytes("abcdef", 4), "aababcd");
    // Case changes and case-insensitive comparison touch the ASCII letters only.
    EXPECT_EQ(AsciiUpper("abc履歴xyzé-z_{}@[`"), "ABC履歴XYZé-Z_{}@[`");
    EXPECT_EQ(AsciiLower("ABC履歴XYZÉＡ"), "abc履歴xyzÉＡ");
    const struct {
        const char *a, *b;
        int order;
    } compared[] = {{"abc", "ABC", 0}, {"abc", "ABD", -1}, {"b", "A", 1}, {"ab", "ABC", -1}, {"_", "a", -1},
                    {"_", "A", -1}, {"z", "\xE3\x81\x82", -1}, {"é", "É", 1}, {"MD5SUM", "md5sum", 0}};
    for (const auto& c : compared)
        EXPECT_EQ(std::make_pair(CompareAsciiFolded(c.a, c.b), EqualsAsciiFolded(c.a, c.b)),
                  std::make_pair(c.order, c.order == 0)) << c.a << " " << c.b;
    ExpectEach(Trim, {{"  a b \t\r\n", "a b"}, {" \r\n\t ", ""}, {"x", "x"}, {"\xE3\x80\x80x", "\xE3\x80\x80x"}});
}

// Arbitrary bytes: every decoder ends with valid UTF-8, and valid UTF-8 passes unchanged.
TEST(TextRandomised, DecodersGiveValidUtf8)
{
    std::mt19937 rng(20240131);
    for (int round = 0; round < 20000; ++round) {
        std::string input(rng() % 65, '\0');
        // Every third round only lead and trail bytes of both encodings.
        for (char& c : input) c = static_cast<char>(round % 3 == 0 ? (0x80 | (rng() & 0x7F)) : rng());
        const std::string repaired = Utf8WithReplacements(input);
        for (const std::string& out : {Cp932ToUtf8(input), DecodeOutsideText(input), Utf16LeToUtf8(input), repaired,
                                       DecodeOutsideText("\xEF\xBB\xBF" + input)})
            ASSERT_TRUE(IsValidUtf8(out)) << round;
        if (!IsValidUtf8(input)) continue;
        ASSERT_EQ(repaired, input);
        for (size_t n = 0; n <= input.size(); ++n) {
            const std::string cut = CutToBytes(input, n);
            ASSERT_TRUE(cut.size() <= n && IsValidUtf8(cut) && input.starts_with(cut)) << n;
        }
    }
}

}  // namespace
}  // namespace qv
