// The CSV reader: lines and fields over quotes, line ends and the end of the bytes.
#include "data/CSVReader.h"

#include <QBuffer>
#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace kv58;

namespace {

// Every line the reader gives until Eof, each as its fields in brackets: "[a][b][]" is a line of
// the fields "a", "b" and "", "" a line without fields. Lines are separated by "|".
std::string walk(TCSVReader& reader)
{
    std::string out;
    reader.First();
    bool firstLine = true;
    while (!reader.Eof()) {
        if (!firstLine)
            out += '|';
        firstLine = false;
        for (int i = 0; i < reader.ColumnCount(); ++i)
            out += '[' + reader.Columns(i) + ']';
        reader.Next();
    }
    return out;
}

struct ReaderCase {
    const char* what;
    std::string bytes;
    std::string lines;
    bool lineFeedEnds = false; // LF as line end, one byte long, CR before it dropped
};

const ReaderCase kReaderCases[] = {
    {"fields each followed by the delimiter", "a;b;\r\nc\r\n", "[a][b][]|[c]|"},
    {"last line without line end", "a;b\r\nc", "[a][b]|[c]"},
    {"empty bytes", "", ""},
    {"blank line has no fields", "a\r\n\r\nb\r\n", "[a]||[b]|"},
    {"blanks are kept", " a ; b \r\n", "[ a ][ b ]|"},
    {"quoted delimiter and doubled quotes", "\"x;y\"\"z\";w\r\n", "[x;y\"z][w]|"},
    {"quoted empty field", "\"\";a\r\n", "[][a]|"},
    {"quotes only count at a field's start", "a\"b;c\"\r\n", "[a\"b][c\"]|"},
    {"quoted CR LF joins two lines", "\"a\r\nb\";c\r\nd\r\n", "[a\r\nb][c]|[d]|"},
    {"unclosed quote runs to the end", "x;\"ab\"\"c\r\nd;e", "[x][ab\"c\r\nd;e]"},
    {"lone quote at the end", "x;\"", "[x][]"},
    {"LF-only lines stay one line", "a;b\nc;d\n", "[a][b\nc][d\n]"},
    {"CR-only line end loses a byte", "ab\rcd\r\n", "[ab]|[d]|"},
    {"0 byte right after CR ends the data", std::string("ab\r\0cd\r\n", 8), "[ab]"},
    {"LF line ends", "a;b\nc\n", "[a][b]|[c]|", true},
    {"LF line ends read CR LF alike", "a;b\r\nc\r\n", "[a][b]|[c]|", true},
    {"CR before LF after a quoted field", "\"a\";\"b\"\r\n", "[a][b]|", true},
    {"blank CR LF line with LF line ends", "a\r\n\r\nb", "[a]||[b]", true},
    {"separator before CR LF with LF line ends", "a;\r\n", "[a][]|", true},
};

} // namespace

TEST(CSVReader, SplitsLinesAndFields)
{
    for (const ReaderCase& c : kReaderCases) {
        SCOPED_TRACE(c.what);
        TCSVReader reader(c.bytes, ';');
        if (c.lineFeedEnds) {
            reader.SetEOLChar('\n');
            reader.SetEOLLength(1);
            reader.SetTrimCR(true);
        }
        EXPECT_EQ(walk(reader), c.lines);
        // Walking again from the start gives the same lines.
        EXPECT_EQ(walk(reader), c.lines);
    }
}

TEST(CSVReader, ReadingPastTheEndThrowsAndStaysAtTheEnd)
{
    TCSVReader reader(std::string("a\r\n"), ';');
    reader.First();
    reader.Next(); // the empty line at the closing line end
    EXPECT_FALSE(reader.Eof());
    reader.Next();
    EXPECT_TRUE(reader.Eof());
    EXPECT_EQ(reader.ColumnCount(), 0);
    EXPECT_THROW(reader.Next(), TCSVError);
    try {
        reader.Next();
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "Try to read past eof");
    }
    EXPECT_TRUE(reader.Eof());
}

TEST(CSVReader, ManyFieldsAndIndexesOutsideTheLine)
{
    std::string line;
    for (int i = 0; i < 250; ++i)
        line += std::to_string(i) + ",";
    TCSVReader reader(line + "\r\n", ',');
    reader.First();
    ASSERT_EQ(reader.ColumnCount(), 251);
    EXPECT_EQ(reader.Columns(0), "0");
    EXPECT_EQ(reader.Columns(249), "249");
    EXPECT_EQ(reader.Columns(250), "");
    EXPECT_EQ(reader.Columns(251), "");
    EXPECT_EQ(reader.Columns(-1), "");
    std::string scratch;
    EXPECT_TRUE(reader.ColumnView(1000, scratch).empty());
}

TEST(CSVReader, ReadsTheRestOfADevice)
{
    QByteArray bytes("skip me\r\na;\"b\"\r\n");
    QBuffer buffer(&bytes);
    ASSERT_TRUE(buffer.open(QIODevice::ReadOnly));
    ASSERT_TRUE(buffer.seek(9));
    TCSVReader reader(buffer, ';');
    EXPECT_EQ(walk(reader), "[a][b]|");
}

TEST(CSVReader, AMovedReaderKeepsItsBytes)
{
    // A short text lives inside the string object; the moved reader must not look at the old one.
    TCSVReader first(std::string("a;b"), ';');
    TCSVReader moved(std::move(first));
    EXPECT_EQ(walk(moved), "[a][b]");
}
