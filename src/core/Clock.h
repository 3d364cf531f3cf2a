// The one seam through which the system reads the wall clock and a monotonic time, so that tests
// can run long waits and clock calibrations in milliseconds.
#pragma once

#include "core/DateTime.h"

#include <cstdint>

namespace kv58 {

class Clock {
public:
    virtual ~Clock() = default;
    // Local date and time now.
    virtual TDateTime now() const = 0;
    // Milliseconds on a clock that never jumps; only differences are meaningful.
    virtual std::int64_t monotonicMs() const = 0;
};

// The machine's clock.
Clock& systemClock();

// The machine's local date and time as TDateTime.
TDateTime localNow();

} // namespace kv58
