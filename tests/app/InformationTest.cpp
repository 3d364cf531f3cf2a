// What the instrument reports about itself reaches the information tabs, the status bar and the
// service fields.
#include "MainFormFixture.h"
#include "app/service/InternPage.h"
#include "app/service/KalPage.h"
#include "app/service/ZeitPage.h"
#include "data/Measurement.h"

#include <QDateEdit>

using namespace kv58;
using namespace kv58::test;

namespace {

class InformationTest : public MainFormTest {
protected:
    void SetUp() override
    {
        writeSetting(QStringLiteral("SYSTEM/Version"), 258614);
        kv = instrument(QStringLiteral("kv"));
        ASSERT_TRUE(kv->plugIn());
        startProgram();
        ASSERT_TRUE(waitInUse());
        send(QStringLiteral("ACK:POWER IS ON"));
    }
    void send(const QString& line) { deliver(*kv, line); }
    InternPage& intern() { return widget<InternPage>("UVG"); }
    QTabWidget& left() { return widget<QTabWidget>("PageControl2"); }
    bool tabShown(const char* sheet) { return left().isTabVisible(left().indexOf(&widget(sheet))); }
    std::unique_ptr<ScriptedInstrument> kv;
};

TEST_F(InformationTest, SerialSplitsIntoPrefixAndNumber)
{
    const struct {
        const char* reply;
        QString serial;
        QString prefix;
        QString number;
        bool editable;
    } cases[] = {
        {"ACK:SERIAL 64 58 2 0007x", "64 58 2 0007", "64 58 2 ", "0007", false},
        {"ACK:SERIAL 64 58 2 XXXXx", "64 58 2 XXXX", "64 58 2 ", "0007", true}, // the number stays
        {"ACK:SERIAL 12x", "12", "", "12", false},
    };
    for (const auto& c : cases) {
        send(QString::fromLatin1(c.reply));
        EXPECT_EQ(form->measurement().instrument().serial, c.serial) << c.reply;
        EXPECT_EQ(widget<QLabel>("SerialLabel2").text(), c.serial) << c.reply;
        EXPECT_EQ(statusPanel(2), QStringLiteral("# ") + c.serial) << c.reply;
        EXPECT_EQ(intern().serialPrefix(), c.prefix) << c.reply;
        EXPECT_EQ(intern().serialNumberText(), c.number) << c.reply;
        EXPECT_EQ(intern().serialEditable(), c.editable) << c.reply;
    }
}

TEST_F(InformationTest, ProgrammedIdentityLocksItsFields)
{
    send(QStringLiteral("ACK:CUSTOMER:NOT SET"));
    EXPECT_TRUE(intern().customerEditable());
    send(QStringLiteral("ACK:CUSTOMER:ACME Labs"));
    EXPECT_FALSE(intern().customerEditable());
    EXPECT_EQ(widget<QLabel>("CustomerLabel").text(), QStringLiteral("ACME Labs"));

    send(QStringLiteral("ACK:BuildDate:01.01.1990x"));
    EXPECT_TRUE(intern().buildDateEditable());
    send(QStringLiteral("ACK:BuildDate:24.03.2025x"));
    EXPECT_FALSE(intern().buildDateEditable());
    EXPECT_EQ(widget<QLabel>("ProductionDateLabel").text(), QStringLiteral("24.03.2025"));
    EXPECT_EQ(widget<QDateEdit>("BuildDate").date(), QDate(2025, 3, 24));

    // A date that does not read leaves the fields as they were.
    send(QStringLiteral("ACK:BuildDate:31.02.2025x"));
    EXPECT_EQ(widget<QLabel>("ProductionDateLabel").text(), QStringLiteral("24.03.2025"));

    send(QStringLiteral("ACK:CALDATE:05.06.2026"));
    EXPECT_EQ(widget<QLabel>("CalDateLabel").text(), QStringLiteral("05.06.2026"));
    EXPECT_EQ(widget<QDateEdit>("CalDate").date(), QDate(2026, 6, 5));

    send(QStringLiteral("ACK:FIRMWARE 2.07 3 USB-Stack 1.2"));
    EXPECT_EQ(widget<QLabel>("FirmLabel").text(), QStringLiteral("Firmware: 2.07"));
    EXPECT_EQ(widget<QLabel>("HardLabel").text(), QStringLiteral("Hardware: 3"));
    EXPECT_EQ(widget<QLabel>("USBStackLabel").text(), QStringLiteral("USB-Stack 1.2"));
}

TEST_F(InformationTest, SensorLinesFillTheChannelTabAndRemovedHidesIt)
{
    send(QStringLiteral("CH2:Sensortyp: VISL-2"));
    EXPECT_TRUE(tabShown("CH2Sheet"));
    EXPECT_EQ(left().currentWidget(), &widget("CH2Sheet"));
    EXPECT_EQ(left().tabText(left().indexOf(&widget("CH2Sheet"))), QStringLiteral("CH2: VISL-2"));

    send(QStringLiteral("CH1:Serial: S-123"));
    send(QStringLiteral("CH1:RangeLo: 315"));
    send(QStringLiteral("CH1:RangeHi: 400"));
    send(QStringLiteral("CH1:Calibration date: 01.02.2026"));
    send(QStringLiteral("CH1:Kalibrierung: 1.25"));
    send(QStringLiteral("CH1:SensorOffset: -0.5"));
    EXPECT_EQ(widget<QLabel>("CH1_Serial").text(), QStringLiteral("S-123"));
    EXPECT_EQ(widget<QLabel>("CH1_LoLab").text(), QStringLiteral("315"));
    EXPECT_EQ(widget<QLabel>("CH1_HiLab").text(), QStringLiteral("400"));
    EXPECT_EQ(widget<QLabel>("CH1_CalDate").text(), QStringLiteral("01.02.2026"));
    EXPECT_EQ(form->measurement().sensor(1).calibrationFactor, 1.25);
    EXPECT_EQ(widget<KalPage>("KalSheet").offsetText(1), QStringLiteral("-0.5"));
    EXPECT_EQ(widget<QLabel>("CH1SensOff").text(), QStringLiteral("-0.5"));

    send(QStringLiteral("CH1:Removed"));
    EXPECT_FALSE(tabShown("CH1Sheet"));
    EXPECT_TRUE(widget<QLabel>("CH1_Serial").text().isEmpty());
    EXPECT_TRUE(widget<QLabel>("CH1SensOff").text().isEmpty());
    EXPECT_EQ(form->measurement().sensor(1).calibrationFactor, 0.0);
    EXPECT_EQ(widget<KalPage>("KalSheet").factorText(1), QStringLiteral("0"));
    EXPECT_EQ(widget<KalPage>("KalSheet").offsetText(1), QStringLiteral("0"));
}

TEST_F(InformationTest, ClockLinesAndTheCalibrationRegisterAreLogged)
{
    send(QStringLiteral("ACK:RTC CAL 0x85"));
    send(QStringLiteral("ZEIT:2026.12.11 10:15:30"));
    EXPECT_EQ(widget<ZeitPage>("ZeitTab").memo(),
              QStringLiteral("RTC CAL 0x85\r\n\r\nZEIT:2026.12.11 10:15:30"));
}

} // namespace
