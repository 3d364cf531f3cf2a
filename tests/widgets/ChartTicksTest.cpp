// Tick tables of the chart's numeric and date/time scales.
#include "widgets/ChartTicks.h"

#include "core/DateTime.h"

#include <QStringList>
#include <cmath>
#include <gtest/gtest.h>

namespace kv58 {
namespace {

constexpr double kSecond = 1.0 / 86400;

std::vector<double> majorValues(const ScaleTicks& t)
{
    std::vector<double> v;
    for (const ChartTick& tick : t.ticks)
        if (tick.major)
            v.push_back(tick.value);
    return v;
}

QStringList majorLabels(const ScaleTicks& t)
{
    QStringList l;
    for (const ChartTick& tick : t.ticks)
        if (tick.major)
            l << tick.label;
    return l;
}

struct StepCase {
    double range;
    int intervals;
    double step;
    int minor;
};

TEST(ChartNumericScale, StepIsOneTwoOrFiveTimesAPowerOfTen)
{
    const StepCase cases[] = {
        {22, 3, 5, 5},         // the measurement window's default Y range -1 to 21
        {1, 3, 0.2, 4},        //
        {10, 5, 2, 4},         // s exactly 2: the boundary belongs to the 2-step
        {100, 10, 10, 5},      // s exactly a power of ten
        {0.003, 3, 0.001, 5},  // log10 lands a hair off an integer
        {50, 3, 10, 5},        //
        {7, 2, 2, 4},          //
        {2.5, 1, 2, 4},        //
        {1e6, 4, 200000, 4},   //
        {-22, 3, 5, 5},        // a reversed range has the same steps
        {4.99999, 1, 2, 4},    // just below 5
        {0.00012, 20, 5e-6, 5} //
    };
    for (const StepCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "range " << c.range << " / " << c.intervals);
        const NumericStep s = chartNumericStep(c.range, c.intervals);
        EXPECT_NEAR(s.step, c.step, c.step * 1e-12);
        EXPECT_EQ(s.minorIntervals, c.minor);
    }
}

TEST(ChartNumericScale, DefaultYRangeTicks)
{
    const ScaleTicks t = chartNumericTicks(-1, 21, 3, true, -2);
    EXPECT_EQ(majorValues(t), (std::vector<double>{0, 5, 10, 15, 20}));
    EXPECT_EQ(majorLabels(t), (QStringList{"0.0", "5.0", "10.0", "15.0", "20.0"}));
    ASSERT_EQ(t.ticks.size(), 23u); // every whole number from -1 to 21
    EXPECT_DOUBLE_EQ(t.ticks.front().value, -1);
    EXPECT_DOUBLE_EQ(t.ticks.back().value, 21);
    EXPECT_EQ(t.majorLength, 6);
    EXPECT_EQ(t.minorLength, 4);
    EXPECT_EQ(t.gridValues(), majorValues(t));
}

TEST(ChartNumericScale, TicksReachBothEndsDespiteRounding)
{
    const ScaleTicks t = chartNumericTicks(0, 1, 3, false, -2);
    EXPECT_EQ(majorLabels(t), (QStringList{"0.00", "0.20", "0.40", "0.60", "0.80", "1.00"}));
    // A tick a hair below the low end still counts (0.001 of a step).
    const ScaleTicks shifted = chartNumericTicks(1e-5, 1, 3, false, -2);
    EXPECT_EQ(majorLabels(shifted).front(), "0.00");
    // Reversed range: the same ticks, ascending.
    EXPECT_EQ(majorValues(chartNumericTicks(21, -1, 3, true, -2)),
              majorValues(chartNumericTicks(-1, 21, 3, true, -2)));
}

TEST(ChartNumericScale, AutomaticDecimals)
{
    struct Case {
        double range, step;
        std::optional<int> decimals;
    };
    const Case cases[] = {
        {22, 5, 1},         {1, 0.2, 2},    {150, 50, 0},    {100, 20, 0}, {1e6, 2e5, {}},
        {1e-4, 2e-5, {}},   {2e7, 5e6, {}}, {0.05, 0.01, 3}, // range rule: 2 - round(-0.52) = 3
        {0.002, 0.0005, 4}, // the range rule alone would give 3 and repeat labels
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "range " << c.range);
        EXPECT_EQ(chartAutoDecimals(c.range, c.step), c.decimals);
    }
}

