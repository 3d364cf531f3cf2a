#include "protocol/AckTable.h"

#include "core/Formats.h"
#include "protocol/DeferredJobs.h"
#include "protocol/WordOps.h"

namespace kv58 {
namespace {

struct AckRowPrefix {
    QStringView prefix;
    AckRow row{};
};

// Order matters: the first prefix the payload begins with decides.
constexpr AckRowPrefix ackRows[] = {
    {u"POWER IS ON", AckRow::PowerIsOn},
    {u"KV58 IS OFF", AckRow::Kv58IsOff},
    {u"IRRADIATION STARTED", AckRow::IrradiationStarted},
    {u"TRANSMISSION STARTED", AckRow::TransmissionStarted},
    {u"RELATION STARTED", AckRow::RelationStarted},
    {u"MEASUREMENT STOPPED", AckRow::MeasurementStopped},
    {u"FIRMWARE", AckRow::Firmware},
    {u"CUSTOMER:", AckRow::Customer},
    {u"BuildDate:", AckRow::BuildDate},
    {u"SERIAL", AckRow::Serial},
    {u"CALDATE:", AckRow::CalDate},
    {u"CH1 CALIBRATED:", AckRow::Ch1Calibrated},
    {u"CH2 CALIBRATED:", AckRow::Ch2Calibrated},
    {u"CH1 SensorOffset:", AckRow::Ch1SensorOffset},
    {u"CH2 SensorOffset:", AckRow::Ch2SensorOffset},
    {u"RTC SET", AckRow::RtcSet},
    {u"GAIN CONTROL: ", AckRow::GainControl},
    {u"UNIT SET: ", AckRow::UnitSet},
    {u"INTERVALL SET:", AckRow::IntervallSet},
    {u"RTC CAL", AckRow::RtcCal},
};

struct NackRowPrefix {
    QStringView prefix;
    NackRow row{};
};

constexpr NackRowPrefix nackRows[] = {
    {u"RELATION NOT POSSIBLE", NackRow::RelationNotPossible},
    {u"SENSOR LOST", NackRow::SensorLost},
    {u"NO SENSOR CONNECTED", NackRow::NoSensorConnected},
};

// Dates in replies are day, month and four-digit year separated by ".".
std::optional<TDateTime> replyDate(const QString& text)
{
    return parseDate(text, DateOrder::DayMonthYear, u'.');
}

QString withoutLastCharacter(QString text)
{
    text.chop(1);
    return text;
}

JobSchedule always(int job)
{
    return {job, job};
}

} // namespace

AckReply decodeAck(QStringView payload)
{
    AckReply out;
    out.payload = payload.toString();
    for (const auto& r : ackRows) {
        if (payload.startsWith(r.prefix)) {
            out.row = r.row;
            break;
        }
    }

    switch (out.row) {
    case AckRow::PowerIsOn:
        out.job = always(JobGetSerial);
        break;
    case AckRow::IrradiationStarted:
        out.mode = Irradiation;
        break;
    case AckRow::TransmissionStarted:
        out.mode = Transmission;
        break;
    case AckRow::RelationStarted:
        out.mode = Relation;
        break;
    case AckRow::Firmware: {
        Remainder rem(payload);
        rem.skipWord();
        out.firmwareVersion = rem.firstWord();
        rem.skipWord();
        out.hardwareVersion = rem.firstWord();
        rem.skipWord();
        out.text = rem.toString();
        out.job = {JobSetSerial, 0};
        break;
    }
    case AckRow::Customer:
        out.text = payload.mid(9).toString();
        out.job = {JobSetBuild, 0};
        break;
    case AckRow::BuildDate:
        out.text = withoutLastCharacter(payload.mid(10).toString());
        out.date = replyDate(out.text);
        out.job = {JobGetFirm, 0};
        break;
    case AckRow::Serial: {
        Remainder rem(payload);
        rem.skipWord();
        out.text = withoutLastCharacter(rem.toString());
        out.job = {JobSetCalDate, JobSetRtc};
        break;
    }
    case AckRow::CalDate:
        out.text = payload.mid(8).toString();
        out.date = replyDate(out.text);
        break;
    case AckRow::Ch1Calibrated:
    case AckRow::Ch1SensorOffset:
        out.job = always(JobCalDateCh1);
        break;
    case AckRow::Ch2Calibrated:
    case AckRow::Ch2SensorOffset:
        out.job = always(JobCalDateCh2);
        break;
    case AckRow::GainControl:
        out.text = payload.mid(14).toString();
        out.item = out.text == QLatin1String("ON") ? 1 : 0;
        break;
    case AckRow::UnitSet:
        out.text = charsRange(payload, 11, 12);
        out.item = out.text == QLatin1String("cm") ? 1 : 0;
        break;
    case AckRow::IntervallSet:
        out.text = payload.mid(14).toString();
        out.interval = parseInteger(firstWord(out.text));
        break;
    case AckRow::RtcCal:
        out.text = out.payload;
        break;
    case AckRow::Kv58IsOff:
    case AckRow::MeasurementStopped:
    case AckRow::RtcSet:
    case AckRow::Unknown:
        break;
    }
    return out;
}

NackReply decodeNack(QStringView payload)
{
    NackReply out;
    out.payload = payload.toString();
    for (const auto& r : nackRows) {
        if (payload.startsWith(r.prefix)) {
            out.row = r.row;
            break;
        }
    }
    return out;
}

} // namespace kv58
