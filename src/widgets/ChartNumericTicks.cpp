// Numeric scale of the chart: step choice, tick positions and label texts.
#include "core/Formats.h"
#include "widgets/ChartTicks.h"

#include <algorithm>
#include <cmath>

namespace kv58 {
namespace {

constexpr int kMaxMajorTicks = 250;
constexpr int kMaxLabelLength = 14;
constexpr double kTolerance = 1e-10;

QString cut(QString text)
{
    if (text.size() > kMaxLabelLength)
        text.truncate(kMaxLabelLength);
    return text;
}

// Decimals that tell neighbouring ticks of this step apart.
int decimalsOfStep(double step)
{
    if (!(step > 0) || !std::isfinite(step))
        return 0;
    return std::clamp(-static_cast<int>(std::floor(std::log10(step) + 1e-9)), 0, 15);
}

QString exponentText(double value, double step, QChar decimalSep)
{
    if (value == 0)
        return QStringLiteral("0");
    int exponent = static_cast<int>(std::floor(std::log10(std::fabs(value))));
    const int stepExponent = step > 0 ? static_cast<int>(std::floor(std::log10(step) + 1e-9)) : exponent;
    const int digits = std::clamp(exponent - stepExponent, 0, 12);
    double mantissa = value / std::pow(10.0, exponent);
    QString text = formatFixed(mantissa, 1, digits, decimalSep);
    if (text.startsWith(QLatin1String("10")) || text.startsWith(QLatin1String("-10"))) {
        ++exponent;
        mantissa /= 10;
        text = formatFixed(mantissa, 1, digits, decimalSep);
    }
    if (text.contains(decimalSep)) {
        while (text.endsWith(u'0'))
            text.chop(1);
        if (text.endsWith(decimalSep))
            text.chop(1);
    }
    return text + u'E' + QString::number(exponent);
}

} // namespace

std::vector<double> ScaleTicks::gridValues() const
{
    std::vector<double> values;
    for (const ChartTick& t : ticks) {
        if (!t.major)
            continue;
        if (values.size() == 1000)
            break;
        values.push_back(t.value);
    }
    return values;
}

int chartDrawingIntervals(int minTicks)
{
    return std::clamp(minTicks, 2, 20);
}

NumericStep chartNumericStep(double range, int intervals)
{
    const double s = std::fabs(range) / std::max(intervals, 1);
    if (!(s > 0) || !std::isfinite(s))
        return {};
    const double e = std::log10(s);
    double whole = std::floor(e);
    double fraction = e - whole;
    if (fraction > 1 - kTolerance) {
        whole += 1;
        fraction = 0;
    } else if (fraction < kTolerance) {
        fraction = 0;
    }
    const double power = std::pow(10.0, whole);
    if (fraction < std::log10(2.0) - kTolerance)
        return {power, 5};
    if (fraction < std::log10(5.0) - kTolerance)
        return {2 * power, 4};
    return {5 * power, 5};
}

std::optional<int> chartAutoDecimals(double range, double step)
{
    const double d = std::fabs(range);
    if (d >= 1000000 || d <= 0.0001)
        return std::nullopt;
    const int byRange = d >= 100 ? 0 : 2 - static_cast<int>(roundHalfEven(std::log10(d) / 2.5));
    // The range rule alone gives too few decimals for narrow ranges (0.002 wide: ticks every
    // 0.0005 all read "0.000" or "0.001"); never show fewer than the step needs.
    return std::max(byRange, decimalsOfStep(step));
}

QString chartNumericLabel(double value, double range, double step, int decPlaces, QChar decimalSep)
{
    if (std::fabs(value) < 1e-14 * std::fabs(range))
        value = 0;
    if (decPlaces == 0) {
        if (std::fabs(value - std::round(value)) > 1e-6)
            return {};
        return cut(formatFixed(value, 1, 0, decimalSep));
    }
    if (decPlaces > 0)
        return cut(formatFixed(value, 1, decPlaces, decimalSep));
    const std::optional<int> decimals = chartAutoDecimals(range, step);
    if (!decimals)
        return cut(exponentText(value, step, decimalSep));
    return cut(formatFixed(value, 1, *decimals, decimalSep));
}

ScaleTicks chartNumericTicks(double low, double high, int minTicks, bool shortTicks, int decPlaces,
                             QChar decimalSep)
{
    ScaleTicks result;
    const double lo = std::min(low, high);
    const double hi = std::max(low, high);
    const double range = hi - lo;
    if (!(range > 0) || !std::isfinite(range))
        return result;
    const NumericStep st = chartNumericStep(range, chartDrawingIntervals(minTicks));
    const int perMajor = shortTicks ? st.minorIntervals : 1;
    const double minorStep = st.step / perMajor;
    const double first = std::ceil((lo - 0.001 * st.step) / minorStep);
    const double last = std::floor((hi + 0.001 * st.step) / minorStep);
    // Ticks far finer than the numbers' resolution cannot be told apart; draw none.
    if (!std::isfinite(first) || !std::isfinite(last) || std::fabs(first) > 1e15 || std::fabs(last) > 1e15)
        return result;
    // Counted in whole minor steps; within the bound above every count is exact in a double too.
    const auto lastStep = static_cast<long long>(last);
    int majors = 0;
    for (auto n = static_cast<long long>(first); n <= lastStep; ++n) {
        const auto m = static_cast<double>(n);
        const double k = m / perMajor;
        const bool major = n % perMajor == 0;
        ChartTick t;
        t.major = major;
        t.value = major ? k * st.step : m * minorStep;
        if (major) {
            if (++majors > kMaxMajorTicks)
                break;
            t.label = chartNumericLabel(t.value, range, st.step, decPlaces, decimalSep);
        }
        result.ticks.push_back(std::move(t));
    }
    return result;
}

ScaleTicks chartLogTicks(double low, double high, bool shortTicks, QChar decimalSep)
{
    ScaleTicks result;
    const double lo = std::min(low, high);
    const double hi = std::max(low, high);
    if (!(lo > 0) || !std::isfinite(hi))
        return result;
    const int firstDecade = static_cast<int>(std::floor(std::log10(lo)));
    const int lastDecade =
        std::min(static_cast<int>(std::ceil(std::log10(hi))), firstDecade + kMaxMajorTicks);
    const double tolerance = 1e-9;
    for (int k = firstDecade; k <= lastDecade; ++k) {
        const double power = std::pow(10.0, k);
        for (int m = 1; m <= 9; ++m) {
            if (m > 1 && !shortTicks)
                break;
            const double v = m * power;
            if (v < lo * (1 - tolerance) || v > hi * (1 + tolerance))
                continue;
            ChartTick t;
            t.value = v;
            t.major = m == 1;
            if (t.major) {
                const bool exponent = v >= 1000000 || v < 0.0001;
                t.label = cut(exponent ? exponentText(v, v, decimalSep)
                                       : formatFixed(v, 1, decimalsOfStep(v), decimalSep));
            }
            result.ticks.push_back(std::move(t));
        }
    }
    return result;
}

ScaleTicks chartScaleTicks(const TScaleProps& scale)
{
    ScaleTicks ticks;
    switch (scale.LabelType()) {
    case TFigType::ftDateTime:
    case TFigType::ftTime:
        return chartDateTimeTicks(scale.RangeLow(), scale.RangeHigh(), scale.MinTicks(), scale.ShortTicks(),
                                  scale.dateTimeFormat(), scale.LabelType() == TFigType::ftDateTime);
    case TFigType::ftNum:
    case TFigType::ftNoFigs:
    case TFigType::ftUserText:
        ticks = scale.Logarithmic() ? chartLogTicks(scale.RangeLow(), scale.RangeHigh(), scale.ShortTicks())
                                    : chartNumericTicks(scale.RangeLow(), scale.RangeHigh(), scale.MinTicks(),
                                                        scale.ShortTicks(), scale.DecPlaces());
        if (scale.LabelType() != TFigType::ftNum)
            for (ChartTick& t : ticks.ticks)
                t.label.clear();
        return ticks;
    }
    return ticks;
}

} // namespace kv58
