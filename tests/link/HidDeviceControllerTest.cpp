#include "link/HidDeviceController.h"

#include "LinkTestSupport.h"
#include "link/Framing.h"
#include "link/VirtualBusBackend.h"
#include "link/VirtualBusDevice.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPointer>
#include <QSignalSpy>
#include <QThread>
#include <cerrno>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

using namespace kv58;
using namespace kv58::test;

namespace {

constexpr int kVid = 0x2047;
constexpr int kPid = 0xFFE5;

void flushDeferredDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

bool pollWithoutEvents(const std::function<bool()>& done, int timeoutMs = 5000)
{
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < timeoutMs)
        QThread::msleep(1);
    return done();
}

// The controller with a private virtual bus as its only backend, after its first enumeration.
class Controller : public ::testing::Test {
protected:
    void SetUp() override
    {
        auto bus = std::make_unique<VirtualBusBackend>(runtime.busDir());
        backend = bus.get();
        std::vector<std::unique_ptr<HidBackend>> backends;
        backends.push_back(std::move(bus));
        ctl = std::make_unique<THidDeviceController>(std::move(backends));
        ctl->setDevThreadSleepTime(20);
        QObject::connect(ctl.get(), &THidDeviceController::OnDeviceChange, ctl.get(), [this] { ++changes; });
        ASSERT_TRUE(waitUntil([this] { return changes == 1; }));
    }

    // A data handler that only collects the received lines.
    static HidDataHandler collectLines(QStringList& lines)
    {
        return [&lines](THidDevice*, std::uint8_t, const std::uint8_t* data, std::uint16_t size) {
            lines << inputReportToLine(data, size);
        };
    }

    // An instrument appears; returns once the controller has listed it.
    VirtualBusDevice* plug(const QString& stem, int vid = kVid, int pid = kPid)
    {
        auto device = std::make_unique<VirtualBusDevice>();
        VirtualIdentity id;
        id.vendorId = static_cast<std::uint16_t>(vid);
        id.productId = static_cast<std::uint16_t>(pid);
        id.product = QStringLiteral("KV58");
        id.serial = stem;
        if (!device->attach(runtime.busDir(), stem, id))
            return nullptr;
        const QString path = device->socketPath();
        if (!waitUntil([&] { return find(path) != nullptr; }))
            return nullptr;
        instruments.push_back(std::move(device));
        return instruments.back().get();
    }

    THidDevice* find(const QString& path) const
    {
        for (THidDevice* d : ctl->devices())
            if (d->DevicePath() == path)
                return d;
        return nullptr;
    }

    bool waitForChange(int count)
    {
        return waitUntil([&] { return changes >= count; });
    }

    PrivateRuntimeDir runtime;
    VirtualBusBackend* backend = nullptr;
    std::unique_ptr<THidDeviceController> ctl;
    std::vector<std::unique_ptr<VirtualBusDevice>> instruments;
    int changes = 0;
};

} // namespace

TEST_F(Controller, FirstEnumerationNotifiesOnceTheEventLoopRunsEvenWithoutDevices)
{
    EXPECT_TRUE(ctl->devices().isEmpty());
    auto again = std::make_unique<THidDeviceController>([&] {
        std::vector<std::unique_ptr<HidBackend>> b;
        b.push_back(std::make_unique<VirtualBusBackend>(runtime.busDir()));
        return b;
    }());
    int calls = 0;
    QObject::connect(again.get(), &THidDeviceController::OnDeviceChange, again.get(), [&] { ++calls; });
    EXPECT_EQ(calls, 0);
    ASSERT_TRUE(waitUntil([&] { return calls == 1; }));
    processEventsFor(50);
    EXPECT_EQ(calls, 1);
}

