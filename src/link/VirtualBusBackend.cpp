#include "link/VirtualBusBackend.h"

#include "link/Framing.h"

#include <QDebug>
#include <QFile>
#include <QSocketNotifier>
#include <algorithm>
#include <cerrno>
#include <climits>
#include <dirent.h>
#include <poll.h>
#include <sys/inotify.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

namespace kv58 {

namespace {

// One connection to an instrument. Writes and reads happen on different handles, so input reports
// also arrive on the handle that only writes; they are discarded before each write to keep that
// connection's queue short.
class VirtualHandle final : public HidHandle {
public:
    explicit VirtualHandle(int fd) : fd_(fd)
    {
        // A device that stops reading must not freeze the user-interface thread.
        timeval timeout{1, 0};
        ::setsockopt(fd_, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
    }
    ~VirtualHandle() override { ::close(fd_); }
    VirtualHandle(const VirtualHandle&) = delete;
    VirtualHandle& operator=(const VirtualHandle&) = delete;
    VirtualHandle(VirtualHandle&&) = delete;
    VirtualHandle& operator=(VirtualHandle&&) = delete;

    int write(const std::uint8_t* data, std::size_t size, int& error) override
    {
        std::uint8_t discard[256];
        while (::recv(fd_, discard, sizeof discard, MSG_DONTWAIT) > 0) {
        }
        const ssize_t sent = ::send(fd_, data, size, MSG_NOSIGNAL);
        if (sent < 0) {
            error = errno == EAGAIN ? ETIMEDOUT : errno;
            return -1;
        }
        return static_cast<int>(sent);
    }

    int read(std::uint8_t* buffer, std::size_t size, int timeoutMs, int& error) override
    {
        pollfd p{fd_, POLLIN, 0};
        const int ready = ::poll(&p, 1, timeoutMs);
        if (ready < 0) {
            if (errno == EINTR)
                return 0;
            error = errno;
            return -1;
        }
        if (ready == 0)
            return 0;
        const ssize_t got = ::recv(fd_, buffer, size, MSG_DONTWAIT);
        if (got > 0)
            return static_cast<int>(got);
        if (got < 0 && (errno == EAGAIN || errno == EINTR))
            return 0;
        if (got == 0 && !connectionEnded(fd_))
            return 0; // an empty message carries no report
        // The instrument closed the connection: it has left the bus.
        error = got == 0 ? ENODEV : errno;
        return -1;
    }

private:
    int fd_;
};

bool hasSocketSuffix(const QString& name)
{
    const QLatin1String suffix(kSocketSuffix);
    return name.size() > suffix.size() && name.endsWith(suffix);
}

QString stemOf(const QString& socketPath)
{
    const QString name = socketPath.section(u'/', -1);
    return name.left(name.size() - QLatin1String(kSocketSuffix).size());
}

QString errnoText(int error)
{
    return osErrorMessage(static_cast<std::uint32_t>(error));
}

} // namespace

VirtualBusBackend::VirtualBusBackend(QString dir, QObject* parent) : HidBackend(parent), dir_(std::move(dir))
{
    startWatching();
}

VirtualBusBackend::~VirtualBusBackend()
{
    delete notifier_;
    if (inotifyFd_ >= 0)
        ::close(inotifyFd_);
}

bool VirtualBusBackend::checkFolder()
{
    QString error;
    if (ensureVirtualBusDir(dir_, &error)) {
        folderError_.clear();
        return true;
    }
    if (error != folderError_)
        qWarning().noquote() << error;
    folderError_ = error;
    return false;
}

void VirtualBusBackend::startWatching()
{
    if (!checkFolder())
        return;
    if (inotifyFd_ < 0) {
        inotifyFd_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        if (inotifyFd_ < 0)
            return;
        notifier_ = new QSocketNotifier(inotifyFd_, QSocketNotifier::Read, this);
        connect(notifier_, &QSocketNotifier::activated, this, &VirtualBusBackend::readEvents);
    }
    watch_ = ::inotify_add_watch(inotifyFd_, QFile::encodeName(dir_).constData(),
                                 IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_DELETE_SELF |
                                     IN_MOVE_SELF | IN_ONLYDIR);
}

void VirtualBusBackend::readEvents()
{
    if (drainEvents())
        emit changed();
}

// Reads every pending event; true when a socket came or went. Also run before each enumeration so
// that a removal is counted even when the enumeration comes first.
bool VirtualBusBackend::drainEvents()
{
    if (inotifyFd_ < 0)
        return false;
    alignas(inotify_event) char buffer[8192];
    bool socketsChanged = false;
    bool folderGone = false;
    for (;;) {
        const ssize_t got = ::read(inotifyFd_, buffer, sizeof buffer);
        if (got <= 0)
            break;
        for (ssize_t offset = 0; offset < got;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + offset);
            offset += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            if (event->mask & (IN_DELETE_SELF | IN_MOVE_SELF | IN_IGNORED | IN_Q_OVERFLOW)) {
                folderGone = folderGone || !(event->mask & IN_Q_OVERFLOW);
                socketsChanged = true;
                continue;
            }
            const QString name = event->len > 0 ? QFile::decodeName(event->name) : QString();
            if (!hasSocketSuffix(name))
                continue;
            socketsChanged = true;
            if (event->mask & (IN_DELETE | IN_MOVED_FROM))
                ++removals_[stemOf(name)];
        }
    }
    if (folderGone) {
        if (watch_ >= 0)
            ::inotify_rm_watch(inotifyFd_, watch_);
        watch_ = -1;
        startWatching();
    }
    return socketsChanged;
}

std::vector<HidInterface> VirtualBusBackend::enumerate()
{
    drainEvents();
    // Nothing in a folder that cannot be trusted is taken for an instrument.
    if (!checkFolder())
        return {};
    if (watch_ < 0)
        startWatching();
    std::vector<std::pair<QString, HidInterface>> found;
    DIR* folder = ::opendir(QFile::encodeName(dir_).constData());
    if (!folder)
        return {};
    while (const dirent* entry = ::readdir(folder)) {
        const QString name = QFile::decodeName(entry->d_name);
        if (!hasSocketSuffix(name))
            continue;
        const QString path = dir_ + u'/' + name;
        struct stat st {};
        if (::lstat(QFile::encodeName(path).constData(), &st) != 0 || !S_ISSOCK(st.st_mode))
            continue;
        const QString stem = stemOf(path);
        const QString instance = QStringLiteral("%1:%2:%3.%4:%5")
                                     .arg(stem)
                                     .arg(st.st_ino)
                                     .arg(st.st_mtim.tv_sec)
                                     .arg(st.st_mtim.tv_nsec)
                                     .arg(removals_.value(stem));
        HidInterface interface {
            path, instance, {}
        };
        // The socket file of an instrument that died without leaving stays behind; it refuses
        // connections. A full queue (a busy or stopped instrument) does not make it absent.
        int error = 0;
        const int probe = connectSeqPacket(path, error, 0);
        if (probe >= 0)
            ::close(probe);
        else if (error == ENOENT)
            continue;
        else if (error == ECONNREFUSED)
            interface.unavailable =
                QStringLiteral("Device cannot be opened: %1: %2").arg(path, errnoText(error));
        found.emplace_back(stem, std::move(interface));
    }
    ::closedir(folder);
    std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<HidInterface> interfaces;
    interfaces.reserve(found.size());
    for (auto& f : found)
        interfaces.push_back(std::move(f.second));
    return interfaces;
}

HidIdentity VirtualBusBackend::identify(const HidInterface& interface)
{
    HidIdentity identity;
    const QString jsonPath = virtualIdentityPath(dir_, stemOf(interface.path));
    QString readError;
    const auto json = readBusFile(jsonPath, qint64{64} * 1024, &readError);
    if (!json) {
        identity.error = QStringLiteral("Device cannot be identified: %1: %2").arg(jsonPath, readError);
        return identity;
    }
    const auto parsed = identityFromJson(*json);
    if (!parsed) {
        identity.error =
            QStringLiteral("Device cannot be identified: %1: not a device description").arg(jsonPath);
        return identity;
    }
    int error = 0;
    const int fd = connectSeqPacket(interface.path, error);
    if (fd < 0) {
        identity.error =
            QStringLiteral("Device cannot be opened: %1: %2").arg(interface.path, errnoText(error));
        return identity;
    }
    ::close(fd);
    identity.vendorId = parsed->vendorId;
    identity.productId = parsed->productId;
    identity.version = parsed->version;
    identity.productName = parsed->product;
    identity.serialNumber = parsed->serial;
    identity.inputReportLength = parsed->inputReportLength;
    identity.readWriteAccess = true;
    return identity;
}

std::unique_ptr<HidHandle> VirtualBusBackend::open(const QString& path, int& error)
{
    const int fd = connectSeqPacket(path, error);
    if (fd < 0)
        return nullptr;
    return std::make_unique<VirtualHandle>(fd);
}

} // namespace kv58
