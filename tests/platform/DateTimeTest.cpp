// Date-time values, their calendar fields, the pattern language, the text forms, file stamps
// and the clocks.

#include <gtest/gtest.h>

#include <cmath>
#include <ctime>

#include "platform/Clock.h"
#include "platform/DateFormat.h"
#include "platform/DateTime.h"
#include "support/TestClock.h"

namespace qv {
namespace {

double At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0, int ms = 0)
{
    return EncodeDateTime({y, mo, d, h, mi, s, ms});
}

std::string Full(double value) { return FormatDateTime("yyyy/mm/dd hh:nn:ss.zzz", value); }

using test::LocalUnix;

TEST(DateTimeValue, InvalidFieldsAreRefused)
{
    const CalendarFields bad[] = {{2023, 2, 29}, {1900, 2, 29}, {2024, 13, 1}, {2024, 4, 31}, {2024, 1, 0},
                                  {2024, 1, 1, 24}, {2024, 1, 1, 0, 60}, {2024, 1, 1, 0, 0, 60},
                                  {2024, 1, 1, 0, 0, 0, 1000}, {0, 1, 1}, {10000, 1, 1}, {2024, 0, 1}};
    double v = -7.0;
    for (const CalendarFields& f : bad) EXPECT_FALSE(TryEncodeDateTime(f, v)) << f.year << "/" << f.month;
    EXPECT_EQ(v, -7.0);   // valid edges (a leap day, 23:59:59.999) are encoded in the decode rows
}

// Raw day numbers pin the calendar; encoding is checked through them.
// Decoding is rounded to the millisecond; before 1899-12-30 the integer part counts days back
// while the fraction is still the time of day; values beyond the calendar stay inside it.
TEST(DateTimeValue, DecodesToTheMillisecond)
{
    const std::pair<double, const char*> cases[] = {
        {At(2024, 1, 31, 9, 5, 7, 89), "2024/01/31 09:05:07.089"},
        {At(2000, 2, 29, 12, 0, 0, 1), "2000/02/29 12:00:00.001"},
        {At(9999, 12, 31, 23, 59, 59, 999), "9999/12/31 23:59:59.999"},
        {At(1601, 1, 1, 0, 0, 0, 500), "1601/01/01 00:00:00.500"},
        {At(1899, 12, 30, 23, 59, 59, 999), "1899/12/30 23:59:59.999"}, {-1.25, "1899/12/29 06:00:00.000"},
        {-0.5, "1899/12/30 12:00:00.000"}, {-2.0, "1899/12/28 00:00:00.000"},
        {45323.0 - 1e-10, "2024/02/01 00:00:00.000"}, {std::nan(""), "1899/12/30 00:00:00.000"},
        {1e300, "9999/12/31 23:59:59.999"}, {-1e300, "0001/01/01 00:00:00.000"}};
    for (const auto& [value, text] : cases) EXPECT_EQ(Full(value), text) << value;
    for (const auto& [value, midnight] : {std::pair{45323.0 - 1e-10, true}, {45322.0, true},
                                          {45322.0 + 1.0 / 86400000.0, false}})
        EXPECT_EQ(IsMidnight(value), midnight) << value;
    // Sunday is 1; 1899-12-30 was a Saturday.
    const std::pair<double, int> days[] = {
        {0.0, 7}, {At(2024, 1, 31, 23), 4}, {At(2024, 2, 4), 1}, {-1.25, 6}, {-7.0, 7}};
    for (const auto& [value, day] : days) EXPECT_EQ(DayOfWeek(value), day) << value;
}

TEST(DatePattern, EveryTokenWithTheJapaneseConventions)
{
    const double s = At(2024, 1, 31, 9, 5, 7, 89);   // a Wednesday morning
    const double pm = At(2024, 1, 31, 21, 5, 7);
    const struct {
        const char* pattern;
        double value;
        const char* text;
    } cases[] = {
        {"yyyy/mm/dd hh:mm:ss", s, "2024/01/31 09:05:07"}, {"YYYY/MM/DD HH:MM:SS", s, "2024/01/31 09:05:07"},
        {"y", s, "24"}, {"yy", At(2005, 3, 4), "05"}, {"yyy", s, "2024"}, {"yyyy", At(987, 3, 4), "0987"},
        {"m/d", s, "1/31"}, {"mm-dd", At(2024, 3, 4), "03-04"}, {"mmm", At(2024, 11, 4), "11月"}, {"mmmm", s, "1月"},
        {"ddd", s, "水"}, {"dddd", s, "水曜日"}, {"dddd", At(2024, 2, 4), "日曜日"}, {"ddd", At(2024, 2, 3), "土"},
        {"ddddd", s, "2024/01/31"}, {"dddddd", s, "2024年1月31日"}, {"h:n:s", s, "9:5:7"}, {"hh:nn:ss", s, "09:05:07"},
        {"z", s, "89"}, {"zzz", s, "089"}, {"hh:nn:ss.zzz", At(2024, 1, 31, 23, 59, 59, 999), "23:59:59.999"},
        {"t", s, "9:05"}, {"tt", s, "9:05:07"},
        // The first m after an hour is the minute, across separators and quotes; another letter ends that.
        {"h:m", s, "9:5"}, {"hh mm", s, "09 05"}, {"hh'x'mm", s, "09x05"}, {"hh d mm", s, "09 31 01"},
        {"hh:nn mm", s, "09:05 01"}, {"hh:mm:ss mm", s, "09:05:07 01"}, {"mm hh", s, "01 09"},
        {"c", s, "2024/01/31 9:05:07"}, {"c", At(2024, 1, 31), "2024/01/31"}, {"cc", At(2024, 1, 31), "2024/01/31"},
        {"C", At(2024, 1, 31, 0, 0, 1), "2024/01/31 0:00:01"}, {"c z", At(2024, 1, 31, 0, 0, 0, 5), "2024/01/31 5"},
        // Markers after the hour switch it to 12 hours and keep their own letter case.
        {"h:nn am/pm", s, "9:05 am"}, {"h:nn am/pm", pm, "9:05 pm"}, {"h a/p", pm, "9 p"}, {"h A/P", s, "9 A"},
        {"hh:nn AM/PM", At(2024, 1, 31, 0, 30), "12:30 AM"}, {"hh:nn Am/Pm", At(2024, 1, 31, 12), "12:00 Pm"},
        {"ampm h:nn", pm, "午後 21:05"}, {"h:nn ampm", pm, "9:05 午後"}, {"h:nn AMPM", s, "9:05 午前"}, {"a", s, "a"},
        {"h 'am/pm'", pm, "21 am/pm"}, {"hh:mm:ss am/pm", At(2024, 1, 31, 15, 4, 2), "03:04:02 pm"},
        {"'yyyy'\"dd\"", s, "yyyydd"}, {"[yyyy]", s, "[2024]"}, {"yyyy年m月d日", s, "2024年1月31日"},
        {"yyyy-mm-dd_hhnnss", s, "2024-01-31_090507"}, {"'unclosed", s, "unclosed"}, {"", s, ""}, {"x q", s, "x q"},
    };
    for (const auto& c : cases) EXPECT_EQ(FormatDateTime(c.pattern, c.value), c.text) << c.pattern;
}

TEST(DateText, WrittenAndReadBack)
{
    EXPECT_EQ(DateToText(At(2024, 12, 1, 23, 59, 59)), "2024/12/01");
    const struct {
        const char* text;
        double value;
        bool written;   // the form DateTimeToText gives; the others are only read
    } texts[] = {{"2024/01/31 9:05:07", At(2024, 1, 31, 9, 5, 7), true}, {"2024/01/31", At(2024, 1, 31), true},
                 {"2024/12/01 23:59:59", At(2024, 12, 1, 23, 59, 59), true},
                 {"1980/01/01 0:00:02", At(1980, 1, 1, 0, 0, 2), true}, {"1899/12/30 12:00:00", 0.5, true},
                 {"2024/1/5", At(2024, 1, 5), false}, {"2024/1/5 7:08", At(2024, 1, 5, 7, 8), false},
                 {"2024/01/05 07:08:09", At(2024, 1, 5, 7, 8, 9), false}};
    for (const auto& t : texts) {
        double back = -1;
        EXPECT_TRUE(!t.written || DateTimeToText(t.value) == t.text) << DateTimeToText(t.value);
        ASSERT_TRUE(TextToDateTime(t.text, back)) << t.text;
        EXPECT_NEAR(back, t.value, 1e-9) << t.text;
    }
    double v = 123.0;
    for (const char* text : {"", "2024", "2024/13/01", "2024/02/30", "24/01/31", "2024-01-31", "2024/01/31 ",
                             "2024/01/31 25:00:00", "2024/01/31 9", "2024/01/31 9:", "2024/01/31 9:05:07x",
                             "2024/01/31x", "2024/01/31 9:60", "abc", "2024/001/31", "2024/01/31 9:5"})
        EXPECT_FALSE(TextToDateTime(text, v)) << text;
    EXPECT_EQ(v, 123.0);
}

// Every second counts: a file rewritten one second later is a changed file.
TEST(FileStamp, LocalTimeInWholeSeconds)
{
    EXPECT_EQ(Full(StampFromUnix(LocalUnix(2024, 1, 31, 9, 5, 7))), "2024/01/31 09:05:07.000");
    EXPECT_NE(StampFromUnix(LocalUnix(2024, 1, 31, 9, 5, 6)), StampFromUnix(LocalUnix(2024, 1, 31, 9, 5, 7)));
    EXPECT_EQ(Full(StampFromUnix(LocalUnix(1975, 6, 1, 12, 0, 0))), "1975/06/01 12:00:00.000");
}

TEST(Clocks, SystemSourcesAndAManualClockThatWraps)
{
    const double before = UnixToDateTime(time(nullptr));
    const uint32_t tick = SystemClock::Instance().Tick();
    const double now = SystemClock::Instance().Now();
    EXPECT_LT(static_cast<uint32_t>(TickCountSystem() - tick), 1000u);
    EXPECT_GE(now, before);
    EXPECT_LE(now, UnixToDateTime(time(nullptr)) + 1.0 / 86400.0);
    ManualClock clock(45322.5, 4294967000u);
    clock.Advance(500);
    EXPECT_EQ(clock.Tick(), 204u);   // wraps like the system tick
    EXPECT_EQ(Full(clock.Now()), "2024/01/31 12:00:00.500");
}

}  // namespace
}  // namespace qv
