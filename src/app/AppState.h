// The program's shared state: what the instrument reported, what the discovery waits for, the
// current channel records and times. Owned by the main window, used on the UI thread only.
#pragma once

#include "core/DateTime.h"
#include "core/Kanal.h"
#include "core/MeasureMode.h"

#include <QString>

namespace kv58 {

class THidDevice;

struct AppState {
    THidDevice* CurrentDevice = nullptr; // the instrument in use, or none

    bool PowerOn = false;         // the instrument reported that it is switched on
    bool TransferAll = false;     // the identity chain runs
    bool DeviceInUse = false;     // the queried instrument answered that another host uses it
    bool UseReplyPending = false; // discovery waits for an answer to "InUse!"
    int MeasureMode = NoMeasurement;

    Kanal Kanal1;
    Kanal Kanal2;
    TDateTime Zeit = 0;        // time of the current sample
    TDateTime OldDateTime = 0; // time of the previous charted sample
    TDateTime StartTime = 0;   // time of the run's first sample; 0 until anchored

    QString FirmwareVersion;
    QString HardwareVersion;

    bool RTCWait = false;    // a clock calibration run waits for the instrument's clock
    TDateTime RTCStart = 0;  // when the instrument's clock was last set from the PC
    TDateTime RTCDevice = 0; // instrument time at the end of a calibration run
    TDateTime RTCHost = 0;   // PC time when that answer arrived

    QString DataFileName;
};

} // namespace kv58
