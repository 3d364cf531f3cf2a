// The real program, started offscreen on a private virtual bus, against instruments played by the
// test: how it takes an instrument into use, the power-on chain that sets the instrument's clock,
// and what it tells the instrument when it is stopped by a signal.
#include "support/ProgramProcess.h"
#include "support/ScriptedInstrument.h"
#include "support/VirtualBus.h"

#include <QDateTime>
#include <QFile>
#include <QRegularExpression>
#include <QSettings>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <gtest/gtest.h>
#include <iostream>
#include <memory>
#include <vector>

static void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}

namespace kv58::test {
namespace {

// Timer-driven steps of the program (a 100 ms query pass, the 200 ms deferred command, the
// 100 ms pause at shut-down) may fire a little early on a coarse timer, never much.
constexpr std::int64_t kPassMs = 90;
constexpr std::int64_t kDeferredMs = 150;
// Long enough for a loaded machine, short enough that none of the program's own slow timers
// (the 5 s poll, the 10 s query timeout) comes into play.
constexpr int kQuietMs = 400;

// The clock of OutputReport::atMs.
std::int64_t steadyMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// True once the process has a handler installed for the signal, so that sending it asks for an
// orderly close instead of ending the process on the spot.
bool catchesSignal(qint64 pid, int signalNumber)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return false;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("SigCgt:")) {
            bool ok = false;
            const qulonglong mask = line.mid(7).trimmed().toULongLong(&ok, 16);
            return ok && (mask & (1ULL << (signalNumber - 1))) != 0;
        }
    }
    return false;
}

QString joined(const QStringList& commands)
{
    return commands.join(QStringLiteral(" | "));
}

// One run: a private bus, the instruments on it and the program; destroyed in reverse order.
struct Session {
    VirtualBus bus;
    std::vector<std::unique_ptr<ScriptedInstrument>> instruments;
    ProgramProcess program;
};

class ProgramTest : public ::testing::Test {
protected:
    void TearDown() override { endSession(); }

    // For a table of cases: every case on a bus of its own, with a program of its own.
    void freshSession()
    {
        endSession();
        session_ = std::make_unique<Session>();
    }

    void endSession()
    {
        for (const auto& instrument : session_->instruments) {
            EXPECT_TRUE(instrument->contractViolations().isEmpty())
                << instrument->stem().toStdString() << ": "
                << instrument->contractViolations().join('\n').toStdString();
        }
        if (HasFailure())
            std::cerr << "program stderr:\n" << session_->program.errors().toStdString() << std::endl;
        session_.reset(); // the bus restores the environment before another one is made
    }

    // A KV58 with the serial string "0007" that answers the in-use query with useReply.
    ScriptedInstrument& kv58(const QString& stem, const QString& useReply = QStringLiteral("USE:NO"))
    {
        DeviceIdentity identity;
        identity.serial = QStringLiteral("0007");
        ScriptedInstrument& kv = device(stem, identity);
        kv.onCommand(QStringLiteral("InUse!"), {useReply});
        return kv;
    }

    // A device on the bus, not yet plugged in.
    ScriptedInstrument& device(const QString& stem, const DeviceIdentity& identity)
    {
        session_->instruments.push_back(std::make_unique<ScriptedInstrument>(stem, identity));
        return *session_->instruments.back();
    }

    ProgramProcess& program() { return session_->program; }
    const VirtualBus& bus() const { return session_->bus; }

    // Starts the program and waits until it will close in order on SIGTERM and SIGINT.
    [[nodiscard]] bool startProgram()
    {
        if (!program().start())
            return false;
        const bool ready = waitUntil([this] {
            return catchesSignal(program().pid(), SIGTERM) && catchesSignal(program().pid(), SIGINT);
        });
        EXPECT_TRUE(ready) << "the program does not handle SIGTERM and SIGINT";
        return ready;
    }

    // Waits until kv has been sent "POWER OFF!" after "SetUse:YES!": it is in use and switched off.
    [[nodiscard]] static bool waitUntilTakenIntoUse(const ScriptedInstrument& kv)
    {
        const bool taken = waitUntil([&kv] {
            const QStringList commands = kv.commands();
            const qsizetype yes = commands.indexOf(QStringLiteral("SetUse:YES!"));
            return yes >= 0 && commands.indexOf(QStringLiteral("POWER OFF!"), yes) > yes;
        });
        EXPECT_TRUE(taken) << kv.stem().toStdString() << " got: " << joined(kv.commands()).toStdString();
        return taken;
    }

