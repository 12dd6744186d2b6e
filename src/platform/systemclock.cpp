#include "platform/systemclock.h"

namespace platform {
namespace {
QDateTime g_fake;
}

QDateTime SystemClock::now()
{
    return g_fake.isValid() ? g_fake : QDateTime::currentDateTime();
}

QDate SystemClock::today()
{
    return now().date();
}

void SystemClock::setFake(const QDateTime &localNow)
{
    g_fake = localNow;
}

void SystemClock::clearFake()
{
    g_fake = QDateTime();
}

} // namespace platform
