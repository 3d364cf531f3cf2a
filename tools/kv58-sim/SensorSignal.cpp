#include "SensorSignal.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace kv58::sim {

SensorSignal::SensorSignal(double level, double phase, unsigned seed)
    : level_(level), phase_(phase), random_(seed)
{
}

double SensorSignal::irradiance(double seconds)
{
    const double t = std::max(seconds, 0.0);
    const double warmUp = 1.0 - 0.15 * std::exp(-t / 60.0);
    const double wander = 1.0 + 0.06 * std::sin(2 * std::numbers::pi * t / 180.0 + phase_) +
                          0.02 * std::sin(2 * std::numbers::pi * t / 37.0 + 2 * phase_);
    return std::max(0.0, level_ * warmUp * wander * (1.0 + noise_(random_)));
}

} // namespace kv58::sim
