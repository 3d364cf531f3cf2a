#include "Kv58Instrument.h"

#include "SimLines.h"
#include "core/Formats.h"
#include "protocol/Decoder.h"

#include <cmath>
#include <gtest/gtest.h>

using namespace kv58;
using namespace kv58::sim;

namespace {

TDateTime at(int h, int n, int s)
{
    return *encodeDate(2024, 5, 17) + *encodeTime(h, n, s);
}

InstrumentSetup twoSensors()
{
    InstrumentSetup setup;
    setup.sensors[0] = defaultSensor(QStringLiteral("UVA"), 1);
    setup.sensors[1] = defaultSensor(QStringLiteral("VISL"), 2);
    setup.clockStart = at(10, 15, 30);
    setup.bootDelayMs = 250;
    return setup;
}

// The instrument with a host on connection 1 and a clock the test moves.
class Instrument : public ::testing::Test {
protected:
    void make(InstrumentSetup setup) { kv = std::make_unique<Kv58Instrument>(std::move(setup), 0); }

    QStringList send(const QString& command, std::int64_t t, int host = 1)
    {
        kv->command(command, host, t);
        return kv->take(t);
    }
    QStringList powerOn()
    {
        send(QStringLiteral("POWER ON!"), 0);
        return kv->take(1000);
    }
    template <class T> static T as(const QString& line)
    {
        const Message m = decodeLine(line);
        EXPECT_TRUE(std::holds_alternative<T>(m)) << line.toStdString();
        return std::holds_alternative<T>(m) ? std::get<T>(m) : T{};
    }
    static AckRow ackRow(const QString& line) { return as<AckReply>(line).row; }

    std::unique_ptr<Kv58Instrument> kv;
};

} // namespace

TEST_F(Instrument, PowerOnIsAnsweredByPowerIsOnAndTheInformationBurst)
{
    make(twoSensors());
    EXPECT_TRUE(send(QStringLiteral("POWER ON!"), 0).isEmpty());   // still starting
    EXPECT_TRUE(send(QStringLiteral("POWER ON!"), 100).isEmpty()); // the repeat is absorbed
    const QStringList burst = kv->take(250);
    ASSERT_FALSE(burst.isEmpty());
    EXPECT_EQ(burst.first(), u"ACK:POWER IS ON");
    EXPECT_EQ(burst.count(QStringLiteral("ACK:POWER IS ON")), 1);

    std::set<AckRow> rows;
    std::map<int, std::set<ChannelKey>> keys;
    for (const QString& line : burst.mid(1)) {
        const Message m = decodeLine(line);
        if (const auto* ack = std::get_if<AckReply>(&m)) {
            EXPECT_TRUE(ack->complete()) << line.toStdString();
            rows.insert(ack->row);
            if (ack->row == AckRow::Firmware) {
                EXPECT_EQ(ack->firmwareVersion, u"7.12");
                EXPECT_EQ(ack->hardwareVersion, u"2");
                EXPECT_EQ(ack->text, u"MSP430 USB 4.20");
            }
            if (ack->row == AckRow::Serial) {
                EXPECT_EQ(ack->text, u"64 58 2 0007");
            }
            if (ack->row == AckRow::Customer) {
                EXPECT_EQ(ack->text, u"Velmark Demo");
            }
            if (ack->row == AckRow::BuildDate) {
                EXPECT_EQ(ack->date, encodeDate(2021, 3, 12));
            }
        } else if (const auto* info = std::get_if<ChannelInfo>(&m)) {
            keys[info->channel].insert(info->keyKind);
            if (info->keyKind == ChannelKey::Calibration || info->keyKind == ChannelKey::SensorOffset) {
                EXPECT_TRUE(info->number) << line.toStdString();
            }
            if (info->keyKind == ChannelKey::SensorType) {
                EXPECT_EQ(info->value, info->channel == 1 ? u"UVA" : u"VISL");
            }
        } else {
            ADD_FAILURE() << "unexpected in the burst: " << line.toStdString();
        }
    }
    EXPECT_EQ(rows, (std::set<AckRow>{AckRow::Firmware, AckRow::Serial, AckRow::Customer, AckRow::BuildDate,
                                      AckRow::CalDate}));
    const std::set<ChannelKey> all{
        ChannelKey::SensorType, ChannelKey::ProductionDate, ChannelKey::CalibrationDate,
        ChannelKey::Customer,   ChannelKey::Serial,         ChannelKey::Calibration,
        ChannelKey::RangeHi,    ChannelKey::RangeLo,        ChannelKey::SensorOffset};
    EXPECT_EQ(keys[1], all);
    EXPECT_EQ(keys[2], all);

    // An instrument already on answers again, burst and all, at once.
    const QStringList again = send(QStringLiteral("POWER ON!"), 5000);
    EXPECT_EQ(again, burst);
    EXPECT_EQ(ackRow(send(QStringLiteral("POWER OFF!"), 6000).value(0)), AckRow::Kv58IsOff);
}

