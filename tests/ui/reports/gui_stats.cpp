#include "ui/reports/TStats.h"

#include <QFontMetrics>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

namespace {
const QDate kToday(2026, 6, 15);

VehicleRecord bought(int year)
{
    VehicleRecord r = VehicleRecord::create(kToday);
    r.DateTimePicker1 = QDate(year, 1, 10);
    r.edit[6] = QStringLiteral("  3000.00");
    r.edit[7] = QStringLiteral("   500.00");
    return r;
}
} // namespace

class TestStats : public QObject {
    Q_OBJECT
private slots:
    void windowAndHeadings();
    void figuresRightAlignedInTheWindowFont();
    void refillLeavesNothingOfTheLastDocument();
    void initReadsWhatTheGridHolds();
    void escapeAndButtonClose();
};

void TestStats::windowAndHeadings()
{
    TStats s;
    QCOMPARE(s.windowTitle(), QStringLiteral("Statistiques"));
    QCOMPARE(s.size(), QSize(584, 375));
    auto *button = s.findChild<QPushButton *>(QStringLiteral("Button1"));
    QVERIFY(button);
    QCOMPARE(button->text(), QStringLiteral("Fermer"));
    QCOMPARE(button->geometry(), QRect(471, 4, 75, 25));
    QCOMPARE(s.findChild<QWidget *>(QStringLiteral("Panel1"))->height(), 33);
    QVERIFY(s.findChild<QTableWidget *>(QStringLiteral("StringGrid1")));

    const QStringList headings{QStringLiteral("        Année"), QStringLiteral("  Carburant"),
                               QStringLiteral("    Garage"), QStringLiteral("      Stationn."),
                               QStringLiteral("      Ass./Vig."), QStringLiteral("         Total")};
    for (int c = 0; c < 6; ++c) {
        QCOMPARE(s.cell(c, 0), headings[c]);
        QCOMPARE(s.grid()->columnWidth(c), 90);
    }
    QCOMPARE(s.rowCount(), 64);
    QCOMPARE(s.grid()->rowCount(), 63); // row 0 is the header that stays in view

    // Read-only: typing into a cell changes nothing.
    s.fillFrom(bought(2026), kToday);
    s.show();
    s.grid()->setCurrentCell(0, 1);
    const QString before = s.cell(1, 1);
    QTest::keyClicks(s.grid(), QStringLiteral("99"));
    QTest::keyClick(s.grid(), Qt::Key_F2);
    QTest::keyClicks(s.grid(), QStringLiteral("99"));
    QTest::keyClick(s.grid(), Qt::Key_Return);
    QCOMPARE(s.cell(1, 1), before);
}

void TestStats::figuresRightAlignedInTheWindowFont()
{
    TStats s;
    s.fillFrom(bought(2023), kToday);
    const QFontMetrics fm(s.font());
    for (int r = 1; r <= 4; ++r) {
        const QString year = s.cell(0, r);
        QVERIFY2(year.startsWith(QStringLiteral("     ")), qPrintable(year));
        QCOMPARE(year.trimmed(), QString::number(2022 + r));
        QCOMPARE(s.cell(4, r).trimmed(), QStringLiteral("3500.00"));
        for (int c = 1; c <= 5; ++c) {
            const QString t = s.cell(c, r);
            QVERIFY2(fm.horizontalAdvance(t) > 80 && fm.horizontalAdvance(t.mid(1)) <= 80,
                     qPrintable(t));
        }
    }
    QCOMPARE(s.cell(0, 5), QString());
    QCOMPARE(s.cell(0, 6), QStringLiteral("          Total"));
    QCOMPARE(s.cell(4, 6).trimmed(), QStringLiteral("14000.00"));
    QCOMPARE(s.cell(5, 6).trimmed(), QStringLiteral("14000.00"));
    QCOMPARE(s.Rset(90, 14000), s.cell(5, 6));
}

void TestStats::refillLeavesNothingOfTheLastDocument()
{
    TStats s;
    s.fillFrom(bought(1940), kToday); // more years than rows: the most recent ones
    QCOMPARE(s.cell(0, 1).trimmed(), QStringLiteral("1965"));
    QCOMPARE(s.cell(0, 62).trimmed(), QStringLiteral("2026"));
    QCOMPARE(s.cell(0, 63), QStringLiteral("          Total"));

    s.fillFrom(bought(2026), kToday);
    QCOMPARE(s.cell(0, 3), QStringLiteral("          Total"));
    for (int r = 4; r < 64; ++r)
        for (int c = 0; c < 6; ++c)
            QCOMPARE(s.cell(c, r), QString());
}

void TestStats::initReadsWhatTheGridHolds()
{
    TStats s;
    s.Raz();
    s.grid()->item(0, 0)->setText(QStringLiteral("     2025"));
    s.grid()->item(0, 1)->setText(QStringLiteral("     10.00"));
    s.grid()->item(0, 4)->setText(QStringLiteral("     2.50"));
    s.grid()->item(1, 0)->setText(QStringLiteral("     2026"));
    s.grid()->item(1, 2)->setText(QStringLiteral("     1.00"));
    s.Init();
    QCOMPARE(s.cell(5, 1).trimmed(), QStringLiteral("12.50"));
    QCOMPARE(s.cell(5, 2).trimmed(), QStringLiteral("13.50")); // 10.00 and 2.50 carried down
    QCOMPARE(s.cell(1, 4).trimmed(), QStringLiteral("20.00"));
    QCOMPARE(s.cell(5, 4).trimmed(), QStringLiteral("26.00"));
}

void TestStats::escapeAndButtonClose()
{
    TStats s;
    s.fillFrom(bought(2026), kToday);
    QTimer::singleShot(0, &s, [&s] { QTest::keyClick(s.grid(), Qt::Key_Escape); });
    QCOMPARE(s.exec(), int(QDialog::Rejected));
    QVERIFY(!s.isVisible());
    QCOMPARE(s.cell(0, 1).trimmed(), QStringLiteral("2026")); // the contents stay
}

QTEST_MAIN(TestStats)
#include "gui_stats.moc"
