// The XML table reader on arbitrary bytes: it must neither crash nor read out of bounds, and
// whatever it reads must write out and read back to the very same file text.
#include "data/RLData.h"
#include "data/RLXml.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

using namespace kv58;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    // A small cell limit keeps a "numrows" of millions from making every run slow.
    constexpr std::int64_t kCells = std::int64_t(1) << 16;
    for (const QString& id : {QStringLiteral("KV58"), QString()}) {
        TRLData store;
        store.setCellLimit(kCells);
        rlLoadXmlBytes(store, bytes, id);
        const std::string text = rlXmlText(store);
        TRLData back;
        back.setCellLimit(kCells);
        if (!rlLoadXmlBytes(back, text, QString()) || rlXmlText(back) != text)
            std::abort();
    }
    return 0;
}
