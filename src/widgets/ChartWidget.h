// TRChart: the x/y chart widget of the measurement window. It shows the line items of its
// ChartModel over a date/time X axis and a numeric Y axis, and repaints on ShowGraf and range changes.
#pragma once

#include "data/ChartModel.h"
#include "widgets/ChartRenderer.h"

#include <QColor>
#include <QWidget>

namespace kv58 {

class TRChart : public QWidget {
    Q_OBJECT
public:
    // A new chart is set up as the measurement window uses it: rims 50/20/20/40, white background,
    // silver grid lines, flying shadow, item blocks of 1000, time of day along X (range 0 to 1),
    // values along Y (range -1 to 21), labels in Tahoma 8 pt or the nearest sans-serif font.
    explicit TRChart(ChartModel& model, QWidget* parent = nullptr);

    // Appending never repaints; ShowGraf does.
    void MoveTo(double x, double y) { model_.MoveTo(x, y); }
    void DrawTo(double x, double y) { model_.DrawTo(x, y); }
    QColor DataColor() const { return toQColor(model_.DataColor()); }
    void setDataColor(const QColor& color) { model_.setDataColor(fromQColor(color)); }
    void RemoveFirstItem() { model_.RemoveFirstItem(); }
    void ClearGraf() { model_.ClearGraf(); }
    void ShowGraf();

    void SetRange(int layer, double loX, double loY, double hiX, double hiY)
    {
        model_.SetRange(layer, loX, loY, hiX, hiY);
    }
    TScaleProps& Scale1X() { return model_.Scale1X(); }
    TScaleProps& Scale1Y() { return model_.Scale1Y(); }

    int NumChartItems() const { return model_.NumChartItems(); }
    ChartModel& model() { return model_; }
    const ChartModel& model() const { return model_; }

    QSize sizeHint() const override { return {600, 400}; }
    QSize minimumSizeHint() const override { return {160, 120}; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void syncGeometry();

    ChartModel& model_; // not owned: the chart is a view of the measurement's curves
    ChartRenderer renderer_;
};

} // namespace kv58
