// World-to-pixel mapping of one chart axis: a linear (or logarithmic) map of the axis range onto
// the data area, rounded to whole pixels, ties to even.
#pragma once

#include <cmath>
#include <limits>

namespace kv58 {

// Drawn coordinates are limited to this distance from the control's origin.
constexpr int kChartPixelClamp = 30000;

struct AxisMapping {
    double origin = 0; // pixel of RangeLow
    double low = 0;    // RangeLow (its log10 on a logarithmic axis)
    double scale = 0;  // pixels per world unit (per decade on a logarithmic axis); 0 when degenerate
    bool logarithmic = false;

    // spanPixels: signed pixel distance from RangeLow to RangeHigh (negative for a vertical axis,
    // on which larger values lie higher).
    static AxisMapping make(double origin, double spanPixels, double rangeLow, double rangeHigh, bool log);

    // Exact pixel position before rounding. NaN maps onto the low end; on a logarithmic axis so
    // does every value at or below zero.
    double position(double v) const
    {
        if (logarithmic)
            return v > 0 ? origin + (std::log10(v) - low) * scale : origin;
        if (v != v)
            return origin;
        return origin + (v - low) * scale;
    }

    // Rounded pixel, limited to +-2147483647.
    long long toPixel(double v) const;
    // Rounded pixel limited to +-30000, the coordinate that is drawn.
    int toClampedPixel(double v) const { return clampAndRound(position(v)); }

    // Round half to even of a value limited to +-30000. Adding and subtracting 1.5 * 2^52 makes the
    // FPU round in its default to-nearest-even mode; this is the hot path of drawing a million
    // points, where a library call per coordinate would dominate.
    static int clampAndRound(double p)
    {
        constexpr double limit = kChartPixelClamp;
        constexpr double magic = 6755399441055744.0;
        p = p > limit ? limit : p;
        p = p >= -limit ? p : -limit; // also catches NaN
        return static_cast<int>((p + magic) - magic);
    }
};

} // namespace kv58
