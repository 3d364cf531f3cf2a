#include "core/Formats.h"

#include <charconv>
#include <cmath>
#include <string>

namespace kv58 {
namespace {

// A finite non-negative value as decimal digits d1 d2 ... dn meaning 0.d1d2...dn * 10^pointPos.
struct DecimalDigits {
    std::string digits; // no leading zeros; empty for zero
    int pointPos = 0;
};

// Shortest round-trip digits, or `significant` digits rounded by the library when given.
DecimalDigits toDigits(double absValue, int significant = -1)
{
    DecimalDigits d;
    if (absValue == 0)
        return d;
    char buf[64];
    const auto res =
        significant > 0
            ? std::to_chars(buf, buf + sizeof buf, absValue, std::chars_format::scientific, significant - 1)
            : std::to_chars(buf, buf + sizeof buf, absValue, std::chars_format::scientific);
    const std::string text(buf, res.ptr);
    const auto e = text.find('e');
    for (std::size_t i = 0; i < e; ++i)
        if (text[i] != '.')
            d.digits += text[i];
    int exponent = 0;
    std::from_chars(text.data() + e + (text[e + 1] == '+' ? 2 : 1), text.data() + text.size(), exponent);
    d.pointPos = exponent + 1;
    while (!d.digits.empty() && d.digits.back() == '0')
        d.digits.pop_back();
    return d;
}

// Rounds half away from zero so that at most `decimals` digits follow the decimal point.
void roundToDecimals(DecimalDigits& d, int decimals)
{
    const int keep = d.pointPos + decimals; // number of digits that stay
    if (keep >= static_cast<int>(d.digits.size()))
        return;
    if (keep < 0) {
        d.digits.clear();
        return;
    }
    const bool up = d.digits[static_cast<std::size_t>(keep)] >= '5';
    d.digits.resize(static_cast<std::size_t>(keep));
    if (up) {
        int i = keep - 1;
        while (i >= 0 && d.digits[static_cast<std::size_t>(i)] == '9') {
            d.digits[static_cast<std::size_t>(i)] = '0';
            --i;
        }
        if (i < 0) {
            d.digits.insert(d.digits.begin(), '1');
            ++d.pointPos;
        } else {
            ++d.digits[static_cast<std::size_t>(i)];
        }
    }
    while (!d.digits.empty() && d.digits.back() == '0')
        d.digits.pop_back();
    if (d.digits.empty())
        d.pointPos = 0;
}

char digitAt(const DecimalDigits& d, int index) // index 0 is the first digit after the point shift
{
    return index >= 0 && index < static_cast<int>(d.digits.size()) ? d.digits[static_cast<std::size_t>(index)]
                                                                   : '0';
}

QString nonFinite(double value)
{
    if (std::isnan(value))
        return QStringLiteral("NAN");
    return value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
}

QStringView trimBlanks(QStringView text)
{
    while (!text.isEmpty() && text.front() == u' ')
        text = text.mid(1);
    while (!text.isEmpty() && text.back() == u' ')
        text.chop(1);
    return text;
}

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

} // namespace

QString formatFixed(double value, int minIntDigits, int decimals, QChar decimalSep)
{
    if (!std::isfinite(value))
        return nonFinite(value);
    DecimalDigits d = toDigits(std::fabs(value));
    roundToDecimals(d, decimals);
    QString out;
    if (std::signbit(value) && !d.digits.empty())
        out += u'-';
    const int intDigits = std::max(d.pointPos, std::max(minIntDigits, 0));
    for (int i = d.pointPos - intDigits; i < d.pointPos; ++i)
        out += QLatin1Char(digitAt(d, i));
    if (decimals > 0) {
        out += decimalSep;
        for (int i = 0; i < decimals; ++i)
            out += QLatin1Char(digitAt(d, d.pointPos + i));
    }
    return out;
}

QString formatPattern(double value, QStringView pattern, QChar decimalSep)
{
    const auto dot = pattern.indexOf(u'.');
    const auto intPart = dot < 0 ? pattern : pattern.left(dot);
    const auto fracPart = dot < 0 ? QStringView() : pattern.mid(dot + 1);
    return formatFixed(value, static_cast<int>(intPart.count(u'0')), static_cast<int>(fracPart.count(u'0')),
                       decimalSep);
}

QString formatGeneral(double value, QChar decimalSep)
{
    if (!std::isfinite(value))
        return nonFinite(value);
    const DecimalDigits d = toDigits(std::fabs(value), 15);
    if (d.digits.empty())
        return QStringLiteral("0");
    QString out;
    if (value < 0)
        out += u'-';
    const int n = static_cast<int>(d.digits.size());
    if (d.pointPos <= 15 && std::fabs(value) >= 0.00001) {
        if (d.pointPos <= 0) {
            out += u'0';
            out += decimalSep;
            out += QString(-d.pointPos, u'0');
            out += QLatin1String(d.digits.data(), n);
        } else {
            for (int i = 0; i < d.pointPos; ++i)
                out += QLatin1Char(digitAt(d, i));
            if (n > d.pointPos) {
                out += decimalSep;
                out += QLatin1String(d.digits.data() + d.pointPos, n - d.pointPos);
            }
        }
        return out;
    }
    out += QLatin1Char(d.digits[0]);
    if (n > 1) {
        out += decimalSep;
        out += QLatin1String(d.digits.data() + 1, n - 1);
    }
    out += u'E';
    out += QString::number(d.pointPos - 1);
    return out;
}

std::optional<double> parseDecimal(QStringView text, QChar decimalSep)
{
    text = trimBlanks(text);
    std::string ascii;
    ascii.reserve(static_cast<std::size_t>(text.size()));
    qsizetype i = 0;
    const auto n = text.size();
    if (i < n && (text[i] == u'+' || text[i] == u'-')) {
        if (text[i] == u'-')
            ascii += '-';
        ++i;
    }
    int mantissaDigits = 0;
    while (i < n && isDigit(text[i])) {
        ascii += static_cast<char>(text[i].unicode());
        ++i;
        ++mantissaDigits;
    }
    if (i < n && text[i] == decimalSep) {
        ascii += '.';
        ++i;
        while (i < n && isDigit(text[i])) {
            ascii += static_cast<char>(text[i].unicode());
            ++i;
            ++mantissaDigits;
        }
    }
    if (mantissaDigits == 0)
        return std::nullopt;
    if (i < n && (text[i] == u'e' || text[i] == u'E')) {
        ascii += 'e';
        ++i;
        if (i < n && (text[i] == u'+' || text[i] == u'-')) {
            ascii += static_cast<char>(text[i].unicode());
            ++i;
        }
        int expDigits = 0;
        while (i < n && isDigit(text[i])) {
            ascii += static_cast<char>(text[i].unicode());
            ++i;
            ++expDigits;
        }
        if (expDigits == 0)
            return std::nullopt;
    }
    if (i != n)
        return std::nullopt;
    double value = 0;
    const auto res = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value);
    if (res.ec != std::errc() || res.ptr != ascii.data() + ascii.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<long long> parseInteger(QStringView text)
{
    text = trimBlanks(text);
    std::string ascii;
    qsizetype i = 0;
    if (!text.isEmpty() && (text[0] == u'+' || text[0] == u'-')) {
        if (text[0] == u'-')
            ascii += '-';
        ++i;
    }
    if (i == text.size())
        return std::nullopt;
    for (; i < text.size(); ++i) {
        if (!isDigit(text[i]))
            return std::nullopt;
        ascii += static_cast<char>(text[i].unicode());
    }
    long long value = 0;
    const auto res = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value);
    if (res.ec != std::errc())
        return std::nullopt;
    return value;
}

namespace {
QString twoDigits(int v)
{
    return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0'));
}
} // namespace

QString formatDate(TDateTime t, DateOrder order, QChar sep)
{
    const CalendarDate d = decodeDate(t);
    const QString year = QStringLiteral("%1").arg(d.year, 4, 10, QLatin1Char('0'));
    if (order == DateOrder::YearMonthDay)
        return year + sep + twoDigits(d.month) + sep + twoDigits(d.day);
    return twoDigits(d.day) + sep + twoDigits(d.month) + sep + year;
}

namespace {
// Splits "a<sep>b<sep>c" into numbers of the given maximal digit counts; false on anything else.
bool splitNumbers(QStringView text, QChar sep, int count, const int* maxDigits, int* out, QStringView* rest)
{
    qsizetype i = 0;
    for (int k = 0; k < count; ++k) {
        if (k > 0) {
            if (i >= text.size() || text[i] != sep)
                return false;
            ++i;
        }
        int digits = 0;
        int value = 0;
        while (i < text.size() && isDigit(text[i]) && digits < maxDigits[k]) {
            value = value * 10 + (text[i].unicode() - u'0');
            ++i;
            ++digits;
        }
        if (digits == 0)
            return false;
        out[k] = value;
    }
    *rest = text.mid(i);
    return true;
}
} // namespace

std::optional<TDateTime> parseDate(QStringView text, DateOrder order, QChar sep)
{
    text = trimBlanks(text);
    int v[3] = {};
    QStringView rest;
    const int dmy[] = {2, 2, 4};
    const int ymd[] = {4, 2, 2};
    const bool yearFirst = order == DateOrder::YearMonthDay;
    if (!splitNumbers(text, sep, 3, yearFirst ? ymd : dmy, v, &rest) || !rest.isEmpty())
        return std::nullopt;
    int year = yearFirst ? v[0] : v[2];
    const int month = v[1];
    const int day = yearFirst ? v[2] : v[0];
    const qsizetype yearDigits = yearFirst ? text.indexOf(sep) : text.size() - text.lastIndexOf(sep) - 1;
    if (yearDigits <= 2)
        year += year < 50 ? 2000 : 1900;
    return encodeDate(year, month, day);
}

QString formatTime(TDateTime t, QChar sep)
{
    const TimeOfDay tod = decodeTime(t);
    return twoDigits(tod.hour) + sep + twoDigits(tod.minute) + sep + twoDigits(tod.second);
}

std::optional<TDateTime> parseTime(QStringView text, QChar sep)
{
    text = trimBlanks(text);
    int v[3] = {};
    const int maxDigits[] = {2, 2, 2};
    QStringView rest;
    int msec = 0;
    if (splitNumbers(text, sep, 3, maxDigits, v, &rest)) {
        if (!rest.isEmpty()) {
            if (rest[0] != u'.' || rest.size() < 2 || rest.size() > 4)
                return std::nullopt;
            for (int i = 1; i < 4; ++i) {
                if (i < rest.size() && !isDigit(rest[i]))
                    return std::nullopt;
                msec = msec * 10 + (i < rest.size() ? rest[i].unicode() - u'0' : 0);
            }
        }
    } else if (!splitNumbers(text, sep, 2, maxDigits, v, &rest) || !rest.isEmpty()) {
        return std::nullopt;
    }
    return encodeTime(v[0], v[1], v[2], msec);
}

long long roundHalfEven(double value)
{
    return static_cast<long long>(std::nearbyint(value));
}

} // namespace kv58
