#include "app/device/InstrumentSession.h"

namespace kv58 {

void InstrumentSession::setCurrentDevice(THidDevice* device)
{
    if (device == device_)
        return;
    device_ = device;
    emit currentDeviceChanged(device);
}

void InstrumentSession::setPowerOn(bool on)
{
    if (on == powerOn_)
        return;
    powerOn_ = on;
    emit powerChanged(on);
}

void InstrumentSession::setTransferAll(bool running)
{
    if (running == transferAll_)
        return;
    transferAll_ = running;
    emit transferAllChanged(running);
}

void InstrumentSession::setVersions(const QString& firmware, const QString& hardware)
{
    firmwareVersion_ = firmware;
    hardwareVersion_ = hardware;
}

} // namespace kv58
