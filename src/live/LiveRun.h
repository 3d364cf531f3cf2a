// Live processing: what a run start, a measurement line and a run end do to the measurement (table
// rows with the running dose, chart points, the window) and what the displays are to show. Plain
// logic: the window applies the returned display texts to its widgets.
#pragma once

#include "core/Kanal.h"
#include "live/ChartFeed.h"

#include <QString>
#include <array>
#include <functional>
#include <optional>

namespace kv58 {

class Clock;
class Measurement;
class TRLData;

// What one measurement line asks of the displays and the table view.
struct LiveDisplay {
    std::optional<QString> channel1; // show CHLab1 with this text
    std::optional<QString> channel2; // show CHLab2 with this text
    std::optional<QString> clock;    // show the seven-segment clock with "hh:nn:ss"
    int row = 0;                     // the row the line appended (0: none)
    bool scroll = false;             // make `row` the last visible row
};

// Values read from the window when they are needed.
struct LiveSettings {
    int displayTime = 120; // seconds the chart window shows
    int interval = 20;     // the interval field's value in seconds (may be 0)
    double yMax = 200;     // the Y range fields
    double yMin = 0;
};

class LiveRun {
public:
    // `translate` turns the English texts of headers and column names into the language in force.
    LiveRun(Measurement& measurement, const Clock& clock, std::function<QString(const char*)> translate);

    // A run of `kind` started; `bothSensors`: both channel information tabs are shown. Irradiation
    // and transmission runs anchor the chart window at their own first line; other kinds than 1 to 3
    // change nothing.
    void start(int kind, bool bothSensors, const LiveSettings& settings);

    // Complete lines only (the decoder's stores into the channel records are done).
    LiveDisplay irradiation(const Kanal& kanal1, const Kanal& kanal2, TDateTime timeOfDay,
                            const LiveSettings& settings);
    LiveDisplay transmission(const Kanal& kanal1, const Kanal& kanal2, const LiveSettings& settings);
    // The table gets 4 columns as soon as a relation line is known, before its fields are read.
    void relationLineArrived();
    LiveDisplay relation(const Kanal& kanal1, const LiveSettings& settings);

    TDateTime zeit() const { return zeit_; }
    void setZeit(TDateTime t) { zeit_ = t; }
    TDateTime startTime() const { return startTime_; }
    void setStartTime(TDateTime t) { startTime_ = t; }
    ChartFeed& chart() { return feed_; }

private:
    Measurement& measurement_;
    const Clock& clock_;
    std::function<QString(const char*)> translate_;
    ChartFeed feed_;
    TDateTime zeit_ = 0;           // time of the current sample
    TDateTime startTime_ = 0;      // the run's first sample; 0 until anchored
    TDateTime lastTimeOfDay_ = -1; // the instrument's previous time of day in this run
    // Irradiation samples after the first are timed by the instrument's clock: the first sample's
    // time plus the whole seconds its time of day has advanced since, sample by sample.
    TDateTime timeBase_ = 0;
    long long elapsedSeconds_ = 0;
    // Date the numbered samples of transmission and relation runs count from: the date of the
    // run's first such line, so that the PC's midnight does not make the curve jump a day.
    std::optional<TDateTime> numberDate_;
    bool relationAnchored_ = false; // the chart window follows this relation run
    // Last dose written per channel in this run, carried over rows that lack the channel.
    std::array<double, 2> lastDose_{};

    TRLData& table();
    QString tr(const char* english) const;
    void nameColumn(int col, const QString& name);
    TDateTime today() const;
    TDateTime numberedTime(int row, TDateTime date);
    bool writeDose(int channel, int row, double seconds, double& value);
};

} // namespace kv58
