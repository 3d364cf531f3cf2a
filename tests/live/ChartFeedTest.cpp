// The chart feed: segments per sample, the sliding window, the reset and anchoring of a run, and
// the feed of stored samples.
#include "live/ChartFeed.h"

#include "data/ChartModel.h"

#include <gtest/gtest.h>
#include <vector>

namespace kv58 {
namespace {

constexpr double kDay = 86400.0;
constexpr double kBase = 45366.5; // a day at noon
constexpr double kTolerance = 1e-6 / kDay;

TDateTime at(double seconds)
{
    return kBase + seconds / kDay;
}

constexpr ChartColor kBlue = 0x0000FF;
constexpr ChartColor kRed = 0xFF0000;

TEST(ChartFeed, SampleDrawsOneSegmentPerChannelFromThePreviousPoint)
{
    ChartModel chart;
    ChartFeed feed(chart);
    feed.reset(200, 0, 120);
    feed.anchor(at(0), 120);
    feed.update(at(0), 5, 7, true, 120, 20);
    feed.update(at(20), 6, 8, true, 120, 20);

    struct Item {
        TrcItem kind;
        double seconds;
        double y;
        ChartColor color;
    };
    const Item expected[] = {
        // The run's first sample rises from 0 at its own time.
        {TrcItem::tkMoveTo, 0, 0, kBlue}, {TrcItem::tkLineto, 0, 5, kBlue}, {TrcItem::tkMoveTo, 0, 0, kRed},
        {TrcItem::tkLineto, 0, 7, kRed},  {TrcItem::tkMoveTo, 0, 5, kBlue}, {TrcItem::tkLineto, 20, 6, kBlue},
        {TrcItem::tkMoveTo, 0, 7, kRed},  {TrcItem::tkLineto, 20, 8, kRed},
    };
    ASSERT_EQ(chart.NumChartItems(), 8);
    for (int i = 0; i < 8; ++i) {
        SCOPED_TRACE(i);
        const TrcChartItem& item = chart.items().at(i);
        const Item& e = expected[i];
        EXPECT_EQ(item.ItemKind, e.kind);
        EXPECT_NEAR(item.x, at(e.seconds), kTolerance);
        EXPECT_EQ(item.y, e.y);
        EXPECT_EQ(item.Color, e.color);
    }
    EXPECT_EQ(feed.oldDateTime(), at(20));
    EXPECT_EQ(chart.LastElemOnShow(), 7);
}

struct WindowCase {
    int displayTime;
    int interval;
    bool two;
    int firstScrollingSample;
};

TEST(ChartFeed, FullWindowDropsTheOldestSampleAndMovesByOneInterval)
{
    const WindowCase cases[] = {
        {120, 20, false, 8}, {120, 20, true, 8}, {50, 20, false, 4}, // 2.5 samples fill the window
        {3, 0, false, 5},                                            // an interval of 0 counts as 1 s
        {3, -5, true, 5},
    };
    for (const WindowCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.displayTime << " s / " << c.interval << " s, two " << c.two);
        ChartModel chart;
        ChartFeed feed(chart);
        feed.reset(200, 0, c.displayTime);
        const double step = std::max(c.interval, 1);
        feed.anchor(at(step), c.displayTime);
        const int perSample = c.two ? 4 : 2;
        const double width = c.displayTime * 1.05;
        for (int k = 1; k <= c.firstScrollingSample + 1; ++k) {
            SCOPED_TRACE(k);
            feed.update(at(k * step), k, -k, c.two, c.displayTime, c.interval);
            const int scrolled = std::max(0, k - c.firstScrollingSample + 1);
            const int kept = k - scrolled;
            EXPECT_EQ(feed.dataCount(), std::min(k, c.firstScrollingSample - 1));
            ASSERT_EQ(chart.NumChartItems(), kept * perSample);
            EXPECT_NEAR(chart.Scale1X().RangeLow(), at(step + scrolled * step), kTolerance);
            EXPECT_NEAR(chart.Scale1X().RangeHigh(), at(step + width + scrolled * step), kTolerance);
            // The list starts with the segment that leads to the oldest sample kept.
            const TrcChartItem& first = chart.items().at(0);
            EXPECT_EQ(first.ItemKind, TrcItem::tkMoveTo);
            EXPECT_NEAR(first.x, at((scrolled == 0 ? 1 : scrolled) * step), kTolerance);
        }
        EXPECT_EQ(chart.Scale1Y().RangeLow(), 0);
        EXPECT_EQ(chart.Scale1Y().RangeHigh(), 200);
    }
}

TEST(ChartFeed, AlternatingChannelCountsDropWholeSamples)
{
    ChartModel chart;
    ChartFeed feed(chart);
    feed.reset(200, 0, 120);
    feed.anchor(at(20), 120);
    // Odd samples carry two channels, even ones one; the window keeps seven samples.
    for (int k = 1; k <= 10; ++k)
        feed.update(at(20 * k), k, k, k % 2 == 1, 120, 20);
    // Samples 4 to 10 remain: 5, 7 and 9 with four items, 4, 6, 8 and 10 with two.
    ASSERT_EQ(chart.NumChartItems(), 3 * 4 + 4 * 2);
    const TrcChartItem& first = chart.items().at(0);
    EXPECT_EQ(first.ItemKind, TrcItem::tkMoveTo);
    EXPECT_NEAR(first.x, at(60), kTolerance);
    EXPECT_EQ(first.y, 3);
    EXPECT_EQ(first.Color, kBlue);
}

TEST(ChartFeed, ItemsDrawnElsewhereGoFirstTwoOrFourAtATime)
{
    ChartModel chart;
    ChartFeed feed(chart);
    feed.reset(200, 0, 0); // the window keeps one sample
    chart.MoveTo(0, 0);    // three items the feed did not draw
    chart.DrawTo(0, 1);
    chart.DrawTo(0, 2);
    feed.update(at(1), 1, 0, false, 0, 1);
    EXPECT_EQ(chart.NumChartItems(), 5);
    feed.update(at(2), 2, 0, false, 0, 1); // drops two foreign items
    EXPECT_EQ(chart.NumChartItems(), 5);
    feed.update(at(3), 3, 0, false, 0, 1); // drops the last foreign one
    EXPECT_EQ(chart.NumChartItems(), 6);
    feed.update(at(4), 4, 0, false, 0, 1); // then whole samples of the feed
    ASSERT_EQ(chart.NumChartItems(), 6);
    EXPECT_EQ(chart.items().at(0).ItemKind, TrcItem::tkMoveTo);
    EXPECT_NEAR(chart.items().at(0).x, at(1), kTolerance);
}

TEST(ChartFeed, ResetClearsItemsAndSetsTheRunsRanges)
{
    ChartModel chart;
    ChartFeed feed(chart);
    feed.update(at(0), 9, 9, true, 120, 20);
    feed.reset(50, -10, 120);
    EXPECT_EQ(chart.NumChartItems(), 0);
    EXPECT_EQ(feed.dataCount(), 0);
    EXPECT_EQ(chart.Scale1X().RangeLow(), 0);
    EXPECT_NEAR(chart.Scale1X().RangeHigh(), 120 / kDay, kTolerance);
    EXPECT_EQ(chart.Scale1Y().RangeLow(), -10);
    EXPECT_EQ(chart.Scale1Y().RangeHigh(), 50);
    // The previous values are 0 again.
    feed.update(at(20), 3, 4, true, 120, 20);
    EXPECT_EQ(chart.items().at(0).y, 0);
    EXPECT_EQ(chart.items().at(2).y, 0);
}

TEST(ChartFeed, StoredSamplesAreNeverRemovedNorMoveTheWindow)
{
    ChartModel chart;
    ChartFeed feed(chart);
    feed.reset(200, 0, 120);
    feed.setOldDateTime(at(0));
    for (int k = 0; k < 50; ++k)
        feed.updateTime(at(k), k, k, true);
    EXPECT_EQ(chart.NumChartItems(), 200);
    EXPECT_EQ(feed.dataCount(), 0);
    EXPECT_EQ(chart.Scale1X().RangeLow(), 0);
    EXPECT_EQ(feed.oldDateTime(), at(49));
}

} // namespace
} // namespace kv58
