#include "core/reports/yearlysums.h"
#include "core/vehicle/textrules.h"

#include <QRandomGenerator>
#include <QTest>

#include <cmath>

using namespace yearlysums;

namespace {

const QDate kToday(2026, 6, 15);

VehicleRecord bought(int year, const QString &insurance = {}, const QString &vignette = {})
{
    VehicleRecord r = VehicleRecord::create(kToday);
    r.DateTimePicker1 = QDate(year, 3, 1);
    r.edit[6] = insurance;
    r.edit[7] = vignette;
    return r;
}

void fuel(VehicleRecord &r, const QString &date, const QString &amount)
{
    r.ListView1.push_back({date, QStringLiteral("Plein"), amount, QStringLiteral("40.00"),
                           QStringLiteral("1000.00")});
}
void garage(VehicleRecord &r, const QString &date, const QString &amount)
{
    r.ListView2.push_back({date, QStringLiteral("Vidange"), amount, QStringLiteral("1000.00")});
}
void parking(VehicleRecord &r, const QString &date, const QString &amount)
{
    r.ListView3.push_back({date, QStringLiteral("Parking"), amount});
}

QStringList row(const StatsTable &t, int r)
{
    const auto &cells = t.cells[std::size_t(r)];
    return QStringList(cells.begin(), cells.end());
}

QStringList cells(std::initializer_list<const char *> texts)
{
    QStringList l;
    for (const char *t : texts)
        l << QString::fromUtf8(t);
    return l;
}

// The filling read literally: year by year, each ledger in list order, stopping at the first
// text that is not a number.
YearlyFill naiveFill(const VehicleRecord &r, const QDate &today, int maxYears)
{
    YearlyFill f;
    const int last = today.year();
    const int first = std::max(r.DateTimePicker1.year(), last - maxYears + 1);
    for (int y = first; y <= last; ++y) {
        YearFigures fig;
        fig.year = y;
        auto sum = [y](const auto &ledger, long double &into) {
            for (const auto &e : ledger) {
                const std::optional<int> ey = dateYear(e[col::Date]);
                if (!ey)
                    return false;
                if (*ey != y)
                    continue;
                const textrules::NumberRead a = textrules::readNumber(e[col::Montant]);
                if (a.kind == textrules::NumberKind::NotNumber)
                    return false;
                into += a.value;
            }
            return true;
        };
        if (!sum(r.ListView1, fig.fuel) || !sum(r.ListView2, fig.garage)
            || !sum(r.ListView3, fig.parking))
            return f;
        long double ins = 0;
        for (int n : {6, 7}) {
            const textrules::NumberRead v = textrules::readNumber(r.edit[std::size_t(n)]);
            if (v.kind == textrules::NumberKind::NotNumber) {
                f.cutYear = fig;
                return f;
            }
            ins += v.value;
        }
        f.insuranceVignette = ins;
        f.years.push_back(fig);
    }
    return f;
}

// Same sums, up to the last bits of a reading that may round the decimal texts differently.
bool sameFigures(const YearFigures &a, const YearFigures &b)
{
    auto close = [](long double x, long double y) {
        return std::abs(double(x - y)) <= 1e-9 * std::max(1.0, std::abs(double(x)));
    };
    return a.year == b.year && close(a.fuel, b.fuel) && close(a.garage, b.garage)
           && close(a.parking, b.parking);
}

} // namespace

class TestYearlySums : public QObject {
    Q_OBJECT
private slots:
    void oneYear();
    void yearsWithEmptyLedgers();
    void insuranceRoundedToFrancs_data();
    void insuranceRoundedToFrancs();
    void entryCountsInTheYearOfItsDateText();
    void sumsRoundedOnlyOnceShown();
    void fillingStops_data();
    void fillingStops();
    void mostRecentYearsWhenTooMany();
    void onePassMatchesYearByYear();
};

