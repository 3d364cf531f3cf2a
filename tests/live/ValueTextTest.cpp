// The value texts of table cells and channel displays.
#include "live/ValueText.h"

#include <gtest/gtest.h>

namespace kv58 {
namespace {

struct ValueCase {
    double value;
    const char* byMagnitude;
    const char* fixed;
};

TEST(ValueText, PatternFollowsTheMagnitudeAndFixedHasThreeDecimals)
{
    const ValueCase cases[] = {
        {0.5, "0,500000", "000,500"},    {0.05, "0,050000", "000,050"},     {0, "0,000000", "000,000"},
        {-2.5, "-2,500000", "-002,500"}, // negative values take the smallest pattern
        {1, "1,000000", "001,000"},      {1.0000005, "1,00000", "001,000"}, // just above 1: five decimals
        {10, "10,00000", "010,000"},     {12.3456, "12,3456", "012,346"},   {100, "100,0000", "100,000"},
        {150, "150,000", "150,000"},     {1234.5, "1234,500", "1234,500"},
    };
    for (const ValueCase& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(formatByMagnitude(c.value), QString::fromLatin1(c.byMagnitude));
        EXPECT_EQ(formatFixedValue(c.value), QString::fromLatin1(c.fixed));
    }
}

TEST(ValueText, DisplayLineJoinsTypeValueAndUnit)
{
    EXPECT_EQ(channelDisplayText({QStringLiteral("UVA"), QStringLiteral("W/m²"), 12.3456, 0}),
              QStringLiteral("UVA: 012,346 W/m²"));
    // A relation label keeps its blanks.
    EXPECT_EQ(channelDisplayText({QStringLiteral("UVA/VISL "), QStringLiteral("%"), 0.5, 0}),
              QStringLiteral("UVA/VISL : 000,500 %"));
}

} // namespace
} // namespace kv58
