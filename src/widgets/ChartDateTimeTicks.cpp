// Date/time scale of the chart: values are days since 1899-12-30; ticks fall on whole seconds,
// minutes, hours or days counted from midnight, or on the first of a month or year.
#include "widgets/ChartTicks.h"

#include <QStringList>
#include <algorithm>
#include <array>
#include <cmath>

namespace kv58 {
namespace {

constexpr double kSecondsPerDay = 86400;
constexpr double kTolerance = 1e-8; // days
constexpr int kMaxTicks = 2000;

enum class Unit { Seconds, Minutes, Hours, Days, Months, Years };

QString twoDigits(int v)
{
    return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0'));
}

const std::array<const char*, 12> kMonthNames = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                 "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

QString timeText(TDateTime t, bool withSeconds, const DateTimeLabelFormat& f)
{
    const TimeOfDay tod = decodeTime(t);
    const QString seconds = withSeconds ? f.timeSeparator + twoDigits(tod.second) : QString();
    switch (f.timeFormat) {
    case TTimeFormat::tfHHhMM:
        return twoDigits(tod.hour) + u'h' + twoDigits(tod.minute) + seconds;
    case TTimeFormat::tfAMPM: {
        const int hour12 = tod.hour % 12 == 0 ? 12 : tod.hour % 12;
        return QString::number(hour12) + f.timeSeparator + twoDigits(tod.minute) + seconds +
               (tod.hour < 12 ? QLatin1String(" am") : QLatin1String(" pm"));
    }
    case TTimeFormat::tfHHMMSS:
        break;
    }
    return twoDigits(tod.hour) + f.timeSeparator + twoDigits(tod.minute) + seconds;
}

// Index of the largest step not exceeding `units` (the first one when none does).
template <std::size_t N> std::size_t pickStep(double units, const std::array<int, N>& steps)
{
    std::size_t index = 0;
    for (std::size_t i = 0; i < N; ++i)
        if (steps[i] <= units * (1 + 1e-9))
            index = i;
    return index;
}

// Ticks on multiples of a whole number of seconds (seconds, minutes, hours and days).
void clockTicks(ScaleTicks& r, double low, double high, long long majorSec, long long minorSec, Unit unit,
                const DateTimeLabelFormat& f, bool withDates)
{
    const double tol = kTolerance * kSecondsPerDay;
    const auto minor = static_cast<double>(minorSec);
    const auto first = static_cast<long long>(std::ceil((low * kSecondsPerDay - tol) / minor));
    const auto last = static_cast<long long>(std::floor((high * kSecondsPerDay + tol) / minor));
    const long long ratio = majorSec / minorSec;
    bool dated = false;
    double lastDatedDay = 0;
    for (long long n = first; n <= last && r.ticks.size() < kMaxTicks; ++n) {
        ChartTick t;
        t.value = static_cast<double>(n * minorSec) / kSecondsPerDay;
        t.major = (n % ratio + ratio) % ratio == 0;
        if (t.major) {
            if (unit == Unit::Days) {
                t.label = chartDateText(t.value, f);
            } else {
                t.label = timeText(t.value, unit == Unit::Seconds, f);
                const double day = std::floor(t.value);
                bool withDate = false;
                switch (withDates ? f.dateForTime : TDateForTime::dtNone) {
                case TDateForTime::dtNone:
                    break;
                case TDateForTime::dtOnePerChart:
                    withDate = !dated;
                    break;
                case TDateForTime::dtOnePerDay:
                    withDate = !dated || day != lastDatedDay;
                    break;
                case TDateForTime::dtAllTicks:
                    withDate = true;
                    break;
                }
                if (withDate) {
                    t.dateLabel = chartDateText(t.value, f);
                    dated = true;
                    lastDatedDay = day;
                }
            }
        }
        r.ticks.push_back(std::move(t));
    }
}

void monthTicks(ScaleTicks& r, double low, double high, int stepMonths, int minorMonths,
                const DateTimeLabelFormat& f)
{
    const CalendarDate start = decodeDate(low);
    for (int m = start.year * 12 + start.month - 1; r.ticks.size() < kMaxTicks; ++m) {
        const std::optional<TDateTime> date = encodeDate(m / 12, m % 12 + 1, 1);
        if (!date || *date > high + kTolerance)
            break;
        if (*date < low - kTolerance || m % minorMonths != 0)
            continue;
        ChartTick t;
        t.value = *date;
        t.major = m % stepMonths == 0;
        if (t.major)
            t.label = chartDateText(t.value, f);
        r.ticks.push_back(std::move(t));
    }
}

void yearTicks(ScaleTicks& r, double low, double high, int stepYears, int minorYears)
{
    for (int year = std::max(decodeDate(low).year, 1); r.ticks.size() < kMaxTicks; ++year) {
        const std::optional<TDateTime> date = encodeDate(year, 1, 1);
        if (!date || *date > high + kTolerance)
            break;
        if (*date < low - kTolerance || year % minorYears != 0)
            continue;
        ChartTick t;
        t.value = *date;
        t.major = year % stepYears == 0;
        if (t.major)
            t.label = QString::number(year);
        r.ticks.push_back(std::move(t));
    }
}

} // namespace

QString chartDateText(TDateTime t, const DateTimeLabelFormat& f)
{
    const CalendarDate d = decodeDate(t);
    const QString day = twoDigits(d.day);
    const QString month = f.monthName
                              ? QString::fromLatin1(kMonthNames[static_cast<std::size_t>(d.month - 1)])
                              : twoDigits(d.month);
    QString year;
    if (f.yearLength == TYearLength::ylYY)
        year = twoDigits(d.year % 100);
    else if (f.yearLength == TYearLength::ylYYYY)
        year = QStringLiteral("%1").arg(d.year, 4, 10, QLatin1Char('0'));
    QStringList parts;
    switch (f.dateOrder) {
    case TDateOrder::doMMDDYY:
        parts = {month, day, year};
        break;
    case TDateOrder::doDDMMYY:
        parts = {day, month, year};
        break;
    case TDateOrder::doYYMMDD:
        parts = {year, month, day};
        break;
    }
    parts.removeAll(QString());
    return parts.join(f.dateSeparator);
}

ScaleTicks chartDateTimeTicks(double low, double high, int minTicks, bool shortTicks,
                              const DateTimeLabelFormat& format, bool withDates)
{
    ScaleTicks r;
    r.majorLength = 7;
    r.minorLength = 4;
    if (!(low <= high) || low < -693593 || high > 3000000) {
        r.message = QString::fromLatin1(kInvalidDateTimeScale);
        return r;
    }
    const double t = (high - low) / chartDrawingIntervals(minTicks);
    if (t <= 1.1574e-5) {
        r.message = QString::fromLatin1(kDateTimeBelowSecond);
        return r;
    }
    static constexpr std::array<int, 6> sixties = {1, 2, 5, 10, 20, 30};
    static constexpr std::array<int, 6> sixtiesMinor = {1, 1, 1, 2, 5, 10};
    static constexpr std::array<int, 6> hours = {1, 2, 3, 6, 8, 12};
    static constexpr std::array<int, 6> hoursMinor = {1, 1, 1, 2, 2, 3};
    static constexpr std::array<int, 5> days = {1, 2, 5, 10, 15};
    static constexpr std::array<int, 5> daysMinorHours = {6, 24, 24, 120, 120};
    static constexpr std::array<int, 4> months = {1, 2, 3, 6};

    auto clock = [&](long long unitSec, double units, Unit unit, const auto& steps, const auto& minors) {
        const std::size_t i = pickStep(units, steps);
        const long long major = steps[i] * unitSec;
        const long long minor = shortTicks ? minors[i] * (unit == Unit::Days ? 3600LL : unitSec) : major;
        clockTicks(r, low, high, major, minor, unit, format, withDates);
    };
    if (t <= 6.9444e-4) {
        clock(1, t * kSecondsPerDay, Unit::Seconds, sixties, sixtiesMinor);
    } else if (t <= 0.041667) {
        clock(60, t * 1440, Unit::Minutes, sixties, sixtiesMinor);
    } else if (t <= 1) {
        clock(3600, t * 24, Unit::Hours, hours, hoursMinor);
    } else if (t <= 30) {
        clock(86400, t, Unit::Days, days, daysMinorHours);
    } else if (t <= 366) {
        const int step = months[pickStep(t / 30.4375, months)];
        monthTicks(r, low, high, step, shortTicks ? 1 : step, format);
    } else {
        const double years = t / 365.25;
        const double power = std::pow(10.0, std::floor(std::log10(years)));
        const double lead = years / power;
        const int step = std::max(1, static_cast<int>(lead >= 5 ? 5 * power : lead >= 2 ? 2 * power : power));
        const int minor = !shortTicks ? step : std::max(1, step / (lead >= 2 && lead < 5 ? 4 : 5));
        yearTicks(r, low, high, step, step % minor == 0 ? minor : 1);
    }
    return r;
}

} // namespace kv58
