// The report table view: header rows and the grid mapping, suppressed painting, scrolling, column
// widths and what the user sees.
#include "widgets/ReportListView.h"

#include "widgets/RLModel.h"

#include <QApplication>
#include <QHeaderView>
#include <QImage>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>
#include <gtest/gtest.h>

using namespace kv58;

namespace {

class ReportListView : public ::testing::Test {
protected:
    // A shown table `dataRows` rows of 24 pixels high below two header rows of 20.
    void showWithRoom(int dataRows)
    {
        view.SetCommonHeaderVisible(true);
        const int frame = view.frameWidth() * 2;
        view.resize(500, frame + 40 + dataRows * TReportListView::kDefaultRowHeight);
        view.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    }
    void addRows(int rows)
    {
        for (int i = 0; i < rows; ++i) {
            const int r = view.AddRow();
            view.SetElem(1, r, QString::number(r));
        }
    }

    TRLData store;
    TReportListView view{store};
};

} // namespace

TEST_F(ReportListView, HeaderRowsAndDataRowsMapOntoTheGrid)
{
    struct Case {
        bool common, columns;
        int rows, headerRows, gridRows;
    };
    const Case cases[] = {
        {true, true, 0, 2, 3},   {false, true, 0, 1, 2}, {true, false, 0, 1, 2},
        {false, false, 0, 0, 1}, {true, true, 1, 2, 3},  {true, true, 5, 2, 7},
    };
    for (const Case& c : cases) {
        view.SetCommonHeaderVisible(c.common);
        view.SetColumnHeadersVisible(c.columns);
        view.SetNrOfRows(c.rows);
        EXPECT_EQ(view.HeaderRowCount(), c.headerRows) << c.common << c.columns << c.rows;
        EXPECT_EQ(view.GridRowCount(), c.gridRows) << c.common << c.columns << c.rows;
        EXPECT_EQ(view.horizontalHeader()->sizeHint().height(), 20 * c.headerRows);
        EXPECT_EQ(view.horizontalHeader()->isHidden(), c.headerRows == 0);
    }
    EXPECT_EQ(rlGridRowOfDataRow(2, 1), 2);
    EXPECT_EQ(rlGridRowOfDataRow(0, 5), 4);
}

TEST_F(ReportListView, DataStartsBelowBothHeaderRows)
{
    view.SetNrOfColumns(3);
    showWithRoom(5);
    EXPECT_EQ(view.viewport()->geometry().top(), view.frameWidth() + 40);
    view.SetCommonHeaderHeight(30);
    EXPECT_EQ(view.viewport()->geometry().top(), view.frameWidth() + 50);
    view.SetCommonHeaderVisible(false);
    EXPECT_EQ(view.viewport()->geometry().top(), view.frameWidth() + 20);
    view.SetColumnHeadersHeight(200);
    EXPECT_EQ(view.ColumnHeadersHeight(), 127);
}

TEST_F(ReportListView, SuppressedPaintingDefersTheGridUntilItIsSwitchedOff)
{
    view.SetNrOfColumns(2);
    QSignalSpy inserted(view.model(), &QAbstractItemModel::rowsInserted);
    view.SetSuppressPaint(true);
    addRows(1000);
    view.SetColName(2, u"Time");
    EXPECT_EQ(inserted.count(), 0);
    EXPECT_EQ(view.model()->rowCount(), 1);
    EXPECT_FALSE(view.updatesEnabled());

    view.SetSuppressPaint(false);
    EXPECT_TRUE(view.updatesEnabled());
    EXPECT_EQ(inserted.count(), 1);
    EXPECT_EQ(view.model()->rowCount(), 1000);
    EXPECT_EQ(view.model()->index(999, 0).data().toString(), "1000");
    EXPECT_EQ(view.model()->headerData(1, Qt::Horizontal).toString(), "Time");

    // Unsuppressed, every row and cell reaches the grid at once.
    QSignalSpy changed(view.model(), &QAbstractItemModel::dataChanged);
    view.SetElem(2, 3, u"x");
    ASSERT_GE(changed.count(), 1);
    EXPECT_EQ(changed.last().at(0).value<QModelIndex>(), view.model()->index(2, 1));
    view.AddRow();
    EXPECT_EQ(view.model()->rowCount(), 1001);
    view.Clear();
    view.RemoveEmptyRows();
    EXPECT_EQ(view.model()->rowCount(), 1);
    EXPECT_EQ(view.GridRowCount(), 2);
}

