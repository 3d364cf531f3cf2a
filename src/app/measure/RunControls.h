// The run controls of the "Device control" tab: the start box (run buttons and Stop), the system box
// (interval, gain control, units) and the measure box (Offset, 100%, SWAP), with `Timer2`, which
// shows the start and system boxes 3.5 s after the instrument reported its customer. Only the
// instrument's replies and the timer move the controls; the buttons only send.
#pragma once

#include "live/RunControlState.h"

#include <QWidget>
#include <functional>

class QButtonGroup;
class QGroupBox;
class QPushButton;
class QTimer;

namespace kv58 {

class TNumIO;

class RunControls : public QWidget {
    Q_OBJECT
public:
    using Sender = std::function<void(const QString&)>;

    RunControls(Sender send, int readyDelayMs, QWidget* parent = nullptr);

    RunControlPhase phase() const { return state_.phase(); }

    // Transitions, from the replies and the device search.
    void instrumentGone();
    void switchedOff();
    void poweredOn();
    // "CUSTOMER:" arrived: the start and system boxes follow after the delay (`Timer2`).
    void customerReported();
    void runStarted(int kind);
    void runEnded();

    // Replies that write back the instrument's settings; they do not send again.
    void showGain(int item);
    void showUnit(int item);
    void showInterval(long long seconds);

    // The interval field's value in seconds (0 when the field holds exactly 0).
    int interval() const;

signals:
    // A run button was pressed (`MeasureMode` records the kind asked for).
    void runRequested(int kind);
    // The controls entered another phase.
    void phaseChanged(kv58::RunControlPhase phase);
    // `Timer2` fired: the "Device control" page comes to the front.
    void readyShown();

private:
    void apply();
    void readyTimerFired();

    Sender send_;
    RunControlState state_;
    QTimer* Timer2 = nullptr; // 3500 ms after "CUSTOMER:": shows the start and system boxes

    QGroupBox* StartBox = nullptr;
    QPushButton* IrrRunButton = nullptr;
    QPushButton* TransRunButton = nullptr;
    QPushButton* RelRunButton = nullptr;
    QPushButton* StopButton = nullptr;

    QGroupBox* SystemBox = nullptr;
    QPushButton* ButIntervall = nullptr;
    TNumIO* IntervallIO = nullptr;
    QGroupBox* GainGroup = nullptr;
    QButtonGroup* GainButtons = nullptr; // ids 0 "off", 1 "on"
    QGroupBox* UnitGroup1 = nullptr;
    QButtonGroup* UnitButtons = nullptr; // ids 0 "W/m²", 1 "mW/cm² "

    QGroupBox* MeasureBox = nullptr;
    QPushButton* Button100 = nullptr;
    QPushButton* OffButton = nullptr;
    QPushButton* SwapButton = nullptr;
};

} // namespace kv58
