#include "app/device/DeviceSelection.h"

#include "app/device/DeviceLink.h"
#include "app/device/DevicePage.h"
#include "app/device/InstrumentSession.h"
#include "app/device/UsePoll.h"
#include "link/HidDeviceController.h"
#include "protocol/Commands.h"
#include "protocol/MessageEffects.h"

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

} // namespace

DeviceSelection::DeviceSelection(THidDeviceController& controller, InstrumentSession& session,
                                 DeviceLink& link, DevicePage& page, UsePoll& usePoll, Pacing pacing,
                                 QObject* parent)
    : QObject(parent), controller_(controller), session_(session), link_(link), page_(page),
      usePoll_(usePoll), pacing_(pacing), stepTimer_(new QTimer(this))
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
    return session_.CurrentDevice() && session_.CurrentDevice()->IsPluggedIn();
}

void DeviceSelection::HidCtlDeviceChange()
{
    if (isSearching()) {
        // The instrument under query vanished: give up on it now instead of asking it for ten
        // seconds; the change itself is handled when the search has ended.
        changePending_ = true;
        if (session_.CurrentDevice() && !session_.CurrentDevice()->IsPluggedIn()) {
            stepTimer_->stop();
            if (phase_ == Phase::ListQuery) {
                session_.CurrentDevice()->setOnData(nullptr);
                checkInCurrent();
                queryNextListed();
            } else {
                checkInCurrent();
                page_.showStateLabel(DevicePage::StateLabel::NoInstrument);
                endSearch();
            }
        }
        return;
    }

    if (session_.CurrentDevice() && !session_.CurrentDevice()->IsPluggedIn()) {
        checkInCurrent();
        usePoll_.stop();
        session_.setPowerOn(false);
        page_.showStateLabel(DevicePage::StateLabel::NoInstrument);
        page_.setPowerButtonShown(false);
        emit instrumentUnplugged();
    }
    if (session_.CurrentDevice())
        return;

    const int count = controller_.CountByID(kKv58VendorId, kKv58ProductId);
    if (count == 1)
        startSingle();
    else if (count >= 2)
        startList();
}

void DeviceSelection::startSingle()
{
    page_.showStateLabel(DevicePage::StateLabel::Searching);
    THidDevice* claimed = nullptr;
    if (!controller_.CheckOutByID(claimed, kKv58VendorId, kKv58ProductId)) {
        // The only instrument is still claimed from an earlier list: nothing to ask.
        page_.showStateLabel(DevicePage::StateLabel::NoInstrument);
        return;
    }
    session_.setCurrentDevice(claimed);
    claimed->setOnData(link_.dataHandler());
    queriedName_ = DeviceName(*session_.CurrentDevice());
    link_.AddToHistory(QStringLiteral("Checking ") + queriedName_);
    waitThen(kSettleMs, Phase::SingleSettle);
}

void DeviceSelection::singleSettled()
{
    beginUseQuery();
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
    if (deviceInUse_) {
        session_.CurrentDevice()->setOnData(nullptr);
        checkInCurrent();
        page_.showStateLabel(DevicePage::StateLabel::NoInstrument);
        endSearch();
        return;
    }
    THidDevice* device = session_.CurrentDevice();
    endSearch();
    takeIntoUse(device);
}

void DeviceSelection::startList()
{
    page_.clearInstruments();
    page_.setInstrumentListShown(true);
    visited_.clear();
    queryNextListed();
}

