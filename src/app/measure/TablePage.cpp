#include "app/measure/TablePage.h"

#include "widgets/ReportListView.h"

#include <QVBoxLayout>

namespace kv58 {

TablePage::TablePage(TRLData& table, QWidget* parent) : QWidget(parent)
{
    auto* layout = new QVBoxLayout(this);
    RL = new TReportListView(table, this);
    RL->setObjectName(QStringLiteral("RL"));
    RL->SetNrOfColumns(3);
    layout->addWidget(RL);
}

void TablePage::showRow(int row)
{
    RL->SetTopRow(row - RL->VisibleRowCount() + 1);
}

void TablePage::setCommonHeaderShown(bool shown)
{
    RL->SetCommonHeaderVisible(shown);
}

bool TablePage::commonHeaderShown() const
{
    return RL->CommonHeaderVisible();
}

int TablePage::topRow() const
{
    return RL->TopRow();
}

} // namespace kv58
