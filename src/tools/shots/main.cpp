// tevshots OUTDIR [SCENE...]: real-window screenshots of the program (run under Xvfb).
#include "shots.h"

#include "app/TMainForm.h"
#include "app/startup.h"
#include "platform/systemclock.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QScreen>
#include <QTextStream>

#include <map>

namespace shots {
namespace {
std::multimap<int, Scene> &registry()
{
    static std::multimap<int, Scene> r;
    return r;
}

void settle(int ms)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
}
} // namespace

bool add(int order, const Scene &scene)
{
    registry().emplace(order, scene);
    return true;
}

} // namespace shots

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QTextStream err(stderr);
    const QStringList args = app.arguments().mid(1);
    if (args.isEmpty()) {
        err << "usage: tevshots OUTDIR [SCENE...]\n";
        return 2;
    }
    const QString out = QDir(args[0]).absolutePath();
    QDir().mkpath(out);
    const QStringList only = args.mid(1);

    startup::prepareApplication(app);
    TMainForm *frame = startup::createWindows();
    frame->show();
    // Xvfb has no window manager to honour "maximised": give the frame the screen ourselves.
    if (QScreen *screen = frame->screen())
        frame->setGeometry(screen->availableGeometry());
    shots::settle(400);

    int failures = 0;
    for (const auto &[order, scene] : shots::registry()) {
        if (!only.isEmpty() && !only.contains(scene.name))
            continue;
        scene.show(frame);
        shots::settle(500);
        const QString file = out + QLatin1Char('/') + scene.name + QStringLiteral(".png");
        const int rc = QProcess::execute(QStringLiteral("import"),
                                         {QStringLiteral("-window"), QStringLiteral("root"), file});
        if (rc != 0) {
            err << "screenshot failed: " << file << "\n";
            ++failures;
        } else {
            QTextStream(stdout) << file << "\n";
        }
        if (scene.hide)
            scene.hide(frame);
        shots::settle(100);
    }
    delete frame;
    return failures == 0 ? 0 : 1;
}
