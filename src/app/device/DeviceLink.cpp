#include "app/device/DeviceLink.h"

#include "app/device/InstrumentSession.h"
#include "app/service/HistoryLog.h"
#include "link/Framing.h"

namespace kv58 {

DeviceLink::DeviceLink(InstrumentSession& session, HistoryLog& log, QObject* parent)
    : QObject(parent), session_(session), log_(log)
{
}

void DeviceLink::USB_Send(const QString& line)
{
    THidDevice* device = session_.CurrentDevice();
    if (!device) {
        AddToHistory(line);
        AddToHistory(QString::fromLatin1(kNotConnectedLine));
        return;
    }
    const OutputReport report = packOutputReport(line);
    std::uint32_t written = 0;
    if (!device->WriteFile(report.data(), static_cast<std::uint32_t>(report.size()), written)) {
        AddToHistory(line);
        AddToHistory(writeErrorLine(device->LastError()));
    }
}

void DeviceLink::ShowRead(THidDevice*, std::uint8_t, const std::uint8_t* Data, std::uint16_t Size)
{
    const QString line = inputReportToLine(Data, Size);
    AddToHistory(line);
    emit lineReceived(line);
}

HidDataHandler DeviceLink::dataHandler()
{
    return [this](THidDevice* dev, std::uint8_t id, const std::uint8_t* data, std::uint16_t size) {
        ShowRead(dev, id, data, size);
    };
}

void DeviceLink::HidCtlDeviceDataError(THidDevice*, std::uint32_t Error)
{
    AddToHistory(readErrorLine(Error));
}

void DeviceLink::AddToHistory(const QString& line)
{
    log_.AddToHistory(line);
}

} // namespace kv58
