#include "platform/NumberFormat.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace qv {
namespace {

TEST(NumberFormat, DigitsSeparatorsDecimalsAndLiteralText)
{
    const double inf = std::numeric_limits<double>::infinity();
    const struct {
        double value;
        const char* format;
        const char* text;
    } cases[] = {
        {1234567.0, "0,", "1,234,567"}, {0.0, "0,", "0"}, {999.0, "0,", "999"}, {1000.0, "0,", "1,000"},
        {999.5, "0,", "1,000"}, {-1234.0, "0,", "-1,234"}, {5e12, "0,", "5,000,000,000,000"},
        {1234567.0, "#,##0", "1,234,567"}, {1234567.0, "0", "1234567"}, {1234567.0, "0,000", "1,234,567"},
        // At most one decimal, exactly one, exactly three.
        {4.0, "0,.#", "4"}, {1.25, "0,.#", "1.3"}, {1.24, "0,.#", "1.2"}, {1234.56, "0,.#", "1,234.6"},
        {4.0, "0,.0", "4.0"}, {0.05, "0,.0", "0.1"}, {0.04, "0,.0", "0.0"}, {9.96, "0,.0", "10.0"},
        {4.6566, "0,.000", "4.657"}, {1234.5, "0,.000", "1,234.500"}, {0.0005, "0,.000", "0.001"},
        {0.00049, "0,.000", "0.000"}, {1.5, "0.0#", "1.5"}, {1.555, "0.0#", "1.56"},
        // Half away from zero, on the decimal value a double stands for.
        {2.5, "0", "3"}, {-2.5, "0", "-3"}, {0.5, "0", "1"}, {0.49, "0", "0"}, {2.675, "0.00", "2.68"},
        {1.005, "0.00", "1.01"}, {-1.25, "0,.#", "-1.3"}, {0.95, "0", "1"}, {0.0999, "0.00", "0.10"},
        {9007199254740994.0, "0,", "9,007,199,254,740,994"}, {1234567890123456.0, "0", "1234567890123456"},
        {0.1 + 0.2, "0.0000000000000000", "0.3000000000000000"},
        // Text around the digits stays as it is; '%' does not scale.
        {12.34, "履歴データ検査中 0.0%", "履歴データ検査中 12.3%"},
        {100.0, "履歴データ検査中 0.0%", "履歴データ検査中 100.0%"}, {1536.0, "0,.# KB", "1,536 KB"},
        {5.0, "'0'0", "05"}, {5.0, "\"#,.\"0", "#,.5"}, {-5.0, "残り 0 件", "残り -5 件"},
        {7.0, "no digits", "no digits"},
        {0.5, "#.##", ".5"}, {0.0, "#", ""}, {7.0, "000", "007"}, {12345.0, "00", "12345"},
        // A sign only when something non-zero is shown.
        {-0.01, "0.0", "0.0"}, {-0.0, "0", "0"}, {-0.06, "0.0", "-0.1"},
        // Sections for positive; negative; zero.
        {-5.0, "0;(0)", "(5)"}, {5.0, "0;(0)", "5"}, {0.0, "0;(0);zero", "zero"}, {0.01, "0;(0);zero", "zero"},
        {-5.0, "0;;zero", "-5"},
        {inf, "0,", "INF"}, {-inf, "0,", "-INF"}, {std::numeric_limits<double>::quiet_NaN(), "0,", "NAN"},
    };
    for (const auto& c : cases) EXPECT_EQ(FormatNumber(c.value, c.format), c.text) << c.value << " " << c.format;
    EXPECT_EQ(FormatNumber(1e300, "0,").size(), 301u + 100u);   // 301 digits, 100 commas
}

TEST(NumberFormat, GroupedIntegersAndPadding)
{
    const std::pair<int64_t, const char*> grouped[] = {{0, "0"}, {999, "999"}, {1000, "1,000"}, {1234567, "1,234,567"},
                                                       {-1000, "-1,000"}, {INT64_MAX, "9,223,372,036,854,775,807"},
                                                       {INT64_MIN, "-9,223,372,036,854,775,808"}};
    for (const auto& [value, text] : grouped) EXPECT_EQ(FormatGrouped(value), text);
    // Counts characters, not bytes.
    EXPECT_EQ(PadLeft("123", 6) + PadLeft("1234567", 3) + PadLeft("", 2) + PadLeft("あい", 4), "   1231234567    あい");
}

}  // namespace
}  // namespace qv
