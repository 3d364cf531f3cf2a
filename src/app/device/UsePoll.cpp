#include "app/device/UsePoll.h"

#include <QTimer>

namespace kv58 {

UsePoll::UsePoll(int intervalMs, std::function<void()> poll, QObject* parent)
    : QObject(parent), UseTimer(new QTimer(this))
{
    UseTimer->setInterval(intervalMs);
    connect(UseTimer, &QTimer::timeout, this, [poll = std::move(poll)] { poll(); });
}

void UsePoll::start()
{
    UseTimer->start();
}

void UsePoll::stop()
{
    UseTimer->stop();
}

bool UsePoll::isActive() const
{
    return UseTimer->isActive();
}

} // namespace kv58
