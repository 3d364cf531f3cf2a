#include "support/BusHazards.h"

#include <QFile>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace kv58::test {

namespace {

// Sleeps up to `ms` in short steps; true when `done` was set meanwhile.
bool sleepUnless(const std::atomic<bool>& done, int ms)
{
    for (int waited = 0; waited < ms && !done; waited += 10)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return done;
}

} // namespace

NonAcceptingSocket::NonAcceptingSocket(const QString& path, int releaseAfterMs)
{
    const QByteArray file = QFile::encodeName(path);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (static_cast<std::size_t>(file.size()) >= sizeof address.sun_path)
        return;
    std::memcpy(address.sun_path, file.constData(), static_cast<std::size_t>(file.size()));
    listener_ = ::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0);
    // A backlog of 0 holds one connection; the filler takes that place.
    if (listener_ < 0 ||
        ::bind(listener_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listener_, 0) != 0)
        return;
    const int filler = ::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (filler < 0 || ::connect(filler, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        if (filler >= 0)
            ::close(filler);
        return;
    }
    filler_ = filler;
    guard_ = std::thread([this, releaseAfterMs] {
        while (!sleepUnless(done_, releaseAfterMs)) {
            const int taken = ::accept4(listener_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
            if (taken >= 0)
                ::close(taken);
        }
    });
}

NonAcceptingSocket::~NonAcceptingSocket()
{
    done_ = true;
    if (guard_.joinable())
        guard_.join();
    for (const int fd : {filler_, listener_})
        if (fd >= 0)
            ::close(fd);
}

PlantedFifo::PlantedFifo(const QString& path, int releaseAfterMs) : path_(QFile::encodeName(path))
{
    valid_ = ::mkfifo(path_.constData(), 0600) == 0;
    if (!valid_)
        return;
    guard_ = std::thread([this, releaseAfterMs] {
        while (!sleepUnless(done_, releaseAfterMs)) {
            // Succeeds only while somebody waits to read.
            const int fd = ::open(path_.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
            if (fd >= 0)
                ::close(fd);
        }
    });
}

PlantedFifo::~PlantedFifo()
{
    done_ = true;
    if (guard_.joinable())
        guard_.join();
}

} // namespace kv58::test
