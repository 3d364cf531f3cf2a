#include "link/VirtualBus.h"

#include "LinkTestSupport.h"
#include "link/Framing.h"
#include "link/VirtualBusBackend.h"
#include "link/VirtualBusDevice.h"
#include "support/BusHazards.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

using namespace kv58;
using namespace kv58::test;

namespace {

class VirtualBus : public ::testing::Test {
protected:
    PrivateRuntimeDir runtime;
    QString bus = runtime.busDir();

    static VirtualIdentity kv58Identity(const QString& serial = QStringLiteral("0007"))
    {
        VirtualIdentity id;
        id.product = QStringLiteral("KV58");
        id.serial = serial;
        return id;
    }
};

// A socket file with nobody listening, as a crashed instrument leaves it.
void leaveStaleSocket(const QString& path)
{
    const QByteArray file = QFile::encodeName(path);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, file.constData(), static_cast<std::size_t>(file.size()));
    const int fd = ::socket(AF_UNIX, SOCK_SEQPACKET, 0);
    ASSERT_EQ(::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    ::close(fd);
}

} // namespace

TEST_F(VirtualBus, FolderComesFromTheRuntimeDirOrFallsBackPerUser)
{
    EXPECT_EQ(virtualBusDir(), bus);
    qputenv("XDG_RUNTIME_DIR", "");
    EXPECT_EQ(virtualBusDir(), QStringLiteral("/tmp/kv58-virtual-%1").arg(getuid()));
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));

    ASSERT_TRUE(ensureVirtualBusDir(bus));
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(bus).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
}

TEST_F(VirtualBus, AttachedDeviceIsAnIdentityFileAndAListeningSeqPacketSocket)
{
    VirtualBusDevice device;
    QString error;
    ASSERT_TRUE(device.attach(bus, QStringLiteral("kv-a"), kv58Identity(), &error)) << error.toStdString();

    QFile json(bus + QStringLiteral("/kv-a.json"));
    ASSERT_TRUE(json.open(QIODevice::ReadOnly));
    const QJsonObject o = QJsonDocument::fromJson(json.readAll()).object();
    EXPECT_EQ(o.value(QStringLiteral("vendor_id")).toInt(), 0x2047);
    EXPECT_EQ(o.value(QStringLiteral("product_id")).toInt(), 0xFFE5);
    EXPECT_EQ(o.value(QStringLiteral("input_report_length")).toInt(), 64);
    EXPECT_TRUE(o.value(QStringLiteral("version")).isDouble());
    EXPECT_EQ(o.value(QStringLiteral("product")).toString(), u"KV58");
    EXPECT_EQ(o.value(QStringLiteral("serial")).toString(), u"0007");

    RawHost host;
    ASSERT_TRUE(host.connectTo(bus + QStringLiteral("/kv-a.sock")));
    // No temporary file of the binding is left behind.
    EXPECT_EQ(QDir(bus).entryList(QDir::Files | QDir::System).size(), 2);

    device.detach();
    EXPECT_FALSE(QFile::exists(bus + QStringLiteral("/kv-a.sock")));
    EXPECT_FALSE(QFile::exists(bus + QStringLiteral("/kv-a.json")));
    EXPECT_TRUE(host.closedWithin(1000));
}

TEST_F(VirtualBus, LiveStemIsRefusedAndStaleFilesAreReplaced)
{
    VirtualBusDevice first;
    ASSERT_TRUE(first.attach(bus, QStringLiteral("kv"), kv58Identity()));
    VirtualBusDevice second;
    QString error;
    EXPECT_FALSE(second.attach(bus, QStringLiteral("kv"), kv58Identity(QStringLiteral("other")), &error));
    EXPECT_TRUE(error.contains(u"taken"));
    // The live device's identity is untouched.
    EXPECT_EQ(identityFromJson([&] {
                  QFile f(bus + QStringLiteral("/kv.json"));
                  f.open(QIODevice::ReadOnly);
                  return f.readAll();
              }())
                  ->serial,
              u"0007");
    first.detach();

    ensureVirtualBusDir(bus);
    leaveStaleSocket(bus + QStringLiteral("/stale.sock"));
    EXPECT_FALSE(VirtualBusDevice::isLive(bus + QStringLiteral("/stale.sock")));
    ASSERT_TRUE(second.attach(bus, QStringLiteral("stale"), kv58Identity(), &error)) << error.toStdString();
    EXPECT_TRUE(VirtualBusDevice::isLive(second.socketPath()));
}

