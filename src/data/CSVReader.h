// Splits 8-bit text into lines and the lines into fields, for the table part of the data file. The
// reader walks its bytes line by line; the fields of the current line are held as positions into
// them and become strings only when asked for. It knows one delimiter, one quote and one line-end
// character and nothing about code pages: a field is a string of bytes.
//
// The lines a caller sees: for text whose every line ends with the line end, every line and then
// one empty line (no fields) read at the closing line end; for text whose last line has no line
// end, every line. The call after the last line sets Eof(); one more Next() throws.
#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

class QIODevice;

namespace kv58 {

// Raised by TCSVReader::Next() after the reader has reached its end.
class TCSVError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TCSVReader {
public:
    // Takes the bytes over; a big file is not copied again.
    TCSVReader(std::string bytes, char delimiter);
    // Reads the rest of `device` in one read.
    TCSVReader(QIODevice& device, char delimiter);
    // Walks `bytes` in place; the caller keeps them alive and unchanged while the reader lives.
    static TCSVReader borrowing(std::string_view bytes, char delimiter);

    TCSVReader(const TCSVReader&) = delete;
    TCSVReader& operator=(const TCSVReader&) = delete;
    TCSVReader(TCSVReader&& other) noexcept;
    TCSVReader& operator=(TCSVReader&&) = delete;
    ~TCSVReader() = default;

    char Delimiter() const { return delimiter_; }
    void SetDelimiter(char c) { delimiter_ = c; }
    char Quote() const { return quote_; }
    void SetQuote(char c) { quote_ = c; }
    // The byte that ends a line (carriage return by default) and how many bytes a line end takes
    // (2, carriage return and line feed). A length below 1 counts as 1.
    char EOLChar() const { return eolChar_; }
    void SetEOLChar(char c) { eolChar_ = c; }
    int EOLLength() const { return eolLength_; }
    void SetEOLLength(int n) { eolLength_ = n; }
    // When set, a carriage return right before the line end belongs to the line end, so that with
    // the line feed as line end both CR LF and LF-only lines read alike. Off by default.
    bool TrimCR() const { return trimCR_; }
    void SetTrimCR(bool on) { trimCR_ = on; }

    // Back to the start, then Next(): the first line is current.
    void First();
    // Makes the following line current; throws TCSVError once Eof() is true.
    void Next();
    // True once a read beyond the last line has been made.
    bool Eof() const { return isEof_; }

    int ColumnCount() const { return columnCount_; }
    // Field `index` (0-based) of the current line. A field that starts with the quote loses its
    // opening and closing quote, and each doubled quote inside counts as one; any other field is
    // its bytes exactly. When the closing quote is missing, the field runs to the end of the bytes
    // and holds everything after the opening quote. An index outside the line gives "".
    std::string Columns(int index) const;
    // The same without a string per field: unquoted fields are views into the reader's bytes,
    // quoted ones are decoded into `scratch`.
    std::string_view ColumnView(int index, std::string& scratch) const;

    // Byte offset of the current line's start and of the line that Next() reads next.
    std::size_t LineStart() const { return lineStart_; }
    std::size_t Position() const { return pos_; }
    std::size_t Size() const { return data_.size(); }

private:
    struct Field {
        std::size_t first = 0;
        std::size_t length = 0; // quotes included
        bool unclosed = false;  // a quoted field whose closing quote is missing
    };

    struct Borrowed {};
    TCSVReader(Borrowed, std::string_view view, char delimiter);
    void reset();
    // Position just past a quoted stretch that opens at `at`; `unclosed` tells whether the bytes
    // ended before its closing quote.
    std::size_t skipQuoted(std::size_t at, bool& unclosed) const;
    void addField(std::size_t first, std::size_t end, bool unclosed);
    static void unquote(std::string_view inner, char quote, std::string& out);

    std::string owned_;
    std::string_view data_;
    std::size_t pos_ = 0;
    std::size_t lineStart_ = 0;
    char delimiter_;
    char quote_ = '"';
    char eolChar_ = '\r';
    int eolLength_ = 2;
    bool trimCR_ = false;
    bool atEof_ = false;
    bool isEof_ = false;
    std::vector<Field> columns_;
    int columnCount_ = 0;
};

} // namespace kv58