    [[nodiscard]] bool startAndTakeIntoUse(ScriptedInstrument& kv)
    {
        return kv.plugIn() && startProgram() && waitUntilTakenIntoUse(kv);
    }

    // Ends the program with a signal and expects it to exit by itself with code 0.
    void stopWith(void (ProgramProcess::*signal)())
    {
        (program().*signal)();
        ASSERT_TRUE(program().waitForExit()) << "still running after the signal";
        EXPECT_TRUE(program().exitedNormally()) << "ended by signal " << program().exitSignal();
        EXPECT_EQ(program().exitCode(), 0);
    }

private:
    std::unique_ptr<Session> session_ = std::make_unique<Session>();
};

TEST_F(ProgramTest, FreeInstrumentIsQueriedTakenIntoUseAndSwitchedOff)
{
    // Present at start-up, or plugged in while the program runs: both are found.
    for (const bool atStart : {true, false}) {
        freshSession(); // checks the case before under its own trace
        SCOPED_TRACE(atStart ? "plugged in before start" : "plugged in while running");
        ScriptedInstrument& kv = kv58(QStringLiteral("kv58"));
        if (atStart) {
            ASSERT_TRUE(kv.plugIn());
        }
        ASSERT_TRUE(startProgram());
        if (!atStart) {
            ASSERT_TRUE(kv.plugIn());
        }
        ASSERT_TRUE(waitUntilTakenIntoUse(kv));
        processEventsFor(kQuietMs / 2);

        // "InUse!" twice before the first wait, one more per 100 ms pass if the answer is slow to
        // arrive, then the take-over and the switch-off with nothing in between or after.
        const std::vector<OutputReport> reports = kv.reports();
        const QStringList commands = kv.commands();
        const qsizetype queries = commands.indexOf(QStringLiteral("SetUse:YES!"));
        ASSERT_GE(queries, 2) << joined(commands).toStdString();
        EXPECT_EQ(commands.mid(0, queries), QStringList(queries, QStringLiteral("InUse!")));
        EXPECT_EQ(commands.mid(queries), QStringList({"SetUse:YES!", "POWER OFF!"}));
        for (qsizetype i = 2; i < queries; ++i)
            EXPECT_GE(reports[i].atMs - reports[i - 1].atMs, kPassMs) << "query " << i;
        EXPECT_GE(reports[queries].atMs - reports[queries - 1].atMs, kPassMs)
            << "the answer is awaited for a pass before the take-over";
    }
}

TEST_F(ProgramTest, PowerOnReplyLeadsToSerialQueryAndThenToTheClock)
{
    ScriptedInstrument& kv = kv58(QStringLiteral("kv58"));
    kv.onCommand(QStringLiteral("GET SERIAL!"), {QStringLiteral("ACK:SERIAL 64 58 2 0007x")});
    ASSERT_TRUE(startAndTakeIntoUse(kv));
    kv.clearCommands();

    const std::int64_t powerIsOnAt = steadyMs();
    kv.send(QStringLiteral("ACK:POWER IS ON"));
    ASSERT_TRUE(kv.waitForCommands(2)) << joined(kv.commands()).toStdString();
    const QDateTime now = QDateTime::currentDateTime();
    processEventsFor(kQuietMs / 2);

    const std::vector<OutputReport> reports = kv.reports();
    ASSERT_EQ(reports.size(), 2u) << joined(kv.commands()).toStdString();
    EXPECT_EQ(reports[0].command, QStringLiteral("GET SERIAL!"));
    EXPECT_GE(reports[0].atMs - powerIsOnAt, kDeferredMs);
    // The serial reply went out the moment "GET SERIAL!" arrived.
    EXPECT_GE(reports[1].atMs - reports[0].atMs, kDeferredMs);

    // "SET RTC:" + yyyymmdd-w-hhnnss + "!", the PC's local time, weekday 0 for Sunday.
    static const QRegularExpression pattern(QStringLiteral("^SET RTC:(\\d{8})-([0-6])-(\\d{6})!$"));
    const QRegularExpressionMatch match = pattern.match(reports[1].command);
    ASSERT_TRUE(match.hasMatch()) << reports[1].command.toStdString();
    const QDateTime sent =
        QDateTime::fromString(match.captured(1) + match.captured(3), QStringLiteral("yyyyMMddHHmmss"));
    ASSERT_TRUE(sent.isValid()) << reports[1].command.toStdString();
    EXPECT_LE(std::abs(sent.secsTo(now)), 5)
        << "sent " << reports[1].command.toStdString() << " at " << now.toString(Qt::ISODate).toStdString();
    EXPECT_EQ(match.captured(2).toInt(), sent.date().dayOfWeek() % 7);
}