TEST_F(ReportListView, SizeErrorsNameTheTableAndLeaveTheGridAsItWas)
{
    view.setObjectName(QStringLiteral("RL"));
    view.SetNrOfColumns(3);
    view.Data().setCellLimit(400);
    view.SetNrOfRows(100);
    try {
        view.AddRow();
        FAIL() << "no error";
    } catch (const TRLError& e) {
        EXPECT_STREQ(e.what(), "Component \"RL\": not enough memory on heap");
    }
    EXPECT_THROW(view.SetNrOfColumns(4), TRLError);
    EXPECT_EQ(view.NrOfRows(), 100);
    EXPECT_EQ(view.model()->rowCount(), 100);
    EXPECT_EQ(view.model()->columnCount(), 3);
}

TEST_F(ReportListView, AddedColumnsTakeTheWidthOfTheLastColumn)
{
    view.SetNrOfColumns(3);
    EXPECT_EQ(view.ColWidth(3), TReportListView::kDefaultColWidth);
    view.SetColWidth(2, 60);
    view.SetColWidth(3, 90);
    view.SetNrOfColumns(5);
    EXPECT_EQ(view.ColWidth(2), 60);
    EXPECT_EQ(view.ColWidth(3), 90);
    EXPECT_EQ(view.ColWidth(4), 90);
    EXPECT_EQ(view.ColWidth(5), 90);
    view.SetNrOfColumns(2);
    view.SetNrOfColumns(3);
    EXPECT_EQ(view.ColWidth(3), 60);
    EXPECT_EQ(view.model()->columnCount(), 3);

    // Also when the store grew while painting was suppressed.
    view.SetSuppressPaint(true);
    view.Data().SetNrOfColumns(4);
    view.SetNrOfColumns(4);
    view.SetSuppressPaint(false);
    EXPECT_EQ(view.ColWidth(4), 60);
}

TEST_F(ReportListView, TheNewestRowCanBeKeptAtTheBottom)
{
    view.SetNrOfColumns(2);
    showWithRoom(10);
    EXPECT_EQ(view.VisibleRowCount(), 0);
    // What a live run does after each row: top row := r - visible rows + 1.
    for (int r = 1; r <= 25; ++r) {
        addRows(1);
        view.SetTopRow(r - view.VisibleRowCount() + 1);
        EXPECT_EQ(view.TopRow(), std::max(1, r - 9)) << r;
        EXPECT_EQ(view.VisibleRowCount(), std::min(r, 10)) << r;
        // The top row is whole and the newest row is on screen.
        EXPECT_EQ(view.rowViewportPosition(view.TopRow() - 1), 0) << r;
        EXPECT_LE(view.rowViewportPosition(r - 1) + view.rowHeight(r - 1), view.viewport()->height()) << r;
    }
    view.SetTopRow(-5);
    EXPECT_EQ(view.TopRow(), 1);
    view.SetTopRow(10000);
    EXPECT_EQ(view.TopRow(), 16);
    // Under suppressed painting as well, once the rows are known to the grid.
    view.SetSuppressPaint(true);
    addRows(5);
    view.SetTopRow(30 - view.VisibleRowCount() + 1);
    view.SetSuppressPaint(false);
    EXPECT_EQ(view.TopRow(), 21);
}

TEST_F(ReportListView, DeferredGridLearnsOfNewRowsOnceAndKeepsPainting)
{
    view.SetNrOfColumns(2);
    addRows(3);
    showWithRoom(10);
    view.SetDeferGridUpdates(true);
    addRows(4);
    EXPECT_EQ(view.model()->rowCount(), 3); // the grid still shows what it had
    EXPECT_TRUE(view.updatesEnabled());
    EXPECT_EQ(view.model()->index(2, 0).data().toString(), QStringLiteral("3"));
    view.SetDeferGridUpdates(false);
    EXPECT_EQ(view.model()->rowCount(), 7);
    EXPECT_EQ(view.model()->index(6, 0).data().toString(), QStringLiteral("7"));
    // A row position asked for while deferred counts every row.
    view.SetDeferGridUpdates(true);
    addRows(20);
    view.SetTopRow(27);
    EXPECT_EQ(view.TopRow(), 27 - 9);
    view.SetDeferGridUpdates(false);
}

