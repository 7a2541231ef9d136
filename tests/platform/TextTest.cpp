#include "platform/Text.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>

namespace qv {
namespace {

const std::string kReplacement = "\xEF\xBF\xBD";

TEST(Utf8Validation, AcceptsWellFormedText)
{
    EXPECT_TRUE(IsValidUtf8(""));
    EXPECT_TRUE(IsValidUtf8("plain ASCII"));
    EXPECT_TRUE(IsValidUtf8("履歴データ"));
    EXPECT_TRUE(IsValidUtf8("\xF0\x9F\x98\x80"));     // U+1F600
    EXPECT_TRUE(IsValidUtf8("\xF4\x8F\xBF\xBF"));     // U+10FFFF
    EXPECT_TRUE(IsValidUtf8("\xEE\x80\x80"));         // U+E000 after the surrogates
    EXPECT_TRUE(IsValidUtf8(std::string("a\0b", 3)));
}

TEST(Utf8Validation, RejectsMalformedText)
{
    EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));            // overlong '/'
    EXPECT_FALSE(IsValidUtf8("\xC1\xBF"));
    EXPECT_FALSE(IsValidUtf8("\xE0\x80\xAF"));        // overlong three bytes
    EXPECT_FALSE(IsValidUtf8("\xF0\x80\x80\xAF"));    // overlong four bytes
    EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));        // surrogate
    EXPECT_FALSE(IsValidUtf8("\xED\xBF\xBF"));
    EXPECT_FALSE(IsValidUtf8("\xF4\x90\x80\x80"));    // above U+10FFFF
    EXPECT_FALSE(IsValidUtf8("\xF8\x88\x80\x80\x80"));
    EXPECT_FALSE(IsValidUtf8("\xE3\x81"));            // cut short
    EXPECT_FALSE(IsValidUtf8("\x80"));
    EXPECT_FALSE(IsValidUtf8("a\xE3\x41\x82"));
    EXPECT_FALSE(IsValidUtf8("\x82\xA0"));            // CP932 あ
}

TEST(Cp932, DecodesJapaneseText)
{
    EXPECT_EQ(Cp932ToUtf8("\x82\xA0"), "あ");
    EXPECT_EQ(Cp932ToUtf8("\xB1"), "ｱ");               // half-width katakana
    EXPECT_EQ(Cp932ToUtf8("abc\r\n"), "abc\r\n");
    EXPECT_EQ(Cp932ToUtf8("\x97\x9A\x97\xF0"), "履歴");
    EXPECT_EQ(Cp932ToUtf8("\x87\x40"), "①");           // a Windows extension to Shift-JIS
    EXPECT_EQ(Cp932ToUtf8("C:\x5C\x95\x5C~"), "C:\\表~");   // 0x5C is a backslash, also as trail
    EXPECT_EQ(Cp932ToUtf8("\x81\x60"), "～");           // the Windows mapping of the wave dash
    EXPECT_EQ(Cp932ToUtf8(""), "");
}

TEST(Cp932, InvalidBytesBecomeReplacementsAndDecodingGoesOn)
{
    EXPECT_EQ(Cp932ToUtf8("\x82\x20x"), kReplacement + " x");   // lead byte without trail
    EXPECT_EQ(Cp932ToUtf8("a\x82"), "a" + kReplacement);       // cut at the end
    EXPECT_EQ(Cp932ToUtf8("\xFD\x82\xA0"), kReplacement + "あ");
    EXPECT_EQ(Cp932ToUtf8(std::string("\0z", 2)), std::string("\0z", 2));
}

TEST(Cp932, LongInputCrossesTheConversionBuffer)
{
    std::string input;
    for (int i = 0; i < 5000; ++i) input += "\x82\xA0";
    input += "\xFD";
    const std::string out = Cp932ToUtf8(input);
    EXPECT_EQ(out.size(), 5000u * 3u + 3u);
    EXPECT_EQ(out.substr(out.size() - 3), kReplacement);
    EXPECT_EQ(out.substr(0, 3), "あ");
}

