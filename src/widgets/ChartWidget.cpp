#include "widgets/ChartWidget.h"

#include <QPaintEvent>
#include <QPainter>

namespace kv58 {

TRChart::TRChart(ChartModel& model, QWidget* parent) : QWidget(parent), model_(model)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    QFont labels;
    labels.setFamilies(
        {QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans"), QStringLiteral("Sans Serif")});
    labels.setPointSize(8);
    setFont(labels);
    model_.setAllocSize(1000);
    // Repaints are requested, not done at once: a file shown row by row paints once per event loop
    // turn, not once per row.
    model_.setRepaintHandler([this] { update(); });
    syncGeometry();
}

void TRChart::ShowGraf()
{
    if (isVisible())
        model_.ShowGraf();
}

void TRChart::syncGeometry()
{
    model_.setGeometry(width(), height(), devicePixelRatioF());
}

void TRChart::resizeEvent(QResizeEvent* event)
{
    syncGeometry();
    QWidget::resizeEvent(event);
}

void TRChart::paintEvent(QPaintEvent*)
{
    // The pixel ratio can change without a resize (moving to another screen).
    syncGeometry();
    QPainter painter(this);
    renderer_.paint(painter, model_, font());
}

} // namespace kv58