TEST_F(VirtualBus, IdentityFileNeedsEveryFieldWithItsType)
{
    const VirtualIdentity id = kv58Identity();
    EXPECT_EQ(identityFromJson(identityToJson(id)), id);
    const char* broken[] = {
        "",
        "[]",
        R"({"vendor_id":8263,"product_id":65509,"version":1,"input_report_length":64,"product":"KV58"})",
        R"({"vendor_id":"8263","product_id":65509,"version":1,"input_report_length":64,"product":"","serial":""})",
        R"({"vendor_id":8263,"product_id":65536,"version":1,"input_report_length":64,"product":"","serial":""})",
        R"({"vendor_id":8263,"product_id":65509,"version":1,"input_report_length":0,"product":"","serial":""})",
        R"({"vendor_id":8263.5,"product_id":65509,"version":1,"input_report_length":64,"product":"","serial":""})",
        R"({"vendor_id":8263,"product_id":65509,"version":1,"input_report_length":64,"product":null,"serial":""})",
    };
    for (const char* json : broken)
        EXPECT_FALSE(identityFromJson(QByteArray(json))) << json;
}

TEST_F(VirtualBus, BackendListsByStemWithANewInstanceForEachComing)
{
    VirtualBusBackend backend(bus);
    VirtualBusDevice b;
    VirtualBusDevice a;
    ASSERT_TRUE(b.attach(bus, QStringLiteral("b"), kv58Identity()));
    ASSERT_TRUE(a.attach(bus, QStringLiteral("a"), kv58Identity()));
    auto listed = backend.enumerate();
    ASSERT_EQ(listed.size(), 2u);
    EXPECT_EQ(listed[0].path, bus + QStringLiteral("/a.sock"));
    EXPECT_EQ(listed[1].path, bus + QStringLiteral("/b.sock"));
    EXPECT_TRUE(listed[0].instance.startsWith(u"a:"));
    const QString before = listed[0].instance;

    a.detach();
    ASSERT_TRUE(a.attach(bus, QStringLiteral("a"), kv58Identity()));
    listed = backend.enumerate();
    ASSERT_EQ(listed.size(), 2u);
    EXPECT_NE(listed[0].instance, before);

    const HidIdentity identity = backend.identify(listed[0]);
    EXPECT_TRUE(identity.error.isEmpty()) << identity.error.toStdString();
    EXPECT_EQ(identity.vendorId, 0x2047);
    EXPECT_EQ(identity.productId, 0xFFE5);
    EXPECT_EQ(identity.productName, u"KV58");
    EXPECT_EQ(identity.serialNumber, u"0007");
    EXPECT_EQ(identity.inputReportLength, 64);
    EXPECT_TRUE(identity.readWriteAccess);
}

TEST_F(VirtualBus, UnidentifiableAndRefusingDevicesSayWhy)
{
    VirtualBusBackend backend(bus);
    VirtualBusDevice noJson;
    ASSERT_TRUE(noJson.attach(bus, QStringLiteral("nojson"), kv58Identity()));
    QFile::remove(bus + QStringLiteral("/nojson.json"));
    leaveStaleSocket(bus + QStringLiteral("/refusing.sock"));
    QFile json(bus + QStringLiteral("/refusing.json"));
    ASSERT_TRUE(json.open(QIODevice::WriteOnly));
    json.write(identityToJson(kv58Identity()));
    json.close();

    const auto listed = backend.enumerate();
    ASSERT_EQ(listed.size(), 2u);
    const HidIdentity missing = backend.identify(listed[0]);
    EXPECT_TRUE(missing.error.startsWith(u"Device cannot be identified")) << missing.error.toStdString();
    EXPECT_TRUE(missing.error.contains(u"nojson.json"));
    const HidIdentity refused = backend.identify(listed[1]);
    EXPECT_TRUE(refused.error.startsWith(u"Device cannot be opened")) << refused.error.toStdString();
    EXPECT_TRUE(refused.error.contains(u"refusing.sock"));
}

