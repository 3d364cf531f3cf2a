// The settings store on a private configuration folder: defaults, the kinds of values, what a
// fresh process reads from the file, partial loads and saves, and the window placement.
#include "app/shell/Settings.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QWidget>
#include <QtTest/QTest>
#include <functional>
#include <gtest/gtest.h>

using kv58::Settings;
using kv58::SettingsStore;

namespace {

// Points the user's settings at a temporary folder, so no test reads or writes the real ones.
class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(config_.isValid());
        useConfigFolder(config_.path());
    }

    static void useConfigFolder(const QString& folder)
    {
        qputenv("XDG_CONFIG_HOME", folder.toUtf8());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder);
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, folder);
        ASSERT_TRUE(SettingsStore().location().startsWith(folder + QStringLiteral("/")));
    }

    // Replaces the store with this INI text, as another process would have left it.
    void writeStore(const QByteArray& text) const
    {
        const QString file = SettingsStore().location();
        QDir().mkpath(QFileInfo(file).path());
        QFile out(file);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        out.write(text);
    }

    QByteArray storeText() const
    {
        QFile in(SettingsStore().location());
        return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
    }

    static Settings loaded(bool full = true)
    {
        Settings settings;
        SettingsStore().load(settings, full);
        return settings;
    }

    // Values different from every default.
    static Settings changed()
    {
        Settings s;
        s.decimal = u'.';
        s.displayTime = 3600;
        s.dataPath = QStringLiteral("/srv/Messungen, 2024/");
        s.english = false;
        s.graphMax = 1e10;
        s.graphMin = -0.125;
        s.windowBounds = QRect(10, 20, 800, 900);
        s.maximized = true;
        return s;
    }

    QTemporaryDir config_;
};

TEST_F(SettingsTest, EmptyStoreGivesTheDefaults)
{
    Settings settings = changed();
    settings.serviceMode = true;
    SettingsStore().load(settings, true);

    EXPECT_EQ(settings.decimal, u',');
    EXPECT_EQ(settings.displayTime, 120);
    EXPECT_TRUE(settings.english);
    EXPECT_EQ(settings.graphMax, 200.0);
    EXPECT_EQ(settings.graphMin, 0.0);
    EXPECT_EQ(settings.windowBounds, QRect(0, 0, 530, 640));
    EXPECT_FALSE(settings.maximized);
    EXPECT_FALSE(settings.serviceMode);
    // On Linux the data folder is the user's documents folder, with its separator.
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    EXPECT_EQ(settings.dataPath, documents + QStringLiteral("/"));
    EXPECT_EQ(settings, Settings());
}

TEST_F(SettingsTest, EveryValueRoundTripsThroughTheFileAsAFreshProcessReadsIt)
{
    ASSERT_TRUE(SettingsStore().save(changed(), true));

    // Kinds as stored: Booleans as "1"/"0", integers as numbers, floats as their 8 bytes.
    const QByteArray text = storeText();
    for (const char* line : {"Decimal=0", "DisplayTime=3600", "Sprache=0", "State=1", "Left=10", "Top=20",
                             "Width=800", "Height=900", "Max=@ByteArray(", "Min=@ByteArray("})
        EXPECT_TRUE(text.contains(line)) << line << "\n" << text.toStdString();
    EXPECT_FALSE(text.contains("SYSTEM"));

    // A copy in another folder is parsed from the file, not taken from this process's cache.
    QTemporaryDir fresh;
    const QString copy = fresh.path() + QStringLiteral("/Velmark/KV58-7.conf");
    QDir().mkpath(QFileInfo(copy).path());
    ASSERT_TRUE(QFile::copy(SettingsStore().location(), copy));
    useConfigFolder(fresh.path());
    QSettings raw(QStringLiteral("Velmark"), QStringLiteral("KV58-7"));
    EXPECT_EQ(raw.value(QStringLiteral("Graph/Max")).toByteArray().size(), 8);
    EXPECT_EQ(raw.value(QStringLiteral("Setup/DisplayTime")).typeId(), QMetaType::QString);

    EXPECT_EQ(loaded(), changed());
}

