// The cells of one report table column, kept in fixed blocks of rows: a growing column never moves
// its cells, and a long one takes little more memory than its cells.
#pragma once

#include "data/RLCell.h"

#include <cstddef>
#include <memory>
#include <vector>

namespace kv58 {

class RLColumn {
public:
    static constexpr std::size_t kBlockShift = 10;
    static constexpr std::size_t kBlockRows = std::size_t(1) << kBlockShift;

    RLColumn() = default;
    RLColumn(RLColumn&& other) noexcept
        : blocks_(std::move(other.blocks_)), chunks_(std::move(other.chunks_)), size_(other.size_)
    {
        other.blocks_.clear();
        other.size_ = 0;
    }
    RLColumn& operator=(RLColumn&& other) noexcept
    {
        if (this != &other) {
            blocks_ = std::move(other.blocks_);
            chunks_ = std::move(other.chunks_);
            size_ = other.size_;
            other.blocks_.clear();
            other.size_ = 0;
        }
        return *this;
    }
    RLColumn(const RLColumn&) = delete;
    RLColumn& operator=(const RLColumn&) = delete;
    ~RLColumn() = default;

    std::size_t size() const { return size_; }
    RLCell& operator[](std::size_t i) { return blocks_[i >> kBlockShift][i & (kBlockRows - 1)]; }
    const RLCell& operator[](std::size_t i) const { return blocks_[i >> kBlockShift][i & (kBlockRows - 1)]; }

    // Makes room for `rows` rows; may throw std::bad_alloc, leaving the cells as they were.
    void reserve(std::size_t rows)
    {
        if (blocksFor(rows) > blocks_.size())
            addBlocks(blocksFor(rows));
    }
    // Sets the row count within the room made by reserve(); rows that go are emptied first, so
    // rows that come later start empty.
    void resize(std::size_t rows) noexcept
    {
        if (rows >= size_ && blocksFor(rows) == blocks_.size())
            size_ = rows;
        else
            shrinkOrGrow(rows);
    }

private:
    // The blocks added by one reserve() are one allocation, so a big table takes a few large
    // blocks of memory instead of thousands of small ones.
    struct ChunkDeleter {
        std::size_t cells = 0;
        void operator()(RLCell* first) const noexcept;
    };
    using Chunk = std::unique_ptr<RLCell, ChunkDeleter>;

    void addBlocks(std::size_t needed);
    void shrinkOrGrow(std::size_t rows) noexcept;
    static std::size_t blocksFor(std::size_t rows) { return (rows + kBlockRows - 1) >> kBlockShift; }

    // Cells past size_ in the blocks are always empty.
    std::vector<RLCell*> blocks_; // the first cell of each block of kBlockRows cells, in chunks_
    std::vector<Chunk> chunks_;   // in the order of their blocks
    std::size_t size_ = 0;
};

} // namespace kv58