TEST(ChartNumericScale, LabelForms)
{
    struct Case {
        double value, range, step;
        int decPlaces;
        const char* text;
    };
    const Case cases[] = {
        {1e-17, 1, 0.2, -2, "0.00"},  // below 1e-14 of the range: zero
        {-1e-17, 1, 0.2, -2, "0.00"}, // without a minus sign
        {-0.4, 1, 0.2, -2, "-0.40"},
        {2.5, 10, 2.5, 0, ""}, // DecPlaces 0: non-integer ticks stay empty
        {3, 10, 1, 0, "3"},
        {3.0000001, 10, 1, 0, "3"}, // within 1e-6 of an integer
        {2.5, 10, 2.5, 3, "2.500"},
        {123456789.123, 10, 1, 6, "123456789.1230"}, // cut to 14 characters
        {1500000, 2e6, 5e5, -2, "1.5E6"},
        {2000000, 2e6, 5e5, -2, "2E6"},
        {500000, 2e6, 5e5, -2, "5E5"},
        {0, 2e6, 5e5, -2, "0"},
        {-3e-5, 1e-4, 2e-5, -2, "-3E-5"},
        {9.99999e6, 2e7, 5e6, -2, "1E7"}, // mantissa rounding up to 10
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "value " << c.value);
        EXPECT_EQ(chartNumericLabel(c.value, c.range, c.step, c.decPlaces), QString::fromLatin1(c.text));
    }
}

TEST(ChartNumericScale, DegenerateRangesGiveNoTicks)
{
    EXPECT_TRUE(chartNumericTicks(5, 5, 3, true, -2).ticks.empty());
    EXPECT_TRUE(chartNumericTicks(0, NAN, 3, true, -2).ticks.empty());
    // A range far narrower than its values' resolution.
    EXPECT_TRUE(chartNumericTicks(1e10, 1e10 + 1e-4, 3, true, -2).ticks.size() < 100);
}

TEST(ChartNumericScale, LogarithmicDecades)
{
    const ScaleTicks t = chartLogTicks(1, 1000, true);
    EXPECT_EQ(majorValues(t), (std::vector<double>{1, 10, 100, 1000}));
    EXPECT_EQ(majorLabels(t), (QStringList{"1", "10", "100", "1000"}));
    EXPECT_EQ(t.ticks.size(), 4u + 3 * 8);
}

TEST(ChartDateTimeScale, TwoMinutesFromMidnight)
{
    const ScaleTicks t = chartDateTimeTicks(0, 120 * kSecond, 3, true, DateTimeLabelFormat{});
    ASSERT_TRUE(t.message.isEmpty());
    ASSERT_EQ(t.ticks.size(), 13u); // every 10 s
    for (std::size_t i = 0; i < t.ticks.size(); ++i)
        EXPECT_NEAR(t.ticks[i].value, static_cast<double>(i) * 10 * kSecond, 1e-12);
    EXPECT_EQ(majorLabels(t), (QStringList{"00:00:00", "00:00:30", "00:01:00", "00:01:30", "00:02:00"}));
    EXPECT_EQ(t.majorLength, 7);
    EXPECT_EQ(t.minorLength, 4);
    EXPECT_EQ(t.ticks.front().dateLabel, "30-Dec-1899");
    for (std::size_t i = 1; i < t.ticks.size(); ++i)
        EXPECT_TRUE(t.ticks[i].dateLabel.isEmpty());
}

TEST(ChartDateTimeScale, LiveWindowStartsAtTheNextWholeStep)
{
    const double start = 45000 + (10 * 3600 + 15 * 60 + 23.4) * kSecond; // 15.03.2023 10:15:23.4
    const ScaleTicks t = chartDateTimeTicks(start, start + 126 * kSecond, 3, true, DateTimeLabelFormat{});
    EXPECT_EQ(majorLabels(t), (QStringList{"10:15:30", "10:16:00", "10:16:30", "10:17:00"}));
    ASSERT_FALSE(t.ticks.empty());
    EXPECT_TRUE(t.ticks.front().major);
    EXPECT_NEAR(t.ticks.front().value, 45000 + (10 * 3600 + 15 * 60 + 30) * kSecond, 1e-9);
    EXPECT_EQ(t.ticks.front().dateLabel, "15-Mar-2023");
    EXPECT_EQ(t.ticks.size(), 12u); // 10:15:30 to 10:17:20 every 10 s
}

