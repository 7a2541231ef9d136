#include <gtest/gtest.h>

#include <random>

#include "settings/IniFile.h"

namespace qv {
namespace {

std::string Value(const IniDocument& doc, std::string_view section, std::string_view key)
{
    std::string v;
    return doc.Get(section, key, v) ? v : std::string("<missing>");
}

TEST(IniFile, SectionsAndKeysMatchWithoutRegardToCase)
{
    const IniDocument doc = IniDocument::Parse(
        "[color]\r\nwall COLOR=000000\r\n[COLOR]\r\nWall Color=111111\r\nWALL color=222222\r\n"
        "[Window]\r\n  Top = 12 \r\nTop=99\r\n");
    EXPECT_EQ(Value(doc, "Color", "Wall Color"), "000000");   // the first section of a name wins
    EXPECT_EQ(Value(doc, "window", "TOP"), "12");            // the first key, blanks trimmed
    EXPECT_EQ(Value(doc, "Window", "Left") + Value(doc, "Nowhere", "Top"), "<missing><missing>");
    EXPECT_TRUE(doc.HasSection("WINDOW") && !doc.HasSection("Windows"));
    // Case folding touches ASCII letters only.
    const IniDocument jp = IniDocument::Parse("[Format]\r\n設定1-MD5書式=1\r\n");
    EXPECT_EQ(Value(jp, "format", "設定1-md5書式"), "1");
}

TEST(IniFile, OnePairOfSurroundingQuotesIsStripped)
{
    const std::pair<const char*, const char*> cases[] = {
        {"\"  lead and trail  \"", "  lead and trail  "}, {"\"\"twice\"\"", "\"twice\""}, {"\"open only", "\"open only"},
        {"\"", "\""}, {"\"\"", ""}, {"in\"side", "in\"side"}, {"  bare  ", "bare"}, {"", ""}, {"a=b", "a=b"},
    };
    for (const auto& [stored, read] : cases)
        EXPECT_EQ(Value(IniDocument::Parse(std::string("[S]\r\nk=") + stored + "\r\n"), "S", "k"), read) << stored;
}

TEST(IniFile, LineEndsOfEveryKindAndDoubledBom)
{
    EXPECT_EQ(Value(IniDocument::Parse("[A]\nx=1\ny=2"), "A", "y"), "2");
    EXPECT_EQ(IniDocument::Parse("[A]\rx=1\ry=2\r").Serialize(), "[A]\r\nx=1\r\ny=2\r\n");
    EXPECT_EQ(Value(IniDocument::Parse("\xEF\xBB\xBF\xEF\xBB\xBF[A]\r\nx=1\r\n"), "A", "x"), "1");
}

TEST(IniFile, Cp932TextIsDecoded)
{
    // "[ClipViewer]" / "Viewer Font Name=ＭＳ ゴシック" and "設定1-登録名=[表]" in Shift-JIS;
    // 表 ends in the byte 0x5C, which must not be taken for anything else.
    const IniDocument doc = IniDocument::Parse(
        "[ClipViewer]\r\nViewer Font Name=\x82\x6C\x82\x72\x20\x83\x53\x83\x56\x83\x62\x83\x4E\r\n"
        "[Format]\r\n\x90\xDD\x92\xE8\x31\x2D\x93\x6F\x98\x5E\x96\xBC=[\x95\x5C]\r\n");
    EXPECT_EQ(Value(doc, "ClipViewer", "Viewer Font Name"), "ＭＳ ゴシック");
    EXPECT_EQ(Value(doc, "Format", "設定1-登録名"), "[表]");
    EXPECT_EQ(doc.Serialize(), "[ClipViewer]\r\nViewer Font Name=ＭＳ ゴシック\r\n[Format]\r\n設定1-登録名=[表]\r\n");
}

TEST(IniFile, SetUpdatesInPlaceAndKeepsEverythingElse)
{
    IniDocument doc = IniDocument::Parse("; written by hand\r\nstray=outside any section\r\n[Window]\r\n"
                                         "top=1\r\nUnknown Key=keep me\r\n\r\n; comment about the next section\r\n"
                                         "[Other]\r\na=b\r\n");
    doc.Set("WINDOW", "Top", "5");
    doc.Set("Window", "Left", "7");
    doc.Set("New", "k", "v");
    doc.Set("new", "K2", "line\r\nbreak");
    EXPECT_EQ(doc.Serialize(), "; written by hand\r\nstray=outside any section\r\n[Window]\r\nTop=5\r\n"
                               "Unknown Key=keep me\r\nLeft=7\r\n\r\n; comment about the next section\r\n"
                               "[Other]\r\na=b\r\n[New]\r\nk=v\r\nK2=line  break\r\n");
    // Keys outside any section are not readable as keys of a section.
    EXPECT_EQ(Value(doc, "", "stray"), "<missing>");
    EXPECT_EQ(Value(doc, "window", "left"), "7");
    // A key added after others can be found and replaced again.
    doc.Set("Window", "LEFT", "8");
    EXPECT_EQ(Value(doc, "Window", "Left"), "8");
    EXPECT_EQ(Value(doc, "Window", "Unknown Key"), "keep me");
}

TEST(IniFile, UntouchedLinesKeepTheirBytes)
{
    const std::string text = "  [ Spaced ]  trailing\r\n\tKey = \"v\" \r\nno equals sign\r\n[]\r\n=empty key\r\n";
    IniDocument doc = IniDocument::Parse(text);
    EXPECT_EQ(doc.Serialize(), text);
    EXPECT_EQ(Value(doc, "Spaced", "key"), "v");
}

TEST(IniFile, IntegerText)
{
    struct Case { const char* text; bool ok; int64_t value; };
    const Case cases[] = {
        {"12", true, 12}, {"  12", true, 12}, {"-5", true, -5}, {"+7", true, 7}, {"0", true, 0}, {"0x1F", true, 31},
        {"0X1f", true, 31}, {"-0x10", true, -16}, {"$10", true, 16}, {"9223372036854775807", true, INT64_MAX},
        {"-9223372036854775808", true, INT64_MIN}, {"0x7FFFFFFFFFFFFFFF", true, INT64_MAX},
        {"9223372036854775808", false, 0}, {"0x8000000000000000", false, 0}, {"99999999999999999999999", false, 0},
        {"", false, 0}, {"-", false, 0}, {"0x", false, 0}, {"$", false, 0}, {"12 ", false, 0}, {"1.5", false, 0},
        {"abc", false, 0}, {"0x1G", false, 0}, {"１２", false, 0},
    };
    for (const Case& c : cases) {
        int64_t v = -999;
        EXPECT_TRUE(ParseIniInteger(c.text, v) == c.ok && (!c.ok || v == c.value)) << c.text;
    }
}

// Arbitrary bytes, weighted towards the characters the reader reacts to, must parse in
// bounded time, and what is written must read back the same.
TEST(IniFile, RandomInputNeverBreaksTheReader)
{
    std::mt19937 rng(20240131);
    const std::string alphabet = "[]=\"; \t\r\n\r\nabcAB01\x82\x5C\xE3\x81\x82\xEF\xBB\xBF\x80\xFF";
    for (int round = 0; round < 3000; ++round) {
        const size_t length = round % 100 == 99 ? 20000 : rng() % 300;
        std::string bytes;
        bytes.reserve(length);
        const bool raw = round % 3 == 0;
        for (size_t i = 0; i < length; ++i)
            bytes.push_back(raw ? static_cast<char>(rng() & 0xFF) : alphabet[rng() % alphabet.size()]);
        IniDocument doc = IniDocument::Parse(bytes);
        std::string v;
        doc.Get("a", "b", v);
        doc.Get("", "", v);
        doc.Set("a", "b", "\"x\"");
        doc.Set("Ab", "B", "y\r\nz");
        const std::string once = doc.Serialize();
        IniDocument again = IniDocument::Parse(once);
        ASSERT_EQ(again.Serialize(), once) << "round " << round;
        ASSERT_EQ(Value(again, "A", "B"), "x");
        ASSERT_EQ(Value(again, "ab", "b"), "y  z");
    }
}

}  // namespace
}  // namespace qv
