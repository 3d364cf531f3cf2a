// The report table's data store: sizes, ranges, names, clearing and removing empty rows.
#include "data/RLCell.h"
#include "data/RLData.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace kv58;

namespace {

// A store of `cols` columns whose cell (c, r) holds "c/r" for c >= 1.
void fill(TRLData& store, int cols, int rows)
{
    store.SetNrOfColumns(cols);
    store.SetNrOfRows(rows);
    for (int r = 1; r <= rows; ++r)
        for (int c = 1; c <= cols; ++c)
            store.SetElem(c, r, QStringLiteral("%1/%2").arg(c).arg(r));
}

struct Recorder : TRLData::Listener {
    std::vector<std::pair<int, int>> cells;
    int headers = 0;
    int changes = 0;
    void cellChanged(int col, int row) override { cells.emplace_back(col, row); }
    void headerChanged() override { ++headers; }
    void changed() override { ++changes; }
};

} // namespace

TEST(ReportData, StartsWithOneNamedColumnNoRowsAndTheDefaultCommonHeader)
{
    TRLData store;
    EXPECT_EQ(store.NrOfColumns(), 1);
    EXPECT_EQ(store.NrOfRows(), 0);
    EXPECT_EQ(store.GetColName(1), "C-1");
    EXPECT_EQ(store.CommonHeader(), "Report Listview");
    EXPECT_TRUE(store.Comment().isEmpty());
    EXPECT_TRUE(store.DataID().isEmpty());
}

TEST(ReportData, CellsOutsideTheRangesReadEmptyAndIgnoreWrites)
{
    struct Case {
        int col, row;
        bool stored;
    };
    // 3 columns, 2 rows: columns 0 to 3 and rows 1 to 2 exist.
    const Case cases[] = {{0, 1, true},  {3, 2, true},  {1, 1, true},  {-1, 1, false},
                          {4, 1, false}, {1, 0, false}, {1, 3, false}, {1, -7, false}};
    for (const Case& c : cases) {
        TRLData store;
        store.SetNrOfColumns(3);
        store.SetNrOfRows(2);
        store.SetElem(c.col, c.row, u"x");
        EXPECT_EQ(store.GetElem(c.col, c.row), c.stored ? "x" : "") << c.col << "," << c.row;
        int filled = 0;
        for (int col = 0; col <= 3; ++col)
            for (int row = 1; row <= 2; ++row)
                filled += store.GetElem(col, row).isEmpty() ? 0 : 1;
        EXPECT_EQ(filled, c.stored ? 1 : 0) << c.col << "," << c.row;
    }
}

TEST(ReportData, NamesAreCutTo50AndExistOnlyForColumnsOneToN)
{
    TRLData store;
    store.SetNrOfColumns(2);
    const QString sixty(60, QLatin1Char('n'));
    store.SetColName(1, sixty);
    EXPECT_EQ(store.GetColName(1), sixty.left(50));
    store.SetColName(0, u"zero");
    store.SetColName(3, u"three");
    EXPECT_EQ(store.GetColName(0), "");
    EXPECT_EQ(store.GetColName(3), "");
    EXPECT_EQ(store.GetColName(2), "C-2");
}

TEST(ReportData, CellsHold255BytesOfWindows1252)
{
    TRLData store;
    store.SetNrOfRows(1);
    store.SetElem(1, 1, QString(300, QLatin1Char('a')));
    EXPECT_EQ(store.GetElem(1, 1), QString(255, QLatin1Char('a')));
    store.SetElem(1, 1, u"UVA[W/m\u00B2] \u20AC \u4E2D");
    EXPECT_EQ(store.GetElem(1, 1), u"UVA[W/m\u00B2] \u20AC ?");
    EXPECT_EQ(store.ElemBytes(1, 1), "UVA[W/m\xB2] \x80 ?");
}

TEST(ReportData, SizesBelowTheMinimumCountAsTheMinimum)
{
    TRLData store;
    store.SetNrOfColumns(0);
    store.SetNrOfRows(-3);
    EXPECT_EQ(store.NrOfColumns(), 1);
    EXPECT_EQ(store.NrOfRows(), 0);
    store.SetNrOfColumns(-4);
    EXPECT_EQ(store.NrOfColumns(), 1);
}

