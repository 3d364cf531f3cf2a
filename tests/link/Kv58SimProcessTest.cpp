#include "LinkTestSupport.h"
#include "link/VirtualBusDevice.h"
#include "protocol/Decoder.h"

#include <QFile>
#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace kv58;
using namespace kv58::test;

namespace {

// kv58-sim started as a program on a private bus, with a host that knows only the bus contract.
class SimProcess : public ::testing::Test {
protected:
    // Returns once the program has said it is on the bus (or has ended).
    ChildProcess* start(QStringList arguments, const QString& stem = QStringLiteral("sim"))
    {
        arguments << QStringLiteral("--stem") << stem;
        processes.push_back(std::make_unique<ChildProcess>());
        ChildProcess* sim = processes.back().get();
        EXPECT_TRUE(sim->start(QStringLiteral(KV58_BIN_DIR "/kv58-sim"), arguments));
        banner = sim->readLine(15000).value_or(QString());
        return sim;
    }

    QString path(const QString& file) const { return runtime.busDir() + u'/' + file; }

    PrivateRuntimeDir runtime;
    std::vector<std::unique_ptr<ChildProcess>> processes;
    QString banner;
};

} // namespace

TEST_F(SimProcess, PutsTheContractFilesOnTheBusAndAnswersAForeignHost)
{
    ChildProcess* sim = start({QStringLiteral("--time-scale"), QStringLiteral("20")});
    ASSERT_TRUE(banner.contains(u"on the bus")) << sim->readStandardError().toStdString();
    EXPECT_TRUE(QFile::exists(path(QStringLiteral("sim.json"))));
    EXPECT_TRUE(QFile::exists(path(QStringLiteral("sim.sock"))));

    RawHost host;
    ASSERT_TRUE(host.connectTo(path(QStringLiteral("sim.sock"))));
    ASSERT_TRUE(host.send(QStringLiteral("InUse!")));
    EXPECT_EQ(host.receive(5000), QStringLiteral("USE:NO"));
    EXPECT_EQ(host.lastReportSize(), 64);

    ASSERT_TRUE(host.send(QStringLiteral("POWER ON!")));
    const auto burst = host.receiveUntil(QStringLiteral("CH2:RangeHi:"), 5000);
    ASSERT_TRUE(burst);
    EXPECT_EQ(burst->first(), u"ACK:POWER IS ON");
    for (const char* prefix : {"ACK:SERIAL ", "ACK:CUSTOMER:", "ACK:BuildDate:", "ACK:CALDATE:",
                               "ACK:FIRMWARE ", "CH1:Sensortyp: ", "CH2:Sensortyp: "})
        EXPECT_EQ(burst->filter(QRegularExpression(u'^' + QRegularExpression::escape(QLatin1String(prefix))))
                      .size(),
                  1)
            << prefix;

    ASSERT_TRUE(host.send(QStringLiteral("RUN IRRADIATION!")));
    EXPECT_EQ(host.receive(5000), QStringLiteral("ACK:IRRADIATION STARTED"));
    for (int i = 0; i < 3; ++i) {
        const auto line = host.receive(5000);
        ASSERT_TRUE(line);
        const Message decoded = decodeLine(*line);
        const auto* m = std::get_if<IrradiationLine>(&decoded);
        ASSERT_TRUE(m) << line->toStdString();
        EXPECT_TRUE(m->complete() && m->twoChannels) << line->toStdString();
    }
    ASSERT_TRUE(host.send(QStringLiteral("STOP!")));
    ASSERT_TRUE(host.receiveUntil(QStringLiteral("ACK:MEASUREMENT STOPPED"), 5000));
    EXPECT_FALSE(host.receive(300)) << "a measurement line after the stop";
}

TEST_F(SimProcess, InUseAndSilentInstruments)
{
    start({QStringLiteral("--in-use")}, QStringLiteral("taken"));
    RawHost asking;
    ASSERT_TRUE(asking.connectTo(path(QStringLiteral("taken.sock"))));
    ASSERT_TRUE(asking.send(QStringLiteral("InUse!")));
    EXPECT_EQ(asking.receive(5000), QStringLiteral("USE:YES"));

    start({QStringLiteral("--silent")}, QStringLiteral("mute"));
    RawHost ignored;
    ASSERT_TRUE(ignored.connectTo(path(QStringLiteral("mute.sock"))));
    for (const char* command : {"InUse!", "POWER ON!", "ZEIT!"})
        ASSERT_TRUE(ignored.send(QString::fromLatin1(command)));
    EXPECT_FALSE(ignored.receive(400));
}

TEST_F(SimProcess, RefusesATakenStemAndLeavesTheBusCleanlyOnSigterm)
{
    ChildProcess* first = start({});
    ASSERT_TRUE(first->isRunning());
    ChildProcess* second = start({});
    EXPECT_EQ(second->waitForExit(10000), 2);
    EXPECT_TRUE(second->readStandardError().contains("taken"));
    EXPECT_TRUE(VirtualBusDevice::isLive(path(QStringLiteral("sim.sock"))));

    RawHost host;
    ASSERT_TRUE(host.connectTo(path(QStringLiteral("sim.sock"))));
    first->terminate();
    EXPECT_EQ(first->waitForExit(10000), 0);
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("sim.sock"))));
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("sim.json"))));
    EXPECT_TRUE(host.closedWithin(1000));
}

TEST_F(SimProcess, OperatorRemovesASensorUnplugsAndPlugsAgain)
{
    ChildProcess* sim = start({QStringLiteral("--time-scale"), QStringLiteral("20")});
    RawHost host;
    ASSERT_TRUE(host.connectTo(path(QStringLiteral("sim.sock"))));
    ASSERT_TRUE(host.send(QStringLiteral("POWER ON!")));
    ASSERT_TRUE(host.receiveUntil(QStringLiteral("CH2:RangeHi:"), 5000));
    ASSERT_TRUE(host.send(QStringLiteral("RUN IRRADIATION!")));
    ASSERT_TRUE(host.receiveUntil(QStringLiteral("Time:"), 5000));

    ASSERT_TRUE(sim->write("remove 2\n"));
    const auto lost = host.receiveUntil(QStringLiteral("NACK:SENSOR LOST"), 5000);
    ASSERT_TRUE(lost);
    EXPECT_TRUE(lost->contains(QStringLiteral("CH2:Removed ")));

    ASSERT_TRUE(sim->write("unplug\n"));
    EXPECT_TRUE(host.closedWithin(5000));
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("sim.sock"))));
    ASSERT_TRUE(sim->write("plug\n"));
    ASSERT_TRUE(waitUntil([&] { return QFile::exists(path(QStringLiteral("sim.sock"))); }));
    RawHost again;
    ASSERT_TRUE(again.connectTo(path(QStringLiteral("sim.sock"))));

    ASSERT_TRUE(sim->write("quit\n"));
    EXPECT_EQ(sim->waitForExit(10000), 0);
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("sim.json"))));
}
