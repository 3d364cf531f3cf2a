// Helpers of the link tests: a private virtual bus, bounded waits, and a host that speaks the bus
// contract with raw sockets.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>
#include <optional>

namespace kv58::test {

// A private XDG_RUNTIME_DIR for one test; the previous value comes back afterwards.
class PrivateRuntimeDir {
public:
    PrivateRuntimeDir();
    ~PrivateRuntimeDir();
    PrivateRuntimeDir(const PrivateRuntimeDir&) = delete;
    PrivateRuntimeDir& operator=(const PrivateRuntimeDir&) = delete;

    QString path() const { return dir_.path(); }
    QString busDir() const { return dir_.path() + QStringLiteral("/kv58-virtual"); }

private:
    QTemporaryDir dir_;
    std::optional<QByteArray> previous_;
};

// Processes events until `done` holds or `timeoutMs` passes; returns `done()`.
bool waitUntil(const std::function<bool()>& done, int timeoutMs = 5000);
// Processes events for `ms` (short pauses only).
void processEventsFor(int ms);

// A host written from the bus contract alone: 64-byte output reports with report ID 0x3F and a
// count byte; input reports read back as their text.
class RawHost {
public:
    RawHost() = default;
    ~RawHost();
    RawHost(const RawHost&) = delete;
    RawHost& operator=(const RawHost&) = delete;

    bool connectTo(const QString& socketPath);
    bool send(const QString& line);
    // The next line within `timeoutMs`, nullopt on timeout or when the device closed the connection.
    std::optional<QString> receive(int timeoutMs);
    // Lines until one starts with `prefix` (included), or nullopt when it does not come in time.
    std::optional<QStringList> receiveUntil(const QString& prefix, int timeoutMs);
    // True when the device closed the connection within `timeoutMs`.
    bool closedWithin(int timeoutMs);
    int lastReportSize() const { return lastSize_; }

private:
    int fd_ = -1;
    int lastSize_ = 0;
};

// A child program started with fork and exec, its standard streams on pipes. (QProcess shares this
// process's memory with the child until exec, which ThreadSanitizer cannot follow.)
class ChildProcess {
public:
    ChildProcess() = default;
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool start(const QString& program, const QStringList& arguments);
    bool isRunning();
    // The next line of standard output within `timeoutMs`.
    std::optional<QString> readLine(int timeoutMs);
    QByteArray readStandardError();
    bool write(const QByteArray& input);
    void terminate();
    // SIGKILL: the program ends without a chance to leave the bus.
    void kill();
    // The exit code once the child has ended within `timeoutMs`; nullopt otherwise or when a
    // signal ended it.
    std::optional<int> waitForExit(int timeoutMs);

private:
    int pid_ = -1;
    int status_ = -1;
    int in_ = -1;
    int out_ = -1;
    int err_ = -1;
    QByteArray outBuffer_;
};

} // namespace kv58::test
