// Saving and loading a measurement data file of a long two-channel irradiation run: the time to
// build and write the file, the time to read and parse it into a table, the memory the loaded
// table takes, and the time the window's open command takes until the table and the chart are
// shown (main window offscreen). The last line printed is
// "save_s=<..> load_s=<..> open_show_s=<..> rows=<..>".
//   bench_datafile [file [rows]]   (default: a file in a temporary folder, 1000000 rows)
#include "OffscreenWindow.h"
#include "app/shell/MainForm.h"
#include "data/DataFile.h"
#include "data/RLData.h"

#include <QApplication>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <malloc.h>
#include <string>
#include <variant>
#include <vector>

using namespace kv58;

namespace {

using Stopwatch = std::chrono::steady_clock;

double secondsSince(Stopwatch::time_point start)
{
    return std::chrono::duration<double>(Stopwatch::now() - start).count();
}

std::size_t heapInUse()
{
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

// A "VmRSS" or "VmHWM" figure of /proc/self/status in MB, -1 where there is none.
double procStatusMb(const std::string& key)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(key + ":", 0) == 0)
            return std::strtod(line.c_str() + key.size() + 1, nullptr) / 1024.0;
    return -1;
}

// The table of a two-channel irradiation run as the live processing fills it.
void fillRun(TRLData& table, int rows)
{
    table.SetNrOfColumns(6);
    const char* names[] = {"Date", "Time", "UVA[W/m\u00b2]", "UVA Dose", "VIS[klx]", "VIS Dose"};
    for (int c = 1; c <= 6; ++c)
        table.SetColName(c, QString::fromUtf8(names[c - 1]));
    table.SetNrOfRows(rows);
    for (int r = 1; r <= rows; ++r) {
        table.SetElemBytes(1, r, "2026.12.11");
        table.SetElemBytes(2, r, "12:00:00");
        table.SetElemBytes(3, r, "0,050000");
        table.SetElemBytes(4, r, "000,123");
        table.SetElemBytes(5, r, "150,000");
        table.SetElemBytes(6, r, "001,234");
    }
}

DataFileContent runContent()
{
    DataFileContent content;
    content.instrument.serial = QStringLiteral("64 58 2 0007");
    content.sensors[0].type = QStringLiteral("UVA");
    content.sensors[0].calibrationFactor = 1.25;
    content.sensors[1].type = QStringLiteral("VIS");
    content.sensors[1].calibrationFactor = 0.5;
    content.runKind = 1;
    content.interval = 1;
    return content;
}

// The time the window's open command takes for `path` until the table and the chart have been
// painted; negative when the file did not open.
double openAndShowSeconds(TMainForm& form, const QString& path)
{
    const auto start = Stopwatch::now();
    if (!form.openFile(path))
        return -1;
    QApplication::processEvents(); // the table and the chart paint
    return secondsSince(start);
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double saveSeconds(const TRLData& table, const QString& path, std::size_t& fileSize)
{
    const auto start = Stopwatch::now();
    const std::string text = dataFileText(runContent(), table, path, '.', ';');
    if (const auto error = writeFileAtomically(path, text)) {
        std::fprintf(stderr, "cannot write %s: %s\n", qPrintable(path), qPrintable(*error));
        std::exit(1);
    }
    fileSize = text.size();
    return secondsSince(start);
}

double loadSeconds(const QString& path, TRLData& loaded, int rows)
{
    const auto start = Stopwatch::now();
    {
        auto bytes = readWholeFile(path);
        if (const auto* error = std::get_if<QString>(&bytes)) {
            std::fprintf(stderr, "cannot read %s: %s\n", qPrintable(path), qPrintable(*error));
            std::exit(1);
        }
        DataFileOptions options;
        options.currentRunKind = 1;
        const auto result = loadDataFile(std::get<std::string>(bytes), loaded, options);
        if (const auto* error = std::get_if<DataFileError>(&result)) {
            std::fprintf(stderr, "cannot load: %s (line %d)\n", qPrintable(error->message), error->line);
            std::exit(1);
        }
    }
    const double seconds = secondsSince(start);
    if (loaded.NrOfRows() != rows || loaded.NrOfColumns() != 6 || loaded.ElemBytes(3, rows) != "0,050000") {
        std::fprintf(stderr, "the loaded table differs from the saved one\n");
        std::exit(1);
    }
    return seconds;
}

} // namespace

int main(int argc, char** argv)
{
    const QTemporaryDir config;
    bench::prepareOffscreenWindow(config);
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const QString path = argc > 1 ? QFile::decodeName(argv[1]) : dir.filePath(QStringLiteral("run.csv"));
    const int rows = argc > 2 ? std::atoi(argv[2]) : 1000000;

    // Fresh memory costs much more on some virtual machines than on others, and varies from one
    // moment to the next: each figure is the median of three rounds.
    constexpr int kRounds = 3;
    std::size_t fileSize = 0;
    std::vector<double> saves, loads, shows;
    // The data layer alone: write and read the file.
    for (int round = 0; round < kRounds; ++round) {
        {
            TRLData table;
            fillRun(table, rows);
            saves.push_back(saveSeconds(table, path, fileSize));
        }
        malloc_trim(0);
        const double rssBefore = procStatusMb("VmRSS");
        const std::size_t heapBefore = heapInUse();
        TRLData loaded;
        loads.push_back(loadSeconds(path, loaded, rows));
        if (round == 0)
            std::printf("table: heap_mb=%.1f rss_growth_mb=%.1f\n",
                        double(heapInUse() - heapBefore) / (1024.0 * 1024.0),
                        procStatusMb("VmRSS") - rssBefore);
        std::printf("round %d: save_s=%.3f load_s=%.3f\n", round + 1, saves.back(), loads.back());
    }
    malloc_trim(0);

    // The window's open command: read, table, chart, painted.
    MainFormOptions options;
    options.backends = [] { return std::vector<std::unique_ptr<HidBackend>>{}; };
    TMainForm form(options);
    form.resize(900, 700);
    form.show();
    QApplication::processEvents();
    for (int round = 0; round < kRounds; ++round) {
        shows.push_back(openAndShowSeconds(form, path));
        if (shows.back() < 0) {
            std::fprintf(stderr, "the window did not open %s\n", qPrintable(path));
            return 1;
        }
        std::printf("round %d: open_show_s=%.3f\n", round + 1, shows.back());
    }
    std::printf("file=%s bytes=%zu (%.1f MB) peak_rss_mb=%.1f\n", qPrintable(path), fileSize,
                double(fileSize) / 1e6, procStatusMb("VmHWM"));
    std::printf("save_s=%.3f load_s=%.3f open_show_s=%.3f rows=%d\n", median(saves), median(loads),
                median(shows), rows);
    return 0;
}
