#include <gtest/gtest.h>

#include "settings/Preferences.h"

namespace qv {
namespace {

TEST(PreferencesTest, BoxEntriesOutsideTheRangeOrNotANumberKeepTheValue)
{
    const struct { const char* entry; AcceptedRange range; int expected; /* 77: kept */ } cases[] = {
        {"299", kRefreshRateRange, 77},  {"300", kRefreshRateRange, 300},  {" 3000\t", kRefreshRateRange, 3000},
        {"3001", kRefreshRateRange, 77}, {"30000", kIoTimeOutRange, 30000}, {"30001", kIoTimeOutRange, 77},
        {"abc", kIoRetryOutRange, 77},   {"", kIoRetryOutRange, 77},        {"1 2", kIoRetryOutRange, 77},
        {"12abc", kIoRetryOutRange, 77}, {"0x5", kIoRetryOutRange, 77},     {"-1", kIoRetryOutRange, 77},
        {"0", kIoRetryOutRange, 0},      {"15", kIoRetryOutRange, 15},      {"16", kIoRetryOutRange, 77},
        {"99999999999", kIoRetryOutRange, 77},
    };
    for (const auto& c : cases) {
        int value = 77;
        EXPECT_EQ(TakeBoxEntry(c.entry, c.range, value), c.expected != 77) << c.entry;
        EXPECT_EQ(value, c.expected) << c.entry;
    }
}

TEST(PreferencesTest, StatusTextsAndWindowRules)
{
    EXPECT_EQ(RefreshRateStatus(800), "算出時の画面更新頻度 0.8秒");
    EXPECT_EQ(RefreshRateStatus(1000), "算出時の画面更新頻度 1秒");
    EXPECT_EQ(TimeOutStatus(12345), "タイムアウト時間 12.345秒");
    EXPECT_EQ(RetryStatus(15), "リトライ回数 15回");
    EXPECT_EQ(OpacityStatus(96), "透過設定 = 超薄");
    EXPECT_EQ(OpacityStatus(100), "");   // a hand-edited value that is no step
    // A hand-edited opacity never makes the window vanish.
    for (const auto& [stored, applied] : {std::pair{255, 255}, {64, 64}, {100, 100}, {0, 64}, {-5, 64}, {999, 255}})
        EXPECT_EQ(AppliedOpacity(stored), applied) << stored;
    EXPECT_TRUE(!BlendingOn(255) && BlendingOn(254));
    for (const auto& [platform, supported] :
         {std::pair{"xcb", true}, {"offscreen", true}, {"wayland", false}, {"wayland-egl", false}})
        EXPECT_EQ(StayOnTopSupported(platform), supported) << platform;
    Settings s;
    s.PickupColor = 1, s.ListFontColor = 2;
    for (int m = 0; m < kResultMarkCount; ++m) EXPECT_EQ(ResultMarkColour(m, s), m <= 2 ? 1u : 2u) << m;
    for (const ColourItemDef& def : kColourItems) EXPECT_EQ(&ColourItemOf(def.item), &def) << def.name;
}

}  // namespace
}  // namespace qv
