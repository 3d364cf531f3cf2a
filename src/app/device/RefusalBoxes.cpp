#include "app/device/RefusalBoxes.h"

#include "core/Translation.h"

#include <QMessageBox>
#include <QTimer>
#include <QWidget>
#include <algorithm>

namespace kv58 {

RefusalBoxes::RefusalBoxes(QWidget& parent, std::function<void(NackRow)> closed, QObject* owner)
    : QObject(owner), parent_(parent), closed_(std::move(closed))
{
}

void RefusalBoxes::refuse(NackRow row)
{
    if (shown_ == row || std::find(waiting_.begin(), waiting_.end(), row) != waiting_.end())
        return;
    waiting_.push_back(row);
    schedule();
}

void RefusalBoxes::schedule()
{
    if (shown_ || scheduled_ || waiting_.empty())
        return;
    scheduled_ = true;
    QTimer::singleShot(0, this, [this] {
        scheduled_ = false;
        showNext();
    });
}

void RefusalBoxes::showNext()
{
    if (shown_ || waiting_.empty())
        return;
    const NackRow row = waiting_.front();
    waiting_.pop_front();
    shown_ = row;
    const NackMessage message = nackMessage(row);
    // Lines that arrive while the box is open are decoded meanwhile; their refusals queue here.
    QMessageBox::information(&parent_, parent_.windowTitle(),
                             _(message.first) + QChar(13) + _(message.second));
    shown_.reset();
    closed_(row);
    schedule();
}

} // namespace kv58
