// Finding, querying and taking instruments into use, with shrunk time and scripted instruments.
#include "app/device/DeviceSelection.h"

#include "MainFormFixture.h"
#include "link/HidDeviceController.h"
#include "support/BusHazards.h"
#include "support/ProgramProcess.h"

#include <QElapsedTimer>
#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <algorithm>

using namespace kv58;
using namespace kv58::test;

namespace {

TEST_F(MainFormTest, WithoutInstrumentNothingIsSentAndForeignDevicesAreIgnored)
{
    DeviceIdentity mouse;
    mouse.vendorId = 0x046D;
    mouse.productId = 0xC077;
    ScriptedInstrument foreign(QStringLiteral("mouse"), mouse);
    ASSERT_TRUE(foreign.plugIn());
    startProgram();
    ASSERT_TRUE(waitUntil([this] { return form->HidCtl().devices().size() == 1; }));
    processEventsFor(100);
    EXPECT_TRUE(shown("NoKVLabel"));
    EXPECT_FALSE(shown("PowerButton"));
    EXPECT_TRUE(foreign.commands().isEmpty());
    EXPECT_EQ(session().CurrentDevice(), nullptr);
}

TEST_F(MainFormTest, OneFreeInstrumentIsAskedTwiceTakenIntoUseAndSwitchedOff)
{
    auto kv = instrument(QStringLiteral("kv"));
    ASSERT_TRUE(kv->plugIn());
    startProgram();
    ASSERT_TRUE(kv->waitForCommand(QStringLiteral("POWER OFF!")));
    ASSERT_TRUE(waitInUse());

    const QStringList sent = kv->commands();
    ASSERT_GE(sent.size(), 4);
    EXPECT_EQ(sent.mid(0, 2), (QStringList{"InUse!", "InUse!"}));
    EXPECT_EQ(withoutPolls(sent), (QStringList{"SetUse:YES!", "POWER OFF!"}));
    EXPECT_EQ(sent.last(), QStringLiteral("POWER OFF!"));
    EXPECT_TRUE(shown("KVOffLabel"));
    EXPECT_FALSE(shown("NoKVLabel"));
    EXPECT_TRUE(shown("PowerButton"));
    EXPECT_EQ(statusPanel(0), QStringLiteral("KV-58 connected"));
    EXPECT_EQ(statusPanel(1), QStringLiteral(" (#0007)"));
    EXPECT_TRUE(log().contains(QStringLiteral("Checking KV58 (#0007)")));
    EXPECT_TRUE(log().contains(QStringLiteral("Checking avaible KV58 (#0007): 0")));
    EXPECT_TRUE(log().contains(QStringLiteral("USE:NO")));
    EXPECT_TRUE(form->usePoll().isActive());
    EXPECT_TRUE(kv->contractViolations().isEmpty());
}

TEST_F(MainFormTest, SilentInstrumentIsTakenIntoUseAfterAHundredPasses)
{
    auto kv = instrument(QStringLiteral("kv"), nullptr);
    ASSERT_TRUE(kv->plugIn());
    startProgram();
    ASSERT_TRUE(kv->waitForCommand(QStringLiteral("SetUse:YES!"), 20000));
    const QStringList sent = kv->commands();
    EXPECT_EQ(sent.indexOf(QStringLiteral("SetUse:YES!")), 101); // one query, then 100 passes
    EXPECT_TRUE(log().contains(QStringLiteral("Checking avaible KV58 (#0007): 99")));
    EXPECT_FALSE(log().contains(QStringLiteral("Checking avaible KV58 (#0007): 100")));
    EXPECT_TRUE(waitInUse());
}

TEST_F(MainFormTest, InstrumentUsedElsewhereIsReleased)
{
    auto kv = instrument(QStringLiteral("kv"), "USE:YES");
    ASSERT_TRUE(kv->plugIn());
    startProgram();
    ASSERT_TRUE(waitUntil([this] { return log().contains(QStringLiteral("USE:YES")); }));
    ASSERT_TRUE(waitUntil([this] { return !form->selection().isSearching(); }));
    processEventsFor(50);
    EXPECT_FALSE(kv->commands().contains(QStringLiteral("SetUse:YES!")));
    EXPECT_EQ(session().CurrentDevice(), nullptr);
    EXPECT_TRUE(shown("NoKVLabel"));
    EXPECT_FALSE(shown("PowerButton"));
    ASSERT_EQ(form->HidCtl().devices().size(), 1);
    EXPECT_FALSE(form->HidCtl().devices().first()->IsCheckedOut());
}

// Two free instruments, both asked and listed, none chosen yet.
class TwoListedTest : public MainFormTest {
protected:
    void SetUp() override
    {
        a = instrument(QStringLiteral("a"), "USE:NO", QStringLiteral("0001"));
        b = instrument(QStringLiteral("b"), "USE:NO", QStringLiteral("0002"));
        ASSERT_TRUE(a->plugIn());
        ASSERT_TRUE(b->plugIn());
        startProgram();
        ASSERT_TRUE(waitUntil([&] { return list().count() == 2 && !form->selection().isSearching(); }));
        processEventsFor(50);
    }
    QListWidget& list() { return widget<QListWidget>("KV58_AuswahlBox"); }
    std::unique_ptr<ScriptedInstrument> a;
    std::unique_ptr<ScriptedInstrument> b;
};

TEST_F(TwoListedTest, BothAreListedAndTheClickDecides)
{
    QListWidget& list = this->list();
    EXPECT_TRUE(list.isVisible());
    EXPECT_EQ(a->commands(), QStringList{"InUse!"});
    EXPECT_EQ(b->commands(), QStringList{"InUse!"});
    EXPECT_EQ(session().CurrentDevice(), nullptr);

    list.setCurrentRow(1);
    form->selection().KV58_AuswahlBoxClick();
    ASSERT_TRUE(waitInUse());
    const QString chosenSerial = session().CurrentDevice()->SerialNumber();
    ScriptedInstrument& chosen = chosenSerial == QLatin1String("0001") ? *a : *b;
    ScriptedInstrument& other = chosenSerial == QLatin1String("0001") ? *b : *a;
    ASSERT_TRUE(chosen.waitForCommand(QStringLiteral("POWER OFF!")));
    EXPECT_EQ(list.count(), 0);
    EXPECT_FALSE(list.isVisible());
    EXPECT_EQ(withoutPolls(chosen.commands()), (QStringList{"SetUse:YES!", "POWER OFF!"}));
    EXPECT_EQ(other.commands(), QStringList{"InUse!"});
    // The instrument not chosen is free again for a later search.
    for (THidDevice* device : form->HidCtl().devices())
        EXPECT_EQ(device->IsCheckedOut(), device == session().CurrentDevice());
}

TEST_F(TwoListedTest, ClickOnNoEntryKeepsTheListOffered)
{
    QListWidget& list = this->list();
    list.setCurrentRow(-1);
    form->selection().KV58_AuswahlBoxClick();
    processEventsFor(30);
    EXPECT_EQ(session().CurrentDevice(), nullptr);
    EXPECT_EQ(list.count(), 2);
    EXPECT_TRUE(list.isVisible());
}

TEST_F(MainFormTest, OfTwoInstrumentsTheOnlyFreeOneIsTakenWithoutAClick)
{
    auto busy = instrument(QStringLiteral("a"), "USE:YES", QStringLiteral("0001"));
    auto idle = instrument(QStringLiteral("b"), "USE:NO", QStringLiteral("0002"));
    ASSERT_TRUE(busy->plugIn());
    ASSERT_TRUE(idle->plugIn());
    startProgram();
    ASSERT_TRUE(idle->waitForCommand(QStringLiteral("POWER OFF!")));
    ASSERT_TRUE(waitInUse());
    EXPECT_EQ(session().CurrentDevice()->SerialNumber(), QStringLiteral("0002"));
    EXPECT_FALSE(busy->commands().contains(QStringLiteral("SetUse:YES!")));
    EXPECT_FALSE(shown("KV58_AuswahlBox"));
}

TEST_F(MainFormTest, UnpluggingTheCurrentInstrumentResetsAndSearchesTheNextAtOnce)
{
    auto first = instrument(QStringLiteral("a"), "USE:NO", QStringLiteral("0001"));
    ASSERT_TRUE(first->plugIn());
    startProgram();
    ASSERT_TRUE(waitInUse());
    first->send(QStringLiteral("ACK:POWER IS ON"));
    ASSERT_TRUE(waitUntil([this] { return session().PowerOn(); }));
    first->send(QStringLiteral("ACK:SERIAL 64 58 2 0001x"));
    ASSERT_TRUE(waitUntil([this] { return !statusPanel(2).isEmpty(); }));

    auto second = instrument(QStringLiteral("b"), "USE:NO", QStringLiteral("0002"));
    ASSERT_TRUE(second->plugIn());
    processEventsFor(50);
    EXPECT_TRUE(second->commands().isEmpty()); // the current instrument is still there

    first->unplug();
    ASSERT_TRUE(second->waitForCommand(QStringLiteral("POWER OFF!")));
    ASSERT_TRUE(waitInUse());
    EXPECT_EQ(session().CurrentDevice()->SerialNumber(), QStringLiteral("0002"));
    EXPECT_FALSE(session().PowerOn());
    EXPECT_EQ(statusPanel(1), QStringLiteral(" (#0002)"));
    EXPECT_TRUE(statusPanel(2).isEmpty());
    EXPECT_EQ(form->HidCtl().devices().size(), 1);
}

// The instrument in use is killed: its socket file stays behind and no change of the bus folder
// follows. The window lets it go and takes the instrument that arrives next.
TEST_F(MainFormTest, AKilledInstrumentIsLetGoAndTheNextOneTakenIntoUse)
{
    ProgramProcess sim(ProgramProcess::programPath(QStringLiteral("kv58-sim")),
                       {QStringLiteral("--stem"), QStringLiteral("a"), QStringLiteral("--usb-serial"),
                        QStringLiteral("0001")});
    ASSERT_TRUE(sim.start());
    ASSERT_TRUE(waitUntil([&] { return sim.output().contains(u"on the bus"); }, 15000))
        << sim.errors().toStdString();
    startProgram();
    ASSERT_TRUE(waitInUse());
    ASSERT_EQ(session().CurrentDevice()->SerialNumber(), QStringLiteral("0001"));

    sim.kill();
    ASSERT_TRUE(sim.waitForExit());
    ASSERT_TRUE(QFile::exists(bus.busDir() + QStringLiteral("/a.sock")));
    ASSERT_TRUE(waitUntil([this] { return session().CurrentDevice() == nullptr; }, 2000));
    EXPECT_TRUE(shown("NoKVLabel"));

    auto second = instrument(QStringLiteral("b"), "USE:NO", QStringLiteral("0002"));
    ASSERT_TRUE(second->plugIn());
    ASSERT_TRUE(second->waitForCommand(QStringLiteral("POWER OFF!")));
    ASSERT_TRUE(waitInUse());
    EXPECT_EQ(session().CurrentDevice()->SerialNumber(), QStringLiteral("0002"));
    EXPECT_EQ(form->HidCtl().devices().size(), 1);
    const auto readErrors = [this] { return log().filter(QStringLiteral("READ ERROR")).size(); };
    const qsizetype logged = readErrors();
    processEventsFor(300);
    EXPECT_EQ(readErrors(), logged) << "no stream of read errors";
}

// A bus folder with an identity file that is a FIFO beside a socket nobody accepts on: the window
// keeps turning while it looks at them, and leaves both out.
TEST_F(MainFormTest, BusFilesThatWouldBlockDoNotFreezeTheWindow)
{
    ScriptedInstrument listening(QStringLiteral("fifo"), {}, ScriptedInstrument::Attach::WithoutJson);
    ASSERT_TRUE(listening.plugIn());
    const PlantedFifo fifo(bus.busDir() + QStringLiteral("/fifo.json"));
    ASSERT_TRUE(fifo.isValid());
    const NonAcceptingSocket hung(bus.busDir() + QStringLiteral("/hung.sock"));
    ASSERT_TRUE(hung.isValid());
    {
        QFile json(bus.busDir() + QStringLiteral("/hung.json"));
        ASSERT_TRUE(json.open(QIODevice::WriteOnly));
        json.write(ScriptedInstrument::identityJson({}));
    }

    QElapsedTimer sinceTick;
    qint64 longestGap = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout,
                     [&] { longestGap = std::max(longestGap, sinceTick.restart()); });
    sinceTick.start();
    ticker.start(10);
    startProgram();
    const auto skipped = [this](const char* file) {
        return !log().filter(QStringLiteral("SKIPPED: ")).filter(QLatin1String(file)).isEmpty();
    };
    ASSERT_TRUE(waitUntil([&] { return skipped("fifo.sock") && skipped("hung.sock"); }, 8000))
        << log().join(u'\n').toStdString();
    processEventsFor(700); // the rechecks of both
    EXPECT_LT(longestGap, 1000);
    EXPECT_TRUE(form->HidCtl().devices().isEmpty());
    EXPECT_TRUE(shown("NoKVLabel"));
}

