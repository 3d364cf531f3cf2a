#include "protocol/MeasurementLineParser.h"

#include "core/Formats.h"
#include "protocol/WordOps.h"

namespace kv58 {
namespace {

// Values in measurement lines carry a decimal comma.
std::optional<double> lineValue(const Remainder& rem)
{
    return parseDecimal(rem.firstWord(), u',');
}

// The instrument writes the superscript two of a unit as "&".
QString withSuperscriptTwo(QString unit)
{
    return unit.replace(u'&', QChar(0x00B2));
}

} // namespace

IrradiationLine parseIrradiationLine(QStringView line)
{
    IrradiationLine out;
    Remainder rem(line);
    rem.dropFirst(5);

    out.timeToken = rem.firstWord();
    // A token longer than a time of day carries three leading characters that are not part of it.
    if (out.timeToken.size() > 8)
        out.timeToken.remove(0, 3);
    out.zeit = parseTime(out.timeToken, u':');
    if (!out.zeit) {
        out.failedAt = FailedField::Time;
        return out;
    }
    rem.skipWord();

    out.ch1.type = rem.firstWord();
    rem.skipWord();
    rem.skipBlanks();
    out.ch1.value = lineValue(rem);
    if (!out.ch1.value) {
        out.failedAt = FailedField::Value1;
        return out;
    }
    rem.skipWord();

    // A short rest can only be one unit; anything longer must hold the second channel.
    if (rem.size() < 20) {
        out.ch1.unit = withSuperscriptTwo(rem.toString());
        return out;
    }
    out.twoChannels = true;
    rem.skipBlanks();
    out.ch1.unit = withSuperscriptTwo(rem.firstWord());
    rem.skipWord();
    rem.skipBlanks();
    out.ch2.type = rem.firstWord();
    rem.skipWord();
    rem.skipBlanks();
    out.ch2.value = lineValue(rem);
    if (!out.ch2.value) {
        out.failedAt = FailedField::Value2;
        return out;
    }
    rem.skipWord();
    rem.skipBlanks();
    out.ch2.unit = withSuperscriptTwo(rem.hasBlank() ? rem.firstWord() : rem.toString());
    return out;
}

TransmissionLine parseTransmissionLine(QStringView line)
{
    TransmissionLine out;
    Remainder rem(line);
    rem.skipWord();

    out.ch1.type = rem.firstWord();
    rem.skipWord();
    rem.skipBlanks();
    out.ch1.value = lineValue(rem);
    if (!out.ch1.value) {
        out.failedAt = FailedField::Value1;
        return out;
    }
    rem.skipWord();

    // A one-channel line ends with a blank behind its unit, and the unit keeps it.
    const qsizetype blank = rem.text().indexOf(u' ');
    if (rem.isEmpty() || blank == rem.size() - 1) {
        out.ch1.unit = rem.toString();
        return out;
    }
    out.twoChannels = true;
    out.ch1.unit = rem.firstWord();
    rem.skipWord();
    out.ch2.type = rem.firstWord();
    rem.skipWord();
    rem.skipBlanks();
    out.ch2.value = lineValue(rem);
    if (!out.ch2.value) {
        out.failedAt = FailedField::Value2;
        return out;
    }
    rem.skipWord();
    out.ch2.unit = rem.hasBlank() ? rem.firstWord() : rem.toString();
    return out;
}

RelationLine parseRelationLine(QStringView line)
{
    RelationLine out;
    Remainder rem(line);
    rem.skipWord();

    // The label is a fixed-width field; its blanks belong to it.
    out.label = rem.chars(1, 9);
    rem.dropFirst(9);
    rem.skipBlanks();
    out.value = lineValue(rem);
    if (!out.value) {
        out.failedAt = FailedField::Value1;
        return out;
    }
    rem.skipWord();
    out.unit = rem.toString();
    return out;
}

} // namespace kv58
