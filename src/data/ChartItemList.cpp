#include "data/ChartItemList.h"

#include <limits>

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
        blocks_.push_back(std::make_unique<TrcChartItem[]>(static_cast<std::size_t>(block_)));
    TrcChartItem* block = blocks_[static_cast<std::size_t>(slot / block_)].get();
    writePos_ = block + slot % block_;
    // Stop at the count limit as well, so that the check above runs again there.
    const int room = std::min(block_ - slot % block_, std::numeric_limits<int>::max() - count_);
    writeEnd_ = writePos_ + room;
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
    head_ = 0;
    count_ = 0;
    block_ = requestedBlock_;
    writePos_ = nullptr;
    writeEnd_ = nullptr;
}

} // namespace kv58
