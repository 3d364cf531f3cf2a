#include "data/RLXmlText.h"

#include "core/Cp1252.h"

#include <array>
#include <optional>

namespace kv58 {
namespace {

// Names of the characters 161 to 255, in code order.
constexpr std::array<std::string_view, 95> kLatin1Names = {
    "iexcl",  "cent",   "pound",  "curren", "yen",    "brvbar", "sect",   "uml",    "copy",   "ordf",
    "laquo",  "not",    "shy",    "reg",    "macr",   "deg",    "plusmn", "sup2",   "sup3",   "acute",
    "micro",  "para",   "middot", "cedil",  "sup1",   "ordm",   "raquo",  "frac14", "frac12", "frac34",
    "iquest", "Agrave", "Aacute", "Acirc",  "Atilde", "Auml",   "Aring",  "AElig",  "Ccedil", "Egrave",
    "Eacute", "Ecirc",  "Euml",   "Igrave", "Iacute", "Icirc",  "Iuml",   "ETH",    "Ntilde", "Ograve",
    "Oacute", "Ocirc",  "Otilde", "Ouml",   "times",  "Oslash", "Ugrave", "Uacute", "Ucirc",  "Uuml",
    "Yacute", "THORN",  "szlig",  "agrave", "aacute", "acirc",  "atilde", "auml",   "aring",  "aelig",
    "ccedil", "egrave", "eacute", "ecirc",  "euml",   "igrave", "iacute", "icirc",  "iuml",   "eth",
    "ntilde", "ograve", "oacute", "ocirc",  "otilde", "ouml",   "divide", "oslash", "ugrave", "uacute",
    "ucirc",  "uuml",   "yacute", "thorn",  "yuml"};

std::optional<char> namedEntity(std::string_view name)
{
    if (name == "lt")
        return '<';
    if (name == "gt")
        return '>';
    if (name == "amp")
        return '&';
    if (name == "quot")
        return '"';
    if (name == "nbsp")
        return ' ';
    for (std::size_t i = 0; i < kLatin1Names.size(); ++i)
        if (kLatin1Names[i] == name)
            return static_cast<char>(161 + i);
    return std::nullopt;
}

int digitValue(char c, int base)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (base == 16 && c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (base == 16 && c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Decodes the entity that starts at raw[at] == '&'; returns its byte and length, or nothing.
std::optional<std::pair<char, std::size_t>> entityAt(std::string_view raw, std::size_t at)
{
    const std::size_t end = raw.find(';', at + 1);
    // The longest valid entity is short; a far ';' belongs to something else.
    if (end == std::string_view::npos || end - at > 12)
        return std::nullopt;
    const std::string_view body = raw.substr(at + 1, end - at - 1);
    const std::size_t length = end - at + 1;
    if (body.empty())
        return std::nullopt;
    if (body[0] != '#') {
        if (const auto c = namedEntity(body))
            return std::make_pair(*c, length);
        return std::nullopt;
    }
    const bool hex = body.size() > 1 && (body[1] == 'x' || body[1] == 'X');
    const std::string_view digits = body.substr(hex ? 2 : 1);
    if (digits.empty())
        return std::nullopt;
    const int base = hex ? 16 : 10;
    long long code = 0;
    for (const char d : digits) {
        const int v = digitValue(d, base);
        if (v < 0)
            return std::nullopt;
        code = code * base + v;
    }
    if (code > 0x10FFFF)
        return std::nullopt;
    if (code <= 0xFF)
        return std::make_pair(static_cast<char>(code), length);
    if (code <= 0xFFFF && (code < 0xD800 || code > 0xDFFF))
        return std::make_pair(static_cast<char>(unicodeToCp1252(static_cast<char16_t>(code))), length);
    return std::make_pair('?', length);
}

} // namespace

std::string rlXmlDecode(std::string_view raw)
{
    std::string out;
    out.reserve(raw.size());
    std::size_t i = 0;
    while (i < raw.size()) {
        if (raw[i] == '&') {
            if (const auto entity = entityAt(raw, i)) {
                out += entity->first;
                i += entity->second;
                continue;
            }
        }
        out += raw[i++];
    }
    return out;
}

std::string rlXmlEncode(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size());
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (c == '<')
            out += "&lt;";
        else if (c == '>')
            out += "&gt;";
        else if (c == '&')
            out += "&amp;";
        else if (b < 32 || b >= 127)
            out += "&#" + std::to_string(b) + ';';
        else
            out += c;
    }
    return out;
}

} // namespace kv58
