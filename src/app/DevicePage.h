// The "Device control" tab: power button, run controls, system settings, the four state labels
// and the instrument list. It only builds and arranges the controls; behaviour lives elsewhere.
#pragma once

#include <QWidget>

class QButtonGroup;
class QGroupBox;
class QLabel;
class QListWidget;
class QPushButton;
class QRadioButton;
class QLineEdit;

namespace kv58 {

class TNumIO;

class DevicePage : public QWidget {
    Q_OBJECT
public:
    explicit DevicePage(QWidget* parent = nullptr);

    // The four labels share one place; at most one is visible. nullptr hides all four.
    void showStateLabel(QLabel* label);

    QPushButton* PowerButton;

    QGroupBox* StartBox;
    QPushButton* IrrRunButton;
    QPushButton* TransRunButton;
    QPushButton* RelRunButton;
    QPushButton* StopButton;

    QGroupBox* SystemBox;
    QPushButton* ButIntervall;
    TNumIO* IntervallIO;
    QGroupBox* GainGroup;
    QButtonGroup* GainButtons; // ids 0 "off", 1 "on"
    QGroupBox* UnitGroup1;
    QButtonGroup* UnitButtons; // ids 0 "W/m²", 1 "mW/cm² "

    QGroupBox* MeasureBox;
    QPushButton* Button100;
    QPushButton* OffButton;
    QPushButton* SwapButton;

    QLabel* NoKVLabel;
    QLabel* SearchKVLabel;
    QLabel* KVOffLabel;
    QLabel* SelectKVLabel;

    QListWidget* KV58_AuswahlBox;
};

} // namespace kv58
