#include "core/Formats.h"

#include <cmath>
#include <gtest/gtest.h>

using namespace kv58;

namespace {

struct PatternCase {
    double value;
    const char* pattern;
    const char* expected;
};

TEST(FormatPattern, MinimumIntegerDigitsExactDecimalsRounded)
{
    const PatternCase cases[] = {
        {12.3456, "000.000", "012,346"},
        {1234.5, "000.000", "1234,500"},
        {0.05, "0.000000", "0,050000"},
        {100, "00.0000", "100,0000"},
        {10, "0.00000", "10,00000"},
        {1, "0.000000", "1,000000"},
        {0.0005, "000.000", "000,001"},
        {0.0004, "000.000", "000,000"},
        {-12.3456, "000.000", "-012,346"},
        {-0.0004, "000.000", "000,000"},
        {9.9995, "0.000", "10,000"},
        {0.125, "0.00", "0,13"},
        {1.005, "0.00", "1,01"},
        {123456789.125, "0.00", "123456789,13"},
        {2.5, "0", "3"},
        {0, "000.000", "000,000"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(formatPattern(c.value, QString::fromLatin1(c.pattern), u','), QString::fromUtf8(c.expected))
            << c.value << " " << c.pattern;
    EXPECT_EQ(formatFixed(3.14159, 1, 2, u'.'), QStringLiteral("3.14"));
}

TEST(FormatGeneral, ShortestFifteenDigitsExponentOnlyWhereNeeded)
{
    const struct {
        double value;
        const char* expected;
    } cases[] = {
        {0, "0"},
        {1, "1"},
        {0.12, "0,12"},
        {-2.5, "-2,5"},
        {12.333, "12,333"},
        {0.1 + 0.2, "0,3"},
        {1.0 / 3.0, "0,333333333333333"},
        {123456789012345.0, "123456789012345"},
        {1234567890123456.0, "1,23456789012346E15"},
        {1e20, "1E20"},
        {0.00001, "0,00001"},
        {0.000001, "1E-6"},
        {1.5e-7, "1,5E-7"},
        {-1.5e-7, "-1,5E-7"},
        {100, "100"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(formatGeneral(c.value, u','), QString::fromLatin1(c.expected)) << c.value;
    EXPECT_EQ(formatGeneral(std::nan(""), u'.'), QStringLiteral("NAN"));
    EXPECT_EQ(formatGeneral(-INFINITY, u'.'), QStringLiteral("-INF"));
}

TEST(ParseDecimal, AcceptsOnlyWholeNumbersInTheGivenSeparator)
{
    const struct {
        const char* text;
        char sep;
        std::optional<double> expected;
    } cases[] = {
        {"12,333", ',', 12.333},
        {"-1,5", ',', -1.5},
        {"+3", ',', 3.0},
        {"1,5e3", ',', 1500.0},
        {"2E-2", ',', 0.02},
        {",5", ',', 0.5},
        {"5,", ',', 5.0},
        {" 7,25 ", ',', 7.25},
        {"1.5", ',', std::nullopt},
        {"1.5", '.', 1.5},
        {"1,5", '.', std::nullopt},
        {"", ',', std::nullopt},
        {",", ',', std::nullopt},
        {"-", ',', std::nullopt},
        {"1e", ',', std::nullopt},
        {"1e+", ',', std::nullopt},
        {"1,5x", ',', std::nullopt},
        {"1 5", ',', std::nullopt},
        {"1,2,3", ',', std::nullopt},
        {"1e999", ',', std::nullopt},
        {"\t1", ',', std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(parseDecimal(QString::fromLatin1(c.text), QLatin1Char(c.sep)), c.expected) << c.text;
}

TEST(ParseInteger, SignedDecimalWholeText)
{
    EXPECT_EQ(parseInteger(u"20"), 20);
    EXPECT_EQ(parseInteger(u" -7 "), -7);
    EXPECT_EQ(parseInteger(u"+0"), 0);
    EXPECT_EQ(parseInteger(u""), std::nullopt);
    EXPECT_EQ(parseInteger(u"-"), std::nullopt);
    EXPECT_EQ(parseInteger(u"2s"), std::nullopt);
    EXPECT_EQ(parseInteger(u"99999999999999999999"), std::nullopt);
}

TEST(Dates, BothOrdersRoundTripAndRejectInvalid)
{
    const TDateTime d = *encodeDate(2026, 12, 10);
    EXPECT_EQ(formatDate(d, DateOrder::DayMonthYear, u'.'), QStringLiteral("10.12.2026"));
    EXPECT_EQ(formatDate(d + 0.75, DateOrder::YearMonthDay, u'.'), QStringLiteral("2026.12.10"));
    EXPECT_EQ(parseDate(u"10.12.2026", DateOrder::DayMonthYear, u'.'), d);
    EXPECT_EQ(parseDate(u"2026.12.10", DateOrder::YearMonthDay, u'.'), d);
    EXPECT_EQ(parseDate(u"1.1.1990", DateOrder::DayMonthYear, u'.'), encodeDate(1990, 1, 1));
    EXPECT_EQ(parseDate(u"01.01.90", DateOrder::DayMonthYear, u'.'), encodeDate(1990, 1, 1));
    EXPECT_EQ(parseDate(u"01.01.12", DateOrder::DayMonthYear, u'.'), encodeDate(2012, 1, 1));
    for (const char16_t* bad : {u"", u"31.02.2026", u"10.12", u"10/12/2026", u"10.12.2026x", u"aa.bb.cccc",
                                u"10.13.2026", u"00.12.2026"})
        EXPECT_EQ(parseDate(bad, DateOrder::DayMonthYear, u'.'), std::nullopt)
            << QString::fromUtf16(bad).toStdString();
    EXPECT_EQ(*encodeDate(1899, 12, 30), 0.0);
    EXPECT_EQ(*encodeDate(1900, 1, 1), 2.0);
}

TEST(Times, FormatAndParse)
{
    const TDateTime t = *encodeTime(10, 15, 30);
    EXPECT_EQ(formatTime(t, u':'), QStringLiteral("10:15:30"));
    EXPECT_EQ(formatTime(*encodeDate(2026, 1, 1) + *encodeTime(23, 59, 59, 999), u':'),
              QStringLiteral("23:59:59"));
    EXPECT_EQ(parseTime(u"10:15:30", u':'), t);
    EXPECT_EQ(parseTime(u"7:05", u':'), encodeTime(7, 5, 0));
    EXPECT_EQ(parseTime(u"10:15:30.25", u':'), encodeTime(10, 15, 30, 250));
    for (const char16_t* bad : {u"", u"24:00:00", u"10:60:00", u"10", u"10:15:30:1", u"10-15-30", u"ab:cd"})
        EXPECT_EQ(parseTime(bad, u':'), std::nullopt) << QString::fromUtf16(bad).toStdString();
}

TEST(DateTime, DecodeAndWeekday)
{
    const TDateTime t = *encodeDate(2026, 12, 11) + *encodeTime(8, 0, 0); // a Friday
    EXPECT_EQ(decodeDate(t), (CalendarDate{2026, 12, 11}));
    EXPECT_EQ(decodeTime(t), (TimeOfDay{8, 0, 0, 0}));
    EXPECT_EQ(dayOfWeek(t), 6);
    EXPECT_EQ(dayOfWeek(*encodeDate(2026, 12, 13)), 1); // Sunday
    EXPECT_EQ(dayOfWeek(0), 7);                         // 1899-12-30 was a Saturday
    EXPECT_EQ(decodeDate(*encodeDate(2000, 2, 29)), (CalendarDate{2000, 2, 29}));
    EXPECT_EQ(encodeDate(1900, 2, 29), std::nullopt);
}

TEST(RoundHalfEven, BankersRounding)
{
    EXPECT_EQ(roundHalfEven(0.5), 0);
    EXPECT_EQ(roundHalfEven(1.5), 2);
    EXPECT_EQ(roundHalfEven(2.5), 2);
    EXPECT_EQ(roundHalfEven(-1.5), -2);
    EXPECT_EQ(roundHalfEven(1.2), 1);
}

} // namespace
