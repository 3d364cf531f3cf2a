#include "app/MessageDispatcher.h"

#include "app/AppState.h"
#include "app/DeferredCommands.h"
#include "app/DevicePage.h"
#include "app/MainForm.h"
#include "core/Translation.h"
#include "protocol/Decoder.h"
#include "protocol/MessageEffects.h"
#include "widgets/NumIO.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QLabel>
#include <QMessageBox>
#include <QTimer>

namespace kv58 {

MessageDispatcher::MessageDispatcher(AppState& state, DeferredCommands& jobs, TMainForm& form, QObject* parent)
    : QObject(parent), state_(state), jobs_(jobs), form_(form)
{
}

void MessageDispatcher::decode(const QString& line)
{
    std::visit([this](const auto& message) { apply(message); }, decodeLine(line));
}

void MessageDispatcher::apply(const IrradiationLine& line)
{
    storeChannels(line, state_.Zeit, state_.Kanal1, state_.Kanal2);
}

void MessageDispatcher::apply(const TransmissionLine& line)
{
    storeChannels(line, state_.Kanal1, state_.Kanal2);
}

void MessageDispatcher::apply(const RelationLine& line)
{
    storeChannels(line, state_.Kanal1);
}

void MessageDispatcher::apply(const UseReply& reply)
{
    const UseState next = applyUseReply(reply, {state_.DeviceInUse, state_.UseReplyPending});
    state_.DeviceInUse = next.deviceInUse;
    state_.UseReplyPending = next.useReplyPending;
}

void MessageDispatcher::apply(const ClockLine&) {}

void MessageDispatcher::apply(const AckReply& reply)
{
    if (!reply.complete())
        return;
    switch (reply.row) {
    case AckRow::PowerIsOn:
        state_.PowerOn = true;
        break;
    case AckRow::Kv58IsOff:
        state_.PowerOn = false;
        break;
    case AckRow::IrradiationStarted:
    case AckRow::TransmissionStarted:
    case AckRow::RelationStarted:
        state_.MeasureMode = reply.mode;
        break;
    case AckRow::MeasurementStopped:
        form_.UseTimer->start();
        break;
    case AckRow::Firmware:
        state_.FirmwareVersion = reply.firmwareVersion;
        state_.HardwareVersion = reply.hardwareVersion;
        break;
    case AckRow::Customer:
        form_.Timer2->start();
        break;
    case AckRow::CalDate:
        state_.TransferAll = false;
        break;
    case AckRow::RtcSet:
        form_.StatusPanel[0]->setText(_("KV-58 connected [TS]"));
        break;
    case AckRow::GainControl:
        if (QAbstractButton* item = form_.DeviceSheet->GainButtons->button(reply.item))
            item->setChecked(true);
        break;
    case AckRow::UnitSet:
        if (QAbstractButton* item = form_.DeviceSheet->UnitButtons->button(reply.item))
            item->setChecked(true);
        break;
    case AckRow::IntervallSet:
        form_.DeviceSheet->IntervallIO->setText(QString::number(*reply.interval));
        break;
    case AckRow::BuildDate:
    case AckRow::Serial:
    case AckRow::Ch1Calibrated:
    case AckRow::Ch2Calibrated:
    case AckRow::Ch1SensorOffset:
    case AckRow::Ch2SensorOffset:
    case AckRow::RtcCal:
    case AckRow::Unknown:
        break;
    }
    if (const int job = reply.job.job(state_.TransferAll))
        jobs_.schedule(job);
}

void MessageDispatcher::apply(const NackReply& reply)
{
    if (reply.row == NackRow::Unknown)
        return;
    if (reply.row != NackRow::NoSensorConnected)
        form_.UseTimer->start();
    QTimer::singleShot(0, this, [this, row = reply.row] { showRefusal(row); });
}

void MessageDispatcher::showRefusal(NackRow row)
{
    const NackMessage message = nackMessage(row);
    QMessageBox::information(&form_, form_.windowTitle(), _(message.first) + QChar(13) + _(message.second));
}

void MessageDispatcher::apply(const ChannelInfo&) {}

} // namespace kv58
