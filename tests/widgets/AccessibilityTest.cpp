// What assistive technology reads from the display widgets and the report table.
#include "data/RLData.h"
#include "widgets/NumLab.h"
#include "widgets/RasterLab.h"
#include "widgets/ReportListView.h"
#include "widgets/SevenSeg.h"

#include <QAccessible>
#include <QAccessibleTableInterface>
#include <gtest/gtest.h>

using namespace kv58;

namespace {

QString accessibleText(QWidget& widget, QAccessible::Text t)
{
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(&widget);
    return iface ? iface->text(t) : QStringLiteral("<none>");
}

TEST(Accessibility, DisplaysExposeTheTextTheyShow)
{
    TRasterLab line;
    line.setText(QStringLiteral("UVA: 012,346 W/m²"));
    TSevenSeg clock;
    clock.setCaption(QStringLiteral("10:15:30"));
    TNumLab factor;
    factor.SetValue(1.25);

    const struct {
        QWidget* display;
        QString shown;
    } cases[] = {{&line, line.text()}, {&clock, clock.caption()}, {&factor, factor.displayedText()}};
    for (const auto& c : cases) {
        EXPECT_FALSE(c.shown.isEmpty());
        EXPECT_EQ(accessibleText(*c.display, QAccessible::Name), c.shown);
        EXPECT_EQ(accessibleText(*c.display, QAccessible::Value), c.shown);
    }

    // A given name wins for the name; the value still reads the display.
    line.setAccessibleName(QStringLiteral("Channel 1"));
    EXPECT_EQ(accessibleText(line, QAccessible::Name), QStringLiteral("Channel 1"));
    line.setText(QStringLiteral("UVA: 000,500 W/m²"));
    EXPECT_EQ(accessibleText(line, QAccessible::Value), QStringLiteral("UVA: 000,500 W/m²"));
}

TEST(Accessibility, TableCellsAreReadThroughTheTableInterface)
{
    TRLData store;
    TReportListView table(store);
    table.SetNrOfColumns(2);
    table.SetColName(2, u"UVA[W/m²]");
    const int row = table.AddRow();
    table.SetElem(1, row, u"2026.12.11");
    table.SetElem(2, row, u"0,500000");
    table.resize(400, 200);
    table.show();

    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(&table);
    ASSERT_NE(iface, nullptr);
    QAccessibleTableInterface* grid = iface->tableInterface();
    ASSERT_NE(grid, nullptr);
    ASSERT_GE(grid->rowCount(), 1);
    ASSERT_EQ(grid->columnCount(), 2);
    QAccessibleInterface* cell = grid->cellAt(0, 1);
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(cell->text(QAccessible::Name), QStringLiteral("0,500000"));
    EXPECT_EQ(grid->columnDescription(1), QStringLiteral("UVA[W/m²]"));
}

} // namespace
