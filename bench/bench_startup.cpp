// Start-up time: from the application object to the maximised frame shown and idle, with every
// single window created. Run offscreen: QT_QPA_PLATFORM=offscreen bench_startup [RUNS]
#include "app/TMainForm.h"
#include "app/startup.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTextStream>
#include <QWindow>

#include <sys/resource.h>

#include <algorithm>
#include <vector>

namespace {
double cpuMs()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return (double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1e3) +
           double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e3;
}

// Shows the frame and waits until it is exposed, maximised and has no event left to handle.
double showFrame(QElapsedTimer &clock)
{
    TMainForm *frame = startup::createWindows();
    frame->show();
    while (!frame->isMaximized() || !frame->windowHandle() || !frame->windowHandle()->isExposed())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    const double ms = double(clock.nsecsElapsed()) / 1e6;
    delete frame;
    QCoreApplication::processEvents();
    return ms;
}
} // namespace

int main(int argc, char *argv[])
{
    QElapsedTimer clock;
    clock.start();
    QApplication app(argc, argv);
    startup::prepareApplication(app);
    QWidget *splash = startup::showSplash();
    delete splash;
    const double cold = showFrame(clock);
    const double coldCpu = cpuMs();

    const int runs = argc > 1 ? std::max(1, QString::fromLocal8Bit(argv[1]).toInt()) : 20;
    std::vector<double> warm;
    for (int i = 0; i < runs; ++i) {
        clock.restart();
        warm.push_back(showFrame(clock));
    }
    std::sort(warm.begin(), warm.end());
    QTextStream(stdout) << "first start-up (application, translations, font, splash, windows): "
                        << QString::number(cold, 'f', 1) << " ms (processor time "
                        << QString::number(coldCpu, 'f', 1) << " ms)\n"
                        << "windows again, median of " << runs << ": "
                        << QString::number(warm[warm.size() / 2], 'f', 1) << " ms (min "
                        << QString::number(warm.front(), 'f', 1) << ")\n";
    return 0;
}
