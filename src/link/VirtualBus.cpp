#include "link/VirtualBus.h"

#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <QScopeGuard>
#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/un.h>
#include <unistd.h>

namespace kv58 {

QString virtualBusDir()
{
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty())
        return QFile::decodeName(runtime) + QStringLiteral("/kv58-virtual");
    return QStringLiteral("/tmp/kv58-virtual-%1").arg(getuid());
}

namespace {

QString errnoText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

bool failWith(QString* error, const QString& text)
{
    if (error)
        *error = text;
    return false;
}

int makeFolder(const QString& dir)
{
    const QByteArray path = QFile::encodeName(dir);
    if (::mkdir(path.constData(), 0700) == 0 || errno == EEXIST)
        return 0;
    // The parent may be missing too (a runtime folder that does not exist yet).
    if (errno == ENOENT && QDir().mkpath(QFileInfo(dir).path()) &&
        (::mkdir(path.constData(), 0700) == 0 || errno == EEXIST))
        return 0;
    return errno;
}

} // namespace

bool ensureVirtualBusDir(const QString& dir, QString* error)
{
    if (const int made = makeFolder(dir); made != 0)
        return failWith(error, QStringLiteral("%1: %2").arg(dir, errnoText(made)));

    const QByteArray path = QFile::encodeName(dir);
    struct stat st {};
    if (::lstat(path.constData(), &st) != 0)
        return failWith(error, QStringLiteral("%1: %2").arg(dir, errnoText(errno)));
    const QString refused = QStringLiteral("Refusing the bus folder %1: %2").arg(dir);
    if (S_ISLNK(st.st_mode))
        return failWith(error, refused.arg(QStringLiteral("it is a symbolic link")));
    if (!S_ISDIR(st.st_mode))
        return failWith(error, refused.arg(QStringLiteral("it is not a folder")));

    // The checks and the repair are made on the folder itself, opened without following a link.
    // NOLINTNEXTLINE(cppcoreguidelines-pro-type-vararg): variadic in POSIX itself
    const int fd = ::open(path.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return failWith(error, refused.arg(errnoText(errno)));
    const auto closeFolder = qScopeGuard([fd] { ::close(fd); });
    if (::fstat(fd, &st) != 0)
        return failWith(error, refused.arg(errnoText(errno)));
    if (st.st_uid != ::geteuid())
        return failWith(
            error,
            refused.arg(
                QStringLiteral("it belongs to user %1, not to user %2").arg(st.st_uid).arg(::geteuid())));
    if ((st.st_mode & 07777) != 0700 && ::fchmod(fd, 0700) != 0)
        return failWith(error, refused.arg(QStringLiteral("others may write to it and its mode cannot be "
                                                          "set to 0700: %1")
                                               .arg(errnoText(errno))));
    return true;
}

std::optional<QByteArray> readBusFile(const QString& path, qint64 maxSize, QString* error)
{
    const QByteArray file = QFile::encodeName(path);
    // NOLINTNEXTLINE(cppcoreguidelines-pro-type-vararg): variadic in POSIX itself
    const int fd = ::open(file.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        failWith(error, errno == ELOOP ? QStringLiteral("a symbolic link") : errnoText(errno));
        return std::nullopt;
    }
    const auto closeFile = qScopeGuard([fd] { ::close(fd); });
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        failWith(error, errnoText(errno));
        return std::nullopt;
    }
    if (!S_ISREG(st.st_mode)) {
        failWith(error, QStringLiteral("not a regular file"));
        return std::nullopt;
    }
    QByteArray content;
    char buffer[4096];
    while (content.size() < maxSize) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            failWith(error, errnoText(errno));
            return std::nullopt;
        }
        if (got == 0)
            break;
        content.append(buffer, std::min<qsizetype>(got, maxSize - content.size()));
    }
    return content;
}

bool replaceBusFile(const QString& path, const QByteArray& content, QString* error)
{
    const QByteArray target = QFile::encodeName(path);
    QByteArray pending = target + ".XXXXXX";
    // mkostemp creates the file exclusively: it never opens a file or a link that exists.
    const int fd = ::mkostemp(pending.data(), O_CLOEXEC);
    if (fd < 0)
        return failWith(error, QStringLiteral("%1: %2").arg(path, errnoText(errno)));
    qsizetype written = 0;
    while (written < content.size()) {
        const ssize_t n =
            ::write(fd, content.constData() + written, static_cast<std::size_t>(content.size() - written));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            break;
        written += n;
    }
    const int writeError = written == content.size() ? 0 : errno;
    if (::close(fd) != 0 || writeError != 0 || ::rename(pending.constData(), target.constData()) != 0) {
        const int cause = writeError != 0 ? writeError : errno;
        ::unlink(pending.constData());
        return failWith(error, QStringLiteral("%1: %2").arg(path, errnoText(cause)));
    }
    return true;
}

