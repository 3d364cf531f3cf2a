#include "app/service/HistoryLines.h"

#include <QByteArray>
#include <QIODevice>
#include <algorithm>
#include <cstring>

namespace kv58 {

void HistoryLines::append(QStringView line)
{
    const QByteArray bytes = line.toUtf8();
    const auto* from = bytes.constData();
    auto left = static_cast<std::size_t>(bytes.size());
    while (left > 0) {
        const std::size_t used = total_ % kBlockBytes;
        if (used == 0 && total_ / kBlockBytes == blocks_.size())
            blocks_.push_back(std::make_unique_for_overwrite<char[]>(kBlockBytes));
        const std::size_t part = std::min(left, kBlockBytes - used);
        std::memcpy(blocks_[total_ / kBlockBytes].get() + used, from, part);
        from += part;
        left -= part;
        total_ += part;
    }
    if (count_ % kEndsPerPage == 0 && count_ / kEndsPerPage == ends_.size())
        ends_.push_back(std::make_unique_for_overwrite<std::uint64_t[]>(kEndsPerPage));
    ends_[count_ / kEndsPerPage][count_ % kEndsPerPage] = total_;
    ++count_;
}

void HistoryLines::clear()
{
    blocks_.clear();
    blocks_.shrink_to_fit();
    ends_.clear();
    ends_.shrink_to_fit();
    count_ = 0;
    total_ = 0;
}

std::uint64_t HistoryLines::start(std::size_t row) const
{
    return row == 0 ? 0 : end(row - 1);
}

void HistoryLines::copy(std::uint64_t from, std::uint64_t length, char* out) const
{
    while (length > 0) {
        const std::size_t offset = from % kBlockBytes;
        const std::size_t part = std::min<std::uint64_t>(length, kBlockBytes - offset);
        std::memcpy(out, blocks_[from / kBlockBytes].get() + offset, part);
        out += part;
        from += part;
        length -= part;
    }
}

QString HistoryLines::at(std::size_t row) const
{
    if (row >= count_)
        return {};
    const std::uint64_t from = start(row);
    const std::uint64_t length = end(row) - from;
    const std::size_t offset = from % kBlockBytes;
    if (offset + length <= kBlockBytes) // the usual case: the line lies in one block
        return QString::fromUtf8(blocks_[from / kBlockBytes].get() + offset, static_cast<qsizetype>(length));
    QByteArray bytes(static_cast<qsizetype>(length), Qt::Uninitialized);
    copy(from, length, bytes.data());
    return QString::fromUtf8(bytes);
}

bool HistoryLines::write(QIODevice& device, const QByteArray& terminator) const
{
    constexpr std::size_t kBufferBytes = std::size_t{1} << 20;
    std::vector<char> buffer;
    buffer.reserve(kBufferBytes);
    const auto flush = [&] {
        const auto size = static_cast<qint64>(buffer.size());
        const bool written = size == 0 || device.write(buffer.data(), size) == size;
        buffer.clear();
        return written;
    };
    for (std::size_t row = 0; row < count_; ++row) {
        const std::uint64_t from = start(row);
        const std::uint64_t length = end(row) - from;
        if (buffer.size() + length + static_cast<std::size_t>(terminator.size()) > kBufferBytes && !flush())
            return false;
        if (length > kBufferBytes) { // a line longer than the buffer goes out on its own
            QByteArray bytes(static_cast<qsizetype>(length), Qt::Uninitialized);
            copy(from, length, bytes.data());
            if (device.write(bytes) != bytes.size())
                return false;
        } else {
            const std::size_t at = buffer.size();
            buffer.resize(at + length);
            copy(from, length, buffer.data() + at);
        }
        buffer.insert(buffer.end(), terminator.begin(), terminator.end());
    }
    return flush();
}

} // namespace kv58
