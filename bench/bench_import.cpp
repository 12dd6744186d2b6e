// Importing a large fuel export against loading a vehicle file that holds the same entries.
// Writes a French-locale fuel export of N rows (default 100 000), imports it, saves the record,
// then times the import and the load of the saved file; the best of RUNS runs counts.
//
// usage: bench_import [ROWS] [RUNS]
#include "core/import/importer.h"
#include "core/vehicle/vtrfile.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <random>

namespace {

// A fuel export as a French server writes it: "10/03/2024", "42,15", "78,36 €".
QByteArray fuelExport(int rows)
{
    std::mt19937_64 rng(1);
    auto between = [&rng](int lo, int hi) { return int(rng() % quint64(hi - lo + 1)) + lo; };
    const char *notes[] = {"", "Demi-plein", "\"Autoroute A7, péage\""};
    const char *stations[] = {"Total Lyon", "Intermarché Vénissieux", "Auchan"};
    QByteArray out("\xEF\xBB\xBF"
                   "Date,Odometer,FuelConsumed,Cost,FuelEconomy,IsFillToFull,MissedFuelUp,Notes,"
                   "Tags,extrafield_Station\r\n");
    out.reserve(qsizetype(rows) * 90);
    const QDate start(2010, 1, 4);
    qint64 km = 12000;
    for (int i = 0; i < rows; ++i) {
        const QDate d = start.addDays(qint64(i) * 6 * 365 / rows);
        km += between(450, 900);
        const int litres = between(2500, 5600), perLitre = between(1050, 1380);
        const int cost = litres * perLitre / 100;
        out += QStringLiteral("%1,%2,\"%3,%4\",\"%5,%6 €\",\"%7,%8\",%9,False,")
                   .arg(d.toString(QStringLiteral("dd/MM/yyyy")))
                   .arg(km)
                   .arg(litres / 100)
                   .arg(litres % 100, 2, 10, QLatin1Char('0'))
                   .arg(cost / 100)
                   .arg(cost % 100, 2, 10, QLatin1Char('0'))
                   .arg(between(4, 9))
                   .arg(between(0, 9))
                   .arg(between(0, 3) ? QStringLiteral("True") : QStringLiteral("False"))
                   .toUtf8();
        out += notes[between(0, 2)];
        out += ",,";
        out += stations[between(0, 2)];
        out += "\r\n";
    }
    return out;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int rows = argc > 1 ? std::atoi(argv[1]) : 100000;
    const int runs = argc > 2 ? std::atoi(argv[2]) : 5;
    QTemporaryDir dir;
    const QString csv = dir.filePath(QStringLiteral("export.csv"));
    const QString vtr = dir.filePath(QStringLiteral("voiture.vtr"));
    {
        QFile f(csv);
        if (!f.open(QIODevice::WriteOnly) || f.write(fuelExport(rows)) < 0)
            return 1;
    }
    const QDate today(2025, 6, 1);
    importer::Result first = importer::importFile(csv, importer::DateOrder::Unknown, today);
    if (!first.ok || int(first.record.ListView1.size()) != rows) {
        std::fprintf(stderr, "import failed: %s\n", qPrintable(first.error));
        return 1;
    }
    if (!vtrfile::save(first.record, vtr).ok)
        return 1;
    first = {};

    qint64 bestImport = -1, bestLoad = -1;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        {
            const importer::Result r = importer::importFile(csv, importer::DateOrder::Unknown, today);
            if (!r.ok)
                return 1;
        }
        const qint64 import = t.nsecsElapsed();
        t.restart();
        {
            VehicleRecord r = VehicleRecord::create(today);
            if (!vtrfile::load(r, vtr, vtrfile::nameOnlyPictureHook(dir.path())).ok)
                return 1;
        }
        const qint64 load = t.nsecsElapsed();
        if (bestImport < 0 || import < bestImport)
            bestImport = import;
        if (bestLoad < 0 || load < bestLoad)
            bestLoad = load;
    }
    std::printf("%d fuel rows, best of %d runs (record freed inside each measure)\n", rows, runs);
    std::printf("import of the export           %8.1f ms\n", double(bestImport) / 1e6);
    std::printf("load of the same vehicle file  %8.1f ms\n", double(bestLoad) / 1e6);
    std::printf("ratio                          %8.2fx (target 2x)\n",
                double(bestImport) / double(bestLoad));
    return 0;
}
