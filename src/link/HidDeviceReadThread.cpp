#include "link/HidDeviceReadThread.h"

#include <QSocketNotifier>
#include <cerrno>
#include <chrono>
#include <sys/eventfd.h>
#include <unistd.h>

namespace kv58 {

// The reader rings the user-interface thread through an eventfd watched by a socket notifier rather
// than by posting a Qt event: the report itself travels under our own mutex, so nothing the reader
// creates passes through Qt's queue, whose locking ThreadSanitizer cannot see.
THidDeviceReadThread::THidDeviceReadThread(HidHandle* handle, int openError, Settings settings,
                                           QObject* context, Deliver deliver)
    : shared_(std::make_shared<Shared>()), deliver_(std::move(deliver))
{
    wakeFd_ = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    notifier_ = new QSocketNotifier(wakeFd_, QSocketNotifier::Read, context);
    QObject::connect(notifier_, &QSocketNotifier::activated, context,
                     [fd = wakeFd_, shared = shared_, deliver = deliver_] {
                         eventfd_t count = 0;
                         eventfd_read(fd, &count);
                         serveOne(*shared, deliver);
                     });
    thread_ = std::thread([this, handle, openError, settings] { run(handle, openError, settings); });
}

THidDeviceReadThread::~THidDeviceReadThread()
{
    stop();
    if (notifier_) {
        notifier_->setEnabled(false);
        notifier_->disconnect();
        notifier_->deleteLater();
    }
    close(wakeFd_);
}

void THidDeviceReadThread::serveOne(Shared& shared, const Deliver& deliver)
{
    HidHandOver item;
    {
        std::lock_guard lock(shared.mutex);
        if (!shared.pending || shared.inService)
            return;
        item = std::move(*shared.pending);
        shared.pending.reset();
        shared.inService = true;
    }
    shared.changed.notify_all();
    if (deliver)
        deliver(item);
    {
        std::lock_guard lock(shared.mutex);
        shared.inService = false;
        shared.served = true;
    }
    shared.changed.notify_all();
}

void THidDeviceReadThread::stop()
{
    {
        std::lock_guard lock(shared_->mutex);
        shared_->stopRequested = true;
    }
    shared_->changed.notify_all();
    if (stopping_ || !thread_.joinable())
        return;
    stopping_ = true;
    for (;;) {
        std::unique_lock lock(shared_->mutex);
        shared_->changed.wait(
            lock, [this] { return shared_->finished || (shared_->pending && !shared_->inService); });
        if (shared_->pending && !shared_->inService) {
            lock.unlock();
            serveOne(*shared_, deliver_);
            continue;
        }
        break;
    }
    thread_.join();
    stopping_ = false;
}

void THidDeviceReadThread::markDeviceGone()
{
    {
        std::lock_guard lock(shared_->mutex);
        shared_->deviceGone = true;
    }
    shared_->changed.notify_all();
}

bool THidDeviceReadThread::isHandOverPending() const
{
    std::lock_guard lock(shared_->mutex);
    return shared_->pending.has_value();
}

// Returns false when the thread is to end. While the handler runs the thread waits; a stop
// requested from inside that very handler releases it, which is what keeps such a stop from
// deadlocking.
bool THidDeviceReadThread::handOver(HidHandOver item)
{
    {
        std::lock_guard lock(shared_->mutex);
        shared_->pending = std::move(item);
        shared_->served = false;
    }
    shared_->changed.notify_all();
    eventfd_write(wakeFd_, 1);
    std::unique_lock lock(shared_->mutex);
    shared_->changed.wait(
        lock, [this] { return shared_->served || (shared_->stopRequested && shared_->inService); });
    return !shared_->stopRequested;
}

// Sleeps up to `ms`, waking early on a stop. Returns false when the thread is to end.
bool THidDeviceReadThread::pause(int ms)
{
    std::unique_lock lock(shared_->mutex);
    if (ms > 0)
        shared_->changed.wait_for(lock, std::chrono::milliseconds(ms),
                                  [this] { return shared_->stopRequested; });
    return !shared_->stopRequested;
}

void THidDeviceReadThread::run(HidHandle* handle, int openError, Settings settings)
{
    const int slice = settings.threadSleepTime > 0 ? settings.threadSleepTime : 1;
    std::vector<std::uint8_t> buffer(static_cast<std::size_t>(std::max(settings.inputReportLength, 1)));
    for (;;) {
        bool gone = false;
        {
            std::lock_guard lock(shared_->mutex);
            if (shared_->stopRequested)
                break;
            gone = shared_->deviceGone;
        }
        std::fill(buffer.begin(), buffer.end(), 0);
        int error = 0;
        int got = -1;
        if (gone)
            error = ENODEV;
        else if (!handle)
            error = openError != 0 ? openError : ENODEV;
        else
            got = handle->read(buffer.data(), buffer.size(), slice, error);

        if (got < 0) {
            HidHandOver item;
            item.isError = true;
            item.error = static_cast<std::uint32_t>(error != 0 ? error : EIO);
            if (!handOver(std::move(item)) || !pause(slice))
                break;
            continue;
        }
        if (got == 0)
            continue;
        HidHandOver item;
        item.report.assign(buffer.begin(), buffer.begin() + got);
        if (!handOver(std::move(item)))
            break;
        if (settings.pollingDelayTime > 0 && !pause(settings.pollingDelayTime))
            break;
    }
    {
        std::lock_guard lock(shared_->mutex);
        shared_->finished = true;
    }
    shared_->changed.notify_all();
}

} // namespace kv58