QString virtualSocketPath(const QString& dir, const QString& stem)
{
    return dir + u'/' + stem + QLatin1String(kSocketSuffix);
}

QString virtualIdentityPath(const QString& dir, const QString& stem)
{
    return dir + u'/' + stem + QLatin1String(kIdentitySuffix);
}

QByteArray identityToJson(const VirtualIdentity& identity)
{
    QJsonObject o;
    o.insert(QStringLiteral("vendor_id"), identity.vendorId);
    o.insert(QStringLiteral("product_id"), identity.productId);
    o.insert(QStringLiteral("version"), identity.version);
    o.insert(QStringLiteral("input_report_length"), identity.inputReportLength);
    o.insert(QStringLiteral("product"), identity.product);
    o.insert(QStringLiteral("serial"), identity.serial);
    return QJsonDocument(o).toJson(QJsonDocument::Indented);
}

namespace {
std::optional<int> wholeNumber(const QJsonObject& o, const char* key, int low, int high)
{
    const QJsonValue v = o.value(QLatin1String(key));
    if (!v.isDouble())
        return std::nullopt;
    const double d = v.toDouble();
    if (d != static_cast<double>(static_cast<long long>(d)) || d < low || d > high)
        return std::nullopt;
    return static_cast<int>(d);
}
} // namespace

std::optional<VirtualIdentity> identityFromJson(const QByteArray& json)
{
    QJsonParseError parseError{};
    const QJsonDocument doc = QJsonDocument::fromJson(json, &parseError);
    if (parseError.error != QJsonParseError::NoError || !doc.isObject())
        return std::nullopt;
    const QJsonObject o = doc.object();
    const auto vendor = wholeNumber(o, "vendor_id", 0, 0xFFFF);
    const auto product = wholeNumber(o, "product_id", 0, 0xFFFF);
    const auto version = wholeNumber(o, "version", 0, 0xFFFF);
    const auto length = wholeNumber(o, "input_report_length", 1, kMaxVirtualReportLength);
    const QJsonValue productName = o.value(QStringLiteral("product"));
    const QJsonValue serial = o.value(QStringLiteral("serial"));
    if (!vendor || !product || !version || !length || !productName.isString() || !serial.isString())
        return std::nullopt;
    VirtualIdentity identity;
    identity.vendorId = static_cast<std::uint16_t>(*vendor);
    identity.productId = static_cast<std::uint16_t>(*product);
    identity.version = static_cast<std::uint16_t>(*version);
    identity.inputReportLength = *length;
    identity.product = productName.toString();
    identity.serial = serial.toString();
    return identity;
}

int connectSeqPacket(const QString& socketPath, int& error, int timeoutMs)
{
    const QByteArray path = QFile::encodeName(socketPath);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (static_cast<std::size_t>(path.size()) >= sizeof address.sun_path) {
        error = ENAMETOOLONG;
        return -1;
    }
    std::memcpy(address.sun_path, path.constData(), static_cast<std::size_t>(path.size()));
    const int fd = ::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC | (timeoutMs > 0 ? 0 : SOCK_NONBLOCK), 0);
    if (fd < 0) {
        error = errno;
        return -1;
    }
    // A Unix-domain connect completes at once unless the listener's queue is full; then it waits
    // for room, which the send timeout bounds.
    if (timeoutMs > 0) {
        timeval timeout{timeoutMs / 1000, static_cast<suseconds_t>(timeoutMs % 1000) * 1000};
        ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
    }
    int result = 0;
    do {
        result = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address);
    } while (result != 0 && errno == EINTR);
    if (result != 0) {
        error = errno == EAGAIN || errno == EINPROGRESS ? ETIMEDOUT : errno;
        ::close(fd);
        return -1;
    }
    timeval none{0, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &none, sizeof none);
    if (timeoutMs <= 0)
        // NOLINTNEXTLINE(cppcoreguidelines-pro-type-vararg): variadic in POSIX itself
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    error = 0;
    return fd;
}

bool connectionEnded(int fd)
{
    pollfd p{fd, POLLIN | POLLRDHUP, 0};
    if (::poll(&p, 1, 0) <= 0 || (p.revents & (POLLHUP | POLLRDHUP | POLLERR)) == 0)
        return false;
    // Messages sent before the peer left are still to be read; only empty ones may be left over.
    int queued = 0;
    // NOLINTNEXTLINE(cppcoreguidelines-pro-type-vararg): variadic in POSIX itself
    return ::ioctl(fd, FIONREAD, &queued) != 0 || queued == 0;
}

} // namespace kv58
