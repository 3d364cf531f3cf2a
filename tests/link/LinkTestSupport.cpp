#include "LinkTestSupport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>
#include <cerrno>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace kv58::test {

PrivateRuntimeDir::PrivateRuntimeDir()
{
    if (qEnvironmentVariableIsSet("XDG_RUNTIME_DIR"))
        previous_ = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(dir_.path()));
}

PrivateRuntimeDir::~PrivateRuntimeDir()
{
    if (previous_)
        qputenv("XDG_RUNTIME_DIR", *previous_);
    else
        qunsetenv("XDG_RUNTIME_DIR");
}

bool waitUntil(const std::function<bool()>& done, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > timeoutMs)
            return done();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(1);
    }
    return true;
}

void processEventsFor(int ms)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(1);
    }
}

RawHost::~RawHost()
{
    if (fd_ >= 0)
        ::close(fd_);
}

bool RawHost::connectTo(const QString& socketPath)
{
    const QByteArray path = QFile::encodeName(socketPath);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.constData(), std::min<std::size_t>(path.size(), sizeof address.sun_path - 1));
    fd_ = ::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0);
    return fd_ >= 0 && ::connect(fd_, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
}

bool RawHost::send(const QString& line)
{
    QByteArray report(64, '\0');
    const QByteArray text = line.toLatin1().left(62);
    report[0] = 0x3F;
    report[1] = static_cast<char>(text.size());
    std::memcpy(report.data() + 2, text.constData(), static_cast<std::size_t>(text.size()));
    return ::send(fd_, report.constData(), 64, MSG_NOSIGNAL) == 64;
}

std::optional<QString> RawHost::receive(int timeoutMs)
{
    pollfd p{fd_, POLLIN, 0};
    if (::poll(&p, 1, timeoutMs) <= 0)
        return std::nullopt;
    char buffer[4096];
    const ssize_t got = ::recv(fd_, buffer, sizeof buffer, 0);
    if (got <= 0)
        return std::nullopt;
    lastSize_ = static_cast<int>(got);
    const int count = got > 1 ? static_cast<unsigned char>(buffer[1]) : 0;
    return QString::fromLatin1(buffer + 2, std::min<int>(count, static_cast<int>(got) - 2));
}

std::optional<QStringList> RawHost::receiveUntil(const QString& prefix, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    QStringList lines;
    while (timer.elapsed() <= timeoutMs) {
        const auto line = receive(static_cast<int>(std::max<qint64>(1, timeoutMs - timer.elapsed())));
        if (!line)
            return std::nullopt;
        lines << *line;
        if (line->startsWith(prefix))
            return lines;
    }
    return std::nullopt;
}

bool RawHost::closedWithin(int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() <= timeoutMs) {
        pollfd p{fd_, POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(timeoutMs - timer.elapsed())) <= 0)
            return false;
        char buffer[4096];
        if (::recv(fd_, buffer, sizeof buffer, MSG_DONTWAIT) == 0)
            return true;
    }
    return false;
}

} // namespace kv58::test
