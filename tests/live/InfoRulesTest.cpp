// What sensor lines, switching on and switching off do to a channel's record.
#include "live/InfoRules.h"

#include <gtest/gtest.h>

using namespace kv58;

namespace {

ChannelInfo line(ChannelKey key, const QString& value, std::optional<double> number = std::nullopt)
{
    ChannelInfo info;
    info.keyKind = key;
    info.value = value;
    info.number = number;
    return info;
}

SensorInfo reported()
{
    SensorInfo s;
    s.type = QStringLiteral("UVA");
    s.rangeLo = QStringLiteral("315");
    s.rangeHi = QStringLiteral("400");
    s.productionDate = QStringLiteral("01.02.2024");
    s.calibrationDate = QStringLiteral("01.02.2026");
    s.customer = QStringLiteral("ACME");
    s.serial = QStringLiteral("S-1");
    s.calibrationFactor = 1.25;
    s.offset = QStringLiteral("0.5");
    return s;
}

TEST(InfoRules, EachKeySetsItsFieldAndNothingElse)
{
    const struct {
        ChannelInfo info;
        QString SensorInfo::*field;
        QString expected;
    } cases[] = {
        {line(ChannelKey::SensorType, QStringLiteral("VISL-2")), &SensorInfo::type, "VISL-2"},
        {line(ChannelKey::ProductionDate, QStringLiteral("x")), &SensorInfo::productionDate, "x"},
        {line(ChannelKey::CalibrationDate, QStringLiteral("y")), &SensorInfo::calibrationDate, "y"},
        {line(ChannelKey::Customer, QStringLiteral("Lab 7")), &SensorInfo::customer, "Lab 7"},
        {line(ChannelKey::Serial, QStringLiteral("S-2")), &SensorInfo::serial, "S-2"},
        {line(ChannelKey::RangeHi, QStringLiteral("500")), &SensorInfo::rangeHi, "500"},
        {line(ChannelKey::RangeLo, QStringLiteral("280")), &SensorInfo::rangeLo, "280"},
        {line(ChannelKey::SensorOffset, QStringLiteral("-0.25"), -0.25), &SensorInfo::offset, "-0.25"},
    };
    for (const auto& c : cases) {
        SensorInfo expected = reported();
        expected.*c.field = c.expected;
        EXPECT_EQ(applyChannelInfo(reported(), c.info), expected) << c.expected.toStdString();
    }
    SensorInfo factor = reported();
    factor.calibrationFactor = 2.5;
    EXPECT_EQ(applyChannelInfo(reported(), line(ChannelKey::Calibration, QStringLiteral("2.5"), 2.5)),
              factor);
    // A number that does not convert and an unknown key change nothing.
    EXPECT_EQ(applyChannelInfo(reported(), line(ChannelKey::Calibration, QStringLiteral("x"))), reported());
    EXPECT_EQ(applyChannelInfo(reported(), line(ChannelKey::Other, QStringLiteral("x"))), reported());
}

TEST(InfoRules, RemovedSwitchOnAndSwitchOffEmptyWhatTheyShould)
{
    EXPECT_EQ(applyChannelInfo(reported(), line(ChannelKey::Removed, {})), SensorInfo{});

    SensorInfo on = reported();
    on.type.clear();
    on.productionDate.clear();
    on.calibrationDate.clear();
    on.customer.clear();
    on.serial.clear();
    EXPECT_EQ(sensorOnSwitchOn(reported()), on); // range, factor and offset stay

    SensorInfo unplugged = on;
    unplugged.rangeLo.clear();
    unplugged.rangeHi.clear();
    EXPECT_EQ(sensorWithoutDetails(reported()), unplugged); // factor and offset stay

    SensorInfo off = unplugged;
    off.calibrationFactor = 0;
    EXPECT_EQ(sensorOnSwitchOff(reported()), off); // the offset stays
}

} // namespace
