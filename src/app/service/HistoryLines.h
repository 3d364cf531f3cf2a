// The lines of the history log, kept compactly: the text of all lines as UTF-8 in one byte stream
// stored in fixed-size blocks, and where each line ends. A line costs its UTF-8 bytes and eight
// bytes more; nothing is moved or copied again as the log grows, however long it gets.
#pragma once

#include <QString>
#include <QStringView>
#include <cstdint>
#include <memory>
#include <vector>

class QIODevice;

namespace kv58 {

class HistoryLines {
public:
    void append(QStringView line);
    void clear();

    std::size_t size() const { return count_; }
    bool empty() const { return count_ == 0; }
    QString at(std::size_t row) const;
    // The UTF-8 bytes of all lines together.
    std::uint64_t textBytes() const { return total_; }

    // Writes every line in order, each as its UTF-8 bytes followed by `terminator`. False when the
    // device fails to take the bytes.
    bool write(QIODevice& device, const QByteArray& terminator) const;

private:
    static constexpr std::size_t kBlockBytes = std::size_t{1} << 16;
    static constexpr std::size_t kEndsPerPage = std::size_t{1} << 13;

    std::uint64_t start(std::size_t row) const;
    std::uint64_t end(std::size_t row) const { return ends_[row / kEndsPerPage][row % kEndsPerPage]; }
    // Copies `length` bytes of the stream from `from` on into `out`.
    void copy(std::uint64_t from, std::uint64_t length, char* out) const;

    std::vector<std::unique_ptr<char[]>> blocks_;
    std::vector<std::unique_ptr<std::uint64_t[]>> ends_; // end of line `row` in the stream
    std::size_t count_ = 0;
    std::uint64_t total_ = 0;
};

} // namespace kv58
