// The operating system's HID interfaces: hidapi (hidraw) for enumeration, identity strings and
// report I/O, a libudev monitor on the hidraw subsystem for arrival and removal.
#pragma once

#include "link/HidBackend.h"

#include <map>

class QSocketNotifier;
struct udev;
struct udev_monitor;

namespace kv58 {

class HidrawBackend : public HidBackend {
    Q_OBJECT
public:
    explicit HidrawBackend(QObject* parent = nullptr);
    ~HidrawBackend() override;

    // Arrival and removal are being watched (the udev monitor could be set up).
    bool isMonitoring() const { return notifier_ != nullptr; }

    // Each hidraw node once (hidapi lists one entry per usage). The instance is the node with its
    // inode number and modification time and the number of removals of the node seen, so a node
    // created again under the same name is a new device.
    std::vector<HidInterface> enumerate() override;
    HidIdentity identify(const HidInterface& interface) override;
    std::unique_ptr<HidHandle> open(const QString& path, int& error) override;

private:
    void startMonitor();
    void readMonitor();
    bool drainMonitor();

    struct Seen {
        std::uint16_t vendorId = 0;
        std::uint16_t productId = 0;
        std::uint16_t version = 0;
        QString productName;
        QString serialNumber;
    };
    std::map<QString, Seen> seen_;
    std::map<QString, quint64> removals_;
    udev* udev_ = nullptr;
    udev_monitor* monitor_ = nullptr;
    QSocketNotifier* notifier_ = nullptr;
};

} // namespace kv58
