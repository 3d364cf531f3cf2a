// Drawing a dense chart: a full redraw of the chart's data area (background, grid and every item,
// reduced per pixel column) against QPainter::drawPolyline of every point, in the same run.
// The chart holds two channels of one million samples each, fed the way the live chart feeds
// them (per sample and channel a move to the previous point and a line to the new one), shown in
// a data area of 1000 x 600 pixels.
//
// "Full redraw" is what every repaint after a range change costs: the curve index already holds
// the items (it is brought up to date once, as items arrive), the picture is drawn anew. The first
// draw, which also indexes all four million items, is printed as well. Times are medians of wall
// clock and of the thread's CPU time (the latter is what counts on a busy machine). The last line
// printed is "ratio=<ours/naive>" of the wall-clock medians.
#include "widgets/ChartRenderer.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <random>
#include <vector>

using namespace kv58;

namespace {

constexpr int kSamples = 1000000; // per channel
constexpr int kAreaWidth = 1000;
constexpr int kAreaHeight = 600;

double threadCpuMs()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) / 1e6;
}

struct Timing {
    std::vector<double> wall, cpu;
    template <class F> void measure(F&& f)
    {
        const double c0 = threadCpuMs();
        const auto t0 = std::chrono::steady_clock::now();
        f();
        wall.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
        cpu.push_back(threadCpuMs() - c0);
    }
};

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    ChartModel chart;
    const ChartRims rims = chart.rims();
    // The data area spans W + 1 columns and H + 1 rows.
    chart.setGeometry(kAreaWidth + rims.left + rims.right, kAreaHeight + rims.top + rims.bottom);
    const double start = 45000; // one day of samples
    chart.SetRange(1, start, -1, start + 1, 21);

    const ChartColor colors[2] = {chartColorFromBgr(0xFF0000), chartColorFromBgr(0x0000FF)};
    std::mt19937 rng(7);
    std::normal_distribution<double> noise(0, 0.4);
    std::vector<QPoint> points[2];
    const AxisMapping mx = chart.xMapping();
    const AxisMapping my = chart.yMapping();
    const QPoint offset(chart.layout().left, chart.layout().top);
    double previous[2] = {0, 0};
    double previousTime = start;
    for (int i = 0; i < kSamples; ++i) {
        const double t = start + static_cast<double>(i) / kSamples;
        const double value[2] = {10 + 8 * std::sin(i * 2e-5) + noise(rng),
                                 5 + 3 * std::cos(i * 7e-5) + noise(rng)};
        for (int ch = 0; ch < 2; ++ch) {
            chart.setDataColor(colors[ch]);
            chart.MoveTo(previousTime, previous[ch]);
            chart.DrawTo(t, value[ch]);
            previous[ch] = value[ch];
            points[ch].push_back(QPoint(mx.toClampedPixel(t), my.toClampedPixel(value[ch])) - offset);
        }
        previousTime = t;
    }

    // Ours, first draw: indexes every item, then draws.
    ChartRenderer renderer;
    Timing first;
    first.measure([&] { renderer.dataArea(chart); });

    // Ours, full redraw: what every repaint after a range change costs.
    Timing ours;
    for (int run = 0; run < 21; ++run) {
        renderer.invalidate();
        ours.measure([&] { renderer.dataArea(chart); });
    }
    const ChartRenderer::UpdateInfo info = renderer.lastUpdate();

    // Appending one live sample to the shown chart: only the new items are drawn.
    Timing append;
    for (int run = 0; run < 21; ++run) {
        for (int ch = 0; ch < 2; ++ch) {
            chart.setDataColor(colors[ch]);
            chart.MoveTo(previousTime, previous[ch]);
            chart.DrawTo(previousTime + 1e-6, previous[ch]);
        }
        previousTime += 1e-6;
        append.measure([&] { renderer.dataArea(chart); });
    }

    // Naive: the same background, then every point of both channels as one polyline each.
    QImage naiveImage(kAreaWidth, kAreaHeight, QImage::Format_RGB32);
    Timing naive;
    for (int run = 0; run < 3; ++run) {
        naive.measure([&] {
            naiveImage.fill(Qt::white);
            QPainter p(&naiveImage);
            for (int ch = 0; ch < 2; ++ch) {
                p.setPen(QPen(toQColor(colors[ch]), 0));
                p.drawPolyline(points[ch].data(), static_cast<int>(points[ch].size()));
            }
        });
    }

    const double oursMs = median(ours.wall);
    const double naiveMs = median(naive.wall);
    std::printf("chart: %d samples x 2 channels (%d items), data area %d x %d\n", kSamples, 2 * 2 * kSamples,
                kAreaWidth, kAreaHeight);
    std::printf("ours  first draw (indexing every item): %.1f ms wall, %.1f ms cpu\n", first.wall[0],
                first.cpu[0]);
    std::printf("ours  full redraw: %.2f ms wall (min %.2f), %.2f ms cpu; %zu lines and spans drawn\n",
                oursMs, *std::min_element(ours.wall.begin(), ours.wall.end()), median(ours.cpu), info.lines);
    std::printf("ours  one appended sample: %.3f ms wall, %.3f ms cpu\n", median(append.wall),
                median(append.cpu));
    std::printf("naive drawPolyline of every point: %.1f ms wall (min %.1f), %.1f ms cpu\n", naiveMs,
                *std::min_element(naive.wall.begin(), naive.wall.end()), median(naive.cpu));
    std::printf("cpu ratio=%.4f\n", median(ours.cpu) / median(naive.cpu));
    std::printf("ratio=%.4f\n", oursMs / naiveMs);
    return 0;
}
