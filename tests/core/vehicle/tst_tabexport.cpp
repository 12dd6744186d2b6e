#include "core/vehicle/tabexport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace tabexport;
using namespace Qt::StringLiterals;

namespace {

VehicleRecord ledgers()
{
    VehicleRecord r = VehicleRecord::create(QDate(2026, 12, 7));
    r.ListView1 = {{u"10/01/2022"_s, u"Plein — Total"_s, u"412.30"_s, u"41.20"_s, u"52310.00"_s},
                   {u"02/02/2022"_s, QString(), u"380.00"_s, u"38.00"_s, u"53010.00"_s}};
    r.ListView2 = {{u"15/03/2022"_s, u"Révision"_s, u"1450.00"_s, u"54000.00"_s}};
    r.ListView3 = {{u"20/03/2022"_s, u"Parking à l'œil"_s, u"12.50"_s}};
    r.edit[24] = u"   15000.00"_s;
    return r;
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

} // namespace

class TestTabExport : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void bytesOfEachLedger_data()
    {
        QTest::addColumn<int>("ledger");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("fuel, empty description")
            << int(Ledger::Fuel)
            << QByteArray("10/01/2022\tPlein \x97 Total\t412.30\t41.20\t52310.00\r\n"
                          "02/02/2022\t\t380.00\t38.00\t53010.00\r\n");
        QTest::newRow("garage") << int(Ledger::Garage)
                                << QByteArray("15/03/2022\tR\xe9vision\t1450.00\t54000.00\r\n");
        QTest::newRow("parking") << int(Ledger::Parking)
                                 << QByteArray("20/03/2022\tParking \xe0 l'\x9cil\t12.50\r\n");
        QTest::newRow("no ledger page") << int(Ledger::None) << QByteArray();
    }
    void bytesOfEachLedger()
    {
        QFETCH(int, ledger);
        QTEST(exportBytes(ledgers(), Ledger(ledger)), "bytes");
        QVERIFY(exportBytes(VehicleRecord::create(QDate(2026, 1, 1)), Ledger(ledger)).isEmpty());
    }

    void fileIsReplacedWhole()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"export.txt"_s);
        QVERIFY(exportToFile(ledgers(), Ledger::Fuel, path).ok);
        const QByteArray first = readFile(path);
        QCOMPARE(first, exportBytes(ledgers(), Ledger::Fuel));
        QVERIFY(exportToFile(ledgers(), Ledger::Fuel, path).ok);
        QCOMPARE(readFile(path), first);
        // An empty ledger empties an existing file.
        QVERIFY(exportToFile(ledgers(), Ledger::None, path).ok);
        QCOMPARE(readFile(path), QByteArray());
    }

    void failureIsReported()
    {
        QTemporaryDir dir;
        const QString folder = dir.filePath(u"export.txt"_s);
        QVERIFY(QDir().mkdir(folder));
        const Result r = exportToFile(ledgers(), Ledger::Garage, folder);
        QVERIFY(!r.ok);
        QCOMPARE(r.error, u"Ne peut créer le fichier "_s + folder);
        QVERIFY(QFileInfo(folder).isDir());
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList());
    }
};

QTEST_APPLESS_MAIN(TestTabExport)
#include "tst_tabexport.moc"
