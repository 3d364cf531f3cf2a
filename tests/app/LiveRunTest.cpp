// Whole runs through the main window: the instrument's replies move the run controls, measurement
// lines fill the table, the chart and the displays.
#include "RunningInstrumentFixture.h"
#include "app/measure/MeasurePage.h"
#include "app/measure/TablePage.h"
#include "data/Measurement.h"
#include "widgets/ReportListView.h"

#include <QApplication>
#include <QLineEdit>
#include <QRadioButton>

using namespace kv58;
using namespace kv58::test;

namespace {

using LiveRunTest = RunningInstrumentTest;

TEST_F(LiveRunTest, TwoSensorIrradiationRunWithStop)
{
    startReady();
    click("IrrRunButton");
    ASSERT_TRUE(kv->waitForCommand(QStringLiteral("RUN IRRADIATION!")));
    // Nothing moves before the instrument acknowledges.
    EXPECT_TRUE(shown("IrrRunButton"));
    EXPECT_FALSE(shown("StopButton"));
    EXPECT_EQ(form->measurement().runKind(), Irradiation);

    send(QStringLiteral("ACK:IRRADIATION STARTED"));
    EXPECT_TRUE(shown("StopButton"));
    EXPECT_FALSE(shown("IrrRunButton"));
    EXPECT_FALSE(shown("SystemBox"));
    EXPECT_TRUE(shown("MeasureBox"));
    EXPECT_TRUE(shown("OffButton"));
    EXPECT_FALSE(shown("Button100"));
    EXPECT_EQ(table().NrOfColumns(), 6);
    EXPECT_EQ(table().NrOfRows(), 0);

    send(QStringLiteral("Time:10:15:30 UVA 10,0 W/m& VISL   150,0 W/m&"));
    send(QStringLiteral("Time:10:15:50 UVA 12,5 W/m& VISL   150,0 W/m&"));
    EXPECT_EQ(columnNames(),
              (QStringList{"Date", "Time", "UVA[W/m²]", "UVA Dose", "VISL[W/m²]", "VISL Dose"}));
    EXPECT_EQ(row(1), (QStringList{"2026.12.11", "10:15:30", "10,00000", "000,000", "150,000", "000,000"}));
    EXPECT_EQ(row(2), (QStringList{"2026.12.11", "10:15:50", "12,5000", "250,000", "150,000", "3000,000"}));
    EXPECT_EQ(displays().channelText(1), QStringLiteral("UVA: 012,500 W/m²"));
    EXPECT_EQ(displays().channelText(2), QStringLiteral("VISL: 150,000 W/m²"));
    EXPECT_EQ(displays().clockText(), QStringLiteral("10:15:50"));
    EXPECT_TRUE(displays().clockShown());
    EXPECT_EQ(form->measurement().chart().NumChartItems(), 8); // two per channel and sample
    EXPECT_TRUE(form->windowTitle().endsWith(u'*'));

    click("StopButton");
    ASSERT_TRUE(kv->waitForCommand(QStringLiteral("STOP!")));
    send(QStringLiteral("ACK:MEASUREMENT STOPPED"));
    EXPECT_FALSE(shown("StopButton"));
    EXPECT_TRUE(shown("IrrRunButton"));
    EXPECT_TRUE(shown("SystemBox"));
    EXPECT_FALSE(shown("MeasureBox"));
    EXPECT_FALSE(displays().channelShown(1));
    EXPECT_FALSE(displays().clockShown());
    EXPECT_EQ(table().NrOfRows(), 2); // the run stays
    EXPECT_TRUE(form->usePoll().isActive());
}

TEST_F(LiveRunTest, OneSensorRunHasFourColumns)
{
    startReady(1);
    send(QStringLiteral("ACK:IRRADIATION STARTED"));
    send(QStringLiteral("Time:08:00:00 UVA 0,5 W/m&"));
    EXPECT_EQ(columnNames(), (QStringList{"Date", "Time", "UVA[W/m²]", "UVA Dose"}));
    EXPECT_EQ(row(1), (QStringList{"2026.12.11", "08:00:00", "0,500000", "000,000"}));
    EXPECT_EQ(displays().channelText(1), QStringLiteral("UVA: 000,500 W/m²"));
    EXPECT_FALSE(displays().channelShown(2));
}

TEST_F(LiveRunTest, SensorRemovedBeforeTheRunLeavesFourColumns)
{
    startReady();
    send(QStringLiteral("CH2:Removed"));
    EXPECT_EQ(form->measurement().sensor(2).type, QString());
    send(QStringLiteral("ACK:IRRADIATION STARTED"));
    EXPECT_EQ(table().NrOfColumns(), 4);
}

TEST_F(LiveRunTest, TransmissionAndRelationRuns)
{
    startReady();
    send(QStringLiteral("ACK:TRANSMISSION STARTED"));
    EXPECT_TRUE(shown("Button100"));
    EXPECT_FALSE(shown("OffButton"));
    for (int i = 0; i < 75; ++i)
        kv->send(QStringLiteral("Transmission: UVA 50,00 % VISL 40,00 % "));
    ASSERT_TRUE(waitUntil([this] { return table().NrOfRows() == 75; }));
    EXPECT_EQ(columnNames(), (QStringList{"Date", "Number", "UVA[%]", "VISL[%]"}));
    EXPECT_EQ(row(75), (QStringList{"2026.12.11", "00:01:15", "050,000", "040,000"}));
    // Once the table is shown, the newest row is the last one it shows.
    auto& tablePage = widget<TablePage>("Table");
    auto& view = widget<TReportListView>("RL");
    widget<QTabWidget>("PageControl1").setCurrentWidget(&tablePage);
    EXPECT_TRUE(waitUntil([&] { return tablePage.topRow() > 1; }));
    EXPECT_EQ(tablePage.topRow() + view.VisibleRowCount() - 1, 75);
    send(QStringLiteral("ACK:MEASUREMENT STOPPED"));

    send(QStringLiteral("ACK:RELATION STARTED"));
    EXPECT_TRUE(shown("Button100"));
    EXPECT_TRUE(shown("SwapButton"));
    EXPECT_EQ(columnNames(), (QStringList{"C-1", "C-2"}));
    send(QStringLiteral("Relation: UVA/VISL  125,00 %"));
    EXPECT_EQ(columnNames(), (QStringList{"Date", "Number", "Relation", "Value [%]"}));
    EXPECT_EQ(row(1), (QStringList{"2026.12.11", "00:00:01", "UVA/VISL ", "125,000"}));
}

TEST_F(LiveRunTest, SensorLostEndsTheRunOnceItsMessageIsClosed)
{
    startReady();
    send(QStringLiteral("ACK:IRRADIATION STARTED"));
    bool boxSeen = false;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (QWidget* box = QApplication::activeModalWidget()) {
            boxSeen = true;
            EXPECT_TRUE(shown("StopButton")); // still running while the box is open
            box->close();
        }
    });
    closer.start(5);
    send(QStringLiteral("NACK:SENSOR LOST"));
    ASSERT_TRUE(waitUntil([&] { return boxSeen && shown("IrrRunButton"); }));
    EXPECT_FALSE(shown("StopButton"));
    EXPECT_TRUE(form->usePoll().isActive());
}

