#include "app/TMainForm.h"
#include "app/singlewindows.h"
#include "app/startup.h"
#include "utilities/THorloge.h"

#include <QApplication>

#include <ctime>

// The only code that changes the computer's clock: handed to the clock utility here, so that no
// test or tool can reach it.
static bool setComputerClock(const QDateTime &utc)
{
    const qint64 ms = utc.toMSecsSinceEpoch();
    if (!utc.isValid() || ms < 0)
        return false;
    timespec ts{};
    ts.tv_sec = static_cast<time_t>(ms / 1000);
    ts.tv_nsec = static_cast<long>(ms % 1000) * 1000000L;
    return clock_settime(CLOCK_REALTIME, &ts) == 0;
}

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    startup::prepareApplication(app);
    QWidget *splash = startup::showSplash();
    TMainForm *frame = startup::createWindows();
    delete splash;
    frame->show();
    if (singles().Horloge)
        singles().Horloge->setClockSetter(&setComputerClock);
    const int rc = app.exec();
    delete frame;
    return rc;
}
