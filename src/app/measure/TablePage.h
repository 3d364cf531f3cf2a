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
    bool commonHeaderShown() const;
    int topRow() const;

    // A table read from a file came in: no common header, every column as wide as its widest
    // text, the view at row 1.
    void showLoadedTable();
    // Reads an XML table of identifier `dataId` into the table and shows its common header.
    void loadXmlTable(const QString& fileName, const QString& dataId);

protected:
    // A hidden table has no rows in view; shown, it brings the newest row to the bottom.
    void showEvent(QShowEvent* event) override;

private:
    TReportListView* RL = nullptr;
    OncePerFrame* scroll_ = nullptr; // to the newest row, once per frame
    int newestRow_ = 0;
};

} // namespace kv58
