#include "core/utilities/sixbyte.h"
#include "core/utilities/utilnumbers.h"

#include <QTest>

#include <cmath>

using namespace Qt::StringLiterals;

class TestSixByte : public QObject {
    Q_OBJECT
private slots:
    void conversion_data();
    void conversion();
    void layout();
    void reading_data();
    void reading();
    void generalText_data();
    void generalText();
};

namespace {
const long double Ulp0 = std::ldexp(1.0L, -39); // one step of the fraction just above 1
}

void TestSixByte::conversion_data()
{
    QTest::addColumn<long double>("input");
    QTest::addColumn<bool>("stored");
    QTest::addColumn<long double>("expected");

    QTest::newRow("zero") << 0.0L << true << 0.0L;
    QTest::newRow("one") << 1.0L << true << 1.0L;
    QTest::newRow("negative") << -2.5L << true << -2.5L;
    QTest::newRow("below half a step") << 1 + Ulp0 * 0.499L << true << 1.0L;
    QTest::newRow("tie away from zero") << 1 + Ulp0 / 2 << true << 1 + Ulp0;
    QTest::newRow("negative tie away from zero") << -(1 + Ulp0 / 2) << true << -(1 + Ulp0);
    QTest::newRow("tie from an odd step") << 1 + Ulp0 * 1.5L << true << 1 + Ulp0 * 2;
    QTest::newRow("rounding carries to the next power") << 2 - Ulp0 / 2 << true << 2.0L;
    QTest::newRow("smallest") << std::ldexp(1.0L, -128) << true << std::ldexp(1.0L, -128);
    QTest::newRow("below smallest") << std::ldexp(1.0L, -129) << true << 0.0L;
    QTest::newRow("rounds up to smallest") << std::ldexp(1.0L, -128) * (1 - Ulp0 / 4) << true
                                           << std::ldexp(1.0L, -128);
    QTest::newRow("largest") << std::ldexp(2 - Ulp0, 126) << true << std::ldexp(2 - Ulp0, 126);
    QTest::newRow("2^127") << std::ldexp(1.0L, 127) << false << 0.0L;
    QTest::newRow("rounds up to 2^127") << std::ldexp(2 - Ulp0 / 2, 126) << false << 0.0L;
    QTest::newRow("-2^127") << -std::ldexp(1.0L, 127) << false << 0.0L;
    QTest::newRow("infinity") << HUGE_VALL << false << 0.0L;
    QTest::newRow("nan") << std::nanl("") << false << 0.0L;
}

void TestSixByte::conversion()
{
    QFETCH(long double, input);
    QFETCH(bool, stored);
    QFETCH(long double, expected);
    const std::optional<SixByte> v = SixByte::fromLongDouble(input);
    QCOMPARE(v.has_value(), stored);
    if (stored)
        QVERIFY(v->toLongDouble() == expected);
}

void TestSixByte::layout()
{
    const SixByte one = *SixByte::fromLongDouble(1);
    QCOMPARE(one.exponent(), quint8(129));
    QCOMPARE(one.fraction(), quint64(0));
    const SixByte v = *SixByte::fromLongDouble(-3);
    QCOMPARE(v.exponent(), quint8(130));
    QCOMPARE(v.fraction(), quint64(1) << 38);
    QVERIFY(v.negative());
    QCOMPARE(SixByte::fromLongDouble(std::ldexp(1.0L, -128))->exponent(), quint8(1));
    // Zero has one representation whatever its sign.
    QVERIFY(*SixByte::fromLongDouble(-0.0L) == SixByte());
}

void TestSixByte::reading_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("reads");
    QTest::addColumn<double>("value");

    QTest::newRow("integer") << u"42"_s << true << 42.0;
    QTest::newRow("comma") << u"3,25"_s << true << 3.25;
    QTest::newRow("lone comma") << u","_s << true << 0.0;
    QTest::newRow("trailing comma") << u"5,"_s << true << 5.0;
    QTest::newRow("leading comma") << u",5"_s << true << 0.5;
    QTest::newRow("blanks and sign") << u"  -1,5 "_s << true << -1.5;
    QTest::newRow("plus") << u"+7"_s << true << 7.0;
    QTest::newRow("exponent") << u"1,5E3"_s << true << 1500.0;
    QTest::newRow("negative exponent") << u"25e-1"_s << true << 2.5;
    QTest::newRow("leading zeros") << u"0007"_s << true << 7.0;
    QTest::newRow("huge exponent") << u"1E999999999999"_s << true << double(HUGE_VAL);
    QTest::newRow("tiny exponent") << u"1E-999999999999"_s << true << 0.0;
    QTest::newRow("empty") << QString() << false << 0.0;
    QTest::newRow("two commas") << u"2,,5"_s << false << 0.0;
    QTest::newRow("point") << u"2.5"_s << false << 0.0;
    QTest::newRow("sign only") << u"-"_s << false << 0.0;
    QTest::newRow("exponent without digits") << u"1E"_s << false << 0.0;
    QTest::newRow("exponent alone") << u"E5"_s << false << 0.0;
    QTest::newRow("inner blank") << u"1 2"_s << false << 0.0;
}

void TestSixByte::reading()
{
    QFETCH(QString, text);
    QFETCH(bool, reads);
    QFETCH(double, value);
    const std::optional<long double> v = utilnumbers::readComma(text);
    QCOMPARE(v.has_value(), reads);
    if (reads)
        QCOMPARE(double(*v), value);
}

void TestSixByte::generalText_data()
{
    QTest::addColumn<long double>("value");
    QTest::addColumn<QString>("text");

    QTest::newRow("zero") << 0.0L << u"0"_s;
    QTest::newRow("negative zero") << -0.0L << u"0"_s;
    QTest::newRow("whole") << 20.0L << u"20"_s;
    QTest::newRow("fraction") << -0.25L << u"-0,25"_s;
    QTest::newRow("square root of 2") << std::sqrt(2.0L) << u"1,4142135623731"_s;
    QTest::newRow("a third") << 1 / 3.0L << u"0,333333333333333"_s;
    QTest::newRow("0,0001 stays fixed") << 0.0001L << u"0,0001"_s;
    QTest::newRow("0,00002 in exponent") << 0.00002L << u"2E-5"_s;
    QTest::newRow("15 digits fixed") << 999999999999999.0L << u"999999999999999"_s;
    QTest::newRow("16 digits in exponent") << 1e15L << u"1E15"_s;
    QTest::newRow("rounds up to 16 digits") << 999999999999999.9L << u"1E15"_s;
    QTest::newRow("large") << 1.5e20L << u"1,5E20"_s;
    QTest::newRow("rounding") << 2.0L / 3 << u"0,666666666666667"_s;
}

void TestSixByte::generalText()
{
    QFETCH(long double, value);
    QFETCH(QString, text);
    QCOMPARE(utilnumbers::generalText(value), text);
}

QTEST_APPLESS_MAIN(TestSixByte)
#include "tst_sixbyte.moc"
