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
    QLabel* SerialLabel2 = nullptr;
    QLabel* CustomerLabel = nullptr;
    QLabel* ProductionDateLabel = nullptr;
    QLabel* CalDateLabel = nullptr;
};

class ChannelInfoSheet : public QWidget {
    Q_OBJECT
public:
    // `prefix` names the labels: "CH1" or "CH2".
    ChannelInfoSheet(const QString& prefix, QWidget* parent = nullptr);
    void show(const SensorInfo& info);

private:
    QLabel* Type = nullptr;
    QLabel* LoLab = nullptr;
    QLabel* HiLab = nullptr;
    QLabel* ProdDate = nullptr;
    QLabel* CalDate = nullptr;
    QLabel* Customer = nullptr;
    QLabel* Serial = nullptr;
    TNumLab* CalLabel = nullptr; // calibration factor, fixed point with 2 decimals
    QLabel* SensOff = nullptr;   // sensor offset
};

} // namespace kv58
