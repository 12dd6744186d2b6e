#include "app/endsignals.h"

#include <QObject>
#include <QSocketNotifier>

#include <cerrno>
#include <csignal>

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace endsignals {

namespace {

int g_sockets[2] = {-1, -1};

extern "C" void onSignal(int)
{
    const int saved = errno;
    const char byte = 1;
    // A full socket already has a byte waiting: nothing is lost by dropping this one.
    [[maybe_unused]] const ssize_t written = ::write(g_sockets[0], &byte, 1);
    errno = saved;
}

} // namespace

void install(QObject *context, std::function<void()> react)
{
    if (g_sockets[0] < 0 && ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_sockets) != 0)
        return;
    ::fcntl(g_sockets[0], F_SETFL, ::fcntl(g_sockets[0], F_GETFL) | O_NONBLOCK);
    ::fcntl(g_sockets[1], F_SETFL, ::fcntl(g_sockets[1], F_GETFL) | O_NONBLOCK);

    auto *notifier = new QSocketNotifier(g_sockets[1], QSocketNotifier::Read, context);
    QObject::connect(notifier, &QSocketNotifier::activated, context, [react = std::move(react)] {
        char bytes[16];
        while (::read(g_sockets[1], bytes, sizeof bytes) > 0) {
        }
        react();
    });

    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGHUP, &action, nullptr);
}

} // namespace endsignals
