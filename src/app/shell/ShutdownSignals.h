// Turns SIGINT and SIGTERM into an orderly close of the main window, so that stopping the
// program from a terminal or logging out releases and switches off the instrument.
#pragma once

#include <QObject>

class QSocketNotifier;

namespace kv58 {

class ShutdownSignals : public QObject {
    Q_OBJECT
public:
    // Installs the handlers; only one instance may exist at a time.
    explicit ShutdownSignals(QObject* parent = nullptr);
    ~ShutdownSignals() override;

signals:
    // Emitted on the UI thread once per received signal.
    void shutdownRequested(int signalNumber);

private:
    void readSignal();

    QSocketNotifier* notifier_ = nullptr;
};

} // namespace kv58
