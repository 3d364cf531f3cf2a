// Drawing of the chart: line items become segments per pen, the column reduction draws exactly the
// pixels of the full drawing, the data-area cache, and the widget at different pixel ratios.
#include "widgets/ChartRenderer.h"
#include "widgets/ChartWidget.h"

#include <QPainter>
#include <gtest/gtest.h>
#include <random>

namespace kv58 {
namespace {

constexpr ChartColor kBlue = 0x0000FF;
constexpr ChartColor kRed = 0xFF0000;

int differingPixels(const QImage& a, const QImage& b)
{
    if (a.size() != b.size())
        return -1;
    int n = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            n += a.pixel(x, y) != b.pixel(x, y);
    return n;
}

TEST(ChartStrokes, ListOrderSegmentsPerPen)
{
    ChartModel chart;
    chart.setGeometry(171, 161);
    chart.SetRange(1, 0, 0, 10, 10);
    chart.DrawTo(9, 9); // no pen position yet: only moves the pen
    chart.MoveTo(0, 0);
    chart.setDataColor(kBlue);
    chart.DrawTo(1, 1);
    chart.DrawTo(2, 0);
    chart.setDataColor(kRed);
    chart.DrawTo(3, 1); // a new pen continues from the pen position
    chart.MoveTo(5, 5);
    chart.DrawTo(6, 5);
    chart.setPenStyle(TPenStyle::psClear);
    chart.DrawTo(7, 5); // invisible, but moves the pen
    ChartPenPosition pen;
    const std::vector<ChartStroke> s =
        buildChartStrokes(chart.items(), 0, chart.NumChartItems(), chart.mappings(), QPoint(50, 20), pen);
    ASSERT_EQ(s.size(), 2u);
    EXPECT_EQ(s[0].pen.color, kBlue);
    EXPECT_EQ(s[0].lines, (std::vector<QLine>{QLine(0, 100, 10, 90), QLine(10, 90, 20, 100)}));
    EXPECT_EQ(s[1].pen.color, kRed);
    EXPECT_EQ(s[1].lines, (std::vector<QLine>{QLine(20, 100, 30, 90), QLine(50, 50, 60, 50)}));
    EXPECT_TRUE(pen.valid);
    EXPECT_EQ(pen.pixel, QPoint(120, 70));
}

// A chart of `columns` x 300 device pixels holding a random walk of many points per column.
struct DenseCase {
    const char* name;
    int columns;
    int samples;
    int channels;       // 1: one MoveTo and a polyline; 2: the live feed's MoveTo/DrawTo pairs, the
                        // channels in bands of their own (where curves of two pens cross, the full
                        // drawing and the reduced one may put different pens on top)
    double ratio;       // device pixel ratio
    bool reversedX;     // X range high to low
    bool spikes;        // occasional points far outside (clamped at +-30000) and values that are NaN
    bool backSteps;     // time now and then steps back
    bool logY;          // logarithmic Y axis
    double xSpan = 100; // width of the X range (the walk spans -5 to 105)
};

void PrintTo(const DenseCase& c, std::ostream* os)
{
    *os << c.name;
}

class ChartReduction : public testing::TestWithParam<DenseCase> {};

TEST_P(ChartReduction, DrawsExactlyThePixelsOfTheFullDrawing)
{
    const DenseCase& c = GetParam();
    ChartModel chart;
    const int logicalWidth = static_cast<int>(std::lround(c.columns / c.ratio)) + 71;
    chart.setGeometry(logicalWidth, 361, c.ratio);
    // The walk starts left of the range and ends right of it, and wanders beyond the Y range.
    const double from = 50 - c.xSpan / 2, to = 50 + c.xSpan / 2;
    const double lo = c.reversedX ? to : from, hi = c.reversedX ? from : to;
    chart.SetRange(1, lo, c.logY ? 0.1 : 0, hi, 10);
    if (c.logY)
        chart.Scale1Y().setLogarithmic(true);
    std::mt19937 rng(12345);
    std::normal_distribution<double> step(0, 0.15);
    std::uniform_int_distribution<int> spike(0, 400);
    std::uniform_int_distribution<int> back(0, 300);
    double y[2] = {3, 7};
    double prevY[2] = {3, 7};
    const double bandLow[2] = {-2.0, 5.2};
    const double bandHigh[2] = {c.channels == 2 ? 4.8 : 12.0, 12.0};
    const ChartColor colors[2] = {kBlue, kRed};
    double prevX = -5;
    if (c.channels == 1)
        chart.MoveTo(prevX, y[0]);
    for (int i = 1; i <= c.samples; ++i) {
        double x = -5 + 110.0 * i / c.samples;
        if (c.backSteps && back(rng) == 0)
            x -= back(rng) / 100.0;
        for (int ch = 0; ch < c.channels; ++ch) {
            y[ch] = std::clamp(y[ch] + step(rng), bandLow[ch], bandHigh[ch]);
            double v = y[ch];
            if (c.spikes && spike(rng) == 0)
                v = spike(rng) % 2 ? 1e9 : -1e9;
            if (c.spikes && i % 9973 == 0)
                v = std::nan("");
            chart.setDataColor(colors[ch]);
            if (c.channels == 2)
                chart.MoveTo(prevX, prevY[ch]);
            chart.DrawTo(x, v);
            prevY[ch] = v;
        }
        prevX = x;
    }

    ChartRenderer full, reduced;
    const QImage expected = full.dataArea(chart, ChartStrokeMode::Exact);
    const QImage actual = reduced.dataArea(chart, ChartStrokeMode::Reduced);
    ASSERT_EQ(expected.width(), chart.layout().width + 1);
    EXPECT_EQ(full.lastUpdate().lines, static_cast<std::size_t>(c.samples * c.channels));
    EXPECT_TRUE(reduced.lastUpdate().reduced);
    if (!c.backSteps && !c.logY && !c.spikes) {
        EXPECT_LE(reduced.lastUpdate().lines, static_cast<std::size_t>(c.channels * 4 * (c.columns + 3)));
    }
    EXPECT_EQ(differingPixels(expected, actual), 0);

    // The widget's own choice reduces a dense chart.
    ChartRenderer automatic;
    EXPECT_EQ(differingPixels(expected, automatic.dataArea(chart)), 0);
    EXPECT_TRUE(automatic.lastUpdate().reduced);
}

INSTANTIATE_TEST_SUITE_P(
    DenseRandomWalks, ChartReduction,
    testing::Values(DenseCase{"OnePolyline", 400, 200000, 1, 1.0, false, false, false, false},
                    DenseCase{"OnePolylineWithSpikes", 400, 200000, 1, 1.0, false, true, false, false},
                    DenseCase{"TwoChannelsAsFed", 300, 60000, 2, 1.0, false, false, false, false},
                    DenseCase{"ReversedAxis", 300, 60000, 1, 1.0, true, true, false, false},
                    DenseCase{"DoublePixelRatio", 500, 100000, 2, 2.0, false, false, false, false},
                    DenseCase{"FewColumns", 25, 50000, 1, 1.0, false, true, false, false},
                    DenseCase{"TimeStepsBack", 300, 60000, 2, 1.0, false, false, true, false},
                    DenseCase{"TimeStepsBackWithSpikes", 300, 60000, 1, 1.0, false, true, true, false},
                    DenseCase{"LogarithmicY", 300, 60000, 1, 1.0, false, true, true, true},
                    // most points far outside the X range, many clamped to the same column
                    DenseCase{"ZoomedIntoX", 300, 60000, 2, 1.0, false, false, false, false, 0.02},
                    DenseCase{"ZoomedIntoReversedX", 300, 60000, 1, 1.0, true, true, false, false, 0.02}),
    [](const testing::TestParamInfo<DenseCase>& p) { return std::string(p.param.name); });

TEST(ChartReductionLayers, EachItemIsMappedWithItsOwnLayer)
{
    ChartModel chart;
    chart.setGeometry(371, 261);
    chart.SetRange(1, 0, 0, 100, 10);
    chart.SetRange(2, 0, -10, 50, 30); // layer 2 is zoomed and shifted
    std::mt19937 rng(5);
    std::uniform_real_distribution<double> v(0, 10);
    chart.MoveTo(0, 5);
    for (int i = 1; i < 20000; ++i) {
        if (i % 1000 == 0)
            chart.setActiveLayer(chart.ActiveLayer() == 1 ? 2 : 1); // a segment from one layer to the other
        chart.DrawTo(i * 0.005, v(rng));
    }
    ChartRenderer full, reduced;
    const QImage expected = full.dataArea(chart, ChartStrokeMode::Exact);
    EXPECT_EQ(differingPixels(expected, reduced.dataArea(chart, ChartStrokeMode::Reduced)), 0);
}

class ChartCache : public testing::Test {
protected:
    ChartCache()
    {
        chart.setGeometry(271, 161);
        chart.SetRange(1, 0, 0, 100, 10);
        chart.MoveTo(0, 5);
    }
    void feed(int from, int to)
    {
        for (int i = from; i < to; ++i)
            chart.DrawTo(i * 0.01, 5 + 4 * std::sin(i * 0.37));
    }
    QImage fresh()
    {
        ChartRenderer r;
        return r.dataArea(chart);
    }
    ChartModel chart;
    ChartRenderer renderer;
};

TEST_F(ChartCache, AppendedItemsAreDrawnOnTopOfTheCachedArea)
{
    feed(0, 3000);
    renderer.dataArea(chart);
    EXPECT_TRUE(renderer.lastUpdate().full);
    feed(3000, 3010); // a few live samples
    QImage image = renderer.dataArea(chart);
    EXPECT_FALSE(renderer.lastUpdate().full);
    EXPECT_EQ(renderer.lastUpdate().items, 10);
    EXPECT_EQ(differingPixels(image, fresh()), 0);
    feed(3010, 9000); // a large batch: everything is redrawn, reduced
    image = renderer.dataArea(chart);
    EXPECT_TRUE(renderer.lastUpdate().full);
    EXPECT_TRUE(renderer.lastUpdate().reduced);
    EXPECT_EQ(differingPixels(image, fresh()), 0);
    renderer.dataArea(chart);
    EXPECT_EQ(renderer.lastUpdate().items, 0); // nothing new: nothing drawn
}

TEST_F(ChartCache, RangeChangeRemovalAndResizeRedrawEverything)
{
    feed(0, 100);
    renderer.dataArea(chart);
    chart.SetRange(1, 0, 0, 0.5, 10);
    renderer.dataArea(chart);
    EXPECT_TRUE(renderer.lastUpdate().full);
    EXPECT_EQ(renderer.lastUpdate().items, chart.NumChartItems());

    chart.RemoveFirstItem();
    chart.RemoveFirstItem();
    const QImage afterRemoval = renderer.dataArea(chart);
    EXPECT_TRUE(renderer.lastUpdate().full);
    EXPECT_EQ(differingPixels(afterRemoval, fresh()), 0);

    chart.setGeometry(300, 200);
    EXPECT_EQ(renderer.dataArea(chart).width(), chart.layout().width + 1);
    EXPECT_TRUE(renderer.lastUpdate().full);

    chart.ClearGraf();
    const QImage cleared = renderer.dataArea(chart);
    EXPECT_TRUE(renderer.lastUpdate().full);
    EXPECT_EQ(cleared.pixel(cleared.width() / 3, 1), QColor(Qt::white).rgb());
}

// Paints the whole chart into an image at the given pixel ratio.
QImage paintChart(ChartModel& chart, int w, int h, double ratio)
{
    chart.setGeometry(w, h, ratio);
    QImage image(static_cast<int>(std::lround(w * ratio)), static_cast<int>(std::lround(h * ratio)),
                 QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    ChartRenderer renderer;
    QPainter p(&image);
    QFont font;
    font.setPointSize(8);
    renderer.paint(p, chart, font);
    return image;
}

TEST(ChartPaint, FrameGridAndCurveLandOnDevicePixels)
{
    for (double ratio : {1.0, 2.0, 1.5}) {
        SCOPED_TRACE(ratio);
        ChartModel chart;
        chart.SetRange(1, 0, 0, 10, 10);
        chart.setDataColor(kBlue);
        chart.MoveTo(0, 2.5);
        chart.DrawTo(10, 2.5);
        const QImage image = paintChart(chart, 400, 300, ratio);
        const ChartLayout& l = chart.layout();
        const int y = chart.yMapping().toPixel(2.5);
        EXPECT_EQ(image.pixel(l.left - 1, l.top + 3), QColor(Qt::black).rgb()) << "frame";
        EXPECT_EQ(image.pixel(l.left + l.width / 2, y), QColor(Qt::blue).rgb()) << "curve";
        EXPECT_EQ(image.pixel(l.left + l.width / 2, y - 1), QColor(Qt::white).rgb())
            << "one device pixel wide";
        const int grid = chart.yMapping().toPixel(4); // ticks every 2
        EXPECT_EQ(image.pixel(l.left + 7, grid), QColor(0xC0, 0xC0, 0xC0).rgb()) << "grid";
        EXPECT_EQ(image.pixel(l.left - 3, grid), QColor(Qt::black).rgb()) << "tick";
    }
}

TEST(ChartWidget, ShowGrafPaintsTheItems)
{
    ChartModel curves;
    TRChart chart(curves);
    chart.resize(400, 300);
    chart.show();
    chart.SetRange(1, 0, 0, 10, 10);
    chart.setDataColor(Qt::red);
    chart.MoveTo(0, 5);
    chart.DrawTo(10, 5);
    chart.ShowGraf();
    EXPECT_EQ(chart.model().LastElemOnShow(), 1);
    const QImage image = chart.grab().toImage();
    const ChartLayout& l = chart.model().layout();
    const double ratio = l.pixelRatio;
    EXPECT_EQ(
        image.pixel(static_cast<int>((l.left + l.width / 3) / ratio * image.devicePixelRatio()),
                    static_cast<int>(chart.model().yMapping().toPixel(5) / ratio * image.devicePixelRatio())),
        QColor(Qt::red).rgb());
    EXPECT_EQ(chart.DataColor(), QColor(Qt::red));

    // Smaller than its rims: nothing to draw into, and no harm done.
    chart.resize(12, 8);
    EXPECT_FALSE(chart.grab().isNull());
    EXPECT_EQ(chart.model().layout().width, 0);
}

} // namespace
} // namespace kv58
