#pragma once
// SIGTERM and SIGHUP (shutdown, logout, kill): the handler only writes a byte into a socket,
// which is all a signal handler may safely do; the program reacts on its own thread, when the
// socket becomes readable.

#include <functional>

class QObject;

namespace endsignals {

// From now on, SIGTERM and SIGHUP call `react` on the thread of `context`, once each time;
// `context` owns what listens. One program installs this once.
void install(QObject *context, std::function<void()> react);

} // namespace endsignals
