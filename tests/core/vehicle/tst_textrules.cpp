#include "core/vehicle/textrules.h"

#include <QTest>

#include <cmath>
#include <limits>

using namespace textrules;

Q_DECLARE_METATYPE(long double)
Q_DECLARE_METATYPE(NumberKind)

namespace {
// A fixed-pitch measure: 7 px per character, spaces included.
int sevenPerChar(const QString &s) { return int(s.size()) * 7; }
} // namespace

class TestTextRules : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void readNumberGrammar_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<NumberKind>("kind");
        QTest::addColumn<double>("value");
        const auto N = NumberKind::Number, X = NumberKind::NotNumber, E = NumberKind::Empty;
        QTest::newRow("empty") << QString() << E << 0.0;
        QTest::newRow("blanks and controls") << QStringLiteral(" \t\r\n\x01 ") << E << 0.0;
        QTest::newRow("integer") << QStringLiteral("12") << N << 12.0;
        QTest::newRow("controls around") << QStringLiteral("\t12.5\r\n") << N << 12.5;
        QTest::newRow("plus") << QStringLiteral("+3") << N << 3.0;
        QTest::newRow("minus") << QStringLiteral("-3.5") << N << -3.5;
        QTest::newRow("lone point") << QStringLiteral(".") << N << 0.0;
        QTest::newRow("signed lone point") << QStringLiteral("-.") << N << 0.0;
        QTest::newRow("leading point") << QStringLiteral(".5") << N << 0.5;
        QTest::newRow("exponent") << QStringLiteral("1e3") << N << 1000.0;
        QTest::newRow("exponent upper signed") << QStringLiteral("2.5E-2") << N << 0.025;
        QTest::newRow("many digits") << QStringLiteral("123456789012345678901234") << N
                                     << 123456789012345678901234.0;
        QTest::newRow("many fraction digits") << QStringLiteral("0.0000000000000000000000001234")
                                              << N << 1.234e-25;
        QTest::newRow("two points") << QStringLiteral("1.2.3") << X << 0.0;
        QTest::newRow("comma") << QStringLiteral("1,5") << X << 0.0;
        QTest::newRow("sign alone") << QStringLiteral("-") << X << 0.0;
        QTest::newRow("blank after sign") << QStringLiteral("- 5") << X << 0.0;
        QTest::newRow("letter after") << QStringLiteral("12a") << X << 0.0;
        QTest::newRow("bare exponent") << QStringLiteral("1e") << X << 0.0;
        QTest::newRow("exponent without mantissa") << QStringLiteral("e5") << X << 0.0;
        QTest::newRow("arabic-indic digits") << QStringLiteral("\u0661\u0662") << X << 0.0;
        QTest::newRow("no-break space is not blank") << QStringLiteral("\u00a012") << X << 0.0;
        QTest::newRow("largest decade") << QStringLiteral("1e4932") << N << HUGE_VAL;
        QTest::newRow("overflow") << QStringLiteral("1e4933") << X << 0.0;
        QTest::newRow("huge exponent") << QStringLiteral("1e999999999") << X << 0.0;
        QTest::newRow("exponent past int64")
            << QStringLiteral("1e99999999999999999999999999") << X << 0.0;
        QTest::newRow("tiny") << QStringLiteral("1e-999999999") << N << 0.0;
    }
    void readNumberGrammar()
    {
        QFETCH(QString, text);
        QFETCH(NumberKind, kind);
        QFETCH(double, value);
        const NumberRead r = readNumber(text);
        QCOMPARE(r.kind, kind);
        if (kind != NumberKind::Number)
            return;
        QVERIFY(std::isfinite(r.value));
        if (std::isinf(value)) // beyond double: only its order of magnitude matters
            QVERIFY(r.value > 9e4931L);
        else
            QCOMPARE(double(r.value), value);
    }

    // The decimal value decides the rounding, not the binary neighbour it is stored as.
    void decTwoDecimals_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        auto row = [](const char *name, const char *text, const char *expected) {
            QTest::newRow(name) << QString::fromLatin1(text) << QString::fromLatin1(expected);
        };
        row("three decimals", "3.456", "3.46");
        row("lone point", ".", "0.00");
        row("aligned", "        7.00", "7.00");
        row("half up", "2.675", "2.68");
        row("half up negative", "-2.675", "-2.68");
        row("half of a cent", "1.005", "1.01");
        row("small half", "0.005", "0.01");
        row("negative zero", "-0", "0.00");
        row("rounds to negative zero", "-0.004", "0.00");
        row("carry", "999.995", "1000.00");
        row("odometer", "123456", "123456.00");
        row("eleven digits", "12345678901.23", "12345678901.23");
        row("seventeen digits carry", "99999999999999.995", "100000000000000.00");
        row("exponent", "1.5e3", "1500.00");
        row("blank", "   \t ", "");
        row("two points", "  1.2.3 ", "1.2.3");
        row("word", " abc\r\n", "abc");
        row("overflow stays as typed", "1e999999999", "1e999999999");
    }
    void decTwoDecimals()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(Dec(text), expected);
        QCOMPARE(Dec(Dec(text)), expected);
    }

    void formatFixedOfComputedValues_data()
    {
        QTest::addColumn<long double>("value");
        QTest::addColumn<int>("decimals");
        QTest::addColumn<QString>("expected");
        QTest::newRow("sum noise") << 0.1L + 0.2L + 0.05L << 1 << QStringLiteral("0.4");
        QTest::newRow("0.15 one decimal") << 0.15L << 1 << QStringLiteral("0.2");
        QTest::newRow("-0.15 one decimal") << -0.15L << 1 << QStringLiteral("-0.2");
        QTest::newRow("product noise") << 1.1L * 3 << 2 << QStringLiteral("3.30");
        QTest::newRow("division") << 70.05L / 10 << 2 << QStringLiteral("7.01");
        QTest::newRow("no decimals half") << 2.5L << 0 << QStringLiteral("3");
        QTest::newRow("negative zero") << -0.0L << 2 << QStringLiteral("0.00");
        QTest::newRow("infinity") << std::numeric_limits<long double>::infinity() << 2
                                  << QString();
    }
    void formatFixedOfComputedValues()
    {
        QFETCH(long double, value);
        QFETCH(int, decimals);
        QFETCH(QString, expected);
        QCOMPARE(formatFixed(value, decimals), expected);
    }

    void roundHalfEvenOnDecimalValue_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("expected");
        QTest::newRow("7.5") << QStringLiteral("7.5") << 8.0;
        QTest::newRow("8.5") << QStringLiteral("8.5") << 8.0;
        QTest::newRow("-7.5") << QStringLiteral("-7.5") << -8.0;
        QTest::newRow("0.5") << QStringLiteral("0.5") << 0.0;
        QTest::newRow("above half") << QStringLiteral("8.5000001") << 9.0;
        QTest::newRow("below half") << QStringLiteral("7.4999999") << 7.0;
        QTest::newRow("integer") << QStringLiteral("101") << 101.0;
        QTest::newRow("large") << QStringLiteral("123456789012345678.5") << 123456789012345678.0;
    }
    void roundHalfEvenOnDecimalValue()
    {
        QFETCH(QString, text);
        QFETCH(double, expected);
        QCOMPARE(double(roundHalfEven(readNumber(text).value)), expected);
    }

    void rsetAligns_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("width");
        QTest::addColumn<QString>("expected");
        // Width 110: the text grows until it is wider than 100 px, i.e. 15 characters.
        QTest::newRow("number") << QStringLiteral("7") << 110
                                << QString(11, u' ') + QStringLiteral("7.00");
        QTest::newRow("already aligned") << QString(3, u' ') + QStringLiteral("7.00") << 110
                                         << QString(11, u' ') + QStringLiteral("7.00");
        QTest::newRow("not a number") << QStringLiteral("1.2.3") << 110
                                      << QString(10, u' ') + QStringLiteral("1.2.3");
        QTest::newRow("blanks only") << QStringLiteral("   ") << 110 << QString();
        QTest::newRow("wider than the field") << QStringLiteral("12345678901234567") << 110
                                              << QStringLiteral("12345678901234567.00");
    }
    void rsetAligns()
    {
        QFETCH(QString, text);
        QFETCH(int, width);
        QFETCH(QString, expected);
        const QString shown = Rset(text, width, sevenPerChar);
        QCOMPARE(shown, expected);
        QCOMPARE(Rset(shown, width, sevenPerChar), shown);
    }

    void rsetEndsWithAMeasureThatIgnoresSpaces()
    {
        const QString shown = Rset(QStringLiteral("7"), 110, [](const QString &) { return 0; });
        QVERIFY(shown.endsWith(QStringLiteral("7.00")));
    }

    void filterKey_data()
    {
        QTest::addColumn<QChar>("typed");
        QTest::addColumn<QString>("enters"); // empty: discarded
        QTest::newRow("digit") << QChar(u'5') << QStringLiteral("5");
        QTest::newRow("point") << QChar(u'.') << QStringLiteral(".");
        QTest::newRow("comma") << QChar(u',') << QStringLiteral(".");
        QTest::newRow("backspace") << QChar(u'\b') << QStringLiteral("\b");
        QTest::newRow("letter") << QChar(u'a') << QString();
        QTest::newRow("minus") << QChar(u'-') << QString();
        QTest::newRow("arabic-indic digit") << QChar(u'\u0663') << QString();
        QTest::newRow("fullwidth digit") << QChar(u'\uff15') << QString();
    }
    void filterKey()
    {
        QFETCH(QChar, typed);
        QFETCH(QString, enters);
        const std::optional<QChar> c = textrules::filterKey(typed);
        QCOMPARE(c ? QString(*c) : QString(), enters);
    }

    void readDate_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QDate>("expected"); // invalid: not a date
        QTest::newRow("written form") << QStringLiteral("01/02/1999") << QDate(1999, 2, 1);
        QTest::newRow("short day and month") << QStringLiteral("1/2/1999") << QDate(1999, 2, 1);
        QTest::newRow("blanks around") << QStringLiteral(" 31/12/2000\r") << QDate(2000, 12, 31);
        QTest::newRow("leap day") << QStringLiteral("29/02/2000") << QDate(2000, 2, 29);
        QTest::newRow("not a leap year") << QStringLiteral("29/02/1900") << QDate();
        QTest::newRow("month 13") << QStringLiteral("01/13/1999") << QDate();
        QTest::newRow("two-digit year") << QStringLiteral("01/02/99") << QDate();
        QTest::newRow("five-digit year") << QStringLiteral("01/02/19999") << QDate();
        QTest::newRow("dashes") << QStringLiteral("01-02-1999") << QDate();
        QTest::newRow("trailing text") << QStringLiteral("1/2/1999x") << QDate();
        QTest::newRow("inner blank") << QStringLiteral("1 /2/1999") << QDate();
        QTest::newRow("empty") << QString() << QDate();
    }
    void readDate()
    {
        QFETCH(QString, text);
        QFETCH(QDate, expected);
        const std::optional<QDate> d = textrules::readDate(text);
        QCOMPARE(d.value_or(QDate()), expected);
    }

    void formatDateAndError()
    {
        QCOMPARE(formatDate(QDate(1999, 2, 1)), QStringLiteral("01/02/1999"));
        QCOMPARE(formatDate(QDate(5, 11, 30)), QStringLiteral("30/11/0005"));
        QCOMPARE(formatDate(QDate()), QString());
        const QDate d(2026, 12, 7);
        QCOMPARE(textrules::readDate(formatDate(d)).value_or(QDate()), d);
        QCOMPARE(dateErrorText(QStringLiteral("32/01/1999")),
                 QStringLiteral("'32/01/1999' n'est pas une date correcte"));
    }
};

QTEST_APPLESS_MAIN(TestTextRules)
#include "tst_textrules.moc"
