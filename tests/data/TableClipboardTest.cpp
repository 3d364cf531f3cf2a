// The clipboard text of the "Copy" command: tables of number-and-unit cells, run tables copied
// whole, the decimal character, headers and the line ends.
#include "data/TableClipboard.h"

#include "data/RLData.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace kv58 {
namespace {

struct Table {
    QStringList names;                          // UTF-8 in the source
    std::vector<std::vector<std::string>> rows; // Windows-1252 bytes
    QString commonHeader = QStringLiteral("IRRADIATION");
};

void fill(TRLData& t, const Table& table)
{
    t.SetNrOfColumns(static_cast<int>(table.names.size()));
    for (int c = 1; c <= table.names.size(); ++c)
        t.SetColName(c, table.names[c - 1]);
    t.SetNrOfRows(static_cast<int>(table.rows.size()));
    for (int r = 1; r <= t.NrOfRows(); ++r) {
        const auto& cells = table.rows[static_cast<std::size_t>(r - 1)];
        for (int c = 1; c <= static_cast<int>(cells.size()); ++c)
            t.SetElemBytes(c, r, cells[static_cast<std::size_t>(c - 1)]);
    }
    t.SetCommonHeader(table.commonHeader);
}

const QStringList kDateNames = {QStringLiteral("Date"), QStringLiteral("Datum")};

TEST(TableClipboard, TextPerTableKind)
{
    struct Case {
        const char* name;
        Table table;
        bool headerShown;
        QChar decimal;
        QString expected;
    };
    const std::vector<Case> cases = {
        {"number and unit: numbers written anew with the chosen decimal, columns after 3 left out",
         {{"Sample", "UVA", "VISL", "Note"},
          {{"A", "0.120 mW/cm\xB2", "1e20 lx", "x"}, {"B", "-5 W", "0.000001 W", "y"}}},
         true,
         u',',
         QStringLiteral("IRRADIATION\r\nSample\tUVA\tUnit\tVISL\tUnit\r\n"
                        "A\t0,12\tmW/cm²\t1E20\tlx\r\nB\t-5\tW\t1E-6\tW\r\n")},
        {"number and unit, 2 columns: three entries per row, the header still names five",
         {{"Sample", "UVA"}, {{"A", "7.50 W/m\xB2 (cal)"}}},
         false,
         u'.',
         QStringLiteral("Sample\tUVA\tUnit\t\tUnit\r\nA\t7.5\tW/m² (cal)\r\n")},
        {"number and unit without rows: the header lines only",
         {{"Sample", "UVA", "VISL"}, {}},
         true,
         u',',
         QStringLiteral("IRRADIATION\r\nSample\tUVA\tUnit\tVISL\tUnit\r\n")},
        {"irradiation run: every column, the numbers' comma becomes the chosen decimal",
         {{"Date", "Time", "UVA[W/m²]", "UVA Dose", "VISL[W/m²]", "VISL Dose"},
          {{"2024.03.15", "10:00:00", "0,050000", "000,000", "150,000", "000,000"},
           {"2024.03.15", "10:00:20", "-0,010000", "001,000", "", ""}}},
         true,
         u'.',
         QStringLiteral("IRRADIATION\r\nDate\tTime\tUVA[W/m²]\tUVA Dose\tVISL[W/m²]\tVISL Dose\r\n"
                        "2024.03.15\t10:00:00\t0.050000\t000.000\t150.000\t000.000\r\n"
                        "2024.03.15\t10:00:20\t-0.010000\t001.000\t\t\r\n")},
        {"relation run under a translated date name: labels and other texts stay as they are",
         {{"Datum", "Nummer", "Relation", "Wert [%]"},
          {{"2024.03.15", "00:00:01", "UVA 1,5 W", "098,700"},
           {"2024.03.15", "00:00:02", "1,5E2", "045,500%"},
           {"2024.03.15", "00:00:03", "12,", "+1,25"}}},
         true,
         u'.',
         QStringLiteral("IRRADIATION\r\nDatum\tNummer\tRelation\tWert [%]\r\n"
                        "2024.03.15\t00:00:01\tUVA 1,5 W\t098.700\r\n"
                        "2024.03.15\t00:00:02\t1,5E2\t045,500%\r\n"
                        "2024.03.15\t00:00:03\t12,\t+1.25\r\n")},
        {"run table with the comma kept",
         {{"Date", "Number", "UVA[%]"}, {{"2024.03.15", "00:00:01", "045,500"}}},
         false,
         u',',
         QStringLiteral("Date\tNumber\tUVA[%]\r\n2024.03.15\t00:00:01\t045,500\r\n")},
        {"run table without rows: the column names only",
         {{"Date", "Time", "UVA[W/m²]", "UVA Dose"}, {}},
         true,
         u',',
         QStringLiteral("IRRADIATION\r\nDate\tTime\tUVA[W/m²]\tUVA Dose\r\n")},
        {"a later row that is not number and unit: the whole table as it is",
         {{"Sample", "UVA", "VISL"}, {{"A", "0.120 W", "1 W"}, {"B", "abc W", "2 W"}}},
         true,
         u',',
         QStringLiteral("IRRADIATION\r\nSample\tUVA\tVISL\r\nA\t0.120 W\t1 W\r\nB\tabc W\t2 W\r\n")},
        {"a cell without a blank: the whole table",
         {{"Sample", "UVA", "VISL"}, {{"A", "0.120 W", "7"}}},
         false,
         u',',
         QStringLiteral("Sample\tUVA\tVISL\r\nA\t0.120 W\t7\r\n")},
        {"one column: no number and unit to split, the whole table",
         {{"Sample"}, {{"A \x80"}}},
         false,
         u'.',
         QStringLiteral("Sample\r\nA €\r\n")},
        {"an empty common header gives no line in the whole form",
         {{"Date", "Time"}, {{"2024.03.15", "10:00:00"}}, QString()},
         true,
         u'.',
         QStringLiteral("Date\tTime\r\n2024.03.15\t10:00:00\r\n")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TRLData table;
        fill(table, c.table);
        const auto result = tableClipboardText(table, c.headerShown, c.decimal, kDateNames);
        ASSERT_TRUE(std::holds_alternative<QString>(result));
        EXPECT_EQ(std::get<QString>(result).toStdString(), c.expected.toStdString());
    }
}

TEST(TableClipboard, NumberUnitTableUnderADateNameIsCopiedWhole)
{
    // A column 1 named like the run tables' marks a run table even when its cells would split.
    TRLData table;
    fill(table, {{"Date", "UVA", "VISL"}, {{"2024.03.15", "0.5 W", "1,5 W"}}});
    const auto result = tableClipboardText(table, false, u'.', kDateNames);
    ASSERT_TRUE(std::holds_alternative<QString>(result));
    EXPECT_EQ(std::get<QString>(result), QStringLiteral("Date\tUVA\tVISL\r\n2024.03.15\t0.5 W\t1,5 W\r\n"));
}

} // namespace
} // namespace kv58
