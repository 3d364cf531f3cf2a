// One 8-bit text cell of the report table in 16 bytes: texts of up to 15 bytes live inside the cell,
// so a table of a million rows of short measurement texts needs no heap block per cell.
#pragma once

#include <cstddef>
#include <cstring>
#include <string_view>

namespace kv58 {

class RLCell {
public:
    // Longest text a cell holds; longer texts are cut.
    static constexpr std::size_t kMaxLength = 255;

    RLCell() noexcept { std::memset(raw_, 0, sizeof raw_); }
    RLCell(const RLCell& other) : RLCell()
    {
        assign(other.text());
        setChecked(other.checked());
    }
    RLCell(RLCell&& other) noexcept
    {
        std::memcpy(raw_, other.raw_, sizeof raw_);
        std::memset(other.raw_, 0, sizeof other.raw_);
    }
    RLCell& operator=(const RLCell& other)
    {
        if (this != &other) {
            assign(other.text());
            setChecked(other.checked());
        }
        return *this;
    }
    RLCell& operator=(RLCell&& other) noexcept
    {
        if (this != &other) {
            release();
            std::memcpy(raw_, other.raw_, sizeof raw_);
            std::memset(other.raw_, 0, sizeof other.raw_);
        }
        return *this;
    }
    ~RLCell() { release(); }

    std::string_view text() const noexcept
    {
        if (onHeap())
            return {heapPointer(), raw_[kHeapLengthAt]};
        return {reinterpret_cast<const char*>(raw_), static_cast<std::size_t>(raw_[kTagAt] & kLengthMask)};
    }
    bool empty() const noexcept { return onHeap() ? false : (raw_[kTagAt] & kLengthMask) == 0; }

    // Stores the first kMaxLength bytes of `bytes`; the check mark stays.
    void assign(std::string_view bytes);
    // Empties the text and removes the check mark.
    void reset() noexcept
    {
        release();
        std::memset(raw_, 0, sizeof raw_);
    }

    bool checked() const noexcept { return (raw_[kTagAt] & kCheckedBit) != 0; }
    void setChecked(bool on) noexcept
    {
        raw_[kTagAt] =
            static_cast<unsigned char>(on ? raw_[kTagAt] | kCheckedBit : raw_[kTagAt] & ~kCheckedBit);
    }

private:
    // Byte 15 is the tag: the inline length (0 to 15) in the low bits, a heap flag and the check
    // mark. On the heap, bytes 0 to 7 hold the pointer and byte 8 the length.
    static constexpr std::size_t kTagAt = 15;
    static constexpr std::size_t kInlineCapacity = 15;
    static constexpr std::size_t kHeapLengthAt = 8;
    static constexpr unsigned char kLengthMask = 0x1F;
    static constexpr unsigned char kHeapBit = 0x80;
    static constexpr unsigned char kCheckedBit = 0x40;

    bool onHeap() const noexcept { return (raw_[kTagAt] & kHeapBit) != 0; }
    char* heapPointer() const noexcept
    {
        char* p = nullptr;
        std::memcpy(&p, raw_, sizeof p);
        return p;
    }
    void release() noexcept
    {
        if (onHeap())
            delete[] heapPointer();
    }

    alignas(8) unsigned char raw_[16];
};

static_assert(sizeof(RLCell) == 16);

} // namespace kv58
