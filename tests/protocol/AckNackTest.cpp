#include "ProtocolTestSupport.h"
#include "protocol/Decoder.h"

#include <gtest/gtest.h>

using namespace kv58;
using namespace kv58::test;

namespace {

struct AckCase {
    const char* line;
    AckRow row;
    const char* text;
    int jobIfTransferAll;
    int jobOtherwise;
    bool complete;
};

TEST(AckTable, RowsTheirTextFieldsAndJobs)
{
    const AckCase cases[] = {
        {"ACK:POWER IS ON", AckRow::PowerIsOn, "", 1, 1, true},
        {"ACK:KV58 IS OFF", AckRow::Kv58IsOff, "", 0, 0, true},
        {"ACK:MEASUREMENT STOPPED", AckRow::MeasurementStopped, "", 0, 0, true},
        {"ACK:FIRMWARE 1.05 2 MSP430 USB 4.1", AckRow::Firmware, "MSP430 USB 4.1", 7, 0, true},
        {"ACK:CUSTOMER:Velmark GmbH", AckRow::Customer, "Velmark GmbH", 4, 0, true},
        {"ACK:CUSTOMER:", AckRow::Customer, "", 4, 0, true},
        // The build date comes with one character too many; the calibration date without.
        {"ACK:BuildDate:12.03.2021X", AckRow::BuildDate, "12.03.2021", 5, 0, true},
        {"ACK:BuildDate:01.01.1990 ", AckRow::BuildDate, "01.01.1990", 5, 0, true},
        {"ACK:BuildDate:12.03.2021", AckRow::BuildDate, "12.03.202", 5, 0, true},
        {"ACK:BuildDate:32.03.2021X", AckRow::BuildDate, "32.03.2021", 5, 0, false},
        {"ACK:BuildDate:", AckRow::BuildDate, "", 5, 0, false},
        {"ACK:CALDATE:05.11.2023", AckRow::CalDate, "05.11.2023", 0, 0, true},
        {"ACK:CALDATE:2023-11-05", AckRow::CalDate, "2023-11-05", 0, 0, false},
        // The serial: after the first word, without its last character.
        {"ACK:SERIAL 64 58 2 0007X", AckRow::Serial, "64 58 2 0007", 6, 8, true},
        {"ACK:SERIAL: 64 58 2 XXXX ", AckRow::Serial, "64 58 2 XXXX", 6, 8, true},
        {"ACK:SERIAL", AckRow::Serial, "SERIA", 6, 8, true},
        {"ACK:CH1 CALIBRATED:1.25", AckRow::Ch1Calibrated, "", 2, 2, true},
        {"ACK:CH2 CALIBRATED:", AckRow::Ch2Calibrated, "", 3, 3, true},
        {"ACK:CH1 SensorOffset:anything at all", AckRow::Ch1SensorOffset, "", 2, 2, true},
        {"ACK:CH2 SensorOffset:-0.5", AckRow::Ch2SensorOffset, "", 3, 3, true},
        {"ACK:RTC SET", AckRow::RtcSet, "", 0, 0, true},
        {"ACK:RTC CAL: 0x85", AckRow::RtcCal, "RTC CAL: 0x85", 0, 0, true},
        {"ACK:INTERVALL SET:20 s", AckRow::IntervallSet, "20 s", 0, 0, true},
        {"ACK:INTERVALL SET:20", AckRow::IntervallSet, "20", 0, 0, false},
        {"ACK:INTERVALL SET: 20 s", AckRow::IntervallSet, " 20 s", 0, 0, false},
        {"ACK:INTERVALL SET:2O s", AckRow::IntervallSet, "2O s", 0, 0, false},
        // Nothing matches: case matters, the keyword alone, the blank the row needs.
        {"ACK:", AckRow::Unknown, "", 0, 0, true},
        {"ACK:power is on", AckRow::Unknown, "", 0, 0, true},
        {"ACK: POWER IS ON", AckRow::Unknown, "", 0, 0, true},
        {"ACK:GAIN CONTROL:ON", AckRow::Unknown, "", 0, 0, true},
        {"ACK:Firmware 1 2 x", AckRow::Unknown, "", 0, 0, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        const auto ack = as<AckReply>(decodeLine(u16(c.line)));
        EXPECT_EQ(ack.row, c.row);
        EXPECT_EQ(ack.payload, u16(c.line).mid(4));
        EXPECT_EQ(ack.text, u16(c.text));
        EXPECT_EQ(ack.job.job(true), c.jobIfTransferAll);
        EXPECT_EQ(ack.job.job(false), c.jobOtherwise);
        EXPECT_EQ(ack.complete(), c.complete);
    }
}

TEST(AckTable, RunStartsCarryTheirKind)
{
    const struct {
        const char* line;
        AckRow row;
        MeasureMode mode;
    } cases[] = {
        {"ACK:IRRADIATION STARTED", AckRow::IrradiationStarted, Irradiation},
        {"ACK:TRANSMISSION STARTED", AckRow::TransmissionStarted, Transmission},
        {"ACK:RELATION STARTED", AckRow::RelationStarted, Relation},
        {"ACK:MEASUREMENT STOPPED", AckRow::MeasurementStopped, NoMeasurement},
    };
    for (const auto& c : cases) {
        const auto ack = as<AckReply>(decodeLine(u16(c.line)));
        EXPECT_EQ(ack.row, c.row) << c.line;
        EXPECT_EQ(ack.mode, c.mode) << c.line;
    }
}

TEST(AckTable, FirmwareWordsTakenApart)
{
    auto ack = as<AckReply>(decodeLine(QStringLiteral("ACK:FIRMWARE 1.05 2 MSP430 USB 4.1")));
    EXPECT_EQ(ack.firmwareVersion, QStringLiteral("1.05"));
    EXPECT_EQ(ack.hardwareVersion, QStringLiteral("2"));
    EXPECT_EQ(ack.text, QStringLiteral("MSP430 USB 4.1"));

    // A reply that ends early leaves the later words empty.
    ack = as<AckReply>(decodeLine(QStringLiteral("ACK:FIRMWARE 1.05")));
    EXPECT_EQ(ack.firmwareVersion, QString());
    EXPECT_EQ(ack.hardwareVersion, QString());
    EXPECT_EQ(ack.text, QStringLiteral("1.05"));
}

TEST(AckTable, DatesReadAsDayMonthYear)
{
    auto ack = as<AckReply>(decodeLine(QStringLiteral("ACK:BuildDate:12.03.2021X")));
    ASSERT_TRUE(ack.date);
    EXPECT_EQ(*ack.date, date(2021, 3, 12));
    ack = as<AckReply>(decodeLine(QStringLiteral("ACK:CALDATE:05.11.2023")));
    ASSERT_TRUE(ack.date);
    EXPECT_EQ(*ack.date, date(2023, 11, 5));
}

TEST(AckTable, GainUnitAndIntervalSettings)
{
    const struct {
        const char* line;
        int item;
        std::optional<long long> interval;
    } cases[] = {
        {"ACK:GAIN CONTROL: ON", 1, std::nullopt},   {"ACK:GAIN CONTROL: ON ", 0, std::nullopt},
        {"ACK:GAIN CONTROL: OFF", 0, std::nullopt},  {"ACK:GAIN CONTROL: on", 0, std::nullopt},
        {"ACK:UNIT SET: cm", 1, std::nullopt},       {"ACK:UNIT SET: cm/x", 1, std::nullopt},
        {"ACK:UNIT SET: mW/cm&", 0, std::nullopt},   {"ACK:UNIT SET: W/m&", 0, std::nullopt},
        {"ACK:UNIT SET: c", 0, std::nullopt},        {"ACK:UNIT SET: ", 0, std::nullopt},
        {"ACK:INTERVALL SET:20 s", 0, 20},           {"ACK:INTERVALL SET:0020 s", 0, 20},
        {"ACK:INTERVALL SET:3600 seconds", 0, 3600}, {"ACK:INTERVALL SET:20", 0, std::nullopt},
    };
    for (const auto& c : cases) {
        const auto ack = as<AckReply>(decodeLine(u16(c.line)));
        EXPECT_EQ(ack.item, c.item) << c.line;
        EXPECT_EQ(ack.interval, c.interval) << c.line;
    }
}

TEST(NackTable, RowsAndTheirMessages)
{
    const struct {
        const char* line;
        NackRow row;
        const char* first;
        const char* second;
    } cases[] = {
        {"NACK:RELATION NOT POSSIBLE", NackRow::RelationNotPossible, "Relation not possible!",
         "Only one sensor connected"},
        {"NACK:SENSOR LOST CH2", NackRow::SensorLost, "Disconnection of a Sensor!", "Check the KV58 device"},
        {"NACK:NO SENSOR CONNECTED", NackRow::NoSensorConnected, "No measurement possible!",
         "No Sensor connected"},
        {"NACK:", NackRow::Unknown, nullptr, nullptr},
        {"NACK:SENSOR", NackRow::Unknown, nullptr, nullptr},
        {"NACK: SENSOR LOST", NackRow::Unknown, nullptr, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        const auto nack = as<NackReply>(decodeLine(u16(c.line)));
        EXPECT_EQ(nack.row, c.row);
        EXPECT_EQ(nack.payload, u16(c.line).mid(5));
        const NackMessage text = nackMessage(nack.row);
        EXPECT_STREQ(text.first, c.first);
        EXPECT_STREQ(text.second, c.second);
    }
}

} // namespace
