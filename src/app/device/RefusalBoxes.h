// The message boxes that tell the user an instrument refused a command. At most one is open at a
// time: a refusal of the kind already shown or waiting is not shown again, another kind waits for
// the open box. A flood of refusals (a loose sensor cable) thus costs one box, not one nested box
// per line.
#pragma once

#include "protocol/Messages.h"

#include <QObject>
#include <deque>
#include <functional>
#include <optional>

class QWidget;

namespace kv58 {

class RefusalBoxes : public QObject {
    Q_OBJECT
public:
    // `closed` runs after the box of a refusal has been closed by the user.
    RefusalBoxes(QWidget& parent, std::function<void(NackRow)> closed, QObject* owner = nullptr);

    // Shows the refusal from the event loop, so the reader that delivered it is not held.
    void refuse(NackRow row);

    // The refusal whose box is open, if any, and how many wait.
    std::optional<NackRow> shown() const { return shown_; }
    int waiting() const { return static_cast<int>(waiting_.size()); }

private:
    void schedule();
    void showNext();

    QWidget& parent_;
    std::function<void(NackRow)> closed_;
    std::optional<NackRow> shown_;
    std::deque<NackRow> waiting_;
    bool scheduled_ = false;
};

} // namespace kv58
