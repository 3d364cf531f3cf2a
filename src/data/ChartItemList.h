// The chart's item list: drawing instructions in insertion order, stored in blocks of AllocSize
// slots. Growing adds one block and never moves the items already stored, and removing the oldest
// item is constant time, so a sliding window and a list of millions of points both stay cheap.
// Once a list is long, its blocks are carved from large chunks that the system may back with huge
// pages, so that a million samples commit their memory in a few steps.
#pragma once

#include "data/ChartTypes.h"

#include <algorithm>
#include <cstddef>
#include <memory>
#include <new>
#include <vector>

namespace kv58 {

class ChartItemList {
public:
    static constexpr int kDefaultAllocSize = 1000;

    explicit ChartItemList(int allocSize = kDefaultAllocSize);

    // Slots added whenever an append finds the list full. A new size takes effect as soon as the
    // list holds no storage (at once when empty, otherwise after the next clear).
    void setAllocSize(int size);
    int allocSize() const { return requestedBlock_; }

    void append(const TrcChartItem& item)
    {
        if (writePos_ == writeEnd_)
            nextWriteBlock();
        if (writePos_ == nullptr)
            return; // full
        *writePos_++ = item;
        ++count_;
    }
    // Removes item 0; the only item empties the list and releases its storage; an empty list
    // stays empty.
    void removeFirst();
    // Removes every item and releases the storage.
    void clear();

    int count() const { return count_; }
    bool isEmpty() const { return count_ == 0; }
    // Allocated slots: a whole number of blocks.
    int allocated() const { return static_cast<int>(blocks_.size()) * block_; }

    const TrcChartItem& at(int index) const
    {
        const int slot = head_ + index;
        return blocks_[static_cast<std::size_t>(slot / block_)][static_cast<std::size_t>(slot % block_)];
    }
    const TrcChartItem& last() const { return at(count_ - 1); }

    // Calls f(const TrcChartItem* begin, const TrcChartItem* end) for the contiguous stretches
    // holding the items [from, to), in order.
    template <class F> void forEachSpan(int from, int to, F&& f) const
    {
        from = std::max(from, 0);
        to = std::min(to, count_);
        int slot = head_ + from;
        const int endSlot = head_ + to;
        while (slot < endSlot) {
            const int b = slot / block_;
            const int inBlock = slot % block_;
            const int n = std::min(block_ - inBlock, endSlot - slot);
            const TrcChartItem* p = blocks_[static_cast<std::size_t>(b)] + inBlock;
            f(p, p + n);
            slot += n;
        }
    }

private:
    static constexpr std::size_t kChunkBytes = std::size_t(2) << 20;
    struct ChunkFree {
        void operator()(void* p) const { ::operator delete (p, std::align_val_t{kChunkBytes}); }
    };

    void nextWriteBlock();
    TrcChartItem* allocateBlock();

    // The blocks in list order; they are owned by `ownBlocks_` (a short list's blocks, each
    // allocated alone) or lie in one of the `chunks_`.
    std::vector<TrcChartItem*> blocks_;
    std::vector<std::unique_ptr<TrcChartItem[]>> ownBlocks_;
    std::vector<std::unique_ptr<void, ChunkFree>> chunks_;
    std::byte* chunkFree_ = nullptr; // unused rest of the last chunk
    std::size_t chunkRoom_ = 0;
    int block_ = kDefaultAllocSize;          // slots per block of the current storage
    int requestedBlock_ = kDefaultAllocSize; // AllocSize for storage allocated from now on
    int head_ = 0;                           // slot of item 0 within the first block
    int count_ = 0;
    // Where the next item goes and the end of its block: appends need no index arithmetic. Blocks
    // never move in memory, so rotating the block list leaves these valid.
    TrcChartItem* writePos_ = nullptr;
    TrcChartItem* writeEnd_ = nullptr;
};

} // namespace kv58