TEST(ReportData, ZeroRowsThenAddRowGivesOneEmptyRowNumberedOne)
{
    TRLData store;
    fill(store, 2, 3);
    store.SetElem(0, 1, u"hidden");
    store.SetNrOfRows(0);
    EXPECT_EQ(store.AddRow(), 1);
    EXPECT_EQ(store.NrOfRows(), 1);
    for (int col = 0; col <= 2; ++col)
        EXPECT_EQ(store.GetElem(col, 1), "") << col;
    EXPECT_EQ(store.AddRow(), 2);
}

TEST(ReportData, ClearEmptiesCellsAndNamesButKeepsSizesAndCommonHeader)
{
    TRLData store;
    fill(store, 3, 4);
    store.SetElem(0, 2, u"hidden");
    store.SetColName(2, u"Time");
    store.SetColumnFormat(2, u"hh:nn:ss");
    store.SetColumnCheckBox(3, true);
    store.SetCommonHeader(u"IRRADIATION");
    store.Clear();
    EXPECT_EQ(store.NrOfColumns(), 3);
    EXPECT_EQ(store.NrOfRows(), 4);
    for (int row = 1; row <= 4; ++row)
        for (int col = 0; col <= 3; ++col)
            EXPECT_EQ(store.GetElem(col, row), "");
    EXPECT_EQ(store.GetColName(2), "C-2");
    EXPECT_EQ(store.ColumnFormat(2), "");
    EXPECT_FALSE(store.ColumnIsCheckBox(3));
    EXPECT_EQ(store.CommonHeader(), "IRRADIATION");

    store.RemoveEmptyRows();
    EXPECT_EQ(store.NrOfRows(), 0);
    EXPECT_EQ(store.NrOfColumns(), 3);
}

TEST(ReportData, RemoveEmptyRowsKeepsTheOrderOfTheRest)
{
    struct Case {
        const char* pattern; // one letter per row: 'x' a cell in column 2, '0' in column 0, '.' empty
        const char* left;    // the rows that remain, by their original number
    };
    const Case cases[] = {
        {"", ""},     {"...", ""},  {"x.x", "13"},     {".x.", "2"},
        {"0..", "1"}, {"..0", "3"}, {"x0.x..", "124"}, {"xxxx", "1234"},
    };
    for (const Case& c : cases) {
        TRLData store;
        store.SetNrOfColumns(3);
        const std::string pattern = c.pattern;
        store.SetNrOfRows(static_cast<int>(pattern.size()));
        for (int r = 1; r <= store.NrOfRows(); ++r) {
            const char p = pattern[static_cast<std::size_t>(r - 1)];
            store.SetElem(p == '0' ? 0 : 2, r, p == '.' ? QString() : QString::number(r));
        }
        store.RemoveEmptyRows();
        std::string left;
        for (int r = 1; r <= store.NrOfRows(); ++r)
            left += (store.GetElem(0, r) + store.GetElem(2, r)).toStdString();
        EXPECT_EQ(left, c.left) << c.pattern;
    }
}

TEST(ReportData, ChangingTheColumnCountKeepsNamesAndCellsOfRemainingColumns)
{
    TRLData store;
    fill(store, 4, 2);
    store.SetColName(1, u"Date");
    store.SetColName(4, u"Dose");
    store.SetElem(0, 2, u"hidden");

    store.SetNrOfColumns(6);
    EXPECT_EQ(store.GetColName(1), "Date");
    EXPECT_EQ(store.GetColName(4), "Dose");
    EXPECT_EQ(store.GetColName(5), "C-5");
    EXPECT_EQ(store.GetColName(6), "C-6");
    EXPECT_EQ(store.GetElem(4, 2), "4/2");
    EXPECT_EQ(store.GetElem(6, 2), "");
    EXPECT_EQ(store.GetElem(0, 2), "hidden");

    store.SetNrOfColumns(2);
    EXPECT_EQ(store.GetColName(1), "Date");
    EXPECT_EQ(store.GetColName(3), "");
    EXPECT_EQ(store.GetElem(2, 1), "2/1");
    EXPECT_EQ(store.GetElem(3, 1), "");

    // Columns that went come back empty and with default names.
    store.SetNrOfColumns(4);
    EXPECT_EQ(store.GetColName(4), "C-4");
    EXPECT_EQ(store.GetElem(3, 1), "");
    EXPECT_EQ(store.GetElem(4, 2), "");
    EXPECT_EQ(store.GetElem(2, 2), "2/2");
}

