#include "link/HidrawBackend.h"

#include "LinkTestSupport.h"
#include "link/HidDeviceController.h"
#include "link/VirtualBusDevice.h"

#include <cerrno>
#include <gtest/gtest.h>
#include <set>

using namespace kv58;
using namespace kv58::test;

TEST(HidrawBackend, EnumerationReturnsCleanlyWithEachNodeOnce)
{
    HidrawBackend backend;
    const auto interfaces = backend.enumerate();
    std::set<QString> paths;
    for (const HidInterface& i : interfaces) {
        EXPECT_TRUE(paths.insert(i.path).second) << i.path.toStdString();
        EXPECT_TRUE(i.instance.startsWith(i.path + u':'));
        const HidIdentity identity = backend.identify(i);
        if (identity.error.isEmpty()) {
            EXPECT_GT(identity.inputReportLength, 0);
        }
    }
}

TEST(HidrawBackend, UnknownAndMissingNodesFailWithAReason)
{
    HidrawBackend backend;
    backend.enumerate();
    const HidIdentity identity =
        backend.identify({QStringLiteral("/dev/hidraw-none"), QStringLiteral("x"), {}});
    EXPECT_TRUE(identity.error.startsWith(u"Device cannot be identified"));
    int error = 0;
    EXPECT_FALSE(backend.open(QStringLiteral("/dev/hidraw-none"), error));
    EXPECT_EQ(error, ENOENT);
}

TEST(HidrawBackend, TheDefaultControllerAlsoListsTheVirtualBus)
{
    const PrivateRuntimeDir runtime;
    THidDeviceController ctl;
    int changes = 0;
    QObject::connect(&ctl, &THidDeviceController::OnDeviceChange, &ctl, [&] { ++changes; });
    ASSERT_TRUE(waitUntil([&] { return changes == 1; }));
    const int before = ctl.CountByID(0x2047, 0xFFE5);

    VirtualBusDevice instrument;
    VirtualIdentity id;
    ASSERT_TRUE(instrument.attach(runtime.busDir(), QStringLiteral("kv"), id));
    ASSERT_TRUE(waitUntil([&] { return ctl.CountByID(0x2047, 0xFFE5) == before + 1; }));
    EXPECT_EQ(changes, 2);
}
