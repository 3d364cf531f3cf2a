#include "link/HidDeviceController.h"

#include "link/HidrawBackend.h"
#include "link/VirtualBusBackend.h"

#include <QDebug>
#include <QPointer>
#include <QScopeGuard>
#include <QTimer>
#include <set>
#include <utility>

namespace kv58 {

THidDeviceController::THidDeviceController(QObject* parent) : THidDeviceController(defaultBackends(), parent)
{
}

THidDeviceController::THidDeviceController(std::vector<std::unique_ptr<HidBackend>> backends, QObject* parent)
    : QObject(parent), backends_(std::move(backends))
{
    for (const auto& backend : backends_)
        connect(backend.get(), &HidBackend::changed, this, &THidDeviceController::onBackendChanged);
    // The first enumeration runs once the event loop runs, after the application has connected
    // its handlers, and always ends in OnDeviceChange.
    QMetaObject::invokeMethod(
        this, [this] { handleChange(true); }, Qt::QueuedConnection);
}

THidDeviceController::~THidDeviceController()
{
    destroying_ = true;
    blockSignals(true);
    // Devices first (stopping their readers), and also those released but not yet deleted, while
    // the backends they came from still exist.
    devices_.clear();
    qDeleteAll(findChildren<THidDevice*>(Qt::FindDirectChildrenOnly));
    backends_.clear();
}

std::vector<std::unique_ptr<HidBackend>> THidDeviceController::defaultBackends()
{
    std::vector<std::unique_ptr<HidBackend>> backends;
    backends.push_back(std::make_unique<HidrawBackend>());
    backends.push_back(std::make_unique<VirtualBusBackend>());
    return backends;
}

void THidDeviceController::onBackendChanged()
{
    handleChange(false);
}

THidDevice* THidDeviceController::findPluggedIn(const HidBackend* backend, const QString& instance) const
{
    for (THidDevice* device : devices_)
        if (device->IsPluggedIn() && device->backend() == backend && device->instance() == instance)
            return device;
    return nullptr;
}

// A notification that arrives while a change is handled (also while OnDeviceChange runs and
// processes events) is dropped, not deferred; the rechecks the controller schedules itself wait
// for the running change instead.
void THidDeviceController::handleChange(bool initial)
{
    if (destroying_ || handlingChange_)
        return;
    handlingChange_ = true;
    const auto reset = qScopeGuard([this] { handlingChange_ = false; });

    struct Fresh {
        HidBackend* backend;
        HidInterface interface;
        HidIdentity identity;
    };
    using Key = std::pair<const HidBackend*, QString>;
    std::set<Key> met;
    std::set<Key> failed;
    std::vector<Fresh> fresh;
    // One interface that cannot be opened or identified must not cost the others their place in the
    // list: it is left out and reported once per cause, and tried again at the next change and after
    // a short delay (an instrument may make its socket appear before it listens on it).
    auto skip = [&](const HidBackend* backend, const HidInterface& interface, const QString& reason) {
        const Key key{backend, interface.instance};
        failed.insert(key);
        Skipped& entry = skipped_[key];
        if (entry.reason == reason)
            return;
        entry.reason = reason;
        emit OnDeviceSkipped(interface.path, reason);
    };
    for (const auto& backend : backends_) {
        for (const HidInterface& interface : backend->enumerate()) {
            if (!interface.unavailable.isEmpty()) {
                skip(backend.get(), interface, interface.unavailable);
                continue;
            }
            if (!met.emplace(backend.get(), interface.instance).second)
                continue;
            if (findPluggedIn(backend.get(), interface.instance))
                continue;
            HidIdentity identity = backend->identify(interface);
            if (!identity.error.isEmpty()) {
                skip(backend.get(), interface, identity.error);
                continue;
            }
            fresh.push_back({backend.get(), interface, std::move(identity)});
        }
    }
    bool retry = false;
    for (auto it = skipped_.begin(); it != skipped_.end();) {
        if (!failed.contains(it->first)) {
            it = skipped_.erase(it);
            continue;
        }
        if (it->second.retries < kIdentifyRetries) {
            ++it->second.retries;
            retry = true;
        }
        ++it;
    }
    if (retry)
        recheck(kIdentifyRetryMs);

    bool changed = std::exchange(unannounced_, false);
    for (qsizetype i = devices_.size() - 1; i >= 0; --i) {
        THidDevice* device = devices_[i];
        if (!device->IsPluggedIn() || met.contains({device->backend(), device->instance()}))
            continue;
        changed = unplug(device) || changed;
    }

    for (Fresh& f : fresh) {
        auto* device = new THidDevice(f.backend, f.interface, f.identity, this);
        device->setThreadSleepTime(devThreadSleepTime_);
        device->setPollingDelayTime(devPollingDelayTime_);
        device->setOnDataError(
            [this](THidDevice* dev, std::uint32_t error) { emit OnDeviceDataError(dev, error); });
        connect(device, &THidDevice::openFailed, this, &THidDeviceController::OnDeviceOpenError);
        connect(
            device, &THidDevice::connectionLost, this,
            [this, guard = QPointer<THidDevice>(device)] { deviceLost(guard); }, Qt::QueuedConnection);
        devices_.append(device);
        changed = true;
        if (!f.identity.readWriteAccess)
            emit OnDeviceOpenError(device, f.identity.accessError);
    }

    if (!changed && !initial)
        return;
    try {
        emit OnDeviceChange();
    } catch (const std::exception& e) {
        qWarning() << "device change handler failed:" << e.what();
    } catch (...) {
        qWarning() << "device change handler failed";
    }
}

// Marks the device unplugged; one nobody holds leaves the list. True when it was plugged in.
bool THidDeviceController::unplug(THidDevice* device)
{
    if (!device->IsPluggedIn())
        return false;
    device->markUnplugged();
    if (!device->IsCheckedOut() && devices_.removeOne(device))
        device->deleteLater();
    return true;
}

// A connection that ended is an unplug, even while the socket file stays behind (an instrument
// process that was killed): the device goes at once, and a recheck tells the application and
// lists whatever may have taken its place.
void THidDeviceController::deviceLost(THidDevice* device)
{
    if (destroying_ || !device || !devices_.contains(device) || !unplug(device))
        return;
    unannounced_ = true;
    recheck(0);
}

void THidDeviceController::recheck(int delayMs)
{
    if (destroying_)
        return;
    if (!recheck_) {
        recheck_ = new QTimer(this);
        recheck_->setSingleShot(true);
        connect(recheck_, &QTimer::timeout, this, [this] {
            if (handlingChange_)
                recheck_->start(kIdentifyRetryMs / 4);
            else
                handleChange(false);
        });
    }
    if (!recheck_->isActive() || recheck_->remainingTime() > delayMs)
        recheck_->start(delayMs);
}

int THidDeviceController::CountByID(int Vid, int Pid) const
{
    int count = 0;
    for (const THidDevice* device : devices_)
        if (device->IsPluggedIn() && device->Attributes().VendorID == Vid &&
            (Pid == -1 || device->Attributes().ProductID == Pid))
            ++count;
    return count;
}

void THidDeviceController::claim(THidDevice* device)
{
    device->setCheckedOut(true);
}

bool THidDeviceController::CheckOutByID(THidDevice*& HidDev, int Vid, int Pid)
{
    HidDev = nullptr;
    for (THidDevice* device : devices_) {
        if (device->IsCheckedOut() || !device->IsPluggedIn() || device->Attributes().VendorID != Vid ||
            (Pid != -1 && device->Attributes().ProductID != Pid))
            continue;
        HidDev = device;
        claim(device);
        return true;
    }
    return false;
}

bool THidDeviceController::CheckOut(THidDevice*& HidDev)
{
    HidDev = nullptr;
    for (THidDevice* device : devices_) {
        if (device->IsCheckedOut() || !device->IsPluggedIn())
            continue;
        HidDev = device;
        claim(device);
        return true;
    }
    return false;
}

bool THidDeviceController::CheckOutDevice(THidDevice* HidDev)
{
    if (!HidDev || !devices_.contains(HidDev) || HidDev->IsCheckedOut() || !HidDev->IsPluggedIn())
        return false;
    claim(HidDev);
    return true;
}

void THidDeviceController::CheckIn(THidDevice*& HidDev)
{
    THidDevice* device = HidDev;
    HidDev = nullptr;
    if (!device || !devices_.contains(device))
        return;
    device->setCheckedOut(false);
    // Destruction is deferred: the check-in may run inside a handler of this very device.
    if (!device->IsPluggedIn() && devices_.removeOne(device))
        device->deleteLater();
}

} // namespace kv58
