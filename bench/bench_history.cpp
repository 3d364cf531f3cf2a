// The history log with a million lines: the main window is shown offscreen with the "Transfer"
// page (and so the log) in front, the lines of a long irradiation run are appended through the
// device link, and the event loop turns as it would while the instrument talks. Timed are the
// last 1000 lines, the event loop turning after each, until the view has shown them (CPU time of the
// UI thread; the first 1000 lines for comparison), a frame that shows one new line, and the heap the
// log takes per line beyond the text's own UTF-8 bytes. The last line printed is
// "append_us=<..> bytes_per_line=<..>".
//   bench_history [lines]   (default 1000000)
#include "OffscreenWindow.h"
#include "RunLines.h"
#include "app/device/DeviceLink.h"
#include "app/service/HistoryLog.h"
#include "app/shell/MainForm.h"
#include "app/shell/Settings.h"

#include <QApplication>
#include <QEvent>
#include <QSettings>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <malloc.h>
#include <vector>

using namespace kv58;

namespace {

constexpr int kWindow = 1000;
constexpr int kFrames = 21;

double threadCpuUs()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) * 1e6 + static_cast<double>(ts.tv_nsec) / 1e3;
}

// Counts the paints of the log's rows.
class PaintCounter : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++count;
        return QObject::eventFilter(watched, event);
    }
    int count = 0;
};

// Turns the event loop until the view has taken every line and painted since (sleeping while there
// is nothing to do; a timer wakes the loop to give up after two seconds).
void waitForFrame(const HistoryLog& log, const PaintCounter& paints)
{
    const int before = paints.count;
    QTimer wake;
    wake.start(100);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while ((log.model()->rowCount() < log.count() || paints.count == before) &&
           std::chrono::steady_clock::now() < deadline)
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

std::size_t heapInUse()
{
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

// The n-th line of the run: a measurement line, every 50th an acknowledgement.
QString runLine(int n)
{
    if (n % 50 == 0)
        return QStringLiteral("ACK:INTERVAL %1").arg(n % 3600);
    return bench::irradiationLine(n);
}

} // namespace

int main(int argc, char** argv)
{
    const QTemporaryDir config;
    bench::prepareOffscreenWindow(config);
    QApplication app(argc, argv);
    QSettings(QStringLiteral("Velmark"), QStringLiteral("KV58-7"))
        .setValue(QStringLiteral("SYSTEM/Version"), kServiceCode); // the service pages show

    MainFormOptions options;
    options.backends = [] { return std::vector<std::unique_ptr<HidBackend>>{}; };
    TMainForm form(options);
    form.resize(900, 700);
    form.show();
    auto* pages = form.findChild<QTabWidget*>(QStringLiteral("PageControl1"));
    auto* transfer = form.findChild<QWidget*>(QStringLiteral("Transfer"));
    auto* log = form.findChild<HistoryLog*>(QStringLiteral("HistoryListBox"));
    if (!pages || !transfer || !log) {
        std::fprintf(stderr, "the window has no history log\n");
        return 1;
    }
    pages->setCurrentWidget(transfer);
    QApplication::processEvents();
    if (!log->isVisible()) {
        std::fprintf(stderr, "the history log is not shown\n");
        return 1;
    }

    const int lines = argc > 1 ? std::max(2 * kWindow, std::atoi(argv[1])) : 1000000;
    PaintCounter paints;
    log->viewport()->installEventFilter(&paints);
    malloc_trim(0);
    const std::size_t heapBefore = heapInUse();
    std::size_t textBytes = 0;
    int n = 0;
    const auto add = [&](const QString& line) {
        form.link().AddToHistory(line);
        ++n;
    };
    const auto nextLines = [&](int count) {
        std::vector<QString> out;
        for (int i = 1; i <= count; ++i) {
            out.push_back(runLine(n + i));
            textBytes += static_cast<std::size_t>(out.back().toUtf8().size());
        }
        return out;
    };
    // A window of lines, each followed by a turn of the event loop, until the view shows the last
    // of them; per line.
    const auto timeWindow = [&] {
        const std::vector<QString> window = nextLines(kWindow);
        const double start = threadCpuUs();
        for (const QString& line : window) {
            add(line);
            QApplication::processEvents();
        }
        waitForFrame(*log, paints);
        return (threadCpuUs() - start) / kWindow;
    };

    const double firstUs = timeWindow();
    const auto fillStart = std::chrono::steady_clock::now();
    while (n < lines - kWindow) {
        const QString line = runLine(n + 1);
        textBytes += static_cast<std::size_t>(line.toUtf8().size());
        add(line);
        if (n % kWindow == 0)
            QApplication::processEvents();
    }
    const double fillS = std::chrono::duration<double>(std::chrono::steady_clock::now() - fillStart).count();
    const double appendUs = timeWindow();

    // One line a frame: what a frame that shows a new line costs with the log this long.
    std::vector<double> frames;
    for (int i = 0; i < kFrames; ++i) {
        const std::vector<QString> one = nextLines(1);
        const double start = threadCpuUs();
        add(one.front());
        waitForFrame(*log, paints);
        frames.push_back(threadCpuUs() - start);
    }
    std::sort(frames.begin(), frames.end());

    malloc_trim(0);
    const double bytesPerLine = (static_cast<double>(heapInUse()) - static_cast<double>(heapBefore) -
                                 static_cast<double>(textBytes)) /
                                n;

    std::printf("lines=%d shown=%d text_bytes=%zu fill_s=%.1f paints=%d\n", log->count(),
                log->model()->rowCount(), textBytes, fillS, paints.count);
    std::printf("append_us_first=%.1f frame_us=%.0f (median of %d)\n", firstUs, frames[frames.size() / 2],
                kFrames);
    std::printf("append_us=%.1f bytes_per_line=%.1f\n", appendUs, bytesPerLine);
    return 0;
}
