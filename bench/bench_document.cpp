// bench_document [ENTRIES]: opening a vehicle file with ENTRIES entries per ledger (100 000 by
// default) into a document window, against the core load alone; scrolling that ledger to its
// end; adding an entry to it through the fuel dialog.
#include "app/startup.h"
#include "core/reports/due.h"
#include "core/vehicle/vtrfile.h"
#include "ui/document/TMDIChild.h"
#include "ui/document/documentwindows.h"
#include "ui/entry/TFCarbu.h"

#include <QApplication>
#include <QDateEdit>
#include <QDialog>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QMouseEvent>
#include <QTextStream>
#include <QTimer>

#include <algorithm>
#include <vector>

namespace {
// A vehicle file written line by line, so that the benchmark needs no writer.
QByteArray generate(int entries)
{
    QByteArray out;
    out.reserve(entries * 160);
    auto line = [&out](const QByteArray &s) { out += s + "\r\n"; };
    auto date = [](int i) { return QByteArray::number(1 + i % 28).rightJustified(2, '0') + '/' + QByteArray::number(1 + i / 28 % 12).rightJustified(2, '0') + '/' + QByteArray::number(1990 + i % 30); };
    line("[PAGE1]"); line("Renault"); line("Clio"); line("Martin"); line("12/03/1996"); line("     85000.00"); line("15/03/1996"); line("[/PAGE1]");
    line("[PAGE2]");
    for (int i = 0; i < entries; ++i) {
        line(date(i)); line("Plein"); line("250.00"); line("45.00"); line(QByteArray::number(10000 + i * 500) + ".00");
    }
    line("[/PAGE2]");
    line("[PAGE3]"); line("     15000.00");
    for (int i = 0; i < entries; ++i) {
        line(date(i)); line("Vidange"); line("400.00"); line(QByteArray::number(15000 + i * 100) + ".00");
    }
    line("[/PAGE3]");
    line("[PAGE4]");
    for (int i = 0; i < 11; ++i)
        line("      1000.00");
    line("[/PAGE4]");
    line("[PAGE5]"); line("20/06/1999"); line("     50000.00"); line("      3000.00"); line("     70000.00"); line("9"); line("Diesel"); line("[/PAGE5]");
    line("[PAGE6]"); line("Un commentaire."); line("[/PAGE6]");
    line("[PAGE7]"); line(""); line("[/PAGE7]");
    line("[PAGE8]");
    for (int i = 0; i < entries; ++i) {
        line(date(i)); line("Parking"); line("12.00");
    }
    line("[/PAGE8]");
    return out;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double ms(const QElapsedTimer &t)
{
    return double(t.nsecsElapsed()) / 1e6;
}
} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    startup::prepareApplication(app);
    const int entries = argc > 1 ? QByteArray(argv[1]).toInt() : 100000;
    QTextStream out(stdout);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("big.vtr"));
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly))
            return 1;
        f.write(generate(entries));
    }
    QDir::setCurrent(dir.path());
    const int runs = 5;

    std::vector<double> core;
    for (int i = 0; i < runs; ++i) {
        VehicleRecord r = VehicleRecord::create(QDate(2026, 12, 7));
        QElapsedTimer t;
        t.start();
        vtrfile::load(r, path, vtrfile::nameOnlyPictureHook());
        core.push_back(ms(t));
    }

    std::vector<double> window;
    std::vector<double> scroll;
    TMDIChild *kept = nullptr;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        auto *w = new TMDIChild(nullptr);
        w->charge(path);
        w->show();
        QApplication::processEvents();
        window.push_back(ms(t));

        w->showPage(TMDIChild::Carburant);
        QApplication::processEvents();
        auto *view = w->findChild<QTableView *>(QStringLiteral("ListView1"));
        t.start();
        view->scrollToBottom();
        view->viewport()->repaint();
        scroll.push_back(ms(t));
        if (i + 1 < runs)
            delete w;
        else
            kept = w;
    }

    // Adding through the real dialog: the window's part runs from "OK" to the list repainted.
    documentWindows().FCarbu = new TFCarbu;
    auto *view = kept->findChild<QTableView *>(QStringLiteral("ListView1"));
    std::vector<double> adding;
    for (int i = 0; i < 20; ++i) {
        view->clearSelection();
        QElapsedTimer fromOk;
        QTimer::singleShot(0, &app, [&fromOk] {
            auto *d = qobject_cast<QDialog *>(QApplication::activeModalWidget());
            if (!d)
                return;
            if (auto *e = d->findChild<QLineEdit *>(QStringLiteral("Edit2")))
                e->setText(QStringLiteral("250.00"));
            fromOk.start();
            if (auto *ok = d->findChild<QPushButton *>(QStringLiteral("Button2")))
                ok->click();
            else
                d->reject();
        });
        const QPointF below(20, view->viewport()->height() - 3);
        QMouseEvent dbl(QEvent::MouseButtonDblClick, below, view->viewport()->mapToGlobal(below), Qt::LeftButton,
                        Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(view->viewport(), &dbl);
        view->viewport()->repaint();
        if (fromOk.isValid())
            adding.push_back(ms(fromOk));
    }
    const auto added = kept->record().ListView1.size() - std::size_t(entries);

    // What is due: read whole when a document comes in; after a change of one entry, from the
    // facts the window keeps of every entry (the addition above includes that).
    std::vector<double> dueWhole, dueKept;
    std::vector<due::EntryFacts> fuelFacts, garageFacts;
    for (const FuelEntry &e : kept->record().ListView1)
        fuelFacts.push_back(due::factsOf(e));
    for (const GarageEntry &e : kept->record().ListView2)
        garageFacts.push_back(due::factsOf(e));
    std::size_t reminders = 0;
    for (int i = 0; i < 20; ++i) {
        QElapsedTimer t;
        t.start();
        reminders += due::compute(kept->record(), QDate(2026, 12, 7)).reminders.size();
        dueWhole.push_back(ms(t));
        t.start();
        reminders += due::compute(kept->record(), fuelFacts, garageFacts, QDate(2026, 12, 7)).reminders.size();
        dueKept.push_back(ms(t));
    }
    delete kept;

    out << "entries per ledger: " << entries << "\n";
    out << "core load (vtrfile::load), median of " << runs << ": " << median(core) << " ms\n";
    out << "window open (create, charge, first page shown), median of " << runs << ": " << median(window) << " ms"
        << " (" << median(window) / median(core) << " x core)\n";
    out << "fuel ledger scrolled to its end and repainted, median: " << median(scroll) << " ms\n";
    if (!adding.empty())
        out << "entry added through the dialog, from OK to the list repainted, median of " << adding.size() << ": "
            << median(adding) << " ms (" << added << " entries added)\n";
    else
        out << "entry added: the fuel dialog could not be driven\n";
    out << "what is due, both ledgers read whole, median of " << dueWhole.size() << ": " << median(dueWhole)
        << " ms; from the kept facts: " << median(dueKept) << " ms (" << reminders << " reminders)\n";
    return 0;
}
