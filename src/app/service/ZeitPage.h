// The service tab "Zeit": the clock memo `Memo2`, where the instrument's clock lines and its clock
// calibration register are logged (German, never translated).
#pragma once

#include <QWidget>

class QPlainTextEdit;

namespace kv58 {

class ZeitPage : public QWidget {
    Q_OBJECT
public:
    explicit ZeitPage(QWidget* parent = nullptr);

    // "RTC CAL" reply: its text and a line break.
    void logCalibrationRegister(const QString& payload);
    // "ZEIT:" line outside a calibration run: a line break and the whole line.
    void logClockLine(const QString& line);
    QString memo() const;

private:
    void append(const QString& text);
    QPlainTextEdit* Memo2 = nullptr;
};

} // namespace kv58
