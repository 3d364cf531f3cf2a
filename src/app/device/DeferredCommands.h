// `Timer1` and `Timer1Job`: a reply schedules a job, and the job's command goes out when the
// 200 ms one-shot timer fires. One job variable: a job scheduled while another is pending
// replaces it, and the timer keeps running from the first schedule.
#pragma once

#include "protocol/DeferredJobs.h"

#include <QObject>
#include <functional>

class QTimer;

namespace kv58 {

class DeferredCommands : public QObject {
    Q_OBJECT
public:
    using InputsProvider = std::function<DeferredJobInputs()>;
    using Sender = std::function<void(const QString&)>;

    // `timer` is the window's Timer1 (one-shot); `inputs` is asked when a job runs, so every
    // parameter is taken at the moment of sending.
    DeferredCommands(QTimer* timer, InputsProvider inputs, Sender send, QObject* parent = nullptr);

    void schedule(int job);
    int Timer1Job() const { return job_; }

signals:
    // A job sent its line; job 8 set the instrument's clock at `now`.
    void jobSent(int job, const kv58::DeferredJobInputs& inputs);

private:
    void Timer1Timer();

    QTimer* timer_;
    InputsProvider inputs_;
    Sender send_;
    int job_ = JobNone;
};

} // namespace kv58
