// The live side of the "Measure", "Table" and "Graph" pages: the channel records `Kanal1` and
// `Kanal2`, and what each measurement line, run start, run end and switch-off does to the
// measurement and to the displays. The rules themselves are LiveRun's; this class feeds it the
// decoded lines and the window's current settings and shows what it returns.
#pragma once

#include "core/Kanal.h"
#include "live/LiveRun.h"
#include "protocol/Messages.h"

#include <QObject>
#include <functional>

namespace kv58 {

class Clock;
class Measurement;
class MeasurePage;
class TablePage;

class LiveMeasurement : public QObject {
    Q_OBJECT
public:
    // `settings` gives the window's interval, chart time and Y range at the moment they are needed.
    LiveMeasurement(Measurement& measurement, const Clock& clock, MeasurePage& displays, TablePage& table,
                    std::function<LiveSettings()> settings, QObject* parent = nullptr);

    void apply(const IrradiationLine& line);
    void apply(const TransmissionLine& line);
    void apply(const RelationLine& line);

    // A run of `kind` started; `bothSensors`: both channel tabs are shown.
    void runStarted(int kind, bool bothSensors);
    void runEnded();
    void switchedOff();

    const Kanal& Kanal1() const { return kanal1_; }
    const Kanal& Kanal2() const { return kanal2_; }
    LiveRun& run() { return run_; }

signals:
    // A measurement line arrived: the data are not saved (the caption gets its "*") and the
    // device page's state labels go.
    void lineArrived();
    // The "Measure" page comes to the front.
    void measurePageWanted();

private:
    void show(const LiveDisplay& display);

    Measurement& measurement_;
    MeasurePage& displays_;
    TablePage& table_;
    std::function<LiveSettings()> settings_;
    LiveRun run_;
    Kanal kanal1_;
    Kanal kanal2_;
    TDateTime zeit_ = 0; // the time of day of the latest irradiation line, as the decoder stores it
};

} // namespace kv58