TEST_F(MainFormTest, UnpluggingTheOnlyInstrumentShowsNoInstrument)
{
    auto kv = instrument(QStringLiteral("kv"));
    ASSERT_TRUE(kv->plugIn());
    startProgram();
    ASSERT_TRUE(waitInUse());
    kv->unplug();
    ASSERT_TRUE(waitUntil([this] { return session().CurrentDevice() == nullptr; }));
    EXPECT_TRUE(shown("NoKVLabel"));
    EXPECT_FALSE(shown("PowerButton"));
    EXPECT_FALSE(form->usePoll().isActive());
    EXPECT_TRUE(statusPanel(0).isEmpty());
    EXPECT_EQ(widget<QTabWidget>("PageControl1").currentWidget(), &widget("Measure"));
}

TEST_F(MainFormTest, DeviceNameWithoutProductString)
{
    DeviceIdentity id;
    id.product.clear();
    id.serial = QStringLiteral("123");
    ScriptedInstrument kv(QStringLiteral("kv"), id);
    kv.onCommand(QStringLiteral("InUse!"), {QStringLiteral("USE:NO")});
    ASSERT_TRUE(kv.plugIn());
    startProgram();
    ASSERT_TRUE(waitInUse());
    EXPECT_EQ(DeviceSelection::DeviceName(*session().CurrentDevice()),
              QStringLiteral("Device VID=2047 PID=FFE5 (#123)"));
}

} // namespace
