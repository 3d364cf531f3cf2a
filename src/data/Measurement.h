// The one measurement the program shows: who measured (instrument and sensors), what kind of run
// at which interval, the table of samples and the curves drawn from them. Live lines, a loaded
// file and the recorder fill or read this object; the table and chart widgets only observe it.
#pragma once

#include "core/MeasureMode.h"
#include "data/ChartModel.h"
#include "data/MeasurementInfo.h"
#include "data/RLData.h"

#include <QObject>
#include <array>

namespace kv58 {

class Measurement : public QObject {
    Q_OBJECT
public:
    explicit Measurement(QObject* parent = nullptr);

    // The measurement table: one row per sample (the report table's store).
    TRLData& table() { return table_; }
    const TRLData& table() const { return table_; }
    // The curves of the samples with their time and value ranges.
    ChartModel& chart() { return chart_; }
    const ChartModel& chart() const { return chart_; }

    const InstrumentInfo& instrument() const { return instrument_; }
    void setInstrument(const InstrumentInfo& info);
    // Channel 1 or 2.
    const SensorInfo& sensor(int channel) const;
    void setSensor(int channel, const SensorInfo& info);

    // Kind of the run the table holds: NoMeasurement, Irradiation, Transmission or Relation.
    int runKind() const { return runKind_; }
    void setRunKind(int kind);

    // `DataFileName`: the file the measurement was last saved to or loaded from; empty if none.
    QString fileName() const { return fileName_; }
    void setFileName(const QString& name) { fileName_ = name; }

signals:
    void instrumentChanged();
    void sensorChanged(int channel);
    void runKindChanged(int kind);

private:
    TRLData table_;
    ChartModel chart_;
    InstrumentInfo instrument_;
    std::array<SensorInfo, 2> sensors_;
    int runKind_ = NoMeasurement;
    QString fileName_;
};

} // namespace kv58
