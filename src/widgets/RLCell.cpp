#include "widgets/RLCell.h"

namespace kv58 {

void RLCell::assign(std::string_view bytes)
{
    if (bytes.size() > kMaxLength)
        bytes = bytes.substr(0, kMaxLength);
    const bool isChecked = checked();
    if (bytes.size() <= kInlineCapacity) {
        // The text may be a part of this cell's own text: copy it out first.
        char copy[kInlineCapacity];
        if (!bytes.empty())
            std::memcpy(copy, bytes.data(), bytes.size());
        release();
        std::memset(raw_, 0, sizeof raw_);
        if (!bytes.empty())
            std::memcpy(raw_, copy, bytes.size());
        raw_[kTagAt] = static_cast<unsigned char>(bytes.size());
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
