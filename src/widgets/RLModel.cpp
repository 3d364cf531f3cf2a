#include "widgets/RLModel.h"

#include <algorithm>

namespace kv58 {

RLModel::RLModel(TRLData& store, QObject* parent)
    : QAbstractTableModel(parent), store_(store), rows_(std::max(store.NrOfRows(), 1)),
      cols_(store.NrOfColumns())
{
    store_.setListener(this);
}

RLModel::~RLModel()
{
    store_.setListener(nullptr);
}

int RLModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : rows_;
}

int RLModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : cols_;
}

QVariant RLModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    const int col = index.column() + 1;
    const int row = index.row() + 1;
    switch (role) {
    case Qt::DisplayRole:
        return store_.GetElem(col, row);
    case Qt::CheckStateRole:
        if (store_.ColumnIsCheckBox(col) && row <= store_.NrOfRows())
            return store_.ElemChecked(col, row) ? Qt::Checked : Qt::Unchecked;
        return {};
    default:
        return {};
    }
}

QVariant RLModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return store_.GetColName(section + 1);
    return section + 1;
}

Qt::ItemFlags RLModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemNeverHasChildren;
}

void RLModel::setDeferred(bool deferred)
{
    deferred_ = deferred;
    if (!deferred_ && stale_)
        sync();
}

void RLModel::sync()
{
    stale_ = false;
    const int cols = store_.NrOfColumns();
    const int rows = std::max(store_.NrOfRows(), 1);
    if (cols > cols_) {
        beginInsertColumns({}, cols_, cols - 1);
        cols_ = cols;
        endInsertColumns();
    } else if (cols < cols_) {
        beginRemoveColumns({}, cols, cols_ - 1);
        cols_ = cols;
        endRemoveColumns();
    }
    if (rows > rows_) {
        beginInsertRows({}, rows_, rows - 1);
        rows_ = rows;
        endInsertRows();
    } else if (rows < rows_) {
        beginRemoveRows({}, rows, rows_ - 1);
        rows_ = rows;
        endRemoveRows();
    }
    // Rows may have moved up or been emptied: everything shown may differ.
    emit dataChanged(index(0, 0), index(rows_ - 1, cols_ - 1));
    emit headerDataChanged(Qt::Horizontal, 0, cols_ - 1);
    emit commonHeaderChanged();
}

void RLModel::cellChanged(int col, int row)
{
    if (deferred_) {
        stale_ = true;
        return;
    }
    if (col >= 1 && col <= cols_ && row >= 1 && row <= rows_)
        emit dataChanged(index(row - 1, col - 1), index(row - 1, col - 1));
}

void RLModel::headerChanged()
{
    if (deferred_) {
        stale_ = true;
        return;
    }
    emit headerDataChanged(Qt::Horizontal, 0, cols_ - 1);
    emit commonHeaderChanged();
}

void RLModel::changed()
{
    if (deferred_)
        stale_ = true;
    else
        sync();
}

} // namespace kv58