TEST_F(Controller, ArrivalAndRemovalKeepTheListAndTheCountsUpToDate)
{
    VirtualBusDevice* kv = plug(QStringLiteral("a"));
    ASSERT_TRUE(kv);
    EXPECT_EQ(changes, 2);
    ASSERT_TRUE(plug(QStringLiteral("mouse"), 0x046D, 0xC077));
    EXPECT_EQ(changes, 3);

    THidDevice* dev = find(kv->socketPath());
    EXPECT_EQ(dev->Attributes().VendorID, kVid);
    EXPECT_EQ(dev->Attributes().ProductID, kPid);
    EXPECT_EQ(dev->ProductName(), u"KV58");
    EXPECT_EQ(dev->SerialNumber(), u"a");
    EXPECT_EQ(dev->InputReportLength(), 64);
    EXPECT_TRUE(dev->IsPluggedIn());
    EXPECT_EQ(ctl->CountByID(kVid, kPid), 1);
    EXPECT_EQ(ctl->CountByID(kVid, -1), 1);
    EXPECT_EQ(ctl->CountByID(0x046D, -1), 1);
    EXPECT_EQ(ctl->CountByID(0x046D, kPid), 0);

    QPointer<THidDevice> gone(dev);
    kv->detach();
    ASSERT_TRUE(waitForChange(4));
    EXPECT_EQ(ctl->CountByID(kVid, kPid), 0);
    EXPECT_EQ(ctl->devices().size(), 1);
    flushDeferredDeletes();
    EXPECT_TRUE(gone.isNull());
}

TEST_F(Controller, CheckOutSkipsClaimedDevicesWhileCountingThem)
{
    ASSERT_TRUE(plug(QStringLiteral("a")));
    ASSERT_TRUE(plug(QStringLiteral("b")));
    ASSERT_TRUE(plug(QStringLiteral("c"), 0x1234, 0x0001));

    THidDevice* first = nullptr;
    THidDevice* second = nullptr;
    THidDevice* none = reinterpret_cast<THidDevice*>(1);
    ASSERT_TRUE(ctl->CheckOutByID(first, kVid, kPid));
    ASSERT_TRUE(ctl->CheckOutByID(second, kVid, -1));
    EXPECT_EQ(first->SerialNumber(), u"a");
    EXPECT_EQ(second->SerialNumber(), u"b");
    EXPECT_FALSE(ctl->CheckOutByID(none, kVid, kPid));
    EXPECT_EQ(none, nullptr);
    EXPECT_EQ(ctl->CountByID(kVid, kPid), 2);

    THidDevice* any = nullptr;
    ASSERT_TRUE(ctl->CheckOut(any));
    EXPECT_EQ(any->Attributes().VendorID, 0x1234);
    EXPECT_FALSE(ctl->CheckOut(none));

    THidDevice* released = first;
    ctl->CheckIn(first);
    EXPECT_EQ(first, nullptr);
    EXPECT_FALSE(released->IsCheckedOut());
    EXPECT_TRUE(ctl->devices().contains(released));
    THidDevice* nothing = nullptr;
    ctl->CheckIn(nothing);
    ASSERT_TRUE(ctl->CheckOutByID(first, kVid, kPid));
    EXPECT_EQ(first, released);
}

TEST_F(Controller, ReportsReachTheHandlerAsTheContractSaysAndCommandsReachTheInstrument)
{
    VirtualBusDevice* kv = plug(QStringLiteral("a"));
    ASSERT_TRUE(kv);
    QSignalSpy commands(kv, &VirtualBusDevice::outputReport);
    THidDevice* dev = nullptr;
    ASSERT_TRUE(ctl->CheckOutByID(dev, kVid, kPid));
    QStringList lines;
    std::vector<int> sizes;
    dev->setOnData(
        [&](THidDevice* from, std::uint8_t reportId, const std::uint8_t* data, std::uint16_t size) {
            EXPECT_EQ(from, dev);
            EXPECT_EQ(reportId, 0x3F);
            EXPECT_EQ(QThread::currentThread(), QCoreApplication::instance()->thread());
            sizes.push_back(size);
            lines << inputReportToLine(data, size);
        });
    ASSERT_TRUE(waitUntil([&] { return kv->connectionCount() == 1; }));

    const OutputReport out = packOutputReport(u"InUse!");
    std::uint32_t written = 0;
    ASSERT_TRUE(dev->WriteFile(out.data(), static_cast<std::uint32_t>(out.size()), written));
    EXPECT_EQ(written, 64u);
    ASSERT_TRUE(waitUntil([&] { return commands.size() == 1; }));
    EXPECT_EQ(commands[0][1].toByteArray(), QByteArray(reinterpret_cast<const char*>(out.data()), 64));

    for (int i = 0; i < 50; ++i)
        kv->sendLine(QStringLiteral("LINE %1").arg(i));
    ASSERT_TRUE(waitUntil([&] { return lines.size() == 50; }));
    for (int i = 0; i < 50; ++i)
        EXPECT_EQ(lines[i], QStringLiteral("LINE %1").arg(i));
    EXPECT_EQ(sizes.front(), 63);

    EXPECT_TRUE(dev->SetNumInputBuffers(128));
    EXPECT_EQ(dev->NumInputBuffers(), 128);
    EXPECT_TRUE(dev->SetNumOverlappedBuffers(128));
    EXPECT_EQ(dev->NumOverlappedBuffers(), 128);
}

