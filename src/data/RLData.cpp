#include "data/RLData.h"

#include "core/Cp1252.h"
#include "data/RLXml.h"

#include <algorithm>
#include <new>
#include <system_error>
#include <thread>

namespace kv58 {
TRLData::TRLData()
    : colNames_{QString(), defaultColName(1)}, colFormats_(2), colCheckBox_(2, false), cells_(2)
{
}

QString TRLData::defaultColName(int col)
{
    return QStringLiteral("C-") + QString::number(col);
}

QString TRLData::through8Bit(QStringView text, int maxLength)
{
    return cp1252ToUnicode(unicodeToCp1252(text.left(maxLength)));
}

void TRLData::throwOutOfMemory() const
{
    throw TRLError(QStringLiteral("Component \"%1\": not enough memory on heap").arg(name_).toStdString());
}

void TRLData::checkSize(std::int64_t cols, std::int64_t rows) const
{
    if (cols > kMaxColumns || (cols + 1) * rows > cellLimit_)
        throwOutOfMemory();
}

void TRLData::notifyChanged()
{
    if (listener_)
        listener_->changed();
}

void TRLData::SetNrOfColumns(int value)
{
    const int cols = std::max(value, 1);
    if (cols == nrOfCols_)
        return;
    checkSize(cols, nrOfRows_);
    const auto n = static_cast<std::size_t>(cols) + 1;
    // Everything that allocates happens before the store changes, so a failure changes nothing.
    std::vector<RLColumn> addedCells;
    std::vector<QString> addedNames;
    try {
        colNames_.reserve(n);
        colFormats_.reserve(n);
        colCheckBox_.reserve(n);
        cells_.reserve(n);
        for (int c = nrOfCols_ + 1; c <= cols; ++c) {
            addedCells.emplace_back().reserve(static_cast<std::size_t>(nrOfRows_));
            addedCells.back().resize(static_cast<std::size_t>(nrOfRows_));
            addedNames.push_back(defaultColName(c));
        }
    } catch (const std::bad_alloc&) {
        throwOutOfMemory();
    }
    if (cols > nrOfCols_) {
        for (std::size_t i = 0; i < addedCells.size(); ++i) {
            colNames_.push_back(std::move(addedNames[i]));
            colFormats_.emplace_back();
            colCheckBox_.push_back(false);
            cells_.push_back(std::move(addedCells[i]));
        }
    } else {
        colNames_.resize(n);
        colFormats_.resize(n);
        colCheckBox_.resize(n);
        cells_.resize(n);
    }
    nrOfCols_ = cols;
    notifyChanged();
}

void TRLData::SetNrOfRows(int value)
{
    const int rows = std::max(value, 0);
    if (rows == nrOfRows_)
        return;
    checkSize(nrOfCols_, rows);
    const auto n = static_cast<std::size_t>(rows);
    try {
        reserveRows(n);
    } catch (const std::bad_alloc&) {
        throwOutOfMemory();
    }
    for (auto& column : cells_)
        column.resize(n);
    nrOfRows_ = rows;
    notifyChanged();
}

void TRLData::reserveRows(std::size_t rows)
{
    // Making room for many rows at once (a file being loaded) is mostly the system handing out
    // fresh memory; a second thread takes half of the columns.
    constexpr std::size_t kParallelCells = std::size_t(1) << 20;
    const std::size_t grown = rows > static_cast<std::size_t>(nrOfRows_) ? rows - nrOfRows_ : 0;
    if (grown * cells_.size() < kParallelCells || cells_.size() < 2) {
        for (auto& column : cells_)
            column.reserve(rows);
        return;
    }
    const std::size_t half = cells_.size() / 2;
    bool helperFailed = false;
    std::thread helper;
    try {
        helper = std::thread([this, half, rows, &helperFailed] {
            try {
                for (std::size_t c = half; c < cells_.size(); ++c)
                    cells_[c].reserve(rows);
            } catch (const std::bad_alloc&) {
                helperFailed = true;
            }
        });
    } catch (const std::system_error&) {
        for (auto& column : cells_)
            column.reserve(rows);
        return;
    }
    try {
        for (std::size_t c = 0; c < half; ++c)
            cells_[c].reserve(rows);
    } catch (const std::bad_alloc&) {
        helper.join();
        throw;
    }
    helper.join();
    if (helperFailed)
        throw std::bad_alloc();
}

int TRLData::AddRow()
{
    SetNrOfRows(nrOfRows_ + 1);
    return nrOfRows_;
}

QString TRLData::GetElem(int col, int row) const
{
    const RLCell* c = cell(col, row);
    return c ? cp1252ToUnicode(c->text()) : QString();
}

std::string_view TRLData::ElemBytes(int col, int row) const
{
    const RLCell* c = cell(col, row);
    return c ? c->text() : std::string_view();
}

void TRLData::SetElem(int col, int row, QStringView value)
{
    RLCell* c = cell(col, row);
    if (!c)
        return;
    char bytes[kMaxCellLength];
    const auto n = std::min<qsizetype>(value.size(), kMaxCellLength);
    const char16_t* src = value.utf16();
    for (qsizetype i = 0; i < n; ++i)
        bytes[i] =
            static_cast<char>(src[i] < 0x80 ? static_cast<unsigned char>(src[i]) : unicodeToCp1252(src[i]));
    c->assign(std::string_view(bytes, static_cast<std::size_t>(n)));
    if (listener_)
        listener_->cellChanged(col, row);
}

void TRLData::SetElemBytes(int col, int row, std::string_view bytes)
{
    RLCell* c = cell(col, row);
    if (!c)
        return;
    c->assign(bytes);
    if (listener_)
        listener_->cellChanged(col, row);
}

bool TRLData::ElemChecked(int col, int row) const
{
    const RLCell* c = cell(col, row);
    return c && c->checked();
}

void TRLData::SetElemChecked(int col, int row, bool checked)
{
    RLCell* c = cell(col, row);
    if (!c)
        return;
    c->setChecked(checked);
    if (listener_)
        listener_->cellChanged(col, row);
}

QString TRLData::GetColName(int col) const
{
    return col >= 1 && col <= nrOfCols_ ? colNames_[static_cast<std::size_t>(col)] : QString();
}

void TRLData::SetColName(int col, QStringView name)
{
    if (col < 1 || col > nrOfCols_)
        return;
    colNames_[static_cast<std::size_t>(col)] = through8Bit(name, kMaxNameLength);
    if (listener_)
        listener_->headerChanged();
}

QString TRLData::ColumnFormat(int col) const
{
    return col >= 1 && col <= nrOfCols_ ? colFormats_[static_cast<std::size_t>(col)] : QString();
}

void TRLData::SetColumnFormat(int col, QStringView format)
{
    if (col >= 1 && col <= nrOfCols_)
        colFormats_[static_cast<std::size_t>(col)] = through8Bit(format, kMaxFormatLength);
}

bool TRLData::ColumnIsCheckBox(int col) const
{
    return col >= 1 && col <= nrOfCols_ && colCheckBox_[static_cast<std::size_t>(col)];
}

void TRLData::SetColumnCheckBox(int col, bool on)
{
    if (col < 1 || col > nrOfCols_)
        return;
    colCheckBox_[static_cast<std::size_t>(col)] = on;
    notifyChanged();
}

void TRLData::SetCommonHeader(QStringView text)
{
    const QString stored = through8Bit(text, kMaxTextLength);
    if (stored == commonHeader_)
        return;
    commonHeader_ = stored;
    if (listener_)
        listener_->headerChanged();
}

void TRLData::SetComment(QStringView text)
{
    comment_ = through8Bit(text, kMaxTextLength);
}

void TRLData::SetDataID(QStringView id)
{
    dataId_ = through8Bit(id, kMaxTextLength);
}

void TRLData::Clear()
{
    for (auto& column : cells_)
        for (std::size_t r = 0; r < column.size(); ++r)
            column[r].reset();
    for (int col = 1; col <= nrOfCols_; ++col) {
        colNames_[static_cast<std::size_t>(col)] = defaultColName(col);
        colFormats_[static_cast<std::size_t>(col)].clear();
    }
    std::fill(colCheckBox_.begin(), colCheckBox_.end(), false);
    notifyChanged();
}

void TRLData::EmptyAllCells()
{
    for (auto& column : cells_)
        for (std::size_t r = 0; r < column.size(); ++r)
            column[r].reset();
    std::fill(colCheckBox_.begin(), colCheckBox_.end(), false);
    notifyChanged();
}

void TRLData::RemoveEmptyRows()
{
    // One pass that keeps the order of the remaining rows: the same result as removing the empty
    // rows one at a time from the last up, without moving the rows below once per removal.
    std::size_t kept = 0;
    for (std::size_t r = 0; r < static_cast<std::size_t>(nrOfRows_); ++r) {
        const bool empty = std::all_of(cells_.begin(), cells_.end(),
                                       [r](const RLColumn& column) { return column[r].empty(); });
        if (empty)
            continue;
        if (kept != r)
            for (auto& column : cells_)
                column[kept] = std::move(column[r]);
        ++kept;
    }
    if (kept == static_cast<std::size_t>(nrOfRows_))
        return;
    for (auto& column : cells_)
        column.resize(kept);
    nrOfRows_ = static_cast<int>(kept);
    notifyChanged();
}

void TRLData::swap(TRLData& other)
{
    using std::swap;
    swap(comment_, other.comment_);
    swap(commonHeader_, other.commonHeader_);
    swap(dataId_, other.dataId_);
    swap(nrOfCols_, other.nrOfCols_);
    swap(nrOfRows_, other.nrOfRows_);
    swap(colNames_, other.colNames_);
    swap(colFormats_, other.colFormats_);
    swap(colCheckBox_, other.colCheckBox_);
    swap(cells_, other.cells_);
    notifyChanged();
    if (&other != this)
        other.notifyChanged();
}

bool TRLData::LoadFromXMLFile(const QString& fileName, const QString& dataId)
{
    return rlLoadXmlFile(*this, fileName, dataId);
}

bool TRLData::SaveToXMLFile(const QString& fileName) const
{
    return rlSaveXmlFile(*this, fileName);
}

} // namespace kv58
