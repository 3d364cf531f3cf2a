#include "widgets/NumInput.h"

#include "core/Formats.h"

#include <charconv>
#include <cmath>
#include <cstdint>

namespace kv58 {

namespace {

int digitValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'a' && u <= u'z')
        return u - u'a' + 10;
    return 99;
}

// Digits of `base`, at least one; the value grows as a double so that very long texts stay valid.
std::optional<double> parseDigits(QStringView digits, int base)
{
    if (digits.isEmpty())
        return std::nullopt;
    double value = 0;
    for (const QChar c : digits) {
        const int d = digitValue(c);
        if (d >= base)
            return std::nullopt;
        value = value * base + d;
    }
    return value;
}

std::optional<double> parseSignedDecimalDigits(QStringView t)
{
    bool negative = false;
    if (!t.isEmpty() && (t.front() == u'+' || t.front() == u'-')) {
        negative = t.front() == u'-';
        t = t.mid(1);
    }
    const auto v = parseDigits(t, 10);
    if (!v)
        return std::nullopt;
    return negative ? -*v : *v;
}

QChar separatorFor(TDecPSep sep, QChar systemSep)
{
    switch (sep) {
    case TDecPSep::dsComma:
        return u',';
    case TDecPSep::dsSystem:
        return systemSep == u',' ? QChar(u',') : QChar(u'.');
    case TDecPSep::dsDot:
    case TDecPSep::dsBoth:
        return u'.';
    }
    return u'.';
}

std::optional<double> parseFloat(QString t, TDecPSep sep, QChar systemSep, bool exponent)
{
    if (!exponent && t.contains(u'e'))
        return std::nullopt;
    if (exponent) {
        if (t.endsWith(u'e'))
            t.chop(1);
        else if (t.endsWith(QLatin1String("e+")) || t.endsWith(QLatin1String("e-")))
            t.chop(2);
    }
    if (sep == TDecPSep::dsBoth)
        t.replace(u',', u'.');
    return parseDecimal(t, separatorFor(sep, systemSep));
}

QString scientific12(double value)
{
    if (!std::isfinite(value))
        return formatGeneral(value, u'.');
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, 6);
    return QString::fromLatin1(buf, static_cast<qsizetype>(res.ptr - buf)).toUpper();
}

QString inBase(double value, int base)
{
    const long long rounded = std::isfinite(value) ? roundHalfEven(value) : 0;
    std::uint64_t limit = 1;
    for (int i = 0; i < 8; ++i)
        limit *= static_cast<std::uint64_t>(base);
    const auto digits = static_cast<std::uint64_t>(rounded) % limit;
    return QString::number(static_cast<qulonglong>(digits), base).toUpper();
}

} // namespace

std::optional<double> parseNumInput(QStringView text, TInFormat format, TDecPSep sep, QChar systemSep)
{
    while (!text.isEmpty() && text.front() == u' ')
        text = text.mid(1);
    if (text.isEmpty() || text.contains(u' '))
        return std::nullopt;
    const QString t = text.toString().toLower();
    switch (format) {
    case TInFormat::itInt:
        return parseSignedDecimalDigits(t);
    case TInFormat::itHex:
        return parseDigits(QStringView(t).mid(t.startsWith(u'$') ? 1 : 0), 16);
    case TInFormat::itOct:
        return parseDigits(t, 8);
    case TInFormat::itBin:
        return parseDigits(t, 2);
    case TInFormat::itFloat:
        return parseFloat(t, sep, systemSep, false);
    case TInFormat::itFixPoint:
        return parseFloat(t, TDecPSep::dsDot, systemSep, false);
    case TInFormat::itExp:
    case TInFormat::itDynamic:
        return parseFloat(t, sep, systemSep, true);
    }
    return std::nullopt;
}

NumInputCheck checkNumInput(const QString& text, const NumInputRules& rules, QChar systemSep)
{
    NumInputCheck out{false, text};
    if (rules.format == TInFormat::itFixPoint) {
        const auto dot = text.indexOf(u'.');
        if (dot < 0)
            return out;
        const auto keep = dot + 1 + std::clamp(rules.fixPointDecPlaces, 1, 8);
        if (out.text.size() > keep)
            out.text.truncate(keep);
    }
    const auto value = parseNumInput(out.text, rules.format, rules.decPlaceSep, systemSep);
    out.accepted = value && ((*value >= rules.rangeLow && *value <= rules.rangeHigh) || *value == 0);
    return out;
}

double numInputValue(QStringView displayed, TInFormat format)
{
    QString t = displayed.toString();
    const auto comma = t.indexOf(u',');
    if (comma >= 0)
        t[comma] = u'.';
    if (t.endsWith(u'.'))
        t += u'0';
    return parseNumInput(t, format, TDecPSep::dsDot, u'.').value_or(0.0);
}

QString numInputText(double value, TInFormat format, int fixPointDecPlaces)
{
    switch (format) {
    case TInFormat::itFloat:
        return formatFixed(value, 1, 8, u'.');
    case TInFormat::itFixPoint:
        return formatFixed(value, 1, std::clamp(fixPointDecPlaces, 1, 8), u'.');
    case TInFormat::itInt:
        return formatFixed(value, 1, 0, u'.');
    case TInFormat::itHex:
        return inBase(value, 16);
    case TInFormat::itOct:
        return inBase(value, 8);
    case TInFormat::itBin:
        return inBase(value, 2);
    case TInFormat::itExp:
    case TInFormat::itDynamic:
        return scientific12(value);
    }
    return {};
}

double numIO2IntValue(QStringView buffer)
{
    if (buffer.isEmpty())
        return 0;
    if (!parseNumInput(buffer, TInFormat::itInt, TDecPSep::dsDot, u'.'))
        return 0;
    const auto exact = parseInteger(buffer);
    if (!exact || *exact < std::numeric_limits<std::int32_t>::min() ||
        *exact > std::numeric_limits<std::int32_t>::max())
        return 2147483647.0;
    return static_cast<double>(*exact);
}

} // namespace kv58
