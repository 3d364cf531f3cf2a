// Tick positions and label texts of the chart's axes: the numeric scale (steps of 1, 2 or 5 times
// a power of ten) and the date/time scale (steps of seconds, minutes, hours, days, months, years).
// Pure functions, so that the tables can be checked without a window.
#pragma once

#include "core/DateTime.h"
#include "data/ChartScale.h"

#include <QString>
#include <optional>
#include <vector>

namespace kv58 {

struct ChartTick {
    double value = 0;
    bool major = false;
    QString label;     // major ticks only
    QString dateLabel; // a second line under a time label
};

struct ScaleTicks {
    std::vector<ChartTick> ticks; // ascending values
    QString message;              // shown at the middle of the scale instead of ticks
    int majorLength = 6;          // logical pixels
    int minorLength = 4;

    // Values of the grid lines: the major ticks, at most 1000.
    std::vector<double> gridValues() const;
};

// Interval count used for drawing: MinTicks limited to 2 to 20.
int chartDrawingIntervals(int minTicks);

struct NumericStep {
    double step = 1;
    int minorIntervals = 5;
};
// The largest step of 1, 2 or 5 times a power of ten that divides the range into at least
// `intervals` parts.
NumericStep chartNumericStep(double range, int intervals);

// Decimals of automatic numeric labels for a range width and tick step; nullopt means exponent
// form.
std::optional<int> chartAutoDecimals(double range, double step);

// Label of one numeric tick: "decPlaces" >= 0 fixed, negative automatic; cut to 14 characters.
QString chartNumericLabel(double value, double range, double step, int decPlaces, QChar decimalSep = u'.');

ScaleTicks chartNumericTicks(double low, double high, int minTicks, bool shortTicks, int decPlaces,
                             QChar decimalSep = u'.');
ScaleTicks chartLogTicks(double low, double high, bool shortTicks, QChar decimalSep = u'.');

// Date/time scale; `withDates` false leaves out the date lines (a time-only scale).
ScaleTicks chartDateTimeTicks(double low, double high, int minTicks, bool shortTicks,
                              const DateTimeLabelFormat& format, bool withDates = true);

// A date as the scale writes it, e.g. "30-Dec-1899" with the default format.
QString chartDateText(TDateTime t, const DateTimeLabelFormat& format);

// Ticks of an axis as its description says.
ScaleTicks chartScaleTicks(const TScaleProps& scale);

inline constexpr const char* kInvalidDateTimeScale = "invalid DateTime scale";
inline constexpr const char* kDateTimeBelowSecond = "DateTime range is below 1 second";

} // namespace kv58
