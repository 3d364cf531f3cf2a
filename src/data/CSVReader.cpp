#include "data/CSVReader.h"

#include <QByteArray>
#include <QIODevice>
#include <algorithm>
#include <utility>

namespace kv58 {

// The bytes behave as if followed by one line-end byte and one 0 byte: the line end closes a last
// line that has none, the 0 marks the end. Neither is stored; every scan stops at the end itself.

TCSVReader::TCSVReader(std::string bytes, char delimiter) : owned_(std::move(bytes)), delimiter_(delimiter)
{
    data_ = owned_;
    reset();
}

TCSVReader::TCSVReader(QIODevice& device, char delimiter) : delimiter_(delimiter)
{
    if (device.isSequential()) {
        const QByteArray rest = device.readAll();
        owned_.assign(rest.constData(), static_cast<std::size_t>(rest.size()));
    } else {
        const qint64 left = std::max<qint64>(device.size() - device.pos(), 0);
        owned_.resize(static_cast<std::size_t>(left));
        qint64 got = 0;
        while (got < left) {
            const qint64 n = device.read(owned_.data() + got, left - got);
            if (n <= 0)
                break;
            got += n;
        }
        owned_.resize(static_cast<std::size_t>(got));
    }
    data_ = owned_;
    reset();
}

TCSVReader::TCSVReader(Borrowed, std::string_view view, char delimiter) : data_(view), delimiter_(delimiter)
{
    reset();
}

TCSVReader TCSVReader::borrowing(std::string_view bytes, char delimiter)
{
    return {Borrowed{}, bytes, delimiter};
}

TCSVReader::TCSVReader(TCSVReader&& other) noexcept
    : pos_(other.pos_), lineStart_(other.lineStart_), delimiter_(other.delimiter_), quote_(other.quote_),
      eolChar_(other.eolChar_), eolLength_(other.eolLength_), trimCR_(other.trimCR_), atEof_(other.atEof_),
      isEof_(other.isEof_), columns_(std::move(other.columns_)), columnCount_(other.columnCount_)
{
    // A short owned text lives inside the string object, so the view is made anew.
    const bool ownsBytes = other.data_.data() == other.owned_.data();
    owned_ = std::move(other.owned_);
    data_ = ownsBytes ? std::string_view(owned_) : other.data_;
    other.data_ = {};
    other.reset();
}

void TCSVReader::reset()
{
    pos_ = 0;
    lineStart_ = 0;
    atEof_ = false;
    isEof_ = false;
    columnCount_ = 0;
    if (columns_.size() < 100)
        columns_.resize(100);
}

void TCSVReader::First()
{
    reset();
    Next();
}

std::size_t TCSVReader::skipQuoted(std::size_t at, bool& unclosed) const
{
    const std::size_t n = data_.size();
    std::size_t i = at + 1;
    while (i < n) {
        if (data_[i] != quote_) {
            ++i;
        } else if (i + 1 < n && data_[i + 1] == quote_) {
            i += 2;
        } else {
            return i + 1;
        }
    }
    unclosed = true;
    return n;
}

void TCSVReader::addField(std::size_t first, std::size_t end, bool unclosed)
{
    if (static_cast<std::size_t>(columnCount_) == columns_.size())
        columns_.resize(columns_.size() * 2);
    columns_[static_cast<std::size_t>(columnCount_)] = Field{first, end - first, unclosed};
    ++columnCount_;
}

void TCSVReader::Next()
{
    if (atEof_) {
        if (isEof_)
            throw TCSVError("Try to read past eof");
        isEof_ = true;
        columnCount_ = 0;
        return;
    }
    columnCount_ = 0;
    lineStart_ = pos_;
    const std::size_t n = data_.size();
    const char* bytes = data_.data();
    std::size_t start = pos_;
    std::size_t i = pos_;
    bool unclosed = false;
    if (i < n && bytes[i] == quote_)
        i = skipQuoted(i, unclosed);
    while (i < n && bytes[i] != eolChar_) {
        if (bytes[i] == delimiter_) {
            addField(start, i, unclosed);
            unclosed = false;
            start = ++i;
            if (i < n && bytes[i] == quote_)
                i = skipQuoted(i, unclosed);
        } else {
            ++i;
        }
    }
    std::size_t lineEnd = i;
    if (trimCR_ && lineEnd > start && bytes[lineEnd - 1] == '\r')
        --lineEnd;
    if (lineEnd != pos_)
        addField(start, lineEnd, unclosed);
    // `i` is on a line end, or at the end of the bytes (the closing line end, followed by the 0).
    const bool zeroFollows = i >= n || (i + 1 < n && bytes[i + 1] == '\0');
    if (zeroFollows) {
        atEof_ = true;
        pos_ = i;
    } else {
        pos_ = std::min(i + static_cast<std::size_t>(std::max(eolLength_, 1)), n);
    }
}

void TCSVReader::unquote(std::string_view inner, char quote, std::string& out)
{
    out.clear();
    out.reserve(inner.size());
    for (std::size_t j = 0; j < inner.size(); ++j) {
        out.push_back(inner[j]);
        if (inner[j] == quote && j + 1 < inner.size() && inner[j + 1] == quote)
            ++j;
    }
}

std::string_view TCSVReader::ColumnView(int index, std::string& scratch) const
{
    if (index < 0 || index >= columnCount_)
        return {};
    const Field& f = columns_[static_cast<std::size_t>(index)];
    const std::string_view field = data_.substr(f.first, f.length);
    if (field.empty() || field.front() != quote_)
        return field;
    // Without the opening quote, and without the closing one where there is one.
    const std::string_view inner =
        f.unclosed ? field.substr(1) : field.substr(1, field.size() >= 2 ? field.size() - 2 : 0);
    if (inner.find(quote_) == std::string_view::npos)
        return inner;
    unquote(inner, quote_, scratch);
    return scratch;
}

std::string TCSVReader::Columns(int index) const
{
    std::string scratch;
    return std::string(ColumnView(index, scratch));
}

} // namespace kv58