void DeviceSelection::queryNextListed()
{
    THidDevice* next = nullptr;
    for (THidDevice* device : controller_.devices()) {
        if (!visited_.contains(device) && !device->IsCheckedOut() && device->IsPluggedIn() &&
            isKv58(*device)) {
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
    session_.setCurrentDevice(next);
    next->setOnData(link_.dataHandler());
    beginUseQuery();
    queriedName_ = DeviceName(*next);
    link_.AddToHistory(QStringLiteral("Checking avaible ") + queriedName_);
    link_.USB_Send(cmd::inUse());
    pass_ = 0;
    waitThen(kPassMs, Phase::ListQuery);
}

void DeviceSelection::finishListed()
{
    THidDevice* device = session_.CurrentDevice();
    device->setOnData(nullptr);
    if (deviceInUse_) {
        checkInCurrent();
    } else {
        page_.addInstrument(queriedName_, device);
        device->SetNumInputBuffers(128);
        device->SetNumOverlappedBuffers(128);
    }
    session_.setCurrentDevice(nullptr);
    queryNextListed();
}

void DeviceSelection::endList()
{
    phase_ = Phase::Idle;
    session_.setCurrentDevice(nullptr);
    if (page_.instrumentCount() == 1) {
        THidDevice* device = page_.instrumentAt(0);
        endSearch();
        takeIntoUse(device);
        return;
    }
    endSearch();
}

void DeviceSelection::KV58_AuswahlBoxClick()
{
    // A pick counts only while the list is offered (a click and an activation of one entry both
    // arrive here).
    if (isSearching() || page_.instrumentCount() == 0)
        return;
    if (session_.CurrentDevice()) {
        session_.CurrentDevice()->setOnData(nullptr);
        session_.setCurrentDevice(nullptr);
    }
    THidDevice* chosen = page_.pickedInstrument();
    if (!chosen || !controller_.devices().contains(chosen))
        return; // nothing selected: the list stays offered
    releaseListed(chosen);
    takeIntoUse(chosen);
}

// Instruments listed but not chosen are released, so a later search can find them again.
void DeviceSelection::releaseListed(THidDevice* keep)
{
    for (int i = 0; i < page_.instrumentCount(); ++i) {
        THidDevice* device = page_.instrumentAt(i);
        if (device != keep && controller_.devices().contains(device))
            controller_.CheckIn(device);
    }
    page_.clearInstruments();
}

void DeviceSelection::takeIntoUse(THidDevice* device)
{
    session_.setCurrentDevice(device);
    device->setOnData(link_.dataHandler());
    page_.setPowerButtonShown(true);
    page_.showStateLabel(DevicePage::StateLabel::Off);
    emit instrumentTakenIntoUse(device);
    link_.USB_Send(cmd::setUse(true));
    usePoll_.start();
    PowerOff();
    page_.setInstrumentListShown(false);
}

void DeviceSelection::PowerOff()
{
    link_.USB_Send(cmd::powerOff());
}

void DeviceSelection::PowerButtonClick()
{
    if (session_.PowerOn()) {
        PowerOff();
        page_.showStateLabel(DevicePage::StateLabel::Off);
        emit switchedOffByUser();
        return;
    }
    link_.USB_Send(cmd::powerOn());
    page_.showStateLabel(DevicePage::StateLabel::None);
    QTimer::singleShot(pacing_.ms(kPowerOnRepeatMs), this, [this] { link_.USB_Send(cmd::powerOn()); });
}

// Gives the current instrument back to the controller; none is current afterwards.
void DeviceSelection::checkInCurrent()
{
    THidDevice* device = session_.CurrentDevice();
    controller_.CheckIn(device);
    session_.setCurrentDevice(nullptr);
}

void DeviceSelection::beginUseQuery()
{
    deviceInUse_ = false;
    useReplyPending_ = true;
}

void DeviceSelection::useAnswered(const UseReply& reply)
{
    const UseState next = applyUseReply(reply, {deviceInUse_, useReplyPending_});
    deviceInUse_ = next.deviceInUse;
    useReplyPending_ = next.useReplyPending;
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
        if (!useReplyPending_ || pass_ >= kMaxPasses - 1) {
            finishSingle();
            return;
        }
        ++pass_;
        singlePass();
        return;
    case Phase::ListQuery:
        if (!useReplyPending_ || pass_ >= kMaxPasses - 1) {
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
