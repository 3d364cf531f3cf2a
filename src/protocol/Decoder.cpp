#include "protocol/Decoder.h"

#include "core/Formats.h"
#include "protocol/AckTable.h"
#include "protocol/MeasurementLineParser.h"
#include "protocol/WordOps.h"

namespace kv58 {
namespace {

// A fixed-position clock field: characters `from` to `to`, digits only.
std::optional<int> clockField(QStringView clockText, qsizetype from, qsizetype to)
{
    const QString field = charsRange(clockText, from, to);
    if (field.isEmpty())
        return std::nullopt;
    for (const QChar c : field)
        if (c < u'0' || c > u'9')
            return std::nullopt;
    const auto value = parseInteger(field);
    return value ? std::optional<int>(static_cast<int>(*value)) : std::nullopt;
}

std::optional<TDateTime> clockDateTime(QStringView clockText)
{
    const auto year = clockField(clockText, 1, 4);
    const auto month = clockField(clockText, 6, 7);
    const auto day = clockField(clockText, 9, 10);
    const auto hour = clockField(clockText, 12, 13);
    const auto minute = clockField(clockText, 15, 16);
    const auto second = clockField(clockText, 18, 19);
    if (!year || !month || !day || !hour || !minute || !second)
        return std::nullopt;
    const auto date = encodeDate(*year, *month, *day);
    const auto time = encodeTime(*hour, *minute, *second);
    if (!date || !time)
        return std::nullopt;
    return *date + *time;
}

ChannelKey channelKeyKind(const QString& key)
{
    static const struct {
        QLatin1String text;
        ChannelKey kind{};
    } keys[] = {
        {QLatin1String("Sensortyp:"), ChannelKey::SensorType},
        {QLatin1String("Production date:"), ChannelKey::ProductionDate},
        {QLatin1String("Calibration date:"), ChannelKey::CalibrationDate},
        {QLatin1String("Customer:"), ChannelKey::Customer},
        {QLatin1String("Serial:"), ChannelKey::Serial},
        {QLatin1String("Kalibrierung:"), ChannelKey::Calibration},
        {QLatin1String("RangeHi:"), ChannelKey::RangeHi},
        {QLatin1String("RangeLo:"), ChannelKey::RangeLo},
        {QLatin1String("SensorOffset:"), ChannelKey::SensorOffset},
        {QLatin1String("Removed"), ChannelKey::Removed},
    };
    for (const auto& k : keys)
        if (key == k.text)
            return k.kind;
    return ChannelKey::Other;
}

} // namespace

UseReply decodeUseReply(QStringView payload)
{
    return UseReply{payload.toString()};
}

ClockLine decodeClockLine(const QString& line)
{
    ClockLine out;
    out.line = line;
    out.clockText = line.mid(5);
    Remainder rem(out.clockText);
    rem.skipWord();
    out.timeText = rem.toString();
    out.deviceTime = clockDateTime(out.clockText);
    return out;
}

ChannelInfo decodeChannelInfo(int channel, QStringView remainder)
{
    ChannelInfo out;
    out.channel = channel;
    Remainder rem(remainder);
    // A key with nothing behind it ("CH1:Removed") is still the key, not an empty one.
    if (rem.hasBlank()) {
        out.key = rem.firstWord();
        rem.skipWord();
    } else {
        out.key = rem.toString();
        rem.dropFirst(rem.size());
    }
    if (out.key == QLatin1String("Production") || out.key == QLatin1String("Calibration")) {
        out.key += u' ' + rem.firstWord();
        rem.skipWord();
    }
    out.keyKind = channelKeyKind(out.key);
    out.value = rem.toString();
    out.number = parseDecimal(out.value, u'.');
    return out;
}

Message decodeLine(const QString& line)
{
    const QStringView view(line);
    if (view.startsWith(u"Time:"))
        return parseIrradiationLine(view);
    if (view.startsWith(u"Transmission:"))
        return parseTransmissionLine(view);
    if (view.startsWith(u"Relation:"))
        return parseRelationLine(view);
    if (view.startsWith(u"USE:"))
        return decodeUseReply(view.mid(4));
    if (view.startsWith(u"ZEIT:"))
        return decodeClockLine(line);
    if (view.startsWith(u"ACK:"))
        return decodeAck(view.mid(4));
    if (view.startsWith(u"NACK:"))
        return decodeNack(view.mid(5));
    if (view.startsWith(u"CH1:"))
        return decodeChannelInfo(1, view.mid(4));
    if (view.startsWith(u"CH2:"))
        return decodeChannelInfo(2, view.mid(4));
    return UnrecognisedLine{line};
}

} // namespace kv58
