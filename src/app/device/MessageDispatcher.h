// Carries out what each received line means, in the order the program requires: the decoder takes
// the line apart, this class turns the message into operations of the parts that own each effect
// (session state, run controls, live measurement, information tabs, status bar, deferred commands).
#pragma once

#include "protocol/Messages.h"

#include <QObject>
#include <QStringList>

class QWidget;

namespace kv58 {

class DeferredCommands;
class DevicePage;
class DeviceSelection;
class InformationTabs;
class InstrumentSession;
class InternPage;
class KalPage;
class LiveMeasurement;
class Measurement;
class RefusalBoxes;
class RunControls;
class StatusPanels;
class UsePoll;
class ZeitPage;

// The parts a received line can act on.
struct DispatchTargets {
    InstrumentSession& session;
    DeferredCommands& jobs;
    DeviceSelection& selection;
    DevicePage& devicePage;
    UsePoll& usePoll;
    RunControls& runControls;
    LiveMeasurement& live;
    InformationTabs& infoTabs;
    StatusPanels& status;
    Measurement& measurement;
    InternPage& intern; // service fields the replies write
    ZeitPage& zeit;
    KalPage& kal;
    QWidget& window; // parent of the refusal boxes
};

class MessageDispatcher : public QObject {
    Q_OBJECT
public:
    explicit MessageDispatcher(DispatchTargets targets, QObject* parent = nullptr);

    // Decodes one received line and applies it; while held, the line waits its turn instead.
    void decode(const QString& line);

    // While the measurement is being replaced (a file is read) received lines are kept; release
    // applies them in the order they came. Holds nest.
    void hold();
    void release();

private:
    void applyLine(const QString& line);
    void apply(const UnrecognisedLine&) {}
    void apply(const IrradiationLine& line);
    void apply(const TransmissionLine& line);
    void apply(const RelationLine& line);
    void apply(const UseReply& reply);
    void apply(const ClockLine& line);
    void apply(const AckReply& reply);
    void apply(const NackReply& reply);
    void apply(const ChannelInfo& info);

    void switchedOn();
    void switchedOff();
    void runStarted(int kind);
    void runEnded();

    void refusalClosed(NackRow row);

    DispatchTargets t_;
    RefusalBoxes* refusals_;
    int holds_ = 0;
    bool draining_ = false;
    QStringList held_;
};

} // namespace kv58
