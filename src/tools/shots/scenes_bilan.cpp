// The vehicle report of the example (run from samples/), on a fixed day: the year dialog, and
// the print preview of the year 2025 with the comparison of the barème.
#include "shots.h"

#include "app/TMainForm.h"
#include "core/reports/vehiclereport.h"
#include "platform/systemclock.h"
#include "ui/document/TMDIChild.h"
#include "ui/reports/TBilan.h"
#include "ui/reports/paper/reportpaper.h"

#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPointer>
#include <QPrintPreviewDialog>
#include <QPrinter>

#include <memory>

namespace {
QPointer<TMDIChild> g_child;
QPointer<QWidget> g_window;
std::unique_ptr<QPrinter> g_printer;
vehiclereport::Content g_content;

void open(TMainForm *frame)
{
    platform::SystemClock::setFake(QDateTime(QDate(2026, 12, 1), QTime(10, 0)));
    const QString path = QDir::current().absoluteFilePath(QStringLiteral("exemple.vtr"));
    g_child = frame->CreateChild(path);
    g_child->charge(path);
}

void dialog(TMainForm *frame)
{
    open(frame);
    auto *d = new TBilan(frame);
    d->setAttribute(Qt::WA_DeleteOnClose);
    d->Init(vehiclereport::yearsWithEntries(g_child->record()));
    d->findChild<QLineEdit *>(QStringLiteral("Edit1"))->setText(QStringLiteral("8000"));
    d->show();
    g_window = d;
}

void preview(TMainForm *frame)
{
    open(frame);
    vehiclereport::Options o;
    o.year = 2025;
    o.kmPro = 8000;
    o.today = platform::SystemClock::today();
    o.fileName = QStringLiteral("exemple.vtr");
    g_content = vehiclereport::build(g_child->record(), o);
    g_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    reportpaper::setUpPage(*g_printer);
    auto *p = new QPrintPreviewDialog(g_printer.get(), frame);
    p->setAttribute(Qt::WA_DeleteOnClose);
    p->setWindowTitle(QStringLiteral("Aperçu avant impression"));
    QObject::connect(p, &QPrintPreviewDialog::paintRequested, p,
                     [](QPrinter *printer) { reportpaper::paint(g_content, *printer); });
    p->resize(760, 780);
    p->show();
    g_window = p;
}

void close(TMainForm *)
{
    if (g_window)
        g_window->close();
    if (g_child) {
        if (auto *sub = qobject_cast<QMdiSubWindow *>(g_child->parentWidget()))
            sub->close();
        else
            g_child->close();
    }
    platform::SystemClock::clearFake();
}

const bool registered = shots::add(45, {QStringLiteral("bilan-dialogue"), dialog, close})
                        && shots::add(46, {QStringLiteral("bilan-apercu"), preview, close});
} // namespace
