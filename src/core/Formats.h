// Every number and date conversion of the system, with separators passed in explicitly:
// nothing here depends on the C or Qt locale of the machine.
#pragma once

#include "core/DateTime.h"

#include <QChar>
#include <QString>
#include <QStringView>
#include <optional>

namespace kv58 {

// Fixed pattern such as "000.000": at least `minIntDigits` integer digits (zero-padded) and exactly
// `decimals` decimals, rounded half away from zero on the shortest decimal form of the value.
QString formatFixed(double value, int minIntDigits, int decimals, QChar decimalSep);
// The same driven by a pattern text of '0' digits and one '.', e.g. "00.0000" or "0.000000".
QString formatPattern(double value, QStringView pattern, QChar decimalSep);

// General format: the shortest text with at most 15 significant digits; fixed notation while the
// integer part has at most 15 digits and |value| >= 0.00001, otherwise mantissa "E" exponent
// ("1,5E-7", "1E20"). NaN and infinities give "NAN", "INF" and "-INF".
QString formatGeneral(double value, QChar decimalSep);

// Decimal number with the given decimal separator: optional sign, digits with at most one
// separator, optional exponent ("e"/"E", optional sign, digits). Leading and trailing blanks are
// ignored; anything else must be consumed entirely. nullopt when the text is not such a number.
std::optional<double> parseDecimal(QStringView text, QChar decimalSep);

// Decimal whole number with optional sign; leading and trailing blanks ignored.
std::optional<long long> parseInteger(QStringView text);

enum class DateOrder { DayMonthYear, YearMonthDay };

// "dd.mm.yyyy" (DayMonthYear) or "yyyy.mm.dd" (YearMonthDay) with the given separator.
QString formatDate(TDateTime t, DateOrder order, QChar sep);
// Three numbers in the given order and separator; day and month of one or two digits, a year of
// one to four digits (two-digit years are taken as 19xx from 50 on and 20xx below). Blanks around
// the text are ignored. nullopt when the text is not a valid date.
std::optional<TDateTime> parseDate(QStringView text, DateOrder order, QChar sep);

// "hh:nn:ss" with the given separator.
QString formatTime(TDateTime t, QChar sep);
// "h:n" or "h:n:s" (each one or two digits, seconds optionally with ".zzz"); blanks around the
// text ignored. Returns the fraction of the day; nullopt for anything else.
std::optional<TDateTime> parseTime(QStringView text, QChar sep);

// Rounding to the nearest integer with halves to even (banker's rounding).
long long roundHalfEven(double value);

} // namespace kv58
