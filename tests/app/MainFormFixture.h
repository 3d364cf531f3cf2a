// A main window in the test process with shrunk time, a fixed clock and only a private virtual
// bus as device source; instruments are played by ScriptedInstrument.
#pragma once

#include "app/AppState.h"
#include "app/DevicePage.h"
#include "app/HistoryLog.h"
#include "app/MainForm.h"
#include "core/Clock.h"
#include "link/VirtualBusBackend.h"
#include "support/ScriptedInstrument.h"
#include "support/VirtualBus.h"

#include <QLabel>
#include "app/MeasurePage.h"

#include <QSettings>
#include <QTimer>
#include <gtest/gtest.h>

#include <memory>

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

    DevicePage& page() { return *form->DeviceSheet; }
    AppState& state() { return form->state(); }
    QStringList log() const { return form->HistoryListBox->lines(); }

    bool waitInUse() { return waitUntil([this] { return state().CurrentDevice && page().KVOffLabel->isVisible(); }); }

    VirtualBus bus;
    FixedClock clock;
    std::unique_ptr<TMainForm> form;
};

} // namespace kv58::test
