#include "platform/NumberFormat.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace qv {
namespace {

TEST(NumberFormat, ThousandsSeparators)
{
    EXPECT_EQ(FormatNumber(1234567.0, "0,"), "1,234,567");
    EXPECT_EQ(FormatNumber(0.0, "0,"), "0");
    EXPECT_EQ(FormatNumber(999.0, "0,"), "999");
    EXPECT_EQ(FormatNumber(1000.0, "0,"), "1,000");
    EXPECT_EQ(FormatNumber(999.5, "0,"), "1,000");
    EXPECT_EQ(FormatNumber(-1234.0, "0,"), "-1,234");
    EXPECT_EQ(FormatNumber(5e12, "0,"), "5,000,000,000,000");
    EXPECT_EQ(FormatNumber(1234567.0, "#,##0"), "1,234,567");
    EXPECT_EQ(FormatNumber(1234567.0, "0"), "1234567");
}

TEST(NumberFormat, OptionalAndFixedDecimals)
{
    EXPECT_EQ(FormatNumber(4.0, "0,.#"), "4");
    EXPECT_EQ(FormatNumber(1.25, "0,.#"), "1.3");
    EXPECT_EQ(FormatNumber(1.24, "0,.#"), "1.2");
    EXPECT_EQ(FormatNumber(1234.56, "0,.#"), "1,234.6");
    EXPECT_EQ(FormatNumber(4.0, "0,.0"), "4.0");
    EXPECT_EQ(FormatNumber(0.05, "0,.0"), "0.1");
    EXPECT_EQ(FormatNumber(0.04, "0,.0"), "0.0");
    EXPECT_EQ(FormatNumber(9.96, "0,.0"), "10.0");
    EXPECT_EQ(FormatNumber(4.6566, "0,.000"), "4.657");
    EXPECT_EQ(FormatNumber(1234.5, "0,.000"), "1,234.500");
    EXPECT_EQ(FormatNumber(0.0005, "0,.000"), "0.001");
    EXPECT_EQ(FormatNumber(0.00049, "0,.000"), "0.000");
    EXPECT_EQ(FormatNumber(1.5, "0.0#"), "1.5");
    EXPECT_EQ(FormatNumber(1.555, "0.0#"), "1.56");
}

TEST(NumberFormat, RoundsHalfAwayFromZeroOnTheDecimalValue)
{
    EXPECT_EQ(FormatNumber(2.5, "0"), "3");
    EXPECT_EQ(FormatNumber(-2.5, "0"), "-3");
    EXPECT_EQ(FormatNumber(0.5, "0"), "1");
    EXPECT_EQ(FormatNumber(0.49, "0"), "0");
    EXPECT_EQ(FormatNumber(2.675, "0.00"), "2.68");    // 2.67499999... as a double
    EXPECT_EQ(FormatNumber(1.005, "0.00"), "1.01");
    EXPECT_EQ(FormatNumber(-1.25, "0,.#"), "-1.3");
    EXPECT_EQ(FormatNumber(0.95, "0"), "1");
    EXPECT_EQ(FormatNumber(0.0999, "0.00"), "0.10");
    // Integers a double holds exactly keep every digit.
    EXPECT_EQ(FormatNumber(9007199254740994.0, "0,"), "9,007,199,254,740,994");
    EXPECT_EQ(FormatNumber(1234567890123456.0, "0"), "1234567890123456");
    EXPECT_EQ(FormatNumber(0.1 + 0.2, "0.0000000000000000"), "0.3000000000000000");
}

TEST(NumberFormat, LiteralTextAroundTheDigits)
{
    EXPECT_EQ(FormatNumber(12.34, "履歴データ検査中 0.0%"), "履歴データ検査中 12.3%");
    EXPECT_EQ(FormatNumber(100.0, "履歴データ検査中 0.0%"), "履歴データ検査中 100.0%");
    EXPECT_EQ(FormatNumber(0.0, "0.0%"), "0.0%");
    EXPECT_EQ(FormatNumber(1536.0, "0,.# KB"), "1,536 KB");
    EXPECT_EQ(FormatNumber(5.0, "'0'0"), "05");
    EXPECT_EQ(FormatNumber(5.0, "\"#,.\"0"), "#,.5");
    EXPECT_EQ(FormatNumber(-5.0, "残り 0 件"), "残り -5 件");
    EXPECT_EQ(FormatNumber(7.0, "no digits"), "no digits");
}

TEST(NumberFormat, OptionalIntegerDigits)
{
    EXPECT_EQ(FormatNumber(0.5, "#.##"), ".5");
    EXPECT_EQ(FormatNumber(0.0, "#"), "");
    EXPECT_EQ(FormatNumber(7.0, "000"), "007");
    EXPECT_EQ(FormatNumber(12345.0, "00"), "12345");
    EXPECT_EQ(FormatNumber(1234567.0, "0,000"), "1,234,567");
}

TEST(NumberFormat, SignOnlyWhenSomethingIsShown)
{
    EXPECT_EQ(FormatNumber(-0.01, "0.0"), "0.0");
    EXPECT_EQ(FormatNumber(-0.0, "0"), "0");
    EXPECT_EQ(FormatNumber(-0.06, "0.0"), "-0.1");
}

TEST(NumberFormat, Sections)
{
    EXPECT_EQ(FormatNumber(-5.0, "0;(0)"), "(5)");
    EXPECT_EQ(FormatNumber(5.0, "0;(0)"), "5");
    EXPECT_EQ(FormatNumber(0.0, "0;(0);zero"), "zero");
    EXPECT_EQ(FormatNumber(0.01, "0;(0);zero"), "zero");
    EXPECT_EQ(FormatNumber(-5.0, "0;;zero"), "-5");
}

TEST(NumberFormat, NonFiniteValues)
{
    EXPECT_EQ(FormatNumber(std::numeric_limits<double>::infinity(), "0,"), "INF");
    EXPECT_EQ(FormatNumber(-std::numeric_limits<double>::infinity(), "0,"), "-INF");
    EXPECT_EQ(FormatNumber(std::numeric_limits<double>::quiet_NaN(), "0,"), "NAN");
    EXPECT_EQ(FormatNumber(1e300, "0,").size(), 301u + 100u);   // 301 digits, 100 commas
}

TEST(FormatGrouped, GroupsEveryThreeDigits)
{
    EXPECT_EQ(FormatGrouped(0), "0");
    EXPECT_EQ(FormatGrouped(999), "999");
    EXPECT_EQ(FormatGrouped(1000), "1,000");
    EXPECT_EQ(FormatGrouped(1234567), "1,234,567");
    EXPECT_EQ(FormatGrouped(-1000), "-1,000");
    EXPECT_EQ(FormatGrouped(INT64_MAX), "9,223,372,036,854,775,807");
    EXPECT_EQ(FormatGrouped(INT64_MIN), "-9,223,372,036,854,775,808");
}

TEST(PadLeft, RightAlignsWithoutCutting)
{
    EXPECT_EQ(PadLeft("123", 6), "   123");
    EXPECT_EQ(PadLeft("1234567", 3), "1234567");
    EXPECT_EQ(PadLeft("", 2), "  ");
    EXPECT_EQ(PadLeft("あい", 4), "  あい");   // counts characters, not bytes
    EXPECT_EQ(PadLeft("12", 0), "12");
}

}  // namespace
}  // namespace qv
