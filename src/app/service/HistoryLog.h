// The history log on the service tab "Transfer": every received line, every failed send and every
// link error, one entry per line, in a fixed-pitch font, scrolled to the newest entry.
#pragma once

#include <QListWidget>

namespace kv58 {

class HistoryLog : public QListWidget {
    Q_OBJECT
public:
    explicit HistoryLog(QWidget* parent = nullptr);

    // Appends one line, widens the horizontal extent when the line needs it (it never shrinks)
    // and scrolls to the line without leaving it selected.
    void AddToHistory(const QString& line);
    // Empties the log and restarts the horizontal extent at 0.
    void clearLog();

    int horizontalExtent() const { return extent_; }
    QStringList lines() const;

private:
    int extent_ = 0;
};

} // namespace kv58
