// Who took a measurement: the instrument's identity and what each sensor channel reported about
// itself, as texts the way the information pages show them and the data file keeps them.
#pragma once

#include <QString>

namespace kv58 {

struct InstrumentInfo {
    QString serial; // "64 58 2 0007"
    QString customer;
    QString productionDate;  // "dd.mm.yyyy"
    QString calibrationDate; // "dd.mm.yyyy"

    bool operator==(const InstrumentInfo&) const = default;
};

struct SensorInfo {
    QString type;
    QString rangeLo;
    QString rangeHi;
    QString productionDate;
    QString calibrationDate;
    QString customer;
    QString serial;
    double calibrationFactor = 0;
    QString offset; // as the offset input shows it

    bool operator==(const SensorInfo&) const = default;
};

} // namespace kv58
