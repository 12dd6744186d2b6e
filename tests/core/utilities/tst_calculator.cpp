#include "core/utilities/calculator.h"
#include "core/utilities/utilnumbers.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestCalculator : public QObject {
    Q_OBJECT
private slots:
    void sequences_data();
    void sequences();
    void errorKeepsState();
    void computationErrorKeepsOperand();
    void startFailsSilently();
    void clearKeepsNewNumberFlag();
    void resultText_data();
    void resultText();
};

namespace {

// Runs keys separated by blanks: numbers are typed digit by digit (with their commas), the other
// keys are "+", "-", "*", "/", "=", "1/x", "sqr" and "C". Returns the displays after each key
// group and the messages, "|"-joined.
struct Run {
    QStringList displays;
    QStringList errors;
};

Run run(Calculator &c, const QString &keys)
{
    Run out;
    for (const QString &k : keys.split(u' ', Qt::SkipEmptyParts)) {
        Calculator::Error e;
        if (k == u"+")
            e = c.applyOperator(Calculator::Operator::Add);
        else if (k == u"-")
            e = c.applyOperator(Calculator::Operator::Subtract);
        else if (k == u"*")
            e = c.applyOperator(Calculator::Operator::Multiply);
        else if (k == u"/")
            e = c.applyOperator(Calculator::Operator::Divide);
        else if (k == u"=")
            e = c.evaluate();
        else if (k == u"1/x")
            e = c.reciprocal();
        else if (k == u"sqr")
            e = c.squareRoot();
        else if (k == u"C")
            c.clear();
        else
            for (const QChar ch : k) {
                if (ch == u',')
                    c.comma();
                else
                    c.digit(ch.digitValue());
            }
        if (e)
            out.errors << *e;
        out.displays << c.display();
    }
    return out;
}

} // namespace

void TestCalculator::sequences_data()
{
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("display");
    QTest::addColumn<QString>("errors");

    const QString div0 = u"Division flottante par zéro"_s;
    const QString invalid = u"Opération flottante incorrecte"_s;
    const QString overflow = u"Débordement flottant"_s;

    QTest::newRow("left to right") << u"2 + 3 * 4 ="_s << u"20"_s << QString();
    QTest::newRow("= repeats") << u"2 + 3 = ="_s << u"10"_s << QString();
    QTest::newRow("operator after =") << u"2 + 3 = * 4 ="_s << u"40"_s << QString();
    QTest::newRow("1/x replaces the accumulator") << u"5 + 4 1/x"_s << u"0,25"_s << QString();
    QTest::newRow("1/x then pending +") << u"5 + 4 1/x ="_s << u"0,5"_s << QString();
    QTest::newRow("six-byte noise cleaned") << u"0,1 + 0,2 ="_s << u"0,3"_s << QString();
    QTest::newRow("digits of the value kept") << u"3,05 + 0 ="_s << u"3,05"_s << QString();
    QTest::newRow("subtraction") << u"2 - 5 ="_s << u"-3"_s << QString();
    QTest::newRow("square root") << u"2 sqr"_s << u"1,4142135623731"_s << QString();
    QTest::newRow("reciprocal") << u"3 1/x"_s << u"0,333333333333333"_s << QString();
    QTest::newRow("division") << u"1 / 8 ="_s << u"0,125"_s << QString();
    QTest::newRow("divide by zero") << u"7 / 0 ="_s << u"0"_s << div0;
    QTest::newRow("zero by zero") << u"0 / 0 ="_s << u"0"_s << invalid;
    QTest::newRow("reciprocal of zero") << u"0 1/x"_s << u"0"_s << div0;
    QTest::newRow("root of negative") << u"2 - 5 = sqr"_s << u"-3"_s << invalid;
    QTest::newRow("C then =") << u"C ="_s << QString() << QString();
    QTest::newRow("C then 1/x") << u"C 1/x"_s << QString()
                                << u"'' n'est pas une valeur flottante correcte"_s;
    QTest::newRow("two commas") << u"2 + 2,,5 ="_s << u"2,,5"_s
                                << u"'2,,5' n'est pas une valeur flottante correcte"_s;
    QTest::newRow("underflow to zero") << u"0,00000000000000000001 * 0,00000000000000000001 ="_s
                                       << u"0"_s << QString();
    QTest::newRow("overflow") << u"99999999999999999999 * 99999999999999999999 ="_s
                              << u"99999999999999999999"_s << overflow;
    QTest::newRow("comma after a result") << u"2 + 3 = ,"_s << u"5,"_s << QString();
    QTest::newRow("digit after result comma") << u"2 + 3 = , 7"_s << u"7"_s << QString();
    QTest::newRow("leading zeros stay") << u"007"_s << u"007"_s << QString();
    QTest::newRow("six-byte precision") << u"123456789012345 + 0 ="_s << u"123456789012400"_s << QString();
    QTest::newRow("exponent kept") << u"100000000000 * 100000000000 ="_s << u"1E22"_s << QString();
    QTest::newRow("small result") << u"1 / 3 / 1000000 ="_s << u"3,333333333335E-7"_s << QString();
    QTest::newRow("operator with no pending") << u"4 ="_s << u"4"_s << QString();
}

