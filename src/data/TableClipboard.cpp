#include "data/TableClipboard.h"

#include "core/Cp1252.h"
#include "core/Formats.h"
#include "data/RLData.h"

#include <optional>
#include <string_view>

namespace kv58 {

namespace {

constexpr QChar kTab = u'\t';
// CR LF: a carriage return alone does not paste as separate rows everywhere.
const QString kLineEnd = QStringLiteral("\r\n");

struct NumberUnit {
    double number = 0;
    std::string_view unit;
};

// "number unit": the text before the first blank read as a number with "." as decimal separator,
// the rest as the unit. nullopt when there is no blank or the number does not read.
std::optional<NumberUnit> splitNumberUnit(std::string_view cell)
{
    const std::size_t blank = cell.find(' ');
    if (blank == std::string_view::npos)
        return std::nullopt;
    const std::optional<double> number = parseDecimal(cp1252ToUnicode(cell.substr(0, blank)), u'.');
    if (!number)
        return std::nullopt;
    return NumberUnit{*number, cell.substr(blank + 1)};
}

void appendBytes(QString& out, std::string_view bytes)
{
    for (const char c : bytes)
        out += QChar(cp1252ToUnicode(static_cast<unsigned char>(c)));
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The live table's numbers: an optional sign, digits, "," and digits ("007,500", "-0,050000").
bool isPlainDecimal(std::string_view s)
{
    std::size_t i = 0;
    if (i < s.size() && (s[i] == '-' || s[i] == '+'))
        ++i;
    const std::size_t intStart = i;
    while (i < s.size() && isDigit(s[i]))
        ++i;
    if (i == intStart || i == s.size() || s[i] != ',')
        return false;
    const std::size_t fracStart = ++i;
    while (i < s.size() && isDigit(s[i]))
        ++i;
    return i > fracStart && i == s.size();
}

void appendCell(QString& out, std::string_view bytes, QChar decimal)
{
    if (decimal == u',' || !isPlainDecimal(bytes)) {
        appendBytes(out, bytes);
        return;
    }
    for (const char c : bytes)
        out += c == ',' ? decimal : QChar(QLatin1Char(c));
}

void appendNumberUnit(QString& out, const NumberUnit& cell, QChar decimal)
{
    out += kTab;
    out += formatGeneral(cell.number, decimal);
    out += kTab;
    appendBytes(out, cell.unit);
}

// The "number unit" form, or nullopt when a row does not fit it.
std::optional<QString> numberUnitText(const TRLData& table, bool commonHeaderShown, QChar decimal)
{
    const bool third = table.NrOfColumns() > 2;
    QString out;
    if (commonHeaderShown)
        out += table.CommonHeader() + kLineEnd;
    const QString unit = QStringLiteral("Unit");
    out += table.GetColName(1) + kTab + table.GetColName(2) + kTab + unit + kTab + table.GetColName(3) +
           kTab + unit + kLineEnd;
    for (int r = 1; r <= table.NrOfRows(); ++r) {
        const std::optional<NumberUnit> second = splitNumberUnit(table.ElemBytes(2, r));
        if (!second)
            return std::nullopt;
        std::optional<NumberUnit> thirdCell;
        if (third) {
            thirdCell = splitNumberUnit(table.ElemBytes(3, r));
            if (!thirdCell)
                return std::nullopt;
        }
        appendBytes(out, table.ElemBytes(1, r));
        appendNumberUnit(out, *second, decimal);
        if (thirdCell)
            appendNumberUnit(out, *thirdCell, decimal);
        out += kLineEnd;
    }
    return out;
}

// The whole table, every column.
QString wholeTableText(const TRLData& table, bool commonHeaderShown, QChar decimal)
{
    const int columns = table.NrOfColumns();
    QString out;
    if (commonHeaderShown && !table.CommonHeader().isEmpty())
        out += table.CommonHeader() + kLineEnd;
    for (int c = 1; c <= columns; ++c) {
        if (c > 1)
            out += kTab;
        out += table.GetColName(c);
    }
    out += kLineEnd;
    for (int r = 1; r <= table.NrOfRows(); ++r) {
        for (int c = 1; c <= columns; ++c) {
            if (c > 1)
                out += kTab;
            appendCell(out, table.ElemBytes(c, r), decimal);
        }
        out += kLineEnd;
    }
    return out;
}

} // namespace

std::variant<QString, ClipboardError> tableClipboardText(const TRLData& table, bool commonHeaderShown,
                                                         QChar decimal, const QStringList& dateNames)
{
    // Which form applies is settled before anything is written: a run table, or any table with a
    // row that is not "number unit", is copied whole, so neither form stops half way.
    if (!dateNames.contains(table.GetColName(1))) {
        if (std::optional<QString> text = numberUnitText(table, commonHeaderShown, decimal))
            return *std::move(text);
    }
    return wholeTableText(table, commonHeaderShown, decimal);
}

} // namespace kv58
