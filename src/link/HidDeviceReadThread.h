// The reader of one claimed device: a thread that waits for input reports in slices and hands each
// report, and each read error, to the user-interface thread, blocking until the handler has run.
#pragma once

#include "link/HidBackend.h"

#include <QPointer>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

class QObject;
class QSocketNotifier;

namespace kv58 {

// One input report (report ID first) or one read error, copied out of the reader's buffer.
struct HidHandOver {
    bool isError = false;
    std::uint32_t error = 0;
    std::vector<std::uint8_t> report;
};

class THidDeviceReadThread {
public:
    // Runs on the user-interface thread for every hand-over.
    using Deliver = std::function<void(const HidHandOver&)>;

    struct Settings {
        int inputReportLength = 64;
        int threadSleepTime = 100; // ms: the wait slice, and the pause after a read error
        int pollingDelayTime = 0;  // ms: pause after each delivered report
    };

    // Starts reading at once. `handle` belongs to the caller and must outlive the thread; without a
    // handle every slice reports `openError`. `context` lives on the user-interface thread.
    THidDeviceReadThread(HidHandle* handle, int openError, Settings settings, QObject* context,
                         Deliver deliver);
    ~THidDeviceReadThread();
    THidDeviceReadThread(const THidDeviceReadThread&) = delete;
    THidDeviceReadThread& operator=(const THidDeviceReadThread&) = delete;

    // User-interface thread: tells the thread to end and waits for it, running the hand-overs it
    // still makes meanwhile. A stop requested from inside a handler of this reader does not wait
    // for that handler. Idempotent.
    void stop();
    // The device has gone: stop touching the handle and report an error every slice instead.
    void markDeviceGone();
    // A hand-over is waiting to be run (for diagnostics and tests).
    bool isHandOverPending() const;

private:
    struct Shared {
        mutable std::mutex mutex;
        std::condition_variable changed;
        std::optional<HidHandOver> pending;
        bool inService = false;
        bool served = false;
        bool stopRequested = false;
        bool deviceGone = false;
        bool finished = false;
    };

    void run(HidHandle* handle, int openError, Settings settings);
    bool handOver(HidHandOver item);
    bool pause(int ms);
    static void serveOne(Shared& shared, const Deliver& deliver);

    std::shared_ptr<Shared> shared_;
    Deliver deliver_;
    int wakeFd_ = -1;
    QPointer<QSocketNotifier> notifier_;
    std::thread thread_;
    bool stopping_ = false;
};

} // namespace kv58