TEST_F(Controller, CheckInKeepsTheHandlerAndTheNextCheckOutReadsAtOnce)
{
    VirtualBusDevice* kv = plug(QStringLiteral("a"));
    ASSERT_TRUE(kv);
    THidDevice* dev = nullptr;
    ASSERT_TRUE(ctl->CheckOutByID(dev, kVid, kPid));
    QStringList lines;
    dev->setOnData(collectLines(lines));
    EXPECT_TRUE(dev->isReading());
    THidDevice* kept = dev;
    ctl->CheckIn(dev);
    EXPECT_FALSE(kept->isReading());
    EXPECT_TRUE(kept->OnData());
    ASSERT_TRUE(waitUntil([&] { return kv->connectionCount() == 0; }));
    kv->sendLine(u"WHILE RELEASED");

    ASSERT_TRUE(ctl->CheckOutByID(dev, kVid, kPid));
    EXPECT_TRUE(dev->isReading());
    ASSERT_TRUE(waitUntil([&] { return kv->connectionCount() == 1; }));
    kv->sendLine(u"AGAIN");
    ASSERT_TRUE(waitUntil([&] { return !lines.isEmpty(); }));
    EXPECT_EQ(lines, QStringList{QStringLiteral("AGAIN")});

    dev->setOnData(nullptr);
    EXPECT_FALSE(dev->isReading());
}

TEST_F(Controller, AnUnpluggedCheckedOutDeviceStaysListedReportingErrorsUntilCheckIn)
{
    VirtualBusDevice* kv = plug(QStringLiteral("a"));
    ASSERT_TRUE(kv);
    THidDevice* dev = nullptr;
    ASSERT_TRUE(ctl->CheckOutByID(dev, kVid, kPid));
    dev->setOnData([](THidDevice*, std::uint8_t, const std::uint8_t*, std::uint16_t) {});
    std::vector<quint32> errors;
    QObject::connect(ctl.get(), &THidDeviceController::OnDeviceDataError, ctl.get(),
                     [&](THidDevice* from, quint32 error) {
                         EXPECT_EQ(from, dev);
                         errors.push_back(error);
                     });

    kv->detach();
    ASSERT_TRUE(waitForChange(3));
    EXPECT_TRUE(ctl->devices().contains(dev));
    EXPECT_FALSE(dev->IsPluggedIn());
    EXPECT_TRUE(dev->IsCheckedOut());
    EXPECT_EQ(ctl->CountByID(kVid, kPid), 0);
    THidDevice* other = nullptr;
    EXPECT_FALSE(ctl->CheckOutByID(other, kVid, kPid));

    ASSERT_TRUE(waitUntil([&] { return errors.size() >= 3; }));
    EXPECT_EQ(errors.back(), static_cast<quint32>(ENODEV));
    std::uint32_t written = 0;
    const OutputReport out = packOutputReport(u"STOP!");
    EXPECT_FALSE(dev->WriteFile(out.data(), 64, written));
    EXPECT_EQ(dev->LastError(), static_cast<std::uint32_t>(ENODEV));

    QPointer<THidDevice> watched(dev);
    ctl->CheckIn(dev);
    EXPECT_FALSE(ctl->devices().contains(watched.data()));
    flushDeferredDeletes();
    EXPECT_TRUE(watched.isNull());
    const auto seen = errors.size();
    processEventsFor(80);
    EXPECT_EQ(errors.size(), seen);
}

