#pragma once
// Today's date and time for every window, with a fake for tests; and the type of the function
// that sets the computer's clock (the real one is handed in by main.cpp only).

#include <QDate>
#include <QDateTime>

#include <functional>

namespace platform {

class SystemClock {
public:
    static QDateTime now();   // local time
    static QDate today();
    static void setFake(const QDateTime &localNow); // tests: a fixed "now"
    static void clearFake();
};

// Sets the computer's clock to a UTC time; false when the system refuses.
using ClockSetter = std::function<bool(const QDateTime &utc)>;

} // namespace platform
