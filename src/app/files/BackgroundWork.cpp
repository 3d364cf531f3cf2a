#include "app/files/BackgroundWork.h"

#include "core/Translation.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QProgressDialog>
#include <QTimer>
#include <atomic>
#include <exception>
#include <thread>

namespace kv58 {
namespace {

constexpr int kPollMs = 15;
constexpr int kSteps = 1000;

} // namespace

bool BackgroundWork::run(QWidget* parent, const QString& label, int dialogDelayMs,
                         const std::function<void(const Progress&)>& work)
{
    std::atomic<bool> done{false};
    std::atomic<bool> cancelled{false};
    std::atomic<int> steps{0};
    std::exception_ptr error;
    // The loop waits on the worker; a short timer also looks at its state (for the dialog's
    // delay and progress). Nothing crosses threads but atomics and the wake-up call.
    QEventLoop loop;

    std::thread worker([&] {
        try {
            work([&](double share) {
                steps.store(static_cast<int>(share * kSteps), std::memory_order_relaxed);
                return !cancelled.load(std::memory_order_relaxed);
            });
        } catch (...) {
            error = std::current_exception();
        }
        done.store(true, std::memory_order_release);
        // Wakes the waiting loop at once rather than at its next look.
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });

    QTimer poll;
    poll.setInterval(kPollMs);
    QElapsedTimer elapsed;
    elapsed.start();
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done.load(std::memory_order_acquire) || elapsed.elapsed() >= dialogDelayMs)
            loop.quit();
    });
    poll.start();
    if (!done.load(std::memory_order_acquire) && dialogDelayMs > 0)
        loop.exec(QEventLoop::ExcludeUserInputEvents);

    if (!done.load(std::memory_order_acquire)) {
        QProgressDialog dialog(label, _("Cancel"), 0, kSteps, parent);
        dialog.setObjectName(QStringLiteral("ProgressDialog"));
        dialog.setWindowModality(Qt::ApplicationModal);
        dialog.setMinimumDuration(0);
        dialog.setAutoClose(false);
        dialog.setAutoReset(false);
        QObject::disconnect(&poll, nullptr, &loop, nullptr);
        QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
            if (dialog.wasCanceled())
                cancelled.store(true, std::memory_order_relaxed);
            else
                dialog.setValue(steps.load(std::memory_order_relaxed));
            if (done.load(std::memory_order_acquire))
                loop.quit();
        });
        dialog.show();
        while (!done.load(std::memory_order_acquire))
            loop.exec();
    }
    poll.stop();
    worker.join();
    if (error)
        std::rethrow_exception(error);
    return !cancelled.load(std::memory_order_relaxed);
}

} // namespace kv58
