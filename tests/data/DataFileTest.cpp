// Measurement data files: the writer against files written by hand, loading them back (column
// counts, names, "0" fills, the live table's number form), the header rules, the table part's
// edge cases, errors, and the file helpers.
#include "data/DataFile.h"

#include "data/RLData.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

using namespace kv58;

namespace {

std::string golden(const char* name)
{
    QFile file(QStringLiteral(KV58_SOURCE_DIR "/tests/data/golden/") + QString::fromLatin1(name));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name;
    const QByteArray bytes = file.readAll();
    return {bytes.constData(), static_cast<std::size_t>(bytes.size())};
}

using Rows = std::vector<std::vector<std::string>>;

void fillTable(TRLData& table, const std::vector<QString>& names, const Rows& rows)
{
    table.SetNrOfColumns(static_cast<int>(names.size()));
    for (std::size_t c = 0; c < names.size(); ++c)
        table.SetColName(static_cast<int>(c) + 1, names[c]);
    table.SetNrOfRows(static_cast<int>(rows.size()));
    for (std::size_t r = 0; r < rows.size(); ++r)
        for (std::size_t c = 0; c < rows[r].size(); ++c)
            table.SetElemBytes(static_cast<int>(c) + 1, static_cast<int>(r) + 1, rows[r][c]);
}

// Sizes, names, common header and every cell (column 0 included) as one comparable text.
std::string describe(const TRLData& t)
{
    std::string out = "cols=" + std::to_string(t.NrOfColumns()) + " rows=" + std::to_string(t.NrOfRows()) +
                      " header=" + t.CommonHeader().toStdString() + "\nnames:";
    for (int c = 1; c <= t.NrOfColumns(); ++c)
        out += " [" + t.GetColName(c).toStdString() + "]";
    for (int r = 1; r <= t.NrOfRows(); ++r) {
        out += "\n";
        for (int c = 0; c <= t.NrOfColumns(); ++c)
            out += "[" + std::string(t.ElemBytes(c, r)) + "]";
    }
    return out;
}

// What loading should give: the names and rows (columns 1 on) of a table whose every cell,
// column 0 included, is filled, with "0" where `rows` has none.
std::string expectedTable(const std::vector<QString>& names, const Rows& rows)
{
    TRLData t;
    t.SetCommonHeader(QString());
    fillTable(t, names, rows);
    for (int r = 1; r <= t.NrOfRows(); ++r)
        for (int c = 0; c <= t.NrOfColumns(); ++c)
            if (t.ElemBytes(c, r).empty())
                t.SetElemBytes(c, r, "0");
    return describe(t);
}

SensorInfo sensor(const QString& type, double factor)
{
    SensorInfo s;
    s.type = type;
    s.calibrationFactor = factor;
    return s;
}

const QString kUvaUnit = QStringLiteral("UVA[W/m\u00b2]");

struct Golden {
    const char* file = nullptr;
    DataFileContent content;
    QString fileName;
    char decimal = '.';
    char separator = ';';
    std::vector<QString> names;
    Rows rows;
    std::vector<QString> loadedNames; // what loading without a current run kind names
    Rows loadedRows;                  // what loading gives where it differs from `rows`
};

Golden makeGolden(const char* file, const QString& fileName, char decimal, char separator)
{
    Golden g;
    g.file = file;
    g.fileName = fileName;
    g.decimal = decimal;
    g.separator = separator;
    return g;
}

std::vector<Golden> goldens()
{
    std::vector<Golden> list;
    {
        Golden g =
            makeGolden("irradiation_two_channels.csv", QStringLiteral("/home/lab/Messung 1.csv"), '.', ';');
        g.content.instrument = {QStringLiteral("64 58 2 0007"), QStringLiteral("Labor M\u00fcller"),
                                QStringLiteral("01.02.2025"), QStringLiteral("03.04.2026")};
        g.content.sensors[0] = {QStringLiteral("UVA"),        QStringLiteral("0.1"),
                                QStringLiteral("200"),        QStringLiteral("05.06.2024"),
                                QStringLiteral("07.08.2026"), QStringLiteral("Labor M\u00fcller"),
                                QStringLiteral("1234"),       1.5e-7,
                                QStringLiteral("12")};
        g.content.sensors[1] = {QStringLiteral("VIS"),        QStringLiteral("1"),
                                QStringLiteral("100"),        QStringLiteral("05.06.2024"),
                                QStringLiteral("07.08.2026"), QString(),
                                QStringLiteral("5678"),       2.5,
                                QStringLiteral("-3")};
        g.content.runKind = 1;
        g.content.interval = 20;
        g.names = {QStringLiteral("Date"),     QStringLiteral("Time"),     kUvaUnit,
                   QStringLiteral("UVA Dose"), QStringLiteral("VIS[klx]"), QStringLiteral("VIS Dose")};
        g.rows = {{"2026.12.11", "12:00:00", "0,050000", "000,123", "150,000", "001,234"},
                  {"2026.12.11", "12:00:20", "12,5000", "000,250", "150,500", "002,468"}};
        g.loadedNames = g.names;
        list.push_back(g);
    }
    {
        Golden g =
            makeGolden("transmission_one_channel.csv", QStringLiteral("C:\\Messungen\\Glas.csv"), '.', ',');
        g.content.instrument.serial = QStringLiteral("64 58 2 0007");
        g.content.sensors[0] = sensor(QStringLiteral("UVA"), 1);
        g.content.sensors[0].serial = QStringLiteral("1234");
        g.content.sensors[0].offset = QStringLiteral("0");
        g.content.runKind = 2;
        g.content.interval = 1;
        g.names = {QStringLiteral("Date"), QStringLiteral("Number"), QStringLiteral("UVA[%]")};
        g.rows = {{"2026.12.11", "00:00:01", "050,000"}, {"2026.12.11", "00:00:02", "049,875"}};
        // Both channel sections are written, so the file reads as a two-channel transmission: the
        // fourth column takes the empty name after the last separator.
        g.loadedNames = {QStringLiteral("Date"), QStringLiteral("Number"), QStringLiteral("UVA[%]"),
                         QString()};
        list.push_back(g);
    }
    {
        Golden g = makeGolden("relation.csv", QStringLiteral("/tmp/rel.csv"), ',', ';');
        g.content.instrument = {QStringLiteral("64 58 2 0011"), QStringLiteral("Pr\u00fcflabor"),
                                QStringLiteral("10.10.2024"), QStringLiteral("11.11.2025")};
        g.content.sensors[0] = sensor(QStringLiteral("UVA"), 0.75);
        g.content.sensors[0].serial = QStringLiteral("1");
        g.content.sensors[0].offset = QStringLiteral("0");
        g.content.sensors[1] = sensor(QStringLiteral("VIS"), 1234.5);
        g.content.sensors[1].serial = QStringLiteral("2");
        g.content.sensors[1].offset = QStringLiteral("0");
        g.content.runKind = 3;
        g.content.interval = 5;
        g.names = {QStringLiteral("Date"), QStringLiteral("Number"), QStringLiteral("Relation"),
                   QStringLiteral("Value [%]")};
        g.rows = {{"2026.12.11", "00:00:01", "CH1 / CH2", "012,500"},
                  {"2026.12.11", "00:00:02", "CH1 / CH2", "-001,250"}};
        // With "," as decimal separator every "." of the cells becomes "," too, dates included.
        g.loadedRows = {{"2026,12,11", "00:00:01", "CH1 / CH2", "012,500"},
                        {"2026,12,11", "00:00:02", "CH1 / CH2", "-001,250"}};
        g.loadedNames = g.names;
        list.push_back(g);
    }
    {
        Golden g = makeGolden("no_run_kind.csv", QStringLiteral("/tmp/one.csv"), '.', ';');
        g.content.sensors[0] = sensor(QStringLiteral("UVA"), 1);
        g.content.sensors[1] = sensor(QString(), 1);
        g.content.interval = 20;
        g.names = {QStringLiteral("Date"), QStringLiteral("Time"), kUvaUnit, QStringLiteral("UVA Dose")};
        g.rows = {{"2026.12.11", "12:00:00", "0,050000", "000,001"}};
        // Six columns for four names: column 5 gets the empty last field, column 6 keeps its default.
        g.loadedNames = {
            QStringLiteral("Date"), QStringLiteral("Time"), kUvaUnit, QStringLiteral("UVA Dose"), QString(),
            QStringLiteral("C-6")};
        list.push_back(g);
    }
    {
        Golden g = makeGolden("empty_table.csv", QStringLiteral("/tmp/empty.csv"), '.', ';');
        g.content.sensors[0] = sensor(QStringLiteral("UVA"), 1);
        g.content.sensors[1] = sensor(QStringLiteral("VIS"), 1);
        g.content.runKind = 1;
        g.content.interval = 20;
        g.names = {QStringLiteral("Date"),     QStringLiteral("Time"),     kUvaUnit,
                   QStringLiteral("UVA Dose"), QStringLiteral("VIS[klx]"), QStringLiteral("VIS Dose")};
        g.loadedNames = g.names;
        list.push_back(g);
    }
    return list;
}

DataFileLoad loadOk(std::string_view bytes, TRLData& table, const DataFileOptions& options = {})
{
    auto result = loadDataFile(bytes, table, options);
    if (const auto* error = std::get_if<DataFileError>(&result)) {
        ADD_FAILURE() << "load failed: " << error->message.toStdString() << " line " << error->line;
        return {};
    }
    return std::get<DataFileLoad>(result);
}

DataFileError loadFails(std::string_view bytes, TRLData& table, const DataFileOptions& options = {})
{
    auto result = loadDataFile(bytes, table, options);
    if (!std::holds_alternative<DataFileError>(result)) {
        ADD_FAILURE() << "load succeeded";
        return {};
    }
    return std::get<DataFileError>(result);
}

std::string crlf(std::string_view lines)
{
    std::string out;
    for (const char c : lines) {
        if (c == '\n')
            out += '\r';
        out += c;
    }
    return out;
}

// A small file with one channel section and the given "Measurement Info" lines ("\n" line ends),
// followed by `rest`.
std::string smallFile(std::string_view measurement, std::string_view rest = "")
{
    return crlf("KV58 Data File\nwww.velmark.de\n\n[CH1 Info]\nSensortyp=UVA\n\n[Measurement Info]\n" +
                std::string(measurement) + "\n\n" + std::string(rest));
}

} // namespace

