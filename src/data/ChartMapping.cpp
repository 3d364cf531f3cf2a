#include "data/ChartMapping.h"

#include "core/Formats.h"

namespace kv58 {

AxisMapping AxisMapping::make(double origin, double spanPixels, double rangeLow, double rangeHigh, bool log)
{
    AxisMapping m;
    m.origin = origin;
    m.logarithmic = log;
    if (log) {
        // A non-positive end cannot be mapped; such an axis puts everything on its low edge.
        if (!(rangeLow > 0 && rangeHigh > 0))
            return m;
        rangeLow = std::log10(rangeLow);
        rangeHigh = std::log10(rangeHigh);
    }
    m.low = rangeLow;
    const double width = rangeHigh - rangeLow;
    if (width != 0 && std::isfinite(width))
        m.scale = spanPixels / width;
    return m;
}

long long AxisMapping::toPixel(double v) const
{
    constexpr double limit = 2147483647.0;
    double p = position(v);
    p = p > limit ? limit : p;
    p = p >= -limit ? p : -limit;
    return roundHalfEven(p);
}

} // namespace kv58
