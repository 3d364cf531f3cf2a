// The small interface behind which the controller finds, identifies and opens HID interfaces, so
// that the operating system's devices and the virtual bus feed one device list.
#pragma once

#include <QObject>
#include <QString>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace kv58 {

// One attached interface as an enumeration meets it. `instance` identifies the same device across
// enumerations (a replugged device gets a new one even when its path is reused).
struct HidInterface {
    QString path;
    QString instance;
    // Not empty when the interface is there but cannot be used now (an instrument's socket that
    // refuses connections): it counts as absent and is tried again like one that cannot be
    // identified. Says why, as `HidIdentity::error` would.
    QString unavailable;
};

// What identification found out. When `error` is not empty the interface is skipped and `error`
// says why ("Device cannot be opened: ..." or "Device cannot be identified: ...").
struct HidIdentity {
    QString error;
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    std::uint16_t version = 0;
    QString productName;
    QString serialNumber;
    int inputReportLength = 0; // report ID byte included
    bool readWriteAccess = false;
    QString accessError; // why read/write access was refused, naming the node
};

// One open handle. A reader thread may read on its own handle while the user-interface thread
// writes on another handle of the same device; a single handle is never used by two threads.
class HidHandle {
public:
    virtual ~HidHandle() = default;
    HidHandle() = default;
    HidHandle(const HidHandle&) = delete;
    HidHandle& operator=(const HidHandle&) = delete;

    // Writes one whole report. Returns the bytes written, or -1 with `error` set to an errno code.
    virtual int write(const std::uint8_t* data, std::size_t size, int& error) = 0;
    // Waits up to `timeoutMs` for one input report. Returns its length, 0 on timeout, or -1 with
    // `error` set (the device is gone or the read failed).
    virtual int read(std::uint8_t* buffer, std::size_t size, int timeoutMs, int& error) = 0;
    // Sets the size of the input report queue and returns the size in force; where there is no such
    // queue the request is accepted as it is.
    virtual int setInputQueueSize(int reports) { return reports; }
};

// A read, write or open failed because the device has gone: unplugged, its connection ended, or its
// socket refuses connections.
inline bool isDeviceGoneError(int error)
{
    return error == ENODEV || error == ENOENT || error == ECONNREFUSED || error == ECONNRESET ||
           error == EPIPE || error == ENOTCONN;
}

class HidBackend : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // Every present interface, each path once.
    virtual std::vector<HidInterface> enumerate() = 0;
    // Identity of an interface met by the last enumeration.
    virtual HidIdentity identify(const HidInterface& interface) = 0;
    // Opens a handle for reading and writing; on failure returns null and sets `error` (errno code).
    virtual std::unique_ptr<HidHandle> open(const QString& path, int& error) = 0;

signals:
    // The set of attached interfaces may have changed.
    void changed();
};

} // namespace kv58
