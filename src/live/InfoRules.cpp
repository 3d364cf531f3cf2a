#include "live/InfoRules.h"

#include "core/Formats.h"

namespace kv58 {

SensorInfo applyChannelInfo(SensorInfo sensor, const ChannelInfo& info)
{
    switch (info.keyKind) {
    case ChannelKey::SensorType:
        sensor.type = info.value;
        break;
    case ChannelKey::ProductionDate:
        sensor.productionDate = info.value;
        break;
    case ChannelKey::CalibrationDate:
        sensor.calibrationDate = info.value;
        break;
    case ChannelKey::Customer:
        sensor.customer = info.value;
        break;
    case ChannelKey::Serial:
        sensor.serial = info.value;
        break;
    case ChannelKey::Calibration:
        if (info.number)
            sensor.calibrationFactor = *info.number;
        break;
    case ChannelKey::RangeHi:
        sensor.rangeHi = info.value;
        break;
    case ChannelKey::RangeLo:
        sensor.rangeLo = info.value;
        break;
    case ChannelKey::SensorOffset:
        if (info.number)
            sensor.offset = offsetText(*info.number);
        break;
    case ChannelKey::Removed:
        sensor = SensorInfo{};
        break;
    case ChannelKey::Other:
        break;
    }
    return sensor;
}

SensorInfo sensorOnSwitchOn(SensorInfo sensor)
{
    sensor.serial.clear();
    sensor.customer.clear();
    sensor.calibrationDate.clear();
    sensor.productionDate.clear();
    sensor.type.clear();
    return sensor;
}

SensorInfo sensorWithoutDetails(SensorInfo sensor)
{
    sensor = sensorOnSwitchOn(std::move(sensor));
    sensor.rangeHi.clear();
    sensor.rangeLo.clear();
    return sensor;
}

SensorInfo sensorOnSwitchOff(SensorInfo sensor)
{
    sensor = sensorWithoutDetails(std::move(sensor));
    sensor.calibrationFactor = 0;
    return sensor;
}

QString infoDateText(TDateTime date)
{
    return formatDate(date, DateOrder::DayMonthYear, u'.');
}

QString offsetText(double offset)
{
    return formatGeneral(offset, u'.');
}

} // namespace kv58
