#include "data/DataFile.h"

#include "core/Cp1252.h"
#include "core/Formats.h"
#include "data/CSVReader.h"
#include "data/DataFileIni.h"
#include "data/LargePages.h"
#include "data/RLData.h"

#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QSaveFile>
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>
#include <new>

namespace kv58 {
namespace {

constexpr std::string_view kTitle = "KV58 Data File";
constexpr std::string_view kMakerAddress = "www.velmark.de";
constexpr std::string_view kEol = "\r\n";

constexpr std::string_view kInstrumentSection = "KV58 Info";
constexpr std::string_view kChannelSections[2] = {"CH1 Info", "CH2 Info"};
constexpr std::string_view kMeasurementSection = "Measurement Info";

constexpr std::string_view kCustomerKey = "KV58 Customer";
constexpr std::string_view kSerialKey = "KV58 Serialnumer";
constexpr std::string_view kBuildDateKey = "KV58 Build date";
constexpr std::string_view kCalDateKey = "KV58 Calibration date";

constexpr std::string_view kTypeKey = "Sensortyp";
constexpr std::string_view kSensorCustomerKey = "Customer";
constexpr std::string_view kSensorSerialKey = "Serial";
constexpr std::string_view kProdDateKey = "Production date";
constexpr std::string_view kSensorCalDateKey = "Calibration date";
constexpr std::string_view kFactorKey = "Calibration factor";
constexpr std::string_view kOffsetKey = "Sensor Offset";
constexpr std::string_view kRangeHighKey = "Range High";
constexpr std::string_view kRangeLowKey = "Range Low";

constexpr std::string_view kModeKey = "Measurement Mode";
constexpr std::string_view kFileNameKey = "Filename";
constexpr std::string_view kSampleRateKey = "Sample Rate";
constexpr std::string_view kDecimalKey = "Decimal";
constexpr std::string_view kSeparatorKey = "Seperator";

constexpr std::string_view kSampleRateUnit = " s save intervall";

// Run kinds 1 to 3: the "Measurement Mode" value and the mode line before the table.
constexpr std::string_view kModeNames[3] = {"Irradiance", "Transmission", "Relation"};
constexpr std::string_view kModeLines[3] = {"[IRRADIANCE]", "[TRANSMISSION]", "[RELATION]"};

// A file bigger than this cannot be a table the store would take; it is refused before reading.
constexpr qint64 kMaxFileSize = qint64(1) << 30;
// Lines between two progress reports.
constexpr int kProgressLines = 1 << 16;

// ---- Writing ----

// A header value as one line's bytes: a line break in a text would end the key early and could
// make the rest of the text read as a key or a table line, so it becomes a blank.
std::string headerValue(QStringView text)
{
    std::string bytes = unicodeToCp1252(text);
    std::replace_if(
        bytes.begin(), bytes.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
    return bytes;
}

class HeaderWriter {
public:
    explicit HeaderWriter(std::string& out) : out_(out) {}
    void line(std::string_view text)
    {
        out_ += text;
        out_ += kEol;
    }
    // Every section line has one empty line before it.
    void section(std::string_view name)
    {
        out_ += kEol;
        out_ += '[';
        out_ += name;
        out_ += ']';
        out_ += kEol;
    }
    void key(std::string_view name, std::string_view value)
    {
        out_ += name;
        out_ += '=';
        out_ += value;
        out_ += kEol;
    }
    void key(std::string_view name, QStringView value) { key(name, headerValue(value)); }

private:
    std::string& out_;
};

void writeHeader(std::string& out, const DataFileContent& content, const QString& fileName, char decimal,
                 char separator)
{
    HeaderWriter w(out);
    w.line(kTitle);
    w.line(kMakerAddress);
    w.section(kInstrumentSection);
    w.key(kCustomerKey, content.instrument.customer);
    w.key(kSerialKey, content.instrument.serial);
    w.key(kBuildDateKey, content.instrument.productionDate);
    w.key(kCalDateKey, content.instrument.calibrationDate);
    for (std::size_t ch = 0; ch < 2; ++ch) {
        const SensorInfo& s = content.sensors[ch];
        w.section(kChannelSections[ch]);
        w.key(kTypeKey, s.type);
        w.key(kSensorCustomerKey, s.customer);
        w.key(kSensorSerialKey, s.serial);
        w.key(kProdDateKey, s.productionDate);
        w.key(kSensorCalDateKey, s.calibrationDate);
        w.key(kFactorKey, formatGeneral(s.calibrationFactor, QChar::fromLatin1(decimal)));
        w.key(kOffsetKey, s.offset);
        w.key(kRangeHighKey, s.rangeHi);
        w.key(kRangeLowKey, s.rangeLo);
    }
    w.section(kMeasurementSection);
    const bool hasMode = content.runKind >= 1 && content.runKind <= 3;
    if (hasMode)
        w.key(kModeKey, kModeNames[content.runKind - 1]);
    w.key(kFileNameKey, fileName);
    w.key(kSampleRateKey, std::to_string(content.interval) + std::string(kSampleRateUnit));
    w.key(kDecimalKey, std::string_view(&decimal, 1));
    w.key(kSeparatorKey, std::string_view(&separator, 1));
    w.line({});
    if (hasMode)
        w.line(kModeLines[content.runKind - 1]);
}

// ---- Reading ----

// A cell that is a plain decimal number written with `decimal` (optional sign, digits, the one
// decimal char, digits) gets the live table's ","; `buffer` (kMaxCellLength bytes) holds the copy.
std::string_view liveCell(std::string_view cell, char decimal, char* buffer)
{
    if (decimal == ',' || cell.size() < 3)
        return cell;
    std::size_t i = cell.front() == '+' || cell.front() == '-' ? 1 : 0;
    const std::size_t intStart = i;
    while (i < cell.size() && cell[i] >= '0' && cell[i] <= '9')
        ++i;
    if (i == intStart || i >= cell.size() || cell[i] != decimal)
        return cell;
    const std::size_t point = i++;
    const std::size_t fracStart = i;
    while (i < cell.size() && cell[i] >= '0' && cell[i] <= '9')
        ++i;
    if (i == fracStart || i != cell.size())
        return cell;
    const std::size_t kept = std::min<std::size_t>(cell.size(), TRLData::kMaxCellLength);
    std::memcpy(buffer, cell.data(), kept);
    if (point < kept)
        buffer[point] = ',';
    return {buffer, kept};
}

QString iniText(const DataFileIni& ini, std::string_view section, std::string_view key)
{
    const DataFileIni::Entry* e = ini.find(section, key);
    return e ? cp1252ToUnicode(e->value) : QString();
}

// First character of a one-character key. A key that is missing or present without a value gives
// the default; a value of only a tab keeps the tab, the one blank a value cannot show otherwise.
char iniChar(const DataFileIni& ini, std::string_view key)
{
    const DataFileIni::Entry* e = ini.find(kMeasurementSection, key);
    if (!e)
        return ',';
    if (!e->value.empty())
        return e->value.front();
    return e->rawValue.find('\t') != std::string_view::npos ? '\t' : ',';
}

// "Sample Rate" must begin with a whole number followed by a blank ("20 s save intervall").
std::optional<DataFileError> checkSampleRate(const DataFileIni& ini)
{
    const DataFileIni::Entry* e = ini.find(kMeasurementSection, kSampleRateKey);
    if (!e)
        return DataFileError{QStringLiteral("The key \"Sample Rate\" is missing."), 0};
    const std::string_view value = e->value;
    const std::size_t blank = value.find(' ');
    std::string_view number = value.substr(0, blank);
    if (!number.empty() && (number.front() == '+' || number.front() == '-'))
        number.remove_prefix(1);
    const bool whole = blank != std::string_view::npos && !number.empty() && number.size() <= 9 &&
                       std::all_of(number.begin(), number.end(), [](char c) { return c >= '0' && c <= '9'; });
    if (whole)
        return std::nullopt;
    return DataFileError{
        QStringLiteral("The key \"Sample Rate\" does not begin with a whole number and a blank: "
                       "\"%1\".")
            .arg(cp1252ToUnicode(value)),
        e->line};
}

std::optional<int> runKindOf(const DataFileIni& ini)
{
    const DataFileIni::Entry* e = ini.find(kMeasurementSection, kModeKey);
    if (!e)
        return std::nullopt;
    for (int kind = 1; kind <= 3; ++kind)
        if (e->value == kModeNames[kind - 1])
            return kind;
    return std::nullopt;
}

SensorInfo readSensor(const DataFileIni& ini, std::string_view section, char decimal)
{
    SensorInfo s;
    s.type = iniText(ini, section, kTypeKey);
    s.customer = iniText(ini, section, kSensorCustomerKey);
    s.serial = iniText(ini, section, kSensorSerialKey);
    s.productionDate = iniText(ini, section, kProdDateKey);
    s.calibrationDate = iniText(ini, section, kSensorCalDateKey);
    s.calibrationFactor =
        parseDecimal(iniText(ini, section, kFactorKey), QChar::fromLatin1(decimal)).value_or(1.0);
    s.offset = iniText(ini, section, kOffsetKey);
    s.rangeHi = iniText(ini, section, kRangeHighKey);
    s.rangeLo = iniText(ini, section, kRangeLowKey);
    return s;
}

int lineOfOffset(std::string_view bytes, std::size_t offset)
{
    offset = std::min(offset, bytes.size());
    return 1 + static_cast<int>(
                   std::count(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(offset), '\n'));
}

class TableLoader {
public:
    TableLoader(std::string_view bytes, TRLData& table, const DataFileOptions& options, char separator,
                char decimal)
        : bytes_(bytes), table_(table), options_(options), decimal_(decimal),
          reader_(TCSVReader::borrowing(bytes, separator))
    {
        reader_.SetEOLChar('\n');
        reader_.SetEOLLength(1);
        reader_.SetTrimCR(true);
        for (const QString& name : options.dateNames)
            dateNames_.push_back(unicodeToCp1252(name));
    }

    // Offset of the line being read, for an error that stops the load.
    std::size_t lineStart() const { return reader_.LineStart(); }

    // False when the caller canceled.
    bool run()
    {
        const int cols = table_.NrOfColumns();
        std::vector<std::string> scratch(static_cast<std::size_t>(cols));
        reader_.First();
        if (!findHeader(scratch))
            return !canceled_;
        // The rows can be no more than the line ends left, plus a last line without one.
        const auto left = bytes_.substr(reader_.Position());
        const auto maxRows =
            static_cast<std::int64_t>(std::count(left.begin(), left.end(), '\n')) + (left.empty() ? 0 : 1);
        rowCapacity_ = static_cast<int>(std::min<std::int64_t>(maxRows, std::numeric_limits<int>::max()));

        std::vector<std::string_view> fields(static_cast<std::size_t>(cols));
        char converted[TRLData::kMaxCellLength] = {};
        int row = 0;
        while (!reader_.Eof()) {
            const int used = std::min(reader_.ColumnCount(), cols);
            bool any = false;
            for (int i = 0; i < used; ++i) {
                const auto k = static_cast<std::size_t>(i);
                fields[k] = reader_.ColumnView(i, scratch[k]);
                any = any || !fields[k].empty();
            }
            // A line without any text (a blank line, or only separators) gives no row.
            if (any) {
                ++row;
                makeRoom(row);
                table_.SetElemBytes(0, row, "0");
                for (int c = 1; c <= cols; ++c) {
                    const std::string_view cell = c <= used ? fields[static_cast<std::size_t>(c - 1)] : "";
                    table_.SetElemBytes(c, row, cell.empty() ? "0" : liveCell(cell, decimal_, converted));
                }
            }
            reader_.Next();
            if (!tick())
                return false;
        }
        table_.SetNrOfRows(row);
        return true;
    }

private:
    bool isDateName(std::string_view field) const
    {
        return std::find(dateNames_.begin(), dateNames_.end(), field) != dateNames_.end();
    }

    // Skips the lines before the header line and takes the column names from it; false when the
    // file has none or the caller canceled.
    bool findHeader(std::vector<std::string>& scratch)
    {
        while (!reader_.Eof()) {
            if (reader_.ColumnCount() > 0 && isDateName(reader_.ColumnView(0, scratch[0]))) {
                const int named = std::min(reader_.ColumnCount(), table_.NrOfColumns());
                for (int i = 0; i < named; ++i)
                    table_.SetColName(i + 1, cp1252ToUnicode(reader_.ColumnView(i, scratch[0])));
                reader_.Next();
                return true;
            }
            reader_.Next();
            if (!tick())
                return false;
        }
        return false;
    }

    // Row `row` exists: the rows are made in one step for all lines left; where that is more than
    // the store takes (many blank lines), they are made one by one up to the store's limit.
    void makeRoom(int row)
    {
        if (row <= table_.NrOfRows())
            return;
        const int target = std::max(row, rowCapacity_);
        try {
            table_.SetNrOfRows(target);
        } catch (const TRLError&) {
            if (target == row)
                throw;
            rowCapacity_ = 0;
            table_.SetNrOfRows(row);
        }
    }

    bool tick()
    {
        if (++lines_ % kProgressLines != 0 || !options_.progress)
            return !canceled_;
        const double done = bytes_.empty() ? 1.0 : double(reader_.Position()) / double(bytes_.size());
        canceled_ = !options_.progress(done);
        return !canceled_;
    }

    std::string_view bytes_;
    TRLData& table_;
    const DataFileOptions& options_;
    char decimal_;
    TCSVReader reader_;
    std::vector<std::string> dateNames_;
    int rowCapacity_ = 0;
    int lines_ = 0;
    bool canceled_ = false;
};

DataFileError canceledError()
{
    return DataFileError{QStringLiteral("Loading was canceled."), 0, true};
}

std::variant<DataFileLoad, DataFileError> load(std::string_view bytes, TRLData& table,
                                               const DataFileOptions& options, std::size_t& failedAt,
                                               bool& inTable)
{
    const DataFileIni ini(bytes);
    DataFileLoad result;
    result.instrument.customer = iniText(ini, kInstrumentSection, kCustomerKey);
    result.instrument.serial = iniText(ini, kInstrumentSection, kSerialKey);
    result.instrument.productionDate = iniText(ini, kInstrumentSection, kBuildDateKey);
    result.instrument.calibrationDate = iniText(ini, kInstrumentSection, kCalDateKey);
    result.decimal = iniChar(ini, kDecimalKey);
    result.separator = iniChar(ini, kSeparatorKey);
    if (auto error = checkSampleRate(ini))
        return *error;
    result.runKind = runKindOf(ini);

    int cols = 2;
    for (std::size_t ch = 0; ch < 2; ++ch) {
        if (ini.hasKeys(kChannelSections[ch])) {
            result.sensors[ch] = readSensor(ini, kChannelSections[ch], result.decimal);
            cols += 2;
        }
    }
    const int kind = result.runKind.value_or(options.currentRunKind);
    if (kind == 2)
        cols = cols == 4 ? 3 : 4;
    else if (kind == 3)
        cols = 4;

    table.SetNrOfRows(0);
    table.SetNrOfColumns(cols);
    table.Clear();
    table.SetCommonHeader(QString());

    inTable = true;
    TableLoader loader(bytes, table, options, result.separator, result.decimal);
    try {
        if (!loader.run())
            return canceledError();
    } catch (...) {
        failedAt = loader.lineStart();
        throw;
    }
    return result;
}

} // namespace

std::string dataFileText(const DataFileContent& content, const TRLData& table, const QString& fileName,
                         char decimal, char separator)
{
    const int cols = table.NrOfColumns();
    const int rows = table.NrOfRows();
    std::vector<std::string> names;
    std::size_t namesSize = 2;
    for (int c = 1; c <= cols; ++c) {
        names.push_back(unicodeToCp1252(table.GetColName(c)));
        namesSize += names.back().size() + 1;
    }
    std::size_t cellsSize = 0;
    for (int c = 1; c <= cols; ++c)
        for (int r = 1; r <= rows; ++r)
            cellsSize += table.ElemBytes(c, r).size();

    std::string out;
    out.reserve(1024 + namesSize + cellsSize + std::size_t(rows) * (std::size_t(cols) + 2));
    preferLargePages(out.data(), out.capacity());
    writeHeader(out, content, fileName, decimal, separator);
    for (const std::string& name : names) {
        out += name;
        out += separator;
    }
    out += kEol;

    // The table part is written through a pointer into room made once.
    const std::size_t tableStart = out.size();
    out.resize(tableStart + cellsSize + std::size_t(rows) * (std::size_t(cols) + 2));
    char* p = out.data() + tableStart;
    for (int r = 1; r <= rows; ++r) {
        for (int c = 1; c <= cols; ++c) {
            for (const char ch : table.ElemBytes(c, r))
                *p++ = ch == '.' || ch == ',' ? decimal : ch;
            *p++ = separator;
        }
        *p++ = '\r';
        *p++ = '\n';
    }
    return out;
}

std::optional<QString> writeFileAtomically(const QString& path, std::string_view bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    const auto size = static_cast<qint64>(bytes.size());
    if (file.write(bytes.data(), size) != size) {
        QString reason = file.errorString();
        file.cancelWriting();
        return reason;
    }
    if (!file.commit())
        return file.errorString();
    return std::nullopt;
}

std::variant<std::string, QString> readWholeFile(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return QStringLiteral("No such file");
    // Anything else (a folder, a pipe, a device) could block the read or never end.
    if (!info.isFile())
        return QStringLiteral("Not a regular file");
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return file.errorString();
    const qint64 size = file.size();
    if (size > kMaxFileSize)
        return QStringLiteral("The file is too large");
    try {
        std::string bytes;
        bytes.reserve(static_cast<std::size_t>(size));
        preferLargePages(bytes.data(), bytes.capacity());
        bytes.resize(static_cast<std::size_t>(size));
        qint64 got = 0;
        while (got < size) {
            const qint64 n = file.read(bytes.data() + got, size - got);
            if (n < 0)
                return file.errorString();
            if (n == 0)
                break;
            got += n;
        }
        bytes.resize(static_cast<std::size_t>(got));
        return bytes;
    } catch (const std::bad_alloc&) {
        return QStringLiteral("Not enough memory to read the file");
    }
}

std::variant<DataFileLoad, DataFileError> loadDataFile(std::string_view bytes, TRLData& table,
                                                       const DataFileOptions& options)
{
    std::size_t failedAt = 0;
    bool inTable = false;
    try {
        return load(bytes, table, options, failedAt, inTable);
    } catch (const TRLError& e) {
        return DataFileError{QString::fromStdString(e.what()), inTable ? lineOfOffset(bytes, failedAt) : 0};
    } catch (const std::bad_alloc&) {
        return DataFileError{QStringLiteral("Not enough memory to load the file."),
                             inTable ? lineOfOffset(bytes, failedAt) : 0};
    }
}

char regionalListSeparator()
{
    return QLocale::system().decimalPoint() == QStringLiteral(",") ? ';' : ',';
}

} // namespace kv58
