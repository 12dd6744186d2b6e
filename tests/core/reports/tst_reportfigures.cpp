// The figures of the vehicle report: distance per year, cost per km, full-to-full consumption,
// the barème kilométrique, and the report's content built from them.
#include "core/reports/reportfigures.h"
#include "core/reports/vehiclereport.h"
#include "core/vehicle/textrules.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace reportfigures;

namespace {
FuelEntry fuel(const QString &date, const QString &litres, const QString &km,
               const QString &description = u"Plein"_s, const QString &amount = u"50.00"_s)
{
    return {date, description, amount, litres, km};
}
GarageEntry garage(const QString &date, const QString &km, const QString &description = u"Pneus"_s,
                   const QString &amount = u"100.00"_s)
{
    return {date, description, amount, km};
}
QString km(const std::optional<long double> &d)
{
    return d ? QString::number(double(*d)) : u"none"_s;
}
} // namespace

class TestReportFigures : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void distancePerYear()
    {
        VehicleRecord r;
        r.ListView1 = {fuel(u"10/01/2022"_s, u"40"_s, u"10000"_s), fuel(u"10/06/2022"_s, u"40"_s, u"14000"_s),
                       fuel(u"10/03/2023"_s, u"40"_s, u"21000"_s), fuel(u"05/05/2024"_s, u"40"_s, u"30000"_s),
                       fuel(u"01/01/2026"_s, u"40"_s, u"9999O"_s), fuel(u"01/01/2026"_s, u"40"_s, u""_s)};
        // The garage's readings count with the fuel's, in any order: the highest of 2023 is it.
        r.ListView2 = {garage(u"20/12/2023"_s, u"25500.00"_s), garage(u"01/02/2025"_s, u"28000"_s)};
        const Distances d(r);
        QCOMPARE(km(d.km(2022)), u"4000"_s);  // no reading before: highest minus lowest
        QCOMPARE(km(d.km(2023)), u"11500"_s); // 25 500 minus the highest before, 14 000
        QCOMPARE(km(d.km(2024)), u"4500"_s);
        QCOMPARE(km(d.km(2025)), u"none"_s);  // the readings went backwards
        QCOMPARE(km(d.km(2026)), u"none"_s);  // only an unreadable and an empty reading
        QCOMPARE(km(d.km(2021)), u"none"_s);
        QCOMPARE(d.leftOut(), 1);             // the empty one is no reading at all

        VehicleRecord one;
        one.ListView1 = {fuel(u"10/01/2022"_s, u"40"_s, u"10000"_s)};
        QCOMPARE(km(Distances(one).km(2022)), u"none"_s); // fewer than two readings
    }

    void costPerKmHasThreeDecimals()
    {
        QCOMPARE(costPerKm(1000, 3000.0L), u"0.333"_s);
        QCOMPARE(costPerKm(2, 1600.0L), u"0.001"_s); // 0.00125: half away from zero
        QCOMPARE(costPerKm(1000, std::nullopt), QString());
    }

    void fullToFull_data()
    {
        QTest::addColumn<std::vector<FuelEntry>>("fills");
        QTest::addColumn<QString>("all");    // litres/km
        QTest::addColumn<QString>("year");   // 2024's litres/km
        QTest::addColumn<int>("leftOut");
        QTest::newRow("three full") << std::vector<FuelEntry>{fuel(u"01/01/2024"_s, u"40"_s, u"1000"_s),
                                                             fuel(u"01/02/2024"_s, u"30"_s, u"1500"_s),
                                                             fuel(u"01/03/2024"_s, u"35"_s, u"2000"_s)}
                                    << u"65/1000"_s << u"65/1000"_s << 0;
        // The partial one's litres belong to the segment its next full fill-up closes; written
        // out of order, the fill-ups still follow the odometer.
        QTest::newRow("partial, out of order")
            << std::vector<FuelEntry>{fuel(u"01/03/2024"_s, u"35"_s, u"2000"_s),
                                      fuel(u"01/01/2024"_s, u"40"_s, u"1000"_s),
                                      fuel(u"15/01/2024"_s, u"10"_s, u"1200"_s, u"Plein PARTIEL, autoroute"_s),
                                      fuel(u"01/02/2024"_s, u"30"_s, u"1500"_s)}
            << u"75/1000"_s << u"75/1000"_s << 0;
        // "pleins manqués" breaks the chain: the segment it would close does not count, but it
        // starts the next one.
        QTest::newRow("missed fill-ups")
            << std::vector<FuelEntry>{fuel(u"01/01/2024"_s, u"40"_s, u"1000"_s),
                                      fuel(u"01/02/2024"_s, u"30"_s, u"2500"_s, u"Pleins manqués"_s),
                                      fuel(u"01/03/2024"_s, u"35"_s, u"3000"_s)}
            << u"35/500"_s << u"35/500"_s << 0;
        QTest::newRow("accents left out")
            << std::vector<FuelEntry>{fuel(u"01/01/2024"_s, u"40"_s, u"1000"_s),
                                      fuel(u"01/02/2024"_s, u"30"_s, u"2500"_s, u"2 PLEINS MANQUES"_s),
                                      fuel(u"01/03/2024"_s, u"35"_s, u"3000"_s)}
            << u"35/500"_s << u"35/500"_s << 0;
        // Unreadable litres: the chain starts again after it; the year is the closing one's.
        QTest::newRow("unreadable litres, two years")
            << std::vector<FuelEntry>{fuel(u"01/11/2023"_s, u"40"_s, u"1000"_s),
                                      fuel(u"01/12/2023"_s, u"30"_s, u"1400"_s),
                                      fuel(u"01/01/2024"_s, u"3O"_s, u"1800"_s),
                                      fuel(u"01/02/2024"_s, u"20"_s, u"2000"_s),
                                      fuel(u"01/03/2024"_s, u"25"_s, u"2500"_s)}
            << u"55/900"_s << u"25/500"_s << 1;
        QTest::newRow("a partial first, nothing to close")
            << std::vector<FuelEntry>{fuel(u"01/01/2024"_s, u"10"_s, u"900"_s, u"plein partiel"_s),
                                      fuel(u"01/02/2024"_s, u"30"_s, u"1500"_s)}
            << u"0/0"_s << u"none"_s << 0;
    }
    void fullToFull()
    {
        QFETCH(std::vector<FuelEntry>, fills);
        QFETCH(QString, all);
        QFETCH(QString, year);
        QFETCH(int, leftOut);
        VehicleRecord r;
        r.ListView1 = fills;
        const FullToFull f = reportfigures::fullToFull(r);
        auto text = [](const Consumption &c) {
            return QString::number(double(c.litres)) + u'/' + QString::number(double(c.km));
        };
        QCOMPARE(text(f.all), all);
        const auto y = f.byYear.find(2024);
        QCOMPARE(y == f.byYear.end() ? u"none"_s : text(y->second), year);
        QCOMPARE(f.leftOut, leftOut);
    }

    void bareme_data()
    {
        QTest::addColumn<int>("cv");
        QTest::addColumn<double>("km");
        QTest::addColumn<bool>("electric");
        QTest::addColumn<QString>("amount");
        QTest::newRow("3 CV, 5 000") << 3 << 5000.0 << false << u"2645.00"_s;
        QTest::newRow("3 CV, 5 001") << 3 << 5001.0 << false << u"2645.32"_s;
        QTest::newRow("3 CV, 20 000") << 3 << 20000.0 << false << u"7385.00"_s;
        QTest::newRow("3 CV, 20 001") << 3 << 20001.0 << false << u"7400.37"_s;
        QTest::newRow("1 CV as 3") << 1 << 1000.0 << false << u"529.00"_s;
        QTest::newRow("5 CV, 10 000") << 5 << 10000.0 << false << u"4965.00"_s;
        QTest::newRow("7 CV, 25 000") << 7 << 25000.0 << false << u"11750.00"_s;
        QTest::newRow("9 CV as 7") << 9 << 25000.0 << false << u"11750.00"_s;
        QTest::newRow("5 CV electric") << 5 << 10000.0 << true << u"5958.00"_s;
    }
    void bareme()
    {
        QFETCH(int, cv);
        QFETCH(double, km);
        QFETCH(bool, electric);
        QFETCH(QString, amount);
        const std::optional<BaremeAmount> a = reportfigures::bareme(baremeGrids(), 2024, cv, km, electric);
        QVERIFY(a);
        QCOMPARE(textrules::formatFixed(a->amount, 2), amount);
        QVERIFY(!a->latestGrid);
        QCOMPARE(a->firstYear, 2023);
    }

    void baremeGridFile()
    {
        // A year outside every grid takes the latest one and says so.
        const auto later = reportfigures::bareme(baremeGrids(), 2031, 4, 1000, false);
        QVERIFY(later && later->latestGrid);
        QCOMPARE(textrules::formatFixed(later->amount, 2), u"606.00"_s);
        // Next year's grid is one more block; the year picks its grid.
        const auto grids = parseBareme(u"grille 2026 2026\n3 1 1 0 1\ngrille 2023 2025 # old\n"
                                       "electrique 20\n3 0.5 0.5 0 0.5\n"_s);
        QVERIFY(grids && grids->size() == 2);
        QCOMPARE(double(reportfigures::bareme(*grids, 2026, 3, 100, false)->amount), 100.0);
        QCOMPARE(double(reportfigures::bareme(*grids, 2024, 3, 100, false)->amount), 50.0);
        QVERIFY(!parseBareme(u"grille 2023 2025\n3 0.5 zero 0 0.5\n"_s));
        QVERIFY(!parseBareme(u"3 0.5 0.5 0 0.5\n"_s)); // a row before any grid
        QVERIFY(namesElectric(u"Électrique"_s));
        QVERIFY(!namesElectric(u"Hybride électrique"_s));
        QVERIFY(!namesElectric(u"Diesel"_s));
    }

    // The report's figures agree with a hand calculation.
    void reportContent()
    {
        VehicleRecord r = VehicleRecord::create(QDate(2025, 6, 1));
        r.DateTimePicker1 = QDate(2024, 1, 1);
        r.edit[6] = u"  500.00"_s;
        r.edit[22] = u"  5.00"_s;
        r.ListView1 = {fuel(u"05/01/2024"_s, u"40.00"_s, u"10000.00"_s),
                       fuel(u"05/12/2024"_s, u"50.00"_s, u"20000.00"_s, u"Plein"_s, u"450.00"_s),
                       fuel(u"05/03/2025"_s, u"45.00"_s, u"23000.00"_s)};
        r.ListView2 = {garage(u"10/02/2025"_s, u"21000.00"_s, u"Vidange"_s, u"1X0"_s)};
        vehiclereport::Options o;
        o.today = QDate(2025, 6, 1);
        o.year = 2024;
        o.kmPro = 6000;
        o.fileName = u"auto.vtr"_s;
        const vehiclereport::Content c = vehiclereport::build(r, o);
        // 2024: fuel 500, insurance 500: 1000 for 10 000 km.
        QCOMPARE(c.table.size(), std::size_t(1));
        QCOMPARE(c.table[0].join(u' '), u"2024 500.00 0.00 0.00 500.00 1000.00 10000 0.100 0.50"_s);
        QVERIFY(c.garage.empty()); // the oil change is of 2025
        // Barème, 5 CV, 6 000 km: 6 000 × 0.357 + 1 395 = 3 537; real costs 1 000 × 0.6.
        const QString frais = vehiclereport::plainText(c);
        QVERIFY2(frais.contains(u"Barème kilométrique (5 CV) : 3537.00"_s), qPrintable(frais));
        QVERIFY(frais.contains(u" : 600.00\n"_s));
        QVERIFY(frais.contains(u"Le plus élevé : le barème kilométrique"_s));
        QVERIFY(frais.contains(u"revenus 2023 à 2025"_s));
        QVERIFY(frais.contains(u"auto.vtr — établi le 01/06/2025"_s));

        o.year = 0;
        o.kmPro.reset();
        const vehiclereport::Content all = vehiclereport::build(r, o);
        QVERIFY(all.tableHasTotal && all.fraisReels.empty());
        // The garage's amount of 2025 is unreadable: as in the statistics window, the filling
        // stops before that year; the carnet shows the entry and counts its amount nowhere.
        QCOMPARE(all.table.size(), std::size_t(2));
        QCOMPARE(all.table[1].join(u' '), u"Total 500.00 0.00 0.00 500.00 1000.00 10000 0.100 0.50"_s);
        QCOMPARE(all.garage.size(), std::size_t(1));
        QCOMPARE(all.garage[0].mark, u"Entretien"_s);
        QVERIFY(all.garageNotes.join(u' ').contains(u"1 montant illisible laissé de côté."_s));
    }
};

QTEST_GUILESS_MAIN(TestReportFigures)
#include "tst_reportfigures.moc"
