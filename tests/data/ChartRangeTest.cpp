// Range rules of the chart: SetRange, RangeLow/RangeHigh writes, reversed and logarithmic axes,
// and which operations repaint.
#include "data/ChartModel.h"

#include <cmath>
#include <gtest/gtest.h>
#include <stdexcept>

namespace kv58 {
namespace {

class ChartRange : public testing::Test {
protected:
    ChartRange()
    {
        chart.setRepaintHandler([this] { ++repaints; });
    }
    ChartModel chart;
    int repaints = 0;
};

TEST_F(ChartRange, FreshChartHasTheMeasurementWindowsRanges)
{
    EXPECT_EQ(chart.Scale1X().RangeLow(), 0);
    EXPECT_EQ(chart.Scale1X().RangeHigh(), 1);
    EXPECT_EQ(chart.Scale1Y().RangeLow(), -1);
    EXPECT_EQ(chart.Scale1Y().RangeHigh(), 21);
    EXPECT_EQ(chart.Scale1X().LabelType(), TFigType::ftDateTime);
    EXPECT_EQ(chart.Scale1Y().LabelType(), TFigType::ftNum);
    EXPECT_EQ(chart.Scale1X().MinRange(), 1e-10);
}

TEST_F(ChartRange, EqualEndsAreSpreadByTheMinimumDifference)
{
    chart.SetRange(1, 0, 5, 0, 5);
    const double m = chart.Scale1X().MinRange();
    EXPECT_DOUBLE_EQ(chart.Scale1X().RangeLow(), -m / 2);
    EXPECT_DOUBLE_EQ(chart.Scale1X().RangeHigh(), m / 2);
    EXPECT_NEAR(chart.Scale1Y().RangeLow(), 5 - m / 2, 1e-15);
    EXPECT_NEAR(chart.Scale1Y().RangeHigh(), 5 + m / 2, 1e-15);
    EXPECT_NEAR(chart.Scale1Y().RangeHigh() - chart.Scale1Y().RangeLow(), m, 1e-14);
    EXPECT_EQ(repaints, 1);
}

TEST_F(ChartRange, TooNarrowAxisKeepsItsRangeTheOtherAxisChanges)
{
    chart.SetRange(1, 10, 20, 10 + 0.5e-10, 30);
    EXPECT_EQ(chart.Scale1X().RangeLow(), 0);
    EXPECT_EQ(chart.Scale1X().RangeHigh(), 1);
    EXPECT_EQ(chart.Scale1Y().RangeLow(), 20);
    EXPECT_EQ(chart.Scale1Y().RangeHigh(), 30);
    chart.SetRange(1, NAN, 0, 1, 1); // not a number: kept as well
    EXPECT_EQ(chart.Scale1X().RangeLow(), 0);
}

TEST_F(ChartRange, ReversedRangeIsStoredAndDrawnReversed)
{
    chart.setGeometry(171, 161); // data area 100 x 100 pixels
    chart.SetRange(1, 10, 5, 0, -5);
    EXPECT_EQ(chart.Scale1X().RangeLow(), 10);
    EXPECT_EQ(chart.Scale1X().RangeHigh(), 0);
    EXPECT_EQ(chart.Scale1Y().RangeLow(), 5);
    EXPECT_EQ(chart.Scale1Y().RangeHigh(), -5);
    EXPECT_EQ(chart.xMapping().toPixel(10), 50); // left edge
    EXPECT_EQ(chart.xMapping().toPixel(0), 150); // right edge
    EXPECT_EQ(chart.yMapping().toPixel(5), 120); // bottom
    EXPECT_EQ(chart.yMapping().toPixel(-5), 20); // top
}

TEST_F(ChartRange, LayerZeroSetsEveryLayer)
{
    chart.SetRange(0, 1, 2, 3, 4);
    for (int layer = 1; layer <= kChartLayers; ++layer) {
        EXPECT_EQ(chart.scaleX(layer).RangeLow(), 1);
        EXPECT_EQ(chart.scaleY(layer).RangeHigh(), 4);
    }
    chart.SetRange(3, 5, 6, 7, 8);
    EXPECT_EQ(chart.scaleX(3).RangeLow(), 5);
    EXPECT_EQ(chart.scaleX(2).RangeLow(), 1);
    EXPECT_EQ(chart.scaleX(4).RangeLow(), 1);
}

TEST_F(ChartRange, RangeWrites)
{
    TScaleProps& y = chart.Scale1Y();
    const double m = y.MinRange();
    // High first, then low, as the run start writes the spin values.
    y.setRangeHigh(5);
    EXPECT_EQ(y.RangeLow(), -1);
    EXPECT_EQ(y.RangeHigh(), 5);
    y.setRangeLow(5);
    EXPECT_EQ(y.RangeLow(), 5);
    EXPECT_EQ(y.RangeHigh(), 5 + m);
    EXPECT_EQ(repaints, 2);

    // Low above high is kept as written.
    y.setRangeHigh(10);
    y.setRangeLow(20);
    EXPECT_EQ(y.RangeLow(), 20);
    EXPECT_EQ(y.RangeHigh(), 10);

    // High onto low: low moves below it.
    y.setRangeHigh(20);
    EXPECT_EQ(y.RangeHigh(), 20);
    EXPECT_EQ(y.RangeLow(), 20 - m);
}

TEST_F(ChartRange, OnlyShowAndRangeChangesRepaint)
{
    chart.MoveTo(0, 0);
    chart.DrawTo(1, 1);
    chart.setDataColor(0x0000FF);
    chart.RemoveFirstItem();
    chart.ClearGraf();
    EXPECT_EQ(repaints, 0);
    chart.ShowGraf();
    EXPECT_EQ(repaints, 1);
    chart.Scale1X().setRangeLow(0.5);
    EXPECT_EQ(repaints, 2);
}

TEST_F(ChartRange, BatchHoldsRepaintsBackUntilTheOutermostEnds)
{
    {
        const ChartModel::RepaintBatch outer(chart);
        {
            const ChartModel::RepaintBatch inner(chart);
            for (int i = 0; i < 3; ++i) {
                chart.DrawTo(i, i);
                chart.ShowGraf();
            }
            chart.SetRange(1, 0, 0, 5, 5);
        }
        EXPECT_EQ(repaints, 0);
        EXPECT_EQ(chart.LastElemOnShow(), 2); // the items are shown all the same
    }
    EXPECT_EQ(repaints, 1);

    // A batch in which nothing asked for a redraw makes none, and later requests go through again.
    {
        const ChartModel::RepaintBatch idle(chart);
    }
    EXPECT_EQ(repaints, 1);
    chart.ShowGraf();
    EXPECT_EQ(repaints, 2);
}

TEST_F(ChartRange, LogarithmicAxis)
{
    TScaleProps& y = chart.Scale1Y();
    try {
        y.setLogarithmic(true); // -1 to 21
        FAIL() << "no error";
    } catch (const std::invalid_argument& e) {
        EXPECT_STREQ(e.what(), "Logarithmic axis must not be negative.");
    }
    EXPECT_FALSE(y.Logarithmic());

    chart.SetRange(1, 0, 1, 1, 100);
    y.setLogarithmic(true);
    chart.SetRange(1, 0, 10, 1, 10); // equal ends: divided and multiplied by 1.1
    EXPECT_DOUBLE_EQ(y.RangeLow(), 10 / 1.1);
    EXPECT_DOUBLE_EQ(y.RangeHigh(), 11);
    chart.SetRange(1, 0, -5, 1, 1000); // the non-positive end is not taken
    EXPECT_DOUBLE_EQ(y.RangeLow(), 10 / 1.1);
    EXPECT_EQ(y.RangeHigh(), 1000);
    y.setRangeLow(-3);
    EXPECT_DOUBLE_EQ(y.RangeLow(), 10 / 1.1);
}

} // namespace
} // namespace kv58
