// Which KV58 the program works with: on every change of the attached HID devices it resets the
// window when the current instrument is gone, asks the attached instruments whether another host
// uses them, takes one into use (by itself when exactly one is free, else from the list the user
// picks from), and owns the power button.
//
// The search waits for answers without blocking the UI thread: each pass is a timer step, so the
// instrument's answer, other timers and user actions are handled between passes as usual. Device
// changes that arrive during a search are handled once it has ended.
#pragma once

#include "app/Pacing.h"

#include <QObject>
#include <QSet>
#include <QString>

class QTimer;

namespace kv58 {

class DeviceLink;
class DevicePage;
class THidDevice;
class THidDeviceController;
struct AppState;

inline constexpr int kKv58VendorId = 0x2047;
inline constexpr int kKv58ProductId = 0xFFE5;

class DeviceSelection : public QObject {
    Q_OBJECT
public:
    DeviceSelection(THidDeviceController& controller, AppState& state, DeviceLink& link, DevicePage& page,
                    QTimer& useTimer, Pacing pacing, QObject* parent = nullptr);

    // Handler of the controller's device-change notification.
    void HidCtlDeviceChange();
    // Handler of a click on the instrument list.
    void KV58_AuswahlBoxClick();
    void PowerButtonClick();
    void PowerOff();

    // The product string, or "Device VID=xxxx PID=xxxx", followed by " (#serial)" when there is one.
    static QString DeviceName(const THidDevice& device);

    bool isSearching() const { return phase_ != Phase::Idle; }

signals:
    // The current instrument was unplugged and checked in; the window resets its pages.
    void instrumentUnplugged();
    // An instrument was taken into use (before "SetUse:YES!" goes out).
    void instrumentTakenIntoUse(kv58::THidDevice* device);
    // The power button switched the instrument off: the "Measure" page comes to the front.
    void measurePageWanted();

private:
    enum class Phase { Idle, SingleSettle, SingleQuery, ListQuery };

    void startSingle();
    void singleSettled();
    void singlePass();
    void finishSingle();
    void startList();
    void queryNextListed();
    void listPass();
    void finishListed();
    void endList();
    void takeIntoUse(THidDevice* device);
    void releaseListed(THidDevice* keep);
    void endSearch();
    void step();
    void waitThen(int nominalMs, Phase phase);
    bool currentStillPlugged() const;

    THidDeviceController& controller_;
    AppState& state_;
    DeviceLink& link_;
    DevicePage& page_;
    QTimer& useTimer_;
    Pacing pacing_;

    QTimer* stepTimer_;
    Phase phase_ = Phase::Idle;
    int pass_ = 0;
    QString queriedName_;
    QSet<THidDevice*> visited_;
    bool changePending_ = false;
};

} // namespace kv58
