// The instrument's real-time clock: set from the host, drifting by a fixed error in parts per
// million, corrected by the calibration register, and running `timeScale` times as fast as real
// time for demonstrations.
#pragma once

#include "core/DateTime.h"

#include <cstdint>

namespace kv58::sim {

class InstrumentClock {
public:
    InstrumentClock(TDateTime start, std::int64_t nowMs, double driftPpm, double timeScale);

    TDateTime at(std::int64_t nowMs) const;
    void set(TDateTime time, std::int64_t nowMs);

    // The correction register: bit 7 set speeds the clock up by 4.069 ppm per step of the low
    // seven bits, clear slows it down by 2.035 ppm per step.
    int correction() const { return correction_; }
    void setCorrection(int value, std::int64_t nowMs);
    // The error in force, drift and correction together.
    double effectivePpm() const;

private:
    TDateTime base_;
    std::int64_t baseMs_;
    double driftPpm_;
    double timeScale_;
    int correction_ = 0;
};

} // namespace kv58::sim
