// The CSV reader on arbitrary bytes with both line-end settings: every line and field is walked,
// no field may reach past the bytes, and reading past the end must throw.
#include "data/CSVReader.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

using namespace kv58;

namespace {

void walk(TCSVReader& reader, std::size_t size)
{
    reader.First();
    std::string scratch;
    std::size_t lines = 0;
    while (!reader.Eof()) {
        for (int i = 0; i <= reader.ColumnCount(); ++i)
            if (reader.Columns(i).size() > size || reader.ColumnView(i, scratch).size() > size)
                std::abort();
        if (reader.Position() > size || ++lines > size + 2)
            std::abort();
        reader.Next();
    }
    try {
        reader.Next();
    } catch (const TCSVError&) {
        return;
    }
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const char delimiter = size > 0 ? bytes[0] : ';';
    TCSVReader crlf(std::string(bytes), delimiter);
    walk(crlf, size);
    auto lf = TCSVReader::borrowing(bytes, ';');
    lf.SetEOLChar('\n');
    lf.SetEOLLength(1);
    lf.SetTrimCR(true);
    walk(lf, size);
    return 0;
}
