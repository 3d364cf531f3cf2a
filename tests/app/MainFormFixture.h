// A main window in the test process with shrunk time, a fixed clock and only a private virtual
// bus as device source; instruments are played by ScriptedInstrument.
#pragma once

#include "app/device/DevicePage.h"
#include "app/device/InstrumentSession.h"
#include "app/device/UsePoll.h"
#include "app/service/HistoryLog.h"
#include "app/shell/MainForm.h"
#include "core/Clock.h"
#include "link/VirtualBusBackend.h"
#include "support/ScriptedInstrument.h"
#include "support/VirtualBus.h"

#include <QAction>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSettings>
#include <QTabWidget>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>
#include <stdexcept>
#include <string>

namespace kv58::test {

// The commands without the keep-alive polls, whose number depends on timing.
inline QStringList withoutPolls(QStringList commands)
{
    commands.removeAll(QStringLiteral("InUse!"));
    return commands;
}

class FixedClock final : public Clock {
public:
    TDateTime now() const override { return value; }
    std::int64_t monotonicMs() const override { return 0; }
    TDateTime value = 0;
};

class MainFormTest : public ::testing::Test {
protected:
    // The share of the nominal times the program waits: 100 ms passes take 5 ms.
    static constexpr double kTimeScale = 0.05;

    // A KV58 with a product and serial string that answers the in-use question as told.
    std::unique_ptr<ScriptedInstrument> instrument(const QString& stem, const char* useAnswer = "USE:NO",
                                                   const QString& serial = QStringLiteral("0007"))
    {
        DeviceIdentity id;
        id.serial = serial;
        auto kv = std::make_unique<ScriptedInstrument>(stem, id);
        if (useAnswer)
            kv->onCommand(QStringLiteral("InUse!"), {QString::fromLatin1(useAnswer)});
        return kv;
    }

    void writeSetting(const QString& key, const QVariant& value)
    {
        QSettings settings(QStringLiteral("Velmark"), QStringLiteral("KV58-7"));
        settings.setValue(key, value);
    }

    void startProgram(double timeScale = kTimeScale)
    {
        MainFormOptions options;
        options.pacing.scale = timeScale;
        options.clock = &clock;
        options.backends = [] {
            std::vector<std::unique_ptr<HidBackend>> backends;
            backends.push_back(std::make_unique<VirtualBusBackend>());
            return backends;
        };
        form = std::make_unique<TMainForm>(options);
        form->show();
    }

    // A widget of the window by its object name; the test fails when there is none.
    template <class W = QWidget> W& widget(const char* name) const
    {
        W* found = form->findChild<W*>(QString::fromLatin1(name));
        if (!found)
            throw std::runtime_error(std::string("no widget named ") + name);
        return *found;
    }
    QAction& action(const char* name) const { return widget<QAction>(name); }
    // Shown on its own page, whichever tab is in front.
    bool shown(const char* name) const { return !widget(name).isHidden(); }
    QString statusPanel(int panel) const
    {
        return widget<QLabel>(("StatusPanel" + std::to_string(panel)).c_str()).text();
    }

    InstrumentSession& session() { return form->session(); }
    QStringList log() const { return widget<HistoryLog>("HistoryListBox").lines(); }

    // Sends a line from the instrument and waits until the program has logged it, and so handled it.
    void deliver(ScriptedInstrument& from, const QString& line)
    {
        const qsizetype before = log().size();
        from.send(line);
        ASSERT_TRUE(waitUntil([&] { return log().size() > before && log().last() == line; }))
            << line.toStdString();
    }

    bool waitInUse()
    {
        return waitUntil([this] { return session().CurrentDevice() && shown("KVOffLabel"); });
    }

    VirtualBus bus;
    FixedClock clock;
    std::unique_ptr<TMainForm> form;
};

} // namespace kv58::test
