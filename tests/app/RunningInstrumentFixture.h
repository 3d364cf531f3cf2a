// A main window with an instrument in use, switched on, its sensors reported and the run controls
// ready, and short ways to read the measurement table.
#pragma once

#include "MainFormFixture.h"
#include "app/measure/MeasurePage.h"
#include "data/Measurement.h"

#include <QPushButton>

namespace kv58::test {

class RunningInstrumentTest : public MainFormTest {
protected:
    // An instrument taken into use, switched on, with its sensors reported, and the run controls
    // ready.
    void startReady(int sensors = 2)
    {
        clock.value = *encodeDate(2026, 12, 11) + *encodeTime(10, 0, 0);
        kv = instrument(QStringLiteral("kv"));
        ASSERT_TRUE(kv->plugIn());
        startProgram();
        ASSERT_TRUE(waitInUse());
        send(QStringLiteral("ACK:POWER IS ON"));
        if (sensors >= 1)
            send(QStringLiteral("CH1:Sensortyp: UVA"));
        if (sensors >= 2)
            send(QStringLiteral("CH2:Sensortyp: VISL"));
        send(QStringLiteral("ACK:CUSTOMER:ACME"));
        ASSERT_TRUE(waitUntil([this] { return shown("StartBox") && shown("SystemBox"); }));
        kv->clearCommands();
    }
    void send(const QString& line) { deliver(*kv, line); }
    void click(const char* button) { widget<QPushButton>(button).click(); }
    const TRLData& table() { return form->measurement().table(); }
    QStringList columnNames()
    {
        QStringList names;
        for (int c = 1; c <= table().NrOfColumns(); ++c)
            names << table().GetColName(c);
        return names;
    }
    QStringList row(int r)
    {
        QStringList cells;
        for (int c = 1; c <= table().NrOfColumns(); ++c)
            cells << table().GetElem(c, r);
        return cells;
    }
    MeasurePage& displays() { return widget<MeasurePage>("Measure"); }

    std::unique_ptr<ScriptedInstrument> kv;
};

} // namespace kv58::test