TEST_F(ReportListView, AutoColWidthFitsTheWidestTextAndAddsTheAddon)
{
    view.SetNrOfColumns(2);
    view.SetNrOfRows(3);
    view.SetElem(1, 1, u"1");
    view.SetElem(1, 2, u"2026.12.10 wide text");
    view.SetElem(1, 3, u"12");
    view.SetColName(1, u"A name wider than any of the cells below it");
    const int cells = view.AutoColWidth(1, false, 5);
    EXPECT_EQ(view.ColWidth(1), cells);
    const QFontMetrics metrics(view.font());
    EXPECT_NEAR(cells, metrics.horizontalAdvance("2026.12.10 wide text") + 15, 2);
    const int withName = view.AutoColWidth(1, true, 5);
    EXPECT_NEAR(withName, metrics.horizontalAdvance("A name wider than any of the cells below it") + 15, 2);
    const int name2 = static_cast<int>(std::ceil(QFontMetricsF(view.font()).horizontalAdvance("C-2")));
    EXPECT_EQ(view.AutoColWidth(2, true, 0), name2 + 10);
    // No such column: 10 + addon, at least 4, and nothing is applied.
    EXPECT_EQ(view.AutoColWidth(3, true, 5), 15);
    EXPECT_EQ(view.AutoColWidth(0, true, -50), 4);
    EXPECT_EQ(view.ColWidth(2), name2 + 10);
}

TEST_F(ReportListView, LoadingAnXmlTableSetsTheGridAndRestoresSuppression)
{
    QTemporaryDir dir;
    TRLData source;
    source.SetDataID(u"KV58");
    source.SetNrOfColumns(4);
    source.SetNrOfRows(30);
    source.SetElem(4, 30, u"last");
    source.SetColName(4, u"VISL Dose");
    ASSERT_TRUE(source.SaveToXMLFile(dir.filePath("t.xml")));

    for (const bool suppressed : {false, true}) {
        TRLData target;
        TReportListView table(target);
        table.SetSuppressPaint(suppressed);
        EXPECT_TRUE(table.LoadFromXMLFile(dir.filePath("t.xml"), "KV58"));
        EXPECT_EQ(table.SuppressPaint(), suppressed);
        table.SetSuppressPaint(false);
        EXPECT_EQ(table.model()->rowCount(), 30);
        EXPECT_EQ(table.model()->columnCount(), 4);
        EXPECT_EQ(table.model()->index(29, 3).data().toString(), "last");
        EXPECT_EQ(table.model()->headerData(3, Qt::Horizontal).toString(), "VISL Dose");
    }
    TRLData untouched;
    TReportListView table(untouched);
    EXPECT_FALSE(table.LoadFromXMLFile(dir.filePath("t.xml"), "OTHER"));
    EXPECT_FALSE(table.SuppressPaint());
    EXPECT_EQ(table.NrOfColumns(), 1);
}

TEST_F(ReportListView, RowsAlternateBetweenTheDesignColours)
{
    view.SetNrOfColumns(2);
    view.SetNrOfRows(3);
    showWithRoom(6);
    const QImage image = view.viewport()->grab().toImage();
    const int h = TReportListView::kDefaultRowHeight;
    const QRgb shaded = TReportListView::kColorBkgdShaded.rgb();
    const QRgb normal = TReportListView::kColorBkgdNormal.rgb();
    EXPECT_EQ(image.pixel(200, h / 2), normal);
    EXPECT_EQ(image.pixel(200, h + h / 2), shaded);
    EXPECT_EQ(image.pixel(200, 2 * h + h / 2), normal);
    // Below the last row the data area is plain background.
    EXPECT_EQ(image.pixel(200, 3 * h + h / 2), normal);
    EXPECT_EQ(image.pixel(200, 4 * h + h / 2), normal);
}