TEST_F(Controller, NotificationsDuringAChangeAreDroppedNotDeferred)
{
    QSignalSpy backendChanged(backend, &HidBackend::changed);
    bool nested = false;
    QObject::connect(ctl.get(), &THidDeviceController::OnDeviceChange, ctl.get(), [&] {
        if (nested)
            return;
        nested = true;
        // While the application handles this change (and runs the event loop), a second
        // instrument arrives.
        auto late = std::make_unique<VirtualBusDevice>();
        VirtualIdentity id;
        ASSERT_TRUE(late->attach(runtime.busDir(), QStringLiteral("late"), id));
        instruments.push_back(std::move(late));
        const int before = static_cast<int>(backendChanged.size());
        ASSERT_TRUE(waitUntil([&] { return backendChanged.size() > before; }));
        processEventsFor(20);
    });
    ASSERT_TRUE(plug(QStringLiteral("first")));
    processEventsFor(100);
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(ctl->devices().size(), 1);

    // The next change finds both.
    ASSERT_TRUE(plug(QStringLiteral("third")));
    EXPECT_EQ(changes, 3);
    EXPECT_EQ(ctl->devices().size(), 3);
}

TEST_F(Controller, AnInterfaceThatCannotBeOpenedOrIdentifiedIsSkippedNotTheWholeChange)
{
    QSignalSpy skipped(ctl.get(), &THidDeviceController::OnDeviceSkipped);
    VirtualBusDevice unidentified;
    ASSERT_TRUE(unidentified.attach(runtime.busDir(), QStringLiteral("broken"), VirtualIdentity{}));
    QFile::remove(runtime.busDir() + QStringLiteral("/broken.json"));

    ASSERT_TRUE(plug(QStringLiteral("good")));
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(ctl->CountByID(kVid, kPid), 1);
    ASSERT_GE(skipped.size(), 1);
    EXPECT_EQ(skipped.last()[0].toString(), unidentified.socketPath());
    EXPECT_TRUE(skipped.last()[1].toString().startsWith(u"Device cannot be identified"));

    // Tried again at the next change, and listed once it can be identified.
    QFile json(runtime.busDir() + QStringLiteral("/broken.json"));
    ASSERT_TRUE(json.open(QIODevice::WriteOnly));
    json.write(identityToJson(VirtualIdentity{}));
    json.close();
    ASSERT_TRUE(plug(QStringLiteral("later")));
    EXPECT_EQ(ctl->CountByID(kVid, kPid), 3);
}

TEST_F(Controller, AListedDeviceThatRefusesToOpenSaysWhichNodeAndWhy)
{
    // An instrument that is listed and then stops accepting connections, its socket file left behind.
    const QString path = runtime.busDir() + QStringLiteral("/stuck.sock");
    QFile json(runtime.busDir() + QStringLiteral("/stuck.json"));
    ASSERT_TRUE(json.open(QIODevice::WriteOnly));
    json.write(identityToJson(VirtualIdentity{}));
    json.close();
    const QByteArray file = QFile::encodeName(path);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, file.constData(), static_cast<std::size_t>(file.size()));
    const int listener = ::socket(AF_UNIX, SOCK_SEQPACKET, 0);
    ASSERT_EQ(::bind(listener, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::listen(listener, 4), 0);
    ASSERT_TRUE(waitUntil([&] { return find(path) != nullptr; }));
    ::close(listener);

    QSignalSpy openErrors(ctl.get(), &THidDeviceController::OnDeviceOpenError);
    std::vector<quint32> readErrors;
    QObject::connect(ctl.get(), &THidDeviceController::OnDeviceDataError, ctl.get(),
                     [&](THidDevice*, quint32 error) { readErrors.push_back(error); });
    THidDevice* dev = nullptr;
    ASSERT_TRUE(ctl->CheckOutByID(dev, kVid, kPid));
    const int before = changes;
    dev->setOnData([](THidDevice*, std::uint8_t, const std::uint8_t*, std::uint16_t) {});

    ASSERT_EQ(openErrors.size(), 1);
    const QString message = openErrors[0][1].toString();
    EXPECT_TRUE(message.startsWith(path + u':')) << message.toStdString();
    EXPECT_TRUE(message.contains(osErrorMessage(ECONNREFUSED))) << message.toStdString();
    EXPECT_EQ(dev->OpenErrorText(), message);
    ASSERT_TRUE(waitUntil([&] { return !readErrors.empty(); }));
    // The reader tells the refusal, or already that the device has gone.
    EXPECT_TRUE(readErrors.front() == static_cast<quint32>(ECONNREFUSED) ||
                readErrors.front() == static_cast<quint32>(ENODEV))
        << readErrors.front();

    // A socket that refuses a new connection is an instrument that has gone: the device is let go.
    ASSERT_TRUE(waitUntil([&] { return !dev->IsPluggedIn(); }, 2000));
    EXPECT_GT(changes, before);
    EXPECT_EQ(ctl->CountByID(kVid, kPid), 0);
    std::uint32_t written = 0;
    const OutputReport out = packOutputReport(u"InUse!");
    EXPECT_FALSE(dev->WriteFile(out.data(), 64, written));
    EXPECT_EQ(dev->LastError(), static_cast<std::uint32_t>(ENODEV));
    EXPECT_EQ(openErrors.size(), 1); // the same cause is told once
    ctl->CheckIn(dev);
    processEventsFor(50);
    EXPECT_TRUE(ctl->devices().isEmpty()) << "the leftover socket is not listed again";
}

