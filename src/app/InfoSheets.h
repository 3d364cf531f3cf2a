// The information tabs of the device panel: "KV58 Info" and one tab per sensor channel, holding
// the labels that show what the instrument and its sensors report about themselves.
#pragma once

#include <QWidget>

class QLabel;

namespace kv58 {

class TNumLab;

class InstrumentInfoSheet : public QWidget {
    Q_OBJECT
public:
    explicit InstrumentInfoSheet(QWidget* parent = nullptr);

    QLabel* SerialLabel2;
    QLabel* CustomerLabel;
    QLabel* ProductionDateLabel;
    QLabel* CalDateLabel;
};

class ChannelInfoSheet : public QWidget {
    Q_OBJECT
public:
    explicit ChannelInfoSheet(QWidget* parent = nullptr);

    // Empties the seven detail labels (type, range, dates, customer, serial).
    void clearDetails();

    QLabel* Type;
    QLabel* LoLab;
    QLabel* HiLab;
    QLabel* ProdDate;
    QLabel* CalDate;
    QLabel* Customer;
    QLabel* Serial;
    TNumLab* CalLabel;  // calibration factor, fixed point with 2 decimals
    QLabel* SensOff;    // sensor offset
};

} // namespace kv58