TEST_F(Instrument, EveryCommandGetsTheReplyTheHostExpects)
{
    make(twoSensors());
    powerOn();
    struct Case {
        const char* command;
        AckRow row;
    };
    const Case cases[] = {
        {"SET INTERVALL:20!", AckRow::IntervallSet},
        {"SET GAIN:ON!", AckRow::GainControl},
        {"SET UNIT:0!", AckRow::UnitSet},
        {"SET RTC:20240517-5-101530!", AckRow::RtcSet},
        {"GET RTC CAL!", AckRow::RtcCal},
        {"CAL RTC:16!", AckRow::RtcCal},
        {"GET SERIAL!", AckRow::Serial},
        {"GET FIRM!", AckRow::Firmware},
        {"SET CUSTOMER:ACME Labs!", AckRow::Customer},
        {"SET BUILD:01.02.2023!", AckRow::BuildDate},
        {"SET SERIAL:64 58 2 0042!", AckRow::Serial},
        {"SET CALDATE:03.04.2024!", AckRow::CalDate},
        {"CALIBRATION CH1:1.25!", AckRow::Ch1Calibrated},
        {"CALIBRATION CH2:0.9!", AckRow::Ch2Calibrated},
        {"Sensoroffset CH1:0.5!", AckRow::Ch1SensorOffset},
        {"Sensoroffset CH2:-1!", AckRow::Ch2SensorOffset},
        {"RUN IRRADIATION!", AckRow::IrradiationStarted},
        {"STOP!", AckRow::MeasurementStopped},
        {"RUN TRANSMISSION!", AckRow::TransmissionStarted},
        {"RUN RELATION!", AckRow::RelationStarted},
        {"STOP!", AckRow::MeasurementStopped},
        {"POWER OFF!", AckRow::Kv58IsOff},
    };
    std::int64_t t = 2000;
    for (const Case& c : cases) {
        const QStringList replies = send(QString::fromLatin1(c.command), t += 10);
        ASSERT_EQ(replies.size(), 1) << c.command;
        const AckReply ack = as<AckReply>(replies[0]);
        EXPECT_EQ(ack.row, c.row) << c.command << " -> " << replies[0].toStdString();
        EXPECT_TRUE(ack.complete()) << replies[0].toStdString();
    }
    // Commands that are only carried out.
    for (const char* silent : {"SetUse:YES!", "SetUse:NO!", "OFFSET!", "100%!", "SWAP!", "Update-KV58!",
                               "CALDATE CH1:05.05.2024!"})
        EXPECT_TRUE(send(QString::fromLatin1(silent), t += 10).isEmpty()) << silent;
    EXPECT_EQ(as<UseReply>(send(QStringLiteral("InUse!"), t += 10).value(0)).payload, u"NO");
    EXPECT_EQ(as<NackReply>(send(QStringLiteral("HELLO!"), t += 10).value(0)).row, NackRow::Unknown);
}

TEST_F(Instrument, SettingsRepliesSelectWhatWasAskedFor)
{
    make(twoSensors());
    EXPECT_EQ(as<AckReply>(send(QStringLiteral("SET GAIN:ON!"), 10).value(0)).item, 1);
    EXPECT_EQ(as<AckReply>(send(QStringLiteral("SET GAIN:OFF!"), 20).value(0)).item, 0);
    EXPECT_EQ(as<AckReply>(send(QStringLiteral("SET UNIT:0!"), 30).value(0)).item, 1); // mW/cm²
    EXPECT_EQ(as<AckReply>(send(QStringLiteral("SET UNIT:1!"), 40).value(0)).item, 0); // W/m²
    EXPECT_EQ(as<AckReply>(send(QStringLiteral("SET INTERVALL:20!"), 50).value(0)).interval, 20);
    // Out of range the interval in force stays, and the reply says which it is.
    EXPECT_EQ(as<AckReply>(send(QStringLiteral("SET INTERVALL:0!"), 60).value(0)).interval, 20);
    EXPECT_EQ(kv->intervalSeconds(), 20);
}

