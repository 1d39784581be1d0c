#include "app/shell/SessionSignals.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace vorlane {

namespace {

constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

// [0] is written by the handler, [1] read on the main thread.
int gPipe[2] = {-1, -1};

void onSignal(int signal)
{
    const int saved = errno;
    const unsigned char number = static_cast<unsigned char>(signal);
    // A full pipe already holds a request to end; losing this one changes nothing.
    [[maybe_unused]] const ssize_t written = ::write(gPipe[0], &number, 1);
    errno = saved;
}

} // namespace

TSessionSignals::TSessionSignals(QObject *parent)
    : QObject(parent)
{
    if (gPipe[0] >= 0 ||
        ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, gPipe) != 0)
        return;
    vNotifier = new QSocketNotifier(gPipe[1], QSocketNotifier::Read, this);
    connect(vNotifier, &QSocketNotifier::activated, this, &TSessionSignals::onReadable);
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int s : kSignals)
        ::sigaction(s, &action, nullptr);
}

TSessionSignals::~TSessionSignals()
{
    if (!vNotifier)
        return;
    for (const int s : kSignals)
        ::signal(s, SIG_DFL);
    delete vNotifier;
    vNotifier = nullptr;
    ::close(gPipe[0]);
    ::close(gPipe[1]);
    gPipe[0] = gPipe[1] = -1;
}

void TSessionSignals::onReadable()
{
    unsigned char number = 0;
    int last = 0;
    while (::read(gPipe[1], &number, 1) == 1)
        last = number;
    if (last != 0)
        Q_EMIT endRequested(last);
}

} // namespace vorlane
