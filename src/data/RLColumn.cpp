#include "data/RLColumn.h"

#include "data/LargePages.h"

#include <algorithm>
#include <memory>
#include <new>

namespace kv58 {
namespace {

std::align_val_t chunkAlignment(std::size_t bytes)
{
    return std::align_val_t(bytes >= kLargePageSize ? kLargePageSize : alignof(RLCell));
}

} // namespace

void RLColumn::ChunkDeleter::operator()(RLCell* first) const noexcept
{
    std::destroy_n(first, this->cells);
    ::operator delete(first, chunkAlignment(this->cells * sizeof(RLCell)));
}

void RLColumn::addBlocks(std::size_t needed)
{
    const std::size_t added = needed - blocks_.size();
    blocks_.reserve(std::max(needed, blocks_.size() * 2));
    chunks_.reserve(chunks_.size() + 1);
    const std::size_t cells = added * kBlockRows;
    const std::size_t bytes = cells * sizeof(RLCell);
    void* memory = ::operator new(bytes, chunkAlignment(bytes));
    preferLargePages(memory, bytes);
    auto* first = static_cast<RLCell*>(memory);
    std::uninitialized_default_construct_n(first, cells); // RLCell() cannot throw
    Chunk chunk(first, ChunkDeleter{cells});
    for (std::size_t b = 0; b < added; ++b)
        blocks_.push_back(chunk.get() + b * kBlockRows);
    chunks_.push_back(std::move(chunk));
}

void RLColumn::shrinkOrGrow(std::size_t rows) noexcept
{
    for (std::size_t i = rows; i < size_; ++i)
        (*this)[i].reset();
    size_ = rows;
    // Chunks no row uses any more go back to the heap.
    const std::size_t needed = blocksFor(rows);
    while (!chunks_.empty()) {
        const std::size_t chunkBlocks = chunks_.back().get_deleter().cells / kBlockRows;
        if (blocks_.size() - chunkBlocks < needed)
            break;
        blocks_.resize(blocks_.size() - chunkBlocks);
        chunks_.pop_back();
    }
}

} // namespace kv58
