#pragma once
#include <cstdint>
#include <ctime>

namespace qv {

// Date-time values are doubles: days since 1899-12-30 00:00 local time, time of day as fraction.
struct CalendarFields {
    int year = 1899, month = 12, day = 30;
    int hour = 0, minute = 0, second = 0, millisecond = 0;
};

double EncodeDateTime(const CalendarFields& f);   // fields must be valid
bool TryEncodeDateTime(const CalendarFields& f, double& out);  // false on invalid fields
CalendarFields DecodeDateTime(double value);      // millisecond-rounded
int DayOfWeek(double value);                      // 1 = Sunday .. 7 = Saturday
bool IsMidnight(double value);                    // time part is exactly 00:00:00.000

// Local time <-> date-time values.
double LocalTimeToDateTime(const std::tm& local, int millisecond = 0);
double UnixToDateTime(time_t t);                  // local time, whole seconds
double LocalNowSystem();                          // real local now, millisecond resolution

// File stamps: the last-write time as a local date-time value in whole seconds. Not the
// two-second MS-DOS form: a file rewritten at the same size within those two seconds would keep
// its old codes. Whole seconds survive the history's text form, so records keep their round trip.
double StampFromUnix(time_t mtime);

// Monotonic millisecond tick; wraps at 2^32, so compare ticks by unsigned difference.
uint32_t TickCountSystem();

}  // namespace qv
