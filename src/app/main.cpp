#include "app/TMainForm.h"
#include "app/appservice.h"
#include "app/autosave.h"
#include "app/commandline.h"
#include "app/singlewindows.h"
#include "app/startup.h"
#include "ui/utilities/THorloge.h"

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
    // --help and --version answer without a display.
    const commandline::Request early = commandline::parse(commandline::rawArguments(argc, argv));
    if (early.action == commandline::Request::Help || early.action == commandline::Request::Version)
        return commandline::answer(early);
    QApplication app(argc, argv);
    // Qt has taken its own options (-platform...) out by now.
    const commandline::Request request = commandline::parse(app.arguments().mid(1));
    if (request.action != commandline::Request::Run)
        return commandline::answer(request);
    // A program already running takes the files: this one ends before it shows anything.
    AppService service;
    if (service.start(request.files, request.newInstance) == AppService::Start::HandedOver)
        return 0;
    startup::prepareApplication(app);
    QWidget *splash = startup::showSplash();
    TMainForm *frame = startup::createWindows();
    delete splash;
    frame->show();
    service.setFrame(frame);
    if (singles().Horloge)
        singles().Horloge->setClockSetter(&setComputerClock);
    // Unsaved work survives a crash; what a stopped program left is offered first.
    AutoSave recovery(frame);
    recovery.endOnSignals();
    if (!commandline::startReportAsked())
        recovery.offerAtStart();
    commandline::openAtStart(frame, request.files);
    const int rc = app.exec();
    delete frame;
    return rc;
}
