#include "shutdownSignals.h"

#include <QSocketNotifier>

#include <cerrno>

#ifdef Q_OS_UNIX
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace orvane {
namespace app {

namespace {
int g_writeEnd = -1;

#ifdef Q_OS_UNIX
extern "C" void onShutdownSignal(int signalNumber)
{
    int const saved = errno;
    char const byte = char(signalNumber);
    if (g_writeEnd >= 0 && ::write(g_writeEnd, &byte, 1) < 0) {
        // nothing can be done inside a signal handler; the pipe being full means one is pending
    }
    errno = saved;
}
#endif
} // namespace

class shutdownSignals_t::private_t
{
public:
    int fds[2] = {-1, -1};
    QSocketNotifier* notifier = nullptr;   // child of the owner
#ifdef Q_OS_UNIX
    struct sigaction previousTerm {};
    struct sigaction previousInt {};
#endif
};

shutdownSignals_t::shutdownSignals_t(QObject* parent) : QObject(parent), d(new private_t)
{
#ifdef Q_OS_UNIX
    // one owner at a time: the handler has a single place to write to
    if (g_writeEnd >= 0 || ::socketpair(AF_UNIX, SOCK_STREAM, 0, d->fds) != 0)
        return;
    for (int fd : d->fds)
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    g_writeEnd = d->fds[0];
    d->notifier = new QSocketNotifier(d->fds[1], QSocketNotifier::Read, this);
    connect(d->notifier, &QSocketNotifier::activated, this, [this] {
        char byte = 0;
        while (::read(d->fds[1], &byte, 1) == 1)
            emit shutdownRequested(int(byte));
    });
    struct sigaction action {};
    action.sa_handler = onShutdownSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &action, &d->previousTerm);
    ::sigaction(SIGINT, &action, &d->previousInt);
#endif
}

shutdownSignals_t::~shutdownSignals_t()
{
#ifdef Q_OS_UNIX
    if (d->notifier) {
        ::sigaction(SIGTERM, &d->previousTerm, nullptr);
        ::sigaction(SIGINT, &d->previousInt, nullptr);
        g_writeEnd = -1;
        ::close(d->fds[0]);
        ::close(d->fds[1]);
    }
#endif
    delete d;
}

bool shutdownSignals_t::isActive() const { return d->notifier != nullptr; }

} // namespace app
} // namespace orvane
