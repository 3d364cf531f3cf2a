#include "link/ReportDescriptor.h"

#include <algorithm>
#include <map>
#include <vector>

namespace kv58 {

namespace {
struct Globals {
    std::uint32_t reportSize = 0;
    std::uint32_t reportCount = 0;
    std::uint32_t reportId = 0;
};
} // namespace

// Short items only matter here: Input (main), Report Size, Report Count, Report ID, Push and Pop
// (global). Long items are skipped whole.
int inputReportLengthFromDescriptor(const std::uint8_t* descriptor, std::size_t size)
{
    Globals globals;
    std::vector<Globals> stack;
    std::map<std::uint32_t, std::uint64_t> bitsById;
    bool usesIds = false;
    std::size_t i = 0;
    while (i < size) {
        const std::uint8_t prefix = descriptor[i];
        if (prefix == 0xFE) { // long item: data size, tag, data
            if (i + 2 >= size)
                return 0;
            i += 3 + descriptor[i + 1];
            continue;
        }
        const std::size_t dataSize = (prefix & 3) == 3 ? 4 : (prefix & 3);
        if (i + 1 + dataSize > size)
            return 0;
        std::uint32_t value = 0;
        for (std::size_t b = 0; b < dataSize; ++b)
            value |= static_cast<std::uint32_t>(descriptor[i + 1 + b]) << (8 * b);
        const int type = (prefix >> 2) & 3;
        const int tag = prefix >> 4;
        if (type == 0 && tag == 0x8) { // Input
            bitsById[globals.reportId] +=
                static_cast<std::uint64_t>(globals.reportSize) * globals.reportCount;
        } else if (type == 1) {
            switch (tag) {
            case 0x7:
                globals.reportSize = value;
                break;
            case 0x9:
                globals.reportCount = value;
                break;
            case 0x8:
                globals.reportId = value;
                usesIds = true;
                break;
            case 0xA:
                stack.push_back(globals);
                break;
            case 0xB:
                if (!stack.empty()) {
                    globals = stack.back();
                    stack.pop_back();
                }
                break;
            default:
                break;
            }
        }
        i += 1 + dataSize;
    }
    std::uint64_t longest = 0;
    for (const auto& [id, bits] : bitsById)
        longest = std::max(longest, (bits + 7) / 8);
    if (longest == 0)
        return 0;
    return static_cast<int>(std::min<std::uint64_t>(longest + (usesIds ? 1 : 0), 1 << 16));
}

} // namespace kv58
