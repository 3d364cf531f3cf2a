// Which KV58 the program works with: on every change of the attached HID devices it resets the
// window when the current instrument is gone, asks the attached instruments whether another host
// uses them, takes one into use (by itself when exactly one is free, else from the list the user
// picks from), and owns the power button.
//
// The search waits for answers without blocking the UI thread: each pass is a timer step, so the
// instrument's answer, other timers and user actions are handled between passes as usual. Device
// changes that arrive during a search are handled once it has ended.
#pragma once

#include "app/shell/Pacing.h"
#include "protocol/Messages.h"

#include <QObject>
#include <QSet>
#include <QString>

class QTimer;

namespace kv58 {

class DeviceLink;
class DevicePage;
class InstrumentSession;
class THidDevice;
class THidDeviceController;
class UsePoll;

inline constexpr int kKv58VendorId = 0x2047;
inline constexpr int kKv58ProductId = 0xFFE5;

class DeviceSelection : public QObject {
    Q_OBJECT
public:
    DeviceSelection(THidDeviceController& controller, InstrumentSession& session, DeviceLink& link,
                    DevicePage& page, UsePoll& usePoll, Pacing pacing, QObject* parent = nullptr);

    // Handler of the controller's device-change notification.
    void HidCtlDeviceChange();
    // Handler of a pick in the instrument list.
    void KV58_AuswahlBoxClick();
    // A "USE:" answer: "YES" marks the queried instrument as in use elsewhere, any other answer
    // frees it while the search waits for one.
    void useAnswered(const UseReply& reply);
    void PowerButtonClick();
    void PowerOff();

    // The product string, or "Device VID=xxxx PID=xxxx", followed by " (#serial)" when there is one.
    static QString DeviceName(const THidDevice& device);

    bool isSearching() const { return phase_ != Phase::Idle; }
    bool DeviceInUse() const { return deviceInUse_; }
    bool UseReplyPending() const { return useReplyPending_; }

signals:
    // The current instrument was unplugged and checked in; the window resets its pages.
    void instrumentUnplugged();
    // An instrument was taken into use (before "SetUse:YES!" goes out).
    void instrumentTakenIntoUse(kv58::THidDevice* device);
    // The power button switched the instrument off: the run controls go to "Off" and the "Measure"
    // page comes to the front.
    void switchedOffByUser();

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

    void beginUseQuery();
    void checkInCurrent();

    THidDeviceController& controller_;
    InstrumentSession& session_;
    DeviceLink& link_;
    DevicePage& page_;
    UsePoll& usePoll_;
    Pacing pacing_;

    QTimer* stepTimer_;
    Phase phase_ = Phase::Idle;
    int pass_ = 0;
    QString queriedName_;
    QSet<THidDevice*> visited_;
    bool changePending_ = false;
    bool deviceInUse_ = false;     // `DeviceInUse`: the queried instrument is used by another host
    bool useReplyPending_ = false; // `UseReplyPending`: the search waits for a "USE:" answer
};

} // namespace kv58
