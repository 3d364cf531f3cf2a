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

void ChartItemList::append(const TrcChartItem& item)
{
    if (count_ == std::numeric_limits<int>::max())
        return;
    if (head_ + count_ == allocated())
        blocks_.push_back(std::make_unique<TrcChartItem[]>(static_cast<std::size_t>(block_)));
    const int slot = head_ + count_;
    blocks_[static_cast<std::size_t>(slot / block_)][static_cast<std::size_t>(slot % block_)] = item;
    ++count_;
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
}

} // namespace kv58
