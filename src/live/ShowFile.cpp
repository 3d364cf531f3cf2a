#include "live/ShowFile.h"

#include "core/Cp1252.h"
#include "core/Formats.h"
#include "core/MeasureMode.h"
#include "data/Measurement.h"
#include "live/LiveRun.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace kv58 {

namespace {

constexpr QChar kDecimalSep = u',';

// The cells are read as bytes. The forms the table itself writes ("yyyy.mm.dd", "hh:nn:ss" and
// plain decimals) are read directly, with the same results as the general readers, which take
// everything else; a table of a million rows is drawn without a text conversion per cell.

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The number written by `count` digits from `from`, or -1 when one of them is not a digit.
int digitsAt(std::string_view s, std::size_t from, std::size_t count)
{
    int value = 0;
    for (std::size_t i = from; i < from + count; ++i) {
        if (!isDigit(s[i]))
            return -1;
        value = value * 10 + (s[i] - '0');
    }
    return value;
}

std::optional<TDateTime> readDate(std::string_view s)
{
    if (s.size() == 10 && s[4] == '.' && s[7] == '.') {
        const int year = digitsAt(s, 0, 4);
        const int month = digitsAt(s, 5, 2);
        const int day = digitsAt(s, 8, 2);
        if (year >= 0 && month >= 0 && day >= 0)
            return encodeDate(year, month, day);
    }
    return parseDate(cp1252ToUnicode(s), DateOrder::YearMonthDay, u'.');
}

std::optional<TDateTime> readTime(std::string_view s)
{
    if (s.size() == 8 && s[2] == ':' && s[5] == ':') {
        const int hour = digitsAt(s, 0, 2);
        const int minute = digitsAt(s, 3, 2);
        const int second = digitsAt(s, 6, 2);
        if (hour >= 0 && minute >= 0 && second >= 0)
            return encodeTime(hour, minute, second);
    }
    return parseTime(cp1252ToUnicode(s), u':');
}

// An optional sign, digits and at most one "," with digits after it, 15 digits at most: the digits
// make an integer that a double holds exactly, and dividing it by an exact power of ten rounds
// once, to the same double a full decimal reader gives.
std::optional<double> readPlainDecimal(std::string_view s)
{
    static constexpr std::array<double, 16> kPowers = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                                       1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    std::size_t i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == '-' || s[i] == '+')) {
        negative = s[i] == '-';
        ++i;
    }
    long long mantissa = 0;
    int digits = 0;
    int decimals = 0;
    bool separator = false;
    for (; i < s.size(); ++i) {
        const char c = s[i];
        if (isDigit(c)) {
            if (++digits > 15)
                return std::nullopt;
            mantissa = mantissa * 10 + (c - '0');
            if (separator)
                ++decimals;
        } else if (c == ',' && !separator) {
            separator = true;
        } else {
            return std::nullopt;
        }
    }
    if (digits == 0)
        return std::nullopt;
    const double value = static_cast<double>(mantissa) / kPowers[static_cast<std::size_t>(decimals)];
    return negative ? -value : value;
}

std::optional<double> readDecimal(std::string_view cell, QString* shown)
{
    if (const auto value = readPlainDecimal(cell))
        return value;
    const QString text = cp1252ToUnicode(cell);
    if (const auto value = parseDecimal(text, kDecimalSep))
        return value;
    *shown = text;
    return std::nullopt;
}

// The number in a value cell, after dropping its "%" signs when `dropPercent`; `shown` gets the
// text that does not convert.
std::optional<double> readValue(std::string_view cell, bool dropPercent, QString* shown)
{
    if (!dropPercent || cell.find('%') == std::string_view::npos)
        return readDecimal(cell, shown);
    std::string kept;
    kept.reserve(cell.size());
    for (const char c : cell) {
        if (c != '%')
            kept += c;
    }
    return readDecimal(kept, shown);
}

// Consecutive rows mostly share their date: the text of the last one read is kept with its value.
class DateReader {
public:
    std::optional<TDateTime> read(std::string_view cell)
    {
        if (cell.size() == last_.size() && std::equal(cell.begin(), cell.end(), last_.begin()))
            return value_;
        last_.assign(cell);
        value_ = readDate(cell);
        return value_;
    }

private:
    std::string last_;
    std::optional<TDateTime> value_;
};

ShowFileError notValid(int row, const QString& text, const char* what)
{
    return {row, QStringLiteral("'%1' is not a valid %2").arg(text, QString::fromLatin1(what))};
}

struct ValueColumns {
    int first = 0;
    int second = 0; // 0: one curve
    bool dropPercent = false;
};

std::optional<ValueColumns> valueColumns(int kind, int columns)
{
    switch (kind) {
    case Irradiation:
        return ValueColumns{3, columns > 4 ? 5 : 0, false};
    case Transmission:
        return ValueColumns{3, columns > 3 ? 4 : 0, true};
    case Relation:
        return ValueColumns{4, 0, true};
    default:
        return std::nullopt;
    }
}

} // namespace

std::optional<ShowFileError> ShowFile(LiveRun& run, Measurement& measurement, double yMax, double yMin)
{
    const TRLData& table = measurement.table();
    const std::optional<ValueColumns> columns = valueColumns(measurement.runKind(), table.NrOfColumns());
    if (!columns)
        return std::nullopt;

    ChartModel& chart = measurement.chart();
    ChartFeed& feed = run.chart();
    // Every sample asks for a redraw; the view is told once, when all rows are drawn.
    const ChartModel::RepaintBatch batch(chart);
    chart.ClearGraf();
    run.setStartTime(0);

    DateReader dates;
    const int rows = table.NrOfRows();
    for (int r = 1; r <= rows; ++r) {
        if (const auto date = dates.read(table.ElemBytes(1, r))) {
            const std::string_view timeCell = table.ElemBytes(2, r);
            const auto time = readTime(timeCell);
            if (!time)
                return notValid(r, cp1252ToUnicode(timeCell), "time");
            run.setZeit(*date + *time);
        }
        const TDateTime zeit = run.zeit();
        if (run.startTime() == 0) {
            run.setStartTime(zeit);
            feed.setOldDateTime(zeit);
        }

        QString shown;
        const auto value1 = readValue(table.ElemBytes(columns->first, r), columns->dropPercent, &shown);
        if (!value1)
            return notValid(r, shown, "floating point value");
        double value2 = 0;
        if (columns->second != 0) {
            const auto v = readValue(table.ElemBytes(columns->second, r), columns->dropPercent, &shown);
            if (!v)
                return notValid(r, shown, "floating point value");
            value2 = *v;
        }
        feed.updateTime(zeit, *value1, value2, columns->second != 0);
    }

    TScaleProps& y = chart.Scale1Y();
    y.setRangeHigh(yMax);
    y.setRangeLow(yMin);
    chart.SetRange(1, run.startTime(), y.RangeLow(), run.zeit(), y.RangeHigh());
    return std::nullopt;
}

} // namespace kv58
