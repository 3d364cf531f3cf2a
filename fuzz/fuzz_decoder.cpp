// Fuzz target of the line decoder: arbitrary bytes read as Windows-1252, decoded as a whole and as
// the at most 62 characters a report can carry, and the decoded measurement stores applied.
#include "core/Cp1252.h"
#include "core/Kanal.h"
#include "protocol/Decoder.h"
#include "protocol/MessageEffects.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace {

void decodeAndApply(const QString& line)
{
    using namespace kv58;
    Kanal kanal1;
    Kanal kanal2;
    TDateTime zeit = 0;
    const Message message = decodeLine(line);
    std::visit(Overloaded{
                   [&](const IrradiationLine& m) { storeChannels(m, zeit, kanal1, kanal2); },
                   [&](const TransmissionLine& m) { storeChannels(m, kanal1, kanal2); },
                   [&](const RelationLine& m) { storeChannels(m, kanal1); },
                   [&](const UseReply& m) {
                       applyUseReply(m, UseState{false, true});
                   },
                   [&](const AckReply& m) { (void)m.complete(); },
                   [&](const NackReply& m) { (void)nackMessage(m.row); },
                   [](const auto&) {},
               },
               message);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString text = kv58::cp1252ToUnicode(std::string_view(reinterpret_cast<const char*>(data), size));
    decodeAndApply(text);
    decodeAndApply(text.left(62));
    return 0;
}
