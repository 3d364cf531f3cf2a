// The rules of the numeric input fields, apart from any widget: parsing a text in an input format,
// accepting or rejecting an operator's edit, reading a field's value and writing one into it.
#pragma once

#include "widgets/DisplayTypes.h"

#include <QString>
#include <QStringView>
#include <limits>
#include <optional>

namespace kv58 {

enum class TInFormat { itExp, itFloat, itFixPoint, itInt, itHex, itOct, itBin, itDynamic };

struct NumInputRules {
    TInFormat format = TInFormat::itFloat;
    double rangeLow = -std::numeric_limits<double>::infinity();
    double rangeHigh = std::numeric_limits<double>::infinity();
    TDecPSep decPlaceSep = TDecPSep::dsSystem;
    int fixPointDecPlaces = 2; // 1 to 8
};

// Parses `text` in `format`. Leading blanks are removed; an empty text or one with a blank inside is
// invalid; letters count in lower case. itInt: optionally signed decimal digits; itHex: hexadecimal
// digits, optionally after "$"; itOct and itBin: digits of that base; itFloat and itFixPoint: a
// decimal number without exponent, whose separator `sep` chooses ("." or "," for dsSystem, as
// `systemSep` says); itExp and itDynamic: the same with an exponent, where a trailing "e" or "e" and
// sign is dropped first. The whole text must be consumed.
std::optional<double> parseNumInput(QStringView text, TInFormat format, TDecPSep sep, QChar systemSep);

// The outcome of an operator's edit: accepted or not, and the text to show when accepted (itFixPoint
// cuts decimals beyond its places).
struct NumInputCheck {
    bool accepted = false;
    QString text;
};
// itFixPoint needs a "."; the text must parse and its value lie within the range or be exactly zero.
NumInputCheck checkNumInput(const QString& text, const NumInputRules& rules, QChar systemSep);

// The value of a displayed text: the first "," taken as ".", a trailing "." completed with "0";
// 0 when it does not parse.
double numInputValue(QStringView displayed, TInFormat format);

// The text that writing `value` puts into a field: itFloat fixed with 8 decimals and "."; itFixPoint
// with `fixPointDecPlaces` decimals; itInt no decimals; itHex, itOct, itBin the rounded value in that
// base with up to 8 digits; otherwise a 12-character scientific form.
QString numInputText(double value, TInFormat format, int fixPointDecPlaces);

// The value of an integer field with a left text: 0 for an empty or invalid text, 2147483647 for a
// valid one beyond 32 bits.
double numIO2IntValue(QStringView buffer);

} // namespace kv58