TEST_F(VirtualBus, ReportsTravelWholeBothWaysAndInputGoesToEveryConnection)
{
    VirtualBusBackend backend(bus);
    VirtualBusDevice device;
    ASSERT_TRUE(device.attach(bus, QStringLiteral("kv"), kv58Identity()));
    QSignalSpy received(&device, &VirtualBusDevice::outputReport);

    int error = 0;
    auto writer = backend.open(device.socketPath(), error);
    auto reader = backend.open(device.socketPath(), error);
    ASSERT_TRUE(writer && reader);
    ASSERT_TRUE(waitUntil([&] { return device.connectionCount() == 2; }));

    std::uint8_t out[64] = {0x3F, 3, 'A', 'B', 'C'};
    ASSERT_EQ(writer->write(out, sizeof out, error), 64);
    ASSERT_TRUE(waitUntil([&] { return received.size() == 1; }));
    EXPECT_EQ(received[0][1].toByteArray(), QByteArray(reinterpret_cast<const char*>(out), 64));

    device.sendLine(u"USE:NO");
    std::uint8_t in[128] = {};
    int got = 0;
    ASSERT_TRUE(waitUntil([&] { return (got = reader->read(in, sizeof in, 10, error)) != 0; }));
    ASSERT_EQ(got, 64);
    EXPECT_EQ(in[0], 0x3F);
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(in + 2), in[1]), QByteArray("USE:NO"));

    // The writer got its copy too; it is discarded before the next write instead of piling up.
    ASSERT_EQ(writer->write(out, sizeof out, error), 64);
    ASSERT_TRUE(waitUntil([&] { return received.size() == 2; }));

    device.detach();
    ASSERT_TRUE(waitUntil([&] { return reader->read(in, sizeof in, 10, error) < 0; }));
    EXPECT_EQ(error, ENODEV);
}

TEST_F(VirtualBus, BackendSignalsSocketsComingAndGoingOnly)
{
    VirtualBusBackend backend(bus);
    ASSERT_TRUE(backend.isWatching());
    QSignalSpy changed(&backend, &HidBackend::changed);
    VirtualBusDevice device;
    ASSERT_TRUE(device.attach(bus, QStringLiteral("kv"), kv58Identity()));
    ASSERT_TRUE(waitUntil([&] { return changed.size() >= 1; }));
    processEventsFor(30);
    changed.clear();

    QFile other(bus + QStringLiteral("/notes.json"));
    ASSERT_TRUE(other.open(QIODevice::WriteOnly));
    other.write("{}");
    other.close();
    processEventsFor(50);
    EXPECT_EQ(changed.size(), 0);

    device.detach();
    EXPECT_TRUE(waitUntil([&] { return changed.size() >= 1; }));
}

namespace {

QByteArray contentOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool isSymlink(const QString& path)
{
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISLNK(st.st_mode);
}

} // namespace

TEST_F(VirtualBus, FolderMustBeARealFolderAndIsMadePrivateWhenItIsOurs)
{
    const QString own = runtime.path() + QStringLiteral("/own");
    ASSERT_EQ(::mkdir(QFile::encodeName(own).constData(), 0700), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(own).constData(), 0777), 0);
    QString error;
    ASSERT_TRUE(ensureVirtualBusDir(own, &error)) << error.toStdString();
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(own).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0700u);

    const QString link = runtime.path() + QStringLiteral("/link");
    ASSERT_TRUE(QFile::link(own, link));
    const QString file = runtime.path() + QStringLiteral("/file");
    ASSERT_TRUE(QFile(file).open(QIODevice::WriteOnly));
    const struct {
        QString dir;
        const char* because;
    } refused[] = {{link, "symbolic link"}, {file, "not a folder"}};
    for (const auto& c : refused) {
        SCOPED_TRACE(c.because);
        error.clear();
        EXPECT_FALSE(ensureVirtualBusDir(c.dir, &error));
        EXPECT_TRUE(error.contains(c.dir) && error.contains(QLatin1String(c.because))) << error.toStdString();
        VirtualBusDevice device;
        EXPECT_FALSE(device.attach(c.dir, QStringLiteral("kv"), kv58Identity()));
        VirtualBusBackend backend(c.dir);
        EXPECT_TRUE(backend.enumerate().empty());
        EXPECT_FALSE(backend.folderError().isEmpty());
    }
    EXPECT_FALSE(QFile::exists(own + QStringLiteral("/kv.json")));
}