TEST_F(SettingsTest, StoredTextsAreReadAsTheirKindsSay)
{
    struct Case {
        const char* ini;
        std::function<bool(const Settings&)> holds;
    };
    const Case cases[] = {
        {"[Setup]\nDisplayTime=abc\n", [](const Settings& s) { return s.displayTime == 120; }},
        {"[Setup]\nDisplayTime=\n", [](const Settings& s) { return s.displayTime == 120; }},
        {"[Setup]\nDisplayTime=12.5\n", [](const Settings& s) { return s.displayTime == 120; }},
        {"[Setup]\nDisplayTime=4294967296\n", [](const Settings& s) { return s.displayTime == 120; }},
        {"[Setup]\nDisplayTime=300\n", [](const Settings& s) { return s.displayTime == 300; }},
        // Kept in 16 bits.
        {"[Setup]\nDisplayTime=70000\n", [](const Settings& s) { return s.displayTime == 70000 - 65536; }},
        {"[Setup]\nDecimal=0\n", [](const Settings& s) { return s.decimal == u'.'; }},
        {"[Setup]\nDecimal=2\n", [](const Settings& s) { return s.decimal == u','; }},
        {"[Setup]\nDecimal=false\n", [](const Settings& s) { return s.decimal == u','; }},
        {"[Setup]\nSprache=0\n", [](const Settings& s) { return !s.english; }},
        {"[Setup]\nSprache=-1\n", [](const Settings& s) { return s.english; }},
        {"[Setup]\nPfad=\"c:\\\\Daten\\\\\"\n",
         [](const Settings& s) { return s.dataPath == QStringLiteral("c:\\Daten\\"); }},
        {"[Position]\nWidth=x\nState=1\n",
         [](const Settings& s) { return s.windowBounds == QRect(0, 0, 530, 640) && s.maximized; }},
        {"[Graph]\nMax=200.5\n", [](const Settings& s) { return s.graphMax == 200.0; }},
        {"[SYSTEM]\nVersion=258614\n", [](const Settings& s) { return s.serviceMode; }},
        {"[SYSTEM]\nVersion=258615\n", [](const Settings& s) { return !s.serviceMode; }},
        {"[SYSTEM]\nVersion=Service\n", [](const Settings& s) { return !s.serviceMode; }},
        {"[SYSTEM]\nVersion=0\n", [](const Settings& s) { return !s.serviceMode; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ini);
        QTemporaryDir folder;
        useConfigFolder(folder.path());
        writeStore(c.ini);
        EXPECT_TRUE(c.holds(loaded()));
    }
}

TEST_F(SettingsTest, ServiceModeIsNeverWrittenAndSurvivesSaves)
{
    writeStore("[SYSTEM]\nVersion=258614\n");
    Settings settings = loaded();
    ASSERT_TRUE(settings.serviceMode);
    settings.serviceMode = false;
    ASSERT_TRUE(SettingsStore().save(settings, true));

    EXPECT_TRUE(storeText().contains("Version=258614"));
    EXPECT_TRUE(loaded().serviceMode);
}

TEST_F(SettingsTest, WithoutFullPlacementAndChartRangeAreNeitherReadNorWritten)
{
    // Saving the setup values alone leaves the other sections out.
    ASSERT_TRUE(SettingsStore().save(changed(), false));
    EXPECT_FALSE(storeText().contains("[Graph]"));
    EXPECT_FALSE(storeText().contains("[Position]"));

    // Cancelling the setup dialog re-reads the setup values only.
    ASSERT_TRUE(SettingsStore().save(changed(), true));
    Settings window;
    window.graphMax = 55;
    window.windowBounds = QRect(1, 2, 600, 700);
    window.displayTime = 999;
    SettingsStore().load(window, false);

    EXPECT_EQ(window.displayTime, 3600);
    EXPECT_EQ(window.decimal, u'.');
    EXPECT_FALSE(window.english);
    EXPECT_EQ(window.dataPath, changed().dataPath);
    EXPECT_EQ(window.graphMax, 55.0);
    EXPECT_EQ(window.graphMin, 0.0);
    EXPECT_EQ(window.windowBounds, QRect(1, 2, 600, 700));
    EXPECT_FALSE(window.maximized);
}

TEST_F(SettingsTest, StoreThatCannotBeReadGivesTheDefaults)
{
    // A folder where the file should be cannot be read as a store.
    ASSERT_TRUE(QDir().mkpath(SettingsStore().location()));
    Settings settings = changed();
    SettingsStore().load(settings, true);
    EXPECT_EQ(settings, Settings());
}

TEST_F(SettingsTest, MaximizedWindowKeepsItsRestoredBounds)
{
    const QRect normal(100, 120, 600, 700);
    {
        QWidget window;
        window.setGeometry(normal);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        window.showMaximized();
        ASSERT_TRUE(QTest::qWaitFor([&] { return window.isMaximized() && window.geometry() != normal; }))
            << window.geometry().x() << "," << window.geometry().y() << " " << window.geometry().width()
            << "x" << window.geometry().height();

        Settings settings;
        kv58::storeWindowPlacement(window, settings);
        EXPECT_EQ(settings.windowBounds, normal);
        EXPECT_TRUE(settings.maximized);
        ASSERT_TRUE(SettingsStore().save(settings, true));
    }

    QWidget window;
    kv58::restoreWindowPlacement(window, loaded());
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_TRUE(window.isMaximized());
    window.showNormal();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !window.isMaximized() && window.geometry() == normal; }));
}

TEST_F(SettingsTest, MinimizedWindowCountsAsNotMaximized)
{
    QWidget window;
    window.setGeometry(50, 60, 540, 650);
    window.setWindowState(Qt::WindowMaximized | Qt::WindowMinimized);
    Settings settings;
    kv58::storeWindowPlacement(window, settings);
    EXPECT_FALSE(settings.maximized);
}

TEST(DataFolderText, GetsTheSeparatorOnceAndEmptyTextIsRefused)
{
    EXPECT_EQ(kv58::dataFolderFromText(QStringLiteral("/srv/data")), QStringLiteral("/srv/data/"));
    EXPECT_EQ(kv58::dataFolderFromText(QStringLiteral("/srv/data/")), QStringLiteral("/srv/data/"));
    EXPECT_EQ(kv58::dataFolderFromText(QStringLiteral("/")), QStringLiteral("/"));
    EXPECT_EQ(kv58::dataFolderFromText(QString()), std::nullopt);
    EXPECT_EQ(kv58::dataFolderFromText(QStringLiteral("  ")), std::nullopt);
}

} // namespace
