// The test instrument checked against the virtual bus contract by a tiny raw client of its own, so
// that whole-program tests built on it measure the program against the contract, not against
// another reading of it. Also the private bus environment and the child-process helper.
#include "support/ProgramProcess.h"
#include "support/ScriptedInstrument.h"
#include "support/VirtualBus.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSettings>
#include <QTimer>
#include <cerrno>
#include <csignal>
#include <gtest/gtest.h>
#include <optional>
#include <poll.h>
#include <sys/inotify.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

static void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}

namespace kv58::test {
namespace {

constexpr int kShortMs = 1000;

// A host end of one device connection, written straight from the contract.
class RawClient {
public:
    explicit RawClient(const QString& socketPath)
    {
        const QByteArray path = QFile::encodeName(socketPath);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::copy(path.begin(), path.end(), address.sun_path);
        m_fd = ::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0);
        if (::connect(m_fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0) {
            m_error = errno;
            ::close(m_fd);
            m_fd = -1;
        }
    }
    ~RawClient() { close(); }
    RawClient(const RawClient&) = delete;
    RawClient& operator=(const RawClient&) = delete;

    bool isConnected() const { return m_fd >= 0; }
    int error() const { return m_error; }
    void close()
    {
        if (m_fd >= 0) {
            ::close(m_fd);
            m_fd = -1;
        }
    }

    bool send(const QByteArray& report) const
    {
        return ::send(m_fd, report.constData(), static_cast<std::size_t>(report.size()), MSG_NOSIGNAL) ==
               report.size();
    }

    // One whole message, its true size even if it were longer than the buffer; nullopt on timeout,
    // an empty array when the device has closed the connection.
    std::optional<QByteArray> receive(int timeoutMs = kShortMs) const
    {
        pollfd p{m_fd, POLLIN, 0};
        if (::poll(&p, 1, timeoutMs) != 1) {
            return std::nullopt;
        }
        char buffer[512];
        const ssize_t n = ::recv(m_fd, buffer, sizeof(buffer), MSG_TRUNC);
        return n < 0 ? std::nullopt : std::optional(QByteArray(buffer, std::min<ssize_t>(n, sizeof(buffer))));
    }

private:
    int m_fd = -1;
    int m_error = 0;
};

// The 64-byte output report of one command line.
QByteArray outputReport(const QByteArray& text)
{
    QByteArray report(64, '\0');
    report[0] = 0x3F;
    report[1] = static_cast<char>(text.size());
    std::copy(text.begin(), text.end(), report.begin() + 2);
    return report;
}

QByteArray inputReport(int length, const QByteArray& text)
{
    QByteArray report(length, '\0');
    report[0] = 0x3F;
    report[1] = static_cast<char>(text.size());
    std::copy(text.begin(), text.end(), report.begin() + 2);
    return report;
}

// File events in one folder, in the order the kernel saw them: "create x", "written x", "delete x".
class FolderEvents {
public:
    explicit FolderEvents(const QString& folder) : m_fd(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC))
    {
        ::inotify_add_watch(m_fd, QFile::encodeName(folder).constData(),
                            IN_CREATE | IN_CLOSE_WRITE | IN_MOVED_TO | IN_DELETE | IN_MOVED_FROM);
    }
    ~FolderEvents() { ::close(m_fd); }
    FolderEvents(const FolderEvents&) = delete;
    FolderEvents& operator=(const FolderEvents&) = delete;

