#include "support/Waiting.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QThread>

namespace kv58::test {

namespace {

constexpr int kSliceMs = 2;

void processPending()
{
    if (QCoreApplication::instance() != nullptr) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

} // namespace

bool waitUntil(const std::function<bool()>& condition, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        processPending();
        if (condition()) {
            return true;
        }
        if (deadline.hasExpired()) {
            return condition();
        }
        QThread::msleep(kSliceMs);
    }
}

void processEventsFor(int ms)
{
    const QDeadlineTimer deadline(ms);
    do {
        processPending();
        QThread::msleep(kSliceMs);
    } while (!deadline.hasExpired());
}

} // namespace kv58::test
