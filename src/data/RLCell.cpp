#include "data/RLCell.h"

namespace kv58 {

void RLCell::assign(std::string_view bytes)
{
    if (bytes.size() > kMaxLength)
        bytes = bytes.substr(0, kMaxLength);
    const bool isChecked = checked();
    if (bytes.size() <= kInlineCapacity) {
        // Built aside first: the text may be a part of this cell's own text.
        alignas(8) unsigned char next[sizeof raw_] = {};
        if (!bytes.empty())
            std::memcpy(next, bytes.data(), bytes.size());
        next[kTagAt] = static_cast<unsigned char>(bytes.size());
        release();
        std::memcpy(raw_, next, sizeof raw_);
    } else {
        // Allocate before releasing, so a failed allocation leaves the old text in place.
        char* block = new char[bytes.size()];
        std::memcpy(block, bytes.data(), bytes.size());
        release();
        std::memset(raw_, 0, sizeof raw_);
        std::memcpy(raw_, &block, sizeof block);
        raw_[kHeapLengthAt] = static_cast<unsigned char>(bytes.size());
        raw_[kTagAt] = kHeapBit;
    }
    setChecked(isChecked);
}

} // namespace kv58
