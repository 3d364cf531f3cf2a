// The history log on the service tab "Transfer": every received line, every failed send and every
// link error, one entry per line, in a fixed-pitch font, scrolled to the newest entry.
//
// A flood of lines costs little and the log stays complete however long it gets: the lines are kept
// as UTF-8 in one growing store, the view shows them as rows of one height and lays out only the
// rows in sight, and lines that arrive within one frame reach the view together at its end. A
// line is measured for the horizontal extent only when it might be wider than the widest so far.
//
// The log can be saved as a text file: UTF-8, one entry per line, every line ended by CR LF (as the
// program's data files are), so that it reads alike on Windows and Linux.
#pragma once

#include <QTableView>
#include <memory>
#include <optional>

namespace kv58 {

class HistoryLines;
class HistoryModel;
class OncePerFrame;

class HistoryLog : public QTableView {
    Q_OBJECT
public:
    explicit HistoryLog(QWidget* parent = nullptr);
    ~HistoryLog() override;

    // Appends one line, widens the horizontal extent when the line needs it (it never shrinks)
    // and scrolls to the line, at the latest at the end of the frame.
    void AddToHistory(const QString& line);
    // Empties the log and restarts the horizontal extent at 0.
    void clearLog();

    int horizontalExtent() const { return extent_; }
    // Every line of the log, also those the view does not show yet.
    int count() const;
    QString line(int row) const;
    QStringList lines() const;

    // Writes the whole log to `path`, replacing the file only when it is complete. On failure the
    // reason, and a file that was there stays as it was.
    std::optional<QString> saveTo(const QString& path) const;
    // Asks for a file and saves the log to it; a failure is shown in a message box.
    void saveWithDialog();

protected:
    void changeEvent(QEvent* event) override;

private:
    void showNewLines();

    std::unique_ptr<HistoryLines> store_;
    HistoryModel* model_ = nullptr;
    OncePerFrame* frame_ = nullptr; // shows the lines of a frame and scrolls to the newest
    int extent_ = 0;
    bool fixedPitch_ = false;
    qsizetype widestAscii_ = 0; // characters of the longest printable ASCII line measured
    QString saveFolder_;
};

} // namespace kv58
