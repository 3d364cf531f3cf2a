// Windows-1252, the 8-bit code page of received bytes and of files on every platform, so that
// files travel between Windows and Linux unchanged.
#pragma once

#include <QString>
#include <QStringView>
#include <string>
#include <string_view>

namespace kv58 {

// One byte to its Unicode character. The five bytes Windows-1252 leaves undefined (0x81, 0x8D,
// 0x8F, 0x90, 0x9D) map to the control characters of the same code, as Windows does.
char16_t cp1252ToUnicode(unsigned char byte);
QString cp1252ToUnicode(std::string_view bytes);

// One character to its byte; characters outside the code page become '?'.
unsigned char unicodeToCp1252(char16_t ch);
std::string unicodeToCp1252(QStringView text);

} // namespace kv58
