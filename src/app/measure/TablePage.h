// The "Table" tab: the measurement table `RL`, a view of the measurement's table store.
#pragma once

#include <QWidget>

namespace kv58 {

class OncePerFrame;
class TRLData;
class TReportListView;

class TablePage : public QWidget {
    Q_OBJECT
public:
    TablePage(TRLData& table, QWidget* parent = nullptr);

    // Scrolls so that data row `row` is the last fully visible row (row 1 stays on top while the
    // table is shorter than the view), at the end of the frame.
    void showRow(int row);
    void setCommonHeaderShown(bool shown);
    int topRow() const;

protected:
    // A hidden table has no rows in view; shown, it brings the newest row to the bottom.
    void showEvent(QShowEvent* event) override;

private:
    TReportListView* RL = nullptr;
    OncePerFrame* scroll_ = nullptr; // to the newest row, once per frame
    int newestRow_ = 0;
};

} // namespace kv58
