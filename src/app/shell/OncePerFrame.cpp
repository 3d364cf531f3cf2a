#include "app/shell/OncePerFrame.h"

#include <QTimer>

namespace kv58 {

OncePerFrame::OncePerFrame(std::function<void()> action, QObject* parent)
    : QObject(parent), action_(std::move(action)), timer_(new QTimer(this))
{
    timer_->setSingleShot(true);
    timer_->setInterval(kFrameMs);
    connect(timer_, &QTimer::timeout, this, [this] { action_(); });
}

void OncePerFrame::request()
{
    if (!timer_->isActive())
        timer_->start();
}

bool OncePerFrame::pending() const
{
    return timer_->isActive();
}

void OncePerFrame::cancel()
{
    timer_->stop();
}

void OncePerFrame::runNow()
{
    if (!timer_->isActive())
        return;
    timer_->stop();
    action_();
}

} // namespace kv58
