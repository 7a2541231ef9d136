#include <gtest/gtest.h>

#include "settings/Settings.h"

namespace qv {
namespace {

TEST(SettingsValues, AttributeMasksFollowTheTicks)
{
    EXPECT_EQ(FileAttrMaskFor(true, true, false), 33u);    // S and H ticked, R not
    EXPECT_EQ(FileAttrMaskFor(false, false, false), 39u);  // none ticked
    EXPECT_EQ(FileAttrMaskFor(true, true, true), 32u);
    EXPECT_EQ(FileAttrMaskFor(false, true, true), 36u);
    EXPECT_EQ(FolderAttrMaskFor(true, true, true), 48u);
    EXPECT_EQ(FolderAttrMaskFor(false, false, false), 55u);
    EXPECT_EQ(FolderAttrMaskFor(true, false, true), 50u);

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

TEST(SettingsValues, ColoursKeepRedInTheLowByte)
{
    const Colour wall = 0x92F592;
    EXPECT_EQ(ColourRed(wall), 0x92);
    EXPECT_EQ(ColourGreen(wall), 0xF5);
    EXPECT_EQ(ColourBlue(wall), 0x92);
    EXPECT_EQ(MakeColour(0xFF, 0x00, 0x00), 0x0000FFu);
    EXPECT_EQ(MakeColour(0x01, 0x02, 0x03), 0x030201u);
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

TEST(SettingsValues, DefaultListFormats)
{
    const ListFormatTable f = DefaultListFormats();
    const std::array<std::string, 5> names{"MD5 FileName", "MD5 *FileName", "MD5", "md5", "MD5 (FileName) = md5"};
    const std::array<std::string, 5> string1{"", "", "", "", "MD5 ("};
    const std::array<std::string, 5> string2{" ", " *", "", "", ") = "};
    const std::array<std::array<int32_t, 5>, 5> codes{{{1, 0, 5, 5, 5}, {1, 0, 5, 5, 5}, {1, 5, 5, 5, 5},
                                                       {1, 5, 5, 5, 5}, {0, 1, 5, 5, 5}}};
    const std::array<int32_t, 5> md5Format{0, 0, 0, 1, 1};
    for (size_t n = 0; n < 5; ++n) {
        SCOPED_TRACE(n + 1);
        EXPECT_EQ(f[n].Name, names[n]);
        EXPECT_EQ(f[n].Strings[0], string1[n]);
        EXPECT_EQ(f[n].Strings[1], string2[n]);
        EXPECT_EQ(f[n].Strings[2], "");
        EXPECT_EQ(f[n].Strings[4], "");
        EXPECT_EQ(f[n].Codes, codes[n]);
        EXPECT_EQ(f[n].Md5Format, md5Format[n]);
        EXPECT_EQ(f[n].CrcFormat, 0);
        EXPECT_EQ(f[n].NameFormat, 0);
        EXPECT_EQ(f[n].Extension, ".MD5");
        EXPECT_EQ(f[n].HeaderText1, "");
        EXPECT_FALSE(f[n].PathHeader);
        EXPECT_FALSE(f[n].TailBlankLine);
    }
    EXPECT_EQ(DefaultTimestampFormats(), std::vector<std::string>{"yyyy/mm/dd hh:mm:ss"});
}

}  // namespace
}  // namespace qv
