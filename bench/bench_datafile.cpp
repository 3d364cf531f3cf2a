// Saving and loading a measurement data file of a long two-channel irradiation run: the time to
// build and write the file, the time to read and parse it into a table, and the memory the loaded
// table takes.
//   bench_datafile [file [rows]]   (default: a file in a temporary folder, 1000000 rows)
#include "data/DataFile.h"
#include "data/RLData.h"

#include <QCoreApplication>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <malloc.h>
#include <string>
#include <variant>

using namespace kv58;

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
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

// ---- Open-and-show hook ----
// The time to open `path` through the window's open command until the table is shown; filled in
// once that measurement exists. A negative result means "not measured".
double openAndShowSeconds(const QString& path)
{
    (void)path;
    return -1;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString path = argc > 1 ? QFile::decodeName(argv[1]) : dir.filePath(QStringLiteral("run.csv"));
    const int rows = argc > 2 ? std::atoi(argv[2]) : 1000000;

    std::size_t fileSize = 0;
    double textS = 0;
    double saveS = 0;
    {
        TRLData table;
        fillRun(table, rows);
        const auto start = Clock::now();
        const std::string text = dataFileText(runContent(), table, path, '.', ';');
        textS = secondsSince(start);
        if (const auto error = writeFileAtomically(path, text)) {
            std::fprintf(stderr, "cannot write %s: %s\n", qPrintable(path), qPrintable(*error));
            return 1;
        }
        saveS = secondsSince(start);
        fileSize = text.size();
    }
    malloc_trim(0);

    const double rssBefore = procStatusMb("VmRSS");
    const std::size_t heapBefore = heapInUse();
    TRLData loaded;
    const auto start = Clock::now();
    double readS = 0;
    {
        auto bytes = readWholeFile(path);
        if (const auto* error = std::get_if<QString>(&bytes)) {
            std::fprintf(stderr, "cannot read %s: %s\n", qPrintable(path), qPrintable(*error));
            return 1;
        }
        readS = secondsSince(start);
        DataFileOptions options;
        options.currentRunKind = 1;
        const auto result = loadDataFile(std::get<std::string>(bytes), loaded, options);
        if (const auto* error = std::get_if<DataFileError>(&result)) {
            std::fprintf(stderr, "cannot load: %s (line %d)\n", qPrintable(error->message), error->line);
            return 1;
        }
    }
    const double loadS = secondsSince(start);
    const double tableMb = double(heapInUse() - heapBefore) / (1024.0 * 1024.0);
    const double rssAfter = procStatusMb("VmRSS");
    if (loaded.NrOfRows() != rows || loaded.NrOfColumns() != 6 || loaded.ElemBytes(3, rows) != "0,050000") {
        std::fprintf(stderr, "the loaded table differs from the saved one\n");
        return 1;
    }

    std::printf("file=%s bytes=%zu (%.1f MB)\n", qPrintable(path), fileSize, double(fileSize) / 1e6);
    std::printf("save: text_s=%.3f with_write_s=%.3f\n", textS, saveS);
    std::printf("load: read_s=%.3f with_parse_s=%.3f\n", readS, loadS);
    std::printf("table: heap_mb=%.1f rss_before_mb=%.1f rss_after_mb=%.1f peak_rss_mb=%.1f\n", tableMb,
                rssBefore, rssAfter, procStatusMb("VmHWM"));
    const double showS = openAndShowSeconds(path);
    if (showS >= 0)
        std::printf("open_and_show_s=%.3f\n", showS);
    std::printf("save_s=%.3f load_s=%.3f rows=%d\n", saveS, loadS, rows);
    return 0;
}
