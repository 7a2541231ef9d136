// The texts of the result panel: sizes in their units, codes in their case.
#include <gtest/gtest.h>

#include "processing/ResultPanel.h"

namespace qv {
namespace {

TEST(SizeTextTest, UnitsChangeOnlyAboveAWholeUnit)
{
    const struct { int64_t size; int unit; const char* text; } cases[] = {
        {0, 0, "0byte"}, {1024, 0, "1,024byte"}, {1025, 0, "1KB"}, {1048576, 0, "1,024KB"}, {1048577, 0, "1MB"},
        {1073741824, 0, "1,024MB"}, {1073741825, 0, "1GB"}, {5000000000LL, 0, "4.7GB"},
        {5000000000LL, 1, "5,000,000,000byte"}, {1536, 2, "1.5KB"}, {1023, 2, "1KB"}, {1048576 * 3 / 2, 3, "1.5MB"},
        // 1.049972...: held to four decimals (1.05) before the one decimal is rounded.
        {1100976, 3, "1.1MB"}, {1100976, 0, "1.1MB"},
    };
    for (const auto& c : cases) EXPECT_EQ(SizeText(c.size, c.unit), c.text) << c.size << " unit " << c.unit;
    // The unit command's own spelling of automatic byte counts.
    EXPECT_EQ(SizeText(1024, 0, kUnitCommandBytes), "1,024Byte");
    EXPECT_EQ(SizeText(1025, 0, kUnitCommandBytes), "1KB");
    EXPECT_EQ(SizeText(7, 1, kUnitCommandBytes), "7byte");
}

TEST(CodeTextTest, LowerCaseTouchesOnlyLetters)
{
    EXPECT_EQ(CodeText("0A1B2C3D", true), "0a1b2c3d");
    EXPECT_EQ(CodeText("0A1B2C3D", false), "0A1B2C3D");
    EXPECT_TRUE(CopyableCrc("0a1b2c3d"));
    EXPECT_FALSE(CopyableCrc("0a1b2c3"));
    EXPECT_FALSE(CopyableMd5(""));
}
}  // namespace
}  // namespace qv
