#include "core/utilities/horloge.h"

#include <QTest>

#include <ctime>

using namespace horloge;
using namespace Qt::StringLiterals;

namespace {
void useTimeZone(const QByteArray &tz)
{
    qputenv("TZ", tz);
    tzset();
}

QDateTime utc(int y, int mo, int d, int h, int mi, int s)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s), Qt::UTC);
}
} // namespace

class TestHorloge : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { useTimeZone("UTC"); }

    void readInteger_data();
    void readInteger();
    void step_data();
    void step();
    void localToUtc_data();
    void localToUtc();
    void setterReceivesUtc();
    void failuresReported_data();
    void failuresReported();
};

void TestHorloge::readInteger_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("value");
    QTest::newRow("leading zero") << u"07"_s << true << 7;
    QTest::newRow("leading blank") << u" 7"_s << true << 7;
    QTest::newRow("sign") << u"-1"_s << true << -1;
    QTest::newRow("empty") << QString() << false << 0;
    QTest::newRow("letters") << u"1a"_s << false << 0;
    QTest::newRow("trailing blank") << u"7 "_s << false << 0;
    QTest::newRow("sign only") << u"-"_s << false << 0;
    QTest::newRow("too large") << u"99999999999"_s << false << 0;
    QTest::newRow("int min") << u"-2147483648"_s << true << int(-2147483647 - 1);
}

void TestHorloge::readInteger()
{
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(int, value);
    QString error;
    const std::optional<int> n = horloge::readInteger(text, &error);
    QCOMPARE(n.has_value(), ok);
    if (ok)
        QCOMPARE(*n, value);
    else
        QCOMPARE(error, u"'%1' n'est pas une valeur entière correcte"_s.arg(text));
}

void TestHorloge::step_data()
{
    QTest::addColumn<QString>("display");
    QTest::addColumn<int>("field");
    QTest::addColumn<int>("d");
    QTest::addColumn<QString>("expected");   // empty: not a number, display unchanged

    QTest::newRow("hour up to 24") << u"23:15:07"_s << int(Hr) << 1 << u"24:15:07"_s;
    QTest::newRow("hour stops at 24") << u"24:15:07"_s << int(Hr) << 1 << u"24:15:07"_s;
    QTest::newRow("hour stops at 00") << u"00:15:07"_s << int(Hr) << -1 << u"00:15:07"_s;
    QTest::newRow("hour down, leading zero") << u"10:15:07"_s << int(Hr) << -1 << u"09:15:07"_s;
    QTest::newRow("minute no carry") << u"10:59:07"_s << int(Mn) << 1 << u"10:59:07"_s;
    QTest::newRow("minute stops at 00") << u"10:00:07"_s << int(Mn) << -1 << u"10:00:07"_s;
    QTest::newRow("day 31 in February") << u"30/02/2026"_s << int(Jo) << 1 << u"31/02/2026"_s;
    QTest::newRow("day stops at 31") << u"31/01/2026"_s << int(Jo) << 1 << u"31/01/2026"_s;
    QTest::newRow("day stops at 01") << u"01/03/2026"_s << int(Jo) << -1 << u"01/03/2026"_s;
    QTest::newRow("month no carry") << u"15/12/2026"_s << int(Mo) << 1 << u"15/12/2026"_s;
    QTest::newRow("month stops at 01") << u"15/01/2026"_s << int(Mo) << -1 << u"15/01/2026"_s;
    QTest::newRow("month up") << u"15/09/2026"_s << int(Mo) << 1 << u"15/10/2026"_s;
    QTest::newRow("year stops at 2099") << u"15/06/2099"_s << int(An) << 1 << u"15/06/2099"_s;
    QTest::newRow("year stops at 1900") << u"15/06/1900"_s << int(An) << -1 << u"15/06/1900"_s;
    // Each direction has its own limit: a clock already outside the range steps by one back
    // towards it instead of jumping to the far end.
    QTest::newRow("year past 2099 down") << u"15/06/2150"_s << int(An) << -1 << u"15/06/2149"_s;
    QTest::newRow("year past 2099 up") << u"15/06/2150"_s << int(An) << 1 << u"15/06/2099"_s;
    QTest::newRow("year before 1900 up") << u"15/06/1850"_s << int(An) << 1 << u"15/06/1851"_s;
    QTest::newRow("two-digit year up") << u"20/10/98"_s << int(An) << 1 << u"20/10/1999"_s;
    QTest::newRow("two-digit year down") << u"20/10/98"_s << int(An) << -1 << u"20/10/1997"_s;
    QTest::newRow("year 00 down") << u"20/10/00"_s << int(An) << -1 << u"20/10/1900"_s;
    QTest::newRow("year 0099 is 1999") << u"20/10/0099"_s << int(An) << 1 << u"20/10/2000"_s;
    QTest::newRow("hour not a number") << u"ab:15:07"_s << int(Hr) << 1 << QString();
    QTest::newRow("year missing") << u"20/10/"_s << int(An) << 1 << QString();
}

