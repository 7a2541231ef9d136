#include <gtest/gtest.h>

#include <random>

#include "WorkHooksFixture.h"
#include "history/HistoryFiles.h"
#include "platform/DateTime.h"
#include "support/ScriptedPrompts.h"
#include "support/TempDir.h"

namespace qv {
namespace {

using Fields = std::vector<std::string>;

TEST(SplitHistoryLine, FieldRules)
{
    EXPECT_EQ(SplitHistoryLine(R"("/a b/c.txt",12,"2024/01/31 9:05:07","2024/02/01",ABC,DEF)"),
              (Fields{"/a b/c.txt", "12", "2024/01/31 9:05:07", "2024/02/01", "ABC", "DEF"}));
    // Doubled quotes stand for one; blanks and control characters around fields are skipped.
    EXPECT_EQ(SplitHistoryLine("  \"say \"\"hi\"\"\" ,\t1 , x"), (Fields{"say \"hi\"", "1", "x"}));
    // Two commas in a row give an empty field; a comma at the very end adds one.
    EXPECT_EQ(SplitHistoryLine("\"p\",1,\"d\",\"d\",,C"), (Fields{"p", "1", "d", "d", "", "C"}));
    EXPECT_EQ(SplitHistoryLine("a,b,"), (Fields{"a", "b", ""}));
    EXPECT_EQ(SplitHistoryLine("a,b, "), (Fields{"a", "b"}));
    // An unquoted field ends at a blank: the rest becomes more fields.
    EXPECT_EQ(SplitHistoryLine("/a b,1"), (Fields{"/a", "b", "1"}));
    // Empty and blank lines give no field at all.
    EXPECT_EQ(SplitHistoryLine(""), Fields{});
    EXPECT_EQ(SplitHistoryLine(" \t "), Fields{});
    // An unclosed quote runs to the end of the line; a NUL ends the line.
    EXPECT_EQ(SplitHistoryLine("\"open,1"), Fields{"open,1"});
    EXPECT_EQ(SplitHistoryLine(std::string("a,b\0,c", 6)), (Fields{"a", "b"}));
    EXPECT_EQ(SplitHistoryLine("\"x\"y,z"), (Fields{"x", "y", "z"}));
}

TEST(FormatHistoryLine, LayoutQuotingAndLineBreaks)
{
    HistoryRecord r{-5, EncodeDateTime({2024, 1, 31, 9, 5, 6}), EncodeDateTime({2004, 5, 6}),
                    "D41D8CD98F00B204E9800998ECF8427E", "00000000"};
    std::string line;
    ASSERT_TRUE(FormatHistoryLine("/q\"uo\"te/a.txt", r, line));
    EXPECT_EQ(line, "\"/q\"\"uo\"\"te/a.txt\",-5,\"2024/01/31 9:05:06\",\"2004/05/06\","
                    "D41D8CD98F00B204E9800998ECF8427E,00000000");
    EXPECT_EQ(SplitHistoryLine(line)[0], "/q\"uo\"te/a.txt");
    EXPECT_FALSE(FormatHistoryLine("/a\nb", r, line));
    EXPECT_FALSE(FormatHistoryLine("/a\rb", r, line));
    // Codes that would split the line are quoted; the reader takes them back unchanged.
    r.Md5 = "A,B";
    r.Crc = "";
    ASSERT_TRUE(FormatHistoryLine("/a", r, line));
    EXPECT_EQ(SplitHistoryLine(line), (Fields{"/a", "-5", "2024/01/31 9:05:06", "2004/05/06", "A,B", ""}));
}

class HistoryTextTest : public WorkHooksFixture {
protected:
    HistoryTextTest() : WorkHooksFixture(EncodeDateTime({2024, 6, 1, 12, 0, 0})) {}
    HistoryReadOptions options;
    const std::string md5 = "0123456789ABCDEF0123456789ABCDEF";
};

TEST_F(HistoryTextTest, BinaryTextBinaryRoundTrip)
{
    const double now = clock.Now();
    HashHistory h;
    h.Insert("/data/Big.iso", HistoryRecord{6'000'000'000LL, EncodeDateTime({2023, 12, 24, 23, 59, 58}),
                                            now - 1.5, md5, "89ABCDEF"});
    h.Insert("/data/big.iso", HistoryRecord{1, EncodeDateTime({2024, 1, 1}), now - 2, md5, "00000001"});
    h.Insert("/日本語/\"引用\".txt", HistoryRecord{0, EncodeDateTime({2024, 5, 5, 5, 5, 6}),
                                                   EncodeDateTime({2024, 5, 31, 0, 0, 0}), "", ""});
    WorkHooks ui = Ui();
    const std::string dat = dir.Path("a.dat"), csv = dir.Path("a.csv"), dat2 = dir.Path("b.dat");
    ASSERT_TRUE(WriteHistoryFile(h, dat, ui));
    HashHistory fromBinary;
    ASSERT_TRUE(ReadHistoryFile(fromBinary, dat, options, ui));
    ASSERT_TRUE(WriteHistoryText(fromBinary, csv, ui));
    const std::string text = TempDir::ReadFile(csv);
    EXPECT_NE(text.find("\r\n"), std::string::npos);
    EXPECT_EQ(text.substr(text.size() - 2), "\r\n");

    HashHistory fromText;
    ASSERT_TRUE(ReadHistoryText(fromText, csv, options, ui));
    ASSERT_EQ(fromText.Count(), 3);
    for (int32_t i = 0; i < h.Count(); ++i) {
        EXPECT_EQ(fromText.PathAt(i), h.PathAt(i));
        // These values are whole seconds, so the text keeps them exactly.
        EXPECT_EQ(fromText.RecordAt(i), h.RecordAt(i)) << h.PathAt(i);
    }
    ASSERT_TRUE(WriteHistoryFile(fromText, dat2, ui));
    EXPECT_EQ(TempDir::ReadFile(dat2), TempDir::ReadFile(dat));
    EXPECT_EQ(labels.back(), "a.csv 登録履歴 3件");
    EXPECT_TRUE(prompts.shown().empty());
}

TEST_F(HistoryTextTest, ExportLeavesOutPathsWithLineBreaks)
{
    HashHistory h;
    h.Insert("/a\nb", HistoryRecord{1, 1, clock.Now(), md5, "1"});
    h.Insert("/ok", HistoryRecord{1, 1, clock.Now(), md5, "1"});
    WorkHooks ui = Ui();
    const std::string csv = dir.Path("x.csv");
    ASSERT_TRUE(WriteHistoryText(h, csv, ui));
    HashHistory back;
    ASSERT_TRUE(ReadHistoryText(back, csv, options, ui));
    ASSERT_EQ(back.Count(), 1);
    EXPECT_EQ(back.PathAt(0), "/ok");
}

TEST_F(HistoryTextTest, ReadsCp932AndCutsCodes)
{
    // "/データ/a.txt" in Shift-JIS, and over-long code fields.
    const std::string sjisPath = "/\x83\x66\x81\x5B\x83\x5E/a.txt";
    const std::string line = "\"" + sjisPath + "\",10,\"2024/05/31 1:02:04\",\"2024/05/31 1:02:04\"," +
                             md5 + "XYZ,89ABCDEF12\r\n";
    HashHistory h;
    WorkHooks ui = Ui();
    ASSERT_TRUE(ReadHistoryText(h, dir.WriteFile("s.csv", line), options, ui));
    ASSERT_EQ(h.Count(), 1);
    EXPECT_EQ(h.PathAt(0), "/データ/a.txt");
    EXPECT_EQ(h.RecordAt(0).Md5, md5);
    EXPECT_EQ(h.RecordAt(0).Crc, "89ABCDEF");
    EXPECT_EQ(h.RecordAt(0).Size, 10);
}

TEST_F(HistoryTextTest, SizeFieldParsing)
{
    const std::string tail = ",\"2024/05/31\",\"2024/05/31\",A,B\r\n";
    const std::string text = "\"/1\",9223372036854775807" + tail + "\"/2\",-9223372036854775808" + tail +
                             "\"/3\",9223372036854775808" + tail + "\"/4\",12x" + tail + "\"/5\",+7" + tail;
    HashHistory h;
    WorkHooks ui = Ui();
    options.sizeLimit = INT64_MIN;
    ASSERT_TRUE(ReadHistoryText(h, dir.WriteFile("n.csv", text), options, ui));
    ASSERT_EQ(h.Count(), 5);
    EXPECT_EQ(h.RecordAt(0).Size, INT64_MAX);
    EXPECT_EQ(h.RecordAt(1).Size, INT64_MIN);
    EXPECT_EQ(h.RecordAt(2).Size, 0);   // overflow reads as not a number
    EXPECT_EQ(h.RecordAt(3).Size, 0);
    EXPECT_EQ(h.RecordAt(4).Size, 7);
}

TEST_F(HistoryTextTest, MismatchBoxIgnoreSkipsAbortStops)
{
    const std::string good = "\"/g%d\",1,\"2024/05/31\",\"2024/05/31\",A,B";
    auto line = [&](int n) {
        std::string s = good;
        s.replace(s.find("%d"), 2, std::to_string(n));
        return s;
    };
    const std::string file = dir.WriteFile(
        "m.csv", line(1) + "\r\n" + "\r\n" + "\"/five\",1,\"2024/05/31\",\"2024/05/31\",A\r\n" +
                     "/un quoted,1,\"2024/05/31\",\"2024/05/31\",A,B\n" + line(2) + "\r" + line(3));
    HashHistory h;
    WorkHooks ui = Ui();
    prompts.Push(Answer::Ignore).Push(Answer::Ignore).Push(Answer::Ignore);
    ASSERT_TRUE(ReadHistoryText(h, file, options, ui));
    EXPECT_EQ(h.Count(), 3);
    ASSERT_EQ(prompts.shown().size(), 3u);
    EXPECT_EQ(prompts.shown()[0].text, "Quenvarlith履歴書式の不一致を検出\r\rファイル名\t" + file + "\r読取り行\t");
    EXPECT_EQ(prompts.shown()[0].buttons, Buttons::AbortIgnore);
    EXPECT_EQ(prompts.shown()[1].text, "Quenvarlith履歴書式の不一致を検出\r\rファイル名\t" + file +
                                           "\r読取り行\t\"/five\",1,\"2024/05/31\",\"2024/05/31\",A");

    HashHistory stopped;
    prompts.Clear();
    prompts.Push(Answer::Abort);
    EXPECT_FALSE(ReadHistoryText(stopped, file, options, ui));
    EXPECT_EQ(stopped.Count(), 1);   // the line before the bad one stays
}

TEST_F(HistoryTextTest, UnreadableFileAndBadDateEndTheReadWithAMessage)
{
    HashHistory h;
    WorkHooks ui = Ui();
    prompts.Push(Answer::Ok);
    const std::string missing = dir.Path("missing.csv");
    EXPECT_FALSE(ReadHistoryText(h, missing, options, ui));
    EXPECT_EQ(prompts.LastText().rfind("履歴ファイル読込エラー\r\rファイル名\t" + missing + "\r", 0), 0u);

    const std::string file = dir.WriteFile(
        "d.csv", "\"/ok\",1,\"2024/05/31\",\"2024/05/31\",A,B\r\n\"/bad\",1,\"31.05.2024\",\"2024/05/31\",A,B\r\n"
                 "\"/after\",1,\"2024/05/31\",\"2024/05/31\",A,B\r\n");
    prompts.Push(Answer::Ok);
    EXPECT_FALSE(ReadHistoryText(h, file, options, ui));
    EXPECT_EQ(h.Count(), 1);
    EXPECT_EQ(h.PathAt(0), "/ok");
    EXPECT_NE(prompts.LastText().find("\"/bad\""), std::string::npos);
    EXPECT_EQ(prompts.pending(), 0u);
}

TEST_F(HistoryTextTest, CancelFlagStopsReading)
{
    std::string text;
    for (int i = 0; i < 20; ++i)
        text += "\"/c" + std::to_string(100 + i) + "\",1,\"2024/05/31\",\"2024/05/31\",A,B\r\n";
    HashHistory h;
    WorkHooks ui = Ui();
    ui.pump = [&] {
        if (statuses.size() == 5) stop.Request();
    };
    EXPECT_FALSE(ReadHistoryText(h, dir.WriteFile("c.csv", text), options, ui));
    EXPECT_EQ(h.Count(), 5);
    EXPECT_EQ(statuses[1], "履歴データ読取り中 c.csv 5.0%");
}

// Random stores survive text export and import unchanged (times are whole seconds).
TEST_F(HistoryTextTest, RandomStoresRoundTripThroughText)
{
    std::mt19937 rng(99);
    const std::string pieces[] = {"a", "Z", " ", "\t", "\"", ",", "日本", "\"\"", "'", "x y", "%", ";"};
    const char* hex = "0123456789ABCDEF";
    for (int round = 0; round < 20; ++round) {
        HashHistory h;
        for (int n = 0; n < 50; ++n) {
            std::string path = "/";
            const int parts = 1 + static_cast<int>(rng() % 6);
            for (int k = 0; k < parts; ++k) path += pieces[rng() % std::size(pieces)];
            const bool midnight = rng() % 4 == 0;
            auto when = [&](int yearBase) {
                return EncodeDateTime({yearBase + static_cast<int>(rng() % 3), 1 + static_cast<int>(rng() % 12),
                                       1 + static_cast<int>(rng() % 28), midnight ? 0 : static_cast<int>(rng() % 24),
                                       midnight ? 0 : static_cast<int>(rng() % 60),
                                       midnight ? 0 : static_cast<int>(rng() % 60)});
            };
            HistoryRecord r;
            r.Size = static_cast<int64_t>(((uint64_t{rng()} << 32) | rng()) >> 1);   // limit 0 drops negatives
            r.FileTime = when(1980);
            // Within the keep period, in whole seconds (the clock stands at 12:00:00).
            r.RegisteredAt = clock.Now() - (midnight ? 0.5 : static_cast<double>(rng() % 86400) / 8640.0);
            for (int k = 0; k < 32; ++k) r.Md5 += hex[rng() % 16];
            for (int k = 0; k < 8; ++k) r.Crc += hex[rng() % 16];
            h.Insert(path, r);
        }
        WorkHooks ui = Ui();
        const std::string csv = dir.Path("rt.csv");
        ASSERT_TRUE(WriteHistoryText(h, csv, ui));
        HashHistory back;
        ASSERT_TRUE(ReadHistoryText(back, csv, options, ui));
        ASSERT_EQ(back.Count(), h.Count());
        for (int32_t i = 0; i < h.Count(); ++i) {
            ASSERT_EQ(back.PathAt(i), h.PathAt(i));
            ASSERT_EQ(back.RecordAt(i), h.RecordAt(i)) << h.PathAt(i);
        }
    }
}

TEST_F(HistoryTextTest, OneNameThatIsNotUtf8DoesNotGarbleTheOthers)
{
    const std::string tail = ",1,\"2024/05/31\",\"2024/05/31\",A,B\r\n";
    const std::string text = "\"/日本/ok.txt\"" + tail + "\"/caf\xE9\"" + tail;
    HashHistory h;
    WorkHooks ui = Ui();
    ASSERT_TRUE(ReadHistoryText(h, dir.WriteFile("mixed.csv", text), options, ui));
    ASSERT_EQ(h.Count(), 2);
    int32_t i = -1;
    EXPECT_TRUE(h.Find("/日本/ok.txt", i));
}

// Arbitrary text never crashes or hangs the reader (run under the sanitizer build too).
TEST_F(HistoryTextTest, RandomTextIsReadSafely)
{
    std::mt19937 rng(2024);
    const std::string pieces[] = {"\"", "\"\"", ",", " ", "\t", "\r\n", "\n", "\r", "/a", "1",
                                  "2024/05/31", "2024/05/31 1:02:03", std::string(1, '\0'),
                                  "\x83", "\xE3\x81\x82", "-", "ABCDEF"};
    prompts.SetDefaultAnswer(Answer::Ignore);
    for (int round = 0; round < 300; ++round) {
        std::string text;
        const int n = static_cast<int>(rng() % 60);
        for (int i = 0; i < n; ++i) {
            if (rng() % 5 == 0)
                text += static_cast<char>(rng());
            else
                text += pieces[rng() % std::size(pieces)];
        }
        HashHistory h;
        WorkHooks ui = Ui();
        ReadHistoryText(h, dir.WriteFile("r.csv", text), options, ui);
        for (int32_t i = 0; i < h.Count(); ++i) {
            ASSERT_FALSE(h.PathAt(i).empty());
            ASSERT_LE(h.RecordAt(i).Md5.size(), 32u);
            ASSERT_LE(h.RecordAt(i).Crc.size(), 8u);
        }
    }
}

}  // namespace
}  // namespace qv
