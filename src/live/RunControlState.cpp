#include "live/RunControlState.h"

#include "core/MeasureMode.h"

namespace kv58 {

RunControlVisibility RunControlState::visibility() const
{
    RunControlVisibility v;
    switch (phase_) {
    case RunControlPhase::NoInstrument:
    case RunControlPhase::Off:
        break;
    case RunControlPhase::PoweringOn:
        v = inRun_;
        v.runButtons = true;
        break;
    case RunControlPhase::Ready:
        v.startBox = true;
        v.runButtons = true;
        v.systemBox = true;
        break;
    case RunControlPhase::Running:
        v = inRun_;
        v.startBox = true;
        v.stopButton = true;
        v.measureBox = true;
        break;
    }
    return v;
}

void RunControlState::instrumentGone()
{
    phase_ = RunControlPhase::NoInstrument;
    runKind_ = 0;
    inRun_ = {};
}

void RunControlState::switchedOff()
{
    phase_ = RunControlPhase::Off;
    runKind_ = 0;
    inRun_ = {};
}

void RunControlState::poweredOn()
{
    phase_ = RunControlPhase::PoweringOn;
    runKind_ = 0;
}

void RunControlState::readyTimerFired()
{
    // The timer is started while the instrument powers on. If the instrument went off or away, or
    // started a run from its own keys in the meantime, the start controls must not appear.
    if (phase_ != RunControlPhase::PoweringOn)
        return;
    phase_ = RunControlPhase::Ready;
    inRun_ = {};
}

void RunControlState::runStarted(int kind)
{
    phase_ = RunControlPhase::Running;
    runKind_ = kind;
    inRun_ = {};
    inRun_.offsetButton = kind == Irradiation;
    inRun_.button100 = kind == Transmission || kind == Relation;
    inRun_.swapButton = kind == Relation;
}

void RunControlState::runEnded()
{
    phase_ = RunControlPhase::Ready;
    runKind_ = 0;
    inRun_ = {};
}

} // namespace kv58
