// The data file loader on arbitrary bytes: it must neither crash nor read out of bounds, and a
// table it loads must hold only filled rows within the column count it chose.
#include "data/DataFile.h"
#include "data/RLData.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <variant>

using namespace kv58;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    for (const int currentKind : {0, 2}) {
        TRLData table;
        // A small cell limit keeps a file of many short lines from making every run slow.
        table.setCellLimit(std::int64_t(1) << 14);
        DataFileOptions options;
        options.currentRunKind = currentKind;
        options.dateNames = {QStringLiteral("Date"), QStringLiteral("Datum")};
        const auto result = loadDataFile(bytes, table, options);
        if (std::holds_alternative<DataFileError>(result))
            continue;
        if (table.NrOfColumns() < 2 || table.NrOfColumns() > 6)
            std::abort();
        for (int r = 1; r <= table.NrOfRows(); ++r)
            for (int c = 0; c <= table.NrOfColumns(); ++c)
                if (table.ElemBytes(c, r).empty())
                    std::abort();
    }
    return 0;
}