    QStringList take()
    {
        QStringList events;
        alignas(inotify_event) char buffer[4096];
        ssize_t n = 0;
        while ((n = ::read(m_fd, buffer, sizeof(buffer))) > 0) {
            for (char* p = buffer; p < buffer + n;) {
                const auto* event = reinterpret_cast<const inotify_event*>(p);
                const QString name = QFile::decodeName(event->name);
                if (event->mask & (IN_CREATE | IN_MOVED_TO)) {
                    events << QStringLiteral("create ") + name;
                }
                if (event->mask & IN_CLOSE_WRITE) {
                    events << QStringLiteral("written ") + name;
                }
                if (event->mask & (IN_DELETE | IN_MOVED_FROM)) {
                    events << QStringLiteral("delete ") + name;
                }
                p += sizeof(inotify_event) + event->len;
            }
        }
        return events;
    }

private:
    int m_fd;
};

mode_t modeOf(const QString& path)
{
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_mode : 0;
}

TEST(BusContract, DeviceAttachesWithItsIdentityAndLeavesInOrder)
{
    VirtualBus bus;
    ASSERT_TRUE(bus.isValid());
    EXPECT_EQ(modeOf(bus.busDir()) & 07777, 0700u);
    FolderEvents events(bus.busDir());

    DeviceIdentity identity;
    identity.serial = QStringLiteral("0815");
    identity.inputReportLength = 40;
    ScriptedInstrument kv(QStringLiteral("kv58-a"), identity);
    ASSERT_TRUE(kv.plugIn());
    EXPECT_EQ(kv.socketPath(), bus.busDir() + QStringLiteral("/kv58-a.sock"));
    EXPECT_TRUE(S_ISSOCK(modeOf(kv.socketPath())));
    // The identity is complete before the socket appears.
    EXPECT_EQ(events.take(),
              QStringList({"create kv58-a.json", "written kv58-a.json", "create kv58-a.sock"}));

    QFile json(kv.jsonPath());
    ASSERT_TRUE(json.open(QIODevice::ReadOnly));
    const QJsonObject object = QJsonDocument::fromJson(json.readAll()).object();
    EXPECT_EQ(object.value("vendor_id").toInt(), 0x2047);
    EXPECT_EQ(object.value("product_id").toInt(), 0xFFE5);
    EXPECT_TRUE(object.value("version").isDouble());
    EXPECT_EQ(object.value("input_report_length").toInt(), 40);
    EXPECT_EQ(object.value("product").toString(), QStringLiteral("KV58"));
    EXPECT_EQ(object.value("serial").toString(), QStringLiteral("0815"));

    RawClient host(kv.socketPath());
    ASSERT_TRUE(host.isConnected());
    ASSERT_TRUE(kv.waitForConnections(1, kShortMs));

    kv.unplug();
    EXPECT_EQ(events.take(), QStringList({"delete kv58-a.sock", "delete kv58-a.json"}));
    EXPECT_EQ(host.receive(), QByteArray()) << "the connection is closed after the files are gone";
    EXPECT_FALSE(kv.isPluggedIn());

    // Plugged in again it is a new device with the same stem.
    ASSERT_TRUE(kv.plugIn());
    EXPECT_EQ(events.take(),
              QStringList({"create kv58-a.json", "written kv58-a.json", "create kv58-a.sock"}));
}

TEST(BusContract, InputReportGoesToEveryConnectionOpenAtThatMoment)
{
    VirtualBus bus;
    DeviceIdentity identity;
    identity.inputReportLength = 40;
    ScriptedInstrument kv(QStringLiteral("kv58-b"), identity);
    ASSERT_TRUE(kv.plugIn());

    RawClient first(kv.socketPath());
    ASSERT_TRUE(kv.waitForConnections(1, kShortMs));
    // Connected but perhaps not yet accepted: it is open from the host's side, so it counts.
    RawClient second(kv.socketPath());
    ASSERT_TRUE(first.isConnected() && second.isConnected());
    kv.send(QStringLiteral("USE:NO"));
    EXPECT_EQ(first.receive(), inputReport(40, "USE:NO"));
    EXPECT_EQ(second.receive(), inputReport(40, "USE:NO"));

    // A line longer than the report is cut to what fits after the ID and the length byte.
    kv.send(QString(50, QLatin1Char('x')));
    EXPECT_EQ(first.receive(), inputReport(40, QByteArray(38, 'x')));
    EXPECT_EQ(second.receive(), inputReport(40, QByteArray(38, 'x')));

    first.close();
    ASSERT_TRUE(waitUntil([&kv] { return kv.connectionCount() == 1; }, kShortMs));
    kv.send(QStringLiteral("ACK:KV58 IS OFF"));
    EXPECT_EQ(second.receive(), inputReport(40, "ACK:KV58 IS OFF"));
    EXPECT_TRUE(kv.contractViolations().isEmpty()) << kv.contractViolations().join('\n').toStdString();
}

TEST(BusContract, OutputReportsAreRecordedInArrivalOrderWhateverConnection)
{
    VirtualBus bus;
    ScriptedInstrument kv(QStringLiteral("kv58-c"));
    kv.onCommand(QStringLiteral("InUse!"), {QStringLiteral("USE:NO")});
    kv.onCommand([](const QString& c) { return c.startsWith(QStringLiteral("SET")); },
                 [](const QString& c) { return QStringList{QStringLiteral("ACK:") + c.mid(4)}; });
    ASSERT_TRUE(kv.plugIn());
    RawClient a(kv.socketPath());
    RawClient b(kv.socketPath());
    ASSERT_TRUE(kv.waitForConnections(2, kShortMs));

    // Sent from the test's event loop: the wait must keep it turning.
    QTimer::singleShot(0, [&a] { a.send(outputReport("InUse!")); });
    ASSERT_TRUE(kv.waitForCommand(QStringLiteral("InUse!"), kShortMs));
    EXPECT_EQ(a.receive(), inputReport(64, "USE:NO"));
    EXPECT_EQ(b.receive(), inputReport(64, "USE:NO")) << "a reply goes to every connection";

    ASSERT_TRUE(b.send(outputReport("SET INTERVALL:5!")));
    ASSERT_TRUE(kv.waitForCommands(2, kShortMs));
    EXPECT_EQ(a.receive(), inputReport(64, "ACK:INTERVALL:5!"));
    const QByteArray greeting = QByteArray("Gr\xFC\xDF") + "e!"; // Windows-1252
    ASSERT_TRUE(a.send(outputReport(greeting)));
    ASSERT_TRUE(kv.waitForCommands(3, kShortMs));

    EXPECT_EQ(kv.commands(), QStringList({"InUse!", "SET INTERVALL:5!", QString::fromUtf8("Grüße!")}));
    const std::vector<OutputReport> reports = kv.reports();
    ASSERT_EQ(reports.size(), 3u);
    EXPECT_EQ(reports[0].connection, 1);
    EXPECT_EQ(reports[1].connection, 2);
    EXPECT_EQ(reports[2].connection, 1);
    EXPECT_LE(reports[0].atMs, reports[1].atMs);
    EXPECT_LE(reports[1].atMs, reports[2].atMs);
    EXPECT_EQ(reports[2].bytes, outputReport(greeting));
    EXPECT_TRUE(kv.contractViolations().isEmpty());

    // What breaks the framing is recorded, not passed over.
    ASSERT_TRUE(a.send(QByteArray::fromHex("0003414243")));
    ASSERT_TRUE(kv.waitForCommands(4, kShortMs));
    EXPECT_EQ(kv.commands().last(), QStringLiteral("ABC"));
    EXPECT_EQ(kv.contractViolations().size(), 2) << kv.contractViolations().join('\n').toStdString();

    kv.clearCommands();
    EXPECT_TRUE(kv.commands().isEmpty());
    EXPECT_FALSE(kv.waitForCommand(QStringLiteral("InUse!"), 20));
}

TEST(BusContract, DevicesThatCannotBeIdentifiedOrOpened)
{
    struct Case {
        const char* name;
        ScriptedInstrument::Attach attach;
        bool jsonExists;
        bool jsonIsObject;
        bool opens;
    };
    using A = ScriptedInstrument::Attach;
    const Case cases[] = {
        {"without JSON", A::WithoutJson, false, false, true},
        {"broken JSON", A::BrokenJson, true, false, true},
        {"refusing", A::Refusing, true, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        VirtualBus bus;
        QString socketPath;
        {
            ScriptedInstrument kv(QStringLiteral("odd"), {}, c.attach);
            ASSERT_TRUE(kv.plugIn());
            socketPath = kv.socketPath();
            EXPECT_TRUE(S_ISSOCK(modeOf(socketPath)));
            EXPECT_EQ(QFile::exists(kv.jsonPath()), c.jsonExists);
            QFile json(kv.jsonPath());
            QJsonParseError error{};
            const bool isObject =
                json.open(QIODevice::ReadOnly) && QJsonDocument::fromJson(json.readAll(), &error).isObject();
            EXPECT_EQ(isObject, c.jsonIsObject);

            const RawClient host(socketPath);
            EXPECT_EQ(host.isConnected(), c.opens);
            EXPECT_EQ(host.error(), c.opens ? 0 : ECONNREFUSED);
        }
        EXPECT_TRUE(QDir(bus.busDir()).isEmpty()) << "the destructor unplugs";
    }
}

TEST(PrivateBus, SetsAndRestoresTheEnvironment)
{
    const QByteArray savedRuntime = qgetenv("XDG_RUNTIME_DIR");
    const QByteArray savedConfig = qgetenv("XDG_CONFIG_HOME");
    const bool configWasSet = qEnvironmentVariableIsSet("XDG_CONFIG_HOME");
    qputenv("XDG_RUNTIME_DIR", "");
    qunsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(VirtualBus::folderFromEnvironment(), QStringLiteral("/tmp/kv58-virtual-%1").arg(::getuid()));

    QString root;
    {
        VirtualBus bus(VirtualBus::Folder::LeaveToProgram);
        ASSERT_TRUE(bus.isValid());
        EXPECT_EQ(qEnvironmentVariable("XDG_RUNTIME_DIR"), bus.runtimeDir());
        EXPECT_EQ(qEnvironmentVariable("XDG_CONFIG_HOME"), bus.configDir());
        EXPECT_EQ(modeOf(bus.runtimeDir()) & 07777, 0700u);
        EXPECT_EQ(VirtualBus::folderFromEnvironment(), bus.busDir());
        EXPECT_FALSE(QFile::exists(bus.busDir()));
        // Whoever needs the bus folder first creates it.
        ScriptedInstrument kv(QStringLiteral("first"));
        ASSERT_TRUE(kv.plugIn());
        EXPECT_EQ(modeOf(bus.busDir()) & 07777, 0700u);
        EXPECT_EQ(QSettings(QStringLiteral("Velmark"), QStringLiteral("KV58-7")).fileName(),
                  bus.settingsFile());
        EXPECT_EQ(bus.programEnvironment().value(QStringLiteral("XDG_CONFIG_HOME")), bus.configDir());
        root = QFileInfo(bus.runtimeDir()).path();
    }
    EXPECT_TRUE(qEnvironmentVariableIsSet("XDG_RUNTIME_DIR"));
    EXPECT_TRUE(qgetenv("XDG_RUNTIME_DIR").isEmpty());
    EXPECT_FALSE(qEnvironmentVariableIsSet("XDG_CONFIG_HOME"));
    EXPECT_FALSE(QFile::exists(root));

    qputenv("XDG_RUNTIME_DIR", savedRuntime);
    if (configWasSet) {
        qputenv("XDG_CONFIG_HOME", savedConfig);
    }
}

TEST(ChildProgram, RunsInThePrivateEnvironmentAndEndsOnSignals)
{
    VirtualBus bus;
    ProgramProcess program(
        QStringLiteral("/bin/sh"),
        {QStringLiteral("-c"), QStringLiteral("trap 'echo bye; exit 7' TERM; echo oops >&2; "
                                              "echo \"$XDG_RUNTIME_DIR $QT_QPA_PLATFORM\"; "
                                              "while :; do sleep 0.01; done")});
    ASSERT_TRUE(program.start());
    const QString greeting = bus.runtimeDir() + QStringLiteral(" offscreen\n");
    ASSERT_TRUE(waitUntil([&] { return program.output() == greeting; })) << program.output().toStdString();
    EXPECT_TRUE(program.isRunning());
    program.terminate();
    ASSERT_TRUE(program.waitForExit());
    EXPECT_TRUE(program.exitedNormally());
    EXPECT_EQ(program.exitCode(), 7);
    EXPECT_EQ(program.output(), greeting + QStringLiteral("bye\n"));
    EXPECT_EQ(program.errors(), QStringLiteral("oops\n"));

    ProgramProcess killed(QStringLiteral("sh"), {QStringLiteral("-c"), QStringLiteral("exec sleep 30")});
    ASSERT_TRUE(killed.start());
    killed.kill();
    ASSERT_TRUE(killed.waitForExit());
    EXPECT_FALSE(killed.exitedNormally());
    EXPECT_EQ(killed.exitSignal(), SIGKILL);

    qint64 pid = 0;
    {
        ProgramProcess left(QStringLiteral("/bin/sh"),
                            {QStringLiteral("-c"), QStringLiteral("exec sleep 30")});
        ASSERT_TRUE(left.start());
        pid = left.pid();
        ASSERT_GT(pid, 0);
    }
    EXPECT_EQ(::kill(static_cast<pid_t>(pid), 0), -1) << "a program left running is killed and reaped";
}

} // namespace
} // namespace kv58::test
