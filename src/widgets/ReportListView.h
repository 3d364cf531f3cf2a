// The report table: a grid of 8-bit text cells with named columns, a column header row and an
// optional common header row above it. It shows a data store it does not own (the store must outlive
// the view); painting costs what is visible.
#pragma once

#include "data/RLData.h"

#include <QColor>
#include <QTableView>

namespace kv58 {

class RLHeaderView;
class RLModel;

class TReportListView : public QTableView {
    Q_OBJECT
public:
    // Design values of the measurement table.
    static constexpr int kDefaultColWidth = 150;
    static constexpr int kDefaultRowHeight = 24;
    static inline const QColor kColorText{0x00, 0x20, 0x00};
    static inline const QColor kColorBkgdNormal{0xFF, 0xFF, 0xFF};
    static inline const QColor kColorBkgdShaded{0xD0, 0xE0, 0xF0};
    static inline const QColor kColorHigh{0x66, 0x99, 0xCC};
    static inline const QColor kColorSelectedRow{0xED, 0xBA, 0x94};

    explicit TReportListView(TRLData& store, QWidget* parent = nullptr);
    ~TReportListView() override;

    TRLData& Data() { return data_; }
    const TRLData& Data() const { return data_; }

    // Store operations; besides the store they keep the grid in step (see TRLData for the rules).
    int NrOfColumns() const { return data_.NrOfColumns(); }
    // Added columns take the width of the last column; the view goes to the first data row.
    void SetNrOfColumns(int value);
    int NrOfRows() const { return data_.NrOfRows(); }
    // The view goes to the first data row.
    void SetNrOfRows(int value);
    int AddRow();
    QString GetElem(int col, int row) const { return data_.GetElem(col, row); }
    void SetElem(int col, int row, QStringView value) { data_.SetElem(col, row, value); }
    QString GetColName(int col) const { return data_.GetColName(col); }
    void SetColName(int col, QStringView name) { data_.SetColName(col, name); }
    QString CommonHeader() const { return data_.CommonHeader(); }
    void SetCommonHeader(QStringView text) { data_.SetCommonHeader(text); }
    void Clear() { data_.Clear(); }
    void RemoveEmptyRows() { data_.RemoveEmptyRows(); }

    bool CommonHeaderVisible() const;
    void SetCommonHeaderVisible(bool visible);
    bool ColumnHeadersVisible() const;
    void SetColumnHeadersVisible(bool visible);
    int CommonHeaderHeight() const;
    void SetCommonHeaderHeight(int height);
    int ColumnHeadersHeight() const;
    void SetColumnHeadersHeight(int height);

    // Header rows shown (0 to 2) and rows of the whole grid, header rows and the one empty line of
    // an empty table included.
    int HeaderRowCount() const;
    int GridRowCount() const;

    // While true the table draws nothing and changes of the store cost no repaint; switching it
    // off brings the grid up to date and repaints once.
    bool SuppressPaint() const { return suppressPaint_; }
    void SetSuppressPaint(bool value);
    // While true, the grid learns of new rows and columns only when this is switched off again (or
    // a row position is asked for), while the table keeps painting what it shows: rows that
    // arrive faster than frames cost the grid one update per frame, not one per row.
    void SetDeferGridUpdates(bool value);

    // Data row shown at the top; setting it clamps to 1 to NrOfRows (1 without rows).
    int TopRow() const;
    void SetTopRow(int row);
    // Data rows fully visible at the current size and scroll position.
    int VisibleRowCount() const;

    int ColWidth(int col) const;
    void SetColWidth(int col, int width);
    // Width of column `col` := max(4, addon + widest cell text (and name) + 10); returns that
    // width, which is applied only when the column exists.
    int AutoColWidth(int col, bool includeHeader, int addon);

    // Reads the table from an XML table file (see RLXml.h) with painting suppressed, then sets
    // the grid to the store's size; true when the table was read to its end.
    bool LoadFromXMLFile(const QString& fileName, const QString& dataId);
    bool SaveToXMLFile(const QString& fileName) const { return data_.SaveToXMLFile(fileName); }

protected:
    void scrollContentsBy(int dx, int dy) override;
    void updateGeometries() override;

private:
    void syncNow() const;
    void alignTopRow();
    void updateCommonHeader();

    TRLData& data_;
    RLModel* model_;
    RLHeaderView* header_;
    bool suppressPaint_ = false;
    bool deferGrid_ = false;
};

} // namespace kv58
