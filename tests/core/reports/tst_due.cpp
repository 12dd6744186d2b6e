// What is due: the service by distance, the contrôle technique by date.
#include "core/reports/due.h"
#include "core/reports/duecalendar.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// "dd/mm/yyyy;km" fuel rows and "dd/mm/yyyy;description;km" garage rows, in ledger order.
struct Input {
    QStringList fuel;
    QStringList garage;
    QString interval;     // Edit24
    QString kilometrage;  // Edit21
    QDate registered = QDate(2024, 6, 1);
};

VehicleRecord recordOf(const Input &in)
{
    VehicleRecord r;
    r.DateTimePicker2 = in.registered;
    r.edit[24] = in.interval;
    r.edit[21] = in.kilometrage;
    for (const QString &row : in.fuel) {
        const QStringList c = row.split(u';');
        r.ListView1.push_back({c[0], u"Plein"_s, u"50.00"_s, u"30.00"_s, c[1]});
    }
    for (const QString &row : in.garage) {
        const QStringList c = row.split(u';');
        r.ListView2.push_back({c[0], c[1], u"100.00"_s, c[2]});
    }
    return r;
}

// "kind due remaining date urgency [unreadable]", '-' for what is not known.
QString line(const due::Reminder &r)
{
    const auto n = [](const std::optional<qint64> &v) { return v ? QString::number(*v) : u"-"_s; };
    QString s = due::kindName(r.kind) + u' ' + n(r.dueOdometer) + u' ' + n(r.remainingKm) + u' '
                + (r.date.isValid() ? r.date.toString(u"dd/MM/yyyy"_s) : u"-"_s) + u' ' + due::urgencyName(r.urgency);
    if (r.unreadable)
        s += u" unreadable="_s + QString::number(r.unreadable);
    return s;
}

QStringList lines(const due::Report &report)
{
    QStringList out;
    for (const due::Reminder &r : report.reminders)
        out << line(r);
    return out;
}

const QDate kToday(2026, 3, 1);
const QString kInspection = u"inspection - - 01/06/2028 later"_s; // 4 years after 01/06/2024

} // namespace

