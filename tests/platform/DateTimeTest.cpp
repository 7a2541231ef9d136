#include "platform/DateTime.h"

#include <gtest/gtest.h>

#include <cmath>
#include <ctime>

namespace qv {
namespace {

CalendarFields Fields(int y, int mo, int d, int h = 0, int mi = 0, int s = 0, int ms = 0)
{
    CalendarFields f;
    f.year = y; f.month = mo; f.day = d;
    f.hour = h; f.minute = mi; f.second = s; f.millisecond = ms;
    return f;
}

void ExpectFields(const CalendarFields& f, int y, int mo, int d, int h, int mi, int s, int ms)
{
    EXPECT_EQ(f.year, y);
    EXPECT_EQ(f.month, mo);
    EXPECT_EQ(f.day, d);
    EXPECT_EQ(f.hour, h);
    EXPECT_EQ(f.minute, mi);
    EXPECT_EQ(f.second, s);
    EXPECT_EQ(f.millisecond, ms);
}

// Local time_t for the given wall-clock fields, whatever the machine's zone.
time_t LocalUnix(int y, int mo, int d, int h, int mi, int s)
{
    std::tm tm{};
    tm.tm_year = y - 1900; tm.tm_mon = mo - 1; tm.tm_mday = d;
    tm.tm_hour = h; tm.tm_min = mi; tm.tm_sec = s; tm.tm_isdst = -1;
    return mktime(&tm);
}

TEST(DateTimeEncode, KnownDayNumbers)
{
    EXPECT_EQ(EncodeDateTime(Fields(1899, 12, 30)), 0.0);
    EXPECT_EQ(EncodeDateTime(Fields(1900, 1, 1)), 2.0);
    EXPECT_EQ(EncodeDateTime(Fields(2024, 1, 31)), 45322.0);
    EXPECT_EQ(EncodeDateTime(Fields(2000, 2, 29)), 36585.0);
    EXPECT_DOUBLE_EQ(EncodeDateTime(Fields(2024, 1, 31, 12)), 45322.5);
    EXPECT_DOUBLE_EQ(EncodeDateTime(Fields(2024, 1, 31, 6)), 45322.25);
}

TEST(DateTimeEncode, RejectsInvalidFields)
{
    double v = -7.0;
    EXPECT_FALSE(TryEncodeDateTime(Fields(2023, 2, 29), v));
    EXPECT_FALSE(TryEncodeDateTime(Fields(1900, 2, 29), v));   // not a leap year
    EXPECT_FALSE(TryEncodeDateTime(Fields(2024, 13, 1), v));
    EXPECT_FALSE(TryEncodeDateTime(Fields(2024, 4, 31), v));
    EXPECT_FALSE(TryEncodeDateTime(Fields(2024, 1, 0), v));
    EXPECT_FALSE(TryEncodeDateTime(Fields(2024, 1, 1, 24), v));
    EXPECT_FALSE(TryEncodeDateTime(Fields(2024, 1, 1, 0, 60), v));
    EXPECT_FALSE(TryEncodeDateTime(Fields(2024, 1, 1, 0, 0, 60), v));
    EXPECT_FALSE(TryEncodeDateTime(Fields(2024, 1, 1, 0, 0, 0, 1000), v));
    EXPECT_FALSE(TryEncodeDateTime(Fields(0, 1, 1), v));
    EXPECT_EQ(v, -7.0);
    EXPECT_TRUE(TryEncodeDateTime(Fields(2024, 2, 29, 23, 59, 59, 999), v));
}

TEST(DateTimeDecode, RoundTripsToTheMillisecond)
{
    const CalendarFields samples[] = {
        Fields(2024, 1, 31, 9, 5, 7, 89), Fields(1980, 1, 1), Fields(2107, 12, 31, 23, 59, 58),
        Fields(1899, 12, 30, 23, 59, 59, 999), Fields(9999, 12, 31, 23, 59, 59, 999),
        Fields(2000, 2, 29, 12, 0, 0, 1), Fields(1601, 1, 1, 0, 0, 0, 500)};
    for (const CalendarFields& f : samples) {
        const CalendarFields back = DecodeDateTime(EncodeDateTime(f));
        ExpectFields(back, f.year, f.month, f.day, f.hour, f.minute, f.second, f.millisecond);
    }
}

TEST(DateTimeDecode, ValuesBeforeTheEpochKeepAPositiveTimeOfDay)
{
    // -1.25: one day back, six hours into that day.
    ExpectFields(DecodeDateTime(-1.25), 1899, 12, 29, 6, 0, 0, 0);
    ExpectFields(DecodeDateTime(-0.5), 1899, 12, 30, 12, 0, 0, 0);
    ExpectFields(DecodeDateTime(-2.0), 1899, 12, 28, 0, 0, 0, 0);
    const double v = EncodeDateTime(Fields(1899, 12, 29, 6));
    EXPECT_DOUBLE_EQ(v, -1.25);
}

TEST(DateTimeDecode, RoundsToTheNearestMillisecondAcrossMidnight)
{
    // Just short of midnight in floating point is midnight of the next day.
    const double almost = 45323.0 - 1e-10;
    ExpectFields(DecodeDateTime(almost), 2024, 2, 1, 0, 0, 0, 0);
    EXPECT_TRUE(IsMidnight(almost));
    EXPECT_FALSE(IsMidnight(45322.0 + 1.0 / 86400000.0));
    EXPECT_TRUE(IsMidnight(45322.0));
}

TEST(DateTimeDecode, NonFiniteAndHugeValuesStaySane)
{
    const CalendarFields nan = DecodeDateTime(std::nan(""));
    EXPECT_EQ(nan.year, 1899);
    const CalendarFields huge = DecodeDateTime(1e300);
    EXPECT_EQ(huge.year, 9999);
    const CalendarFields tiny = DecodeDateTime(-1e300);
    EXPECT_EQ(tiny.year, 1);
}

TEST(DateTimeDayOfWeek, SundayIsOne)
{
    EXPECT_EQ(DayOfWeek(0.0), 7);                                     // 1899-12-30 Saturday
    EXPECT_EQ(DayOfWeek(EncodeDateTime(Fields(2024, 1, 31, 23))), 4);  // Wednesday
    EXPECT_EQ(DayOfWeek(EncodeDateTime(Fields(2024, 2, 4))), 1);       // Sunday
    EXPECT_EQ(DayOfWeek(-1.25), 6);                                   // Friday 1899-12-29
    EXPECT_EQ(DayOfWeek(-7.0), 7);
}

TEST(DateTimeLocal, UnixToDateTimeUsesLocalWallClock)
{
    const time_t t = LocalUnix(2024, 1, 31, 9, 5, 7);
    ExpectFields(DecodeDateTime(UnixToDateTime(t)), 2024, 1, 31, 9, 5, 7, 0);
}

TEST(DateTimeLocal, NowIsCloseToTheSystemTime)
{
    const double before = UnixToDateTime(time(nullptr));
    const double now = LocalNowSystem();
    const double after = UnixToDateTime(time(nullptr)) + 1.0 / 86400.0;
    EXPECT_GE(now, before);
    EXPECT_LE(now, after);
}

TEST(DosStamp, OddSecondsRoundDownToTwo)
{
    const double stamp = StampFromUnix(LocalUnix(2024, 1, 31, 9, 5, 7));
    ExpectFields(DecodeDateTime(stamp), 2024, 1, 31, 9, 5, 6, 0);
    const double even = StampFromUnix(LocalUnix(2024, 1, 31, 9, 5, 6));
    EXPECT_EQ(stamp, even);
}

TEST(DosStamp, PacksFieldsLikeTheDosForm)
{
    const uint32_t dos = UnixToDosDateTime(LocalUnix(2024, 1, 31, 9, 5, 7));
    EXPECT_EQ(dos >> 16, static_cast<uint32_t>((44 << 9) | (1 << 5) | 31));
    EXPECT_EQ(dos & 0xFFFF, static_cast<uint32_t>((9 << 11) | (5 << 5) | 3));
}

TEST(DosStamp, YearsOutsideTheRangeAreClamped)
{
    ExpectFields(DecodeDateTime(StampFromUnix(LocalUnix(1975, 6, 1, 12, 0, 0))), 1980, 1, 1, 0,
                 0, 0, 0);
    ExpectFields(DecodeDateTime(StampFromUnix(LocalUnix(1980, 1, 1, 0, 0, 1))), 1980, 1, 1, 0,
                 0, 0, 0);
    if (sizeof(time_t) == 8) {
        ExpectFields(DecodeDateTime(StampFromUnix(LocalUnix(2200, 1, 1, 0, 0, 0))), 2107, 12,
                     31, 23, 59, 58, 0);
        ExpectFields(DecodeDateTime(StampFromUnix(LocalUnix(2107, 12, 31, 23, 59, 59))), 2107,
                     12, 31, 23, 59, 58, 0);
    }
}

TEST(DosStamp, InvalidDosFieldsGiveZero)
{
    EXPECT_EQ(DosDateTimeToDateTime(0), 0.0);                 // month 0, day 0
    EXPECT_EQ(DosDateTimeToDateTime((1u << 21) | (1u << 16) | (24u << 11)), 0.0);   // hour 24
}

TEST(Tick, IsMonotonic)
{
    const uint32_t a = TickCountSystem();
    const uint32_t b = TickCountSystem();
    EXPECT_LT(static_cast<uint32_t>(b - a), 1000u);
}

}  // namespace
}  // namespace qv
