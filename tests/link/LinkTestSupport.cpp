#include "LinkTestSupport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
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
    std::memcpy(address.sun_path, path.constData(),
                std::min<std::size_t>(path.size(), sizeof address.sun_path - 1));
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

ChildProcess::~ChildProcess()
{
    if (isRunning()) {
        terminate();
        if (!waitForExit(5000)) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    for (const int fd : {in_, out_, err_})
        if (fd >= 0)
            ::close(fd);
}

bool ChildProcess::start(const QString& program, const QStringList& arguments)
{
    int in[2];
    int out[2];
    int err[2];
    if (::pipe2(in, O_CLOEXEC) != 0 || ::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0)
        return false;
    std::vector<QByteArray> storage{QFile::encodeName(program)};
    for (const QString& a : arguments)
        storage.push_back(a.toLocal8Bit());
    std::vector<char*> argv;
    for (QByteArray& a : storage)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    pid_ = ::fork();
    if (pid_ == 0) {
        ::dup2(in[0], STDIN_FILENO);
        ::dup2(out[1], STDOUT_FILENO);
        ::dup2(err[1], STDERR_FILENO);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    ::close(in[0]);
    ::close(out[1]);
    ::close(err[1]);
    in_ = in[1];
    out_ = out[0];
    err_ = err[0];
    ::fcntl(err_, F_SETFL, O_NONBLOCK);
    return pid_ > 0;
}

bool ChildProcess::isRunning()
{
    if (pid_ <= 0 || status_ >= 0)
        return false;
    int status = 0;
    if (::waitpid(pid_, &status, WNOHANG) == pid_) {
        status_ = status;
        return false;
    }
    return true;
}

std::optional<QString> ChildProcess::readLine(int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    for (;;) {
        const qsizetype end = outBuffer_.indexOf('\n');
        if (end >= 0) {
            const QString line = QString::fromLocal8Bit(outBuffer_.left(end));
            outBuffer_.remove(0, end + 1);
            return line;
        }
        const qint64 left = timeoutMs - timer.elapsed();
        pollfd p{out_, POLLIN, 0};
        if (left <= 0 || ::poll(&p, 1, static_cast<int>(left)) <= 0)
            return std::nullopt;
        char buffer[1024];
        const ssize_t got = ::read(out_, buffer, sizeof buffer);
        if (got <= 0)
            return std::nullopt;
        outBuffer_.append(buffer, got);
    }
}

QByteArray ChildProcess::readStandardError()
{
    QByteArray all;
    char buffer[1024];
    ssize_t got = 0;
    while ((got = ::read(err_, buffer, sizeof buffer)) > 0)
        all.append(buffer, got);
    return all;
}

bool ChildProcess::write(const QByteArray& input)
{
    return ::write(in_, input.constData(), static_cast<std::size_t>(input.size())) == input.size();
}

void ChildProcess::terminate()
{
    if (isRunning())
        ::kill(pid_, SIGTERM);
}

void ChildProcess::kill()
{
    if (isRunning())
        ::kill(pid_, SIGKILL);
}

std::optional<int> ChildProcess::waitForExit(int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (isRunning() && timer.elapsed() < timeoutMs)
        QThread::msleep(5);
    if (status_ < 0 || !WIFEXITED(status_))
        return std::nullopt;
    return WEXITSTATUS(status_);
}

} // namespace kv58::test