TEST(DataFile, WriterGivesTheHandWrittenFilesByteForByte)
{
    for (const Golden& g : goldens()) {
        SCOPED_TRACE(g.file);
        TRLData table;
        fillTable(table, g.names, g.rows);
        EXPECT_EQ(dataFileText(g.content, table, g.fileName, g.decimal, g.separator), golden(g.file));
    }
}

TEST(DataFile, LoadsTheHandWrittenFilesAndSavesThemAgainUnchanged)
{
    for (const Golden& g : goldens()) {
        SCOPED_TRACE(g.file);
        const std::string bytes = golden(g.file);
        TRLData table;
        const DataFileLoad load = loadOk(bytes, table);
        EXPECT_EQ(describe(table),
                  expectedTable(g.loadedNames, g.loadedRows.empty() ? g.rows : g.loadedRows));
        EXPECT_EQ(load.instrument, g.content.instrument);
        for (std::size_t ch = 0; ch < 2; ++ch) {
            ASSERT_TRUE(load.sensors[ch].has_value());
            EXPECT_EQ(*load.sensors[ch], g.content.sensors[ch]);
        }
        if (g.content.runKind != 0)
            EXPECT_EQ(load.runKind, g.content.runKind);
        else
            EXPECT_FALSE(load.runKind.has_value());
        EXPECT_EQ(load.decimal, g.decimal);
        EXPECT_EQ(load.separator, g.separator);

        // The same file with LF line ends loads alike.
        std::string lfOnly = bytes;
        std::erase(lfOnly, '\r');
        TRLData fromLf;
        loadOk(lfOnly, fromLf);
        EXPECT_EQ(describe(fromLf), describe(table));

        // Files whose columns read back as written save again to the very same bytes: numbers
        // written with "." are shown with "," and written with "." again, dates keep their points.
        if (g.loadedNames == g.names) {
            DataFileContent again{load.instrument,
                                  {*load.sensors[0], *load.sensors[1]},
                                  load.runKind.value_or(0),
                                  g.content.interval};
            EXPECT_EQ(dataFileText(again, table, g.fileName, load.decimal, load.separator), bytes);
        }
    }
}