TEST_F(Controller, CheckInWhileAHandOverWaitsRunsItAndReturns)
{
    VirtualBusDevice* kv = plug(QStringLiteral("a"));
    ASSERT_TRUE(kv);
    THidDevice* dev = nullptr;
    ASSERT_TRUE(ctl->CheckOutByID(dev, kVid, kPid));
    QStringList lines;
    dev->setOnData(collectLines(lines));
    ASSERT_TRUE(waitUntil([&] { return kv->connectionCount() == 1; }));
    kv->sendLine(u"PENDING");
    ASSERT_TRUE(pollWithoutEvents([&] { return dev->isHandOverPending(); }));
    EXPECT_TRUE(lines.isEmpty());

    QElapsedTimer timer;
    timer.start();
    ctl->CheckIn(dev);
    EXPECT_LT(timer.elapsed(), 1000);
    EXPECT_EQ(lines, QStringList{QStringLiteral("PENDING")});
}

TEST_F(Controller, AHandlerMayReleaseItsOwnDevice)
{
    VirtualBusDevice* kv = plug(QStringLiteral("a"));
    ASSERT_TRUE(kv);
    THidDevice* current = nullptr;
    ASSERT_TRUE(ctl->CheckOutByID(current, kVid, kPid));
    THidDevice* dev = current;
    int calls = 0;
    current->setOnData([&](THidDevice*, std::uint8_t, const std::uint8_t*, std::uint16_t) {
        ++calls;
        ctl->CheckIn(current);
    });
    ASSERT_TRUE(waitUntil([&] { return kv->connectionCount() == 1; }));
    kv->sendLine(u"ONE");
    kv->sendLine(u"TWO");
    ASSERT_TRUE(waitUntil([&] { return calls >= 1; }));
    processEventsFor(60);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(current, nullptr);
    EXPECT_FALSE(dev->IsCheckedOut());
    EXPECT_FALSE(dev->isReading());

    // A handler of an unplugged device that releases it from its error handler: destroyed later.
    ASSERT_TRUE(ctl->CheckOutByID(current, kVid, kPid));
    dev->setOnData([](THidDevice*, std::uint8_t, const std::uint8_t*, std::uint16_t) {});
    QObject::connect(ctl.get(), &THidDeviceController::OnDeviceDataError, ctl.get(),
                     [&](THidDevice*, quint32) { ctl->CheckIn(current); });
    QPointer<THidDevice> watched(dev);
    kv->detach();
    ASSERT_TRUE(waitUntil([&] { return current == nullptr; }));
    flushDeferredDeletes();
    EXPECT_TRUE(watched.isNull());
}

