// Which run controls the "Device control" page shows at which moment. Only the instrument's
// replies and the timers move it; the page applies `visibility()` to its widgets.
#pragma once

namespace kv58 {

enum class RunControlPhase { NoInstrument, Off, PoweringOn, Ready, Running };

struct RunControlVisibility {
    bool startBox = false;
    bool runButtons = false; // Irradiation, Transmission, Relation
    bool stopButton = false;
    bool systemBox = false;
    bool measureBox = false;
    bool offsetButton = false; // irradiation runs
    bool button100 = false;    // transmission and relation runs
    bool swapButton = false;   // relation runs
    friend bool operator==(const RunControlVisibility&, const RunControlVisibility&) = default;
};

class RunControlState {
public:
    RunControlPhase phase() const { return phase_; }
    // The kind of the run in progress (1 irradiation, 2 transmission, 3 relation); 0 outside a run.
    int runKind() const { return runKind_; }
    RunControlVisibility visibility() const;

    void instrumentGone();     // unplugged: No instrument
    void switchedOff();        // taken into use, power button while on, "KV58 IS OFF": Off
    void poweredOn();          // "POWER IS ON": Powering on
    void readyTimerFired();    // Timer2: Ready, only while powering on
    void runStarted(int kind); // "... STARTED": Running
    void runEnded();           // "MEASUREMENT STOPPED", "SENSOR LOST" once its box is closed: Ready

private:
    RunControlPhase phase_ = RunControlPhase::NoInstrument;
    int runKind_ = 0;
    // In-run buttons keep what they showed while powering on (they are not touched then).
    RunControlVisibility inRun_;
};

} // namespace kv58
