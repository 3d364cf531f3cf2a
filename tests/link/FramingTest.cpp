#include "link/Framing.h"

#include <cerrno>
#include <cstring>
#include <gtest/gtest.h>
#include <vector>

using namespace kv58;

namespace {

std::vector<std::uint8_t> bytes(std::initializer_list<int> values)
{
    std::vector<std::uint8_t> out;
    for (int v : values)
        out.push_back(static_cast<std::uint8_t>(v));
    return out;
}

QString lineOf(const std::vector<std::uint8_t>& data)
{
    return inputReportToLine(data.data(), static_cast<std::uint16_t>(data.size()));
}

} // namespace

TEST(OutputReport, StopIsPackedByteForByte)
{
    const OutputReport report = packOutputReport(u"STOP!");
    const auto expected = bytes({0x3F, 0x05, 'S', 'T', 'O', 'P', '!'});
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), report.begin()));
    EXPECT_TRUE(std::all_of(report.begin() + 7, report.end(), [](std::uint8_t b) { return b == 0; }));
}

TEST(OutputReport, LengthsAroundTheCut)
{
    struct Case {
        int length;
        int countByte;
        char lastByte; // byte 63
    };
    for (const Case c :
         {Case{0, 0, 0}, Case{61, 61, 0}, Case{62, 62, 'x'}, Case{63, 62, '!'}, Case{200, 62, '!'}}) {
        QString text(c.length, u'x');
        const OutputReport report = packOutputReport(text);
        SCOPED_TRACE(c.length);
        EXPECT_EQ(report[0], 0x3F);
        EXPECT_EQ(report[1], c.countByte);
        EXPECT_EQ(report[63], static_cast<std::uint8_t>(c.lastByte));
        // Bytes 2..62 carry the first 61 characters whenever the text is that long.
        for (int i = 0; i < std::min(c.length, 61); ++i)
            ASSERT_EQ(report[static_cast<std::size_t>(2 + i)], 'x');
        for (int i = c.length; i < 61; ++i)
            ASSERT_EQ(report[static_cast<std::size_t>(2 + i)], 0);
    }
}

TEST(OutputReport, CutCommandKeepsSixtyOneCharactersAndEndsInBang)
{
    QString text = QStringLiteral("SET CUSTOMER:");
    while (text.size() < 70)
        text += QChar(static_cast<char16_t>(u'A' + text.size() % 26));
    text += u'!';
    const OutputReport report = packOutputReport(text);
    EXPECT_EQ(outputReportToLine(report.data(), report.size()), text.left(61) + u'!');
}

TEST(OutputReport, CharactersAboveLatin1KeepOnlyTheirLowByte)
{
    const OutputReport report = packOutputReport(QString::fromUtf8("\u20AC\u0142\u00B2A"));
    EXPECT_EQ(report[1], 4);
    EXPECT_EQ(report[2], 0xAC);
    EXPECT_EQ(report[3], 0x42);
    EXPECT_EQ(report[4], 0xB2);
    EXPECT_EQ(report[5], 'A');
}

TEST(InputReport, SkipsTheCountByteAndStopsAtTheFirstControlCharacter)
{
    EXPECT_EQ(lineOf(bytes({0x05, 'A', 'B', 'C', 0x0D, 0x0A, 0, 0})), u"ABC");
    // The count byte is not believed: the text runs to the control character.
    EXPECT_EQ(lineOf(bytes({0x01, 'A', 'B', 'C', 0})), u"ABC");
    EXPECT_EQ(lineOf(bytes({0x03, 'A', 0x1F, 'B', 0x1E, 'C'})), QString::fromUtf8("A\x1F"
                                                                                  "B"));
    EXPECT_EQ(lineOf(bytes({0x03, 0x00, 'A'})), QString());
}

TEST(InputReport, ShortReportsGiveTheEmptyLine)
{
    EXPECT_EQ(inputReportToLine(nullptr, 0), QString());
    EXPECT_EQ(lineOf(bytes({'A'})), QString());
}

TEST(InputReport, WithoutControlCharacterTheLineHasSizeMinusOneCharacters)
{
    std::vector<std::uint8_t> data(63, 'k');
    EXPECT_EQ(lineOf(data), QString(62, u'k'));
}

TEST(InputReport, HighBytesAreWindows1252)
{
    EXPECT_EQ(lineOf(bytes({0, 'W', '/', 'm', 0xB2, ' ', 0x80, 0x81})),
              QString::fromUtf8("W/m\u00B2 \u20AC\u0081"));
}

TEST(InputReport, InstrumentSideFramingRoundTrips)
{
    for (const QString& line : {QStringLiteral("ACK:POWER IS ON"), QString(), QString(62, u'z')}) {
        const QByteArray report = packInputReport(line, 64);
        ASSERT_EQ(report.size(), 64);
        EXPECT_EQ(static_cast<std::uint8_t>(report[0]), 0x3F);
        EXPECT_EQ(static_cast<std::uint8_t>(report[1]), line.size());
        EXPECT_EQ(inputReportToLine(reinterpret_cast<const std::uint8_t*>(report.constData()) + 1, 63), line);
    }
    // Only what fits a report of the given length goes out.
    EXPECT_EQ(static_cast<std::uint8_t>(packInputReport(QString(80, u'z'), 64)[1]), 62);
    EXPECT_EQ(packInputReport(u"ABC", 8), QByteArray("\x3F\x03"
                                                     "ABC\0\0\0",
                                                     8));
}

TEST(InputReport, OutputReportLineIsBoundedByCountAndLength)
{
    const auto report = bytes({0x3F, 200, 'A', 'B', 'C'});
    EXPECT_EQ(outputReportToLine(report.data(), report.size()), u"ABC");
    EXPECT_EQ(outputReportToLine(report.data(), 1), QString());
}

TEST(ErrorLines, MessageAndUpperCaseHexCode)
{
    const QString denied = QString::fromLocal8Bit(std::strerror(EACCES));
    EXPECT_EQ(writeErrorLine(EACCES), QStringLiteral("WRITE ERROR: %1 (D)").arg(denied));
    EXPECT_EQ(readErrorLine(ENODEV),
              QStringLiteral("READ ERROR: %1 (13)").arg(QString::fromLocal8Bit(std::strerror(ENODEV))));
    EXPECT_TRUE(readErrorLine(0x2AF).endsWith(u" (2AF)"));
    EXPECT_FALSE(osErrorMessage(ECONNREFUSED).isEmpty());
}

TEST(ErrorLines, SystemMessagesLoseTrailingBlanksLineBreaksAndFullStops)
{
    EXPECT_EQ(trimSystemMessage(QStringLiteral("Access is denied.\r\n")), u"Access is denied");
    EXPECT_EQ(trimSystemMessage(QStringLiteral("The device is not ready. . \n")), u"The device is not ready");
    EXPECT_EQ(trimSystemMessage(QStringLiteral("v1.2 failed")), u"v1.2 failed");
    EXPECT_EQ(trimSystemMessage(QStringLiteral(".\r\n")), QString());
}
