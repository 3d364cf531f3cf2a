// What a sensor of the virtual instrument sees: a lamp that warms up and then wanders slowly, with
// a little noise, in W/m².
#pragma once

#include <random>

namespace kv58::sim {

class SensorSignal {
public:
    // `level` is the settled irradiance in W/m²; `phase` keeps two sensors from moving in step.
    SensorSignal(double level, double phase, unsigned seed);

    // Irradiance `seconds` after the instrument started.
    double irradiance(double seconds);

private:
    double level_;
    double phase_;
    std::mt19937 random_;
    std::normal_distribution<double> noise_{0.0, 0.003};
};

} // namespace kv58::sim
