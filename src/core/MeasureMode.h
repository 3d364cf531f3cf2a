// The kind of the current run; plain integers on purpose, since data files store them.
#pragma once

namespace kv58 {

enum MeasureMode : int {
    NoMeasurement = 0,
    Irradiation = 1,
    Transmission = 2,
    Relation = 3,
};

} // namespace kv58
