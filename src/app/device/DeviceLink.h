// The text link to the current instrument: `USB_Send` packs a command line into one output report
// and writes it; `ShowRead` turns each input report into its line, logs it and passes it on.
// Failures of the link are logged in the history log, never shown to the user.
#pragma once

#include "link/HidDevice.h"

#include <QObject>
#include <cstdint>

namespace kv58 {

class HistoryLog;
class InstrumentSession;

class DeviceLink : public QObject {
    Q_OBJECT
public:
    DeviceLink(InstrumentSession& session, HistoryLog& log, QObject* parent = nullptr);

    // Sends one line to `CurrentDevice`. A failed write logs the line and "WRITE ERROR: ...";
    // without a current instrument nothing is written and the line is logged with the reason.
    void USB_Send(const QString& line);

    // The data handler attached to the instrument in use or under query.
    void ShowRead(THidDevice* HidDev, std::uint8_t ReportID, const std::uint8_t* Data, std::uint16_t Size);
    HidDataHandler dataHandler();

    // The read-error handler: logs "READ ERROR: ...".
    void HidCtlDeviceDataError(THidDevice* HidDev, std::uint32_t Error);

    void AddToHistory(const QString& line);

signals:
    // A received line, after it was logged; the decoder takes it from here.
    void lineReceived(const QString& line);

private:
    InstrumentSession& session_;
    HistoryLog& log_;
};

// The log line that follows a command that could not go out because no instrument is in use.
inline constexpr const char* kNotConnectedLine = "NOT SENT: no KV58 connected";

} // namespace kv58
