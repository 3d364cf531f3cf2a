// The file commands of the window: "Open", "Save", "Save as...", File > Open Recent, files dropped on
// the window or named on the command line, and "Copy" of the table to the clipboard. They keep the
// current data file of the measurement and ask for the window title that shows it.
#pragma once

#include <QObject>
#include <QString>
#include <functional>

class QWidget;

namespace kv58 {

class GraphPage;
class LiveMeasurement;
class Measurement;
class RecentFiles;
class TablePage;
class TRLData;
struct DataFileLoad;
struct Settings;

struct FileCommandsContext {
    Measurement& measurement;
    LiveMeasurement& live; // draws a loaded table on the chart
    TablePage& table;
    GraphPage& graph; // the Y range a loaded table is drawn with
    RecentFiles& recent;
    QWidget& window;               // parent of the dialogs
    std::function<int()> interval; // the interval field, saved as the sample rate
    std::function<const Settings&()> settings;
};

class FileCommands : public QObject {
    Q_OBJECT
public:
    // How long reading a file may take before a progress dialog with "Cancel" shows.
    static constexpr int kProgressDelayMs = 500;

    FileCommands(FileCommandsContext context, QObject* parent = nullptr);

    // `KV58_CSV_OpenClick`: asks for a file and opens it.
    void KV58_CSV_OpenClick();
    // `Save_KV58Click`: saves to the current data file, or asks for a name when there is none.
    void Save_KV58Click();
    // `KV58_CSV_SaveClick`: asks for a name (and before overwriting a file) and saves.
    void KV58_CSV_SaveClick();
    // `CopyToClipClick`: the table as tab-separated text on the clipboard.
    void CopyToClipClick();

    // Opens a data file (".csv") or an XML table (".xml"); other files are left alone. Returns
    // whether the file was opened.
    bool openFile(const QString& path);
    // A recent file that was picked: opened, or taken off the list with a note when it is gone.
    void openRecent(const QString& path);
    // Whether a file of this name can be opened (for files dragged over the window).
    static bool isOpenable(const QString& path);
    // Saves to `path` without asking; false (after telling the user) when it failed.
    bool saveTo(const QString& path);

    void setProgressDelay(int ms) { progressDelayMs_ = ms; }

signals:
    void titleChanged(const QString& title);
    void graphPageWanted();
    // Around the reading of a data file: lines from the instrument wait meanwhile.
    void loadStarted();
    void loadFinished();

private:
    bool openDataFile(const QString& path);
    void apply(const DataFileLoad& load, TRLData& table, const QString& path);
    void openXmlTable(const QString& path);
    QString startFolder() const;
    void reportError(const QString& path, const QString& reason, int line = 0) const;

    FileCommandsContext c_;
    int progressDelayMs_ = kProgressDelayMs;
};

} // namespace kv58