TEST_F(Instrument, MeasurementLinesDecodeCompletelyInEveryUnitAndChannelCount)
{
    for (const bool oneSensor : {false, true}) {
        InstrumentSetup setup = twoSensors();
        if (oneSensor)
            setup.sensors[1].reset();
        make(setup);
        powerOn();
        std::int64_t t = 2000;
        for (const char* unit : {"SET UNIT:1!", "SET UNIT:0!"}) {
            send(QString::fromLatin1(unit), t += 10);
            send(QStringLiteral("RUN IRRADIATION!"), t += 10);
            for (const QString& line : kv->take(t += 5000)) {
                const IrradiationLine m = as<IrradiationLine>(line);
                EXPECT_TRUE(m.complete()) << line.toStdString();
                EXPECT_EQ(m.twoChannels, !oneSensor) << line.toStdString();
                EXPECT_EQ(m.ch1.type, u"UVA");
                EXPECT_EQ(m.ch1.unit,
                          unit[9] == '0' ? QString::fromUtf8("mW/cm²") : QString::fromUtf8("W/m²"));
                EXPECT_GT(m.ch1.value.value_or(0), 0);
                if (!oneSensor) {
                    EXPECT_EQ(m.ch2.unit, m.ch1.unit);
                }
            }
        }
        send(QStringLiteral("RUN TRANSMISSION!"), t += 10);
        for (const QString& line : kv->take(t += 3000)) {
            const TransmissionLine m = as<TransmissionLine>(line);
            EXPECT_TRUE(m.complete()) << line.toStdString();
            EXPECT_EQ(m.twoChannels, !oneSensor) << line.toStdString();
            EXPECT_NEAR(m.ch1.value.value_or(0), 72, 15);
        }
        const QStringList relation = send(QStringLiteral("RUN RELATION!"), t += 10);
        if (oneSensor) {
            EXPECT_EQ(as<NackReply>(relation.value(0)).row, NackRow::RelationNotPossible);
            continue;
        }
        for (const QString& line : kv->take(t += 3000).mid(1)) {
            const RelationLine m = as<RelationLine>(line);
            EXPECT_TRUE(m.complete()) << line.toStdString();
            EXPECT_EQ(m.label, u"UVA/VISL ");
            EXPECT_EQ(m.unit, u"%");
        }
        send(QStringLiteral("SWAP!"), t += 10);
        EXPECT_EQ(as<RelationLine>(kv->take(t += 1000).value(0)).label, u"VISL/UVA ");
    }
}

TEST_F(Instrument, ARunSendsOneLinePerIntervalStampedByItsClockUntilStop)
{
    make(twoSensors());
    powerOn();
    send(QStringLiteral("SET INTERVALL:2!"), 1000);
    EXPECT_EQ(send(QStringLiteral("RUN IRRADIATION!"), 1000),
              QStringList{QStringLiteral("ACK:IRRADIATION STARTED")});
    EXPECT_TRUE(kv->take(2999).isEmpty());
    EXPECT_EQ(kv->nextDue(), 3000);
    const QStringList lines = kv->take(9000);
    ASSERT_EQ(lines.size(), 4);
    for (int i = 0; i < 4; ++i) {
        const IrradiationLine m = as<IrradiationLine>(lines[i]);
        ASSERT_TRUE(m.zeit);
        EXPECT_EQ(formatTime(*m.zeit, u':'), formatTime(at(10, 15, 33 + 2 * i), u':'));
    }
    EXPECT_EQ(send(QStringLiteral("STOP!"), 9500), QStringList{QStringLiteral("ACK:MEASUREMENT STOPPED")});
    EXPECT_TRUE(kv->take(60000).isEmpty());
    EXPECT_FALSE(kv->nextDue());

    // After an hour's stall only the last few samples come, not the whole backlog.
    send(QStringLiteral("RUN IRRADIATION!"), 60000);
    const auto late = kv->take(60000 + 3'600'000).size();
    EXPECT_GE(late, 1);
    EXPECT_LE(late, 11);
}

TEST_F(Instrument, TimeScaleShortensIntervalsButNotTheirStamps)
{
    InstrumentSetup setup = twoSensors();
    setup.timeScale = 10;
    make(setup);
    powerOn();
    send(QStringLiteral("RUN IRRADIATION!"), 1000);
    const QStringList lines = kv->take(1000 + 350);
    ASSERT_EQ(lines.size(), 3);
    const TDateTime first = *as<IrradiationLine>(lines[0]).zeit;
    const TDateTime third = *as<IrradiationLine>(lines[2]).zeit;
    EXPECT_NEAR((third - first) * 86400, 2.0, 1e-3);
}

