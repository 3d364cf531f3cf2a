// Keeps the list of attached HID interfaces up to date from one or more backends, tells the
// application when it changes, and lets the application claim a device and release it again.
#pragma once

#include "link/HidBackend.h"
#include "link/HidDevice.h"

#include <QList>
#include <QObject>
#include <QString>
#include <map>
#include <memory>
#include <utility>
#include <vector>

class QTimer;

namespace kv58 {

class THidDeviceController : public QObject {
    Q_OBJECT
public:
    // The operating system's HID devices and the virtual bus.
    explicit THidDeviceController(QObject* parent = nullptr);
    // Only the given backends (tests use a private virtual bus alone).
    explicit THidDeviceController(std::vector<std::unique_ptr<HidBackend>> backends,
                                  QObject* parent = nullptr);
    ~THidDeviceController() override;
    THidDeviceController(const THidDeviceController&) = delete;
    THidDeviceController& operator=(const THidDeviceController&) = delete;

    static std::vector<std::unique_ptr<HidBackend>> defaultBackends();

    // Rechecks of an interface that could not be opened or identified, and their spacing.
    static constexpr int kIdentifyRetries = 3;
    static constexpr int kIdentifyRetryMs = 200;

    // Plugged-in devices with these IDs, checked out or not. A `Pid` of -1 matches any product.
    int CountByID(int Vid, int Pid) const;
    // Claims the first listed device with these IDs that is not checked out, starting its reader if
    // it has a data handler. False, and `HidDev` null, when there is none.
    bool CheckOutByID(THidDevice*& HidDev, int Vid, int Pid);
    // The same for the first listed device of any IDs.
    bool CheckOut(THidDevice*& HidDev);
    // Claims this listed device when it is plugged in and not checked out, as the instrument
    // search does for each instrument it asks in turn.
    bool CheckOutDevice(THidDevice* HidDev);
    // Stops the device's reader (running the hand-overs it still makes), closes its handles and
    // releases it; an unplugged device is then destroyed. Sets `HidDev` to null; null is ignored.
    void CheckIn(THidDevice*& HidDev);

    // Copied into each device when it is created.
    int DevThreadSleepTime() const { return devThreadSleepTime_; }
    void setDevThreadSleepTime(int ms) { devThreadSleepTime_ = ms; }
    int DevPollingDelayTime() const { return devPollingDelayTime_; }
    void setDevPollingDelayTime(int ms) { devPollingDelayTime_ = ms; }

    // In the order the enumerations met them; new devices are appended.
    const QList<THidDevice*>& devices() const { return devices_; }
    bool isHandlingChange() const { return handlingChange_; }

signals:
    // The device list changed, or the first enumeration after creation ran (even with no device).
    void OnDeviceChange();
    // A reader could not read; `Error` is an errno code. Every slice while the fault persists.
    void OnDeviceDataError(kv58::THidDevice* HidDev, quint32 Error);
    // An attached interface could not be opened or identified and was left out of the list; the
    // next change tries it again, and so do a few rechecks shortly after. Told once per interface
    // and cause.
    void OnDeviceSkipped(const QString& path, const QString& reason);
    // A listed device cannot be opened for reading and writing (for instance no permission);
    // `message` names the node and the cause.
    void OnDeviceOpenError(kv58::THidDevice* HidDev, const QString& message);

private:
    struct Skipped {
        QString reason;
        int retries = 0;
    };

    void onBackendChanged();
    void handleChange(bool initial);
    bool unplug(THidDevice* device);
    void deviceLost(THidDevice* device);
    void recheck(int delayMs);
    THidDevice* findPluggedIn(const HidBackend* backend, const QString& instance) const;
    static void claim(THidDevice* device);

    std::vector<std::unique_ptr<HidBackend>> backends_;
    QList<THidDevice*> devices_;
    std::map<std::pair<const HidBackend*, QString>, Skipped> skipped_;
    QTimer* recheck_ = nullptr;
    bool unannounced_ = false;
    int devThreadSleepTime_ = 100;
    int devPollingDelayTime_ = 0;
    bool handlingChange_ = false;
    bool destroying_ = false;
};

} // namespace kv58
