#include "core/utilities/euro.h"

#include <QTest>

using namespace Qt::StringLiterals;

using Direction = EuroConverter::Direction;

class TestEuro : public QObject {
    Q_OBJECT
private slots:
    void conversion_data();
    void conversion();
    void keys_data();
    void keys();
    void buttonsAfterResult();
    void rate();
};

void TestEuro::conversion_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<qint64>("rate");
    QTest::addColumn<bool>("toEuros");
    QTest::addColumn<QString>("result"); // empty: the conversion fails

    const qint64 r = EuroConverter::StartRate;
    QTest::newRow("100 F") << u"100"_s << r << true << u"15,24"_s;
    QTest::newRow("1 EUR") << u"1"_s << r << false << u"6,6"_s;
    QTest::newRow("10 EUR") << u"10"_s << r << false << u"65,6"_s;
    QTest::newRow("100 EUR") << u"100"_s << r << false << u"656"_s;
    QTest::newRow("whole euros") << u"655,957"_s << r << true << u"100"_s;
    QTest::newRow("lone comma") << u","_s << r << true << u"0"_s;
    QTest::newRow("trailing comma") << u"100,"_s << r << true << u"15,24"_s;
    QTest::newRow("leading comma") << u",5"_s << r << false << u"3,3"_s;
    QTest::newRow("empty") << QString() << r << true << QString();
    QTest::newRow("two commas") << u"1,2,3"_s << r << true << QString();
    // Exact decimal halves go to the even neighbour.
    QTest::newRow("half cent down") << u"0,125"_s << qint64(100000) << true << u"0,12"_s;
    QTest::newRow("half cent up") << u"0,135"_s << qint64(100000) << true << u"0,14"_s;
    QTest::newRow("half tenth down") << u"0,25"_s << qint64(100000) << false << u"0,2"_s;
    QTest::newRow("half tenth up") << u"0,35"_s << qint64(100000) << false << u"0,4"_s;
    // The counts are signed 32-bit: 2147483647 cents, 2147483647 tenths of a franc.
    QTest::newRow("largest cents") << u"21474836,47"_s << qint64(100000) << true << u"21474836,47"_s;
    QTest::newRow("cents overflow") << u"21474836,48"_s << qint64(100000) << true << QString();
    QTest::newRow("largest tenths") << u"214748364,7"_s << qint64(100000) << false << u"214748364,7"_s;
    QTest::newRow("tenths overflow") << u"214748364,8"_s << qint64(100000) << false << QString();
    QTest::newRow("francs limit") << u"140800000"_s << r << true << u"21464821,63"_s;
    QTest::newRow("francs over limit") << u"140900000"_s << r << true << QString();
    QTest::newRow("euros over limit") << u"32800000"_s << r << false << QString();
    QTest::newRow("long entry") << u"0,0000000000000000000000000000001"_s << r << true << u"0"_s;
    QTest::newRow("huge entry") << u"1"_s + QString(60, u'0') << r << true << QString();
}

void TestEuro::conversion()
{
    QFETCH(QString, entry);
    QFETCH(qint64, rate);
    QFETCH(bool, toEuros);
    QFETCH(QString, result);
    const std::optional<QString> r =
        EuroConverter::convert(entry, rate, toEuros ? Direction::FrancsToEuros : Direction::EurosToFrancs);
    QCOMPARE(r.value_or(QString()), result);
    QCOMPARE(r.has_value(), !result.isEmpty());
}

void TestEuro::keys_data()
{
    QTest::addColumn<QString>("keys"); // '\r' is Enter
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("result");
    QTest::addColumn<bool>("shown");

    QTest::newRow("typing") << u"12.5"_s << u"12,5"_s << QString() << false;
    QTest::newRow("letters ignored") << u"1a2"_s << u"12"_s << QString() << false;
    QTest::newRow("convert") << u"100\r"_s << u"100"_s << u"15,24"_s << true;
    QTest::newRow("convert again") << u"100\r\r"_s << u"100"_s << u"15,24"_s << true;
    QTest::newRow("digit starts anew") << u"100\r5"_s << u"5"_s << QString() << false;
    QTest::newRow("letter empties") << u"100\rx"_s << QString() << QString() << false;
    QTest::newRow("empty entry") << u"\r"_s << QString() << QString() << false;
    QTest::newRow("failure empties") << u"1,2,3\r"_s << QString() << QString() << false;
    QTest::newRow("after failure") << u"1,2,3\r7"_s << u"7"_s << QString() << false;
}

void TestEuro::keys()
{
    QFETCH(QString, keys);
    QFETCH(QString, entry);
    QFETCH(QString, result);
    QFETCH(bool, shown);
    EuroConverter e;
    for (const QChar c : keys)
        e.keyPress(c);
    QCOMPARE(e.entry(), entry);
    QCOMPARE(e.result(), result);
    QCOMPARE(e.resultShown(), shown);
}

void TestEuro::buttonsAfterResult()
{
    EuroConverter e;
    e.button(u'1');
    e.button(u'0');
    e.keyPress(u'\r');
    QCOMPARE(e.result(), u"1,52"_s);
    // Changing the direction keeps the shown result until "=" again.
    e.setDirection(Direction::EurosToFrancs);
    QCOMPARE(e.result(), u"1,52"_s);
    e.keyPress(u'\r');
    QCOMPARE(e.result(), u"65,6"_s);
    // Reopening clears the flag: the next digit is appended to the old entry.
    e.activate();
    e.button(u'0');
    QCOMPARE(e.entry(), u"100"_s);
    QCOMPARE(e.result(), u"65,6"_s);
    e.keyPress(u'\r');
    e.button(u',');
    QCOMPARE(e.entry(), u","_s);
    QCOMPARE(e.result(), QString());
}

void TestEuro::rate()
{
    EuroConverter e;
    QCOMPARE(e.rateText(), u"6,55957"_s);
    e.stepUp();
    QCOMPARE(e.rateText(), u"6,55958"_s);
    e.setRate(600000);
    QCOMPARE(e.rateText(), u"6"_s);
    e.setRate(2);
    e.stepDown();
    e.stepDown();
    QCOMPARE(e.rate(), qint64(1));
    QCOMPARE(e.rateText(), u"0,00001"_s);
    e.stepUp();
    QCOMPARE(e.rateText(), u"0,00002"_s);
}

QTEST_APPLESS_MAIN(TestEuro)
#include "tst_euro.moc"
