// Start-up and shut-down of the main window: tabs, settings, and releasing the instrument.
#include "MainFormFixture.h"
#include "app/measure/GraphPage.h"
#include "app/shell/ShutdownSignals.h"

#include <QAction>
#include <QDoubleSpinBox>
#include <QTabWidget>
#include <csignal>

using namespace kv58;
using namespace kv58::test;

namespace {

QStringList visibleTabs(const QTabWidget& tabs)
{
    QStringList out;
    for (int i = 0; i < tabs.count(); ++i)
        if (tabs.isTabVisible(i))
            out << tabs.tabText(i);
    return out;
}

TEST_F(MainFormTest, ServiceTabsOnlyWithTheServiceCode)
{
    const struct {
        QVariant version;
        QStringList rightTabs;
    } cases[] = {
        {QVariant(), {"Measure", "Table", "Graph"}},
        {QVariant(258615), {"Measure", "Table", "Graph"}},
        {QVariant(QStringLiteral("x258614")), {"Measure", "Table", "Graph"}},
        {QVariant(258614), {"Measure", "Table", "Graph", "Transfer", "Intern ONLY", "Zeit", "Kalibrierung"}},
    };
    for (const auto& c : cases) {
        writeSetting(QStringLiteral("SYSTEM/Version"), c.version);
        startProgram();
        EXPECT_EQ(visibleTabs(widget<QTabWidget>("PageControl1")), c.rightTabs)
            << c.version.toString().toStdString();
        EXPECT_EQ(visibleTabs(widget<QTabWidget>("PageControl2")), QStringList{"Device control"});
        EXPECT_EQ(widget<QTabWidget>("PageControl1").currentWidget(), &widget("Measure"));
        form.reset();
    }
}

TEST_F(MainFormTest, FirstStartUsesTheDefaultsAndTheMinimumSize)
{
    startProgram();
    EXPECT_EQ(form->minimumSize(), QSize(530, 640));
    EXPECT_TRUE(action("Englisch1").isChecked());
    EXPECT_FALSE(action("Deutsch1").isChecked());
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Software KV58"));
    EXPECT_TRUE(shown("NoKVLabel"));
}

TEST_F(MainFormTest, ClosingWithAnInstrumentReleasesAndSwitchesItOff)
{
    auto kv = instrument(QStringLiteral("kv"));
    ASSERT_TRUE(kv->plugIn());
    startProgram(1.0);
    ASSERT_TRUE(kv->waitForCommand(QStringLiteral("POWER OFF!"), 8000));
    kv->clearCommands();
    action("Beenden1").trigger();
    ASSERT_TRUE(kv->waitForCommands(2));
    EXPECT_EQ(withoutPolls(kv->commands()), (QStringList{"SetUse:NO!", "POWER OFF!"}));
    const auto reports = kv->reports();
    EXPECT_GE(reports.back().atMs - reports.front().atMs, 90);
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(session().CurrentDevice(), nullptr);
}

TEST_F(MainFormTest, ClosingWithoutInstrumentStillSavesTheSettings)
{
    startProgram();
    action("Deutsch1").setChecked(true);
    widget<QDoubleSpinBox>("MaxSpin").setValue(150.5);
    widget<QDoubleSpinBox>("MinSpin").setValue(-2);
    form->close();
    QSettings settings(QStringLiteral("Velmark"), QStringLiteral("KV58-7"));
    EXPECT_EQ(settings.value(QStringLiteral("Setup/Sprache")).toString(), QStringLiteral("0"));
    EXPECT_EQ(settings.value(QStringLiteral("Position/Width")).toInt(), form->normalGeometry().width());

    // The next start shows the saved chart range.
    form.reset();
    startProgram();
    EXPECT_EQ(widget<QDoubleSpinBox>("MaxSpin").value(), 150.5);
    EXPECT_EQ(widget<QDoubleSpinBox>("MinSpin").value(), -2.0);
    EXPECT_TRUE(action("Deutsch1").isChecked());
}

TEST_F(MainFormTest, TerminationSignalClosesTheWindowLikeExit)
{
    auto kv = instrument(QStringLiteral("kv"));
    ASSERT_TRUE(kv->plugIn());
    startProgram();
    ShutdownSignals signalsToClose;
    QObject::connect(&signalsToClose, &ShutdownSignals::shutdownRequested, form.get(), &QWidget::close);
    ASSERT_TRUE(kv->waitForCommand(QStringLiteral("POWER OFF!")));
    kv->clearCommands();
    ::raise(SIGTERM);
    ASSERT_TRUE(kv->waitForCommand(QStringLiteral("POWER OFF!")));
    EXPECT_EQ(withoutPolls(kv->commands()), (QStringList{"SetUse:NO!", "POWER OFF!"}));
    EXPECT_FALSE(form->isVisible());
}

} // namespace
