// Drawing a loaded measurement again: a two-channel irradiation table of one million rows, in the
// live table's forms, drawn on the chart as the open command does after loading a file. The first
// draw also commits the chart's memory (4 million items of 32 bytes); the later ones reuse it.
// Times are wall clock and the thread's CPU time; the last line printed is
// "first_ms=<..> again_ms=<median of the later draws>".
#include "core/Clock.h"
#include "core/MeasureMode.h"
#include "data/Measurement.h"
#include "live/LiveRun.h"
#include "live/ShowFile.h"

#include <QCoreApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <vector>

using namespace kv58;

namespace {

constexpr int kRows = 1000000;
constexpr int kAgain = 5;

class FixedClock final : public Clock {
public:
    TDateTime now() const override { return 0; }
    std::int64_t monotonicMs() const override { return 0; }
};

double threadCpuMs()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) / 1e6;
}

void fillTable(TRLData& t)
{
    t.SetNrOfColumns(6);
    t.SetNrOfRows(kRows);
    char text[32];
    for (int r = 1; r <= kRows; ++r) {
        const int second = r * 20;
        std::snprintf(text, sizeof text, "2024.%02d.%02d", 1 + second / 86400 / 28 % 12,
                      1 + second / 86400 % 28);
        t.SetElemBytes(1, r, text);
        std::snprintf(text, sizeof text, "%02d:%02d:%02d", second / 3600 % 24, second / 60 % 60, second % 60);
        t.SetElemBytes(2, r, text);
        std::snprintf(text, sizeof text, "%d,%06d", r % 10, r % 1000000);
        t.SetElemBytes(3, r, text);
        t.SetElemBytes(4, r, "123,456");
        std::snprintf(text, sizeof text, "%03d,%03d", r % 1000, r % 997);
        t.SetElemBytes(5, r, text);
        t.SetElemBytes(6, r, "654,321");
    }
}

} // namespace

int main(int argc, char** argv)
{
    const QCoreApplication app(argc, argv);
    Measurement measurement;
    const FixedClock clock;
    LiveRun run(measurement, clock, {});
    fillTable(measurement.table());
    measurement.setRunKind(Irradiation);

    std::vector<double> again;
    double firstMs = 0;
    for (int i = 0; i <= kAgain; ++i) {
        const auto start = std::chrono::steady_clock::now();
        const double cpuStart = threadCpuMs();
        if (ShowFile(run, measurement, 200, 0)) {
            std::printf("conversion error\n");
            return 1;
        }
        const double cpu = threadCpuMs() - cpuStart;
        const double wall =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        std::printf("draw %d: wall %.1f ms, cpu %.1f ms, %d items\n", i + 1, wall, cpu,
                    measurement.chart().NumChartItems());
        if (i == 0)
            firstMs = wall;
        else
            again.push_back(wall);
    }
    std::sort(again.begin(), again.end());
    std::printf("first_ms=%.1f again_ms=%.1f\n", firstMs, again[again.size() / 2]);
    return 0;
}
