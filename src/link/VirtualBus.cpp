#include "link/VirtualBus.h"

#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <cerrno>
#include <cstring>
#include <sys/socket.h>
#include <sys/stat.h>
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

bool ensureVirtualBusDir(const QString& dir, QString* error)
{
    const QByteArray path = QFile::encodeName(dir);
    if (::mkdir(path.constData(), 0700) == 0 || errno == EEXIST) {
        struct stat st {};
        if (::stat(path.constData(), &st) == 0 && S_ISDIR(st.st_mode))
            return true;
    }
    // The parent may be missing too (a runtime folder that does not exist yet).
    if (errno == ENOENT && QDir().mkpath(QFileInfo(dir).path()) && ::mkdir(path.constData(), 0700) == 0)
        return true;
    if (error)
        *error = QStringLiteral("%1: %2").arg(dir, QString::fromLocal8Bit(std::strerror(errno)));
    return false;
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

int connectSeqPacket(const QString& socketPath, int& error)
{
    const QByteArray path = QFile::encodeName(socketPath);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (static_cast<std::size_t>(path.size()) >= sizeof address.sun_path) {
        error = ENAMETOOLONG;
        return -1;
    }
    std::memcpy(address.sun_path, path.constData(), static_cast<std::size_t>(path.size()));
    const int fd = ::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        error = errno;
        return -1;
    }
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        error = errno;
        ::close(fd);
        return -1;
    }
    error = 0;
    return fd;
}

} // namespace kv58