// Another user created the fallback folder first, planted a link where an instrument writes its
// identity, and put a fake instrument of theirs on it.
TEST_F(VirtualBus, AFolderOfAnotherUserIsRefusedAndNothingInItIsWrittenOrTaken)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to plant a folder owned by another user (uid 65534)";
    constexpr uid_t kOther = 65534;
    const QString planted = runtime.path() + QStringLiteral("/kv58-virtual-planted");
    VirtualBusDevice fake;
    ASSERT_TRUE(fake.attach(planted, QStringLiteral("fake"), kv58Identity(QStringLiteral("evil"))));
    const QString victim = runtime.path() + QStringLiteral("/victim.txt");
    {
        QFile file(victim);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("the victim's data");
    }
    ASSERT_TRUE(QFile::link(victim, planted + QStringLiteral("/kv.json")));
    ASSERT_EQ(::lchown(QFile::encodeName(planted + QStringLiteral("/kv.json")).constData(), kOther, kOther),
              0);
    ASSERT_EQ(::chown(QFile::encodeName(planted).constData(), kOther, kOther), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(planted).constData(), 0777), 0);

    QString error;
    EXPECT_FALSE(ensureVirtualBusDir(planted, &error));
    EXPECT_TRUE(error.contains(planted) && error.contains(u"65534")) << error.toStdString();

    VirtualBusDevice mine;
    EXPECT_FALSE(mine.attach(planted, QStringLiteral("kv"), kv58Identity(), &error));
    EXPECT_TRUE(error.contains(u"65534")) << error.toStdString();
    EXPECT_EQ(contentOf(victim), QByteArray("the victim's data"));
    EXPECT_TRUE(isSymlink(planted + QStringLiteral("/kv.json")));

    VirtualBusBackend backend(planted);
    EXPECT_TRUE(backend.enumerate().empty()) << "the fake instrument is not taken";
    EXPECT_TRUE(backend.folderError().contains(u"65534"));
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(planted).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0777u) << "another user's folder is left as it is";
    ::chown(QFile::encodeName(planted).constData(), ::geteuid(), ::getegid());
}

TEST_F(VirtualBus, BusFilesAreReplacedAndReadButNeverFollowedOrWaitedFor)
{
    ASSERT_TRUE(ensureVirtualBusDir(bus));
    const QString victim = runtime.path() + QStringLiteral("/victim.txt");
    {
        QFile file(victim);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("the victim's data");
    }
    // An instrument's identity written where a link lies: the link is replaced, not followed.
    ASSERT_TRUE(QFile::link(victim, bus + QStringLiteral("/kv.json")));
    VirtualBusDevice device;
    ASSERT_TRUE(device.attach(bus, QStringLiteral("kv"), kv58Identity()));
    EXPECT_EQ(contentOf(victim), QByteArray("the victim's data"));
    EXPECT_FALSE(isSymlink(bus + QStringLiteral("/kv.json")));
    EXPECT_EQ(identityFromJson(contentOf(bus + QStringLiteral("/kv.json"))), kv58Identity());
    EXPECT_EQ(QDir(bus).entryList(QDir::Files | QDir::System).size(), 2) << "no temporary file is left";

    // The host reads identities only from regular files, and without waiting.
    VirtualBusBackend backend(bus);
    const QString elsewhere = runtime.path() + QStringLiteral("/elsewhere.json");
    ASSERT_TRUE(QFile::copy(bus + QStringLiteral("/kv.json"), elsewhere));
    ASSERT_TRUE(QFile::remove(bus + QStringLiteral("/kv.json")));
    ASSERT_TRUE(QFile::link(elsewhere, bus + QStringLiteral("/kv.json")));
    const HidInterface linked{device.socketPath(), QStringLiteral("kv"), {}};
    HidIdentity identity = backend.identify(linked);
    EXPECT_TRUE(identity.error.startsWith(u"Device cannot be identified")) << identity.error.toStdString();
    EXPECT_TRUE(identity.error.contains(u"symbolic link")) << identity.error.toStdString();

    ASSERT_TRUE(QFile::remove(bus + QStringLiteral("/kv.json")));
    const PlantedFifo fifo(bus + QStringLiteral("/kv.json"));
    ASSERT_TRUE(fifo.isValid());
    QElapsedTimer timer;
    timer.start();
    identity = backend.identify(linked);
    EXPECT_LT(timer.elapsed(), 1000);
    EXPECT_TRUE(identity.error.contains(u"not a regular file")) << identity.error.toStdString();
}