TEST(OutsideText, Utf8KeptCp932Decoded)
{
    EXPECT_EQ(DecodeOutsideText("履歴"), "履歴");
    EXPECT_EQ(DecodeOutsideText("\xEF\xBB\xBF" "abc"), "abc");
    EXPECT_EQ(DecodeOutsideText("\x97\x9A\x97\xF0"), "履歴");
    EXPECT_EQ(DecodeOutsideText("plain"), "plain");
    EXPECT_EQ(DecodeOutsideText(""), "");
    // A BOM settles the encoding: one bad byte does not turn the whole text into CP932.
    EXPECT_EQ(DecodeOutsideText("\xEF\xBB\xBF" "履\xFF歴"), "履" + kReplacement + "歴");
}

TEST(Utf8WithReplacements, ReplacesEachBrokenSequenceOnce)
{
    EXPECT_EQ(Utf8WithReplacements("履歴"), "履歴");
    EXPECT_EQ(Utf8WithReplacements("a\xE3\x81z"), "a" + kReplacement + "z");   // cut short
    EXPECT_EQ(Utf8WithReplacements("\x80\x80"), kReplacement + kReplacement);   // stray trails
    EXPECT_EQ(Utf8WithReplacements("\xED\xA0\x80!"), kReplacement + "!");      // surrogate
    EXPECT_EQ(Utf8WithReplacements("\xC0\xAF"), kReplacement);                  // overlong
    EXPECT_EQ(Utf8WithReplacements("\xFF" "a"), kReplacement + "a");
}

TEST(Utf16Le, DecodesUnitsAndPairs)
{
    EXPECT_EQ(Utf16LeToUtf8(std::string("A\0", 2)), "A");
    EXPECT_EQ(Utf16LeToUtf8(std::string("\x42\x30", 2)), "あ");
    EXPECT_EQ(Utf16LeToUtf8(std::string("\x3D\xD8\x00\xDE", 4)), "\xF0\x9F\x98\x80");
    EXPECT_EQ(Utf16LeToUtf8(std::string("\x00\xDC" "A\0", 4)), kReplacement + "A");   // lone low
    EXPECT_EQ(Utf16LeToUtf8(std::string("\x3D\xD8" "A\0", 4)), kReplacement + "A");   // lone high
    EXPECT_EQ(Utf16LeToUtf8(std::string("\x3D\xD8", 2)), kReplacement);
    EXPECT_EQ(Utf16LeToUtf8(std::string("A\0B", 3)), "A");   // odd last byte dropped
    EXPECT_EQ(Utf16LeToUtf8(std::string("\xFF\x07", 2)), "\xDF\xBF");   // U+07FF
}

TEST(CutToBytes, NeverSplitsACharacter)
{
    EXPECT_EQ(CutToBytes("あい", 6), "あい");
    EXPECT_EQ(CutToBytes("あい", 5), "あ");
    EXPECT_EQ(CutToBytes("あい", 4), "あ");
    EXPECT_EQ(CutToBytes("あい", 3), "あ");
    EXPECT_EQ(CutToBytes("あい", 2), "");
    EXPECT_EQ(CutToBytes("aあ", 2), "a");
    EXPECT_EQ(CutToBytes("ab\xF0\x9F\x98\x80", 5), "ab");
    EXPECT_EQ(CutToBytes("abcdef", 4), "abcd");
    EXPECT_EQ(CutToBytes("", 0), "");
    EXPECT_EQ(CutToBytes("abc", 0), "");
}

TEST(AsciiCase, TouchesOnlyAsciiLetters)
{
    EXPECT_EQ(AsciiUpper("abc履歴xyzé"), "ABC履歴XYZé");
    EXPECT_EQ(AsciiLower("ABC履歴XYZÉＡ"), "abc履歴xyzÉＡ");
    EXPECT_EQ(AsciiUpper("a-z_{}@[`"), "A-Z_{}@[`");
    EXPECT_EQ(CompareAsciiFolded("abc", "ABC"), 0);
    EXPECT_LT(CompareAsciiFolded("abc", "ABD"), 0);
    EXPECT_GT(CompareAsciiFolded("b", "A"), 0);
    EXPECT_LT(CompareAsciiFolded("ab", "ABC"), 0);
    EXPECT_TRUE(EqualsAsciiFolded("MD5SUM", "md5sum"));
    EXPECT_FALSE(EqualsAsciiFolded("md5", "md5sum"));
    EXPECT_FALSE(EqualsAsciiFolded("é", "É"));
}

