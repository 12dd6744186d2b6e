#include "core/utilities/calendrier.h"

#include <QTest>

using namespace calendrier;
using namespace Qt::StringLiterals;

class TestCalendrier : public QObject {
    Q_OBJECT
private slots:
    void stepMonth_data();
    void stepMonth();
    void grid_data();
    void grid();
    void caption_data();
    void caption();
    void captionUsesStandaloneMonthName();
    void dayNamesSundayFirst();
};

void TestCalendrier::stepMonth_data()
{
    QTest::addColumn<QDate>("from");
    QTest::addColumn<int>("delta");
    QTest::addColumn<QDate>("expected");

    QTest::newRow("31 Jan -> 28 Feb") << QDate(2026, 1, 31) << 1 << QDate(2026, 2, 28);
    QTest::newRow("28 Feb -> 28 Mar, not 31") << QDate(2026, 2, 28) << 1 << QDate(2026, 3, 28);
    QTest::newRow("31 Jan -> 29 Feb, leap") << QDate(2024, 1, 31) << 1 << QDate(2024, 2, 29);
    QTest::newRow("1900 is not leap") << QDate(1900, 3, 31) << -1 << QDate(1900, 2, 28);
    QTest::newRow("2000 is leap") << QDate(2000, 3, 31) << -1 << QDate(2000, 2, 29);
    QTest::newRow("31 May -> 30 Jun") << QDate(2026, 5, 31) << 1 << QDate(2026, 6, 30);
    QTest::newRow("December -> January") << QDate(1998, 12, 15) << 1 << QDate(1999, 1, 15);
    QTest::newRow("January -> December") << QDate(1999, 1, 15) << -1 << QDate(1998, 12, 15);
    QTest::newRow("31 Dec -> 31 Jan") << QDate(2026, 12, 31) << 1 << QDate(2027, 1, 31);
}

void TestCalendrier::stepMonth()
{
    QFETCH(QDate, from);
    QFETCH(int, delta);
    QFETCH(QDate, expected);
    QCOMPARE(calendrier::stepMonth(from, delta), expected);
}

void TestCalendrier::grid_data()
{
    QTest::addColumn<int>("year");
    QTest::addColumn<int>("month");
    QTest::addColumn<int>("firstColumn");   // 0 = Sunday
    QTest::addColumn<int>("lastRow");

    QTest::newRow("Feb 2026: starts Sunday, four rows") << 2026 << 2 << 0 << 4;
    QTest::newRow("Aug 2026: starts Saturday, six rows") << 2026 << 8 << 6 << 6;
    QTest::newRow("Jan 2026: starts Thursday") << 2026 << 1 << 4 << 5;
    QTest::newRow("Feb 2024: leap") << 2024 << 2 << 4 << 5;
}

void TestCalendrier::grid()
{
    QFETCH(int, year);
    QFETCH(int, month);
    QFETCH(int, firstColumn);
    QFETCH(int, lastRow);
    const MonthGrid g(year, month);
    QCOMPARE(g.columnOf(1), firstColumn);
    QCOMPARE(g.rowOf(1), 1);
    QCOMPARE(g.rowOf(g.days()), lastRow);

    // Every day sits in exactly one cell, in order, and in its weekday's column; all other
    // cells (the names row included) are empty.
    int expected = 1;
    for (int row = 0; row < MonthGrid::Rows; ++row) {
        for (int column = 0; column < MonthGrid::Columns; ++column) {
            const int day = g.dayAt(row, column);
            if (day == 0)
                continue;
            QCOMPARE(day, expected++);
            QCOMPARE(row, g.rowOf(day));
            QCOMPARE(column, g.columnOf(day));
            QCOMPARE(QDate(year, month, day).dayOfWeek() % 7, column);
        }
    }
    QCOMPARE(expected - 1, daysInMonth(year, month));
    QCOMPARE(g.dayAt(1, firstColumn - 1), 0);
    QCOMPARE(g.dayAt(-1, 0), 0);
    QCOMPARE(g.dayAt(1, 7), 0);
}

void TestCalendrier::caption_data()
{
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QString>("expected");
    QTest::newRow("janvier") << QDate(1999, 1, 15) << u"janvier  1999"_s;
    QTest::newRow("accented") << QDate(1998, 12, 15) << u"décembre  1998"_s;
    QTest::newRow("août") << QDate(2026, 8, 1) << u"août  2026"_s;
}

void TestCalendrier::caption()
{
    QFETCH(QDate, date);
    QFETCH(QString, expected);
    QCOMPARE(calendrier::caption(date, QLocale(QLocale::French, QLocale::France)), expected);
}

// A month name on its own, not the form used inside a full date ("stycznia 2026" is wrong Polish).
void TestCalendrier::captionUsesStandaloneMonthName()
{
    QCOMPARE(calendrier::caption(QDate(2026, 1, 15), QLocale(QLocale::Polish)), u"styczeń  2026"_s);
    QCOMPARE(calendrier::caption(QDate(2026, 8, 15), QLocale(QLocale::Russian)), u"август  2026"_s);
}

void TestCalendrier::dayNamesSundayFirst()
{
    const QLocale fr(QLocale::French, QLocale::France);
    QVERIFY(MonthGrid::dayName(0, fr).startsWith(u"dim"_s));
    QVERIFY(MonthGrid::dayName(6, fr).startsWith(u"sam"_s));
}

QTEST_APPLESS_MAIN(TestCalendrier)
#include "tst_calendrier.moc"
