#include "live/ValueText.h"

#include "core/Formats.h"

namespace kv58 {

namespace {
constexpr QChar kDecimalSep = u',';
}

QString formatByMagnitude(double value)
{
    const char16_t* pattern = u"0.000000";
    if (value > 100)
        pattern = u"000.000";
    else if (value > 10)
        pattern = u"00.0000";
    else if (value > 1)
        pattern = u"0.00000";
    return formatPattern(value, QStringView(pattern), kDecimalSep);
}

QString formatFixedValue(double value)
{
    return formatFixed(value, 3, 3, kDecimalSep);
}

QString channelDisplayText(const Kanal& channel)
{
    return channel.SensorTyp + QStringLiteral(": ") + formatFixedValue(channel.Wert) + u' ' + channel.Einheit;
}

} // namespace kv58