void TestHorloge::step()
{
    QFETCH(QString, display);
    QFETCH(int, field);
    QFETCH(int, d);
    QFETCH(QString, expected);
    const QString before = display;
    QString error;
    const bool ok = stepField(display, Field(field), d, &error);
    if (expected.isEmpty()) {
        QVERIFY(!ok);
        QCOMPARE(display, before);
        QCOMPARE(error, u"'%1' n'est pas une valeur entière correcte"_s.arg(fieldText(before, Field(field))));
    } else {
        QVERIFY(ok);
        QCOMPARE(display, expected);
    }
}

void TestHorloge::localToUtc_data()
{
    QTest::addColumn<QByteArray>("tz");
    QTest::addColumn<QString>("time");
    QTest::addColumn<QString>("date");
    QTest::addColumn<QDateTime>("expected");   // invalid: the local time does not exist

    QTest::newRow("Paris winter") << QByteArray("Europe/Paris") << u"15:30:45"_s << u"14/01/2026"_s
                                  << utc(2026, 1, 14, 14, 30, 45);
    QTest::newRow("Paris summer") << QByteArray("Europe/Paris") << u"15:30:45"_s << u"14/07/2026"_s
                                  << utc(2026, 7, 14, 13, 30, 45);
    QTest::newRow("Paris midnight, day before in UTC")
        << QByteArray("Europe/Paris") << u"00:10:00"_s << u"01/01/2026"_s << utc(2025, 12, 31, 23, 10, 0);
    QTest::newRow("Paris skipped hour") << QByteArray("Europe/Paris") << u"02:30:00"_s
                                        << u"29/03/2026"_s << QDateTime();
    QTest::newRow("New York, year after in UTC")
        << QByteArray("America/New_York") << u"20:00:00"_s << u"31/12/2026"_s << utc(2027, 1, 1, 1, 0, 0);
    QTest::newRow("hour 24") << QByteArray("Europe/Paris") << u"24:00:00"_s << u"14/01/2026"_s
                             << QDateTime();
    QTest::newRow("31 February") << QByteArray("Europe/Paris") << u"12:00:00"_s << u"31/02/2026"_s
                                 << QDateTime();
}

void TestHorloge::localToUtc()
{
    QFETCH(QByteArray, tz);
    QFETCH(QString, time);
    QFETCH(QString, date);
    QFETCH(QDateTime, expected);
    useTimeZone(tz);
    QString error;
    const std::optional<QDateTime> got = displayedInstant(time, date, &error);
    QVERIFY(error.isEmpty());
    QCOMPARE(got.has_value(), expected.isValid());
    if (got) {
        QCOMPARE(got->timeSpec(), Qt::UTC);
        QCOMPARE(*got, expected);
    }
}

void TestHorloge::setterReceivesUtc()
{
    useTimeZone("Europe/Paris");
    QList<QDateTime> calls;
    const SetResult r = setFromDisplays(u"15:09:26"_s, u"14/03/2026"_s, [&](const QDateTime &t) {
        calls << t;
        return true;
    });
    QCOMPARE(r.outcome, SetResult::Set);
    QVERIFY(r.message.isEmpty());
    QCOMPARE(calls, QList<QDateTime>{utc(2026, 3, 14, 14, 9, 26)});
}

void TestHorloge::failuresReported_data()
{
    QTest::addColumn<QString>("time");
    QTest::addColumn<QString>("date");
    QTest::addColumn<bool>("setterAnswer");
    QTest::addColumn<bool>("withSetter");
    QTest::addColumn<int>("outcome");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("calls");

    const QString cannot = u"Impossible de régler l'horloge de l'ordinateur"_s;
    QTest::newRow("refused") << u"15:09:26"_s << u"14/03/2026"_s << false << true
                             << int(SetResult::CannotSet) << cannot << 1;
    QTest::newRow("no setter") << u"15:09:26"_s << u"14/03/2026"_s << true << false
                               << int(SetResult::CannotSet) << cannot << 0;
    QTest::newRow("hour 24") << u"24:09:26"_s << u"14/03/2026"_s << true << true
                             << int(SetResult::CannotSet) << cannot << 0;
    QTest::newRow("31/02") << u"15:09:26"_s << u"31/02/2026"_s << true << true
                           << int(SetResult::CannotSet) << cannot << 0;
    QTest::newRow("seconds not a number") << u"15:09:2x"_s << u"14/03/2026"_s << true << true
                                          << int(SetResult::NotANumber)
                                          << u"'2x' n'est pas une valeur entière correcte"_s << 0;
}

void TestHorloge::failuresReported()
{
    QFETCH(QString, time);
    QFETCH(QString, date);
    QFETCH(bool, setterAnswer);
    QFETCH(bool, withSetter);
    QFETCH(int, outcome);
    QFETCH(QString, message);
    QFETCH(int, calls);
    useTimeZone("Europe/Paris");
    int called = 0;
    ClockSetter setter;
    if (withSetter)
        setter = [&](const QDateTime &) {
            ++called;
            return setterAnswer;
        };
    const SetResult r = setFromDisplays(time, date, setter);
    QCOMPARE(int(r.outcome), outcome);
    QCOMPARE(r.message, message);
    QCOMPARE(called, calls);
}

QTEST_APPLESS_MAIN(TestHorloge)
#include "tst_horloge.moc"
