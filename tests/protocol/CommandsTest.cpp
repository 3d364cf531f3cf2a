#include "protocol/Commands.h"

#include "ProtocolTestSupport.h"
#include "protocol/Decoder.h"
#include "protocol/DeferredJobs.h"

#include <gtest/gtest.h>

using namespace kv58;
using namespace kv58::test;

namespace {

TEST(Commands, FixedAndParameterLines)
{
    const struct {
        QString actual;
        const char* expected;
    } cases[] = {
        {cmd::inUse(), "InUse!"},
        {cmd::setUse(true), "SetUse:YES!"},
        {cmd::setUse(false), "SetUse:NO!"},
        {cmd::powerOn(), "POWER ON!"},
        {cmd::powerOff(), "POWER OFF!"},
        {cmd::runIrradiation(), "RUN IRRADIATION!"},
        {cmd::runTransmission(), "RUN TRANSMISSION!"},
        {cmd::runRelation(), "RUN RELATION!"},
        {cmd::stop(), "STOP!"},
        {cmd::offset(), "OFFSET!"},
        {cmd::hundredPercent(), "100%!"},
        {cmd::swap(), "SWAP!"},
        {cmd::setIntervall(QStringLiteral("20")), "SET INTERVALL:20!"},
        {cmd::setIntervall(QStringLiteral("0")), "SET INTERVALL:0!"},
        {cmd::setGain(1), "SET GAIN:ON!"},
        {cmd::setGain(0), "SET GAIN:OFF!"},
        {cmd::setUnit(1), "SET UNIT:0!"},
        {cmd::setUnit(0), "SET UNIT:1!"},
        {cmd::zeit(), "ZEIT!"},
        {cmd::getRtcCal(), "GET RTC CAL!"},
        {cmd::calRtc(16), "CAL RTC:16!"},
        {cmd::calRtc(255), "CAL RTC:255!"},
        {cmd::calRtc(133.9), "CAL RTC:133!"},
        {cmd::calRtc(0), "CAL RTC:0!"},
        {cmd::getSerial(), "GET SERIAL!"},
        {cmd::getFirm(), "GET FIRM!"},
        {cmd::setCustomer(QStringLiteral("Velmark GmbH")), "SET CUSTOMER:Velmark GmbH!"},
        {cmd::setBuild(date(1990, 1, 1)), "SET BUILD:01.01.1990!"},
        {cmd::setCalDate(date(2024, 3, 5) + timeOfDay(13, 0, 0)), "SET CALDATE:05.03.2024!"},
        {cmd::setSerial(QStringLiteral("2"), 7), "SET SERIAL:64 58 2 0007!"},
        {cmd::setSerial(QStringLiteral("12"), 9999), "SET SERIAL:64 58 12 9999!"},
        {cmd::setSerial(QStringLiteral("2"), 6.5), "SET SERIAL:64 58 2 0006!"},
        {cmd::setSerial(QStringLiteral("2"), 7.5), "SET SERIAL:64 58 2 0008!"},
        {cmd::updateKv58(), "Update-KV58!"},
        {cmd::calibration(1, QStringLiteral("1.25")), "CALIBRATION CH1:1.25!"},
        {cmd::calibration(2, QStringLiteral("0")), "CALIBRATION CH2:0!"},
        {cmd::sensorOffset(1, QStringLiteral("-0.5")), "Sensoroffset CH1:-0.5!"},
        {cmd::sensorOffset(2, QStringLiteral("0")), "Sensoroffset CH2:0!"},
        {cmd::calDateChannel(2, date(2024, 12, 31) + timeOfDay(23, 59, 59)), "CALDATE CH2:31.12.2024!"},
        {cmd::serialText(QStringLiteral("2"), 7), "64 58 2 0007"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.actual, u16(c.expected));
}

TEST(Commands, ClockParameterWeekdayDigitAndTruncatedSeconds)
{
    const struct {
        TDateTime now;
        const char* expected;
    } cases[] = {
        {date(2024, 3, 15) + timeOfDay(10, 15, 30), "20240315-5-101530"}, // Friday
        {date(2024, 3, 17) + timeOfDay(0, 0, 0), "20240317-0-000000"},    // Sunday
        {date(2024, 3, 16) + timeOfDay(23, 59, 59), "20240316-6-235959"}, // Saturday
        {date(2024, 3, 18) + timeOfDay(7, 8, 9), "20240318-1-070809"},    // Monday
        {date(2024, 3, 16) + *encodeTime(23, 59, 59, 600), "20240316-6-235959"},
        {date(999, 1, 2) + timeOfDay(1, 2, 3), "09990102-3-010203"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(cmd::clockParameter(c.now), u16(c.expected)) << c.expected;
    EXPECT_EQ(cmd::setRtc(date(2024, 3, 15) + timeOfDay(10, 15, 30)),
              QStringLiteral("SET RTC:20240315-5-101530!"));
}

TEST(Commands, LongCustomerLineIsNotCutHere)
{
    const QString customer(49, u'C');
    EXPECT_EQ(cmd::setCustomer(customer).size(), 63);
}

TEST(DeferredJobs, EachJobsLineFromItsInputs)
{
    DeferredJobInputs in;
    in.now = date(2024, 3, 15) + timeOfDay(10, 15, 30);
    in.buildDate = date(2021, 3, 12);
    in.calDate = date(2023, 11, 5);
    in.hardwareVersion = QStringLiteral("2");
    in.serialNumber = 7;
    const struct {
        int job;
        const char* expected;
    } cases[] = {
        {0, ""},
        {1, "GET SERIAL!"},
        {2, "CALDATE CH1:15.03.2024!"},
        {3, "CALDATE CH2:15.03.2024!"},
        {4, "SET BUILD:12.03.2021!"},
        {5, "GET FIRM!"},
        {6, "SET CALDATE:05.11.2023!"},
        {7, "SET SERIAL:64 58 2 0007!"},
        {8, "SET RTC:20240315-5-101530!"},
        {9, ""},
        {-1, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(deferredJobCommand(c.job, in), u16(c.expected)) << "job " << c.job;
}

// The reply side of the chains: what each reply leads to 200 ms later, with and without the
// identity chain running.
TEST(DeferredJobs, RepliesScheduleTheNextCommandOfTheirChain)
{
    DeferredJobInputs in;
    in.now = date(2024, 3, 15) + timeOfDay(10, 15, 30);
    in.buildDate = date(2021, 3, 12);
    in.calDate = date(2023, 11, 5);
    in.hardwareVersion = QStringLiteral("2");
    in.serialNumber = 7;
    const struct {
        const char* reply;
        bool transferAll;
        const char* next;
    } cases[] = {
        {"ACK:POWER IS ON", false, "GET SERIAL!"},
        {"ACK:SERIAL 64 58 2 0007X", false, "SET RTC:20240315-5-101530!"},
        {"ACK:SERIAL 64 58 2 0007X", true, "SET CALDATE:05.11.2023!"},
        {"ACK:CUSTOMER:Velmark", true, "SET BUILD:12.03.2021!"},
        {"ACK:CUSTOMER:Velmark", false, ""},
        {"ACK:BuildDate:12.03.2021X", true, "GET FIRM!"},
        {"ACK:BuildDate:12.03.2021X", false, ""},
        {"ACK:FIRMWARE 1.05 2 USB", true, "SET SERIAL:64 58 2 0007!"},
        {"ACK:FIRMWARE 1.05 2 USB", false, ""},
        {"ACK:CALDATE:05.11.2023", true, ""},
        {"ACK:CH1 CALIBRATED:1.25", false, "CALDATE CH1:15.03.2024!"},
        {"ACK:CH1 SensorOffset:0", true, "CALDATE CH1:15.03.2024!"},
        {"ACK:CH2 CALIBRATED:", false, "CALDATE CH2:15.03.2024!"},
        {"ACK:CH2 SensorOffset:", false, "CALDATE CH2:15.03.2024!"},
        {"ACK:RTC SET", false, ""},
    };
    for (const auto& c : cases) {
        const auto ack = as<AckReply>(decodeLine(u16(c.reply)));
        EXPECT_EQ(deferredJobCommand(ack.job.job(c.transferAll), in), u16(c.next))
            << c.reply << " transferAll " << c.transferAll;
    }
}

} // namespace
