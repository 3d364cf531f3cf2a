#include "widgets/RLHeaderView.h"

#include <QPainter>
#include <QStyleOptionHeader>
#include <algorithm>

namespace kv58 {

RLHeaderView::RLHeaderView(QWidget* parent) : QHeaderView(Qt::Horizontal, parent)
{
    setSectionsClickable(false);
    setHighlightSections(false);
    setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

void RLHeaderView::setCommonHeaderText(const QString& text)
{
    if (text == commonText_)
        return;
    commonText_ = text;
    viewport()->update();
}

void RLHeaderView::setCommonHeaderVisible(bool visible)
{
    if (visible == comHdVis_)
        return;
    comHdVis_ = visible;
    heightsChanged();
}

void RLHeaderView::setColumnHeadersVisible(bool visible)
{
    if (visible == colHdVis_)
        return;
    colHdVis_ = visible;
    heightsChanged();
}

void RLHeaderView::setCommonHeaderHeight(int height)
{
    comHdHgt_ = std::clamp(height, 8, 127);
    heightsChanged();
}

void RLHeaderView::setColumnHeadersHeight(int height)
{
    colHdHgt_ = std::clamp(height, 8, 127);
    heightsChanged();
}

int RLHeaderView::totalHeight() const
{
    return (comHdVis_ ? comHdHgt_ : 0) + (colHdVis_ ? colHdHgt_ : 0);
}

QSize RLHeaderView::sizeHint() const
{
    return {QHeaderView::sizeHint().width(), totalHeight()};
}

QSize RLHeaderView::minimumSizeHint() const
{
    return {QHeaderView::minimumSizeHint().width(), totalHeight()};
}

void RLHeaderView::heightsChanged()
{
    setVisible(totalHeight() > 0);
    updateGeometry();
    // The table lays out its viewport below the header when the header reports new geometry.
    emit geometriesChanged();
    viewport()->update();
}

void RLHeaderView::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const
{
    if (!colHdVis_)
        return;
    // The column headers take the lower band; the common header is drawn above them.
    QRect lower = rect;
    lower.setTop(rect.bottom() - colHdHgt_ + 1);
    QHeaderView::paintSection(painter, lower, logicalIndex);
}

void RLHeaderView::paintEvent(QPaintEvent* event)
{
    QHeaderView::paintEvent(event);
    if (!comHdVis_)
        return;
    QPainter painter(viewport());
    QStyleOptionHeader option;
    initStyleOption(&option);
    option.rect = QRect(0, 0, viewport()->width(), comHdHgt_);
    option.section = 0;
    option.position = QStyleOptionHeader::OnlyOneSection;
    option.text = commonText_;
    option.textAlignment = Qt::AlignCenter;
    option.state |= QStyle::State_Enabled;
    style()->drawControl(QStyle::CE_Header, &option, &painter, this);
}

} // namespace kv58
