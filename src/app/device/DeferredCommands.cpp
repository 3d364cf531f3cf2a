#include "app/device/DeferredCommands.h"

#include <QTimer>

namespace kv58 {

DeferredCommands::DeferredCommands(QTimer* timer, InputsProvider inputs, Sender send, QObject* parent)
    : QObject(parent), timer_(timer), inputs_(std::move(inputs)), send_(std::move(send))
{
    connect(timer_, &QTimer::timeout, this, &DeferredCommands::Timer1Timer);
}

void DeferredCommands::schedule(int job)
{
    job_ = job;
    if (!timer_->isActive())
        timer_->start();
}

void DeferredCommands::Timer1Timer()
{
    const int job = job_;
    job_ = JobNone;
    timer_->stop();
    const DeferredJobInputs inputs = inputs_();
    const QString line = deferredJobCommand(job, inputs);
    if (line.isEmpty())
        return;
    send_(line);
    emit jobSent(job, inputs);
}

} // namespace kv58
