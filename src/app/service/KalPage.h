// The service tab "Kalibrierung": per channel the calibration factor and the sensor offset as the
// instrument reports them (the buttons that send them belong to the calibration functions).
#pragma once

#include <QWidget>

namespace kv58 {

class TNumIO;

class KalPage : public QWidget {
    Q_OBJECT
public:
    explicit KalPage(QWidget* parent = nullptr);

    // "SensorOffset:" of channel 1 or 2: the offset field shows `text`.
    void showOffset(int channel, const QString& text);
    // The channel's sensor was removed: factor and offset fields go to 0.
    void sensorRemoved(int channel);
    QString factorText(int channel) const;
    QString offsetText(int channel) const;

private:
    TNumIO* CH1KalValue = nullptr;
    TNumIO* CH2KalValue = nullptr;
    TNumIO* CH1Offset = nullptr;
    TNumIO* CH2Offset = nullptr;
};

} // namespace kv58
