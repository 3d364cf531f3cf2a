#include "protocol/Decoder.h"

#include "ProtocolTestSupport.h"
#include "core/Cp1252.h"
#include "protocol/MessageEffects.h"

#include <gtest/gtest.h>
#include <random>
#include <string>

using namespace kv58;
using namespace kv58::test;

namespace {

template <class T> std::size_t kindOf()
{
    return Message{T{}}.index();
}

TEST(Decoder, DispatchByLeadingKeywordExactAndCaseSensitive)
{
    const struct {
        const char* line;
        std::size_t kind;
    } cases[] = {
        {"Time:10:15:30 UVA 1,0 W/m&", kindOf<IrradiationLine>()},
        {"Transmission: UVA 1,0 % ", kindOf<TransmissionLine>()},
        {"Relation: UVA/VISL  1,0 %", kindOf<RelationLine>()},
        {"USE:YES", kindOf<UseReply>()},
        {"ZEIT:2024-03-15 10:15:30", kindOf<ClockLine>()},
        {"ACK:POWER IS ON", kindOf<AckReply>()},
        {"NACK:SENSOR LOST", kindOf<NackReply>()},
        {"CH1:Sensortyp: UVA", kindOf<ChannelInfo>()},
        {"CH2:Sensortyp: VISL", kindOf<ChannelInfo>()},
        {"", kindOf<UnrecognisedLine>()},
        {"time:10:15:30 UVA 1,0 W/m&", kindOf<UnrecognisedLine>()},
        {" ACK:POWER IS ON", kindOf<UnrecognisedLine>()},
        {"ACK", kindOf<UnrecognisedLine>()},
        {"NACK", kindOf<UnrecognisedLine>()},
        {"CH3:Sensortyp: X", kindOf<UnrecognisedLine>()},
        {"Zeit:2024-03-15 10:15:30", kindOf<UnrecognisedLine>()},
        {"Tim", kindOf<UnrecognisedLine>()},
    };
    for (const auto& c : cases)
        EXPECT_EQ(decodeLine(u16(c.line)).index(), c.kind) << c.line;
    EXPECT_EQ(as<UnrecognisedLine>(decodeLine(QStringLiteral("hello"))).line, QStringLiteral("hello"));
    EXPECT_EQ(as<ChannelInfo>(decodeLine(QStringLiteral("CH2:x"))).channel, 2);
}

TEST(UseReply, YesAlwaysMarksInUseOtherAnswersOnlyWhileDiscoveryWaits)
{
    const struct {
        const char* line;
        UseState before;
        UseState after;
    } cases[] = {
        {"USE:YES", {false, false}, {true, false}},        {"USE:YES", {false, true}, {true, false}},
        {"USE:YES, host 2", {false, true}, {true, false}}, {"USE:NO", {false, true}, {false, false}},
        {"USE:NO", {true, true}, {false, false}},          {"USE:", {true, true}, {false, false}},
        {"USE:NO", {true, false}, {true, false}},          {"USE:yes", {true, false}, {true, false}},
        {"USE: YES", {false, true}, {false, false}},
    };
    for (const auto& c : cases) {
        const auto reply = as<UseReply>(decodeLine(u16(c.line)));
        EXPECT_EQ(applyUseReply(reply, c.before), c.after)
            << c.line << " in use " << c.before.deviceInUse << " pending " << c.before.useReplyPending;
    }
}

TEST(ClockLine, FixedPositionsAnySeparatorsAndTheTimeText)
{
    const struct {
        const char* line;
        std::optional<TDateTime> deviceTime;
        const char* timeText;
    } cases[] = {
        {"ZEIT:2024-03-15 10:15:30", date(2024, 3, 15) + timeOfDay(10, 15, 30), "10:15:30"},
        {"ZEIT:2024/03/15x23h59m59 Fr", date(2024, 3, 15) + timeOfDay(23, 59, 59), "Fr"},
        {"ZEIT:2024.02.29 00:00:00 extra words", date(2024, 2, 29), "00:00:00 extra words"},
        {"ZEIT:2024-03-15 10:15:3", date(2024, 3, 15) + timeOfDay(10, 15, 3), "10:15:3"},
        // Not a valid date or time, not digits, or too short.
        {"ZEIT:2024-13-15 10:15:30", std::nullopt, "10:15:30"},
        {"ZEIT:2023-02-29 10:15:30", std::nullopt, "10:15:30"},
        {"ZEIT:2024-03-15 24:00:00", std::nullopt, "24:00:00"},
        {"ZEIT:2024-0a-15 10:15:30", std::nullopt, "10:15:30"},
        {"ZEIT:2024-+3-15 10:15:30", std::nullopt, "10:15:30"},
        {"ZEIT:2024- 3-15 10:15:30", std::nullopt, "3-15 10:15:30"},
        {"ZEIT:2024-03-15 10:15", std::nullopt, "10:15"},
        {"ZEIT:0000-03-15 10:15:30", std::nullopt, "10:15:30"},
        {"ZEIT:", std::nullopt, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        const auto clock = as<ClockLine>(decodeLine(u16(c.line)));
        EXPECT_EQ(clock.line, u16(c.line));
        EXPECT_EQ(clock.clockText, u16(c.line).mid(5));
        EXPECT_EQ(clock.timeText, u16(c.timeText));
        ASSERT_EQ(clock.deviceTime.has_value(), c.deviceTime.has_value());
        if (c.deviceTime) {
            EXPECT_NEAR(*clock.deviceTime, *c.deviceTime, 1e-9);
        }
    }
}

TEST(ChannelInfo, KeysValuesAndNumbers)
{
    const struct {
        const char* line;
        int channel;
        const char* key;
        ChannelKey kind;
        const char* value;
        std::optional<double> number;
    } cases[] = {
        {"CH2:Sensortyp: VISL-2", 2, "Sensortyp:", ChannelKey::SensorType, "VISL-2", std::nullopt},
        {"CH1:Production date: 01.02.2020", 1, "Production date:", ChannelKey::ProductionDate, "01.02.2020",
         std::nullopt},
        {"CH1:Calibration date: 03.04.2021", 1, "Calibration date:", ChannelKey::CalibrationDate,
         "03.04.2021", std::nullopt},
        {"CH1:Customer: Velmark GmbH Berlin", 1, "Customer:", ChannelKey::Customer, "Velmark GmbH Berlin",
         std::nullopt},
        {"CH1:Serial: 12345", 1, "Serial:", ChannelKey::Serial, "12345", 12345},
        {"CH1:Kalibrierung: 1.2345", 1, "Kalibrierung:", ChannelKey::Calibration, "1.2345", 1.2345},
        {"CH2:Kalibrierung: 1,2345", 2, "Kalibrierung:", ChannelKey::Calibration, "1,2345", std::nullopt},
        {"CH1:RangeHi: 400", 1, "RangeHi:", ChannelKey::RangeHi, "400", 400},
        {"CH1:RangeLo: 315", 1, "RangeLo:", ChannelKey::RangeLo, "315", 315},
        {"CH2:SensorOffset: -0.5", 2, "SensorOffset:", ChannelKey::SensorOffset, "-0.5", -0.5},
        {"CH1:SensorOffset:  0.25 ", 1, "SensorOffset:", ChannelKey::SensorOffset, " 0.25 ", 0.25},
        {"CH1:Removed", 1, "Removed", ChannelKey::Removed, "", std::nullopt},
        {"CH2:Removed ", 2, "Removed", ChannelKey::Removed, "", std::nullopt},
        {"CH1:", 1, "", ChannelKey::Other, "", std::nullopt},
        {"CH1: Sensortyp: UVA", 1, "", ChannelKey::Other, "Sensortyp: UVA", std::nullopt},
        {"CH1:sensortyp: UVA", 1, "sensortyp:", ChannelKey::Other, "UVA", std::nullopt},
        {"CH1:Production", 1, "Production ", ChannelKey::Other, "", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        const auto info = as<ChannelInfo>(decodeLine(u16(c.line)));
        EXPECT_EQ(info.channel, c.channel);
        EXPECT_EQ(info.key, u16(c.key));
        EXPECT_EQ(info.keyKind, c.kind);
        EXPECT_EQ(info.value, u16(c.value));
        EXPECT_EQ(info.number, c.number);
    }
}

// Whatever arrives, decoding returns a message: lines cut short after every keyword and row
// prefix, garbage of report length, and bytes of the upper half of the code page.
TEST(Decoder, NeverFailsOnTruncatedOrGarbageLines)
{
    const char* const prefixes[] = {
        "Time:",
        "Time:10:15:30 UVA  12,500 W/m& VISL  103,250 W/m&",
        "Transmission: UVA 45,5 % VISL 50,25 %",
        "Relation: UVA/VISL  12,5 %",
        "USE:YES",
        "ZEIT:2024-03-15 10:15:30",
        "ACK:POWER IS ON",
        "ACK:FIRMWARE 1.05 2 MSP430",
        "ACK:CUSTOMER:x",
        "ACK:BuildDate:12.03.2021X",
        "ACK:SERIAL 64 58 2 0007X",
        "ACK:CALDATE:05.11.2023",
        "ACK:GAIN CONTROL: ON",
        "ACK:UNIT SET: cm",
        "ACK:INTERVALL SET:20 s",
        "ACK:RTC CAL",
        "NACK:NO SENSOR CONNECTED",
        "CH1:Production date: 01.02.2020",
        "CH2:Calibration date: 01.02.2020",
    };
    std::size_t decoded = 0;
    for (const char* p : prefixes) {
        const QString full = u16(p);
        for (qsizetype n = 0; n <= full.size(); ++n) {
            decodeLine(full.left(n));
            decodeLine(full.left(n) + u' ');
            decodeLine(full.left(n) + QString(62, u' '));
            ++decoded;
        }
    }

    std::mt19937 rng(58);
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<int> length(0, 80);
    for (int i = 0; i < 5000; ++i) {
        std::string bytes(static_cast<std::size_t>(length(rng)), '\0');
        for (auto& b : bytes)
            b = static_cast<char>(byte(rng));
        const QString tail = cp1252ToUnicode(bytes);
        decodeLine(tail);
        for (const char* p : prefixes)
            decodeLine(u16(p).left(static_cast<qsizetype>(i % 12)) + tail);
        ++decoded;
    }
    EXPECT_GT(decoded, 5000u);

    // Upper-half characters are ordinary characters of a field.
    const auto line = as<IrradiationLine>(decodeLine(cp1252ToUnicode("Time:10:15:30 \xB5W\xE9 1,5 W/m\xB2")));
    EXPECT_EQ(line.ch1.type, u16("µWé"));
    EXPECT_EQ(line.ch1.unit, u16("W/m²"));
}

} // namespace
