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

// File stamps: local time -> two-second MS-DOS form (clamped to 1980..2107) -> date-time value.
uint32_t UnixToDosDateTime(time_t t);             // high word date, low word time
double DosDateTimeToDateTime(uint32_t dos);
double StampFromUnix(time_t mtime);               // the composition of the two above

// Monotonic millisecond tick; wraps at 2^32, so compare ticks by unsigned difference.
uint32_t TickCountSystem();

}  // namespace qv
