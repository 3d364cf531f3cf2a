// How long the program's waits and timer intervals really last. The program runs at the nominal
// times; tests shrink them so that a ten-second search or a five-second poll takes milliseconds.
#pragma once

#include <algorithm>
#include <cmath>

namespace kv58 {

struct Pacing {
    double scale = 1.0;

    int ms(int nominalMs) const { return std::max(1, static_cast<int>(std::lround(nominalMs * scale))); }
};

} // namespace kv58