TEST_F(VirtualBus, AnInstrumentThatNeverAcceptsCostsTheHostOnlyAShortWait)
{
    ASSERT_TRUE(ensureVirtualBusDir(bus));
    const QString path = bus + QStringLiteral("/hung.sock");
    const NonAcceptingSocket hung(path);
    ASSERT_TRUE(hung.isValid());
    QFile json(bus + QStringLiteral("/hung.json"));
    ASSERT_TRUE(json.open(QIODevice::WriteOnly));
    json.write(identityToJson(kv58Identity()));
    json.close();

    VirtualBusBackend backend(bus);
    QElapsedTimer timer;
    timer.start();
    const auto listed = backend.enumerate();
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_TRUE(listed[0].unavailable.isEmpty()) << "a busy instrument is there";
    const HidIdentity identity = backend.identify(listed[0]);
    EXPECT_TRUE(identity.error.startsWith(u"Device cannot be opened")) << identity.error.toStdString();
    EXPECT_TRUE(identity.error.contains(osErrorMessage(static_cast<std::uint32_t>(ETIMEDOUT))))
        << identity.error.toStdString();
    int error = 0;
    EXPECT_EQ(backend.open(path, error), nullptr);
    EXPECT_EQ(error, ETIMEDOUT);
    EXPECT_LT(timer.elapsed(), 1000);

    // Its stem is still taken.
    VirtualBusDevice other;
    QString why;
    EXPECT_FALSE(other.attach(bus, QStringLiteral("hung"), kv58Identity(), &why));
    EXPECT_TRUE(why.contains(u"taken")) << why.toStdString();
}

TEST_F(VirtualBus, AnEmptyMessageIsNoEndOfTheConnectionEitherWay)
{
    VirtualBusBackend backend(bus);
    VirtualBusDevice device;
    ASSERT_TRUE(device.attach(bus, QStringLiteral("kv"), kv58Identity()));
    QSignalSpy received(&device, &VirtualBusDevice::outputReport);
    QSignalSpy closed(&device, &VirtualBusDevice::connectionClosed);
    int error = 0;
    auto handle = backend.open(device.socketPath(), error);
    ASSERT_TRUE(handle);
    ASSERT_TRUE(waitUntil([&] { return device.connectionCount() == 1; }));

    device.sendInputReport(QByteArray());
    device.sendLine(u"AFTER");
    std::uint8_t in[64] = {};
    int got = 0;
    ASSERT_TRUE(waitUntil([&] { return (got = handle->read(in, sizeof in, 10, error)) != 0; }));
    ASSERT_EQ(got, 64) << "error " << error;
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(in + 2), in[1]), QByteArray("AFTER"));

    std::uint8_t out[64] = {0x3F, 1, 'X'};
    ASSERT_EQ(handle->write(out, 0, error), 0);
    ASSERT_EQ(handle->write(out, sizeof out, error), 64);
    ASSERT_TRUE(waitUntil([&] { return received.size() == 2; }));
    EXPECT_TRUE(received[0][1].toByteArray().isEmpty());
    EXPECT_EQ(received[1][1].toByteArray().size(), 64);
    EXPECT_EQ(closed.size(), 0);
    EXPECT_EQ(device.connectionCount(), 1);
}
