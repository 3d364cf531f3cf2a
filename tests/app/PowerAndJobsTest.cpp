// The power button, the deferred commands that replies trigger, and the keep-alive poll.
#include "MainFormFixture.h"
#include "app/device/DeviceLink.h"
#include "app/device/DeviceSelection.h"

#include <QPushButton>

using namespace kv58;
using namespace kv58::test;

namespace {

std::int64_t timeOf(const ScriptedInstrument& kv, const QString& command, int occurrence = 0)
{
    for (const OutputReport& report : kv.reports())
        if (report.command == command && occurrence-- == 0)
            return report.atMs;
    return -1;
}

class PoweredInstrumentTest : public MainFormTest {
protected:
    void startWithInstrument(double timeScale = kTimeScale)
    {
        kv = instrument(QStringLiteral("kv"));
        ASSERT_TRUE(kv->plugIn());
        startProgram(timeScale);
        ASSERT_TRUE(kv->waitForCommand(QStringLiteral("POWER OFF!")));
        ASSERT_TRUE(waitInUse());
        kv->clearCommands();
    }
    std::unique_ptr<ScriptedInstrument> kv;
};

TEST_F(PoweredInstrumentTest, PowerButtonSendsPowerOnTwiceWhenOffAndPowerOffOnceWhenOn)
{
    startWithInstrument(1.0);
    widget<QPushButton>("PowerButton").click();
    ASSERT_TRUE(kv->waitForCommands(2));
    processEventsFor(150);
    EXPECT_EQ(kv->commands(), (QStringList{"POWER ON!", "POWER ON!"}));
    const auto gap = timeOf(*kv, QStringLiteral("POWER ON!"), 1) - timeOf(*kv, QStringLiteral("POWER ON!"));
    EXPECT_GE(gap, 90);
    EXPECT_FALSE(shown("KVOffLabel"));
    EXPECT_FALSE(session().PowerOn()); // only the instrument's answer switches it

    kv->send(QStringLiteral("ACK:POWER IS ON"));
    ASSERT_TRUE(waitUntil([this] { return session().PowerOn(); }));
    kv->clearCommands();
    widget<QPushButton>("PowerButton").click();
    ASSERT_TRUE(kv->waitForCommand(QStringLiteral("POWER OFF!")));
    processEventsFor(150);
    EXPECT_EQ(kv->commands().count(QStringLiteral("POWER OFF!")), 1);
    EXPECT_TRUE(shown("KVOffLabel"));
}

TEST_F(PoweredInstrumentTest, PowerOnChainReadsTheSerialThenSetsTheClock)
{
    clock.value = *encodeDate(2026, 12, 11) + *encodeTime(8, 5, 9); // a Friday
    startWithInstrument();
    kv->onCommand(QStringLiteral("GET SERIAL!"), {QStringLiteral("ACK:SERIAL 64 58 2 0007x")});
    kv->send(QStringLiteral("ACK:POWER IS ON"));
    ASSERT_TRUE(kv->waitForCommand(QStringLiteral("SET RTC:20261211-5-080509!")));
    EXPECT_EQ(withoutPolls(kv->commands()), (QStringList{"GET SERIAL!", "SET RTC:20261211-5-080509!"}));
    EXPECT_EQ(session().RTCStart(), clock.value);
    kv->send(QStringLiteral("ACK:RTC SET"));
    ASSERT_TRUE(waitUntil([this] { return statusPanel(0) == QLatin1String("KV-58 connected [TS]"); }));
}

TEST_F(PoweredInstrumentTest, SecondReplyWithinTheDelayReplacesThePendingJob)
{
    startWithInstrument(1.0);
    kv->send(QStringLiteral("ACK:POWER IS ON"));
    kv->send(QStringLiteral("ACK:SERIAL 64 58 2 0007x"));
    ASSERT_TRUE(kv->waitForCommand(QStringLiteral("SET RTC:18991230-6-000000!")));
    processEventsFor(250);
    EXPECT_FALSE(kv->commands().contains(QStringLiteral("GET SERIAL!")));
}

TEST_F(PoweredInstrumentTest, CalibrationRepliesScheduleTheChannelsCalibrationDate)
{
    clock.value = *encodeDate(2026, 3, 4);
    startWithInstrument();
    const struct {
        const char* reply;
        const char* command;
    } cases[] = {
        {"ACK:CH1 CALIBRATED: 1.25", "CALDATE CH1:04.03.2026!"},
        {"ACK:CH2 CALIBRATED:", "CALDATE CH2:04.03.2026!"},
        {"ACK:CH1 SensorOffset: 0.5", "CALDATE CH1:04.03.2026!"},
        {"ACK:CH2 SensorOffset:x", "CALDATE CH2:04.03.2026!"},
    };
    for (const auto& c : cases) {
        kv->clearCommands();
        kv->send(QString::fromLatin1(c.reply));
        EXPECT_TRUE(kv->waitForCommand(QString::fromLatin1(c.command))) << c.reply;
    }
}

TEST_F(PoweredInstrumentTest, UseTimerPollsWhileInUse)
{
    startWithInstrument();
    ASSERT_TRUE(waitUntil([this] { return kv->commands().count(QStringLiteral("InUse!")) >= 3; }));
    EXPECT_EQ(withoutPolls(kv->commands()), QStringList{});
}

TEST_F(MainFormTest, SendWithoutInstrumentIsLoggedNotWritten)
{
    startProgram();
    processEventsFor(20);
    form->link().USB_Send(QStringLiteral("POWER ON!"));
    const QStringList lines = log();
    ASSERT_GE(lines.size(), 2);
    EXPECT_EQ(lines.mid(lines.size() - 2), (QStringList{"POWER ON!", "NOT SENT: no KV58 connected"}));
}

} // namespace