TEST_F(Controller, StoppingTheReaderTakesAtMostOneSlice)
{
    ctl->setDevThreadSleepTime(100);
    VirtualBusDevice* kv = plug(QStringLiteral("a"));
    ASSERT_TRUE(kv);
    THidDevice* dev = nullptr;
    ASSERT_TRUE(ctl->CheckOutByID(dev, kVid, kPid));
    EXPECT_EQ(dev->ThreadSleepTime(), 100);
    dev->setOnData([](THidDevice*, std::uint8_t, const std::uint8_t*, std::uint16_t) {});
    processEventsFor(30);
    QElapsedTimer timer;
    timer.start();
    dev->setOnData(nullptr);
    EXPECT_LT(timer.elapsed(), 100 + 150);
}

TEST_F(Controller, WritingNeedsAClaimedDevice)
{
    VirtualBusDevice* kv = plug(QStringLiteral("a"));
    ASSERT_TRUE(kv);
    THidDevice* dev = find(kv->socketPath());
    std::uint32_t written = 7;
    const OutputReport out = packOutputReport(u"STOP!");
    EXPECT_FALSE(dev->WriteFile(out.data(), 64, written));
    EXPECT_EQ(written, 0u);
    EXPECT_EQ(dev->LastError(), static_cast<std::uint32_t>(EBADF));
}

TEST_F(Controller, AnInstrumentThatComesStraightBackIsANewDevice)
{
    VirtualBusDevice* kv = plug(QStringLiteral("a"));
    ASSERT_TRUE(kv);
    THidDevice* dev = nullptr;
    ASSERT_TRUE(ctl->CheckOutByID(dev, kVid, kPid));
    // Gone and back under the same stem before the controller looked again; the file system may
    // well give the new socket the old inode number.
    kv->detach();
    ASSERT_TRUE(kv->attach(runtime.busDir(), QStringLiteral("a"), VirtualIdentity{}));
    ASSERT_TRUE(waitUntil([&] { return ctl->devices().size() == 2; }));
    EXPECT_FALSE(dev->IsPluggedIn());
    EXPECT_TRUE(ctl->devices().last()->IsPluggedIn());
    EXPECT_EQ(ctl->CountByID(kVid, kPid), 1);
    ctl->CheckIn(dev);
    EXPECT_EQ(ctl->devices().size(), 1);
}

TEST_F(Controller, DestroyingTheControllerStopsEveryReaderWithoutCallingHandlers)
{
    VirtualBusDevice* kv = plug(QStringLiteral("a"));
    ASSERT_TRUE(kv);
    THidDevice* dev = nullptr;
    ASSERT_TRUE(ctl->CheckOutByID(dev, kVid, kPid));
    int calls = 0;
    dev->setOnData([&](THidDevice*, std::uint8_t, const std::uint8_t*, std::uint16_t) { ++calls; });
    ASSERT_TRUE(waitUntil([&] { return kv->connectionCount() == 1; }));
    kv->sendLine(u"PENDING");
    ASSERT_TRUE(pollWithoutEvents([&] { return dev->isHandOverPending(); }));
    QElapsedTimer timer;
    timer.start();
    ctl.reset();
    EXPECT_LT(timer.elapsed(), 1000);
    EXPECT_EQ(calls, 0);
    processEventsFor(20);
}

