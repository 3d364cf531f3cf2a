// Report table at a million rows against a hundred: filling cell by cell with painting suppressed,
// the heap it takes per cell, and the cost of one frame after scrolling to the end.
#include "widgets/ReportListView.h"

#include <QApplication>
#include <QScrollBar>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <malloc.h>
#include <memory>
#include <vector>

using namespace kv58;

namespace {

using Clock = std::chrono::steady_clock;

double nsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::nano>(Clock::now() - start).count();
}

// CPU time of this thread: on a shared machine it shows the table's own cost next to wall time.
double threadCpuNs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e9 + double(t.tv_nsec);
}

std::size_t heapInUse()
{
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

struct Figures {
    double fillNsPerCell = 0;
    double bytesPerCell = 0;
    double firstFrameNs = 0;
    double frameNs = 0;
};

// CPU time of one synchronous repaint of the table's data area.
double frameNs(TReportListView& view)
{
    const double start = threadCpuNs();
    view.viewport()->repaint();
    return threadCpuNs() - start;
}

// Texts as a measurement writes them, made before timing so the fill measures the table only.
struct Texts {
    std::vector<QString> dates, times, values;
    Texts()
    {
        for (int i = 0; i < 1000; ++i) {
            dates.push_back(QStringLiteral("2026.12.%1").arg(1 + i % 28, 2, 10, QLatin1Char('0')));
            times.push_back(QStringLiteral("10:%1:%2")
                                .arg(i / 60 % 60, 2, 10, QLatin1Char('0'))
                                .arg(i % 60, 2, 10, QLatin1Char('0')));
            values.push_back(QStringLiteral("%1,%2")
                                 .arg(i % 1000, 3, 10, QLatin1Char('0'))
                                 .arg((i * 7) % 1000, 3, 10, QLatin1Char('0')));
        }
    }
};

// Fills a shown table of `rows` rows cell by cell with painting suppressed, then scrolls to the end.
std::unique_ptr<TReportListView> fill(TRLData& store, int rows, const Texts& texts, Figures& f)
{
    constexpr int kColumns = 6;
    auto view = std::make_unique<TReportListView>(store);
    view->SetNrOfColumns(kColumns);
    view->SetCommonHeaderVisible(true);
    view->resize(900, 600);
    view->show();
    QApplication::processEvents();

    const std::size_t heapBefore = heapInUse();
    const auto wallStart = Clock::now();
    const double cpuStart = threadCpuNs();
    view->SetSuppressPaint(true);
    for (int i = 0; i < rows; ++i) {
        const int r = view->AddRow();
        const auto k = static_cast<std::size_t>(i % 1000);
        view->SetElem(1, r, texts.dates[k]);
        view->SetElem(2, r, texts.times[k]);
        view->SetElem(3, r, texts.values[k]);
        view->SetElem(4, r, texts.values[(k + 1) % 1000]);
        view->SetElem(5, r, texts.values[(k + 2) % 1000]);
        view->SetElem(6, r, texts.values[(k + 3) % 1000]);
    }
    view->SetSuppressPaint(false);
    const double fillCpuNs = threadCpuNs() - cpuStart;
    const double fillWallNs = nsSince(wallStart);
    const double cells = double(rows) * kColumns;
    f.fillNsPerCell = fillCpuNs / cells;
    f.bytesPerCell = double(heapInUse() - heapBefore) / cells;

    view->SetTopRow(rows - view->VisibleRowCount() + 1);
    QApplication::processEvents();
    f.firstFrameNs = frameNs(*view);
    std::printf("rows=%d top_row=%d visible_rows=%d fill_wall_ms=%.1f fill_cpu_ms=%.1f fill_ns_per_cell=%.1f "
                "bytes_per_cell=%.1f first_frame_cpu_us=%.1f\n",
                rows, view->TopRow(), view->VisibleRowCount(), fillWallNs / 1e6, fillCpuNs / 1e6,
                f.fillNsPerCell, f.bytesPerCell, f.firstFrameNs / 1e3);
    return view;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const Texts texts;
    Figures small;
    Figures large;
    TRLData smallStore;
    TRLData largeStore;
    const auto smallView = fill(smallStore, 100, texts, small);
    const auto largeView = fill(largeStore, 1000000, texts, large);

    // Frames of both tables in turns, the cheapest of each: what painting costs, without the
    // noise of a shared machine.
    small.frameNs = large.frameNs = 1e18;
    for (int i = 0; i < 30; ++i) {
        small.frameNs = std::min(small.frameNs, frameNs(*smallView));
        large.frameNs = std::min(large.frameNs, frameNs(*largeView));
    }
    // A live run on top of the long table: one row per measurement line, newest row kept at the
    // bottom, one frame per line.
    const double liveStart = threadCpuNs();
    constexpr int kLiveLines = 200;
    for (int i = 0; i < kLiveLines; ++i) {
        const int r = largeView->AddRow();
        for (int c = 1; c <= 6; ++c)
            largeView->SetElem(c, r, texts.values[static_cast<std::size_t>(i)]);
        largeView->SetTopRow(r - largeView->VisibleRowCount() + 1);
        largeView->viewport()->repaint();
    }
    std::printf("live line at 1000000 rows (append, scroll, frame): cpu_us=%.1f\n",
                (threadCpuNs() - liveStart) / kLiveLines / 1e3);
    std::printf("frame_cpu_us at 100 rows=%.1f at 1000000 rows=%.1f\n", small.frameNs / 1e3,
                large.frameNs / 1e3);
    std::printf(
        "times are CPU time of the painting thread; fill_wall_ms includes waiting on a busy machine\n");
    std::printf("fill_ns_per_cell=%.0f bytes_per_cell=%.0f frame_ratio=%.2f\n", large.fillNsPerCell,
                large.bytesPerCell, large.frameNs / small.frameNs);
    return 0;
}
