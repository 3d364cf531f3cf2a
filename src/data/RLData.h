// The data store of the report table: column names, the common header and the 8-bit text cells,
// with the range rules the table's callers rely on. Widget-free; the view observes it.
#pragma once

#include "data/RLColumn.h"

#include <QString>
#include <QStringView>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace kv58 {

// Raised when the store cannot take the size asked of it; the text names the component.
class TRLError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TRLData {
public:
    static constexpr int kMaxCellLength = 255;
    static constexpr int kMaxNameLength = 50;
    static constexpr int kMaxFormatLength = 80;
    // Comment, common header and identifier are cut here, so any table writes and reads back whole.
    static constexpr int kMaxTextLength = 65535;
    // Upper bounds that keep a damaged file or a wrong count from taking all memory; a size past
    // them raises TRLError and leaves the store as it was.
    static constexpr int kMaxColumns = 10000;
    static constexpr std::int64_t kDefaultCellLimit = std::int64_t(1) << 26;

    // Told about every change so a view can repaint. Single cells are reported one by one so the
    // view can repaint just that cell; everything else is one "changed".
    class Listener {
    public:
        virtual ~Listener() = default;
        virtual void cellChanged(int col, int row) = 0;
        virtual void headerChanged() = 0;
        virtual void changed() = 0;
    };

    TRLData();
    TRLData(const TRLData&) = delete;
    TRLData& operator=(const TRLData&) = delete;

    void setListener(Listener* listener) { listener_ = listener; }
    // Name used in error messages ("Component "<name>": ...").
    QString Name() const { return name_; }
    void SetName(const QString& name) { name_ = name; }
    // Most cells (rows x (columns + 1)) the store agrees to hold.
    void setCellLimit(std::int64_t cells) { cellLimit_ = cells; }

    int NrOfColumns() const { return nrOfCols_; }
    // Values below 1 count as 1; remaining columns keep names, formats and cells, added ones are
    // named "C-" and their number.
    void SetNrOfColumns(int value);
    int NrOfRows() const { return nrOfRows_; }
    // Values below 0 count as 0; remaining rows keep their cells, added rows are empty.
    void SetNrOfRows(int value);
    // SetNrOfRows(NrOfRows() + 1); returns the new row's number.
    int AddRow();

    // Columns 0 to NrOfColumns (column 0 is stored but never shown), rows 1 to NrOfRows; outside
    // those the getters give empty text and the setters do nothing. Texts are cut to 255 bytes.
    QString GetElem(int col, int row) const;
    void SetElem(int col, int row, QStringView value);
    std::string_view ElemBytes(int col, int row) const;
    void SetElemBytes(int col, int row, std::string_view bytes);
    bool ElemChecked(int col, int row) const;
    void SetElemChecked(int col, int row, bool checked);

    // Columns 1 to NrOfColumns; names are cut to 50 characters, formats to 80.
    QString GetColName(int col) const;
    void SetColName(int col, QStringView name);
    QString ColumnFormat(int col) const;
    void SetColumnFormat(int col, QStringView format);
    bool ColumnIsCheckBox(int col) const;
    void SetColumnCheckBox(int col, bool on);

    QString CommonHeader() const { return commonHeader_; }
    void SetCommonHeader(QStringView text);
    QString Comment() const { return comment_; }
    void SetComment(QStringView text);
    QString DataID() const { return dataId_; }
    void SetDataID(QStringView id);

    // Empties every cell (column 0 included), names every column "C-" and its number, empties the
    // formats and switches check-box columns off. Sizes and the common header stay.
    void Clear();
    // Empties every cell and switches check-box columns off; sizes, names and formats stay.
    void EmptyAllCells();
    // Removes each row whose cells, columns 0 to NrOfColumns, are all empty; later rows move up.
    void RemoveEmptyRows();
    // Exchanges the whole content with `other` (sizes, column names, formats and check modes,
    // cells, comment, common header, identifier) in constant time. Listener, name and cell limit
    // stay with their store; each listener is told "changed".
    void swap(TRLData& other);

    // Reads a table from an XML table file (see RLXml.h); true when the table was read to its end.
    bool LoadFromXMLFile(const QString& fileName, const QString& dataId);
    // Writes the table as an XML table file; false when the file could not be written.
    bool SaveToXMLFile(const QString& fileName) const;

private:
    static QString defaultColName(int col);
    static QString through8Bit(QStringView text, int maxLength);
    [[noreturn]] void throwOutOfMemory() const;
    void checkSize(std::int64_t cols, std::int64_t rows) const;
    // Room for `rows` rows in every column; may throw std::bad_alloc, leaving the cells as they were.
    void reserveRows(std::size_t rows);
    RLCell* cell(int col, int row)
    {
        if (col < 0 || col > nrOfCols_ || row < 1 || row > nrOfRows_)
            return nullptr;
        return &cells_[static_cast<std::size_t>(col)][static_cast<std::size_t>(row - 1)];
    }
    const RLCell* cell(int col, int row) const { return const_cast<TRLData*>(this)->cell(col, row); }
    void notifyChanged();

    Listener* listener_ = nullptr;
    QString name_ = QStringLiteral("RLData");
    std::int64_t cellLimit_ = kDefaultCellLimit;

    QString comment_;
    QString commonHeader_ = QStringLiteral("Report Listview");
    QString dataId_;
    int nrOfCols_ = 1;
    int nrOfRows_ = 0;
    // Per column, index 0 unused for names, formats and check modes.
    std::vector<QString> colNames_;
    std::vector<QString> colFormats_;
    std::vector<bool> colCheckBox_;
    // Column-major: cells_[col][row - 1], so adding or dropping a column never moves other cells.
    std::vector<RLColumn> cells_;
};

} // namespace kv58
