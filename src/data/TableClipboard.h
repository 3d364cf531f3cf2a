// The text the "Copy" command puts on the clipboard: the measurement table as tab-separated lines.
#pragma once

#include <QChar>
#include <QString>
#include <QStringList>
#include <variant>

namespace kv58 {

class TRLData;

struct ClipboardError {
    int row = 0;     // 1-based table row that could not be copied
    QString message; // English, for the user
};

// The table as text, every line ended by CR LF, numbers written with `decimal`. Two forms:
// - A table whose column 2 and, with more than 2 columns, column 3 hold "number unit" in every row
//   (the number with "." as decimal separator): a header line of column 1's name, then column 2's
//   and column 3's names each followed by "Unit", and per row column 1, then number and unit of
//   column 2, and of column 3 when the table has more than 2 columns; the numbers are written anew
//   in general format. Columns after 3 are left out. The common header comes first when
//   `commonHeaderShown`.
// - Any other table, and every table whose column 1 is named one of `dateNames` (the run tables):
//   the common header when shown and not empty, the column names, then every row with all its
//   columns, cells unchanged except that the "," of plain decimal numbers becomes `decimal`.
std::variant<QString, ClipboardError> tableClipboardText(const TRLData& table, bool commonHeaderShown,
                                                         QChar decimal, const QStringList& dateNames);

} // namespace kv58
