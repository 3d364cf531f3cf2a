// The device search on its own: a controller on a private bus, the device page, the session and
// the link, without a main window.
#include "MainFormFixture.h"
#include "app/device/DeviceLink.h"
#include "app/device/DeviceSelection.h"
#include "link/HidDeviceController.h"

using namespace kv58;
using namespace kv58::test;

namespace {

class DeviceSearch : public MainFormTest {
protected:
    void start()
    {
        std::vector<std::unique_ptr<HidBackend>> backends;
        backends.push_back(std::make_unique<VirtualBusBackend>());
        controller = std::make_unique<THidDeviceController>(std::move(backends));
        link = std::make_unique<DeviceLink>(session, log);
        poll = std::make_unique<UsePoll>(50, [this] { link->USB_Send(QStringLiteral("InUse!")); });
        Pacing pacing;
        pacing.scale = kTimeScale;
        search = std::make_unique<DeviceSelection>(*controller, session, *link, page, *poll, pacing);
        QObject::connect(link.get(), &DeviceLink::lineReceived, [this](const QString& line) {
            if (line.startsWith(QLatin1String("USE:")))
                search->useAnswered(UseReply{line.mid(4)});
        });
        QObject::connect(controller.get(), &THidDeviceController::OnDeviceChange, search.get(),
                         &DeviceSelection::HidCtlDeviceChange);
    }

    InstrumentSession session;
    HistoryLog log;
    DevicePage page;
    std::unique_ptr<THidDeviceController> controller;
    std::unique_ptr<DeviceLink> link;
    std::unique_ptr<UsePoll> poll;
    std::unique_ptr<DeviceSelection> search;
};

TEST_F(DeviceSearch, TheOnlyFreeInstrumentOfTwoIsTakenAndTheBusyOneReleased)
{
    auto busy = instrument(QStringLiteral("a"), "USE:YES", QStringLiteral("0001"));
    auto idle = instrument(QStringLiteral("b"), "USE:NO", QStringLiteral("0002"));
    ASSERT_TRUE(busy->plugIn());
    ASSERT_TRUE(idle->plugIn());
    start();
    ASSERT_TRUE(idle->waitForCommand(QStringLiteral("POWER OFF!")));
    ASSERT_TRUE(waitUntil([this] { return session.CurrentDevice() && !search->isSearching(); }));
    EXPECT_EQ(session.CurrentDevice()->SerialNumber(), QStringLiteral("0002"));
    EXPECT_EQ(page.stateLabel(), DevicePage::StateLabel::Off);
    EXPECT_TRUE(poll->isActive());
    EXPECT_FALSE(busy->commands().contains(QStringLiteral("SetUse:YES!")));
    for (THidDevice* device : controller->devices())
        EXPECT_EQ(device->IsCheckedOut(), device == session.CurrentDevice());

    // Unplugged, the session is empty again and the poll stops.
    idle->unplug();
    ASSERT_TRUE(waitUntil([this] { return session.CurrentDevice() == nullptr && !search->isSearching(); }));
    EXPECT_FALSE(poll->isActive());
    EXPECT_EQ(page.stateLabel(), DevicePage::StateLabel::NoInstrument);
}

} // namespace
