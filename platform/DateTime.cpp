#include "platform/DateTime.h"

#include <cmath>
#include <ctime>
#include <sys/time.h>

namespace qv {
namespace {

constexpr double kMsPerDay = 86400000.0;

bool IsLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int DaysInMonth(int y, int m)
{
    static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return (m == 2 && IsLeap(y)) ? 29 : kDays[m - 1];
}

// Days from 0001-01-01 (proleptic Gregorian) for the given date.
constexpr int64_t DaysFromCivil(int y, int m, int d)
{
    // Howard Hinnant's algorithm, shifted so the era arithmetic stays exact for any year.
    const int64_t yy = static_cast<int64_t>(y) - (m <= 2 ? 1 : 0);
    const int64_t era = (yy >= 0 ? yy : yy - 399) / 400;
    const int64_t yoe = yy - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;   // days since 1970-01-01
}

void CivilFromDays(int64_t z, int& y, int& m, int& d)
{
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(yoe + era * 400 + (m <= 2 ? 1 : 0));
}

// constexpr: other files encode dates while their statics are initialised.
constexpr int64_t kEpochShift = DaysFromCivil(1899, 12, 30);

// Splits a value into its day number and the time of day in milliseconds. Negative values
// follow the convention that the integer part counts days backwards while the fraction is
// still the time of day: -1.25 is 1899-12-29 06:00.
void SplitValue(double value, int64_t& days, int64_t& ms)
{
    const double whole = std::trunc(value);
    days = static_cast<int64_t>(whole);
    ms = static_cast<int64_t>(std::llround(std::fabs(value - whole) * kMsPerDay));
    if (ms >= 86400000) {
        ms -= 86400000;
        days += value < 0 ? -1 : 1;
    }
}

// Values further out than year 9999 either way are clamped there, so no overflow follows.
constexpr double kLimit = 2958466.0;

double Sanitise(double value)
{
    if (!std::isfinite(value)) return 0.0;
    if (value > kLimit) return kLimit - 1.0 / kMsPerDay;
    if (value < -693593.0) return -693593.0;
    return value;
}

}  // namespace

bool TryEncodeDateTime(const CalendarFields& f, double& out)
{
    if (f.year < 1 || f.year > 9999 || f.month < 1 || f.month > 12 || f.day < 1 ||
        f.day > DaysInMonth(f.year, f.month) || f.hour < 0 || f.hour > 23 || f.minute < 0 ||
        f.minute > 59 || f.second < 0 || f.second > 59 || f.millisecond < 0 ||
        f.millisecond > 999)
        return false;
    const int64_t days = DaysFromCivil(f.year, f.month, f.day) - kEpochShift;
    const double time =
        ((f.hour * 3600.0 + f.minute * 60.0 + f.second) * 1000.0 + f.millisecond) / kMsPerDay;
    out = days >= 0 ? days + time : days - time;
    return true;
}

double EncodeDateTime(const CalendarFields& f)
{
    double v = 0.0;
    TryEncodeDateTime(f, v);
    return v;
}

CalendarFields DecodeDateTime(double value)
{
    CalendarFields f;
    int64_t days = 0, ms = 0;
    SplitValue(Sanitise(value), days, ms);
    CivilFromDays(days + kEpochShift, f.year, f.month, f.day);
    f.hour = static_cast<int>(ms / 3600000);
    f.minute = static_cast<int>(ms / 60000 % 60);
    f.second = static_cast<int>(ms / 1000 % 60);
    f.millisecond = static_cast<int>(ms % 1000);
    return f;
}

int DayOfWeek(double value)
{
    int64_t days = 0, ms = 0;
    SplitValue(Sanitise(value), days, ms);
    // 1899-12-30 was a Saturday.
    int64_t r = (days + 6) % 7;
    if (r < 0) r += 7;
    return static_cast<int>(r) + 1;
}

bool IsMidnight(double value)
{
    int64_t days = 0, ms = 0;
    SplitValue(value, days, ms);
    return ms == 0;
}

double LocalTimeToDateTime(const std::tm& local, int millisecond)
{
    CalendarFields f;
    f.year = local.tm_year + 1900;
    f.month = local.tm_mon + 1;
    f.day = local.tm_mday;
    f.hour = local.tm_hour;
    f.minute = local.tm_min;
    f.second = local.tm_sec > 59 ? 59 : local.tm_sec;   // leap second
    f.millisecond = millisecond;
    double v = 0.0;
    TryEncodeDateTime(f, v);
    return v;
}

double UnixToDateTime(time_t t)
{
    std::tm local{};
    localtime_r(&t, &local);
    return LocalTimeToDateTime(local);
}

double LocalNowSystem()
{
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    std::tm local{};
    localtime_r(&ts.tv_sec, &local);
    return LocalTimeToDateTime(local, static_cast<int>(ts.tv_nsec / 1000000));
}

double StampFromUnix(time_t mtime) { return UnixToDateTime(mtime); }

uint32_t TickCountSystem()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    const uint64_t ms = static_cast<uint64_t>(ts.tv_sec) * 1000u +
                        static_cast<uint64_t>(ts.tv_nsec / 1000000);
    return static_cast<uint32_t>(ms);
}

}  // namespace qv
