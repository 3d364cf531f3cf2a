#include "widgets/NumLabFormat.h"

#include "core/Formats.h"

#include <charconv>
#include <cmath>

namespace kv58 {

QString numLabValueText(double value, const NumLabFormat& format)
{
    const QChar sep = format.comma ? u',' : u'.';
    const int precision = std::clamp(format.precision, 0, 18);
    QString text;
    switch (format.displayType) {
    case TDisplay::dtFloat:
        text = formatGeneral(value, sep);
        break;
    case TDisplay::dtExp: {
        if (!std::isfinite(value)) {
            text = formatGeneral(value, sep);
            break;
        }
        char buf[64];
        const auto res =
            std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, precision);
        text = QString::fromLatin1(buf, static_cast<qsizetype>(res.ptr - buf)).toUpper();
        text.replace(u'.', sep);
        break;
    }
    case TDisplay::dtInt:
        text = formatFixed(value, 1, 0, sep);
        break;
    case TDisplay::dtZeroInt:
        text = formatFixed(value, std::max(1, precision), 0, sep);
        break;
    case TDisplay::dtHex:
        text = std::isfinite(value) ? QString::number(roundHalfEven(value), 16).toUpper()
                                    : formatGeneral(value, sep);
        break;
    default:
        text = formatFixed(value, 1, precision, sep);
        break;
    }
    if (format.forcePlusSign && value > 0)
        text.prepend(u'+');
    return text;
}

QString numLabShownText(const QString& valueText, int labelWidth, const QString& overflowIndicator,
                        const std::function<int(const QString&)>& measure)
{
    return measure(valueText) > labelWidth - 6 ? overflowIndicator : valueText;
}

} // namespace kv58