void TestYearlySums::oneYear()
{
    VehicleRecord r = bought(2026, QStringLiteral("   100.00"));
    fuel(r, QStringLiteral("02/03/2026"), QStringLiteral("300.25"));
    fuel(r, QStringLiteral("10/04/2026"), QStringLiteral("200.25"));
    garage(r, QStringLiteral("11/04/2026"), QStringLiteral("80.00"));
    parking(r, QStringLiteral("12/04/2026"), QStringLiteral("3.50"));
    const StatsTable t = statsTable(r, kToday);
    QCOMPARE(row(t, 0), cells({"Année", "Carburant", "Garage", "Stationn.", "Ass./Vig.", "Total"}));
    QCOMPARE(row(t, 1), cells({"2026", "500.50", "80.00", "3.50", "100.00", "684.00"}));
    QCOMPARE(row(t, 2), cells({"", "", "", "", "", ""}));
    QCOMPARE(t.totalRow, 3);
    QCOMPARE(row(t, 3), cells({"Total", "500.50", "80.00", "3.50", "100.00", "684.00"}));
}

void TestYearlySums::yearsWithEmptyLedgers()
{
    const StatsTable t = statsTable(bought(2023, QStringLiteral("  3000.00"), QStringLiteral("500")), kToday);
    for (int r = 1; r <= 4; ++r)
        QCOMPARE(row(t, r), QStringList({QString::number(2022 + r), QStringLiteral("0.00"),
                                         QStringLiteral("0.00"), QStringLiteral("0.00"),
                                         QStringLiteral("3500.00"), QStringLiteral("3500.00")}));
    QCOMPARE(t.totalRow, 6);
    QCOMPARE(row(t, 6), cells({"Total", "0.00", "0.00", "0.00", "14000.00", "14000.00"}));

    // Bought after today: no year, the totals right after the empty first row.
    const StatsTable none = statsTable(bought(2027, QStringLiteral("3000")), kToday);
    QCOMPARE(none.totalRow, 2);
    QCOMPARE(row(none, 1), cells({"", "", "", "", "", ""}));
    QCOMPARE(row(none, 2), cells({"Total", "0.00", "0.00", "0.00", "0.00", "0.00"}));
}

void TestYearlySums::insuranceRoundedToFrancs_data()
{
    QTest::addColumn<QString>("insurance");
    QTest::addColumn<QString>("vignette");
    QTest::addColumn<QString>("shown");
    QTest::newRow("sum rounded up") << "  1234.50" << "0.25" << "1235.00";
    QTest::newRow("half away from zero") << "1234.25" << "0.25" << "1235.00";
    QTest::newRow("rounded down") << "1234.49" << "" << "1234.00";
    QTest::newRow("both empty") << "" << "   " << "0.00";
}

void TestYearlySums::insuranceRoundedToFrancs()
{
    QFETCH(QString, insurance);
    QFETCH(QString, vignette);
    QFETCH(QString, shown);
    const StatsTable t = statsTable(bought(2026, insurance, vignette), kToday);
    QCOMPARE(t.cells[1][4], shown);
    QCOMPARE(t.cells[1][5], shown);
}

void TestYearlySums::entryCountsInTheYearOfItsDateText()
{
    VehicleRecord r = bought(2024);
    fuel(r, QStringLiteral("31/12/2024"), QStringLiteral("10.00"));
    fuel(r, QStringLiteral("01/01/2025"), QStringLiteral("20.00"));
    parking(r, QStringLiteral("15/06/2023"), QStringLiteral("1.00"));  // before the purchase
    parking(r, QStringLiteral("01/01/2027"), QStringLiteral("2.00"));  // after this year
    parking(r, QStringLiteral("1/1/2025"), QStringLiteral("4.00"));    // characters 7-10: "25"
    const StatsTable t = statsTable(r, kToday);
    QCOMPARE(t.cells[1][1], QStringLiteral("10.00"));
    QCOMPARE(t.cells[2][1], QStringLiteral("20.00"));
    QCOMPARE(t.totalRow, 5);
    QCOMPARE(t.cells[5][3], QStringLiteral("0.00")); // total of parking

    QCOMPARE(dateYear(QStringLiteral("31/12/2024")), std::optional<int>(2024));
    QCOMPARE(dateYear(QStringLiteral("1/1/2025")), std::optional<int>(25));
    QCOMPARE(dateYear(QStringLiteral("")), std::nullopt);
    QCOMPARE(dateYear(QStringLiteral("01/01/20x5")), std::nullopt);
}

