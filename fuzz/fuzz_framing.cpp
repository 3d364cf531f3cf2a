// Arbitrary input reports through the receiving side of the framing: the text line stays within the
// report, holds no control character, and goes back out as one well-formed output report.
#include "link/Framing.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto n = static_cast<std::uint16_t>(std::min<std::size_t>(size, 0xFFFF));
    const QString line = kv58::inputReportToLine(data, n);
    if (line.size() > std::max(static_cast<int>(n) - 1, 0))
        __builtin_trap();
    for (const QChar c : line)
        if (c.unicode() < 31)
            __builtin_trap();

    const kv58::OutputReport report = kv58::packOutputReport(line);
    if (report[0] != kv58::kReportId || report[1] > kv58::kMaxLineLength)
        __builtin_trap();
    const QString back = kv58::outputReportToLine(report.data(), report.size());
    if (back.size() != std::min<qsizetype>(line.size(), kv58::kMaxLineLength))
        __builtin_trap();

    // The instrument's side of the same bytes must not read past them either.
    const QString command = kv58::outputReportToLine(data, size);
    if (command.size() > std::max<qsizetype>(static_cast<qsizetype>(size) - 2, 0))
        __builtin_trap();
    return 0;
}
