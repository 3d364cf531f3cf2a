#include "app/service/HistoryLog.h"

#include <QFontMetrics>
#include <QStyledItemDelegate>

namespace kv58 {
namespace {

// Every row is as wide as the widest line seen since the last clear, so the list scrolls
// horizontally over that extent while keeping uniform rows, which stay cheap with huge logs.
class ExtentDelegate final : public QStyledItemDelegate {
public:
    ExtentDelegate(const int* extent, QObject* parent) : QStyledItemDelegate(parent), extent_(extent) {}
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const override
    {
        return {*extent_, option.fontMetrics.height() + 2};
    }

private:
    const int* extent_;
};

} // namespace

HistoryLog::HistoryLog(QWidget* parent) : QListWidget(parent)
{
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setPixelSize(13);
    setFont(font);
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setTextElideMode(Qt::ElideNone);
    setItemDelegate(new ExtentDelegate(&extent_, this));
}

void HistoryLog::AddToHistory(const QString& line)
{
    const int width = QFontMetrics(font()).horizontalAdvance(line) + 16;
    if (extent_ < width) {
        extent_ = width;
        scheduleDelayedItemsLayout();
    }
    addItem(line);
    setCurrentRow(count() - 1);
    scrollToBottom();
    clearSelection();
}

void HistoryLog::clearLog()
{
    clear();
    extent_ = 0;
    scheduleDelayedItemsLayout();
}

QStringList HistoryLog::lines() const
{
    QStringList out;
    out.reserve(count());
    for (int i = 0; i < count(); ++i)
        out << item(i)->text();
    return out;
}

} // namespace kv58
