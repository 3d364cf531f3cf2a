// Bounded waits for tests that keep the test's own Qt event loop turning, so a program or a
// component running in the same process goes on working while the test waits for it.
#pragma once

#include <functional>

namespace kv58::test {

// Long enough for a loaded machine (sanitizers, two cores shared by many); only a failing test
// ever waits this long.
inline constexpr int kDefaultTimeoutMs = 5000;

// Waits until condition() is true or timeoutMs has passed, processing Qt events in between;
// returns the last value of condition(). The condition is checked at least every few ms.
bool waitUntil(const std::function<bool()>& condition, int timeoutMs = kDefaultTimeoutMs);

// Processes Qt events for a short, bounded time (at most a few hundred ms, meant for "nothing
// more arrives" checks).
void processEventsFor(int ms);

} // namespace kv58::test