TEST(ChartDateTimeScale, StepsOfMinutesAndHours)
{
    const double day = 45000;
    const ScaleTicks minutes =
        chartDateTimeTicks(day + 10.0 / 24, day + 10.5 / 24, 3, true, DateTimeLabelFormat{});
    EXPECT_EQ(majorLabels(minutes), (QStringList{"10:00", "10:10", "10:20", "10:30"}));
    EXPECT_EQ(minutes.ticks.size(), 16u); // minor every 2 minutes

    // Twelve hours over midnight: 3-hour steps, a date under the first label and the new day's.
    const ScaleTicks hours =
        chartDateTimeTicks(day + 20.0 / 24, day + 1 + 8.0 / 24, 3, true, DateTimeLabelFormat{});
    EXPECT_EQ(majorLabels(hours), (QStringList{"21:00", "00:00", "03:00", "06:00"}));
    QStringList dates;
    for (const ChartTick& tick : hours.ticks)
        if (tick.major)
            dates << tick.dateLabel;
    EXPECT_EQ(dates, (QStringList{"15-Mar-2023", "16-Mar-2023", "", ""}));

    const ScaleTicks longer = chartDateTimeTicks(day, day + 10, 3, true, DateTimeLabelFormat{});
    EXPECT_EQ(majorLabels(longer).front(), "15-Mar-2023");
    EXPECT_EQ(majorLabels(longer).size(), 6); // every 2 days
}

TEST(ChartDateTimeScale, InvalidAndTooNarrowRanges)
{
    const DateTimeLabelFormat f;
    const std::pair<double, double> invalid[] = {{1, 0}, {-693594, 0}, {0, 3000001}, {NAN, 1}};
    for (auto [lo, hi] : invalid) {
        const ScaleTicks t = chartDateTimeTicks(lo, hi, 3, true, f);
        EXPECT_EQ(t.message, "invalid DateTime scale") << lo << " " << hi;
        EXPECT_TRUE(t.ticks.empty());
    }
    const ScaleTicks narrow = chartDateTimeTicks(0, 2.9 * kSecond, 3, true, f); // under a second per interval
    EXPECT_EQ(narrow.message, "DateTime range is below 1 second");
    EXPECT_TRUE(narrow.ticks.empty());
    const ScaleTicks seconds = chartDateTimeTicks(0, 3 * kSecond, 3, true, f);
    EXPECT_TRUE(seconds.message.isEmpty());
    EXPECT_EQ(majorLabels(seconds), (QStringList{"00:00:00", "00:00:01", "00:00:02", "00:00:03"}));
}

TEST(ChartDateTimeScale, DateTexts)
{
    DateTimeLabelFormat dotted;
    dotted.monthName = false;
    dotted.dateSeparator = u'.';
    DateTimeLabelFormat iso = dotted;
    iso.dateOrder = TDateOrder::doYYMMDD;
    iso.yearLength = TYearLength::ylYY;
    DateTimeLabelFormat american;
    american.dateOrder = TDateOrder::doMMDDYY;
    american.yearLength = TYearLength::ylNone;
    EXPECT_EQ(chartDateText(0, DateTimeLabelFormat{}), "30-Dec-1899");
    EXPECT_EQ(chartDateText(45000.75, dotted), "15.03.2023");
    EXPECT_EQ(chartDateText(45000, iso), "23.03.15");
    EXPECT_EQ(chartDateText(45000, american), "Mar-15");
}

TEST(ChartDateTimeScale, TimeOnlyScaleHasNoDates)
{
    TScaleProps s(nullptr, 0, 120 * kSecond);
    s.setLabelType(TFigType::ftTime);
    for (const ChartTick& t : chartScaleTicks(s).ticks)
        EXPECT_TRUE(t.dateLabel.isEmpty());
    s.setLabelType(TFigType::ftNoFigs);
    for (const ChartTick& t : chartScaleTicks(s).ticks)
        EXPECT_TRUE(t.label.isEmpty());
}

} // namespace
} // namespace kv58
