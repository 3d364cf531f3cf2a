// The "Graph" tab: the chart of the measurement's curves and the fields of its Y range with the
// "Set-Y" button.
#pragma once

#include <QWidget>

class QDoubleSpinBox;
class QPushButton;

namespace kv58 {

class ChartModel;
class TRChart;

class GraphPage : public QWidget {
    Q_OBJECT
public:
    GraphPage(ChartModel& chart, QWidget* parent = nullptr);

    double yMax() const;
    double yMin() const;
    // Puts values into the Y range fields (the chart's range follows at the next "Set-Y" or run).
    void setYRange(double max, double min);

    // `MinSpinExit`: the chart's Y range becomes that of the fields; X stays.
    void MinSpinExit();

private:
    ChartModel& chart_;
    TRChart* Chart = nullptr;
    QDoubleSpinBox* MaxSpin = nullptr;
    QDoubleSpinBox* MinSpin = nullptr;
    QPushButton* Button1 = nullptr; // "Set-Y"
};

} // namespace kv58