TEST(ReportData, ChangingTheRowCountKeepsTheRowsThatRemain)
{
    TRLData store;
    fill(store, 2, 5);
    store.SetNrOfRows(3);
    EXPECT_EQ(store.GetElem(2, 3), "2/3");
    EXPECT_EQ(store.GetElem(2, 4), "");
    store.SetNrOfRows(5);
    EXPECT_EQ(store.GetElem(2, 3), "2/3");
    EXPECT_EQ(store.GetElem(2, 4), "");
    EXPECT_EQ(store.GetElem(1, 5), "");
}

TEST(ReportData, SizesPastTheLimitsRaiseAnErrorAndChangeNothing)
{
    TRLData store;
    store.SetName(QStringLiteral("RL"));
    store.setCellLimit(1000);
    fill(store, 3, 2);
    try {
        store.SetNrOfRows(1000);
        FAIL() << "no error";
    } catch (const TRLError& e) {
        EXPECT_STREQ(e.what(), "Component \"RL\": not enough memory on heap");
    }
    EXPECT_THROW(store.SetNrOfColumns(TRLData::kMaxColumns + 1), TRLError);
    EXPECT_THROW(store.SetNrOfColumns(600), TRLError);
    EXPECT_EQ(store.NrOfRows(), 2);
    EXPECT_EQ(store.NrOfColumns(), 3);
    EXPECT_EQ(store.GetElem(3, 2), "3/2");
    store.SetNrOfRows(249); // 4 x 249 cells fit
    EXPECT_EQ(store.NrOfRows(), 249);
}

TEST(ReportData, TellsItsListenerWhatChanged)
{
    TRLData store;
    Recorder recorder;
    store.setListener(&recorder);
    store.SetNrOfRows(2);
    store.SetElem(1, 2, u"a");
    store.SetElem(2, 2, u"out of range");
    store.SetColName(1, u"Date");
    store.SetCommonHeader(u"Report Listview");
    store.SetCommonHeader(u"RELATION");
    store.RemoveEmptyRows();
    EXPECT_EQ(recorder.cells, (std::vector<std::pair<int, int>>{{1, 2}}));
    EXPECT_EQ(recorder.headers, 2);
    EXPECT_EQ(recorder.changes, 2);
    store.setListener(nullptr);
}

TEST(ReportCell, ShortTextsStayInsideLongOnesMoveOutAndCopiesAreIndependent)
{
    for (const std::size_t length : {0u, 1u, 15u, 16u, 255u, 300u}) {
        const std::string text(length, 'q');
        RLCell cell;
        cell.setChecked(true);
        cell.assign(text);
        EXPECT_EQ(cell.text(), text.substr(0, 255)) << length;
        EXPECT_TRUE(cell.checked()) << length;
        EXPECT_EQ(cell.empty(), length == 0);

        RLCell copy(cell);
        cell.assign("other");
        EXPECT_EQ(copy.text(), text.substr(0, 255)) << length;
        RLCell moved(std::move(copy));
        EXPECT_EQ(moved.text(), text.substr(0, 255)) << length;
        EXPECT_TRUE(copy.empty());
        copy = moved;
        moved.reset();
        EXPECT_EQ(copy.text(), text.substr(0, 255)) << length;
        EXPECT_TRUE(moved.empty());
        EXPECT_FALSE(moved.checked());
    }
    // A part of the cell's own text.
    RLCell cell;
    cell.assign("2026.12.10 10:15:30 and more");
    cell.assign(cell.text().substr(11, 8));
    EXPECT_EQ(cell.text(), "10:15:30");
    cell.assign(cell.text().substr(3));
    EXPECT_EQ(cell.text(), "15:30");
}
