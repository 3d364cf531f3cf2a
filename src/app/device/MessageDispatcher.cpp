#include "app/device/MessageDispatcher.h"

#include "app/device/DeferredCommands.h"
#include "app/device/DevicePage.h"
#include "app/device/DeviceSelection.h"
#include "app/device/InstrumentSession.h"
#include "app/device/RefusalBoxes.h"
#include "app/device/UsePoll.h"
#include "app/info/InformationTabs.h"
#include "app/measure/LiveMeasurement.h"
#include "app/measure/RunControls.h"
#include "app/service/InternPage.h"
#include "app/service/KalPage.h"
#include "app/service/ZeitPage.h"
#include "app/shell/StatusPanels.h"
#include "core/Translation.h"
#include "data/Measurement.h"
#include "live/InfoRules.h"
#include "protocol/Decoder.h"

namespace kv58 {

MessageDispatcher::MessageDispatcher(DispatchTargets targets, QObject* parent)
    : QObject(parent), t_(targets), refusals_(new RefusalBoxes(
                                        t_.window, [this](NackRow row) { refusalClosed(row); }, this))
{
}

void MessageDispatcher::decode(const QString& line)
{
    if (holds_ > 0 || draining_) {
        held_ << line;
        return;
    }
    applyLine(line);
}

void MessageDispatcher::applyLine(const QString& line)
{
    std::visit([this](const auto& message) { apply(message); }, decodeLine(line));
}

void MessageDispatcher::hold()
{
    ++holds_;
}

void MessageDispatcher::release()
{
    if (holds_ == 0 || --holds_ > 0 || draining_)
        return;
    // Lines that come while the held ones are applied queue up behind them.
    draining_ = true;
    while (!held_.isEmpty() && holds_ == 0)
        applyLine(held_.takeFirst());
    draining_ = false;
}

void MessageDispatcher::apply(const IrradiationLine& line)
{
    t_.live.apply(line);
}

void MessageDispatcher::apply(const TransmissionLine& line)
{
    t_.live.apply(line);
}

void MessageDispatcher::apply(const RelationLine& line)
{
    t_.live.apply(line);
}

void MessageDispatcher::apply(const UseReply& reply)
{
    t_.selection.useAnswered(reply);
}

// Clock lines outside a calibration run are only logged.
void MessageDispatcher::apply(const ClockLine& line)
{
    t_.zeit.logClockLine(line.line);
}

void MessageDispatcher::switchedOn()
{
    t_.session.setPowerOn(true);
    t_.runControls.poweredOn();
    t_.devicePage.showStateLabel(DevicePage::StateLabel::None);
    t_.infoTabs.showInstrumentTab();
    for (int channel : {1, 2})
        t_.measurement.setSensor(channel, sensorOnSwitchOn(t_.measurement.sensor(channel)));
}

void MessageDispatcher::switchedOff()
{
    t_.session.setPowerOn(false);
    t_.runControls.switchedOff();
    t_.infoTabs.hideAll();
    t_.devicePage.showStateLabel(DevicePage::StateLabel::Off);
    t_.status.setInstrumentSerial({});
    t_.live.switchedOff();
    t_.measurement.setInstrument({});
    for (int channel : {1, 2})
        t_.measurement.setSensor(channel, sensorOnSwitchOff(t_.measurement.sensor(channel)));
}

void MessageDispatcher::runStarted(int kind)
{
    t_.measurement.setRunKind(kind);
    t_.live.runStarted(kind, t_.infoTabs.channelTabShown(1) && t_.infoTabs.channelTabShown(2));
    t_.runControls.runStarted(kind);
    t_.usePoll.stop();
}

void MessageDispatcher::runEnded()
{
    t_.live.runEnded();
    t_.runControls.runEnded();
    t_.usePoll.start();
}

void MessageDispatcher::apply(const AckReply& reply)
{
    if (!reply.complete())
        return;
    InstrumentInfo instrument = t_.measurement.instrument();
    switch (reply.row) {
    case AckRow::PowerIsOn:
        switchedOn();
        break;
    case AckRow::Kv58IsOff:
        switchedOff();
        break;
    case AckRow::IrradiationStarted:
    case AckRow::TransmissionStarted:
    case AckRow::RelationStarted:
        runStarted(reply.mode);
        break;
    case AckRow::MeasurementStopped:
        runEnded();
        break;
    case AckRow::Firmware:
        t_.session.setVersions(reply.firmwareVersion, reply.hardwareVersion);
        t_.intern.showVersions(reply.firmwareVersion, reply.hardwareVersion, reply.text);
        break;
    case AckRow::Customer:
        t_.intern.showCustomer(reply.text);
        instrument.customer = reply.text;
        t_.measurement.setInstrument(instrument);
        t_.infoTabs.showInstrumentTab();
        t_.runControls.customerReported();
        break;
    case AckRow::BuildDate:
        t_.intern.showBuildDate(*reply.date);
        instrument.productionDate = infoDateText(*reply.date);
        t_.measurement.setInstrument(instrument);
        break;
    case AckRow::Serial:
        t_.status.setInstrumentSerial(QStringLiteral("# ") + reply.text);
        instrument.serial = reply.text;
        t_.intern.showSerial(reply.text);
        t_.measurement.setInstrument(instrument);
        break;
    case AckRow::CalDate:
        t_.intern.showCalDate(*reply.date);
        instrument.calibrationDate = infoDateText(*reply.date);
        t_.measurement.setInstrument(instrument);
        t_.session.setTransferAll(false);
        break;
    case AckRow::RtcSet:
        t_.status.setConnection(_("KV-58 connected [TS]"));
        break;
    case AckRow::GainControl:
        t_.runControls.showGain(reply.item);
        break;
    case AckRow::UnitSet:
        t_.runControls.showUnit(reply.item);
        break;
    case AckRow::IntervallSet:
        t_.runControls.showInterval(*reply.interval);
        break;
    case AckRow::Ch1Calibrated:
    case AckRow::Ch2Calibrated:
    case AckRow::Ch1SensorOffset:
    case AckRow::Ch2SensorOffset:
    case AckRow::RtcCal:
        t_.zeit.logCalibrationRegister(reply.text);
        break;
    case AckRow::Unknown:
        break;
    }
    if (const int job = reply.job.job(t_.session.TransferAll()))
        t_.jobs.schedule(job);
}

void MessageDispatcher::apply(const NackReply& reply)
{
    if (reply.row == NackRow::Unknown)
        return;
    if (reply.row != NackRow::NoSensorConnected)
        t_.usePoll.start();
    refusals_->refuse(reply.row);
}

// A lost sensor ends the run once its box has been read.
void MessageDispatcher::refusalClosed(NackRow row)
{
    if (row == NackRow::SensorLost) {
        t_.live.runEnded();
        t_.runControls.runEnded();
    }
}

void MessageDispatcher::apply(const ChannelInfo& info)
{
    t_.infoTabs.showChannelTab(info.channel);
    const SensorInfo sensor = applyChannelInfo(t_.measurement.sensor(info.channel), info);
    t_.measurement.setSensor(info.channel, sensor);
    if (info.keyKind == ChannelKey::SensorOffset && info.number)
        t_.kal.showOffset(info.channel, sensor.offset);
    if (info.keyKind == ChannelKey::Removed) {
        t_.kal.sensorRemoved(info.channel);
        t_.infoTabs.hideChannelTab(info.channel);
    }
}

} // namespace kv58
