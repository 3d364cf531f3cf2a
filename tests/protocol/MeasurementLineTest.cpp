#include "ProtocolTestSupport.h"
#include "protocol/Decoder.h"
#include "protocol/MessageEffects.h"

#include <gtest/gtest.h>

using namespace kv58;
using namespace kv58::test;

namespace {

constexpr auto none = std::nullopt;

struct Reading {
    const char* type;
    std::optional<double> value;
    const char* unit;
};

void expectReading(const ChannelReading& actual, const Reading& expected, const char* which)
{
    EXPECT_EQ(actual.type, u16(expected.type)) << which;
    EXPECT_EQ(actual.value, expected.value) << which;
    EXPECT_EQ(actual.unit, u16(expected.unit)) << which;
}

struct IrradiationCase {
    const char* line;
    FailedField failedAt;
    const char* timeToken;
    std::optional<TDateTime> zeit;
    Reading ch1;
    bool twoChannels;
    Reading ch2;
};

TEST(IrradiationLine, FieldsChannelCountAndFailurePoints)
{
    const TDateTime t101530 = timeOfDay(10, 15, 30);
    const IrradiationCase cases[] = {
        // One channel: a short rest after the value is the unit, with "&" as "²".
        {"Time:10:15:30 UVA 12,333 W/m&",
         FailedField::None,
         "10:15:30",
         t101530,
         {"UVA", 12.333, "W/m²"},
         false,
         {"", none, ""}},
        {"Time:10:15:30 UVA    -1,5E2 mW/cm&",
         FailedField::None,
         "10:15:30",
         t101530,
         {"UVA", -150, "mW/cm²"},
         false,
         {"", none, ""}},
        // Two channels, each unit with "²", blanks before type and value skipped.
        {"Time:10:15:30 UVA  12,500 W/m& VISL  103,250 W/m&",
         FailedField::None,
         "10:15:30",
         t101530,
         {"UVA", 12.5, "W/m²"},
         true,
         {"VISL", 103.25, "W/m²"}},
        {"Time:10:15:30 UVA 1,0 W/m&   VISL   2,0 W/m& tail",
         FailedField::None,
         "10:15:30",
         t101530,
         {"UVA", 1.0, "W/m²"},
         true,
         {"VISL", 2.0, "W/m²"}},
        // The channel count goes by the length of the rest: 19 characters are one unit, 20 are two channels.
        {"Time:10:15:30 UVA 12,5 W/m& VISL 3,25 W/m&",
         FailedField::None,
         "10:15:30",
         t101530,
         {"UVA", 12.5, "W/m² VISL 3,25 W/m²"},
         false,
         {"", none, ""}},
        {"Time:10:15:30 UVA 12,5 W/m& VISL 3,25  W/m&",
         FailedField::None,
         "10:15:30",
         t101530,
         {"UVA", 12.5, "W/m²"},
         true,
         {"VISL", 3.25, "W/m²"}},
        {"Time:10:15:30 UVA 12,5 a very long unit text",
         FailedField::Value2,
         "10:15:30",
         t101530,
         {"UVA", 12.5, "a"},
         true,
         {"very", none, ""}},
        // A long time token loses its first three characters.
        {"Time:Di,10:15:30 UVA 1,5 W/m&",
         FailedField::None,
         "10:15:30",
         t101530,
         {"UVA", 1.5, "W/m²"},
         false,
         {"", none, ""}},
        {"Time:xyz23:59:59 UVA 1,5 W/m&",
         FailedField::None,
         "23:59:59",
         timeOfDay(23, 59, 59),
         {"UVA", 1.5, "W/m²"},
         false,
         {"", none, ""}},
        {"Time:9:05:07 UVA 1,5 W/m&",
         FailedField::None,
         "9:05:07",
         timeOfDay(9, 5, 7),
         {"UVA", 1.5, "W/m²"},
         false,
         {"", none, ""}},
        // Failures: the empty time token (blank right after the keyword), a bad time, a decimal point,
        // a value without a blank behind it, a bad second value.
        {"Time: 10:15:30 UVA 1,5 W/m&", FailedField::Time, "", none, {"", none, ""}, false, {"", none, ""}},
        {"Time:25:15:30 UVA 1,5 W/m&",
         FailedField::Time,
         "25:15:30",
         none,
         {"", none, ""},
         false,
         {"", none, ""}},
        {"Time:10:15:30", FailedField::Time, "", none, {"", none, ""}, false, {"", none, ""}},
        {"Time:10:15:30 UVA 12.5 W/m&",
         FailedField::Value1,
         "10:15:30",
         t101530,
         {"UVA", none, ""},
         false,
         {"", none, ""}},
        {"Time:10:15:30 UVA 12,5",
         FailedField::Value1,
         "10:15:30",
         t101530,
         {"UVA", none, ""},
         false,
         {"", none, ""}},
        {"Time:10:15:30 UVA  12,500 W/m& VISL  103.250 W/m&",
         FailedField::Value2,
         "10:15:30",
         t101530,
         {"UVA", 12.5, "W/m²"},
         true,
         {"VISL", none, ""}},
        // A tab is an ordinary character: it does not end the type.
        {"Time:10:15:30 UVA\t12,5 W/m&",
         FailedField::Value1,
         "10:15:30",
         t101530,
         {"UVA\t12,5", none, ""},
         false,
         {"", none, ""}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        const auto line = as<IrradiationLine>(decodeLine(u16(c.line)));
        EXPECT_EQ(line.failedAt, c.failedAt);
        EXPECT_EQ(line.complete(), c.failedAt == FailedField::None);
        EXPECT_EQ(line.timeToken, u16(c.timeToken));
        ASSERT_EQ(line.zeit.has_value(), c.zeit.has_value());
        if (c.zeit) {
            EXPECT_NEAR(*line.zeit, *c.zeit, 1e-9);
        }
        expectReading(line.ch1, c.ch1, "channel 1");
        EXPECT_EQ(line.twoChannels, c.twoChannels);
        expectReading(line.ch2, c.ch2, "channel 2");
    }
}

struct TwoChannelCase {
    const char* line;
    FailedField failedAt;
    Reading ch1;
    bool twoChannels;
    Reading ch2;
};

TEST(TransmissionLine, TrailingBlankMarksOneChannelAndUnitsStayAsSent)
{
    const TwoChannelCase cases[] = {
        {"Transmission: UVA 45,5 % ", FailedField::None, {"UVA", 45.5, "% "}, false, {"", none, ""}},
        {"Transmission: UVA    45,5 W/m& ", FailedField::None, {"UVA", 45.5, "W/m& "}, false, {"", none, ""}},
        {"Transmission: UVA 45,5 ", FailedField::None, {"UVA", 45.5, ""}, false, {"", none, ""}},
        {"Transmission: UVA 45,5 % VISL 50,25 %",
         FailedField::None,
         {"UVA", 45.5, "%"},
         true,
         {"VISL", 50.25, "%"}},
        {"Transmission: UVA 45,5 % VISL   50,25 % more",
         FailedField::None,
         {"UVA", 45.5, "%"},
         true,
         {"VISL", 50.25, "%"}},
        // Without the trailing blank the same one-channel line is read as two and fails at channel 2.
        {"Transmission: UVA 45,5 %", FailedField::Value2, {"UVA", 45.5, ""}, true, {"", none, ""}},
        {"Transmission: UVA 45.5 % ", FailedField::Value1, {"UVA", none, ""}, false, {"", none, ""}},
        {"Transmission:", FailedField::Value1, {"", none, ""}, false, {"", none, ""}},
        {"Transmission: UVA 45,5 % VISL 5O,25 %",
         FailedField::Value2,
         {"UVA", 45.5, "%"},
         true,
         {"VISL", none, ""}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        const auto line = as<TransmissionLine>(decodeLine(u16(c.line)));
        EXPECT_EQ(line.failedAt, c.failedAt);
        expectReading(line.ch1, c.ch1, "channel 1");
        EXPECT_EQ(line.twoChannels, c.twoChannels);
        expectReading(line.ch2, c.ch2, "channel 2");
    }
}

TEST(RelationLine, NineCharacterLabelThenValueAndUnit)
{
    const struct {
        const char* line;
        FailedField failedAt;
        const char* label;
        std::optional<double> value;
        const char* unit;
    } cases[] = {
        {"Relation: UVA/VISL  12,5 %", FailedField::None, "UVA/VISL ", 12.5, "%"},
        {"Relation: A B C D E 1,5 x y", FailedField::None, "A B C D E", 1.5, "x y"},
        {"Relation: UVA/VISL-1    0,25 W/m&", FailedField::None, "UVA/VISL-", 1.0, "   0,25 W/m&"},
        {"Relation: UVA/VISL  1.5 %", FailedField::Value1, "UVA/VISL ", none, ""},
        {"Relation: ABC", FailedField::Value1, "ABC", none, ""},
        {"Relation:", FailedField::Value1, "Relation:", none, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        const auto line = as<RelationLine>(decodeLine(u16(c.line)));
        EXPECT_EQ(line.failedAt, c.failedAt);
        EXPECT_EQ(line.label, u16(c.label));
        EXPECT_EQ(line.value, c.value);
        EXPECT_EQ(line.unit, u16(c.unit));
    }
}

// Channel records as a previous two-channel line left them.
class StoreChannels : public ::testing::Test {
protected:
    void SetUp() override
    {
        k1 = {QStringLiteral("OLD1"), QStringLiteral("u1"), 1.0, 0};
        k2 = {QStringLiteral("OLD2"), QStringLiteral("u2"), 2.0, 0};
    }
    Kanal k1;
    Kanal k2;
    TDateTime zeit = 0.5;
};

TEST_F(StoreChannels, IrradiationStoresInReadingOrderUpToTheFailingField)
{
    const struct {
        const char* line;
        bool complete;
        TDateTime zeit;
        Kanal k1;
        Kanal k2;
    } cases[] = {
        {"Time:10:15:30 UVA 12,5 W/m&",
         true,
         timeOfDay(10, 15, 30),
         {"UVA", u16("W/m²"), 12.5, 0},
         {"", "u2", 2.0, 0}},
        {"Time:10:15:30 UVA  12,500 W/m& VISL  103,250 W/m&",
         true,
         timeOfDay(10, 15, 30),
         {"UVA", u16("W/m²"), 12.5, 0},
         {"VISL", u16("W/m²"), 103.25, 0}},
        // The time is kept and the type is stored before the value fails.
        {"Time:10:15:30 UVA 12.5 W/m&",
         false,
         timeOfDay(10, 15, 30),
         {"UVA", "u1", 1.0, 0},
         {"OLD2", "u2", 2.0, 0}},
        {"Time:10:15:30 UVA  12,500 W/m& VISL  1x,000 W/m&",
         false,
         timeOfDay(10, 15, 30),
         {"UVA", u16("W/m²"), 12.5, 0},
         {"VISL", "u2", 2.0, 0}},
        {"Time: 10:15:30 UVA 12,5 W/m&", false, 0.5, {"OLD1", "u1", 1.0, 0}, {"OLD2", "u2", 2.0, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        SetUp();
        zeit = 0.5;
        const auto line = as<IrradiationLine>(decodeLine(u16(c.line)));
        EXPECT_EQ(storeChannels(line, zeit, k1, k2), c.complete);
        EXPECT_NEAR(zeit, c.zeit, 1e-9);
        EXPECT_EQ(k1.SensorTyp, c.k1.SensorTyp);
        EXPECT_EQ(k1.Einheit, c.k1.Einheit);
        EXPECT_EQ(k1.Wert, c.k1.Wert);
        EXPECT_EQ(k2.SensorTyp, c.k2.SensorTyp);
        EXPECT_EQ(k2.Einheit, c.k2.Einheit);
        EXPECT_EQ(k2.Wert, c.k2.Wert);
    }
}

TEST_F(StoreChannels, TransmissionAndRelation)
{
    auto transmission = as<TransmissionLine>(decodeLine(QStringLiteral("Transmission: UVA 45,5 % ")));
    EXPECT_TRUE(storeChannels(transmission, k1, k2));
    EXPECT_EQ(k1.SensorTyp, QStringLiteral("UVA"));
    EXPECT_EQ(k1.Wert, 45.5);
    EXPECT_EQ(k1.Einheit, QStringLiteral("% "));
    EXPECT_TRUE(k2.SensorTyp.isEmpty());
    EXPECT_EQ(k2.Wert, 2.0);

    SetUp();
    transmission = as<TransmissionLine>(decodeLine(QStringLiteral("Transmission: UVA 45,5 %")));
    EXPECT_FALSE(storeChannels(transmission, k1, k2));
    EXPECT_EQ(k1.Einheit, QString());
    EXPECT_EQ(k2.SensorTyp, QString());
    EXPECT_EQ(k2.Wert, 2.0);

    SetUp();
    auto relation = as<RelationLine>(decodeLine(QStringLiteral("Relation: UVA/VISL  12,5 %")));
    EXPECT_TRUE(storeChannels(relation, k1));
    EXPECT_EQ(k1.SensorTyp, QStringLiteral("UVA/VISL "));
    EXPECT_EQ(k1.Wert, 12.5);
    EXPECT_EQ(k1.Einheit, QStringLiteral("%"));

    SetUp();
    relation = as<RelationLine>(decodeLine(QStringLiteral("Relation: UVA/VISL  12.5 %")));
    EXPECT_FALSE(storeChannels(relation, k1));
    EXPECT_EQ(k1.SensorTyp, QStringLiteral("UVA/VISL "));
    EXPECT_EQ(k1.Wert, 1.0);
    EXPECT_EQ(k1.Einheit, QStringLiteral("u1"));
}

} // namespace
