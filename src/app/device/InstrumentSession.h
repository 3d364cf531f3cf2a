// The instrument the program works with and what it reported about its state: the device in use,
// whether it is switched on, whether the identity chain runs, its versions and when its clock was
// last set. The one owner of these values; every change is signalled.
#pragma once

#include "core/DateTime.h"

#include <QObject>
#include <QString>

namespace kv58 {

class THidDevice;

class InstrumentSession : public QObject {
    Q_OBJECT
public:
    explicit InstrumentSession(QObject* parent = nullptr) : QObject(parent) {}

    // `CurrentDevice`: the instrument in use or under query, or none.
    THidDevice* CurrentDevice() const { return device_; }
    void setCurrentDevice(THidDevice* device);

    // `PowerOn`: the instrument reported that it is switched on.
    bool PowerOn() const { return powerOn_; }
    void setPowerOn(bool on);

    // `TransferAll`: the identity chain ("Transfer all") runs.
    bool TransferAll() const { return transferAll_; }
    void setTransferAll(bool running);

    QString FirmwareVersion() const { return firmwareVersion_; }
    QString HardwareVersion() const { return hardwareVersion_; }
    void setVersions(const QString& firmware, const QString& hardware);

    // `RTCStart`: when the instrument's clock was last set from the PC.
    TDateTime RTCStart() const { return rtcStart_; }
    void setRTCStart(TDateTime t) { rtcStart_ = t; }

signals:
    void currentDeviceChanged(kv58::THidDevice* device);
    void powerChanged(bool on);
    void transferAllChanged(bool running);

private:
    THidDevice* device_ = nullptr;
    bool powerOn_ = false;
    bool transferAll_ = false;
    QString firmwareVersion_;
    QString hardwareVersion_;
    TDateTime rtcStart_ = 0;
};

} // namespace kv58
