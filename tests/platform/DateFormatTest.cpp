#include "platform/DateFormat.h"
#include "platform/DateTime.h"

#include <gtest/gtest.h>

namespace qv {
namespace {

double At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0, int ms = 0)
{
    CalendarFields f;
    f.year = y; f.month = mo; f.day = d;
    f.hour = h; f.minute = mi; f.second = s; f.millisecond = ms;
    return EncodeDateTime(f);
}

const double kSample = At(2024, 1, 31, 9, 5, 7, 89);   // a Wednesday morning

TEST(DatePattern, FullDateAndTimeWithLeadingZeros)
{
    EXPECT_EQ(FormatDateTime("yyyy/mm/dd hh:mm:ss", kSample), "2024/01/31 09:05:07");
    EXPECT_EQ(FormatDateTime("YYYY/MM/DD HH:MM:SS", kSample), "2024/01/31 09:05:07");
}

TEST(DatePattern, YearMonthDay)
{
    EXPECT_EQ(FormatDateTime("y", kSample), "24");
    EXPECT_EQ(FormatDateTime("yy", kSample), "24");
    EXPECT_EQ(FormatDateTime("yyy", kSample), "2024");
    EXPECT_EQ(FormatDateTime("yyyy", At(987, 3, 4)), "0987");
    EXPECT_EQ(FormatDateTime("yy", At(2005, 3, 4)), "05");
    EXPECT_EQ(FormatDateTime("m/d", kSample), "1/31");
    EXPECT_EQ(FormatDateTime("mm-dd", At(2024, 3, 4)), "03-04");
    EXPECT_EQ(FormatDateTime("mmm", At(2024, 11, 4)), "11月");
    EXPECT_EQ(FormatDateTime("mmmm", At(2024, 3, 4)), "3月");
}

TEST(DatePattern, WeekdayNamesAndDateFormats)
{
    EXPECT_EQ(FormatDateTime("ddd", kSample), "水");
    EXPECT_EQ(FormatDateTime("dddd", kSample), "水曜日");
    EXPECT_EQ(FormatDateTime("dddd", At(2024, 2, 4)), "日曜日");
    EXPECT_EQ(FormatDateTime("ddd", At(2024, 2, 3)), "土");
    EXPECT_EQ(FormatDateTime("ddddd", kSample), "2024/01/31");
    EXPECT_EQ(FormatDateTime("dddddd", kSample), "2024年1月31日");
}

TEST(DatePattern, TimeTokens)
{
    EXPECT_EQ(FormatDateTime("h:n:s", kSample), "9:5:7");
    EXPECT_EQ(FormatDateTime("hh:nn:ss", kSample), "09:05:07");
    EXPECT_EQ(FormatDateTime("z", kSample), "89");
    EXPECT_EQ(FormatDateTime("zzz", kSample), "089");
    EXPECT_EQ(FormatDateTime("hh:nn:ss.zzz", At(2024, 1, 31, 23, 59, 59, 999)), "23:59:59.999");
    EXPECT_EQ(FormatDateTime("t", kSample), "9:05");
    EXPECT_EQ(FormatDateTime("tt", kSample), "9:05:07");
}

TEST(DatePattern, MinutesAfterAnHourToken)
{
    EXPECT_EQ(FormatDateTime("h:m", kSample), "9:5");
    EXPECT_EQ(FormatDateTime("hh mm", kSample), "09 05");
    EXPECT_EQ(FormatDateTime("hh'x'mm", kSample), "09x05");   // quotes are not letters
    // Another letter in between ends the rule: the month again.
    EXPECT_EQ(FormatDateTime("hh d mm", kSample), "09 31 01");
    EXPECT_EQ(FormatDateTime("hh:nn mm", kSample), "09:05 01");
    // Only the first m after the hour becomes minutes.
    EXPECT_EQ(FormatDateTime("hh:mm:ss mm", kSample), "09:05:07 01");
    EXPECT_EQ(FormatDateTime("mm hh", kSample), "01 09");
}

TEST(DatePattern, CombinedFormats)
{
    EXPECT_EQ(FormatDateTime("c", kSample), "2024/01/31 9:05:07");
    EXPECT_EQ(FormatDateTime("c", At(2024, 1, 31)), "2024/01/31");
    EXPECT_EQ(FormatDateTime("C", At(2024, 1, 31, 0, 0, 1)), "2024/01/31 0:00:01");
    EXPECT_EQ(FormatDateTime("cc", At(2024, 1, 31)), "2024/01/31");
    EXPECT_EQ(FormatDateTime("c z", At(2024, 1, 31, 0, 0, 0, 5)), "2024/01/31 5");
}

TEST(DatePattern, TwelveHourMarkers)
{
    const double afternoon = At(2024, 1, 31, 21, 5, 7);
    const double midnight = At(2024, 1, 31, 0, 30);
    const double noon = At(2024, 1, 31, 12, 0);
    EXPECT_EQ(FormatDateTime("h:nn am/pm", kSample), "9:05 am");
    EXPECT_EQ(FormatDateTime("h:nn am/pm", afternoon), "9:05 pm");
    EXPECT_EQ(FormatDateTime("hh:nn AM/PM", midnight), "12:30 AM");
    EXPECT_EQ(FormatDateTime("hh:nn Am/Pm", noon), "12:00 Pm");
    EXPECT_EQ(FormatDateTime("h a/p", afternoon), "9 p");
    EXPECT_EQ(FormatDateTime("h A/P", kSample), "9 A");
    EXPECT_EQ(FormatDateTime("ampm h:nn", afternoon), "午後 21:05");   // marker before: 24 h
    EXPECT_EQ(FormatDateTime("h:nn ampm", afternoon), "9:05 午後");
    EXPECT_EQ(FormatDateTime("h:nn AMPM", kSample), "9:05 午前");
    EXPECT_EQ(FormatDateTime("hh:mm:ss am/pm", At(2024, 1, 31, 15, 4, 2)), "03:04:02 pm");
    // A marker inside quotes is text and does not switch to 12 hours.
    EXPECT_EQ(FormatDateTime("h 'am/pm'", afternoon), "21 am/pm");
    // A lone 'a' is copied.
    EXPECT_EQ(FormatDateTime("a", kSample), "a");
}

TEST(DatePattern, LiteralsAndSeparators)
{
    EXPECT_EQ(FormatDateTime("'yyyy'\"dd\"", kSample), "yyyydd");
    EXPECT_EQ(FormatDateTime("yyyy年m月d日", kSample), "2024年1月31日");
    EXPECT_EQ(FormatDateTime("yyyy-mm-dd_hhnnss", kSample), "2024-01-31_090507");
    EXPECT_EQ(FormatDateTime("[yyyy]", kSample), "[2024]");
    EXPECT_EQ(FormatDateTime("'unclosed", kSample), "unclosed");
    EXPECT_EQ(FormatDateTime("", kSample), "");
    // Letters without a meaning are copied as they stand.
    EXPECT_EQ(FormatDateTime("x q", kSample), "x q");
}

TEST(DateText, WritesShortDateAndLongTime)
{
    EXPECT_EQ(DateTimeToText(kSample), "2024/01/31 9:05:07");
    EXPECT_EQ(DateTimeToText(At(2024, 1, 31)), "2024/01/31");
    EXPECT_EQ(DateTimeToText(At(2024, 12, 1, 23, 59, 59)), "2024/12/01 23:59:59");
    EXPECT_EQ(DateToText(kSample), "2024/01/31");
}

TEST(DateText, ReadsBackWhatItWrites)
{
    const double samples[] = {At(2024, 1, 31, 9, 5, 7), At(2024, 1, 31), At(1980, 1, 1, 0, 0, 2),
                              At(2107, 12, 31, 23, 59, 58), At(1899, 12, 30, 12)};
    for (double v : samples) {
        double back = -1;
        ASSERT_TRUE(TextToDateTime(DateTimeToText(v), back)) << DateTimeToText(v);
        EXPECT_EQ(DateTimeToText(back), DateTimeToText(v));
        EXPECT_NEAR(back, v, 1e-9);
    }
}

TEST(DateText, ReadsLooserForms)
{
    double v = 0;
    ASSERT_TRUE(TextToDateTime("2024/1/5", v));
    EXPECT_EQ(v, At(2024, 1, 5));
    ASSERT_TRUE(TextToDateTime("2024/1/5 7:08", v));
    EXPECT_EQ(v, At(2024, 1, 5, 7, 8));
    ASSERT_TRUE(TextToDateTime("2024/01/05 07:08:09", v));
    EXPECT_EQ(v, At(2024, 1, 5, 7, 8, 9));
}

TEST(DateText, RejectsEverythingElse)
{
    double v = 123.0;
    const char* bad[] = {"", "2024", "2024/13/01", "2024/02/30", "24/01/31", "2024-01-31",
                         "2024/01/31 ", "2024/01/31 25:00:00", "2024/01/31 9", "2024/01/31 9:",
                         "2024/01/31 9:05:07x", "2024/01/31x", "2024/01/31 9:60", "abc",
                         "2024/001/31"};
    for (const char* text : bad) EXPECT_FALSE(TextToDateTime(text, v)) << text;
    EXPECT_EQ(v, 123.0);
}

}  // namespace
}  // namespace qv
