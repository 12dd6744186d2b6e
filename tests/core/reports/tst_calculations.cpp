#include "core/reports/calculations.h"

#include <QTest>

namespace {
// Marks a result field that keeps the text it had.
const QString Keep = QStringLiteral("<unchanged>");

QString shown(const CalcText &t) { return t.value_or(Keep); }

// "date;description;montant;litres;compteur", oldest first.
std::vector<FuelEntry> fuelRows(const QStringList &rows)
{
    std::vector<FuelEntry> out;
    for (const QString &row : rows) {
        const QStringList c = row.split(u';');
        FuelEntry e;
        for (int i = 0; i < 5 && i < c.size(); ++i)
            e.set(std::size_t(i), c[i]);
        out.push_back(e);
    }
    return out;
}

VehicleRecord diesel()
{
    VehicleRecord r;
    r.ComboBox1 = QStringLiteral("Diesel");
    r.DateTimePicker2 = QDate(1996, 3, 15);
    r.DateTimePicker3 = QDate(1999, 6, 20);
    r.edit[22] = QStringLiteral("9");
    r.edit[21] = QStringLiteral("70000");
    r.edit[19] = QStringLiteral("50000");
    return r;
}
} // namespace

class TestCalculations : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void sums_data()
    {
        QTest::addColumn<QStringList>("inputs");
        QTest::addColumn<QString>("expected");
        QTest::newRow("all empty") << QStringList{QString(), QString(), QString()}
                                   << QStringLiteral("0.00");
        QTest::newRow("aligned texts")
            << QStringList{QStringLiteral("      100.00"), QStringLiteral("200"), QString()}
            << QStringLiteral("300.00");
        QTest::newRow("12.25 rounds up") << QStringList{QStringLiteral("12.25"), {}, {}}
                                         << QStringLiteral("12.30");
        QTest::newRow("12.24 rounds down") << QStringList{QStringLiteral("12.24"), {}, {}}
                                           << QStringLiteral("12.20");
        QTest::newRow("234.56") << QStringList{QStringLiteral("200"), QStringLiteral("34.5"),
                                               QStringLiteral("0.06")}
                                << QStringLiteral("234.60");
        QTest::newRow("sum of noisy halves")
            << QStringList{QStringLiteral("0.1"), QStringLiteral("0.2"), QStringLiteral("0.05")}
            << QStringLiteral("0.40");
        QTest::newRow("blanks count as empty")
            << QStringList{QStringLiteral(" \t "), QStringLiteral("5"), {}}
            << QStringLiteral("5.00");
        QTest::newRow("not a number in the middle")
            << QStringList{QStringLiteral("1"), QStringLiteral("1.2.3"), QStringLiteral("2")}
            << Keep;
    }
    void sums()
    {
        QFETCH(QStringList, inputs);
        QFETCH(QString, expected);
        VehicleRecord r;
        for (int i = 0; i < 3; ++i) {
            r.edit[std::size_t(5 + i)] = inputs[i];
            r.edit[std::size_t(8 + i)] = inputs[i];
        }
        QCOMPARE(shown(Calcul1(r)), expected);
        QCOMPARE(shown(Calcul2(r)), expected);
    }

    void runningCostPerKm_data()
    {
        // Edit13 price/l, Edit14 l/100 km, Edit15 maintenance, Edit24 its interval,
        // Edit16 tyre price, Edit17 tyre life.
        QTest::addColumn<QStringList>("inputs");
        QTest::addColumn<QString>("expected");
        const auto L = [](std::initializer_list<const char *> l) {
            QStringList out;
            for (const char *s : l)
                out << QString::fromLatin1(s);
            return out;
        };
        QTest::newRow("no consumption") << L({"6.50", "", "1000", "10000", "100", "40000"})
                                        << QStringLiteral("6.60");
        QTest::newRow("with consumption") << L({"6.50", "8", "1000", "10000", "100", "40000"})
                                          << QStringLiteral("0.60");
        QTest::newRow("all empty") << L({"", "", "", "", "", ""}) << QStringLiteral("0.00");
        QTest::newRow("maintenance without interval") << L({"", "", "500", "", "", ""})
                                                      << QStringLiteral("500.00");
        QTest::newRow("maintenance with zero interval") << L({"", "", "500", "0", "", ""})
                                                        << QStringLiteral("500.00");
        QTest::newRow("tyres without life") << L({"", "", "", "", "100", ""})
                                            << QStringLiteral("400.00");
        QTest::newRow("bad tyre life") << L({"6.50", "", "", "", "100", "4O000"}) << Keep;
    }
    void runningCostPerKm()
    {
        QFETCH(QStringList, inputs);
        QFETCH(QString, expected);
        VehicleRecord r;
        const int fields[] = {13, 14, 15, 24, 16, 17};
        for (int i = 0; i < 6; ++i)
            r.edit[std::size_t(fields[i])] = inputs[i];
        QCOMPARE(shown(Calcul3(r)), expected);
    }

    void resalePrice_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QDate>("registration");
        QTest::addColumn<QDate>("evaluation");
        QTest::addColumn<QString>("horsepower");
        QTest::addColumn<QString>("km");
        QTest::addColumn<QString>("argus");
        QTest::addColumn<QString>("expected");
        const QString diesel = QStringLiteral("Diesel"), essence = QStringLiteral("Essence");
        const QDate reg(1996, 3, 15), eval(1999, 6, 20);
        const QString nine = QStringLiteral("9"), km = QStringLiteral("70000"),
                      argus = QStringLiteral("50000");
        const QDate y2000(2000, 1, 1);

        QTest::newRow("worked example") << diesel << reg << eval << nine << km << argus
                                        << QStringLiteral("52975.00");
        QTest::newRow("day ignored") << diesel << QDate(1996, 3, 31) << QDate(1999, 6, 1) << nine
                                     << km << argus << QStringLiteral("52975.00");
        QTest::newRow("small letters") << QStringLiteral("diesel") << reg << eval << nine << km
                                       << argus << QStringLiteral("52975.00");
        // 39 * 1700 = 66300: (66300 - 70000) * 0.25 = -925
        QTest::newRow("Gpl") << QStringLiteral("Gpl") << reg << eval << nine << km << argus
                             << QStringLiteral("49075.00");
        // 39 * 1250 = 48750: (48750 - 70000) * 0.25 = -5312.5
        QTest::newRow("leading space is petrol") << QStringLiteral(" Diesel") << reg << eval
                                                 << nine << km << argus
                                                 << QStringLiteral("44687.50");
        QTest::newRow("accent is not raised") << QStringLiteral("diésel") << reg << eval << nine
                                              << km << argus << QStringLiteral("44687.50");
        // Petrol, 0 km, Argus 0: the price is months * 1250 * K.
        const QString none;
        QTest::newRow("24 months first row") << essence << y2000 << QDate(2002, 1, 1) << nine
                                             << none << none << QStringLiteral("13500.00");
        QTest::newRow("25 months second row") << essence << y2000 << QDate(2002, 2, 1) << nine
                                              << none << none << QStringLiteral("10937.50");
        QTest::newRow("500 months last row") << essence << y2000 << QDate(2041, 9, 1)
                                             << QStringLiteral("100") << none << none
                                             << QStringLiteral("187500.00");
        QTest::newRow("501 months: Argus") << essence << y2000 << QDate(2041, 10, 1) << nine
                                           << km << argus << QStringLiteral("50000.00");
        QTest::newRow("negative age: Argus") << diesel << eval << reg << nine << km << argus
                                             << QStringLiteral("50000.00");
        QTest::newRow("1 CV: Argus") << diesel << reg << eval << QStringLiteral("1") << km
                                     << argus << QStringLiteral("50000.00");
        QTest::newRow("101 CV: Argus") << diesel << reg << eval << QStringLiteral("101") << km
                                       << argus << QStringLiteral("50000.00");
        // The remaining row and column bounds of the coefficient table, one cell each.
        const auto bound = [&](const char *name, int months, const char *cv, const char *price) {
            QTest::newRow(name) << essence << y2000 << y2000.addMonths(months)
                                << QString::fromLatin1(cv) << none << none
                                << QString::fromLatin1(price);
        };
        bound("36 months 13 CV", 36, "13", "27000.00");
        bound("37 months 16 CV", 37, "16", "20812.50");
        bound("48 months 17 CV", 48, "17", "33000.00");
        bound("49 months 12 CV", 49, "12", "12250.00");
        bound("60 months 7 CV", 60, "7", "11250.00");
        bound("61 months 13 CV", 61, "13", "19062.50");
        QTest::newRow("empty CV is 2") << essence << y2000 << QDate(2002, 1, 1) << none << none
                                       << none << QStringLiteral("9000.00");
        QTest::newRow("7.5 CV rounds to 8") << essence << y2000 << QDate(2002, 1, 1)
                                            << QStringLiteral("7.5") << none << none
                                            << QStringLiteral("13500.00");
        QTest::newRow("12.5 CV rounds to 12") << essence << y2000 << QDate(2002, 1, 1)
                                              << QStringLiteral("12.5") << none << none
                                              << QStringLiteral("13500.00");
        QTest::newRow("bad CV") << diesel << reg << eval << QStringLiteral("9 CV") << km << argus
                                << Keep;
        QTest::newRow("bad km") << diesel << reg << eval << nine << QStringLiteral("7O000")
                                << argus << Keep;
        QTest::newRow("bad Argus") << diesel << reg << eval << nine << km
                                   << QStringLiteral("1.2.3") << Keep;
        QTest::newRow("no evaluation date") << diesel << reg << QDate() << nine << km << argus
                                            << Keep;
    }
    void resalePrice()
    {
        QFETCH(QString, type);
        QFETCH(QDate, registration);
        QFETCH(QDate, evaluation);
        QFETCH(QString, horsepower);
        QFETCH(QString, km);
        QFETCH(QString, argus);
        QFETCH(QString, expected);
        VehicleRecord r;
        r.ComboBox1 = type;
        r.DateTimePicker2 = registration;
        r.DateTimePicker3 = evaluation;
        r.edit[22] = horsepower;
        r.edit[21] = km;
        r.edit[19] = argus;
        QCOMPARE(shown(Calcul4(r)), expected);
    }

    void optionsValueNeverMovesThePrice()
    {
        VehicleRecord r = diesel();
        for (const QString &options : {QString(), QStringLiteral("9999"), QStringLiteral("x")}) {
            r.edit[20] = options;
            QCOMPARE(shown(Calcul4(r)), QStringLiteral("52975.00"));
        }
    }

    void fuelFigures_data()
    {
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QString>("consumption");
        QTest::addColumn<QString>("pricePerLitre");
        const QString a = QStringLiteral("01/01/1999;;300.00;40.00;10000.00");
        const QString b = QStringLiteral("15/01/1999;;350.00;45.00;10500.00");
        QTest::newRow("no rows") << QStringList{} << Keep << Keep;
        QTest::newRow("one row") << QStringList{b} << Keep << Keep;
        QTest::newRow("two rows") << QStringList{a, b} << QStringLiteral("8.00")
                                  << QStringLiteral("7.50");
        QTest::newRow("distance 5")
            << QStringList{a, QStringLiteral("d;;1;1;10005")} << Keep << Keep;
        QTest::newRow("litres 1.5")
            << QStringList{QStringLiteral("d;;15;1.5;10000"), b} << Keep << Keep;
        QTest::newRow("exactly 10 km and 2 l")
            << QStringList{QStringLiteral("d;;10;2;100"), QStringLiteral("d;;;;110")}
            << QStringLiteral("20.00") << QStringLiteral("5.00");
        QTest::newRow("odometer going down")
            << QStringList{QStringLiteral("d;;10;2;110"), QStringLiteral("d;;;;100")}
            << QStringLiteral("20.00") << QStringLiteral("5.00");
        QTest::newRow("price half a cent")
            << QStringList{QStringLiteral("d;;70.05;10;1000"), QStringLiteral("d;;;;2000")}
            << QStringLiteral("1.00") << QStringLiteral("7.01");
        QTest::newRow("newest without odometer")
            << QStringList{a, QStringLiteral("d;;350;45;")} << QStringLiteral("0.40")
            << QStringLiteral("7.50");
        QTest::newRow("oldest rows without odometer")
            << QStringList{QStringLiteral("d;;100;10;"), QStringLiteral("d;;200;30;10000"), b}
            << QStringLiteral("8.00") << QStringLiteral("7.50");
        QTest::newRow("bad amount skips the row")
            << QStringList{QStringLiteral("d;;x;10;9000"), a, b} << QStringLiteral("8.00")
            << QStringLiteral("7.50");
        QTest::newRow("bad litres keeps the amount")
            << QStringList{QStringLiteral("d;;100;;9000"), a, b} << QStringLiteral("8.00")
            << QStringLiteral("10.00");
        QStringList twelve{QStringLiteral("d;;99999;99999;1"), QStringLiteral("d;;x;x;x")};
        for (int i = 0; i < 10; ++i)
            twelve << QStringLiteral("d;;100;10;%1").arg(1000 + 100 * i);
        // Nine rows counted: 900 francs, 90 litres over 900 km.
        QTest::newRow("only the last ten rows") << twelve << QStringLiteral("10.00")
                                                << QStringLiteral("10.00");
    }
    void fuelFigures()
    {
        QFETCH(QStringList, rows);
        QFETCH(QString, consumption);
        QFETCH(QString, pricePerLitre);
        VehicleRecord r;
        r.ListView1 = fuelRows(rows);
        const Calcul5Result c = Calcul5(r);
        QCOMPARE(shown(c.consumption), consumption);
        QCOMPARE(shown(c.pricePerLitre), pricePerLitre);
    }

    void computeAllFillsAndKeeps()
    {
        VehicleRecord r = diesel();
        r.edit[5] = QStringLiteral("100");
        r.edit[8] = QStringLiteral("nope");
        r.edit[12] = QStringLiteral("old");
        r.edit[13] = QStringLiteral("6.50");
        r.edit[25] = QStringLiteral("typed");
        r.edit[26] = QStringLiteral("typed");
        r.modified = true;
        computeAll(r);
        QCOMPARE(r.edit[11], QStringLiteral("100.00"));
        QCOMPARE(r.edit[12], QStringLiteral("old"));
        QCOMPARE(r.edit[18], QStringLiteral("6.50"));
        QCOMPARE(r.edit[23], QStringLiteral("52975.00"));
        QCOMPARE(r.edit[25], QStringLiteral("typed"));
        QCOMPARE(r.edit[26], QStringLiteral("typed"));
        QVERIFY(r.modified);

        r.ListView1 = fuelRows({QStringLiteral("d;;300;40;10000"), QStringLiteral("d;;;;10500")});
        applyCalcul(r, 5);
        QCOMPARE(r.edit[25], QStringLiteral("8.00"));
        QCOMPARE(r.edit[26], QStringLiteral("7.50"));
    }
};

QTEST_APPLESS_MAIN(TestCalculations)
#include "tst_calculations.moc"
