#pragma once
// Helpers for the tests that run the program on a real X display under a window manager:
// keystrokes and clicks go through the X server (xdotool), so the window manager decides which
// window receives them and when windows are activated, as on a user's desktop.
//
// scripts/desktop-tests starts a private display with a window manager and names it in
// TEV_DESKTOP_DISPLAY; without it the tests are skipped, so a plain ctest run never types into
// whatever desktop it was started from.

#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QProcess>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include <cstdio>
#include <functional>

namespace desktest {

// Generous: a loaded machine may take seconds to map, activate and paint a window.
constexpr int kWait = 30000;
constexpr int kSkipped = 77; // ctest's SKIP_RETURN_CODE for these tests

inline bool xdo(const QStringList &args)
{
    QProcess p;
    p.start(QStringLiteral("xdotool"), args);
    if (!p.waitForFinished(kWait) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        qWarning("xdotool %s failed: %s", qPrintable(args.join(QLatin1Char(' '))),
                 p.readAllStandardError().constData());
        return false;
    }
    return true;
}

// A key or chord in xdotool's names ("ctrl+o", "alt+f", "Escape").
inline bool key(const QString &keys)
{
    return xdo({QStringLiteral("key"), keys});
}

inline bool type(const QString &text)
{
    return xdo({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("15"), text});
}

// Where the real pointer is (an invalid point when xdotool cannot tell).
inline QPoint pointer()
{
    QProcess p;
    p.start(QStringLiteral("xdotool"), {QStringLiteral("getmouselocation"), QStringLiteral("--shell")});
    if (!p.waitForFinished(kWait))
        return {-1, -1};
    QPoint at(-1, -1);
    for (const QByteArray &line : p.readAllStandardOutput().split('\n')) {
        if (line.startsWith("X="))
            at.setX(line.mid(2).toInt());
        else if (line.startsWith("Y="))
            at.setY(line.mid(2).toInt());
    }
    return at;
}

// Moves the real pointer to a point of a widget. "--sync" waits for the pointer to move, which
// it never does when it is there already.
inline bool moveTo(const QWidget *w, const QPoint &at)
{
    const QPoint g = w->mapToGlobal(at);
    if (pointer() == g)
        return true;
    return xdo({QStringLiteral("mousemove"), QStringLiteral("--sync"), QString::number(g.x()),
                QString::number(g.y())});
}

// A left click at a point of a widget, with the real pointer.
inline bool click(const QWidget *w, const QPoint &at)
{
    return moveTo(w, at) && xdo({QStringLiteral("click"), QStringLiteral("1")});
}

// A click on a tab; true once its page is the one shown.
inline bool clickTab(QTabWidget *pages, int index)
{
    return pages && click(pages->tabBar(), pages->tabBar()->tabRect(index).center())
           && QTest::qWaitFor([pages, index] { return pages->currentIndex() == index; }, kWait);
}

inline bool click(const QWidget *w)
{
    return click(w, w->rect().center());
}

// Runs `act` on the next modal window once the window manager has made it the active window
// (keystrokes reach it only then). A modal window runs its own event loop, so what the user does
// in it has to start from inside that loop. A dialog still open long after `act` is rejected, so
// that a failing step ends the test instead of hanging it.
inline void onNextModal(const std::function<void(QWidget *)> &act, int pollsLeft = kWait / 20)
{
    QTimer::singleShot(20, qApp, [act, pollsLeft] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || !modal->isActiveWindow()) {
            if (pollsLeft > 0)
                onNextModal(act, pollsLeft - 1);
            else
                qWarning("no modal window became active");
            return;
        }
        act(modal);
        if (auto *dialog = qobject_cast<QDialog *>(modal)) {
            QPointer<QDialog> guard(dialog);
            QTimer::singleShot(kWait, qApp, [guard] {
                if (guard && guard->isVisible()) {
                    qWarning("%s was left open", guard->metaObject()->className());
                    guard->reject();
                }
            });
        }
    });
}

// Used instead of QTEST_MAIN: skips without a private display, and keeps the application alive
// when a test closes the main window.
template <class Test> int run(int argc, char **argv)
{
    const QByteArray display = qgetenv("TEV_DESKTOP_DISPLAY");
    if (display.isEmpty()) {
        std::puts("skipped: needs a display with a window manager (scripts/desktop-tests)");
        return kSkipped;
    }
    qputenv("DISPLAY", display);
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    Test test;
    return QTest::qExec(&test, argc, argv);
}

} // namespace desktest
