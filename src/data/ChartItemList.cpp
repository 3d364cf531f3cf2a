#include "data/ChartItemList.h"

#include <limits>

#ifdef __linux__
#include <sys/mman.h>
#endif

namespace kv58 {

ChartItemList::ChartItemList(int allocSize)
{
    setAllocSize(allocSize);
}

void ChartItemList::setAllocSize(int size)
{
    requestedBlock_ = std::max(size, 1);
    if (blocks_.empty())
        block_ = requestedBlock_;
}

void ChartItemList::nextWriteBlock()
{
    writePos_ = nullptr;
    writeEnd_ = nullptr;
    if (count_ == std::numeric_limits<int>::max())
        return;
    const int slot = head_ + count_;
    if (slot == allocated())
        blocks_.push_back(allocateBlock());
    TrcChartItem* block = blocks_[static_cast<std::size_t>(slot / block_)];
    writePos_ = block + slot % block_;
    // Stop at the count limit as well, so that the check above runs again there.
    const int room = std::min(block_ - slot % block_, std::numeric_limits<int>::max() - count_);
    writeEnd_ = writePos_ + room;
}

TrcChartItem* ChartItemList::allocateBlock()
{
    const auto slots = static_cast<std::size_t>(block_);
    const std::size_t bytes = slots * sizeof(TrcChartItem);
    const std::size_t stored = static_cast<std::size_t>(allocated()) * sizeof(TrcChartItem);
    // A short list (a live window) keeps small blocks of its own.
    if (stored < kChunkBytes || bytes > kChunkBytes) {
        ownBlocks_.push_back(std::make_unique<TrcChartItem[]>(slots));
        return ownBlocks_.back().get();
    }
    if (chunkRoom_ < bytes) {
        std::unique_ptr<void, ChunkFree> chunk(::operator new (kChunkBytes, std::align_val_t{kChunkBytes}));
#ifdef __linux__
        // Only a hint; without huge pages the chunk works the same.
        madvise(chunk.get(), kChunkBytes, MADV_HUGEPAGE);
#endif
        chunkFree_ = static_cast<std::byte*>(chunk.get());
        chunkRoom_ = kChunkBytes;
        chunks_.push_back(std::move(chunk));
    }
    auto* block = reinterpret_cast<TrcChartItem*>(chunkFree_);
    std::uninitialized_value_construct_n(block, slots);
    chunkFree_ += bytes;
    chunkRoom_ -= bytes;
    return block;
}

void ChartItemList::removeFirst()
{
    if (count_ == 0)
        return;
    if (count_ == 1) {
        clear();
        return;
    }
    --count_;
    if (++head_ == block_) {
        // The first block is used up: it becomes free space at the end, so the storage neither
        // grows nor shrinks while a window slides.
        std::rotate(blocks_.begin(), blocks_.begin() + 1, blocks_.end());
        head_ = 0;
    }
}

void ChartItemList::clear()
{
    blocks_.clear();
    blocks_.shrink_to_fit();
    ownBlocks_.clear();
    ownBlocks_.shrink_to_fit();
    chunks_.clear();
    chunks_.shrink_to_fit();
    chunkFree_ = nullptr;
    chunkRoom_ = 0;
    head_ = 0;
    count_ = 0;
    block_ = requestedBlock_;
    writePos_ = nullptr;
    writeEnd_ = nullptr;
}

} // namespace kv58
