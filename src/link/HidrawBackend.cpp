#include "link/HidrawBackend.h"

#include "link/Framing.h"
#include "link/HidLibrary.h"
#include "link/ReportDescriptor.h"

#include <QFile>
#include <QSocketNotifier>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <hidapi/hidapi.h>
#include <libudev.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kv58 {

namespace {

class HidapiHandle final : public HidHandle {
public:
    explicit HidapiHandle(hid_device* device) : device_(device) {}
    ~HidapiHandle() override { hid_close(device_); }
    HidapiHandle(const HidapiHandle&) = delete;
    HidapiHandle& operator=(const HidapiHandle&) = delete;
    HidapiHandle(HidapiHandle&&) = delete;
    HidapiHandle& operator=(HidapiHandle&&) = delete;

    int write(const std::uint8_t* data, std::size_t size, int& error) override
    {
        errno = 0;
        const int written = hid_write(device_, data, size);
        if (written < 0)
            error = errno != 0 ? errno : EIO;
        return written;
    }

    // hidapi gives -1 without errno when poll reports the node gone.
    int read(std::uint8_t* buffer, std::size_t size, int timeoutMs, int& error) override
    {
        errno = 0;
        const int got = hid_read_timeout(device_, buffer, size, timeoutMs);
        if (got < 0)
            error = errno != 0 ? errno : ENODEV;
        return got;
    }

private:
    hid_device* device_;
};

QString fromWide(const wchar_t* text)
{
    return text ? QString::fromWCharArray(text) : QString();
}

QString errnoText(int error)
{
    return osErrorMessage(static_cast<std::uint32_t>(error));
}

int reportLengthOf(const QString& path)
{
    const QString node = path.section(u'/', -1);
    QFile descriptor(QStringLiteral("/sys/class/hidraw/%1/device/report_descriptor").arg(node));
    if (!descriptor.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray bytes = descriptor.read(4096);
    return inputReportLengthFromDescriptor(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                           static_cast<std::size_t>(bytes.size()));
}

} // namespace

HidrawBackend::HidrawBackend(QObject* parent) : HidBackend(parent)
{
    initHidLibrary();
    startMonitor();
}

HidrawBackend::~HidrawBackend()
{
    delete notifier_;
    if (monitor_)
        udev_monitor_unref(monitor_);
    if (udev_)
        udev_unref(udev_);
}

void HidrawBackend::startMonitor()
{
    udev_ = udev_new();
    if (!udev_)
        return;
    monitor_ = udev_monitor_new_from_netlink(udev_, "udev");
    if (!monitor_ || udev_monitor_filter_add_match_subsystem_devtype(monitor_, "hidraw", nullptr) < 0 ||
        udev_monitor_enable_receiving(monitor_) < 0)
        return;
    const int fd = udev_monitor_get_fd(monitor_);
    if (fd < 0)
        return;
    notifier_ = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &HidrawBackend::readMonitor);
}

void HidrawBackend::readMonitor()
{
    if (drainMonitor())
        emit changed();
}

// Reads every pending event; true when a node came or went. Also run before each enumeration so
// that a removal is counted even when the enumeration comes first.
bool HidrawBackend::drainMonitor()
{
    if (!notifier_)
        return false;
    bool nodesChanged = false;
    while (udev_device* device = udev_monitor_receive_device(monitor_)) {
        const char* action = udev_device_get_action(device);
        const char* node = udev_device_get_devnode(device);
        const bool removed = action && std::strcmp(action, "remove") == 0;
        if (removed || (action && std::strcmp(action, "add") == 0))
            nodesChanged = true;
        if (removed && node)
            ++removals_[QFile::decodeName(node)];
        udev_device_unref(device);
    }
    return nodesChanged;
}

std::vector<HidInterface> HidrawBackend::enumerate()
{
    std::vector<HidInterface> interfaces;
    drainMonitor();
    seen_.clear();
    if (!initHidLibrary())
        return interfaces;
    hid_device_info* all = hid_enumerate(0, 0);
    for (const hid_device_info* info = all; info; info = info->next) {
        if (!info->path)
            continue;
        const QString path = QFile::decodeName(info->path);
        if (seen_.contains(path))
            continue;
        seen_[path] = Seen{info->vendor_id, info->product_id, info->release_number,
                           fromWide(info->product_string), fromWide(info->serial_number)};
        struct stat st {};
        if (::stat(info->path, &st) != 0)
            st = {};
        const QString instance = QStringLiteral("%1:%2:%3.%4:%5")
                                     .arg(path)
                                     .arg(st.st_ino)
                                     .arg(st.st_mtim.tv_sec)
                                     .arg(st.st_mtim.tv_nsec)
                                     .arg(removals_[path]);
        interfaces.push_back({path, instance, {}});
    }
    hid_free_enumeration(all);
    return interfaces;
}

HidIdentity HidrawBackend::identify(const HidInterface& interface)
{
    HidIdentity identity;
    const auto it = seen_.find(interface.path);
    if (it == seen_.end()) {
        identity.error = QStringLiteral("Device cannot be identified: %1").arg(interface.path);
        return identity;
    }
    // Enumeration needs no permission, opening does: a node the user may not open is listed all
    // the same, and the reason travels with it.
    const QByteArray node = QFile::encodeName(interface.path);
    // NOLINTNEXTLINE(cppcoreguidelines-pro-type-vararg): open() is variadic in POSIX itself
    const int fd = ::open(node.constData(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (fd >= 0) {
        ::close(fd);
        identity.readWriteAccess = true;
    } else if (errno == EACCES || errno == EPERM) {
        identity.accessError = QStringLiteral("%1: %2").arg(interface.path, errnoText(errno));
    } else {
        identity.error =
            QStringLiteral("Device cannot be opened: %1: %2").arg(interface.path, errnoText(errno));
        return identity;
    }
    identity.vendorId = it->second.vendorId;
    identity.productId = it->second.productId;
    identity.version = it->second.version;
    identity.productName = it->second.productName;
    identity.serialNumber = it->second.serialNumber;
    const int length = reportLengthOf(interface.path);
    identity.inputReportLength = length > 0 ? length : 64;
    return identity;
}

std::unique_ptr<HidHandle> HidrawBackend::open(const QString& path, int& error)
{
    if (!initHidLibrary()) {
        error = EIO;
        return nullptr;
    }
    errno = 0;
    hid_device* device = hid_open_path(QFile::encodeName(path).constData());
    if (!device) {
        error = errno != 0 ? errno : EIO;
        return nullptr;
    }
    return std::make_unique<HidapiHandle>(device);
}

} // namespace kv58
