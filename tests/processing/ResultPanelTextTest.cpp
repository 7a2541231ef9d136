// The texts of the result panel: sizes in their units, codes in their case.
#include <gtest/gtest.h>

#include "processing/ResultPanel.h"

namespace qv {
namespace {

TEST(SizeTextTest, UnitsChangeOnlyAboveAWholeUnit)
{
    EXPECT_EQ(SizeText(0, 0), "0byte");
    EXPECT_EQ(SizeText(1024, 0), "1,024byte");
    EXPECT_EQ(SizeText(1025, 0), "1KB");
    EXPECT_EQ(SizeText(1048576, 0), "1,024KB");
    EXPECT_EQ(SizeText(1048577, 0), "1MB");
    EXPECT_EQ(SizeText(1073741824, 0), "1,024MB");
    EXPECT_EQ(SizeText(5000000000LL, 0), "4.7GB");
    EXPECT_EQ(SizeText(5000000000LL, 1), "5,000,000,000byte");
    EXPECT_EQ(SizeText(1536, 2), "1.5KB");
    EXPECT_EQ(SizeText(1048576 * 3 / 2, 3), "1.5MB");
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
