// The history log on the service tab "Transfer": every received line, every failed send and every
// link error, one entry per line, in a fixed-pitch font, scrolled to the newest entry. A run of a
// million lines keeps each append as cheap as the first: the lines live in an append-only model
// shown by a grid view with rows of one height.
#pragma once

#include <QTableView>

namespace kv58 {

class HistoryModel;
class OncePerFrame;

class HistoryLog : public QTableView {
    Q_OBJECT
public:
    explicit HistoryLog(QWidget* parent = nullptr);

    // Appends one line, widens the horizontal extent when the line needs it (it never shrinks)
    // and scrolls to the line.
    void AddToHistory(const QString& line);
    // Empties the log and restarts the horizontal extent at 0.
    void clearLog();

    int horizontalExtent() const { return extent_; }
    int count() const;
    QStringList lines() const;

private:
    HistoryModel* lines_ = nullptr;
    OncePerFrame* scroll_ = nullptr; // to the newest line, once per frame
    int extent_ = 0;
};

} // namespace kv58
