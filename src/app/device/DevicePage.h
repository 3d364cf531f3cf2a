// The "Device control" tab: the power button, the run controls' place, the four state labels and
// the list of instruments to pick from. It owns these widgets and offers what device selection
// needs as operations and signals.
#pragma once

#include <QWidget>

class QLabel;
class QListWidget;
class QPushButton;

namespace kv58 {

class THidDevice;

class DevicePage : public QWidget {
    Q_OBJECT
public:
    // The labels that tell the instrument's state; they share one place and at most one shows.
    enum class StateLabel { None, NoInstrument, Searching, Off, Select };

    explicit DevicePage(QWidget* parent = nullptr);

    // Puts the run controls (start, system and measure boxes) below the power button.
    void setRunControls(QWidget* controls);

    void showStateLabel(StateLabel label);
    StateLabel stateLabel() const { return shownLabel_; }

    void setPowerButtonShown(bool shown);

    // The instrument list.
    void clearInstruments();
    void addInstrument(const QString& name, THidDevice* device);
    int instrumentCount() const;
    THidDevice* instrumentAt(int index) const;
    // The entry the user picked, or none.
    THidDevice* pickedInstrument() const;
    void setInstrumentListShown(bool shown);

signals:
    void powerClicked();
    void instrumentPicked();

private:
    QPushButton* PowerButton = nullptr;
    QLabel* NoKVLabel = nullptr;
    QLabel* SearchKVLabel = nullptr;
    QLabel* KVOffLabel = nullptr;
    QLabel* SelectKVLabel = nullptr;
    QListWidget* KV58_AuswahlBox = nullptr;
    QWidget* runControlsPlace_ = nullptr;
    StateLabel shownLabel_ = StateLabel::None;
};

} // namespace kv58
