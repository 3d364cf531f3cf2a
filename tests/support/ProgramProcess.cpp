#include "support/ProgramProcess.h"

#include "support/VirtualBus.h"

#include <QFile>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace kv58::test {

namespace {

QString readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(file.readAll()) : QString();
}

// NUL-terminated strings and the pointer array exec wants, alive as long as this object.
class CStrings {
public:
    explicit CStrings(const QStringList& texts)
    {
        for (const QString& text : texts) {
            m_storage.push_back(text.toLocal8Bit().toStdString());
        }
        for (std::string& s : m_storage) {
            m_pointers.push_back(s.data());
        }
        m_pointers.push_back(nullptr);
    }
    char* const* data() { return m_pointers.data(); }

private:
    std::vector<std::string> m_storage;
    std::vector<char*> m_pointers;
};

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
    if (isRunning()) {
        ::kill(m_pid, SIGKILL);
        reap(true);
    }
}

void ProgramProcess::setEnvironment(const QProcessEnvironment& environment)
{
    m_environment = environment;
}

bool ProgramProcess::start()
{
    if (m_pid != 0) {
        ADD_FAILURE() << m_program.toStdString() << " was started already";
        return false;
    }
    if (!m_outputDir.isValid()) {
        ADD_FAILURE() << "no folder for the output of " << m_program.toStdString();
        return false;
    }
    const QByteArray out = QFile::encodeName(m_outputDir.filePath(QStringLiteral("stdout")));
    const QByteArray err = QFile::encodeName(m_outputDir.filePath(QStringLiteral("stderr")));
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, out.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, err.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);

    CStrings argv(QStringList{m_program} + m_arguments);
    CStrings envp((m_environment ? *m_environment : VirtualBus::programEnvironment()).toStringList());
    const QByteArray file = QFile::encodeName(m_program);
    const int error = ::posix_spawnp(&m_pid, file.constData(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0) {
        m_pid = 0;
        ADD_FAILURE() << "cannot start " << m_program.toStdString() << ": " << std::strerror(error);
        return false;
    }
    return true;
}

void ProgramProcess::reap(bool block)
{
    if (m_pid == 0 || m_reaped) {
        return;
    }
    int status = 0;
    pid_t result = 0;
    do {
        result = ::waitpid(m_pid, &status, block ? 0 : WNOHANG);
    } while (result < 0 && errno == EINTR);
    if (result == m_pid) {
        m_reaped = true;
        m_status = status;
    }
}

bool ProgramProcess::isRunning()
{
    reap(false);
    return m_pid != 0 && !m_reaped;
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
    // Never signal a reaped child: its id may belong to another process by now.
    if (isRunning()) {
        ::kill(m_pid, number);
    }
}

bool ProgramProcess::waitForExit(int timeoutMs)
{
    return waitUntil([this] { return !isRunning(); }, timeoutMs);
}

bool ProgramProcess::exitedNormally() const
{
    return m_reaped && WIFEXITED(m_status);
}

int ProgramProcess::exitCode() const
{
    return exitedNormally() ? WEXITSTATUS(m_status) : -1;
}

int ProgramProcess::exitSignal() const
{
    return m_reaped && WIFSIGNALED(m_status) ? WTERMSIG(m_status) : 0;
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
