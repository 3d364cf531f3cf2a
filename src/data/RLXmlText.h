// Text coding of element content in XML table files: entity decoding on reading and escaping on
// writing, on 8-bit (Windows-1252) bytes.
#pragma once

#include <string>
#include <string_view>

namespace kv58 {

// Decodes "&lt;", "&gt;", "&amp;", "&quot;", "&nbsp;" (a blank), "&#<decimal>;", "&#x<hex>;" and
// the entity names of the characters 161 to 255 ("&iexcl;" to "&yuml;"). Codes up to 255 are the
// byte itself; larger codes are Unicode, mapped to the code page ('?' where it has none). Any
// other "&" sequence stays as it is.
std::string rlXmlDecode(std::string_view raw);

// Escapes "<", ">" and "&" by name and every byte below 32 or from 127 on as "&#<decimal>;", so the
// written text is plain ASCII on one line and decodes back to the same bytes.
std::string rlXmlEncode(std::string_view bytes);

} // namespace kv58
