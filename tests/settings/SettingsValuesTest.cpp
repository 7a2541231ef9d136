#include <gtest/gtest.h>

#include "settings/Settings.h"

namespace qv {
namespace {

TEST(SettingsValues, AttributeMasksFollowTheTicks)
{
    EXPECT_EQ(FileAttrMaskFor(true, true, false), 33u);    // S and H ticked, R not
    EXPECT_EQ(FileAttrMaskFor(false, false, false), 39u);  // none ticked
    EXPECT_EQ(FileAttrMaskFor(false, true, true), 36u);
    EXPECT_EQ(FolderAttrMaskFor(true, true, true), 48u);
    EXPECT_EQ(FolderAttrMaskFor(false, false, false), 55u);

    Settings s;
    s.FolderAttr_S = false;
    s.FileAttr_R = true;
    UpdateAttributeMasks(s);
    EXPECT_EQ(s.FolderAttrMask, 53u);
    EXPECT_EQ(s.FileAttrMask, 32u);
}

TEST(SettingsValues, ReaderPriorityOutsideOneToFiveIsNormal)
{
    EXPECT_EQ(NormalizeReadPriority(9), 3);
    EXPECT_EQ(NormalizeReadPriority(0), 3);
    EXPECT_EQ(NormalizeReadPriority(6), 3);
    EXPECT_EQ(NormalizeReadPriority(-1), 3);
    EXPECT_EQ(NormalizeReadPriority(1), 1);
    EXPECT_EQ(NormalizeReadPriority(5), 5);
}

TEST(SettingsValues, DefaultsDependOnScreenAndMemory)
{
    const Settings s = DefaultSettings(ScreenMetrics{1920, 1080, 96}, 8ull << 30);
    EXPECT_EQ(s.MinWidth, 341);
    EXPECT_EQ(s.MinHeight, 192);
    EXPECT_EQ(s.Width, 341);
    EXPECT_EQ(s.Height, 192);
    EXPECT_EQ(s.Top, (1080 - 192) / 2);
    EXPECT_EQ(s.Left, (1920 - 341) / 2);
    EXPECT_EQ(s.LimitParFileSize, int64_t{4} << 30);
    EXPECT_EQ(s.FolderAttrMask, 49u);
    EXPECT_EQ(s.FileAttrMask, 33u);

    const Settings big = DefaultSettings(ScreenMetrics{2560, 1440, 144}, 0);
    EXPECT_EQ(big.MinWidth, 511);   // 3.55 * 144 = 511.2
    EXPECT_EQ(big.MinHeight, 288);
    EXPECT_EQ(big.Left, (2560 - 511) / 2);
    EXPECT_EQ(big.LimitParFileSize, 0);

    // The header's own defaults describe the usual 1024 x 768 screen at 96 ppi.
    EXPECT_EQ(Settings{}.Top, DefaultSettings(ScreenMetrics{}, 0).Top);
    EXPECT_EQ(Settings{}.Left, DefaultSettings(ScreenMetrics{}, 0).Left);
}

TEST(SettingsValues, WindowIsKeptOnTheScreen)
{
    const ScreenMetrics screen{1280, 800, 96};
    auto placed = [&](int top, int left, int width, int height) {
        Settings s = DefaultSettings(screen, 0);
        s.Top = top;
        s.Left = left;
        s.Width = width;
        s.Height = height;
        PlaceWindow(s, screen);
        return std::array<int, 4>{s.Top, s.Left, s.Width, s.Height};
    };
    EXPECT_EQ(placed(10, 20, 600, 400), (std::array<int, 4>{10, 20, 600, 400}));
    EXPECT_EQ(placed(10, 20, 1281, 801), (std::array<int, 4>{10, 20, 341, 192}));   // too big
    EXPECT_EQ(placed(10, 20, 340, 191), (std::array<int, 4>{10, 20, 341, 192}));    // too small
    EXPECT_EQ(placed(-5, -7, 600, 400), (std::array<int, 4>{0, 0, 600, 400}));
    EXPECT_EQ(placed(700, 1000, 600, 400), (std::array<int, 4>{400, 680, 600, 400}));
    EXPECT_EQ(placed(400, 680, 600, 400), (std::array<int, 4>{400, 680, 600, 400}));  // exactly fits

    // A screen smaller than the minimum size still keeps the title bar reachable.
    const ScreenMetrics tiny{300, 150, 96};
    Settings s = DefaultSettings(tiny, 0);
    PlaceWindow(s, tiny);
    EXPECT_EQ(s.Top, 0);
    EXPECT_EQ(s.Left, 0);
    EXPECT_EQ(s.Width, 341);
}

}  // namespace
}  // namespace qv
