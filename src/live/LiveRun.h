// Live processing: what a run start, a measurement line and a run end do to the measurement (table
// rows with the running dose, chart points, the window) and what the displays are to show. Plain
// logic: the window applies the returned display texts to its widgets.
#pragma once

#include "core/Kanal.h"
#include "live/ChartFeed.h"

#include <QString>

#include <functional>
#include <optional>

namespace kv58 {

class Clock;
class Measurement;

// What one measurement line asks of the displays and the table view.
struct LiveDisplay {
    std::optional<QString> channel1;  // show CHLab1 with this text
    std::optional<QString> channel2;  // show CHLab2 with this text
    std::optional<QString> clock;     // show the seven-segment clock with "hh:nn:ss"
    int row = 0;                      // the row the line appended (0: none)
    bool scroll = false;              // make `row` the last visible row
};

// Values read from the window when they are needed.
struct LiveSettings {
    int displayTime = 120;   // seconds the chart window shows
    int interval = 20;       // the interval field's value in seconds (may be 0)
    double yMax = 200;       // the Y range fields
    double yMin = 0;
};

class LiveRun {
public:
    // `translate` turns the English texts of headers and column names into the language in force.
    LiveRun(Measurement& measurement, const Clock& clock, std::function<QString(const char*)> translate);

    // A run of `kind` started; `bothSensors`: both channel information tabs are shown.
    void start(int kind, bool bothSensors, const LiveSettings& settings);

    // Complete lines only (the decoder's stores into the channel records are done).
    LiveDisplay irradiation(const Kanal& kanal1, const Kanal& kanal2, TDateTime timeOfDay,
                            const LiveSettings& settings);
    LiveDisplay transmission(const Kanal& kanal1, const Kanal& kanal2, const LiveSettings& settings);
    // The table gets 4 columns as soon as a relation line is known, before its fields are read.
    void relationLineArrived();
    LiveDisplay relation(const Kanal& kanal1, const LiveSettings& settings);

    TDateTime zeit() const { return zeit_; }
    TDateTime startTime() const { return startTime_; }
    void setStartTime(TDateTime t) { startTime_ = t; }
    ChartFeed& chart() { return feed_; }

private:
    Measurement& measurement_;
    const Clock& clock_;
    std::function<QString(const char*)> translate_;
    ChartFeed feed_;
    TDateTime zeit_ = 0;       // time of the current sample
    TDateTime startTime_ = 0;  // the run's first sample; 0 until anchored
    TDateTime lastTimeOfDay_ = -1; // the instrument's previous time of day in this run
};

} // namespace kv58
