#include "platform/Clock.h"
#include "platform/DateTime.h"

#include <gtest/gtest.h>

namespace qv {
namespace {

TEST(SystemClock, FollowsTheSystemSources)
{
    Clock& clock = SystemClock::Instance();
    EXPECT_EQ(&clock, &SystemClock::Instance());
    const double before = LocalNowSystem();
    const double now = clock.Now();
    const double after = LocalNowSystem();
    EXPECT_GE(now, before);
    EXPECT_LE(now, after);
    const uint32_t tickBefore = TickCountSystem();
    const uint32_t tick = clock.Tick();
    const uint32_t tickAfter = TickCountSystem();
    EXPECT_LE(static_cast<uint32_t>(tick - tickBefore),
              static_cast<uint32_t>(tickAfter - tickBefore));
}

TEST(ManualClock, MovesOnlyWhenTold)
{
    ManualClock clock(45322.5, 4294967000u);
    EXPECT_EQ(clock.Now(), 45322.5);
    clock.Advance(500);
    EXPECT_EQ(clock.Tick(), 204u);   // wraps like the system tick
    const CalendarFields f = DecodeDateTime(clock.Now());
    EXPECT_EQ(f.hour, 12);
    EXPECT_EQ(f.millisecond, 500);
    clock.SetNow(1.0);
    clock.SetTick(7);
    EXPECT_EQ(clock.Now(), 1.0);
    EXPECT_EQ(clock.Tick(), 7u);
}

}  // namespace
}  // namespace qv
