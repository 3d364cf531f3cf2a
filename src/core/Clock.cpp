#include "core/Clock.h"

#include <QDateTime>
#include <QElapsedTimer>

namespace kv58 {

TDateTime localNow()
{
    const QDateTime now = QDateTime::currentDateTime();
    const QDate d = now.date();
    const QTime t = now.time();
    return *encodeDate(d.year(), d.month(), d.day()) +
           *encodeTime(t.hour(), t.minute(), t.second(), t.msec());
}

namespace {
class SystemClock final : public Clock {
public:
    SystemClock() { timer_.start(); }
    TDateTime now() const override { return localNow(); }
    std::int64_t monotonicMs() const override { return timer_.elapsed(); }

private:
    QElapsedTimer timer_;
};
} // namespace

Clock& systemClock()
{
    static SystemClock clock;
    return clock;
}

} // namespace kv58