TEST(DataFile, ColumnCountFollowsChannelSectionsAndRunKind)
{
    struct Case {
        bool ch1, ch2;
        const char* fileMode; // nullptr: no "Measurement Mode" key
        int currentKind;
        int columns;
    };
    const Case cases[] = {
        {true, true, "Irradiance", 0, 6},     {true, true, nullptr, 0, 6},
        {true, true, nullptr, 1, 6},          {true, true, "Transmission", 0, 4},
        {true, true, nullptr, 2, 4},          {true, true, "Relation", 1, 4},
        {true, false, "Irradiance", 0, 4},    {false, true, nullptr, 0, 4},
        {true, false, "Transmission", 0, 3},  {false, true, nullptr, 2, 3},
        {true, false, "Relation", 0, 4},      {false, false, nullptr, 0, 2},
        {false, false, "Transmission", 1, 4}, {false, false, nullptr, 3, 4},
        {true, true, "Irradiance", 2, 6},     {true, true, "irradiance", 2, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.ch1 << c.ch2 << " mode=" << (c.fileMode ? c.fileMode : "-")
                                        << " current=" << c.currentKind);
        // A section without keys counts as missing.
        std::string text = "KV58 Data File\n[CH1 Info]\n";
        if (c.ch1)
            text += "Sensortyp=UVA\n";
        text += "[CH2 Info]\n";
        if (c.ch2)
            text += "Serial=7\n";
        text += "[Measurement Info]\nSample Rate=1 s\n";
        if (c.fileMode)
            text += "Measurement Mode=" + std::string(c.fileMode) + "\n";
        text += "Date,Time\n1,2\n";
        TRLData table;
        DataFileOptions options;
        options.currentRunKind = c.currentKind;
        const DataFileLoad load = loadOk(crlf(text), table, options);
        EXPECT_EQ(table.NrOfColumns(), c.columns);
        EXPECT_EQ(load.sensors[0].has_value(), c.ch1);
        EXPECT_EQ(load.sensors[1].has_value(), c.ch2);
        EXPECT_EQ(table.NrOfRows(), 1);
        EXPECT_EQ(table.GetColName(c.columns),
                  c.columns == 2 ? QStringLiteral("Time") : QStringLiteral("C-%1").arg(c.columns));
    }
}

