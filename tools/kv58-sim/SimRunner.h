// Puts the virtual instrument on the bus and drives it: host reports in, lines out at their time,
// operator actions from standard input, a clean exit on SIGINT and SIGTERM.
#pragma once

#include "Kv58Instrument.h"
#include "SimOptions.h"
#include "link/VirtualBusDevice.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <memory>

class QSocketNotifier;

namespace kv58::sim {

class SimRunner : public QObject {
    Q_OBJECT
public:
    explicit SimRunner(SimOptions options, QObject* parent = nullptr);
    ~SimRunner() override;

    // Attaches to the bus; false with `error` set when the stem is taken or the bus unusable.
    bool start(QString* error);

private:
    std::int64_t now() const { return elapsed_.elapsed(); }
    void onOutputReport(int connection, const QByteArray& report);
    void flush();
    void readOperator();
    void operatorCommand(const QString& line);
    void log(const QString& text) const;

    SimOptions options_;
    QElapsedTimer elapsed_;
    Kv58Instrument instrument_;
    VirtualBusDevice bus_;
    QTimer due_;
    QSocketNotifier* stdin_ = nullptr;
    QSocketNotifier* signals_ = nullptr;
    QByteArray operatorInput_;
};

} // namespace kv58::sim
