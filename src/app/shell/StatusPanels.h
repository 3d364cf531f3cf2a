// The status bar's three panels: the connection text, the USB serial of the instrument in use and
// the instrument's own serial number.
#pragma once

#include <QObject>
#include <QString>

class QLabel;
class QStatusBar;

namespace kv58 {

class StatusPanels : public QObject {
    Q_OBJECT
public:
    explicit StatusPanels(QStatusBar& bar, QObject* parent = nullptr);

    void setConnection(const QString& text);
    void setUsbSerial(const QString& text);
    void setInstrumentSerial(const QString& text);
    void clear();

    QString text(int panel) const;

private:
    QLabel* StatusPanel[3] = {};
};

} // namespace kv58
