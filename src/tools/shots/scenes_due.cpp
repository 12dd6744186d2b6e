// What is due on the example vehicle file (run from samples/), on a fixed day so that the
// reminders and the pictures do not change: the bar the document opens with, and the lines on
// the page "Garage".
#include "shots.h"

#include "app/TMainForm.h"
#include "platform/systemclock.h"
#include "ui/document/TMDIChild.h"

#include <QDir>
#include <QMdiSubWindow>
#include <QPointer>

namespace {
QPointer<TMDIChild> g_child;

void open(TMainForm *frame, int page)
{
    platform::SystemClock::setFake(QDateTime(QDate(2026, 12, 1), QTime(10, 0)));
    const QString path = QDir::current().absoluteFilePath(QStringLiteral("exemple.vtr"));
    g_child = frame->CreateChild(path);
    g_child->charge(path);
    g_child->showPage(page);
}

void close(TMainForm *)
{
    if (g_child) {
        if (auto *sub = qobject_cast<QMdiSubWindow *>(g_child->parentWidget()))
            sub->close();
        else
            g_child->close();
    }
    platform::SystemClock::clearFake();
}

const bool registered =
    shots::add(40, {QStringLiteral("echeances-barre"), [](TMainForm *f) { open(f, TMDIChild::Description); }, close})
    && shots::add(41, {QStringLiteral("echeances-garage"), [](TMainForm *f) { open(f, TMDIChild::Garage); }, close});
} // namespace