void TestYearlySums::sumsRoundedOnlyOnceShown()
{
    VehicleRecord r = bought(2026);
    for (int i = 0; i < 3; ++i)
        fuel(r, QStringLiteral("01/02/2026"), QStringLiteral("0.004"));
    garage(r, QStringLiteral("01/02/2026"), QStringLiteral("0.126"));
    parking(r, QStringLiteral("01/02/2026"), QStringLiteral("0.126"));
    const StatsTable t = statsTable(r, kToday);
    QCOMPARE(t.cells[1][1], QStringLiteral("0.01")); // 0.012, not three times 0.00
    // The row total adds the figures as shown: 0.01 + 0.13 + 0.13.
    QCOMPARE(t.cells[1][5], QStringLiteral("0.27"));
    QCOMPARE(t.cells[3][5], QStringLiteral("0.27"));
}

void TestYearlySums::fillingStops_data()
{
    QTest::addColumn<VehicleRecord>("record");
    QTest::addColumn<int>("fullRows");
    QTest::addColumn<bool>("cutRow");

    VehicleRecord badAmount = bought(2024, QStringLiteral("10"));
    fuel(badAmount, QStringLiteral("01/01/2024"), QStringLiteral("5.00"));
    garage(badAmount, QStringLiteral("01/05/2025"), QStringLiteral("1.2.3"));
    QTest::newRow("bad amount in the second year") << badAmount << 1 << false;

    VehicleRecord badDate = bought(2024, QStringLiteral("10"));
    fuel(badDate, QStringLiteral("01/01/2024"), QStringLiteral("5.00"));
    parking(badDate, QStringLiteral("pas de date"), QStringLiteral("5.00"));
    QTest::newRow("date without a year") << badDate << 0 << false;

    VehicleRecord badInsurance = bought(2024, QStringLiteral("abc"));
    fuel(badInsurance, QStringLiteral("01/01/2024"), QStringLiteral("5.00"));
    QTest::newRow("insurance not a number") << badInsurance << 0 << true;

    VehicleRecord outside = bought(2024, QStringLiteral("10"));
    fuel(outside, QStringLiteral("01/01/2019"), QStringLiteral("x"));
    fuel(outside, QStringLiteral("01/01/2024"), QString());
    QTest::newRow("bad amount outside the years, empty amount") << outside << 3 << false;
}

void TestYearlySums::fillingStops()
{
    QFETCH(VehicleRecord, record);
    QFETCH(int, fullRows);
    QFETCH(bool, cutRow);
    const StatsTable t = statsTable(record, kToday);
    for (int r = 1; r <= fullRows; ++r)
        QVERIFY(!t.cells[std::size_t(r)][4].isEmpty());
    const int cut = fullRows + 1;
    if (cutRow) {
        // Year and ledger sums placed, the insurance not: its cell counts as 0 in the totals.
        QCOMPARE(t.cells[std::size_t(cut)][0], QStringLiteral("2024"));
        QCOMPARE(t.cells[std::size_t(cut)][1], QStringLiteral("5.00"));
        QCOMPARE(t.cells[std::size_t(cut)][4], QString());
        QCOMPARE(t.cells[std::size_t(cut)][5], QStringLiteral("5.00"));
        QCOMPARE(t.totalRow, cut + 2);
    } else {
        QCOMPARE(t.cells[std::size_t(cut)][0], QString());
        QCOMPARE(t.totalRow, cut + 1);
    }
    // The chart never shows a year whose insurance could not be read.
    QCOMPARE(int(yearlyFill(record, kToday, kChartYears).years.size()), fullRows);
}

