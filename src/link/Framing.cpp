#include "link/Framing.h"

#include "core/Cp1252.h"

#include <QByteArray>
#include <algorithm>
#include <cstring>

namespace kv58 {

OutputReport packOutputReport(QStringView text)
{
    OutputReport report{};
    report[0] = kReportId;
    const qsizetype n = text.size();
    const auto used = std::min<qsizetype>(n, kMaxLineLength);
    report[1] = static_cast<std::uint8_t>(used);
    for (qsizetype i = 0; i < used; ++i)
        report[static_cast<std::size_t>(2 + i)] = static_cast<std::uint8_t>(text[i].unicode() & 0xFF);
    if (n > kMaxLineLength)
        report[kOutputReportSize - 1] = '!';
    return report;
}

QString inputReportToLine(const std::uint8_t* data, std::uint16_t size)
{
    QString line;
    for (std::uint16_t i = 1; i < size; ++i) {
        const char16_t ch = cp1252ToUnicode(data[i]);
        if (ch < 31)
            break;
        line += QChar(ch);
    }
    return line;
}

QByteArray packInputReport(QStringView line, int length)
{
    QByteArray report(std::max(length, 0), '\0');
    if (length < 1)
        return report;
    report[0] = static_cast<char>(kReportId);
    if (length < 2)
        return report;
    const auto used = std::min<qsizetype>({line.size(), length - 2, 255});
    report[1] = static_cast<char>(used);
    for (qsizetype i = 0; i < used; ++i)
        report[2 + i] = static_cast<char>(unicodeToCp1252(line[i].unicode()));
    return report;
}

QString outputReportToLine(const std::uint8_t* report, std::size_t length)
{
    if (length < 2)
        return {};
    const auto n = std::min<std::size_t>({report[1], kMaxLineLength, length - 2});
    return cp1252ToUnicode(std::string_view(reinterpret_cast<const char*>(report + 2), n));
}

QString osErrorMessage(std::uint32_t code)
{
    char buffer[256] = {};
    // The GNU variant may return a static string instead of filling the buffer.
    const char* text = strerror_r(static_cast<int>(code), buffer, sizeof buffer);
    return trimSystemMessage(QString::fromLocal8Bit(text));
}

QString trimSystemMessage(QString message)
{
    qsizetype end = message.size();
    while (end > 0) {
        const QChar c = message[end - 1];
        if (c != u' ' && c != u'\r' && c != u'\n' && c != u'.')
            break;
        --end;
    }
    message.truncate(end);
    return message;
}

namespace {
QString errorLine(const char* prefix, std::uint32_t code)
{
    return QStringLiteral("%1: %2 (%3)")
        .arg(QLatin1String(prefix), osErrorMessage(code), QString::number(code, 16).toUpper());
}
} // namespace

QString writeErrorLine(std::uint32_t code)
{
    return errorLine("WRITE ERROR", code);
}

QString readErrorLine(std::uint32_t code)
{
    return errorLine("READ ERROR", code);
}

} // namespace kv58
