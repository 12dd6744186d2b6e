// bench_autosave [FILE|ENTRIES] [SECONDS]: what the recovery copies cost on a large document (a
// vehicle file, or one made here with ENTRIES entries per ledger, 100 000 by default): the
// snapshot taken on the window's thread, the copy
// written (encoded, written, synced), and the longest stalls of the window's thread while keys
// are typed for SECONDS (6 by default), with the copies written by their own thread, with none,
// and, for comparison, with the same copies written on the window's thread.
#include "app/TMainForm.h"
#include "app/autosave.h"
#include "app/startup.h"
#include "core/vehicle/recovery.h"
#include "core/vehicle/vtrfile.h"
#include "ui/document/TMDIChild.h"

#include <QApplication>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

VehicleRecord largeRecord(int entries)
{
    VehicleRecord r = VehicleRecord::create(QDate(2026, 12, 7));
    r.edit[1] = QStringLiteral("Renault");
    auto date = [](int i) {
        return QStringLiteral("%1/%2/%3").arg(1 + i % 28, 2, 10, QLatin1Char('0')).arg(1 + i / 28 % 12, 2, 10, QLatin1Char('0')).arg(1990 + i % 30);
    };
    for (int i = 0; i < entries; ++i) {
        r.ListView1.push_back({date(i), QStringLiteral("Plein"), QStringLiteral("250.00"), QStringLiteral("45.00"),
                               QString::number(10000 + i * 500) + QStringLiteral(".00")});
        r.ListView2.push_back({date(i), QStringLiteral("Vidange"), QStringLiteral("400.00"),
                               QString::number(15000 + i * 100) + QStringLiteral(".00")});
        r.ListView3.push_back({date(i), QStringLiteral("Parking"), QStringLiteral("12.00")});
    }
    return r;
}

