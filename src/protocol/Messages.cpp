#include "protocol/Messages.h"

namespace kv58 {

bool AckReply::complete() const
{
    switch (row) {
    case AckRow::BuildDate:
    case AckRow::CalDate:
        return date.has_value();
    case AckRow::IntervallSet:
        return interval.has_value();
    default:
        return true;
    }
}

NackMessage nackMessage(NackRow row)
{
    switch (row) {
    case NackRow::RelationNotPossible:
        return {"Relation not possible!", "Only one sensor connected"};
    case NackRow::SensorLost:
        return {"Disconnection of a Sensor!", "Check the KV58 device"};
    case NackRow::NoSensorConnected:
        return {"No measurement possible!", "No Sensor connected"};
    case NackRow::Unknown:
        break;
    }
    return {};
}

} // namespace kv58
