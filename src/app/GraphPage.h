// The "Graph" tab: the live chart and the fields of its Y range.
#pragma once

#include <QWidget>

class QDoubleSpinBox;
class QPushButton;

namespace kv58 {

class TRChart;

class GraphPage : public QWidget {
    Q_OBJECT
public:
    explicit GraphPage(QWidget* parent = nullptr);

    TRChart* Chart;
    QDoubleSpinBox* MaxSpin;
    QDoubleSpinBox* MinSpin;
    QPushButton* Button1; // "Set-Y"
};

} // namespace kv58