double ms(const QElapsedTimer &t)
{
    return double(t.nsecsElapsed()) / 1e6;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

struct Stalls {
    double worst = 0;
    double p99 = 0;
    int keys = 0;
};

// Types a key every 30 ms into the brand field for `seconds`; a 5 ms ticker measures how long the
// thread was kept from its events (the gap between two ticks beyond 5 ms). `alsoEachSecond`
// runs on the window's thread once a second.
Stalls typeFor(QLineEdit *edit, int seconds, const std::function<void()> &alsoEachSecond = {})
{
    std::vector<double> gaps;
    QElapsedTimer sinceTick;
    sinceTick.start();
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    QObject::connect(&ticker, &QTimer::timeout, &ticker, [&] {
        gaps.push_back(std::max(0.0, ms(sinceTick) - 5.0));
        sinceTick.restart();
    });
    Stalls s;
    QTimer typist;
    typist.setTimerType(Qt::PreciseTimer);
    QObject::connect(&typist, &QTimer::timeout, &typist, [&] {
        const QChar c(u'a' + s.keys % 26);
        QKeyEvent press(QEvent::KeyPress, Qt::Key_A + s.keys % 26, Qt::NoModifier, QString(c));
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_A + s.keys % 26, Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(edit, &press);
        QCoreApplication::sendEvent(edit, &release);
        edit->repaint();
        if (edit->text().size() > 40)
            edit->setText(QStringLiteral("Renault"));
        ++s.keys;
    });
    QTimer second;
    if (alsoEachSecond) {
        QObject::connect(&second, &QTimer::timeout, &second, alsoEachSecond);
        second.start(1000);
    }
    ticker.start(5);
    typist.start(30);
    QElapsedTimer run;
    run.start();
    while (run.elapsed() < seconds * 1000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    std::sort(gaps.begin(), gaps.end());
    if (!gaps.empty()) {
        s.worst = gaps.back();
        s.p99 = gaps[gaps.size() * 99 / 100];
    }
    return s;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    startup::prepareApplication(app);
    const QString given = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    const int seconds = argc > 2 ? QByteArray(argv[2]).toInt() : 6;
    QTextStream out(stdout);

    QTemporaryDir dir;
    QString file = dir.filePath(QStringLiteral("big.vtr"));
    if (QFileInfo(given).isFile())
        file = QFileInfo(given).absoluteFilePath();
    else if (!vtrfile::save(largeRecord(given.isEmpty() ? 100000 : given.toInt()), file).ok)
        return 1;
    const QString root = dir.filePath(QStringLiteral("recovery"));

    auto frame = std::unique_ptr<TMainForm>(startup::createWindows());
    frame->show();
    frame->openDocument(file);
    TMDIChild *doc = frame->activeChild();
    QCoreApplication::processEvents();
    auto *brand = doc->findChild<QLineEdit *>(QStringLiteral("Edit1"));

    std::vector<double> snapshots;
    std::vector<double> slices;
    for (int i = 0; i < 15; ++i) {
        QElapsedTimer t;
        t.start();
        const VehicleRecord copy = doc->recoverySnapshot();
        snapshots.push_back(ms(t));
        // What one turn of the event loop copies of a large document.
        std::vector<FuelEntry> part;
        t.start();
        part.reserve(doc->record().ListView1.size());
        part.insert(part.end(), doc->record().ListView1.begin(),
                    doc->record().ListView1.begin() + std::ptrdiff_t(std::min(AutoSave::kSliceEntries, doc->record().ListView1.size())));
        slices.push_back(ms(t));
    }
    std::vector<double> writes;
    {
        recovery::Session session(dir.filePath(QStringLiteral("measure")));
        const VehicleRecord copy = doc->recoverySnapshot();
        for (int i = 0; i < 5; ++i) {
            QElapsedTimer t;
            t.start();
            session.write(1, copy, {});
            writes.push_back(ms(t));
        }
        session.removeAll();
    }

    const Stalls none = typeFor(brand, seconds); // the window's own cost
    brand->setText(QStringLiteral("Renault"));
    // Copies far more often than the program makes them: at least one a second.
    AutoSave::setDelaysForTests(100, 1000);
    int copies = 0;
    auto autosave = std::make_unique<AutoSave>(frame.get(), root);
    frame->openDocument(file); // watched from its creation on
    doc = frame->activeChild();
    brand = doc->findChild<QLineEdit *>(QStringLiteral("Edit1"));
    QTimer counter;
    QString lastSeen;
    QObject::connect(&counter, &QTimer::timeout, &counter, [&] {
        QDirIterator it(root, {QStringLiteral("*.vtr")}, QDir::Files, QDirIterator::Subdirectories);
        const QString stamp = it.hasNext() ? QFileInfo(it.next()).lastModified().toString(Qt::ISODateWithMs) : QString();
        if (!stamp.isEmpty() && stamp != lastSeen) {
            lastSeen = stamp;
            ++copies;
        }
    });
    counter.start(50);
    const Stalls threaded = typeFor(brand, seconds);
    counter.stop();
    autosave.reset();

    recovery::Session onUiThread(dir.filePath(QStringLiteral("ui")));
    const Stalls blocking =
        typeFor(brand, seconds, [&] { onUiThread.write(1, doc->recoverySnapshot(), {}); });
    onUiThread.removeAll();

    const VehicleRecord &r = doc->record();
    out << "document: " << r.ListView1.size() << " + " << r.ListView2.size() << " + " << r.ListView3.size()
        << " entries (" << QFileInfo(file).size() / 1e6 << " MB file)\n";
    out << "snapshot at once, median of " << snapshots.size() << ": " << median(snapshots) << " ms; one slice of "
        << AutoSave::kSliceEntries << " entries: " << median(slices) << " ms\n";
    out << "copy written (encode, write, sync file and folder), median of " << writes.size() << ": "
        << median(writes) << " ms\n";
    out << "typing " << seconds << " s, a key every 30 ms; longest stall / 99th percentile of the window's thread:\n";
    out << "  no copies:                      " << none.worst << " / " << none.p99 << " ms (" << none.keys << " keys)\n";
    out << "  copies on their own thread:     " << threaded.worst << " / " << threaded.p99 << " ms (" << threaded.keys
        << " keys, " << copies << " copies, snapshots in slices)\n";
    out << "  copies on the window's thread:  " << blocking.worst << " / " << blocking.p99 << " ms (" << blocking.keys
        << " keys, one copy a second)\n";
    return 0;
}
