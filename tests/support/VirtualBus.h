// A private virtual bus and settings location for one test: a temporary XDG_RUNTIME_DIR (with the
// bus folder in it) and XDG_CONFIG_HOME, set in this process's environment while the object lives.
//
//     kv58::test::VirtualBus bus;                       // env set, bus folder created (0700)
//     kv58::test::ScriptedInstrument kv("kv58-1");      // attaches to bus.busDir()
//     kv58::test::ProgramProcess program;               // inherits the private environment
//     ASSERT_TRUE(program.start());
//
// Child processes started after construction inherit the private directories. QSettings in this
// process is pointed at the private config folder as well (its default paths are cached by Qt, so
// changing the variable alone would not reach it). Everything is restored and removed on
// destruction; destroy instruments and programs first (declare the bus first).
#pragma once

#include <QByteArray>
#include <QProcessEnvironment>
#include <QString>
#include <QTemporaryDir>
#include <optional>

namespace kv58::test {

class VirtualBus {
public:
    enum class Folder { Create, LeaveToProgram };

    explicit VirtualBus(Folder folder = Folder::Create);
    ~VirtualBus();
    VirtualBus(const VirtualBus&) = delete;
    VirtualBus& operator=(const VirtualBus&) = delete;

    bool isValid() const { return m_root.isValid(); }
    QString runtimeDir() const; // XDG_RUNTIME_DIR
    QString configDir() const;  // XDG_CONFIG_HOME
    QString busDir() const;     // $XDG_RUNTIME_DIR/kv58-virtual
    // The program's settings file: QSettings("Velmark", "KV58-7") as an INI file on Linux.
    QString settingsFile() const;
    // This process's environment now (with the private directories), QT_QPA_PLATFORM=offscreen and
    // QT_FORCE_STDERR_LOGGING=1.
    static QProcessEnvironment programEnvironment();

    // The bus folder by the rule of the bus contract, from this process's current environment:
    // $XDG_RUNTIME_DIR/kv58-virtual if the variable is set and not empty, else /tmp/kv58-virtual-<uid>.
    static QString folderFromEnvironment();
    // Creates a bus folder (by default that one) with mode 0700 if it is missing; returns its
    // path, empty on failure.
    static QString ensureFolder(const QString& folder = folderFromEnvironment());

private:
    QTemporaryDir m_root;
    std::optional<QByteArray> m_oldRuntime;
    std::optional<QByteArray> m_oldConfig;
};

} // namespace kv58::test
