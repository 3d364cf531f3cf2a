#include "app/shell/ShutdownSignals.h"

#include <QSocketNotifier>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace kv58 {
namespace {

// The handler may only do async-signal-safe work: it writes the signal number into a socket
// pair whose other end the event loop watches (the self-pipe pattern). A signal handler reaches
// nothing but globals, so the pair is one.
int g_signalFds[2] = {-1, -1}; // NOLINT(cppcoreguidelines-avoid-non-const-global-variables): see above

extern "C" void onShutdownSignal(int signalNumber)
{
    const auto byte = static_cast<unsigned char>(signalNumber);
    [[maybe_unused]] const auto written = ::write(g_signalFds[0], &byte, 1);
}

} // namespace

ShutdownSignals::ShutdownSignals(QObject* parent) : QObject(parent)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_signalFds) != 0)
        return;
    notifier_ = new QSocketNotifier(g_signalFds[1], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &ShutdownSignals::readSignal);

    struct sigaction action = {};
    action.sa_handler = onShutdownSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
}

ShutdownSignals::~ShutdownSignals()
{
    ::signal(SIGINT, SIG_DFL);
    ::signal(SIGTERM, SIG_DFL);
    delete notifier_;
    for (int& fd : g_signalFds) {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
}

void ShutdownSignals::readSignal()
{
    unsigned char byte = 0;
    if (::read(g_signalFds[1], &byte, 1) == 1)
        emit shutdownRequested(byte);
}

} // namespace kv58