TEST_F(ProgramTest, SignalReleasesAndSwitchesOffTheInstrumentBeforeExit)
{
    using Stop = void (ProgramProcess::*)();
    for (const Stop stop : {&ProgramProcess::terminate, &ProgramProcess::interrupt}) {
        freshSession();
        SCOPED_TRACE(stop == &ProgramProcess::terminate ? "SIGTERM" : "SIGINT");
        ScriptedInstrument& kv = kv58(QStringLiteral("kv58"));
        ASSERT_TRUE(startAndTakeIntoUse(kv));
        kv.clearCommands();

        stopWith(stop);
        const std::vector<OutputReport> reports = kv.reports();
        ASSERT_EQ(kv.commands(), QStringList({"SetUse:NO!", "POWER OFF!"}));
        EXPECT_GE(reports[1].atMs - reports[0].atMs, kPassMs) << "100 ms between release and switch-off";
    }
}

TEST_F(ProgramTest, ClosingWithoutInstrumentStillSavesTheSettings)
{
    ASSERT_FALSE(QFile::exists(bus().settingsFile()));
    ASSERT_TRUE(startProgram());
    stopWith(&ProgramProcess::terminate);

    ASSERT_TRUE(QFile::exists(bus().settingsFile()));
    const QSettings saved(bus().settingsFile(), QSettings::IniFormat);
    EXPECT_TRUE(saved.childGroups().contains(QStringLiteral("Setup")))
        << saved.childGroups().join(u',').toStdString();
    EXPECT_TRUE(saved.contains(QStringLiteral("Setup/DisplayTime")));
}

TEST_F(ProgramTest, InstrumentInUseElsewhereIsLeftAlone)
{
    ScriptedInstrument& kv = kv58(QStringLiteral("kv58"), QStringLiteral("USE:YES"));
    ASSERT_TRUE(kv.plugIn());
    ASSERT_TRUE(startProgram());
    ASSERT_TRUE(kv.waitForCommands(2));
    processEventsFor(kQuietMs);

    const QStringList commands = kv.commands();
    EXPECT_EQ(commands, QStringList(commands.size(), QStringLiteral("InUse!")))
        << joined(commands).toStdString();
    EXPECT_LE(commands.size(), 4) << "the query ends with the answer";

    // Released: closing the program sends it nothing either.
    kv.clearCommands();
    stopWith(&ProgramProcess::terminate);
    EXPECT_TRUE(kv.commands().isEmpty()) << joined(kv.commands()).toStdString();
}

TEST_F(ProgramTest, ForeignDevicesBesideTheInstrumentAreNeverWrittenTo)
{
    // One of each ID matching, so a check of only one of the two IDs lets one of them through.
    DeviceIdentity otherProduct;
    otherProduct.productId = 0xFFE4;
    otherProduct.product = QStringLiteral("Sibling");
    DeviceIdentity otherVendor;
    otherVendor.vendorId = 0x046D;
    otherVendor.product = QStringLiteral("Keyboard");
    ScriptedInstrument& sibling = device(QStringLiteral("a-sibling"), otherProduct);
    ScriptedInstrument& keyboard = device(QStringLiteral("b-keyboard"), otherVendor);
    for (ScriptedInstrument* foreign : {&sibling, &keyboard}) {
        foreign->onCommand([](const QString&) { return true; }, {QStringLiteral("USE:NO")});
        ASSERT_TRUE(foreign->plugIn());
    }
    ScriptedInstrument& kv = kv58(QStringLiteral("c-kv58"));

    ASSERT_TRUE(startAndTakeIntoUse(kv));
    // Counted as the only instrument, it is asked twice up front (a choice list asks once).
    EXPECT_EQ(kv.commands().mid(0, 2), QStringList({"InUse!", "InUse!"}));
    processEventsFor(kQuietMs / 2);
    stopWith(&ProgramProcess::terminate);

    EXPECT_TRUE(sibling.commands().isEmpty()) << joined(sibling.commands()).toStdString();
    EXPECT_TRUE(keyboard.commands().isEmpty()) << joined(keyboard.commands()).toStdString();
    EXPECT_EQ(kv.commands().mid(kv.commands().size() - 2), QStringList({"SetUse:NO!", "POWER OFF!"}));
}

} // namespace
} // namespace kv58::test
