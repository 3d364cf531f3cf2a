// The record of one measuring channel as the latest measurement line left it.
#pragma once

#include <QString>

namespace kv58 {

struct Kanal {
    QString SensorTyp; // sensor type, or the 9-character label of a relation line
    QString Einheit;   // unit
    double Wert = 0;   // current value
    double Dosis = 0;  // kept for the record layout; nothing reads or writes it
};

} // namespace kv58
