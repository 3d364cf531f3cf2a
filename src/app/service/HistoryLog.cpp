#include "app/service/HistoryLog.h"

#include "app/shell/OncePerFrame.h"

#include <QAbstractTableModel>
#include <QFontMetrics>
#include <QHeaderView>
#include <vector>

namespace kv58 {

// The log's lines; they are only ever appended or cleared all at once.
class HistoryModel final : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : static_cast<int>(lines_.size());
    }
    int columnCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : 1; }
    QVariant data(const QModelIndex& index, int role) const override
    {
        if (role != Qt::DisplayRole && role != Qt::AccessibleTextRole)
            return {};
        if (!index.isValid() || index.row() >= rowCount())
            return {};
        return lines_[static_cast<std::size_t>(index.row())];
    }

    void append(const QString& line)
    {
        const int row = rowCount();
        beginInsertRows({}, row, row);
        lines_.push_back(line);
        endInsertRows();
    }
    void clear()
    {
        beginResetModel();
        lines_.clear();
        lines_.shrink_to_fit();
        endResetModel();
    }
    const std::vector<QString>& lines() const { return lines_; }

private:
    std::vector<QString> lines_;
};

HistoryLog::HistoryLog(QWidget* parent)
    : QTableView(parent), lines_(new HistoryModel(this)),
      scroll_(new OncePerFrame([this] { scrollToBottom(); }, this))
{
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setPixelSize(13);
    setFont(font);
    setModel(lines_);
    horizontalHeader()->hide();
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(QFontMetrics(font).height() + 2);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    setColumnWidth(0, 0);
    setShowGrid(false);
    setWordWrap(false);
    setTextElideMode(Qt::ElideNone);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
}

void HistoryLog::AddToHistory(const QString& line)
{
    const int width = QFontMetrics(font()).horizontalAdvance(line) + 16;
    if (extent_ < width) {
        extent_ = width;
        setColumnWidth(0, extent_);
    }
    lines_->append(line);
    scroll_->request();
}

void HistoryLog::clearLog()
{
    lines_->clear();
    extent_ = 0;
    setColumnWidth(0, 0);
}

int HistoryLog::count() const
{
    return lines_->rowCount();
}

QStringList HistoryLog::lines() const
{
    QStringList out;
    out.reserve(count());
    for (const QString& line : lines_->lines())
        out << line;
    return out;
}

} // namespace kv58
