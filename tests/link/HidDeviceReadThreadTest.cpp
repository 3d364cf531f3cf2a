#include "link/HidDeviceReadThread.h"

#include "LinkTestSupport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QObject>
#include <QThread>
#include <cerrno>
#include <condition_variable>
#include <deque>
#include <gtest/gtest.h>
#include <mutex>

using namespace kv58;
using namespace kv58::test;

namespace {

// A handle fed by the test: reports queue up, a fault makes every read fail.
class FakeHandle final : public HidHandle {
public:
    int write(const std::uint8_t*, std::size_t size, int&) override { return static_cast<int>(size); }

    int read(std::uint8_t* buffer, std::size_t size, int timeoutMs, int& error) override
    {
        std::unique_lock lock(mutex_);
        ++reads_;
        changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                          [this] { return !queue_.empty() || fault_; });
        if (fault_) {
            error = fault_;
            return -1;
        }
        if (queue_.empty())
            return 0;
        const std::vector<std::uint8_t> report = std::move(queue_.front());
        queue_.pop_front();
        const std::size_t n = std::min(size, report.size());
        std::copy_n(report.begin(), n, buffer);
        return static_cast<int>(n);
    }

    void push(std::vector<std::uint8_t> report)
    {
        {
            std::lock_guard lock(mutex_);
            queue_.push_back(std::move(report));
        }
        changed_.notify_all();
    }
    void fail(int error)
    {
        {
            std::lock_guard lock(mutex_);
            fault_ = error;
        }
        changed_.notify_all();
    }
    int reads() const
    {
        std::lock_guard lock(mutex_);
        return reads_;
    }

private:
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::vector<std::uint8_t>> queue_;
    int fault_ = 0;
    int reads_ = 0;
};

std::vector<std::uint8_t> report(std::uint8_t tag)
{
    std::vector<std::uint8_t> r(64, 0);
    r[0] = 0x3F;
    r[1] = tag;
    return r;
}

THidDeviceReadThread::Settings slices(int ms)
{
    THidDeviceReadThread::Settings s;
    s.inputReportLength = 64;
    s.threadSleepTime = ms;
    return s;
}

// Waits without running the event loop, so a hand-over stays pending.
bool pollWithoutEvents(const std::function<bool()>& done, int timeoutMs = 5000)
{
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < timeoutMs)
        QThread::msleep(1);
    return done();
}

} // namespace

TEST(ReadThread, HandsReportsOverInOrderOnTheUserInterfaceThreadAndWaitsMeanwhile)
{
    FakeHandle handle;
    QObject context;
    std::vector<std::uint8_t> tags;
    bool otherThread = false;
    bool readWhileHandling = false;
    THidDeviceReadThread reader(&handle, 0, slices(20), &context, [&](const HidHandOver& item) {
        otherThread = otherThread || QThread::currentThread() != QCoreApplication::instance()->thread();
        const int before = handle.reads();
        QThread::msleep(2);
        readWhileHandling = readWhileHandling || handle.reads() != before;
        tags.push_back(item.report.at(1));
    });
    for (std::uint8_t t = 0; t < 40; ++t)
        handle.push(report(t));
    ASSERT_TRUE(waitUntil([&] { return tags.size() == 40; }));
    for (std::uint8_t t = 0; t < 40; ++t)
        EXPECT_EQ(tags[t], t);
    EXPECT_FALSE(otherThread);
    EXPECT_FALSE(readWhileHandling);
}

TEST(ReadThread, AFailingReadIsReportedOncePerSlice)
{
    FakeHandle handle;
    QObject context;
    std::vector<std::uint32_t> errors;
    THidDeviceReadThread reader(&handle, 0, slices(20), &context, [&](const HidHandOver& item) {
        ASSERT_TRUE(item.isError);
        errors.push_back(item.error);
    });
    handle.fail(EIO);
    QElapsedTimer timer;
    timer.start();
    ASSERT_TRUE(waitUntil([&] { return errors.size() >= 3; }));
    processEventsFor(100);
    reader.stop();
    const auto slicesPassed = timer.elapsed() / 20;
    EXPECT_LE(static_cast<qint64>(errors.size()), slicesPassed + 2);
    EXPECT_EQ(errors.front(), static_cast<std::uint32_t>(EIO));
}

TEST(ReadThread, WithoutAHandleOrAfterTheDeviceWentEverySliceReportsWhy)
{
    QObject context;
    std::vector<std::uint32_t> errors;
    auto collect = [&](const HidHandOver& item) {
        if (item.isError)
            errors.push_back(item.error);
    };
    {
        THidDeviceReadThread reader(nullptr, EACCES, slices(10), &context, collect);
        ASSERT_TRUE(waitUntil([&] { return errors.size() >= 2; }));
    }
    EXPECT_EQ(errors.front(), static_cast<std::uint32_t>(EACCES));

    errors.clear();
    FakeHandle handle;
    handle.push(report(1));
    THidDeviceReadThread reader(&handle, 0, slices(10), &context, collect);
    reader.markDeviceGone();
    ASSERT_TRUE(waitUntil([&] { return errors.size() >= 2; }));
    for (const std::uint32_t e : errors)
        EXPECT_EQ(e, static_cast<std::uint32_t>(ENODEV));
}

TEST(ReadThread, StopRunsTheHandOverThatWaitsInsteadOfDeadlocking)
{
    FakeHandle handle;
    QObject context;
    int delivered = 0;
    THidDeviceReadThread reader(&handle, 0, slices(20), &context, [&](const HidHandOver&) { ++delivered; });
    handle.push(report(7));
    ASSERT_TRUE(pollWithoutEvents([&] { return reader.isHandOverPending(); }));
    reader.stop();
    EXPECT_EQ(delivered, 1);
    EXPECT_FALSE(reader.isHandOverPending());
    processEventsFor(20); // the doorbell that rang meanwhile finds nothing left
    EXPECT_EQ(delivered, 1);
}

TEST(ReadThread, StopFromInsideItsOwnHandlerReturns)
{
    FakeHandle handle;
    QObject context;
    std::unique_ptr<THidDeviceReadThread> reader;
    int delivered = 0;
    reader =
        std::make_unique<THidDeviceReadThread>(&handle, 0, slices(20), &context, [&](const HidHandOver&) {
            ++delivered;
            reader->stop();
        });
    handle.push(report(1));
    handle.push(report(2));
    ASSERT_TRUE(waitUntil([&] { return delivered >= 1; }));
    processEventsFor(60);
    EXPECT_EQ(delivered, 1);
    reader.reset();
}

TEST(ReadThread, StopIsNoticedWithinOneSlice)
{
    FakeHandle handle;
    QObject context;
    THidDeviceReadThread reader(&handle, 0, slices(100), &context, {});
    ASSERT_TRUE(pollWithoutEvents([&] { return handle.reads() >= 1; }));
    QElapsedTimer timer;
    timer.start();
    reader.stop();
    EXPECT_LT(timer.elapsed(), 100 + 150);
}
