#include "link/HidDeviceController.h"

#include "link/HidrawBackend.h"
#include "link/VirtualBusBackend.h"

#include <QDebug>
#include <QScopeGuard>
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
// processes events) is dropped, not deferred.
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
    std::set<std::pair<const HidBackend*, QString>> met;
    std::vector<Fresh> fresh;
    for (const auto& backend : backends_) {
        for (const HidInterface& interface : backend->enumerate()) {
            if (!met.emplace(backend.get(), interface.instance).second)
                continue;
            if (findPluggedIn(backend.get(), interface.instance))
                continue;
            HidIdentity identity = backend->identify(interface);
            // One interface that cannot be opened or identified must not cost the others their
            // place in the list: it is left out and reported, and the next change tries it again.
            if (!identity.error.isEmpty()) {
                emit OnDeviceSkipped(interface.path, identity.error);
                continue;
            }
            fresh.push_back({backend.get(), interface, std::move(identity)});
        }
    }

    bool changed = false;
    for (qsizetype i = devices_.size() - 1; i >= 0; --i) {
        THidDevice* device = devices_[i];
        if (!device->IsPluggedIn() || met.contains({device->backend(), device->instance()}))
            continue;
        device->markUnplugged();
        changed = true;
        if (!device->IsCheckedOut()) {
            devices_.removeAt(i);
            device->deleteLater();
        }
    }

    for (Fresh& f : fresh) {
        auto* device = new THidDevice(f.backend, f.interface, f.identity, this);
        device->setThreadSleepTime(devThreadSleepTime_);
        device->setPollingDelayTime(devPollingDelayTime_);
        device->setOnDataError(
            [this](THidDevice* dev, std::uint32_t error) { emit OnDeviceDataError(dev, error); });
        connect(device, &THidDevice::openFailed, this, &THidDeviceController::OnDeviceOpenError);
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
