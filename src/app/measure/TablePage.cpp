#include "app/measure/TablePage.h"

#include "app/shell/OncePerFrame.h"
#include "widgets/ReportListView.h"

#include <QShowEvent>
#include <QVBoxLayout>

namespace kv58 {

TablePage::TablePage(TRLData& table, QWidget* parent) : QWidget(parent)
{
    // Where a row lies in a view of a million rows is found by walking all rows after each change,
    // so the view is asked once per frame, not once per line.
    scroll_ = new OncePerFrame(
        [this] {
            RL->SetDeferGridUpdates(false);
            // The first scroll can bring in the scroll bars, which take rows from the view: once
            // more then, with the rows that fit now.
            for (int pass = 0; pass < 2; ++pass)
                RL->SetTopRow(newestRow_ - RL->VisibleRowCount() + 1);
        },
        this);
    auto* layout = new QVBoxLayout(this);
    RL = new TReportListView(table, this);
    RL->setObjectName(QStringLiteral("RL"));
    RL->SetNrOfColumns(3);
    layout->addWidget(RL);
}

void TablePage::showRow(int row)
{
    newestRow_ = row;
    RL->SetDeferGridUpdates(true);
    scroll_->request();
}

void TablePage::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (newestRow_ > 0)
        scroll_->request();
}

void TablePage::setCommonHeaderShown(bool shown)
{
    RL->SetCommonHeaderVisible(shown);
}

bool TablePage::commonHeaderShown() const
{
    return RL->CommonHeaderVisible();
}

void TablePage::showLoadedTable()
{
    // Column widths fitted to the widest cell and name, with a little room.
    constexpr int kWidthAddon = 5;
    scroll_->cancel();
    newestRow_ = 0;
    RL->SetCommonHeaderVisible(false);
    // The view catches up with the new store once, then the widths are measured.
    RL->SetNrOfColumns(RL->NrOfColumns());
    for (int col = 1; col <= RL->NrOfColumns(); ++col)
        RL->AutoColWidth(col, true, kWidthAddon);
    RL->SetTopRow(1);
}

void TablePage::loadXmlTable(const QString& fileName, const QString& dataId)
{
    scroll_->cancel();
    newestRow_ = 0;
    RL->LoadFromXMLFile(fileName, dataId);
    RL->SetCommonHeaderVisible(true);
}

int TablePage::topRow() const
{
    scroll_->runNow();
    return RL->TopRow();
}

} // namespace kv58
