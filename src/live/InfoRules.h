// What the instrument's information replies do to the measurement's instrument and sensor records:
// the values they set, and what switching on, switching off and a sensor's removal empty.
#pragma once

#include "core/DateTime.h"
#include "data/MeasurementInfo.h"
#include "protocol/Messages.h"

namespace kv58 {

// The sensor record after one "CH1:"/"CH2:" line. "Sensortyp:", the dates, customer, serial and the
// ranges take the value as received; "Kalibrierung:" the number; "SensorOffset:" the number as the
// offset field shows it; "Removed" empties the record and sets the factor to 0. A number that does
// not convert leaves the record as it was.
SensorInfo applyChannelInfo(SensorInfo sensor, const ChannelInfo& info);

// Switching on empties serial, customer, both dates and the type; range, factor and offset stay.
SensorInfo sensorOnSwitchOn(SensorInfo sensor);
// Unplugging also empties the range; factor and offset stay.
SensorInfo sensorWithoutDetails(SensorInfo sensor);
// Switching off empties what unplugging empties and sets the factor to 0; the offset stays.
SensorInfo sensorOnSwitchOff(SensorInfo sensor);

// Dates of the "BuildDate:" and "CALDATE:" replies as the information page shows them.
QString infoDateText(TDateTime date);

// The offset as the offset field shows a number: "." as decimal point, the shortest form.
QString offsetText(double offset);

} // namespace kv58