void TestYearlySums::mostRecentYearsWhenTooMany()
{
    VehicleRecord r = bought(1950, QStringLiteral("1"));
    fuel(r, QStringLiteral("01/01/1960"), QStringLiteral("oops")); // older than what is shown
    fuel(r, QStringLiteral("01/01/1965"), QStringLiteral("7.00"));
    const StatsTable t = statsTable(r, kToday);
    QCOMPARE(t.cells[1][0], QStringLiteral("1965"));
    QCOMPARE(t.cells[1][1], QStringLiteral("7.00"));
    QCOMPARE(t.cells[62][0], QStringLiteral("2026"));
    QCOMPARE(t.totalRow, 63);
    QCOMPARE(t.cells[63][1], QStringLiteral("7.00"));

    const YearlyFill chart = yearlyFill(r, kToday, kChartYears);
    QCOMPARE(int(chart.years.size()), kChartYears);
    QCOMPARE(chart.years.front().year, 1987);

    // A bad amount inside the grid's years but before the chart's: the grid stops there, the
    // chart does not see it.
    fuel(r, QStringLiteral("01/01/1980"), QStringLiteral("oops"));
    const YearlyScan scan = scanYears(r, kToday, kGridYears);
    QCOMPARE(int(scan.fill(kGridYears).years.size()), 1980 - 1965);
    QCOMPARE(int(scan.fill(kChartYears).years.size()), kChartYears);
}

void TestYearlySums::onePassMatchesYearByYear()
{
    QRandomGenerator rng(20260615);
    const QStringList odd{QStringLiteral("abc"), QString(), QStringLiteral("1.2.3"),
                          QStringLiteral("  "), QStringLiteral("-4.5"), QStringLiteral("1e3")};
    for (int round = 0; round < 400; ++round) {
        VehicleRecord r = bought(2026 - rng.bounded(80));
        const bool oddTexts = rng.bounded(3) == 0;
        auto amount = [&] {
            if (oddTexts && rng.bounded(40) == 0)
                return odd[rng.bounded(odd.size())];
            const QString a = QString::number(rng.bounded(100000) / 100.0, 'f', 2);
            return rng.bounded(8) == 0 ? QStringLiteral(" -") + a : a;
        };
        auto date = [&] {
            if (oddTexts && rng.bounded(300) == 0)
                return rng.bounded(2) ? QStringLiteral("01/01/19") : QStringLiteral("1/1/20ab");
            return QStringLiteral("%1/%2/%3")
                .arg(rng.bounded(1, 29), 2, 10, QLatin1Char('0'))
                .arg(rng.bounded(1, 13), 2, 10, QLatin1Char('0'))
                .arg(1940 + rng.bounded(90));
        };
        r.edit[6] = oddTexts && rng.bounded(10) == 0 ? QStringLiteral("x") : amount();
        r.edit[7] = rng.bounded(2) ? QString() : QStringLiteral("  250.00");
        for (int i = 0, n = rng.bounded(60); i < n; ++i) {
            switch (rng.bounded(3)) {
            case 0: fuel(r, date(), amount()); break;
            case 1: garage(r, date(), amount()); break;
            default: parking(r, date(), amount()); break;
            }
        }
        for (int cap : {kGridYears, kChartYears}) {
            const YearlyFill fast = yearlyFill(r, kToday, cap);
            const YearlyFill slow = naiveFill(r, kToday, cap);
            QCOMPARE(fast.years.size(), slow.years.size());
            for (std::size_t i = 0; i < fast.years.size(); ++i)
                QVERIFY(sameFigures(fast.years[i], slow.years[i]));
            QCOMPARE(fast.cutYear.has_value(), slow.cutYear.has_value());
            if (fast.cutYear)
                QVERIFY(sameFigures(*fast.cutYear, *slow.cutYear));
            if (!fast.years.empty())
                QCOMPARE(double(fast.insuranceVignette), double(slow.insuranceVignette));
        }
    }
}

QTEST_APPLESS_MAIN(TestYearlySums)
#include "tst_yearlysums.moc"