TEST_F(LiveRunTest, NoPollDuringARun)
{
    startReady();
    send(QStringLiteral("ACK:IRRADIATION STARTED"));
    EXPECT_FALSE(form->usePoll().isActive());
    kv->clearCommands();
    processEventsFor(600); // more than two poll intervals at this pace
    EXPECT_FALSE(kv->commands().contains(QStringLiteral("InUse!")));
}

TEST_F(LiveRunTest, UnpluggedMidRunKeepsTheRunAndFindsTheInstrumentAgain)
{
    startReady();
    send(QStringLiteral("ACK:IRRADIATION STARTED"));
    send(QStringLiteral("Time:10:15:30 UVA 10,0 W/m& VISL   150,0 W/m&"));
    kv->unplug();
    ASSERT_TRUE(waitUntil([this] { return session().CurrentDevice() == nullptr; }));
    EXPECT_TRUE(shown("NoKVLabel"));
    EXPECT_FALSE(shown("StartBox"));
    EXPECT_FALSE(shown("SystemBox"));
    EXPECT_FALSE(shown("MeasureBox"));
    EXPECT_FALSE(shown("PowerButton"));
    EXPECT_EQ(table().NrOfRows(), 1);
    EXPECT_GT(form->measurement().chart().NumChartItems(), 0);

    kv->clearCommands();
    ASSERT_TRUE(kv->plugIn());
    ASSERT_TRUE(kv->waitForCommand(QStringLiteral("POWER OFF!")));
    ASSERT_TRUE(waitInUse());
    EXPECT_EQ(table().NrOfRows(), 1);
}

TEST_F(LiveRunTest, RepliesWriteTheSettingsBackWithoutSendingAgain)
{
    startReady();
    send(QStringLiteral("ACK:GAIN CONTROL: OFF"));
    send(QStringLiteral("ACK:UNIT SET: W/m2"));
    send(QStringLiteral("ACK:INTERVALL SET:0005 s"));
    EXPECT_FALSE(widget<QRadioButton>("GainOn").isChecked());
    EXPECT_TRUE(widget<QRadioButton>("UnitWm2").isChecked());
    EXPECT_EQ(widget<QLineEdit>("IntervallIO").text(), QStringLiteral("5"));
    processEventsFor(50);
    EXPECT_EQ(withoutPolls(kv->commands()), QStringList{});

    widget<QRadioButton>("GainOn").click();
    widget<QRadioButton>("UnitWm2").click();
    click("ButIntervall");
    ASSERT_TRUE(kv->waitForCommands(3));
    EXPECT_EQ(withoutPolls(kv->commands()), (QStringList{"SET GAIN:ON!", "SET UNIT:1!", "SET INTERVALL:5!"}));
}

TEST_F(LiveRunTest, SwitchingOffClearsTheInformationAndHidesTheControls)
{
    startReady();
    send(QStringLiteral("ACK:SERIAL 64 58 2 0007x"));
    send(QStringLiteral("CH1:Kalibrierung: 1.25"));
    EXPECT_EQ(statusPanel(2), QStringLiteral("# 64 58 2 0007"));
    EXPECT_EQ(form->measurement().instrument().serial, QStringLiteral("64 58 2 0007"));
    EXPECT_EQ(form->measurement().sensor(1).calibrationFactor, 1.25);
    send(QStringLiteral("ACK:KV58 IS OFF"));
    EXPECT_TRUE(shown("KVOffLabel"));
    EXPECT_FALSE(shown("StartBox"));
    EXPECT_TRUE(statusPanel(2).isEmpty());
    EXPECT_EQ(form->measurement().instrument(), InstrumentInfo{});
    EXPECT_EQ(form->measurement().sensor(1).calibrationFactor, 0.0);
    const QTabWidget& left = widget<QTabWidget>("PageControl2");
    int visibleTabs = 0;
    for (int i = 0; i < left.count(); ++i)
        visibleTabs += left.isTabVisible(i) ? 1 : 0;
    EXPECT_EQ(visibleTabs, 1);
}

} // namespace