class TestDue : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void service_data()
    {
        QTest::addColumn<Input>("in");
        QTest::addColumn<QString>("expected");
        QTest::newRow("no service, no odometer") << Input{{}, {}, u"15000.00"_s, {}} << u"service 15000 - - unknown"_s;
        QTest::newRow("no service yet, odometer in fuel")
            << Input{{u"01/01/2020;14500.00"_s}, {}, u"   15000.00"_s, {}} << u"service 15000 500 - soon"_s;
        QTest::newRow("service without odometer counts as none")
            << Input{{u"01/01/2020;12000.00"_s}, {u"01/01/2020;Vidange;"_s}, u"15000"_s, {}}
            << u"service 15000 3000 - later"_s;
        QTest::newRow("highest named service, not the last line")
            << Input{{}, {u"01/01/2020;Vidange;10000"_s, u"01/02/2020;Pneus;30000"_s, u"01/03/2020;Révision 25 000;25000"_s,
                          u"01/04/2020;Entretien annuel;20000"_s}, u"15000"_s, {}}
            << u"service 40000 10000 - later"_s;
        QTest::newRow("no named service: the highest garage odometer")
            << Input{{}, {u"01/01/2020;Batterie;20000"_s, u"01/02/2020;Pneus;30000"_s}, u"15000"_s, {}}
            << u"service 45000 15000 - later"_s;
        QTest::newRow("Kilométrage higher than the ledgers")
            << Input{{u"01/01/2020;20000"_s}, {u"01/01/2019;VIDANGE;10000"_s}, u"15000"_s, u"  26000.00"_s}
            << u"service 25000 -1000 - overdue"_s;
        QTest::newRow("due right now") << Input{{u"01/01/2020;25000"_s}, {u"01/01/2019;vidange;10000"_s}, u"15000"_s, {}}
                                       << u"service 25000 0 - soon"_s;
        QTest::newRow("one km past") << Input{{u"01/01/2020;25001"_s}, {u"01/01/2019;vidange;10000"_s}, u"15000"_s, {}}
                                     << u"service 25000 -1 - overdue"_s;
        QTest::newRow("soon: 10 % of a short interval")
            << Input{{u"01/01/2020;4500"_s}, {}, u"5000"_s, {}} << u"service 5000 500 - soon"_s;
        QTest::newRow("later: above 10 % of a short interval")
            << Input{{u"01/01/2020;4499"_s}, {}, u"5000"_s, {}} << u"service 5000 501 - later"_s;
        QTest::newRow("soon: 1 000 km of a long interval")
            << Input{{u"01/01/2020;29000"_s}, {}, u"30000"_s, {}} << u"service 30000 1000 - soon"_s;
        QTest::newRow("later: 1 001 km of a long interval")
            << Input{{u"01/01/2020;28999"_s}, {}, u"30000"_s, {}} << u"service 30000 1001 - later"_s;
        QTest::newRow("half kilometres round away from zero")
            << Input{{u"01/01/2020;1000.50"_s}, {u"01/01/2020;Vidange;0.50"_s}, u"5000"_s, {}}
            << u"service 5001 4000 - later"_s;
        // 1 770 km in 59 days: 30 km a day; 3 230 km left make 107.7 days.
        QTest::newRow("pace of the last 365 days")
            << Input{{u"01/01/2026;10000"_s, u"01/03/2026;11770"_s}, {u"01/01/2025;Vidange;5000"_s}, u"10000"_s, {}}
            << u"service 15000 3230 17/06/2026 later"_s;
        QTest::newRow("pace from both ledgers, in date order")
            << Input{{u"01/03/2026;11770"_s}, {u"01/01/2025;Vidange;5000"_s, u"01/01/2026;Pneus;10000"_s}, u"10000"_s, {}}
            << u"service 15000 3230 17/06/2026 later"_s;
        QTest::newRow("readings less than 30 days apart: no date")
            << Input{{u"01/02/2026;10000"_s, u"01/03/2026;11000"_s}, {u"01/01/2025;Vidange;5000"_s}, u"10000"_s, {}}
            << u"service 15000 4000 - later"_s;
        QTest::newRow("readings older than a year and in the future: no pace")
            << Input{{u"28/02/2025;9000"_s, u"01/03/2026;11000"_s, u"02/03/2026;11500"_s}, {u"01/06/2024;Vidange;5000"_s},
                     u"10000"_s, {}}
            << u"service 15000 3500 - later"_s;
        QTest::newRow("odometer going back: no pace")
            << Input{{u"01/01/2026;12000"_s, u"01/03/2026;11000"_s}, {u"01/01/2025;Vidange;5000"_s}, u"10000"_s, {}}
            << u"service 15000 3000 - later"_s;
        QTest::newRow("past due has no date")
            << Input{{u"01/01/2026;10000"_s, u"01/03/2026;16000"_s}, {u"01/01/2025;Vidange;5000"_s}, u"10000"_s, {}}
            << u"service 15000 -1000 - overdue"_s;
        QTest::newRow("unreadable odometers are left out and counted")
            << Input{{u"01/01/2020;12 000"_s}, {u"01/01/2019;Vidange;10000"_s, u"01/01/2020;Vidange;2O000"_s}, u"15000"_s,
                     u"abc"_s}
            << u"service 25000 15000 - later unreadable=3"_s;
        QTest::newRow("absurd odometer left out") << Input{{u"01/01/2020;1e30"_s}, {}, u"15000"_s, {}}
                                                  << u"service 15000 - - unknown unreadable=1"_s;
    }
    void service()
    {
        QFETCH(Input, in);
        QFETCH(QString, expected);
        const QStringList got = lines(due::compute(recordOf(in), kToday));
        QCOMPARE(got.size(), 2);
        QCOMPARE(got[0], expected);
        QCOMPARE(got[1], kInspection);
    }

    void noInterval_data()
    {
        QTest::addColumn<QString>("interval");
        QTest::newRow("empty") << QString();
        QTest::newRow("blanks") << u"   "_s;
        QTest::newRow("zero") << u"0.00"_s;
        QTest::newRow("negative") << u"-5000"_s;
        QTest::newRow("not a number") << u"1.2.3"_s;
    }
    void noInterval()
    {
        QFETCH(QString, interval);
        Input in{{u"01/01/2026;10000"_s}, {u"01/01/2026;Vidange;10000"_s}, interval, {}};
        const due::Report report = due::compute(recordOf(in), kToday);
        QCOMPARE(lines(report), QStringList{kInspection});
        QCOMPARE(report.odometer, std::optional<qint64>(10000));
    }

    void inspection_data()
    {
        QTest::addColumn<QDate>("registered");
        QTest::addColumn<QStringList>("garage");
        QTest::addColumn<QDate>("today");
        QTest::addColumn<QString>("expected");
        const QDate reg(2023, 3, 15);
        QTest::newRow("4 years: later") << reg << QStringList() << QDate(2027, 1, 13) << u"15/03/2027 later"_s;
        QTest::newRow("4 years: 60 days left") << reg << QStringList() << QDate(2027, 1, 14) << u"15/03/2027 soon"_s;
        QTest::newRow("4 years: the very day") << reg << QStringList() << QDate(2027, 3, 15) << u"15/03/2027 soon"_s;
        QTest::newRow("4 years: the day after") << reg << QStringList() << QDate(2027, 3, 16) << u"15/03/2027 overdue"_s;
        QTest::newRow("two years after the last one")
            << reg << QStringList{u"10/02/2027;Contrôle technique (favorable);30000"_s} << QDate(2027, 3, 16)
            << u"10/02/2029 later"_s;
        QTest::newRow("the latest by date, not by line")
            << reg << QStringList{u"10/02/2029;CT;60000"_s, u"10/02/2027;CONTROLE TECHNIQUE;30000"_s}
            << QDate(2029, 3, 1) << u"10/02/2031 later"_s;
        QTest::newRow("a contre-visite restarts nothing")
            << reg << QStringList{u"10/02/2027;Contrôle technique;30000"_s,
                                  u"01/04/2027;Contrôle technique — contre-visite éclairage;31000"_s}
            << QDate(2027, 5, 1) << u"10/02/2029 later"_s;
        QTest::newRow("a contre-visite alone") << reg << QStringList{u"01/04/2027;Contre visite CT;31000"_s}
                                               << QDate(2027, 5, 1) << u"15/03/2027 overdue"_s;
        QTest::newRow("CTRL is no CT") << reg << QStringList{u"10/02/2027;CTRL freins;30000"_s} << QDate(2027, 1, 1)
                                       << u"15/03/2027 later"_s;
        QTest::newRow("registered on a leap day") << QDate(2020, 2, 29) << QStringList() << QDate(2023, 1, 1)
                                                  << u"29/02/2024 later"_s;
        QTest::newRow("leap day to a common year")
            << QDate(2020, 2, 29) << QStringList{u"29/02/2024;ct ok;40000"_s} << QDate(2025, 1, 1) << u"28/02/2026 later"_s;
        QTest::newRow("leap day across 2100") << QDate(2096, 2, 29) << QStringList() << QDate(2097, 1, 1)
                                              << u"28/02/2100 later"_s;
        QTest::newRow("unreadable date of a CT left out and counted")
            << reg << QStringList{u"10/02/2027;CT;30000"_s, u"31/02/2029;CT;60000"_s, u"xx;Pneus;1"_s}
            << QDate(2027, 3, 1) << u"10/02/2029 later unreadable=1"_s;
    }
    void inspection()
    {
        QFETCH(QDate, registered);
        QFETCH(QStringList, garage);
        QFETCH(QDate, today);
        QFETCH(QString, expected);
        Input in;
        in.garage = garage;
        in.registered = registered;
        const QStringList got = lines(due::compute(recordOf(in), today));
        QCOMPARE(got, QStringList{u"inspection - - "_s + expected});
    }

    void descriptions_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("service");
        QTest::addColumn<bool>("inspection");
        QTest::newRow("vidange") << u"Vidange + filtre à huile"_s << true << false;
        QTest::newRow("révision, capitals") << u"RÉVISION DES 60 000 KM"_s << true << false;
        QTest::newRow("decomposed accent") << u"Re\u0301vision"_s << true << false;
        QTest::newRow("plural") << u"Entretiens divers"_s << true << false;
        QTest::newRow("inside a word") << u"Prévision budget"_s << false << false;
        QTest::newRow("pneus") << u"Pneus hiver"_s << false << false;
        QTest::newRow("contrôle technique") << u"Contrôle technique (favorable)"_s << false << true;
        QTest::newRow("hyphenated") << u"controle-technique"_s << false << true;
        QTest::newRow("CT in brackets") << u"Passage au (CT)"_s << false << true;
        QTest::newRow("CT with a number") << u"CT 2024"_s << false << true;
        QTest::newRow("CTRL") << u"CTRL pression"_s << false << false;
        QTest::newRow("CT inside a word") << u"Électricité"_s << false << false;
        QTest::newRow("contrôleur") << u"Contrôleur technique du garage"_s << false << false;
        QTest::newRow("contre-visite") << u"CT contre-visite"_s << false << false;
        QTest::newRow("contrevisite") << u"Contrevisite contrôle technique"_s << false << false;
        QTest::newRow("both") << u"Révision et contrôle technique"_s << true << true;
        // Imported histories, in the languages the importer reads.
        QTest::newRow("TÜV") << u"TÜV + AU bestanden"_s << false << true;
        QTest::newRow("HU alone") << u"HU/AU"_s << false << true;
        QTest::newRow("Hauptuntersuchung") << u"Hauptuntersuchung Dekra"_s << false << true;
        QTest::newRow("HU inside a word") << u"Hupe repariert"_s << false << false;
        QTest::newRow("MOT") << u"MOT test passed"_s << false << true;
        QTest::newRow("ITV") << u"Pasar la ITV"_s << false << true;
        QTest::newRow("inspeção periódica") << u"Inspeção periódica obrigatória"_s << false << true;
        QTest::newRow("inspection alone") << u"Inspection pneus"_s << false << false;
        QTest::newRow("техосмотр") << u"Техосмотр пройден"_s << false << true;
        QTest::newRow("oil change") << u"Oil Change; Oil Filter"_s << true << false;
        QTest::newRow("oil alone") << u"Oil top-up"_s << false << false;
        QTest::newRow("Ölwechsel") << u"Ölwechsel 5W-30"_s << true << false;
        QTest::newRow("Inspektion") << u"Inspektion 60.000 km"_s << true << false;
        QTest::newRow("troca de óleo") << u"Troca de óleo e filtro"_s << true << false;
        QTest::newRow("revisão") << u"Revisão dos 30 mil"_s << true << false;
        QTest::newRow("ТО") << u"ТО-2 у дилера"_s << true << false;
        QTest::newRow("замена масла") << u"Замена масла"_s << true << false;
        QTest::newRow("service") << u"Annual service"_s << true << false;
    }
    void descriptions()
    {
        QFETCH(QString, text);
        QFETCH(bool, service);
        QFETCH(bool, inspection);
        QCOMPARE(due::namesService(text), service);
        QCOMPARE(due::namesInspection(text), inspection);
    }

    void sentences()
    {
        Input in{{u"01/01/2026;47300"_s, u"01/03/2026;49070"_s}, {u"01/01/2025;Vidange;40000"_s}, u"10500"_s, {}};
        due::Report report = due::compute(recordOf(in), kToday);
        QCOMPARE(due::sentence(report.reminders[0]), u"Prochain entretien : à 50 500 km, dans 1 430 km (vers le 18/04/2026)"_s);
        QCOMPARE(due::sentence(report.reminders[1]), u"Contrôle technique : avant le 01/06/2028"_s);
        QVERIFY(due::attention(report).isEmpty());

        in.kilometrage = u"50800"_s;
        in.registered = QDate(2021, 6, 1);
        in.garage << u"31/02/2026;CT;48000"_s << u"xx;contre-visite;48000"_s;
        report = due::compute(recordOf(in), kToday);
        const QStringList both{u"Entretien dépassé de 300 km"_s,
                               u"Contrôle technique dépassé depuis le 01/06/2025 — 1 date illisible ignorée"_s};
        QCOMPARE(due::attention(report), both);

        in = Input{{u"01/01/2020;1.2.3"_s, u"01/01/2020;x"_s}, {}, u"15000"_s, {}};
        report = due::compute(recordOf(in), kToday);
        QCOMPARE(due::sentence(report.reminders[0]), u"Prochain entretien : à 15 000 km — 2 compteurs illisibles ignorés"_s);

        QCOMPARE(due::formatKm(0), u"0"_s);
        QCOMPARE(due::formatKm(999), u"999"_s);
        QCOMPARE(due::formatKm(1000), u"1 000"_s);
        QCOMPARE(due::formatKm(-1234567), u"-1 234 567"_s);
    }

    // RFC 5545: at most 75 octets a line, continuation lines start with a space, no character
    // cut in two; unfolding gives the line back.
    void folding_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("short") << u"SUMMARY:Entretien"_s;
        QTest::newRow("exactly 75") << (u"X:"_s + QString(73, u'a'));
        QTest::newRow("76") << (u"X:"_s + QString(74, u'a'));
        QTest::newRow("accents across the limit") << (u"DESCRIPTION:"_s + QString(70, u'é'));
        QTest::newRow("four-byte characters") << (u"X:a"_s + QString::fromUcs4(U"\U0001F697").repeated(60));
    }
    void folding()
    {
        QFETCH(QString, text);
        const QByteArray folded = duecalendar::foldLine(text.toUtf8());
        QVERIFY(folded.endsWith("\r\n"));
        const QList<QByteArray> parts = folded.chopped(2).split('\n');
        QByteArray unfolded;
        for (qsizetype i = 0; i < parts.size(); ++i) {
            QByteArray p = parts[i];
            if (i + 1 < parts.size()) {
                QVERIFY(p.endsWith('\r'));
                p.chop(1);
            }
            QVERIFY2(p.size() <= 75, p.constData());
            QVERIFY(QString::fromUtf8(p).toUtf8() == p); // whole characters only
            if (i > 0) {
                QVERIFY(p.startsWith(' '));
                p.remove(0, 1);
            }
            unfolded += p;
        }
        QCOMPARE(QString::fromUtf8(unfolded), text);
    }

    void escaping()
    {
        QCOMPARE(duecalendar::escapeText(u"a\\b;c,d\ne\r\nf\tg"_s), u"a\\\\b\\;c\\,d\\ne\\nfg"_s);
    }

    void calendarEvents()
    {
        Input in{{u"01/01/2026;10000"_s, u"01/03/2026;11770"_s}, {u"01/01/2025;Vidange;5000"_s}, u"10000"_s, {}};
        const due::Report report = due::compute(recordOf(in), kToday);
        const QDateTime stamp(QDate(2026, 3, 1), QTime(8, 30), Qt::UTC);
        const QByteArray ics = duecalendar::calendar(report, u"Renault Clio, bleue"_s, u"/a/b.vtr"_s, stamp);
        QVERIFY(ics.startsWith("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:"));
        QVERIFY(ics.endsWith("END:VCALENDAR\r\n"));
        QCOMPARE(ics.count("BEGIN:VEVENT"), 2);
        QVERIFY(ics.contains("DTSTART;VALUE=DATE:20260617\r\nDTEND;VALUE=DATE:20260618\r\n"));
        QVERIFY(ics.contains("DTSTART;VALUE=DATE:20280601\r\n"));
        QCOMPARE(ics.count("DTSTAMP:20260301T083000Z\r\n"), 2);
        QVERIFY(ics.contains("SUMMARY:Entretien — Renault Clio\\, bleue\r\n"));
        // The same file and kind give the same UID; another file another one.
        const auto uids = [](const QByteArray &text) {
            QList<QByteArray> out;
            for (const QByteArray &l : text.split('\n'))
                if (l.startsWith("UID:"))
                    out << l.trimmed();
            return out;
        };
        const QList<QByteArray> first = uids(ics);
        QCOMPARE(first.size(), 2);
        QVERIFY(first[0].endsWith("-service@tevauto") && first[1].endsWith("-inspection@tevauto"));
        QCOMPARE(uids(duecalendar::calendar(report, {}, u"/a/b.vtr"_s, stamp.addDays(3))), first);
        QVERIFY(uids(duecalendar::calendar(report, {}, u"/a/c.vtr"_s, stamp))[0] != first[0]);
        QVERIFY(duecalendar::calendar(due::Report{}, {}, u"/a/b.vtr"_s, stamp).isEmpty());
    }
};

QTEST_APPLESS_MAIN(TestDue)
#include "tst_due.moc"