TEST(DataFile, SampleRateMustBeginWithAWholeNumberAndABlank)
{
    struct Case {
        const char* value; // nullptr: the key is missing
        bool ok;
    };
    const Case cases[] = {
        {"20 s save intervall", true},
        {"7 x", true},
        {"-5 s", true},
        {"  20 s  ", true},
        {"20", false},
        {"20s save", false},
        {"", false},
        {"abc def", false},
        {"1e3 s", false},
        {"2.5 s", false},
        {"99999999999 s", false},
        {nullptr, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value ? c.value : "(missing)");
        const std::string text = smallFile(
            c.value ? "Decimal=.\nSample Rate=" + std::string(c.value) : "Decimal=.", "Date;x\n1;2\n");
        TRLData table;
        auto result = loadDataFile(text, table, {});
        if (c.ok) {
            EXPECT_TRUE(std::holds_alternative<DataFileLoad>(result));
            continue;
        }
        ASSERT_TRUE(std::holds_alternative<DataFileError>(result));
        const DataFileError& error = std::get<DataFileError>(result);
        EXPECT_TRUE(error.message.contains(QStringLiteral("Sample Rate"))) << error.message.toStdString();
        EXPECT_EQ(error.line, c.value ? 9 : 0);
        EXPECT_FALSE(error.canceled);
    }
}

TEST(DataFile, HeaderKeysMatchWithoutCaseAndBlanksAndFallBackToDefaults)
{
    const std::string text = crlf("KV58 Data File\n"
                                  "[kv58 info]\n"
                                  " kv58 SERIALNUMER = 64 58 2 0007 \n"
                                  "KV58 Customer=first\n"
                                  "KV58 Customer=second\n"
                                  "[CH1 Info]\n"
                                  "Calibration factor=\n"
                                  "[CH2 Info]\n"
                                  "Calibration factor=1,5\n"
                                  "[MEASUREMENT INFO]\n"
                                  "sample rate= 3 s \n"
                                  "Decimal=\n"
                                  "Seperator=  \n"
                                  "\n"
                                  "Date,x\n"
                                  "\"1,5\",2.5\n");
    TRLData table;
    const DataFileLoad load = loadOk(text, table);
    EXPECT_EQ(load.instrument.serial, "64 58 2 0007");
    EXPECT_EQ(load.instrument.customer, "first");
    EXPECT_TRUE(load.instrument.productionDate.isEmpty());
    // Empty "Decimal" and "Seperator" values take the defaults.
    EXPECT_EQ(load.decimal, ',');
    EXPECT_EQ(load.separator, ',');
    ASSERT_TRUE(load.sensors[0] && load.sensors[1]);
    EXPECT_EQ(load.sensors[0]->calibrationFactor, 1.0);
    EXPECT_EQ(load.sensors[1]->calibrationFactor, 1.5);
    EXPECT_TRUE(load.sensors[0]->type.isEmpty());
    ASSERT_EQ(table.NrOfRows(), 1);
    EXPECT_EQ(table.ElemBytes(1, 1), "1,5");
    EXPECT_EQ(table.ElemBytes(2, 1), "2.5"); // not a number in the file's decimal form: kept as it is

    // A factor that is no number counts as 1; "Decimal" decides how it is read.
    TRLData other;
    std::string withFactor = smallFile("Sample Rate=1 s\nDecimal=.", "");
    withFactor.insert(withFactor.find("Sensortyp"), "Calibration factor=2,5\r\n");
    EXPECT_EQ(loadOk(withFactor, other).sensors[0]->calibrationFactor, 1.0);
}