// kv58-sim killed while in use leaves its socket file behind. The connection that ended is an
// unplug: the device is let go at once, its socket counts as absent from then on, and the next
// instrument is listed beside it.
TEST_F(Controller, AKilledInstrumentIsLetGoAndItsLeftoverSocketCountsAsAbsent)
{
    ChildProcess sim;
    ASSERT_TRUE(sim.start(QStringLiteral(KV58_BIN_DIR "/kv58-sim"),
                          {QStringLiteral("--stem"), QStringLiteral("killed")}));
    ASSERT_TRUE(sim.readLine(15000));
    const QString path = runtime.busDir() + QStringLiteral("/killed.sock");
    ASSERT_TRUE(waitUntil([&] { return find(path) != nullptr; }));
    THidDevice* dev = nullptr;
    ASSERT_TRUE(ctl->CheckOutByID(dev, kVid, kPid));
    QStringList lines;
    dev->setOnData(collectLines(lines));
    std::vector<quint32> errors;
    QObject::connect(ctl.get(), &THidDeviceController::OnDeviceDataError, ctl.get(),
                     [&](THidDevice*, quint32 error) { errors.push_back(error); });
    QSignalSpy skipped(ctl.get(), &THidDeviceController::OnDeviceSkipped);
    const int before = changes;

    sim.kill();
    ASSERT_TRUE(waitUntil([&] { return !dev->IsPluggedIn(); }, 2000));
    EXPECT_GT(changes, before) << "the application is told";
    EXPECT_TRUE(QFile::exists(path)) << "the killed process could not clean up";
    EXPECT_EQ(ctl->CountByID(kVid, kPid), 0);
    QPointer<THidDevice> watched(dev);
    ctl->CheckIn(dev);
    flushDeferredDeletes();
    EXPECT_TRUE(watched.isNull());

    ASSERT_TRUE(plug(QStringLiteral("next")));
    ASSERT_EQ(ctl->devices().size(), 1);
    EXPECT_EQ(ctl->devices().first()->SerialNumber(), u"next");
    EXPECT_EQ(ctl->CountByID(kVid, kPid), 1);
    ASSERT_GE(skipped.size(), 1);
    EXPECT_EQ(skipped.first()[0].toString(), path);
    EXPECT_TRUE(skipped.first()[1].toString().contains(osErrorMessage(ECONNREFUSED)));
    const auto seen = errors.size();
    processEventsFor(150);
    EXPECT_EQ(errors.size(), seen) << "no read errors after the device was let go";
}

TEST_F(Controller, AnEmptyInputReportKeepsTheDevice)
{
    VirtualBusDevice* kv = plug(QStringLiteral("a"));
    ASSERT_TRUE(kv);
    THidDevice* dev = nullptr;
    ASSERT_TRUE(ctl->CheckOutByID(dev, kVid, kPid));
    QStringList lines;
    dev->setOnData(collectLines(lines));
    std::vector<quint32> errors;
    QObject::connect(ctl.get(), &THidDeviceController::OnDeviceDataError, ctl.get(),
                     [&](THidDevice*, quint32 error) { errors.push_back(error); });
    ASSERT_TRUE(waitUntil([&] { return kv->connectionCount() == 1; }));
    kv->sendInputReport(QByteArray());
    kv->sendLine(u"STILL HERE");
    ASSERT_TRUE(waitUntil([&] { return !lines.isEmpty(); }));
    processEventsFor(60);
    EXPECT_EQ(lines, QStringList{QStringLiteral("STILL HERE")});
    EXPECT_TRUE(errors.empty());
    EXPECT_TRUE(dev->IsPluggedIn());
}

// An instrument of another make binds its socket file and only then listens: the first look at it
// is refused, and no change of the folder follows.
TEST_F(Controller, AnInstrumentThatListensOnlyAfterBindingIsTakenShortlyAfter)
{
    QSignalSpy skipped(ctl.get(), &THidDeviceController::OnDeviceSkipped);
    QFile json(runtime.busDir() + QStringLiteral("/late.json"));
    ASSERT_TRUE(json.open(QIODevice::WriteOnly));
    json.write(identityToJson(VirtualIdentity{}));
    json.close();
    const QString path = runtime.busDir() + QStringLiteral("/late.sock");
    const QByteArray file = QFile::encodeName(path);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, file.constData(), static_cast<std::size_t>(file.size()));
    const int listener = ::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0);
    ASSERT_EQ(::bind(listener, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    ASSERT_TRUE(waitUntil([&] { return !skipped.isEmpty(); }));
    EXPECT_EQ(skipped.first()[0].toString(), path);
    EXPECT_TRUE(skipped.first()[1].toString().startsWith(u"Device cannot be opened"));
    EXPECT_EQ(find(path), nullptr);

    ASSERT_EQ(::listen(listener, 4), 0);
    EXPECT_TRUE(waitUntil([&] { return find(path) != nullptr; }, 2000));
    EXPECT_EQ(skipped.size(), 1) << "one cause is told once";
    ::close(listener);
}
