#include "protocol/MessageEffects.h"

namespace kv58 {
namespace {

// Channel records of one- or two-channel lines; true when channel 2's value did not fail.
bool storeTwoChannelFields(bool twoChannels, const ChannelReading& ch1, const ChannelReading& ch2,
                           FailedField failedAt, Kanal& kanal1, Kanal& kanal2)
{
    kanal1.SensorTyp = ch1.type;
    if (failedAt == FailedField::Value1 || !ch1.value)
        return false;
    kanal1.Wert = *ch1.value;
    kanal1.Einheit = ch1.unit;
    if (!twoChannels) {
        // One channel: channel 2's other fields keep what the last two-channel line left.
        kanal2.SensorTyp.clear();
        return true;
    }
    kanal2.SensorTyp = ch2.type;
    if (failedAt == FailedField::Value2 || !ch2.value)
        return false;
    kanal2.Wert = *ch2.value;
    kanal2.Einheit = ch2.unit;
    return true;
}

} // namespace

bool storeChannels(const IrradiationLine& line, TDateTime& zeit, Kanal& kanal1, Kanal& kanal2)
{
    if (line.failedAt == FailedField::Time || !line.zeit)
        return false;
    zeit = *line.zeit;
    return storeTwoChannelFields(line.twoChannels, line.ch1, line.ch2, line.failedAt, kanal1, kanal2);
}

bool storeChannels(const TransmissionLine& line, Kanal& kanal1, Kanal& kanal2)
{
    return storeTwoChannelFields(line.twoChannels, line.ch1, line.ch2, line.failedAt, kanal1, kanal2);
}

bool storeChannels(const RelationLine& line, Kanal& kanal1)
{
    kanal1.SensorTyp = line.label;
    if (line.failedAt != FailedField::None || !line.value)
        return false;
    kanal1.Wert = *line.value;
    kanal1.Einheit = line.unit;
    return true;
}

UseState applyUseReply(const UseReply& reply, UseState state)
{
    if (reply.yes())
        return {true, false};
    if (state.useReplyPending)
        return {false, false};
    return state;
}

} // namespace kv58
