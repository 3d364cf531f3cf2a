// The "Measure" tab: the two dot-matrix channel lines and the seven-segment clock of live data.
#pragma once

#include <QWidget>

namespace kv58 {

class TRasterLab;
class TSevenSeg;

class MeasurePage : public QWidget {
    Q_OBJECT
public:
    explicit MeasurePage(QWidget* parent = nullptr);

    // Hides the live displays, repainting each at once.
    void hideLiveDisplays();

    TRasterLab* CHLab1;
    TRasterLab* CHLab2;
    TSevenSeg* ZeitDisplay;
};

} // namespace kv58
