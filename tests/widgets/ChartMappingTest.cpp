// World-to-pixel mapping of the chart: layout of the data area, rounding, clamping.
#include "core/Formats.h"
#include "data/ChartModel.h"
#include "widgets/ChartStrokes.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace kv58 {
namespace {

// A control of 171 x 161 pixels has a data area of 100 x 100 pixels at (50, 20).
class ChartMapping : public testing::Test {
protected:
    ChartMapping()
    {
        chart.setGeometry(171, 161);
        chart.SetRange(1, 0, 0, 10, 10);
    }
    ChartModel chart;
};

TEST_F(ChartMapping, DataAreaLiesInsideTheRims)
{
    const ChartLayout& l = chart.layout();
    EXPECT_EQ(l.left, 50);
    EXPECT_EQ(l.top, 20);
    EXPECT_EQ(l.width, 100);
    EXPECT_EQ(l.height, 100);

    chart.setGeometry(171, 161, 2.0); // device pixels at twice the density
    EXPECT_EQ(chart.layout().controlWidth, 342);
    EXPECT_EQ(chart.layout().left, 100);
    EXPECT_EQ(chart.layout().width, 342 - 100 - 40 - 1);
    EXPECT_EQ(chart.layout().height, 322 - 40 - 80 - 1);

    chart.setGeometry(30, 30); // smaller than the rims
    EXPECT_EQ(chart.layout().width, 0);
    EXPECT_EQ(chart.layout().height, 0);
}

TEST_F(ChartMapping, RoundsToNearestWithTiesToEven)
{
    struct Case {
        double world;
        long long x, y;
    };
    const Case cases[] = {
        {0, 50, 120},    {10, 150, 20}, {5, 100, 70}, {0.05, 50, 120}, // 50.5 -> 50 and 119.5 -> 120
        {0.15, 52, 118},                                               // 51.5 -> 52 and 118.5 -> 118
        {0.25, 52, 118},                                               // 52.5 -> 52 and 117.5 -> 118
        {0.26, 53, 117},                                               //
        {-1, 40, 130},                                                 // outside the range: beyond the area
    };
    const AxisMapping mx = chart.xMapping();
    const AxisMapping my = chart.yMapping();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.world);
        EXPECT_EQ(mx.toPixel(c.world), c.x);
        EXPECT_EQ(my.toPixel(c.world), c.y);
        EXPECT_EQ(mx.toClampedPixel(c.world), c.x);
    }
}

TEST_F(ChartMapping, ClampsEachCoordinateSeparately)
{
    const AxisMapping mx = chart.xMapping();
    const AxisMapping my = chart.yMapping();
    EXPECT_EQ(mx.toPixel(1e6), 10000050);
    EXPECT_EQ(mx.toClampedPixel(1e6), 30000);
    EXPECT_EQ(mx.toPixel(-1e300), -2147483647);
    EXPECT_EQ(mx.toClampedPixel(-1e300), -30000);
    EXPECT_EQ(my.toClampedPixel(1e9), -30000); // far above the top
    EXPECT_EQ(my.toClampedPixel(-1e9), 30000);
    EXPECT_EQ(mx.toClampedPixel(std::numeric_limits<double>::infinity()), 30000);

    // What is drawn: the line to a far point ends at the clamped position, its other coordinate
    // untouched.
    chart.MoveTo(5, 5);
    chart.DrawTo(1e6, 5);
    chart.DrawTo(1e6, -1e9);
    ChartPenPosition pen;
    const std::vector<ChartStroke> s =
        buildChartStrokes(chart.items(), 0, chart.NumChartItems(), chart.mappings(), QPoint(0, 0), pen);
    ASSERT_EQ(s.size(), 1u);
    ASSERT_EQ(s[0].lines.size(), 2u);
    EXPECT_EQ(s[0].lines[0], QLine(100, 70, 30000, 70));
    EXPECT_EQ(s[0].lines[1], QLine(30000, 70, 30000, 30000));
}

TEST_F(ChartMapping, NotANumberAndLogarithmicLowValuesLandOnTheLowEdge)
{
    EXPECT_EQ(chart.xMapping().toPixel(NAN), 50);
    EXPECT_EQ(chart.yMapping().toClampedPixel(NAN), 120);

    chart.SetRange(1, 1, 1, 100, 100);
    chart.Scale1X().setLogarithmic(true);
    const AxisMapping mx = chart.xMapping();
    EXPECT_EQ(mx.toPixel(1), 50);
    EXPECT_EQ(mx.toPixel(10), 100);
    EXPECT_EQ(mx.toPixel(100), 150);
    EXPECT_EQ(mx.toPixel(0), 50);
    EXPECT_EQ(mx.toPixel(-5), 50);
}

TEST(ChartPixelRounding, FastRoundingMatchesHalfEven)
{
    const double values[] = {
        -2.5,   -1.5, -0.5, 0.5, 1.5, 2.5, 3.4999999999, 12345.5, 29999.5, -29999.5, 0.49999999999999994,
        1e-300, -0.0};
    for (double v : values)
        EXPECT_EQ(AxisMapping::clampAndRound(v), roundHalfEven(v)) << v;
    EXPECT_EQ(AxisMapping::clampAndRound(30000.4), 30000);
    EXPECT_EQ(AxisMapping::clampAndRound(-30000.6), -30000);
    EXPECT_EQ(AxisMapping::clampAndRound(1e20), 30000);
    EXPECT_EQ(AxisMapping::clampAndRound(NAN), -30000);
}

} // namespace
} // namespace kv58