TEST(Trim, BlanksAtBothEnds)
{
    EXPECT_EQ(Trim("  a b \t\r\n"), "a b");
    EXPECT_EQ(Trim(" \r\n\t "), "");
    EXPECT_EQ(Trim("x"), "x");
    EXPECT_EQ(Trim("\xE3\x80\x80x"), "\xE3\x80\x80x");   // the full-width blank stays
}

// Arbitrary bytes: every decoder ends, and what comes out is valid UTF-8.
TEST(TextDecodersRandomised, ArbitraryBytesGiveValidUtf8)
{
    std::mt19937 rng(20240131);
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<int> length(0, 64);
    for (int round = 0; round < 20000; ++round) {
        std::string input(static_cast<size_t>(length(rng)), '\0');
        for (char& c : input) {
            // Bias towards lead and trail bytes of both encodings.
            const int b = byte(rng);
            c = static_cast<char>(round % 3 == 0 ? (0x80 | (b & 0x7F)) : b);
        }
        const std::string cp = Cp932ToUtf8(input);
        ASSERT_TRUE(IsValidUtf8(cp)) << "round " << round;
        ASSERT_LE(cp.size(), input.size() * 3);
        const std::string outside = DecodeOutsideText(input);
        ASSERT_TRUE(IsValidUtf8(outside)) << "round " << round;
        const std::string wide = Utf16LeToUtf8(input);
        ASSERT_TRUE(IsValidUtf8(wide)) << "round " << round;
        const std::string repaired = Utf8WithReplacements(input);
        ASSERT_TRUE(IsValidUtf8(repaired)) << "round " << round;
        if (IsValidUtf8(input)) {
            ASSERT_EQ(repaired, input);
        }
        ASSERT_TRUE(IsValidUtf8(DecodeOutsideText("\xEF\xBB\xBF" + input)));
        if (IsValidUtf8(input)) {
            for (size_t n = 0; n <= input.size(); ++n) {
                const std::string cut = CutToBytes(input, n);
                ASSERT_LE(cut.size(), n);
                ASSERT_TRUE(IsValidUtf8(cut));
                ASSERT_EQ(input.compare(0, cut.size(), cut), 0);
            }
        }
    }
}

// Valid UTF-8 built from random code points is always accepted; flipping one byte to a
// stray continuation byte is always rejected.
TEST(TextDecodersRandomised, ValidatorAgreesWithAnEncoder)
{
    std::mt19937 rng(7);
    std::uniform_int_distribution<uint32_t> cpDist(0, 0x10FFFF);
    for (int round = 0; round < 5000; ++round) {
        std::string utf8;
        for (int i = 0; i < 8; ++i) {
            uint32_t cp = cpDist(rng);
            if (cp >= 0xD800 && cp <= 0xDFFF) cp -= 0x800;
            std::string units;
            // Encode through UTF-16LE so the two code paths check each other.
            if (cp >= 0x10000) {
                const uint32_t v = cp - 0x10000;
                const uint32_t hi = 0xD800 + (v >> 10), lo = 0xDC00 + (v & 0x3FF);
                units += static_cast<char>(hi & 0xFF);
                units += static_cast<char>(hi >> 8);
                units += static_cast<char>(lo & 0xFF);
                units += static_cast<char>(lo >> 8);
            } else {
                units += static_cast<char>(cp & 0xFF);
                units += static_cast<char>(cp >> 8);
            }
            utf8 += Utf16LeToUtf8(units);
        }
        ASSERT_TRUE(IsValidUtf8(utf8));
        std::string broken = utf8;
        broken.insert(broken.begin(), '\x80');
        ASSERT_FALSE(IsValidUtf8(broken));
    }
}

}  // namespace
}  // namespace qv
