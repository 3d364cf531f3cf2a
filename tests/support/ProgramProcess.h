// The program under test as a child process: started with a chosen environment, its output
// captured into files (so it never blocks on a full pipe), signalled, waited for with a deadline,
// and killed if a test leaves it running.
//
//     kv58::test::VirtualBus bus;
//     kv58::test::ProgramProcess program;                 // build/bin/kv58
//     program.setEnvironment(bus.programEnvironment());   // the default anyway
//     ASSERT_TRUE(program.start());
//     ...
//     program.terminate();                                // SIGTERM
//     ASSERT_TRUE(program.waitForExit()) << program.errors().toStdString();
//     EXPECT_EQ(program.exitCode(), 0);
//
// The child is started with posix_spawn, not QProcess: Qt 6.4 starts children with vfork
// semantics through clone(), after which ThreadSanitizer reports races that are not there.
#pragma once

#include "support/Waiting.h"

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <optional>
#include <sys/types.h>

namespace kv58::test {

class ProgramProcess {
public:
    // An executable of the build: <build>/bin/<name>.
    static QString programPath(const QString& name);

    // program is a path, or a name looked up in PATH.
    explicit ProgramProcess(QString program = programPath(QStringLiteral("kv58")),
                            QStringList arguments = {});
    ~ProgramProcess();
    ProgramProcess(const ProgramProcess&) = delete;
    ProgramProcess& operator=(const ProgramProcess&) = delete;

    // Without this the child gets this process's environment at start() with
    // QT_QPA_PLATFORM=offscreen and QT_FORCE_STDERR_LOGGING=1 added (VirtualBus::programEnvironment).
    void setEnvironment(const QProcessEnvironment& environment);

    // Starts the child, standard input from /dev/null; a test failure and false when it cannot
    // be started. A program object starts one child in its life.
    [[nodiscard]] bool start();
    bool isRunning();
    qint64 pid() const { return m_pid; }

    void terminate(); // SIGTERM
    void interrupt(); // SIGINT
    void kill();      // SIGKILL
    // Waits for the child to end, processing Qt events meanwhile; true when it has ended.
    [[nodiscard]] bool waitForExit(int timeoutMs = kDefaultTimeoutMs);

    // After the child has ended:
    bool exitedNormally() const; // ended by itself, not by a signal
    int exitCode() const;        // its exit status when it ended by itself
    int exitSignal() const;      // the signal that ended it, else 0

    // Everything the child wrote so far.
    QString output() const; // standard output
    QString errors() const; // standard error

private:
    void signal(int number);
    // Collects the child's status if it has ended; waits for it when block is true.
    void reap(bool block);

    QString m_program;
    QStringList m_arguments;
    std::optional<QProcessEnvironment> m_environment;
    QTemporaryDir m_outputDir;
    pid_t m_pid = 0;
    bool m_reaped = false;
    int m_status = 0;
};

} // namespace kv58::test
