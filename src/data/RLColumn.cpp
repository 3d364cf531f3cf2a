#include "data/RLColumn.h"

#include <algorithm>

namespace kv58 {

void RLColumn::addBlocks(std::size_t needed)
{
    blocks_.reserve(std::max(needed, blocks_.size() * 2));
    while (blocks_.size() < needed)
        blocks_.push_back(std::make_unique<RLCell[]>(kBlockRows));
}

void RLColumn::shrinkOrGrow(std::size_t rows) noexcept
{
    for (std::size_t i = rows; i < size_; ++i)
        (*this)[i].reset();
    size_ = rows;
    // Blocks no row uses any more go back to the heap.
    const std::size_t needed = blocksFor(rows);
    if (needed < blocks_.size())
        blocks_.resize(needed);
}

} // namespace kv58
