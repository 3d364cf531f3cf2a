#include "SimLines.h"

#include "core/Formats.h"

namespace kv58::sim {

namespace {
constexpr qsizetype kTwoChannelMinimum = 20;

QString number(double value, int decimals)
{
    return formatFixed(value, 1, decimals, u',');
}
} // namespace

QString irradiationLine(const QString& timeOfDay, const std::vector<ChannelReading>& channels, int decimals)
{
    const ChannelReading& first = channels.at(0);
    QString line = QStringLiteral("Time:%1 %2 %3 ").arg(timeOfDay, first.type, number(first.value, decimals));
    if (channels.size() < 2)
        return line + first.unit;
    const ChannelReading& second = channels[1];
    const QString value = number(second.value, decimals);
    // The host counts the characters after the first value to tell one channel from two; more
    // blanks before the second value are skipped.
    const qsizetype rest =
        first.unit.size() + 1 + second.type.size() + 1 + value.size() + 1 + second.unit.size();
    const QString pad(std::max<qsizetype>(0, kTwoChannelMinimum - rest), u' ');
    return line + QStringLiteral("%1 %2 %3%4 %5").arg(first.unit, second.type, pad, value, second.unit);
}

QString transmissionLine(const std::vector<ChannelReading>& channels)
{
    QString line = QStringLiteral("Transmission:");
    for (const ChannelReading& c : channels)
        line += QStringLiteral(" %1 %2 %3").arg(c.type, number(c.value, 2), c.unit);
    return line + u' ';
}

QString relationLine(const QString& label, double value, const QString& unit)
{
    return QStringLiteral("Relation: %1 %2 %3")
        .arg(label.leftJustified(9, u' ', true), number(value, 2), unit);
}

QString relationLabel(const QString& numerator, const QString& denominator)
{
    return (numerator + u'/' + denominator).leftJustified(9, u' ', true);
}

} // namespace kv58::sim