TEST_F(Instrument, SensorRemovedDuringARunEndsItWithSensorLost)
{
    make(twoSensors());
    powerOn();
    send(QStringLiteral("RUN IRRADIATION!"), 1000);
    kv->take(3500);
    kv->removeSensor(2, 3600);
    const QStringList lines = kv->take(3600);
    ASSERT_EQ(lines.size(), 2);
    const ChannelInfo removed = as<ChannelInfo>(lines[0]);
    EXPECT_EQ(removed.channel, 2);
    EXPECT_EQ(removed.keyKind, ChannelKey::Removed);
    EXPECT_EQ(as<NackReply>(lines[1]).row, NackRow::SensorLost);
    EXPECT_EQ(kv->run(), Run::None);
    EXPECT_TRUE(kv->take(10000).isEmpty());

    // The remaining sensor measures alone; a sensor plugged back announces itself.
    send(QStringLiteral("RUN IRRADIATION!"), 10000);
    EXPECT_FALSE(as<IrradiationLine>(kv->take(11000).value(0)).twoChannels);
    kv->insertSensor(2, 11500);
    const QStringList info = kv->take(11500);
    EXPECT_EQ(as<ChannelInfo>(info.value(0)).keyKind, ChannelKey::SensorType);
    EXPECT_TRUE(as<IrradiationLine>(kv->take(12000).value(0)).twoChannels);

    kv->sensorLost(12100);
    EXPECT_EQ(as<NackReply>(kv->take(12100).value(0)).row, NackRow::SensorLost);
    EXPECT_EQ(kv->run(), Run::None);

    kv->removeSensor(1, 13000);
    kv->removeSensor(2, 13000);
    kv->take(13000);
    EXPECT_EQ(as<NackReply>(send(QStringLiteral("RUN IRRADIATION!"), 13100).value(0)).row,
              NackRow::NoSensorConnected);
}

TEST_F(Instrument, InUseAnswersFollowTheClaimOfAnotherHost)
{
    make(twoSensors());
    auto inUse = [&](int host) {
        return as<UseReply>(send(QStringLiteral("InUse!"), 10, host).value(0)).yes();
    };
    EXPECT_FALSE(inUse(1));
    send(QStringLiteral("SetUse:YES!"), 10, 1);
    EXPECT_FALSE(inUse(1));
    EXPECT_TRUE(inUse(2));
    kv->hostLeft(1);
    EXPECT_FALSE(inUse(2));
    send(QStringLiteral("SetUse:YES!"), 10, 2);
    send(QStringLiteral("SetUse:NO!"), 10, 2);
    EXPECT_FALSE(inUse(1));

    InstrumentSetup elsewhere = twoSensors();
    elsewhere.inUseElsewhere = true;
    make(elsewhere);
    EXPECT_TRUE(inUse(1));
}

TEST_F(Instrument, ASilentInstrumentNeverAnswers)
{
    InstrumentSetup setup = twoSensors();
    setup.silent = true;
    make(setup);
    for (const char* command : {"InUse!", "POWER ON!", "RUN IRRADIATION!", "ZEIT!"})
        EXPECT_TRUE(send(QString::fromLatin1(command), 10).isEmpty());
    EXPECT_TRUE(kv->take(100000).isEmpty());
    EXPECT_FALSE(kv->nextDue());
}

TEST_F(Instrument, ClockDriftsAndTheCorrectionTheHostComputesCancelsIt)
{
    // The host's evaluation: error E in ppm to the register value.
    auto correctionFor = [](double e) {
        return e > 0 ? static_cast<int>(roundHalfEven(e / 2.035)) % 256
                     : (static_cast<int>(roundHalfEven(-e / 4.069)) % 256) | 128;
    };
    for (const double drift : {20.0, -20.0}) {
        InstrumentSetup setup = twoSensors();
        setup.driftPpm = drift;
        make(setup);
        send(QStringLiteral("SET RTC:20240517-5-100000!"), 0);
        // 50000.5 s later the uncorrected clock is one second off.
        const ClockLine before = as<ClockLine>(send(QStringLiteral("ZEIT!"), 50'000'500).value(0));
        EXPECT_EQ(before.timeText, drift > 0 ? u"23:53:21" : u"23:53:19");
        EXPECT_TRUE(before.deviceTime);

        send(QStringLiteral("CAL RTC:%1!").arg(correctionFor(drift)), 50'000'500);
        EXPECT_LT(std::abs(kv->clock().effectivePpm()), 1.0) << drift;
        send(QStringLiteral("SET RTC:20240517-5-100000!"), 100'000'000);
        const ClockLine after = as<ClockLine>(send(QStringLiteral("ZEIT!"), 150'000'500).value(0));
        EXPECT_EQ(after.timeText, u"23:53:20");
        EXPECT_EQ(as<AckReply>(send(QStringLiteral("GET RTC CAL!"), 150'000'600).value(0)).text,
                  QStringLiteral("RTC CAL: %1").arg(correctionFor(drift)));
    }
}

