// The measurement lines of the virtual instrument, written so that the host's word rules take them
// apart as meant: a blank after every word the host reads as a first word, at least 20 characters
// after the first value of a two-channel irradiation line, fewer with one channel, and a blank after
// the unit of a one-channel transmission line.
#pragma once

#include <QString>
#include <vector>

namespace kv58::sim {

struct ChannelReading {
    QString type; // one word
    double value = 0;
    QString unit; // one word; "&" stands for the superscript two
};

// "Time:" + time of day + per channel: type, value, unit. One or two channels.
QString irradiationLine(const QString& timeOfDay, const std::vector<ChannelReading>& channels, int decimals);
// "Transmission: " + per channel: type, value, unit, ending in a blank. One or two channels.
QString transmissionLine(const std::vector<ChannelReading>& channels);
// "Relation: " + a label of exactly nine characters + value + unit.
QString relationLine(const QString& label, double value, const QString& unit);
// The relation label of two sensor types, padded or cut to nine characters.
QString relationLabel(const QString& numerator, const QString& denominator);

} // namespace kv58::sim
