// The text of a numeric label for its value: fixed point with a chosen number of decimals and "."
// whatever the locale, or an overflow indicator when it does not fit the label.
#pragma once

#include <QString>
#include <functional>

namespace kv58 {

// Display types of a numeric label. dtFloat (general format), dtFixP, dtExp, dtInt, dtZeroInt and
// dtHex are drawn as such; the others are drawn as dtFixP.
enum class TDisplay {
    dtFloat,
    dtFixP,
    dtExp,
    dtHex,
    dtZeroInt,
    dtInt,
    dtDateTime,
    dtState,
    dtBin,
    dtOct,
    dtDeg,
    dtDegMin,
    dtDegMinSec,
    dtEEng,
    dtEEngNoDP
};

struct NumLabFormat {
    TDisplay displayType = TDisplay::dtFixP;
    int precision = 2;          // decimals of dtFixP and dtExp, digits of dtZeroInt
    bool comma = false;         // "," instead of "." as decimal separator
    bool forcePlusSign = false; // "+" in front of positive values
};

// 1.2345 with the defaults gives "1.23".
QString numLabValueText(double value, const NumLabFormat& format);

// The value text, or `overflowIndicator` when the text measures wider than `labelWidth` - 6 pixels.
QString numLabShownText(const QString& valueText, int labelWidth, const QString& overflowIndicator,
                        const std::function<int(const QString&)>& measure);

} // namespace kv58
