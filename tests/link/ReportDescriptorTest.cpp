#include "link/ReportDescriptor.h"

#include <gtest/gtest.h>
#include <vector>

using namespace kv58;

namespace {
int lengthOf(const std::vector<std::uint8_t>& d)
{
    return inputReportLengthFromDescriptor(d.data(), d.size());
}

// A vendor-defined interface with numbered 64-byte reports both ways, as the instrument has.
const std::vector<std::uint8_t> kInstrument = {0x06, 0x00, 0xFF, // Usage Page (vendor)
                                               0x09, 0x01,       // Usage
                                               0xA1, 0x01,       // Collection (Application)
                                               0x85, 0x3F,       //   Report ID 0x3F
                                               0x95, 0x3F,       //   Report Count 63
                                               0x75, 0x08,       //   Report Size 8
                                               0x25, 0x01, 0x15, 0x01, 0x09, 0x01, 0x81, 0x02, //   Input
                                               0x09, 0x01, 0x91, 0x02,                         //   Output
                                               0xC0};
} // namespace

TEST(ReportDescriptor, NumberedReportsCountTheirIdByte)
{
    EXPECT_EQ(lengthOf(kInstrument), 64);
}

TEST(ReportDescriptor, UnnumberedKeyboardReport)
{
    const std::vector<std::uint8_t>
        keyboard = {0x05, 0x01, 0x09, 0x06, 0xA1, 0x01, 0x05, 0x07, 0x19, 0xE0, 0x29,
                    0xE7, 0x15, 0x00, 0x25, 0x01, 0x75, 0x01, 0x95, 0x08, 0x81, 0x02, // 8 modifier bits
                    0x95, 0x01, 0x75, 0x08, 0x81, 0x01,                               // reserved byte
                    0x95, 0x05, 0x75, 0x01, 0x91, 0x02, // LEDs (output, not counted)
                    0x95, 0x01, 0x75, 0x03, 0x91, 0x01, 0x95, 0x06, 0x75, 0x08, 0x26,
                    0xFF, 0x00, 0x81, 0x00, // six key bytes
                    0xC0};
    EXPECT_EQ(lengthOf(keyboard), 8);
}

TEST(ReportDescriptor, LongestOfSeveralReportsAndPushPop)
{
    const std::vector<std::uint8_t> d = {0x85, 0x01, 0x75, 0x08, 0x95, 0x04, 0x81, 0x02, // report 1: 4 bytes
                                         0xA4,                                           // Push
                                         0x85, 0x02, 0x95, 0x10, 0x81, 0x02,             // report 2: 16 bytes
                                         0xB4,                         // Pop: back to report 1, count 4
                                         0x81, 0x02,                   // report 1: 4 more bytes
                                         0xFE, 0x02, 0x10, 0xAA, 0xBB, // a long item, skipped
                                         0x96, 0x00, 0x00};            // Report Count with two data bytes
    EXPECT_EQ(lengthOf(d), 17);
}

TEST(ReportDescriptor, MalformedOrWithoutInputGivesZero)
{
    EXPECT_EQ(lengthOf({}), 0);
    EXPECT_EQ(lengthOf({0x75, 0x08, 0x95, 0x40, 0x91, 0x02}), 0); // output only
    EXPECT_EQ(lengthOf({0x75, 0x08, 0x97, 0x40}), 0);             // item cut short
    EXPECT_EQ(lengthOf({0xFE, 0x05}), 0);
}
