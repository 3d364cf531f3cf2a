// The deferred commands: a reply schedules a job number, and the job's command line goes out
// 200 ms later. One job is pending at a time; scheduling another replaces it.
#pragma once

#include "core/DateTime.h"

#include <QString>

namespace kv58 {

enum DeferredJob : int {
    JobNone = 0,
    JobGetSerial = 1,  // after "POWER IS ON"
    JobCalDateCh1 = 2, // after channel 1's factor or offset was acknowledged
    JobCalDateCh2 = 3, // the same for channel 2
    JobSetBuild = 4,   // identity chain, after "CUSTOMER:"
    JobGetFirm = 5,    // identity chain, after "BuildDate:"
    JobSetCalDate = 6, // identity chain, after "SERIAL"
    JobSetSerial = 7,  // identity chain, after "FIRMWARE"
    JobSetRtc = 8,     // after "SERIAL" outside the chain: set the instrument's clock
};

// What the jobs' lines are made of, taken at the moment the job runs.
struct DeferredJobInputs {
    TDateTime now = 0;       // local date and time: today's date (jobs 2, 3) and the clock (job 8)
    TDateTime buildDate = 0; // the production date picker (job 4)
    TDateTime calDate = 0;   // the calibration date picker (job 6)
    QString hardwareVersion; // the last reported hardware version (job 7)
    double serialNumber = 0; // the serial number field (job 7)
};

// The line job `job` sends; empty for a number that is no job, which sends nothing. Job 8 is the
// clock setting: whoever sends it also records `now` as the moment the clock was set.
QString deferredJobCommand(int job, const DeferredJobInputs& in);

} // namespace kv58
