#include "InstrumentClock.h"

namespace kv58::sim {

InstrumentClock::InstrumentClock(TDateTime start, std::int64_t nowMs, double driftPpm, double timeScale)
    : base_(start), baseMs_(nowMs), driftPpm_(driftPpm), timeScale_(timeScale)
{
}

double InstrumentClock::effectivePpm() const
{
    const int steps = correction_ & 0x7F;
    const double corrected = (correction_ & 0x80) ? steps * 4.069 : -(correction_ * 2.035);
    return driftPpm_ + corrected;
}

TDateTime InstrumentClock::at(std::int64_t nowMs) const
{
    const double rate = timeScale_ * (1.0 + effectivePpm() / 1e6);
    return base_ + static_cast<double>(nowMs - baseMs_) * rate / 86'400'000.0;
}

void InstrumentClock::set(TDateTime time, std::int64_t nowMs)
{
    base_ = time;
    baseMs_ = nowMs;
}

void InstrumentClock::setCorrection(int value, std::int64_t nowMs)
{
    // Rebased first, so the new rate applies only from now on.
    base_ = at(nowMs);
    baseMs_ = nowMs;
    correction_ = value & 0xFF;
}

} // namespace kv58::sim
