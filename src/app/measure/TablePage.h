// The "Table" tab: the measurement table `RL`, a view of the measurement's table store.
#pragma once

#include <QWidget>

namespace kv58 {

class TRLData;
class TReportListView;

class TablePage : public QWidget {
    Q_OBJECT
public:
    TablePage(TRLData& table, QWidget* parent = nullptr);

    // Scrolls so that data row `row` is the last fully visible row (row 1 stays on top while the
    // table is shorter than the view).
    void showRow(int row);
    void setCommonHeaderShown(bool shown);
    bool commonHeaderShown() const;
    int topRow() const;

private:
    TReportListView* RL;
};

} // namespace kv58
