// The measurement data file: a title, the instrument and sensor records as INI sections, the run's
// settings, then the table as separator-delimited lines. Windows-1252 text, CR LF after every line.
// Writing and reading work on plain values and a table store, never on widgets.
#pragma once

#include "data/MeasurementInfo.h"

#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace kv58 {

class TRLData;

// What a data file holds besides its table, as the writer takes it.
struct DataFileContent {
    InstrumentInfo instrument;
    std::array<SensorInfo, 2> sensors; // channel 1 and 2; both sections are always written
    int runKind = 0;                   // MeasureMode; 1 to 3 write the mode key and line
    int interval = 0;                  // whole seconds of the interval field ("Sample Rate")
};

// The bytes of a data file for `content` and `table`, saved under `fileName` (the "Filename" key),
// with decimal separator `decimal` (every "." and "," of the cells becomes it) and field separator
// `separator`.
std::string dataFileText(const DataFileContent& content, const TRLData& table, const QString& fileName,
                         char decimal, char separator);

// Writes `bytes` to `path` so that the old file is replaced only once the new one is complete on
// disk: a temporary file in the same folder, flushed and renamed over the target. On failure the
// old file is untouched and the result is the reason ("Permission denied", ...).
std::optional<QString> writeFileAtomically(const QString& path, std::string_view bytes);

// What a data file gave besides its table.
struct DataFileLoad {
    InstrumentInfo instrument;                        // missing keys give empty fields
    std::array<std::optional<SensorInfo>, 2> sensors; // nullopt: the file has no section for the channel
    std::optional<int> runKind;                       // set when "Measurement Mode" names a run kind
    char decimal = ',';                               // as the file declares them
    char separator = ',';
};

struct DataFileError {
    QString message; // English, for the user: what is wrong
    int line = 0;    // 1-based line of the file it concerns, 0 when no line applies
    bool canceled = false;
};

struct DataFileOptions {
    // The kind the window has now; it decides the column count when the file names none.
    int currentRunKind = 0;
    // Texts of the first header field that mark the header line ("Date" and its translations).
    QStringList dateNames{QStringLiteral("Date")};
    // Called now and then with the fraction of the bytes read (0 to 1); returning false cancels.
    std::function<bool(double)> progress;
};

// Parses a whole data file. All or nothing: on success `table` (a fresh store) holds the table in
// the live table's form (number cells with "," as decimal separator), on failure `table` must be
// thrown away. LF-only and CR LF line ends are both accepted.
std::variant<DataFileLoad, DataFileError> loadDataFile(std::string_view bytes, TRLData& table,
                                                       const DataFileOptions& options);

// The whole content of the regular file `path`, or the reason it cannot be read.
std::variant<std::string, QString> readWholeFile(const QString& path);

// The list separator of the user's regional settings: ";" where the user's number format (LC_ALL,
// else LC_NUMERIC, else LANG) writes a decimal comma, otherwise ",".
char regionalListSeparator();

} // namespace kv58
