// One protocol line per HID report: packing a command into the 64-byte output report, turning an
// input report into its text line, and the log lines for failed reads and writes.
#pragma once

#include <QString>
#include <QStringView>
#include <array>
#include <cstddef>
#include <cstdint>

namespace kv58 {

inline constexpr std::size_t kOutputReportSize = 64;
inline constexpr std::uint8_t kReportId = 0x3F;
// Text bytes that fit into one report after the report ID and the count byte.
inline constexpr int kMaxLineLength = 62;

using OutputReport = std::array<std::uint8_t, kOutputReportSize>;

// Host side, sending: 0x3F, the count byte, the text (the low byte of each UTF-16 code unit) and
// zero fill. A text longer than 62 characters keeps its first 61 and ends in "!", so the instrument
// still sees a terminated command.
OutputReport packOutputReport(QStringView text);

// Host side, receiving: `data` and `size` as the data handler gets them (the bytes after the report
// ID). Byte 0 is skipped; the text runs from byte 1 to the first character below 31 or the end, each
// byte read as Windows-1252.
QString inputReportToLine(const std::uint8_t* data, std::uint16_t size);

// Instrument side, the same framing seen from the other end: an input report of `length` bytes
// (report ID, count byte, Windows-1252 text cut to what fits, zero fill), and the command line of an
// output report (its count byte, bounded by 62 and by the report's length).
QByteArray packInputReport(QStringView line, int length);
QString outputReportToLine(const std::uint8_t* report, std::size_t length);

// A system message without its trailing blanks, line breaks and full stops.
QString trimSystemMessage(QString message);
// The operating system's message for an error code (strerror text of an errno code), trimmed.
QString osErrorMessage(std::uint32_t code);
// "WRITE ERROR: <message> (<code in upper-case hex>)" and the same with "READ ERROR".
QString writeErrorLine(std::uint32_t code);
QString readErrorLine(std::uint32_t code);

} // namespace kv58
