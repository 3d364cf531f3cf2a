// A HID device played by a test on the virtual bus: it attaches and leaves the way the bus contract
// says, records every output report the program writes, and answers with scripted input reports.
//
//     kv58::test::VirtualBus bus;
//     kv58::test::ScriptedInstrument kv("kv58-a");        // a KV58 by default (0x2047:0xFFE5)
//     kv.onCommand("InUse!", {"USE:NO"});                 // scripted reply lines
//     ASSERT_TRUE(kv.plugIn());                           // <stem>.json, then <stem>.sock
//     ... start the program ...
//     ASSERT_TRUE(kv.waitForCommand("POWER ON!"));        // processes Qt events while waiting
//     kv.send("ACK:POWER IS ON");                         // one input report to every connection
//     EXPECT_TRUE(kv.contractViolations().isEmpty());
//     kv.unplug();                                        // socket, then JSON, then connections
//
// Socket work runs on the instrument's own thread, so no call here blocks the calling (UI) thread
// for longer than a lock; a program in the same process keeps running while the test waits.
// Rules and their callbacks run on that thread: they must not touch widgets or call back into the
// instrument.
#pragma once

#include "support/Waiting.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace kv58::test {

// What <stem>.json says about the device.
struct DeviceIdentity {
    int vendorId = 0x2047;
    int productId = 0xFFE5;
    int version = 0x0100;
    int inputReportLength = 64; // bytes of every input report, report ID included
    QString product = QStringLiteral("KV58");
    QString serial;
};

// One output report as it arrived.
struct OutputReport {
    QByteArray bytes;      // the whole message, however long it was
    QString command;       // byte 1 = length (at most 62), bytes 2.. the text, Windows-1252
    int connection = 0;    // 1 for the first connection accepted, 2 for the next, ...
    std::int64_t atMs = 0; // steady (monotonic) clock, milliseconds; only differences count
};

class ScriptedInstrument {
public:
    enum class Attach {
        Normal,      // identifiable and openable
        WithoutJson, // a listening <stem>.sock without <stem>.json: cannot be identified
        BrokenJson,  // <stem>.json that is not a JSON object: cannot be identified
        Refusing,    // a valid JSON and a <stem>.sock nobody listens on: cannot be opened
    };

    using Match = std::function<bool(const QString& command)>;
    using Replies = std::function<QStringList(const QString& command)>;

    // busDir defaults to the contract's folder for the current environment (see VirtualBus).
    explicit ScriptedInstrument(QString stem, DeviceIdentity identity = {}, Attach attach = Attach::Normal,
                                QString busDir = {});
    ~ScriptedInstrument();
    ScriptedInstrument(const ScriptedInstrument&) = delete;
    ScriptedInstrument& operator=(const ScriptedInstrument&) = delete;

    // Attaches: creates the bus folder if missing (mode 0700), writes <stem>.json, then binds and
    // listens on <stem>.sock. A test failure and false when that is impossible (already attached,
    // a leftover file, a path too long for a socket).
    [[nodiscard]] bool plugIn();
    // Leaves: removes <stem>.sock, then <stem>.json, then closes every connection. May be plugged
    // in again afterwards; what was recorded stays.
    void unplug();
    bool isPluggedIn() const;

    QString stem() const { return m_stem; }
    QString socketPath() const;
    QString jsonPath() const;
    const DeviceIdentity& identity() const { return m_identity; }
    // The content of <stem>.json for an identity, as the contract lays it out.
    static QByteArray identityJson(const DeviceIdentity& identity);

    // Scripted replies: when a received command matches, each reply line goes out as one input
    // report to every open connection, in order. The rule added last wins; no match, no reply.
    void onCommand(const QString& command, const QStringList& replies);
    void onCommand(Match match, const QStringList& replies);
    void onCommand(Match match, Replies replies);
    void clearRules();

    // One input report with this line to every connection open now (accepted or waiting to be).
    // Text beyond inputReportLength - 2 bytes (or 255) is cut; characters outside Windows-1252
    // become '?'.
    void send(const QString& line);
    // Bytes as they are, for reports that break the usual framing (sent unpadded and uncut).
    void sendRaw(const QByteArray& report);

    QStringList commands() const;
    std::vector<OutputReport> reports() const;
    void clearCommands();
    // Anything the program did against the contract: a report that is not 64 bytes long, a report
    // ID other than 0x3F, a length byte above 62; and socket errors on the instrument's side.
    QStringList contractViolations() const;

    int connectionCount() const;     // open now
    int connectionsAccepted() const; // since construction

    // Bounded waits that process Qt events meanwhile; true when the condition was met.
    bool waitForCommands(qsizetype count, int timeoutMs = kDefaultTimeoutMs);       // at least count recorded
    bool waitForCommand(const QString& command, int timeoutMs = kDefaultTimeoutMs); // recorded since clear
    bool waitForConnections(int count, int timeoutMs = kDefaultTimeoutMs);          // at least count open

private:
    struct Connection {
        int fd = -1;
        int id = 0;
        std::deque<QByteArray> outgoing;
    };
    struct Rule {
        Match match;
        Replies replies;
    };

    void run();
    void acceptPendingLocked();
    void queueToAllLocked(const QByteArray& report);
    void flushLocked(Connection& connection);
    void closeConnectionLocked(std::size_t index);
    // Reads every waiting message of one connection; false when the peer has gone.
    bool receiveLocked(Connection& connection, std::vector<OutputReport>& arrived);
    QByteArray inputReport(const QString& line) const;
    void recordViolationLocked(const QString& what);
    void wake();
    void stopThread();

    const QString m_stem;
    const DeviceIdentity m_identity;
    const Attach m_attach;
    const QString m_busDir;

    mutable std::mutex m_mutex;
    int m_listenFd = -1;
    int m_wakeFd = -1;
    bool m_stopping = false;
    bool m_pluggedIn = false;
    int m_accepted = 0;
    std::vector<Connection> m_connections;
    std::vector<OutputReport> m_reports;
    std::vector<Rule> m_rules;
    QStringList m_violations;
    std::thread m_thread;
};

} // namespace kv58::test
