#include "SimRunner.h"

#include "link/Framing.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace kv58::sim {

namespace {

int signalPipe[2] = {-1, -1};

void onSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[1], &byte, 1);
}

void print(FILE* stream, const QString& text)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fputc('\n', stream);
    std::fflush(stream);
}

} // namespace

SimRunner::SimRunner(SimOptions options, QObject* parent)
    : QObject(parent), options_(std::move(options)), elapsed_([] {
          QElapsedTimer t;
          t.start();
          return t;
      }()),
      instrument_(options_.setup, 0)
{
    due_.setSingleShot(true);
    connect(&due_, &QTimer::timeout, this, &SimRunner::flush);
    connect(&bus_, &VirtualBusDevice::outputReport, this, &SimRunner::onOutputReport);
    connect(&bus_, &VirtualBusDevice::connectionOpened, this,
            [this](int connection) { log(QStringLiteral("host %1 connected").arg(connection)); });
    connect(&bus_, &VirtualBusDevice::connectionClosed, this, [this](int connection) {
        log(QStringLiteral("host %1 left").arg(connection));
        instrument_.hostLeft(connection);
    });
}

SimRunner::~SimRunner()
{
    bus_.detach();
}

bool SimRunner::start(QString* error)
{
    if (!bus_.attach(options_.busDir, options_.stem, options_.identity, error))
        return false;
    print(stdout, QStringLiteral("kv58-sim: on the bus as %1").arg(bus_.socketPath()));

    if (::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) == 0) {
        signals_ = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, this);
        connect(signals_, &QSocketNotifier::activated, this, [] { QCoreApplication::quit(); });
        struct sigaction action {};
        action.sa_handler = onSignal;
        sigemptyset(&action.sa_mask);
        sigaction(SIGINT, &action, nullptr);
        sigaction(SIGTERM, &action, nullptr);
    }
    std::signal(SIGPIPE, SIG_IGN);

    ::fcntl(STDIN_FILENO, F_SETFL, ::fcntl(STDIN_FILENO, F_GETFL) | O_NONBLOCK);
    stdin_ = new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, this);
    connect(stdin_, &QSocketNotifier::activated, this, &SimRunner::readOperator);
    return true;
}

void SimRunner::log(const QString& text) const
{
    if (options_.verbose)
        print(stderr, QStringLiteral("[%1 ms] %2").arg(now()).arg(text));
}

void SimRunner::onOutputReport(int connection, const QByteArray& report)
{
    if (report.size() != static_cast<qsizetype>(kOutputReportSize) ||
        static_cast<std::uint8_t>(report[0]) != kReportId) {
        log(QStringLiteral("host %1: ignored a report of %2 bytes").arg(connection).arg(report.size()));
        return;
    }
    const QString line =
        outputReportToLine(reinterpret_cast<const std::uint8_t*>(report.constData()), kOutputReportSize);
    log(QStringLiteral("host %1 <- %2").arg(connection).arg(line));
    instrument_.command(line, connection, now());
    flush();
}

void SimRunner::flush()
{
    const std::int64_t t = now();
    for (const QString& line : instrument_.take(t)) {
        if (bus_.isAttached())
            bus_.sendLine(line);
        log(QStringLiteral("-> %1").arg(line));
    }
    if (const auto due = instrument_.nextDue())
        due_.start(static_cast<int>(std::clamp<std::int64_t>(*due - t, 0, 1 << 30)));
    else
        due_.stop();
}

void SimRunner::readOperator()
{
    char buffer[512];
    for (;;) {
        const ssize_t got = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (got > 0) {
            operatorInput_.append(buffer, got);
            continue;
        }
        if (got == 0) // end of input: keep running, only stop listening
            stdin_->setEnabled(false);
        break;
    }
    qsizetype end = 0;
    while ((end = operatorInput_.indexOf('\n')) >= 0) {
        const QString line = QString::fromLocal8Bit(operatorInput_.left(end)).trimmed();
        operatorInput_.remove(0, end + 1);
        if (!line.isEmpty())
            operatorCommand(line);
    }
}

void SimRunner::operatorCommand(const QString& line)
{
    const QStringList words = line.split(u' ', Qt::SkipEmptyParts);
    const QString& verb = words.first();
    const int channel = words.size() > 1 ? words[1].toInt() : 0;
    if ((verb == u"remove" || verb == u"insert") && (channel == 1 || channel == 2)) {
        if (verb == u"remove")
            instrument_.removeSensor(channel, now());
        else
            instrument_.insertSensor(channel, now());
    } else if (verb == u"lost") {
        instrument_.sensorLost(now());
    } else if (verb == u"unplug") {
        bus_.detach();
        print(stdout, QStringLiteral("kv58-sim: unplugged"));
    } else if (verb == u"plug") {
        QString error;
        if (bus_.isAttached() || bus_.attach(options_.busDir, options_.stem, options_.identity, &error))
            print(stdout, QStringLiteral("kv58-sim: on the bus as %1").arg(bus_.socketPath()));
        else
            print(stderr, QStringLiteral("kv58-sim: %1").arg(error));
    } else if (verb == u"quit") {
        QCoreApplication::quit();
        return;
    } else {
        print(stderr,
              QStringLiteral("kv58-sim: unknown action \"%1\" (remove N, insert N, lost, unplug, plug, quit)")
                  .arg(line));
        return;
    }
    flush();
}

} // namespace kv58::sim
