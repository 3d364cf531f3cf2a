// The report table's store as a Qt table model: grid column j shows data column j + 1, grid row i
// data row i + 1, and an empty table still has one empty line. While painting is suppressed the
// model only notes that the store changed and tells the view once, when painting resumes.
#pragma once

#include "data/RLData.h"

#include <QAbstractTableModel>

namespace kv58 {

// Header rows above the data: the common header row and the column header row, when visible.
constexpr int rlHeaderRowCount(bool commonHeaderVisible, bool columnHeadersVisible)
{
    return (commonHeaderVisible ? 1 : 0) + (columnHeadersVisible ? 1 : 0);
}
// Rows of the whole grid, header rows included: at least one data line is always there.
constexpr int rlGridRowCount(int headerRows, int nrOfRows)
{
    return headerRows + (nrOfRows > 1 ? nrOfRows : 1);
}
// Grid row (0-based, header rows first) of data row r.
constexpr int rlGridRowOfDataRow(int headerRows, int row)
{
    return headerRows + row - 1;
}

class RLModel : public QAbstractTableModel, private TRLData::Listener {
    Q_OBJECT
public:
    explicit RLModel(TRLData& store, QObject* parent = nullptr);
    ~RLModel() override;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // While deferred, changes of the store are only noted; sync() brings the view up to date.
    void setDeferred(bool deferred);
    bool deferred() const { return deferred_; }
    // Makes the model's row and column counts those of the store and repaints everything.
    void sync();
    // sync() when the store changed since the last one.
    void flush()
    {
        if (stale_)
            sync();
    }

signals:
    void commonHeaderChanged();

private:
    void cellChanged(int col, int row) override;
    void headerChanged() override;
    void changed() override;

    TRLData& store_;
    int rows_ = 1;
    int cols_ = 0;
    bool deferred_ = false;
    bool stale_ = false;
};

} // namespace kv58