TEST(DataFile, TablePartSkipsToTheHeaderLineAndFillsEveryRow)
{
    const std::string longCell(300, 'x');
    const std::string text = smallFile("Measurement Mode=Relation\nSample Rate=1 s\nDecimal=.\nSeperator=;",
                                       "[RELATION];x;y\n"
                                       "Date;Number;Relation;Value [%];\n"
                                       "2026.12.11;00:00:01;\"A;B\";1.5;extra;more\n"
                                       "\n"
                                       ";;;;\n"
                                       "2026.12.11\n"
                                       "Date;Number;x;y;\n"
                                       ";;;7.25\n" +
                                           longCell + ";1.2.3;+1.0;-.5\n");
    TRLData table;
    loadOk(text, table);
    EXPECT_EQ(describe(table), expectedTable({QStringLiteral("Date"), QStringLiteral("Number"),
                                              QStringLiteral("Relation"), QStringLiteral("Value [%]")},
                                             {{"2026.12.11", "00:00:01", "A;B", "1,5"},
                                              {"2026.12.11"},
                                              {"Date", "Number", "x", "y"},
                                              {"", "", "", "7,25"},
                                              {std::string(255, 'x'), "1.2.3", "+1,0", "-.5"}}));
}

TEST(DataFile, HeaderLineIsFoundByTheGivenDateNames)
{
    const std::string text = smallFile("Sample Rate=1 s\nSeperator=;", "Datum;Zeit;\n2026.12.11;12:00:00;\n");
    TRLData german;
    DataFileOptions options;
    options.dateNames = {QStringLiteral("Date"), QStringLiteral("Datum")};
    loadOk(text, german, options);
    EXPECT_EQ(describe(german), expectedTable({QStringLiteral("Datum"), QStringLiteral("Zeit"), QString(),
                                               QStringLiteral("C-4")},
                                              {{"2026.12.11", "12:00:00"}}));

    // Without the header line there are no rows and the columns keep their default names.
    TRLData english;
    loadOk(text, english);
    EXPECT_EQ(describe(english), expectedTable({QStringLiteral("C-1"), QStringLiteral("C-2"),
                                                QStringLiteral("C-3"), QStringLiteral("C-4")},
                                               {}));
}

TEST(DataFile, StoreLimitAndCancelEndTheLoadWithAnError)
{
    std::string rows;
    for (int r = 0; r < 100; ++r)
        rows += "2026.12.11;12:00:00;0.1;0.2;\n";
    const std::string text = smallFile("Sample Rate=1 s\nDecimal=.\nSeperator=;", "Date;Time;a;b;\n" + rows);
    const int headerLine = 12;

    // Four columns and column 0: 5 cells a row, room for 50 rows.
    TRLData table;
    table.setCellLimit(5 * 50);
    const DataFileError error = loadFails(text, table);
    EXPECT_FALSE(error.canceled);
    EXPECT_FALSE(error.message.isEmpty());
    EXPECT_EQ(error.line, headerLine + 51);

    std::string many;
    for (int r = 0; r < 200000; ++r)
        many += "1;2\n";
    const std::string big = smallFile("Sample Rate=1 s\nSeperator=;", "Date;Time\n" + many);
    std::vector<double> seen;
    DataFileOptions options;
    options.progress = [&seen](double done) {
        seen.push_back(done);
        return seen.size() < 2;
    };
    TRLData canceled;
    EXPECT_TRUE(loadFails(big, canceled, options).canceled);
    ASSERT_EQ(seen.size(), 2U);
    EXPECT_GT(seen[0], 0.0);
    EXPECT_LT(seen[0], seen[1]);
    EXPECT_LT(seen[1], 1.0);
}

