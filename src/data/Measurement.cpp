#include "data/Measurement.h"

#include <stdexcept>

namespace kv58 {
namespace {

std::size_t channelIndex(int channel)
{
    if (channel != 1 && channel != 2)
        throw std::out_of_range("sensor channel must be 1 or 2");
    return static_cast<std::size_t>(channel - 1);
}

} // namespace

Measurement::Measurement(QObject* parent) : QObject(parent)
{
    table_.SetName(QStringLiteral("RL"));
}

void Measurement::setInstrument(const InstrumentInfo& info)
{
    if (info == instrument_)
        return;
    instrument_ = info;
    emit instrumentChanged();
}

const SensorInfo& Measurement::sensor(int channel) const
{
    return sensors_[channelIndex(channel)];
}

void Measurement::setSensor(int channel, const SensorInfo& info)
{
    SensorInfo& slot = sensors_[channelIndex(channel)];
    if (info == slot)
        return;
    slot = info;
    emit sensorChanged(channel);
}

void Measurement::setRunKind(int kind)
{
    if (kind == runKind_)
        return;
    runKind_ = kind;
    emit runKindChanged(kind);
}

} // namespace kv58
