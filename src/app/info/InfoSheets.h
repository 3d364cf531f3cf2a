// The information sheets of the device panel: "KV58 Info" with what the instrument reports about
// itself and one sheet per sensor channel. Each shows a record of the measurement model.
#pragma once

#include "data/MeasurementInfo.h"

#include <QWidget>

class QLabel;

namespace kv58 {

class TNumLab;

class InstrumentInfoSheet : public QWidget {
    Q_OBJECT
public:
    explicit InstrumentInfoSheet(QWidget* parent = nullptr);
    void show(const InstrumentInfo& info);

private:
    QLabel* SerialLabel2;
    QLabel* CustomerLabel;
    QLabel* ProductionDateLabel;
    QLabel* CalDateLabel;
};

class ChannelInfoSheet : public QWidget {
    Q_OBJECT
public:
    // `prefix` names the labels: "CH1" or "CH2".
    ChannelInfoSheet(const QString& prefix, QWidget* parent = nullptr);
    void show(const SensorInfo& info);

private:
    QLabel* Type;
    QLabel* LoLab;
    QLabel* HiLab;
    QLabel* ProdDate;
    QLabel* CalDate;
    QLabel* Customer;
    QLabel* Serial;
    TNumLab* CalLabel; // calibration factor, fixed point with 2 decimals
    QLabel* SensOff;   // sensor offset
};

} // namespace kv58
