#include "app/DeviceSelection.h"

#include "app/AppState.h"
#include "app/DeviceLink.h"
#include "app/DevicePage.h"
#include "link/HidDeviceController.h"
#include "protocol/Commands.h"

#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>

namespace kv58 {
namespace {

constexpr int kMaxPasses = 100;
constexpr int kPassMs = 100;
constexpr int kSettleMs = 50;
constexpr int kPowerOnRepeatMs = 100;

bool isKv58(const THidDevice& device)
{
    return device.Attributes().VendorID == kKv58VendorId && device.Attributes().ProductID == kKv58ProductId;
}

THidDevice* deviceOf(const QListWidgetItem* item)
{
    return item ? static_cast<THidDevice*>(item->data(Qt::UserRole).value<void*>()) : nullptr;
}

} // namespace

DeviceSelection::DeviceSelection(THidDeviceController& controller, AppState& state, DeviceLink& link,
                                 DevicePage& page, QTimer& useTimer, Pacing pacing, QObject* parent)
    : QObject(parent), controller_(controller), state_(state), link_(link), page_(page), useTimer_(useTimer),
      pacing_(pacing), stepTimer_(new QTimer(this))
{
    stepTimer_->setSingleShot(true);
    connect(stepTimer_, &QTimer::timeout, this, &DeviceSelection::step);
}

QString DeviceSelection::DeviceName(const THidDevice& device)
{
    const auto hex4 = [](int id) { return QString::number(id, 16).rightJustified(4, u'0').toUpper(); };
    QString name = device.ProductName();
    if (name.isEmpty())
        name = QStringLiteral("Device VID=%1 PID=%2")
                   .arg(hex4(device.Attributes().VendorID), hex4(device.Attributes().ProductID));
    if (!device.SerialNumber().isEmpty())
        name += QStringLiteral(" (#%1)").arg(device.SerialNumber());
    return name;
}

bool DeviceSelection::currentStillPlugged() const
{
    return state_.CurrentDevice && state_.CurrentDevice->IsPluggedIn();
}

void DeviceSelection::HidCtlDeviceChange()
{
    if (isSearching()) {
        // The instrument under query vanished: give up on it now instead of asking it for ten
        // seconds; the change itself is handled when the search has ended.
        changePending_ = true;
        if (state_.CurrentDevice && !state_.CurrentDevice->IsPluggedIn()) {
            stepTimer_->stop();
            if (phase_ == Phase::ListQuery) {
                state_.CurrentDevice->setOnData(nullptr);
                controller_.CheckIn(state_.CurrentDevice);
                queryNextListed();
            } else {
                controller_.CheckIn(state_.CurrentDevice);
                page_.showStateLabel(page_.NoKVLabel);
                endSearch();
            }
        }
        return;
    }

    if (state_.CurrentDevice && !state_.CurrentDevice->IsPluggedIn()) {
        controller_.CheckIn(state_.CurrentDevice);
        useTimer_.stop();
        state_.PowerOn = false;
        page_.showStateLabel(page_.NoKVLabel);
        page_.PowerButton->hide();
        page_.StartBox->hide();
        page_.MeasureBox->hide();
        page_.SystemBox->hide();
        emit instrumentUnplugged();
    }
    if (state_.CurrentDevice)
        return;

    const int count = controller_.CountByID(kKv58VendorId, kKv58ProductId);
    if (count == 1)
        startSingle();
    else if (count >= 2)
        startList();
}

void DeviceSelection::startSingle()
{
    page_.showStateLabel(page_.SearchKVLabel);
    if (!controller_.CheckOutByID(state_.CurrentDevice, kKv58VendorId, kKv58ProductId)) {
        // The only instrument is still claimed from an earlier list: nothing to ask.
        page_.showStateLabel(page_.NoKVLabel);
        return;
    }
    state_.CurrentDevice->setOnData(link_.dataHandler());
    queriedName_ = DeviceName(*state_.CurrentDevice);
    link_.AddToHistory(QStringLiteral("Checking ") + queriedName_);
    waitThen(kSettleMs, Phase::SingleSettle);
}

void DeviceSelection::singleSettled()
{
    state_.DeviceInUse = false;
    state_.UseReplyPending = true;
    link_.USB_Send(cmd::inUse());
    pass_ = 0;
    singlePass();
}

void DeviceSelection::singlePass()
{
    link_.USB_Send(cmd::inUse());
    link_.AddToHistory(QStringLiteral("Checking avaible %1: %2").arg(queriedName_).arg(pass_));
    waitThen(kPassMs, Phase::SingleQuery);
}

void DeviceSelection::finishSingle()
{
    if (state_.DeviceInUse) {
        state_.CurrentDevice->setOnData(nullptr);
        controller_.CheckIn(state_.CurrentDevice);
        page_.showStateLabel(page_.NoKVLabel);
        endSearch();
        return;
    }
    THidDevice* device = state_.CurrentDevice;
    endSearch();
    takeIntoUse(device);
}

void DeviceSelection::startList()
{
    page_.KV58_AuswahlBox->clear();
    page_.KV58_AuswahlBox->show();
    visited_.clear();
    queryNextListed();
}

void DeviceSelection::queryNextListed()
{
    THidDevice* next = nullptr;
    for (THidDevice* device : controller_.devices()) {
        if (!visited_.contains(device) && !device->IsCheckedOut() && device->IsPluggedIn() && isKv58(*device)) {
            next = device;
            break;
        }
    }
    if (!next) {
        endList();
        return;
    }
    visited_.insert(next);
    if (!controller_.CheckOutDevice(next)) {
        queryNextListed();
        return;
    }
    state_.CurrentDevice = next;
    next->setOnData(link_.dataHandler());
    state_.DeviceInUse = false;
    state_.UseReplyPending = true;
    queriedName_ = DeviceName(*next);
    link_.AddToHistory(QStringLiteral("Checking avaible ") + queriedName_);
    link_.USB_Send(cmd::inUse());
    pass_ = 0;
    waitThen(kPassMs, Phase::ListQuery);
}

void DeviceSelection::finishListed()
{
    THidDevice* device = state_.CurrentDevice;
    device->setOnData(nullptr);
    if (state_.DeviceInUse) {
        controller_.CheckIn(state_.CurrentDevice);
    } else {
        auto* item = new QListWidgetItem(queriedName_, page_.KV58_AuswahlBox);
        item->setData(Qt::UserRole, QVariant::fromValue(static_cast<void*>(device)));
        device->SetNumInputBuffers(128);
        device->SetNumOverlappedBuffers(128);
    }
    state_.CurrentDevice = nullptr;
    queryNextListed();
}

void DeviceSelection::endList()
{
    phase_ = Phase::Idle;
    state_.CurrentDevice = nullptr;
    if (page_.KV58_AuswahlBox->count() == 1) {
        THidDevice* device = deviceOf(page_.KV58_AuswahlBox->item(0));
        endSearch();
        takeIntoUse(device);
        return;
    }
    endSearch();
}

void DeviceSelection::KV58_AuswahlBoxClick()
{
    if (isSearching())
        return;
    if (state_.CurrentDevice) {
        state_.CurrentDevice->setOnData(nullptr);
        state_.CurrentDevice = nullptr;
    }
    THidDevice* chosen = deviceOf(page_.KV58_AuswahlBox->currentItem());
    if (!chosen || !controller_.devices().contains(chosen))
        return; // nothing selected: the list stays offered
    releaseListed(chosen);
    takeIntoUse(chosen);
}

// Instruments listed but not chosen are released, so a later search can find them again.
void DeviceSelection::releaseListed(THidDevice* keep)
{
    for (int i = 0; i < page_.KV58_AuswahlBox->count(); ++i) {
        THidDevice* device = deviceOf(page_.KV58_AuswahlBox->item(i));
        if (device != keep && controller_.devices().contains(device))
            controller_.CheckIn(device);
    }
    page_.KV58_AuswahlBox->clear();
}

void DeviceSelection::takeIntoUse(THidDevice* device)
{
    state_.CurrentDevice = device;
    device->setOnData(link_.dataHandler());
    page_.PowerButton->show();
    page_.showStateLabel(page_.KVOffLabel);
    emit instrumentTakenIntoUse(device);
    link_.USB_Send(cmd::setUse(true));
    useTimer_.start();
    PowerOff();
    page_.KV58_AuswahlBox->hide();
}

void DeviceSelection::PowerOff()
{
    link_.USB_Send(cmd::powerOff());
}

void DeviceSelection::PowerButtonClick()
{
    if (state_.PowerOn) {
        PowerOff();
        page_.StartBox->hide();
        page_.SystemBox->hide();
        page_.MeasureBox->hide();
        page_.showStateLabel(page_.KVOffLabel);
        emit measurePageWanted();
        return;
    }
    link_.USB_Send(cmd::powerOn());
    page_.MeasureBox->hide();
    page_.showStateLabel(nullptr);
    QTimer::singleShot(pacing_.ms(kPowerOnRepeatMs), this, [this] { link_.USB_Send(cmd::powerOn()); });
}

void DeviceSelection::waitThen(int nominalMs, Phase phase)
{
    phase_ = phase;
    stepTimer_->start(pacing_.ms(nominalMs));
}

void DeviceSelection::step()
{
    switch (phase_) {
    case Phase::Idle:
        return;
    case Phase::SingleSettle:
        singleSettled();
        return;
    case Phase::SingleQuery:
        if (!state_.UseReplyPending || pass_ >= kMaxPasses - 1) {
            finishSingle();
            return;
        }
        ++pass_;
        singlePass();
        return;
    case Phase::ListQuery:
        if (!state_.UseReplyPending || pass_ >= kMaxPasses - 1) {
            finishListed();
            return;
        }
        ++pass_;
        waitThen(kPassMs, Phase::ListQuery);
        return;
    }
}

void DeviceSelection::endSearch()
{
    phase_ = Phase::Idle;
    stepTimer_->stop();
    if (changePending_) {
        changePending_ = false;
        // Handled from the event loop, so that whoever ended the search finishes first.
        QTimer::singleShot(0, this, &DeviceSelection::HidCtlDeviceChange);
    }
}

} // namespace kv58
