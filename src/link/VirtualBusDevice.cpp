#include "link/VirtualBusDevice.h"

#include "link/Framing.h"

#include <QFile>
#include <QSocketNotifier>
#include <cerrno>
#include <cstring>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace kv58 {

namespace {

QString errnoText(int error)
{
    return osErrorMessage(static_cast<std::uint32_t>(error));
}

void releaseNotifier(QSocketNotifier* notifier)
{
    // It may be the very notifier whose signal is being handled.
    notifier->setEnabled(false);
    notifier->disconnect();
    notifier->deleteLater();
}

} // namespace

VirtualBusDevice::VirtualBusDevice(QObject* parent) : QObject(parent) {}

VirtualBusDevice::~VirtualBusDevice()
{
    detach();
}

bool VirtualBusDevice::isLive(const QString& socketPath)
{
    int error = 0;
    const int fd = connectSeqPacket(socketPath, error);
    if (fd >= 0)
        ::close(fd);
    // A full queue of connections is an instrument that is alive but busy or stopped.
    return fd >= 0 || error == ETIMEDOUT;
}

bool VirtualBusDevice::attach(const QString& dir, const QString& stem, const VirtualIdentity& identity,
                              QString* error)
{
    auto fail = [error](const QString& text) {
        if (error)
            *error = text;
        return false;
    };
    if (isAttached())
        return fail(QStringLiteral("already attached as %1").arg(socketPath_));
    if (stem.isEmpty() || stem.contains(u'/'))
        return fail(QStringLiteral("invalid stem \"%1\"").arg(stem));
    QString dirError;
    if (!ensureVirtualBusDir(dir, &dirError))
        return fail(dirError);

    const QString socketPath = virtualSocketPath(dir, stem);
    const QString identityPath = virtualIdentityPath(dir, stem);
    const QByteArray socketFile = QFile::encodeName(socketPath);
    struct stat st {};
    if (::lstat(socketFile.constData(), &st) == 0) {
        if (isLive(socketPath))
            return fail(QStringLiteral("%1 is taken by a device on the bus").arg(socketPath));
        ::unlink(socketFile.constData());
        ::unlink(QFile::encodeName(identityPath).constData());
    }

    // A new file renamed into place: whatever lies at the path (a link planted there) is replaced,
    // never written through.
    QString writeError;
    if (!replaceBusFile(identityPath, identityToJson(identity), &writeError))
        return fail(writeError);

    const QString pendingPath = socketPath + QStringLiteral(".new");
    const QByteArray pendingFile = QFile::encodeName(pendingPath);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (static_cast<std::size_t>(pendingFile.size()) >= sizeof address.sun_path) {
        ::unlink(QFile::encodeName(identityPath).constData());
        return fail(QStringLiteral("%1: path too long for a socket").arg(pendingPath));
    }
    std::memcpy(address.sun_path, pendingFile.constData(), static_cast<std::size_t>(pendingFile.size()));

    const int fd = ::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    QString failure;
    if (fd < 0) {
        failure = QStringLiteral("socket: %1").arg(errnoText(errno));
    } else {
        ::unlink(pendingFile.constData());
        if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
            ::listen(fd, 16) != 0) {
            failure = QStringLiteral("%1: %2").arg(pendingPath, errnoText(errno));
        } else if (::link(pendingFile.constData(), socketFile.constData()) != 0) {
            // link() does not replace, so of two instruments racing for one stem only one wins.
            failure = errno == EEXIST ? QStringLiteral("%1 is taken by a device on the bus").arg(socketPath)
                                      : QStringLiteral("%1: %2").arg(socketPath, errnoText(errno));
        }
        ::unlink(pendingFile.constData());
    }
    if (!failure.isEmpty()) {
        if (fd >= 0)
            ::close(fd);
        ::unlink(QFile::encodeName(identityPath).constData());
        return fail(failure);
    }

    identity_ = identity;
    socketPath_ = socketPath;
    identityPath_ = identityPath;
    listenFd_ = fd;
    listenNotifier_ = new QSocketNotifier(listenFd_, QSocketNotifier::Read, this);
    connect(listenNotifier_, &QSocketNotifier::activated, this, &VirtualBusDevice::acceptConnections);
    return true;
}

void VirtualBusDevice::detach()
{
    if (!isAttached())
        return;
    ::unlink(QFile::encodeName(socketPath_).constData());
    ::unlink(QFile::encodeName(identityPath_).constData());
    releaseNotifier(listenNotifier_);
    listenNotifier_ = nullptr;
    ::close(listenFd_);
    listenFd_ = -1;
    while (!connections_.empty())
        closeConnection(connections_.begin()->first);
}

void VirtualBusDevice::acceptConnections()
{
    while (listenFd_ >= 0) {
        const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0)
            return;
        const int id = nextConnection_++;
        auto* notifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
        connections_[id] = Connection{fd, notifier};
        connect(notifier, &QSocketNotifier::activated, this, [this, id] { readConnection(id); });
        emit connectionOpened(id);
    }
}

void VirtualBusDevice::readConnection(int id)
{
    std::uint8_t buffer[kMaxVirtualReportLength];
    for (;;) {
        const auto it = connections_.find(id);
        if (it == connections_.end())
            return;
        const ssize_t got = ::recv(it->second.fd, buffer, sizeof buffer, MSG_DONTWAIT);
        if (got < 0 && (errno == EAGAIN || errno == EINTR))
            return;
        if (got < 0 || (got == 0 && connectionEnded(it->second.fd))) {
            closeConnection(id);
            return;
        }
        emit outputReport(id, QByteArray(reinterpret_cast<const char*>(buffer), static_cast<qsizetype>(got)));
    }
}

void VirtualBusDevice::closeConnection(int id)
{
    const auto it = connections_.find(id);
    if (it == connections_.end())
        return;
    releaseNotifier(it->second.notifier);
    ::close(it->second.fd);
    connections_.erase(it);
    emit connectionClosed(id);
}

void VirtualBusDevice::sendInputReport(const QByteArray& report)
{
    std::vector<int> broken;
    for (const auto& [id, connection] : connections_) {
        const ssize_t sent = ::send(connection.fd, report.constData(),
                                    static_cast<std::size_t>(report.size()), MSG_DONTWAIT | MSG_NOSIGNAL);
        if (sent >= 0)
            continue;
        if (errno == EAGAIN)
            ++dropped_;
        else
            broken.push_back(id);
    }
    for (const int id : broken)
        closeConnection(id);
}

void VirtualBusDevice::sendLine(QStringView line)
{
    sendInputReport(packInputReport(line, identity_.inputReportLength));
}

} // namespace kv58
