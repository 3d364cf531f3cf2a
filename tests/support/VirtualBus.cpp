#include "support/VirtualBus.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <cerrno>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kv58::test {

namespace {

constexpr const char* kRuntimeVar = "XDG_RUNTIME_DIR";
constexpr const char* kConfigVar = "XDG_CONFIG_HOME";

std::optional<QByteArray> saveVariable(const char* name)
{
    if (!qEnvironmentVariableIsSet(name)) {
        return std::nullopt;
    }
    return qgetenv(name);
}

void restoreVariable(const char* name, const std::optional<QByteArray>& value)
{
    if (value) {
        qputenv(name, *value);
    } else {
        qunsetenv(name);
    }
}

// A fresh folder of mode 0700 (mkdir's mode is filtered by the umask, hence the chmod).
bool makePrivateDir(const QString& path)
{
    const QByteArray native = QFile::encodeName(path);
    return ::mkdir(native.constData(), 0700) == 0 && ::chmod(native.constData(), 0700) == 0;
}

void pointSettingsAt(const QString& dir)
{
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir);
}

} // namespace

VirtualBus::VirtualBus(Folder folder)
    : m_root(QDir::tempPath() + QStringLiteral("/kv58-e2e-XXXXXX")), m_oldRuntime(saveVariable(kRuntimeVar)),
      m_oldConfig(saveVariable(kConfigVar))
{
    if (!m_root.isValid() || !makePrivateDir(runtimeDir()) || !makePrivateDir(configDir())) {
        ADD_FAILURE() << "cannot create the private test folders under " << QDir::tempPath().toStdString();
        return;
    }
    qputenv(kRuntimeVar, QFile::encodeName(runtimeDir()));
    qputenv(kConfigVar, QFile::encodeName(configDir()));
    pointSettingsAt(configDir());
    if (folder == Folder::Create && ensureFolder().isEmpty()) {
        ADD_FAILURE() << "cannot create the bus folder " << busDir().toStdString();
    }
}

VirtualBus::~VirtualBus()
{
    restoreVariable(kRuntimeVar, m_oldRuntime);
    restoreVariable(kConfigVar, m_oldConfig);
    pointSettingsAt(m_oldConfig && !m_oldConfig->isEmpty() ? QFile::decodeName(*m_oldConfig)
                                                           : QDir::homePath() + QStringLiteral("/.config"));
}

QString VirtualBus::runtimeDir() const
{
    return m_root.filePath(QStringLiteral("run"));
}

QString VirtualBus::configDir() const
{
    return m_root.filePath(QStringLiteral("config"));
}

QString VirtualBus::busDir() const
{
    return runtimeDir() + QStringLiteral("/kv58-virtual");
}

QString VirtualBus::settingsFile() const
{
    return configDir() + QStringLiteral("/Velmark/KV58-7.conf");
}

QProcessEnvironment VirtualBus::programEnvironment()
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    // Without a terminal Qt may log to the journal instead; tests want the messages captured.
    env.insert(QStringLiteral("QT_FORCE_STDERR_LOGGING"), QStringLiteral("1"));
    return env;
}

QString VirtualBus::folderFromEnvironment()
{
    const QString runtime = qEnvironmentVariable(kRuntimeVar);
    if (!runtime.isEmpty()) {
        return runtime + QStringLiteral("/kv58-virtual");
    }
    return QStringLiteral("/tmp/kv58-virtual-%1").arg(::getuid());
}

QString VirtualBus::ensureFolder(const QString& folder)
{
    if (QFileInfo(folder).isDir()) {
        return folder;
    }
    const QByteArray native = QFile::encodeName(folder);
    if (::mkdir(native.constData(), 0700) == 0) {
        // mkdir's mode is filtered by the umask.
        return ::chmod(native.constData(), 0700) == 0 ? folder : QString();
    }
    // Somebody else may have created it meanwhile; then it is theirs to have set up.
    return errno == EEXIST && QFileInfo(folder).isDir() ? folder : QString();
}

} // namespace kv58::test
