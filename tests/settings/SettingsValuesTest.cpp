// Setting values, their screen rules and the preference boxes.
#include <gtest/gtest.h>

#include <array>

#include "settings/Preferences.h"
#include "settings/Settings.h"

namespace qv {
namespace {

TEST(SettingsValues, AttributeMasksAndReaderPriority)
{
    // Each restricted attribute (system 4, hidden 2, read-only 1) leaves the folder (48) or file (32) base.
    EXPECT_EQ((std::array<uint32_t, 5>{FileAttrMaskFor(true, true, false), FileAttrMaskFor(false, false, false),
                                       FileAttrMaskFor(false, true, true), FolderAttrMaskFor(true, true, true),
                                       FolderAttrMaskFor(false, false, false)}),
              (std::array<uint32_t, 5>{33, 39, 36, 48, 55}));
    Settings s;
    s.FolderAttr_S = false, s.FileAttr_R = true;
    UpdateAttributeMasks(s);
    EXPECT_EQ(std::pair(s.FolderAttrMask, s.FileAttrMask), std::pair(53u, 32u));
    for (const auto& [level, used] : {std::pair{9, 3}, {0, 3}, {6, 3}, {-1, 3}, {1, 1}, {5, 5}})
        EXPECT_EQ(NormalizeReadPriority(level), used) << level;
}

TEST(SettingsValues, DefaultsDependOnScreenAndMemory)
{
    const Settings s = DefaultSettings(ScreenMetrics{1920, 1080, 96}, 8ull << 30);
    EXPECT_EQ((std::array<int, 6>{s.MinWidth, s.MinHeight, s.Width, s.Height, s.Top, s.Left}),
              (std::array<int, 6>{341, 192, 341, 192, (1080 - 192) / 2, (1920 - 341) / 2}));
    EXPECT_EQ(std::tuple(s.LimitParFileSize, s.FolderAttrMask, s.FileAttrMask), std::tuple(int64_t{4} << 30, 49u, 33u));
    const Settings big = DefaultSettings(ScreenMetrics{2560, 1440, 144}, 0);
    EXPECT_EQ((std::array<int, 3>{big.MinWidth, big.MinHeight, big.Left}), (std::array<int, 3>{511, 288, (2560 - 511) / 2}));
    EXPECT_EQ(big.LimitParFileSize, 0);
    // The header's own defaults describe the usual 1024 x 768 screen at 96 ppi.
    const Settings plain = DefaultSettings(ScreenMetrics{}, 0);
    EXPECT_EQ(std::pair(Settings{}.Top, Settings{}.Left), std::pair(plain.Top, plain.Left));
}

TEST(SettingsValues, WindowIsKeptOnTheScreen)
{
    const auto placed = [](ScreenMetrics screen, std::array<int, 4> tlwh) {
        Settings s = DefaultSettings(screen, 0);
        s.Top = tlwh[0], s.Left = tlwh[1], s.Width = tlwh[2], s.Height = tlwh[3];
        PlaceWindow(s, screen);
        return std::array<int, 4>{s.Top, s.Left, s.Width, s.Height};
    };
    const ScreenMetrics screen{1280, 800, 96}, tiny{300, 150, 96};
    const std::array<int, 4> cases[][2] = {
        {{10, 20, 600, 400}, {10, 20, 600, 400}},
        {{10, 20, 1281, 801}, {10, 20, 341, 192}},   // too big
        {{10, 20, 340, 191}, {10, 20, 341, 192}},    // too small
        {{-5, -7, 600, 400}, {0, 0, 600, 400}},
        {{700, 1000, 600, 400}, {400, 680, 600, 400}},
        {{400, 680, 600, 400}, {400, 680, 600, 400}},   // exactly fits
    };
    for (const auto& [read, used] : cases) EXPECT_EQ(placed(screen, read), used) << read[0];
    // A screen smaller than the minimum size still keeps the title bar reachable.
    EXPECT_EQ(placed(tiny, {75, 0, 341, 192}), (std::array<int, 4>{0, 0, 341, 192}));
}


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
    // The last: a hand-edited opacity that is no step.
    EXPECT_EQ((std::vector<std::string>{RefreshRateStatus(800), RefreshRateStatus(1000), TimeOutStatus(12345),
                                        RetryStatus(15), OpacityStatus(96), OpacityStatus(100)}),
              (std::vector<std::string>{"算出時の画面更新頻度 0.8秒", "算出時の画面更新頻度 1秒", "タイムアウト時間 12.345秒",
                                        "リトライ回数 15回", "透過設定 = 超薄", ""}));
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