TEST_F(Instrument, IdentityAndCalibrationCommandsChangeWhatItReports)
{
    InstrumentSetup setup = twoSensors();
    makeUnprogrammed(setup);
    make(setup);
    QStringList burst = powerOn();
    EXPECT_TRUE(burst.contains(QStringLiteral("ACK:CUSTOMER:NOT SET")));
    EXPECT_TRUE(burst.contains(QStringLiteral("ACK:BuildDate:01.01.1990 ")));
    EXPECT_TRUE(burst.contains(QStringLiteral("ACK:SERIAL 64 58 2 XXXX ")));

    std::int64_t t = 2000;
    send(QStringLiteral("RUN IRRADIATION!"), t);
    double before = 0;
    for (const QString& line : kv->take(t += 5000))
        before += as<IrradiationLine>(line).ch1.value.value_or(0) / 5;
    send(QStringLiteral("STOP!"), t);

    for (const char* command : {"SET CUSTOMER:ACME Labs!", "SET BUILD:1.2.2023!", "SET SERIAL:64 58 2 0042!",
                                "SET CALDATE:03.04.2024!", "CALIBRATION CH1:2!", "Sensoroffset CH2:0.5!",
                                "CALDATE CH1:05.05.2024!"})
        send(QString::fromLatin1(command), t += 10);
    send(QStringLiteral("POWER OFF!"), t += 10);
    send(QStringLiteral("POWER ON!"), t += 10);
    burst = kv->take(t += 1000);
    for (const char* expected : {"ACK:CUSTOMER:ACME Labs", "ACK:BuildDate:01.02.2023 ",
                                 "ACK:SERIAL 64 58 2 0042 ", "ACK:CALDATE:03.04.2024", "CH1:Kalibrierung: 2",
                                 "CH2:SensorOffset: 0.5", "CH1:Calibration date: 05.05.2024"})
        EXPECT_TRUE(burst.contains(QString::fromLatin1(expected))) << expected;

    send(QStringLiteral("RUN IRRADIATION!"), t);
    double after = 0;
    for (const QString& line : kv->take(t += 5000))
        after += as<IrradiationLine>(line).ch1.value.value_or(0) / 5;
    EXPECT_NEAR(after / before, 2.0, 0.3);

    for (const char* refused : {"SET BUILD:31.02.2023!", "CALIBRATION CH1:abc!", "SET RTC:2024-05-17!",
                                "CAL RTC:300!", "SET GAIN:MAYBE!"})
        EXPECT_TRUE(send(QString::fromLatin1(refused), t += 10).value(0).startsWith(u"NACK:")) << refused;
}

TEST(SimLines, ShortNamesAndValuesStillReadAsTwoChannels)
{
    const std::vector<sim::ChannelReading> two{{QStringLiteral("A"), 1, QStringLiteral("W/m&")},
                                               {QStringLiteral("B"), 2, QStringLiteral("W/m&")}};
    const QString line = irradiationLine(QStringLiteral("10:15:30"), two, 3);
    const auto m = std::get<IrradiationLine>(decodeLine(line));
    EXPECT_TRUE(m.complete()) << line.toStdString();
    EXPECT_TRUE(m.twoChannels) << line.toStdString();
    EXPECT_EQ(m.ch2.type, u"B");
    EXPECT_EQ(m.ch2.value, 2.0);

    const auto one =
        std::get<IrradiationLine>(decodeLine(irradiationLine(QStringLiteral("10:15:30"), {two[0]}, 3)));
    EXPECT_TRUE(one.complete());
    EXPECT_FALSE(one.twoChannels);

    const auto t = std::get<TransmissionLine>(
        decodeLine(transmissionLine({sim::ChannelReading{QStringLiteral("A"), 50, QStringLiteral("%")}})));
    EXPECT_TRUE(t.complete());
    EXPECT_FALSE(t.twoChannels);
    EXPECT_EQ(t.ch1.unit, u"% ");

    EXPECT_EQ(relationLabel(QStringLiteral("UVA"), QStringLiteral("VISL")), u"UVA/VISL ");
    EXPECT_EQ(relationLabel(QStringLiteral("UVA-LONG"), QStringLiteral("VISL")), u"UVA-LONG/");
}
