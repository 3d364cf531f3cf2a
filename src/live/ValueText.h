// The texts live processing writes: table cells of values and doses, and the channel displays'
// lines. Numbers use "," as decimal separator.
#pragma once

#include "core/Kanal.h"

#include <QString>

namespace kv58 {

// Irradiation value cell: "000.000" above 100, "00.0000" above 10, "0.00000" above 1, else
// "0.000000" (zero and negative values included).
QString formatByMagnitude(double value);
// Transmission and relation value cells, dose cells and the display value: "000.000".
QString formatFixedValue(double value);
// A channel display's line: type, ": ", the value as "000.000", " ", unit.
QString channelDisplayText(const Kanal& channel);

} // namespace kv58
