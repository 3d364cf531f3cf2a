// Things a test plants on a bus folder that would make a careless host wait for ever. Each one lets
// a waiting host go on by itself after a while, so that a host that does wait fails its test
// instead of hanging it.
#pragma once

#include <QByteArray>
#include <QString>
#include <atomic>
#include <thread>

namespace kv58::test {

// A socket file whose owner listens on it but never accepts, its queue of connections already
// full: connecting to it waits for room. Every `releaseAfterMs` one waiting connection is accepted
// (and closed), from a thread of its own.
class NonAcceptingSocket {
public:
    explicit NonAcceptingSocket(const QString& path, int releaseAfterMs = 3000);
    ~NonAcceptingSocket();
    NonAcceptingSocket(const NonAcceptingSocket&) = delete;
    NonAcceptingSocket& operator=(const NonAcceptingSocket&) = delete;
    bool isValid() const { return filler_ >= 0; }

private:
    int listener_ = -1;
    int filler_ = -1;
    std::atomic<bool> done_{false};
    std::thread guard_;
};

// A FIFO in place of a file: opening it for reading waits for a writer. Every `releaseAfterMs` a
// thread opens it for writing and closes it again.
class PlantedFifo {
public:
    explicit PlantedFifo(const QString& path, int releaseAfterMs = 3000);
    ~PlantedFifo();
    PlantedFifo(const PlantedFifo&) = delete;
    PlantedFifo& operator=(const PlantedFifo&) = delete;
    bool isValid() const { return valid_; }

private:
    QByteArray path_;
    bool valid_ = false;
    std::atomic<bool> done_{false};
    std::thread guard_;
};

} // namespace kv58::test
