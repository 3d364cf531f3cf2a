// One attached HID interface as the controller lists it: its identity, its claim by the
// application, report writing, and the reader that hands input reports to a data handler.
#pragma once

#include "link/HidBackend.h"
#include "link/HidDeviceReadThread.h"

#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>

namespace kv58 {

class THidDevice;

// Receives the first byte of the input report as `ReportID`, the bytes after it as `Data` and their
// number as `Size`; the buffer is valid only during the call. Runs on the user-interface thread.
using HidDataHandler = std::function<void(THidDevice* HidDev, std::uint8_t ReportID, const std::uint8_t* Data,
                                          std::uint16_t Size)>;
// Receives the errno code of a failed read. Runs on the user-interface thread.
using HidDataErrorHandler = std::function<void(THidDevice* HidDev, std::uint32_t Error)>;

struct HidAttributes {
    std::uint16_t VendorID = 0;
    std::uint16_t ProductID = 0;
    std::uint16_t VersionNumber = 0;
};

class THidDevice : public QObject {
    Q_OBJECT
public:
    ~THidDevice() override;

    const QString& DevicePath() const { return path_; }
    const HidAttributes& Attributes() const { return attributes_; }
    const QString& ProductName() const { return productName_; }
    const QString& SerialNumber() const { return serialNumber_; }
    int InputReportLength() const { return inputReportLength_; }
    bool IsPluggedIn() const { return pluggedIn_; }
    bool IsCheckedOut() const { return checkedOut_; }
    bool HasReadWriteAccess() const { return readWriteAccess_; }

    int ThreadSleepTime() const { return threadSleepTime_; }
    void setThreadSleepTime(int ms) { threadSleepTime_ = ms; }
    int PollingDelayTime() const { return pollingDelayTime_; }
    void setPollingDelayTime(int ms) { pollingDelayTime_ = ms; }

    // Assigning a handler starts the reader when the device is plugged in, checked out and has
    // read/write access; assigning null stops it and waits for it to end. Check-in keeps the
    // handler, so a device checked out again reads again at once.
    void setOnData(HidDataHandler handler);
    const HidDataHandler& OnData() const { return onData_; }
    void setOnDataError(HidDataErrorHandler handler) { onDataError_ = std::move(handler); }

    // Writes one whole output report, opening the write handle on demand (only while plugged in and
    // checked out). On failure returns false and LastError() tells why (an errno code).
    bool WriteFile(const void* report, std::uint32_t toWrite, std::uint32_t& bytesWritten);
    std::uint32_t LastError() const { return lastError_; }

    // Input report queue of the write handle and of the reading handle, opening the handle if
    // needed. Where the system keeps no such queue the value is accepted and reported as it is.
    bool SetNumInputBuffers(int count);
    int NumInputBuffers() const { return numInputBuffers_; }
    bool SetNumOverlappedBuffers(int count);
    int NumOverlappedBuffers() const { return numOverlappedBuffers_; }

    // Why the last attempt to open this device failed, naming the node; empty if none failed.
    const QString& OpenErrorText() const { return openErrorText_; }
    // A report or read error is waiting for the user-interface thread (for diagnostics and tests).
    bool isHandOverPending() const;
    bool isReading() const { return reader_ != nullptr; }

signals:
    // Opening the device failed; `message` names the node and the cause.
    void openFailed(kv58::THidDevice* HidDev, const QString& message);
    // A read, write or open found the device gone (its connection ended, its socket refuses
    // connections); the device is then treated as unplugged. May come more than once.
    void connectionLost(kv58::THidDevice* HidDev);

private:
    friend class THidDeviceController;

    THidDevice(HidBackend* backend, const HidInterface& interface, const HidIdentity& identity,
               QObject* parent);

    HidBackend* backend() const { return backend_; }
    const QString& instance() const { return instance_; }
    void setCheckedOut(bool checkedOut);
    void markUnplugged();
    void closeHandles();

    bool wantsReader() const;
    void updateReader();
    void deliver(const HidHandOver& item);
    HidHandle* openHandle(std::unique_ptr<HidHandle>& slot, int& error);

    HidBackend* backend_;
    QString path_;
    QString instance_;
    HidAttributes attributes_;
    QString productName_;
    QString serialNumber_;
    int inputReportLength_ = 0;
    bool readWriteAccess_ = false;
    bool pluggedIn_ = true;
    bool checkedOut_ = false;

    int threadSleepTime_ = 100;
    int pollingDelayTime_ = 0;
    HidDataHandler onData_;
    HidDataErrorHandler onDataError_;

    std::unique_ptr<HidHandle> writeHandle_;
    std::unique_ptr<HidHandle> readHandle_;
    std::unique_ptr<THidDeviceReadThread> reader_;
    bool updating_ = false;
    bool updateAgain_ = false;

    std::uint32_t lastError_ = 0;
    QString openErrorText_;
    int numInputBuffers_ = 0;
    int numOverlappedBuffers_ = 0;
};

} // namespace kv58