TEST(DataFile, SwapExchangesTheContentAndTellsBothListeners)
{
    struct Counter : TRLData::Listener {
        int changes = 0;
        void cellChanged(int, int) override {}
        void headerChanged() override {}
        void changed() override { ++changes; }
    };
    TRLData live;
    live.SetName(QStringLiteral("RL"));
    fillTable(live, {QStringLiteral("A")}, {{"1"}, {"2"}});
    live.SetComment(QStringLiteral("old"));
    TRLData loaded;
    fillTable(loaded, {QStringLiteral("X"), QStringLiteral("Y")}, {{"a", "b"}});
    loaded.SetCommonHeader(QString());
    loaded.SetDataID(QStringLiteral("id"));
    const std::string liveBefore = describe(live);
    const std::string loadedBefore = describe(loaded);
    Counter liveListener;
    Counter loadedListener;
    live.setListener(&liveListener);
    loaded.setListener(&loadedListener);

    live.swap(loaded);
    EXPECT_EQ(describe(live), loadedBefore);
    EXPECT_EQ(describe(loaded), liveBefore);
    EXPECT_EQ(live.DataID(), "id");
    EXPECT_EQ(loaded.Comment(), "old");
    EXPECT_EQ(live.Name(), "RL");
    EXPECT_EQ(liveListener.changes, 1);
    EXPECT_EQ(loadedListener.changes, 1);
    // Each store keeps its listener.
    live.SetElemBytes(1, 1, "z");
    EXPECT_EQ(loadedListener.changes, 1);
}

class DataFileOnDisk : public ::testing::Test {
protected:
    QString path(const QString& name) const { return dir_.filePath(name); }
    static std::string contents(const QString& file)
    {
        auto result = readWholeFile(file);
        if (const auto* error = std::get_if<QString>(&result)) {
            ADD_FAILURE() << error->toStdString();
            return {};
        }
        return std::get<std::string>(result);
    }

private:
    QTemporaryDir dir_;
};

TEST_F(DataFileOnDisk, WritesReplacesAndReadsBack)
{
    const QString file = path(QStringLiteral("m.csv"));
    EXPECT_FALSE(writeFileAtomically(file, "old\r\n"));
    const std::string bytes("new\0\xff\r\n", 7);
    EXPECT_FALSE(writeFileAtomically(file, bytes));
    EXPECT_EQ(contents(file), bytes);
    EXPECT_EQ(QDir(path(QString())).entryList(QDir::Files), QStringList{QStringLiteral("m.csv")});
}

TEST_F(DataFileOnDisk, AFailedWriteKeepsTheOldFile)
{
    EXPECT_TRUE(writeFileAtomically(path(QStringLiteral("missing/m.csv")), "x"));
    if (geteuid() == 0)
        GTEST_SKIP() << "a read-only folder does not stop root";
    const QString folder = path(QStringLiteral("ro"));
    ASSERT_TRUE(QDir().mkdir(folder));
    const QString file = folder + QStringLiteral("/m.csv");
    ASSERT_FALSE(writeFileAtomically(file, "old"));
    ASSERT_EQ(chmod(QFile::encodeName(folder).constData(), 0555), 0);
    const auto error = writeFileAtomically(file, "new");
    chmod(QFile::encodeName(folder).constData(), 0755);
    ASSERT_TRUE(error);
    EXPECT_FALSE(error->isEmpty());
    EXPECT_EQ(contents(file), "old");
}

TEST_F(DataFileOnDisk, ReadsOnlyRegularFiles)
{
    EXPECT_TRUE(std::holds_alternative<QString>(readWholeFile(path(QStringLiteral("none.csv")))));
    EXPECT_TRUE(std::holds_alternative<QString>(readWholeFile(path(QString()))));
    // A pipe nobody writes to would block a plain read forever.
    const QString fifo = path(QStringLiteral("pipe"));
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    EXPECT_TRUE(std::holds_alternative<QString>(readWholeFile(fifo)));
    const QString empty = path(QStringLiteral("empty.csv"));
    ASSERT_FALSE(writeFileAtomically(empty, ""));
    EXPECT_EQ(contents(empty), "");
}