void TestCalculator::sequences()
{
    QFETCH(QString, keys);
    QFETCH(QString, display);
    QFETCH(QString, errors);
    Calculator c;
    const Run r = run(c, keys);
    QCOMPARE(c.display(), display);
    QCOMPARE(r.errors.join(u'|'), errors);
}

void TestCalculator::errorKeepsState()
{
    Calculator c;
    run(c, u"7 / 0"_s);
    QVERIFY(c.applyOperator(Calculator::Operator::Add).has_value());
    // The failed "+" neither replaced the pending "/" nor touched the accumulator.
    QCOMPARE(c.pending(), Calculator::Operator::Divide);
    QVERIFY(c.accumulator().toLongDouble() == 7);
    QVERIFY(c.accumulatorValid());
    QVERIFY(!c.newNumber());
    run(c, u"2 ="_s);
    QCOMPARE(c.display(), u"3,5"_s);
}

void TestCalculator::computationErrorKeepsOperand()
{
    Calculator c;
    run(c, u"1"_s + QString(38, u'0') + u" * 10000000000"_s);
    QVERIFY(c.evaluate().has_value());
    QVERIFY(c.operand().toLongDouble() > 9e9L);
    QCOMPARE(c.display(), u"10000000000"_s);
    QCOMPARE(c.accumulator(), *SixByte::fromLongDouble(1e38L));
}

void TestCalculator::startFailsSilently()
{
    // With no calculation started, "=" and the operators drop a display that does not read.
    Calculator c;
    run(c, u"1,,2"_s);
    QVERIFY(!c.applyOperator(Calculator::Operator::Add).has_value());
    QCOMPARE(c.display(), QString());
    QVERIFY(!c.accumulatorValid());
    QCOMPARE(c.pending(), Calculator::Operator::Add);
    // Neither does a number too large for the six-byte format.
    Calculator d;
    run(d, u"1"_s + QString(40, u'0'));
    QVERIFY(!d.evaluate().has_value());
    QCOMPARE(d.display(), QString());
}

void TestCalculator::clearKeepsNewNumberFlag()
{
    Calculator c;
    run(c, u"2 + 3 = C"_s);
    QVERIFY(c.newNumber());
    QCOMPARE(c.pending(), Calculator::Operator::None);
    QVERIFY(!c.accumulatorValid());
    QVERIFY(c.accumulator().isZero());
    run(c, u"4 ="_s);
    QCOMPARE(c.display(), u"4"_s);
}

void TestCalculator::resultText_data()
{
    QTest::addColumn<long double>("value");
    QTest::addColumn<QString>("text");

    QTest::newRow("noise of 0,1 + 0,2") << 0.300000000000182L << u"0,3"_s;
    QTest::newRow("3,05") << 3.05L << u"3,05"_s;
    QTest::newRow("negative") << -2.5L << u"-2,5"_s;
    QTest::newRow("12 digits") << 123456789012.0L << u"123456789012"_s;
    QTest::newRow("two thirds") << 2.0L / 3 << u"0,666666666667"_s;
    QTest::newRow("exponent") << 1.5e20L << u"1,5E20"_s;
    QTest::newRow("small exponent") << 2e-30L << u"2E-30"_s;
    QTest::newRow("largest") << std::ldexp(2 - std::ldexp(1.0L, -39), 126) << u"1,701411834603E38"_s;
}

void TestCalculator::resultText()
{
    QFETCH(long double, value);
    QFETCH(QString, text);
    const SixByte v = *SixByte::fromLongDouble(value);
    QCOMPARE(Calculator::resultText(v), text);
    // Whatever the text, it must read back as the same stored value.
    QCOMPARE(SixByte::fromLongDouble(*utilnumbers::readComma(text)), v);
}

QTEST_APPLESS_MAIN(TestCalculator)
#include "tst_calculator.moc"
