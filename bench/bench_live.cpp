// What one measurement line costs on its whole way through the program: the input report becomes a
// line (history log), the decoder takes it apart, live processing appends the table row with its
// running dose and the chart points, and the displays and the window are updated, with the main
// window shown offscreen and its event loop turning after every line. Lines 1 to 1000 and lines
// 999,001 to 1,000,000 of one two-channel irradiation run are timed (CPU time of the UI thread);
// nothing per line may depend on how many rows came before. The last line printed is
// "line_us_first=<..> line_us_last=<..> growth=<last/first>".
#include "OffscreenWindow.h"
#include "RunLines.h"
#include "app/device/DeviceLink.h"
#include "app/shell/MainForm.h"
#include "data/Measurement.h"
#include "link/Framing.h"

#include <QApplication>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <vector>

using namespace kv58;

namespace {

constexpr int kWindow = 1000;

double threadCpuUs()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) * 1e6 + static_cast<double>(ts.tv_nsec) / 1e3;
}

void receive(TMainForm& form, const QString& line)
{
    const QByteArray report = packInputReport(line, 64);
    // The data handler gets the bytes after the report ID.
    form.link().ShowRead(nullptr, kReportId, reinterpret_cast<const std::uint8_t*>(report.constData()) + 1,
                         static_cast<std::uint16_t>(report.size() - 1));
}

using bench::irradiationLine;

double timeWindow(TMainForm& form, int first)
{
    const double start = threadCpuUs();
    for (int n = first; n < first + kWindow; ++n) {
        receive(form, irradiationLine(n));
        QApplication::processEvents();
    }
    return (threadCpuUs() - start) / kWindow;
}

} // namespace

int main(int argc, char** argv)
{
    const QTemporaryDir config;
    bench::prepareOffscreenWindow(config);
    QApplication app(argc, argv);

    MainFormOptions options;
    options.backends = [] { return std::vector<std::unique_ptr<HidBackend>>{}; };
    TMainForm form(options);
    form.resize(900, 700);
    form.show();
    QApplication::processEvents();

    for (const char* line :
         {"ACK:POWER IS ON", "CH1:Sensortyp: UVA", "CH2:Sensortyp: VISL", "ACK:IRRADIATION STARTED"})
        receive(form, QString::fromLatin1(line));
    QApplication::processEvents();

    // The run's length; a shorter one (first argument) gives a quick look.
    const int kLines = argc > 1 ? std::max(2 * kWindow, std::atoi(argv[1])) : 1000000;
    const double first = timeWindow(form, 1);
    for (int n = kWindow + 1; n <= kLines - kWindow; ++n) {
        receive(form, irradiationLine(n));
        if (n % kWindow == 0)
            QApplication::processEvents();
    }
    const double last = timeWindow(form, kLines - kWindow + 1);

    std::printf("rows=%d chart_items=%d\n", form.measurement().table().NrOfRows(),
                form.measurement().chart().NumChartItems());
    std::printf("line_us_first=%.1f line_us_last=%.1f growth=%.2f\n", first, last, last / first);
    return 0;
}
