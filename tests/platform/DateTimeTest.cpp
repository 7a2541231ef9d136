#include "platform/DateFormat.h"
#include "platform/DateTime.h"

#include <gtest/gtest.h>

namespace qv {
namespace {

TEST(DateTime, EncodeAndDecodeRoundTrip)
{
    CalendarFields f;
    f.year = 2024; f.month = 1; f.day = 31; f.hour = 9; f.minute = 5; f.second = 7;
    const double v = EncodeDateTime(f);
    EXPECT_EQ(FormatDateTime("yyyy/mm/dd hh:mm:ss", v), "2024/01/31 09:05:07");
}

}  // namespace
}  // namespace qv
