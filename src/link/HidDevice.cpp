#include "link/HidDevice.h"

#include "link/Framing.h"

#include <cerrno>

namespace kv58 {

THidDevice::THidDevice(HidBackend* backend, const HidInterface& interface, const HidIdentity& identity,
                       QObject* parent)
    : QObject(parent), backend_(backend), path_(interface.path),
      instance_(interface.instance), attributes_{identity.vendorId, identity.productId, identity.version},
      productName_(identity.productName.left(254)), serialNumber_(identity.serialNumber.left(254)),
      inputReportLength_(identity.inputReportLength), readWriteAccess_(identity.readWriteAccess),
      openErrorText_(identity.accessError)
{
}

THidDevice::~THidDevice()
{
    onData_ = nullptr;
    onDataError_ = nullptr;
    if (reader_) {
        reader_->stop();
        reader_.reset();
    }
    readHandle_.reset();
    writeHandle_.reset();
}

void THidDevice::setOnData(HidDataHandler handler)
{
    onData_ = std::move(handler);
    updateReader();
}

bool THidDevice::wantsReader() const
{
    return pluggedIn_ && checkedOut_ && readWriteAccess_ && onData_;
}

// Brings the reader in line with the invariant. Stopping runs handlers, which may change the
// device again (assign a handler, check it in); such nested changes are only noted, and the loop
// here settles them once the stop is complete.
void THidDevice::updateReader()
{
    if (updating_) {
        updateAgain_ = true;
        return;
    }
    updating_ = true;
    do {
        updateAgain_ = false;
        if (wantsReader() && !reader_) {
            int error = 0;
            HidHandle* handle = openHandle(readHandle_, error);
            THidDeviceReadThread::Settings settings;
            settings.inputReportLength = inputReportLength_;
            settings.threadSleepTime = threadSleepTime_;
            settings.pollingDelayTime = pollingDelayTime_;
            reader_ = std::make_unique<THidDeviceReadThread>(
                handle, error, settings, this, [this](const HidHandOver& item) { deliver(item); });
            if (!pluggedIn_)
                reader_->markDeviceGone();
        } else if (!wantsReader() && reader_) {
            reader_->stop();
            reader_.reset();
        }
    } while (updateAgain_);
    if (!reader_ && !(pluggedIn_ && checkedOut_))
        closeHandles();
    updating_ = false;
}

void THidDevice::deliver(const HidHandOver& item)
{
    if (item.isError) {
        if (pluggedIn_ && isDeviceGoneError(static_cast<int>(item.error)))
            emit connectionLost(this);
        const HidDataErrorHandler handler = onDataError_;
        if (handler)
            handler(this, item.error);
        return;
    }
    // The handler may replace itself while it runs, so it is called through a copy.
    const HidDataHandler handler = onData_;
    if (!handler || item.report.empty())
        return;
    handler(this, item.report[0], item.report.data() + 1, static_cast<std::uint16_t>(item.report.size() - 1));
}

HidHandle* THidDevice::openHandle(std::unique_ptr<HidHandle>& slot, int& error)
{
    error = 0;
    if (slot)
        return slot.get();
    slot = backend_->open(path_, error);
    if (slot)
        return slot.get();
    if (error == 0)
        error = EIO;
    const QString message =
        QStringLiteral("%1: %2").arg(path_, osErrorMessage(static_cast<std::uint32_t>(error)));
    if (message != openErrorText_) {
        openErrorText_ = message;
        emit openFailed(this, message);
    }
    if (isDeviceGoneError(error))
        emit connectionLost(this);
    return nullptr;
}

void THidDevice::closeHandles()
{
    writeHandle_.reset();
    // The reading handle belongs to a running reader until it has stopped.
    if (!reader_)
        readHandle_.reset();
}

void THidDevice::setCheckedOut(bool checkedOut)
{
    checkedOut_ = checkedOut;
    updateReader();
}

void THidDevice::markUnplugged()
{
    pluggedIn_ = false;
    if (reader_)
        reader_->markDeviceGone();
    closeHandles();
}

bool THidDevice::WriteFile(const void* report, std::uint32_t toWrite, std::uint32_t& bytesWritten)
{
    bytesWritten = 0;
    if (!pluggedIn_) {
        lastError_ = ENODEV;
        return false;
    }
    if (!checkedOut_) {
        lastError_ = EBADF;
        return false;
    }
    int error = 0;
    HidHandle* handle = openHandle(writeHandle_, error);
    if (!handle) {
        lastError_ = static_cast<std::uint32_t>(error);
        return false;
    }
    const int written = handle->write(static_cast<const std::uint8_t*>(report), toWrite, error);
    if (written < 0) {
        lastError_ = static_cast<std::uint32_t>(error != 0 ? error : EIO);
        if (isDeviceGoneError(error))
            emit connectionLost(this);
        return false;
    }
    bytesWritten = static_cast<std::uint32_t>(written);
    return true;
}

bool THidDevice::SetNumInputBuffers(int count)
{
    int error = 0;
    HidHandle* handle = pluggedIn_ ? openHandle(writeHandle_, error) : nullptr;
    if (!handle) {
        lastError_ = static_cast<std::uint32_t>(pluggedIn_ ? error : ENODEV);
        return false;
    }
    numInputBuffers_ = handle->setInputQueueSize(count);
    return true;
}

bool THidDevice::SetNumOverlappedBuffers(int count)
{
    if (!pluggedIn_) {
        lastError_ = ENODEV;
        return false;
    }
    // The reading handle is the reader's while it runs; the queue size is then only recorded, which
    // is all the backends without such a queue do anyway.
    if (reader_) {
        numOverlappedBuffers_ = count;
        return true;
    }
    int error = 0;
    HidHandle* handle = openHandle(readHandle_, error);
    if (!handle) {
        lastError_ = static_cast<std::uint32_t>(error);
        return false;
    }
    numOverlappedBuffers_ = handle->setInputQueueSize(count);
    return true;
}

bool THidDevice::isHandOverPending() const
{
    return reader_ && reader_->isHandOverPending();
}

} // namespace kv58
