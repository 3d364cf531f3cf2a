#include "support/ProgramProcess.h"

#include <QFile>
#include <csignal>
#include <gtest/gtest.h>

#include "support/VirtualBus.h"

namespace kv58::test {

namespace {

constexpr int kReapSliceMs = 5;
constexpr int kKillTimeoutMs = 2000;

QString readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(file.readAll()) : QString();
}

} // namespace

QString ProgramProcess::programPath(const QString& name)
{
    return QStringLiteral(KV58_BIN_DIR "/") + name;
}

ProgramProcess::ProgramProcess(QString program, QStringList arguments)
    : m_program(std::move(program)), m_arguments(std::move(arguments))
{
}

ProgramProcess::~ProgramProcess()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(kKillTimeoutMs);
    }
}

void ProgramProcess::setEnvironment(const QProcessEnvironment& environment)
{
    m_environment = environment;
}

bool ProgramProcess::start(int timeoutMs)
{
    if (m_process.state() != QProcess::NotRunning) {
        ADD_FAILURE() << m_program.toStdString() << " is running already";
        return false;
    }
    if (!m_outputDir.isValid()) {
        ADD_FAILURE() << "no folder for the output of " << m_program.toStdString();
        return false;
    }
    m_process.setProcessEnvironment(m_environment ? *m_environment : VirtualBus::programEnvironment());
    m_process.setStandardOutputFile(m_outputDir.filePath(QStringLiteral("stdout")));
    m_process.setStandardErrorFile(m_outputDir.filePath(QStringLiteral("stderr")));
    m_process.start(m_program, m_arguments);
    if (!m_process.waitForStarted(timeoutMs)) {
        ADD_FAILURE() << "cannot start " << m_program.toStdString() << ": "
                      << m_process.errorString().toStdString();
        return false;
    }
    return true;
}

bool ProgramProcess::isRunning()
{
    if (m_process.state() == QProcess::NotRunning) {
        return false;
    }
    m_process.waitForFinished(0);
    return m_process.state() != QProcess::NotRunning;
}

qint64 ProgramProcess::pid() const
{
    return m_process.processId();
}

void ProgramProcess::terminate()
{
    signal(SIGTERM);
}

void ProgramProcess::interrupt()
{
    signal(SIGINT);
}

void ProgramProcess::kill()
{
    signal(SIGKILL);
}

void ProgramProcess::signal(int number)
{
    const qint64 id = m_process.processId();
    if (id > 0 && m_process.state() != QProcess::NotRunning) {
        ::kill(static_cast<pid_t>(id), number);
    }
}

bool ProgramProcess::waitForExit(int timeoutMs)
{
    return waitUntil(
        [this] {
            return m_process.state() == QProcess::NotRunning || m_process.waitForFinished(kReapSliceMs) ||
                   m_process.state() == QProcess::NotRunning;
        },
        timeoutMs);
}

bool ProgramProcess::exitedNormally() const
{
    return m_process.state() == QProcess::NotRunning && m_process.exitStatus() == QProcess::NormalExit;
}

int ProgramProcess::exitCode() const
{
    return m_process.exitCode();
}

QString ProgramProcess::output() const
{
    return readAll(m_outputDir.filePath(QStringLiteral("stdout")));
}

QString ProgramProcess::errors() const
{
    return readAll(m_outputDir.filePath(QStringLiteral("stderr")));
}

} // namespace kv58::test
