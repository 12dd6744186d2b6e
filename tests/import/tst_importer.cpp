// The importer: values written in other trackers' ways, the order of day and month, the report,
// and every fixture through vtrtool import and show against its expected record.
#include "import/csv.h"
#include "import/fields.h"
#include "import/importer.h"
#include "vehicle/textrules.h"
#include "vehicle/vtrfile.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>

using namespace Qt::StringLiterals;
using namespace importer;

Q_DECLARE_METATYPE(importer::NumberRole)

namespace {

const QString kData = QStringLiteral(TEV_TEST_DATA "/import/");
const QString kTool = QStringLiteral(TEV_BINARY_DIR "/src/tools/vtrtool/vtrtool");
const QDate kToday(2025, 6, 1);

Result importBytes(const QByteArray &bytes, DateOrder order = DateOrder::Unknown)
{
    QBuffer device;
    device.setData(bytes);
    device.open(QIODevice::ReadOnly);
    return importDevice(device, order, kToday, u"test.csv"_s);
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

struct Run {
    int code = -1;
    QString out, err;
};

Run vtrtool(const QStringList &args)
{
    QProcess p;
    p.start(kTool, QStringList{u"--today"_s, u"01/06/2025"_s} + args);
    if (!p.waitForFinished(60000))
        return {};
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}

QStringList fuelDates(const VehicleRecord &r)
{
    QStringList d;
    for (const FuelEntry &e : r.ListView1)
        d << e[0];
    return d;
}

} // namespace

class TestImporter : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void numbers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<NumberRole>("role");
        QTest::addColumn<int>("state");
        QTest::addColumn<QString>("value"); // two decimals
        const auto A = NumberRole::Amount, O = NumberRole::Odometer, Q = NumberRole::Quantity;
        QTest::newRow("French amount") << u"23,07 €"_s << A << int(Number::Ok) << u"23.07"_s;
        QTest::newRow("American amount") << u"$1,234.56"_s << A << int(Number::Ok) << u"1234.56"_s;
        QTest::newRow("no-break space groups") << u"1\u00A0234,5"_s << A << int(Number::Ok) << u"1234.50"_s;
        QTest::newRow("narrow no-break space") << u"1\u202F234,56 €"_s << A << int(Number::Ok) << u"1234.56"_s;
        QTest::newRow("German groups") << u"1.234.567,8"_s << A << int(Number::Ok) << u"1234567.80"_s;
        QTest::newRow("parentheses") << u"($12.00)"_s << A << int(Number::Ok) << u"-12.00"_s;
        QTest::newRow("minus before sign") << u"-$40.00"_s << A << int(Number::Ok) << u"-40.00"_s;
        QTest::newRow("code before") << u"EUR 12"_s << A << int(Number::Ok) << u"12.00"_s;
        QTest::newRow("leading mark") << u",5"_s << Q << int(Number::Ok) << u"0.50"_s;
        QTest::newRow("odometer groups") << u"12,345"_s << O << int(Number::Ok) << u"12345.00"_s;
        QTest::newRow("quantity decimal") << u"12,345"_s << Q << int(Number::Ok) << u"12.35"_s;
        QTest::newRow("odometer decimal") << u"12345,6"_s << O << int(Number::Ok) << u"12345.60"_s;
        QTest::newRow("empty") << u"  "_s << A << int(Number::Empty) << QString();
        QTest::newRow("dash") << u"-"_s << A << int(Number::Empty) << QString();
        QTest::newRow("letter O for zero") << u"4O,00"_s << Q << int(Number::Bad) << QString();
        QTest::newRow("words") << u"n/a"_s << A << int(Number::Bad) << QString();
        QTest::newRow("two decimal marks") << u"1,2.3,4"_s << A << int(Number::Bad) << QString();
    }

    void numbers()
    {
        QFETCH(QString, text);
        QFETCH(NumberRole, role);
        QFETCH(int, state);
        QFETCH(QString, value);
        const Number n = parseNumber(text, role);
        QCOMPARE(int(n.state), state);
        if (n.ok())
            QCOMPARE(twoDecimals(n.value), value);
    }

    void dates_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("dmy"); // as read day first; "-" when not a date
        QTest::addColumn<QString>("mdy");
        QTest::addColumn<int>("minutes");
        QTest::newRow("ISO with time") << u"2024-03-10 14:30"_s << u"10/03/2024"_s << u"10/03/2024"_s << 870;
        QTest::newRow("ISO T") << u"2024-03-10T08:05:00"_s << u"10/03/2024"_s << u"10/03/2024"_s << 485;
        QTest::newRow("day first or not") << u"3/10/2024"_s << u"03/10/2024"_s << u"10/03/2024"_s << -1;
        QTest::newRow("only day first") << u"24.03.2024"_s << u"24/03/2024"_s << u"-"_s << -1;
        QTest::newRow("French month") << u"10 févr. 2024"_s << u"10/02/2024"_s << u"10/02/2024"_s << -1;
        QTest::newRow("English month") << u"Mar 10, 2024"_s << u"10/03/2024"_s << u"10/03/2024"_s << -1;
        QTest::newRow("ambiguous month word") << u"10 jui 2024"_s << u"-"_s << u"-"_s << -1;
        QTest::newRow("two-digit year") << u"10/03/24"_s << u"10/03/2024"_s << u"03/10/2024"_s << -1;
        QTest::newRow("spreadsheet day number") << u"45361"_s << u"10/03/2024"_s << u"10/03/2024"_s << -1;
        QTest::newRow("compact") << u"20240310"_s << u"10/03/2024"_s << u"10/03/2024"_s << -1;
        QTest::newRow("no such day") << u"2024-02-30"_s << u"-"_s << u"-"_s << -1;
        QTest::newRow("time first") << u"14:30 10/03/2024"_s << u"-"_s << u"-"_s << -1;
        QTest::newRow("text") << u"hier"_s << u"-"_s << u"-"_s << -1;
    }

    void dates()
    {
        QFETCH(QString, text);
        QFETCH(QString, dmy);
        QFETCH(QString, mdy);
        QFETCH(int, minutes);
        const DateParts d = parseDate(text);
        const auto shown = [&d](DateOrder o) {
            const auto date = resolveDate(d, o);
            return date ? dateText(*date) : u"-"_s;
        };
        QCOMPARE(shown(DateOrder::DMY), dmy);
        QCOMPARE(shown(DateOrder::MDY), mdy);
        if (d.shape != DateParts::Bad)
            QCOMPARE(int(d.minutes), minutes);
    }

    void fitText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("fit");
        QTest::addColumn<int>("replaced");
        QTest::newRow("held as it is") << u"’ « » € œ … Ÿ"_s << u"’ « » € œ … Ÿ"_s << 0;
        QTest::newRow("dashes and signs") << u"A‐B − C ≥ 3 ≤ 4"_s << u"A-B - C >= 3 <= 4"_s << 4;
        QTest::newRow("marked letters") << u"Łódź Őrség"_s << u"Lódz Orség"_s << 3;
        QTest::newRow("emoji dropped") << u"Plein 🚗⛽️ ok"_s << u"Plein ok"_s << 3;
        QTest::newRow("line breaks and tabs") << u" a\r\nb\tc  d "_s << u"a b c d"_s << 0;
        QTest::newRow("other scripts") << u"Москва"_s << u"??????"_s << 6;
        QTest::newRow("section marker") << u"[/PAGE2]"_s << u"(/PAGE2)"_s << 0;
    }

    void fitText()
    {
        QFETCH(QString, text);
        QFETCH(QString, fit);
        QFETCH(int, replaced);
        int count = 0;
        QCOMPARE(importer::fitText(text, count), fit);
        QCOMPARE(count, replaced);
    }

    // Day and month: settled by a date that only one order reads, else by the order given,
    // else asked for; an order the dates rule out is not used.
    void dateOrder()
    {
        const QByteArray open = "Date,Litres,Montant\n3/10/2024,40,60\n4/2/2024,41,61\n";
        Result r = importBytes(open);
        QVERIFY(r.ok);
        QVERIFY(r.report.needsDateOrder);
        QCOMPARE(r.report.possibleOrders, (std::vector<DateOrder>{DateOrder::DMY, DateOrder::MDY}));
        QVERIFY(r.record.ListView1.empty());
        QCOMPARE(r.report.lines().last(),
                 u"Ordre des dates à préciser : jour/mois/année ou mois/jour/année"_s);

        r = importBytes(open, DateOrder::MDY);
        QVERIFY(!r.report.needsDateOrder);
        QCOMPARE(fuelDates(r.record), (QStringList{u"10/03/2024"_s, u"02/04/2024"_s}));

        const QByteArray settled = open + "13/4/2024,39,58\n";
        r = importBytes(settled, DateOrder::MDY);
        QCOMPARE(fuelDates(r.record),
                 (QStringList{u"04/02/2024"_s, u"13/04/2024"_s, u"03/10/2024"_s}));

        // Two-digit years leave the year's place open too.
        r = importBytes("Date,Litres\n01/02/03,40\n");
        QCOMPARE(r.report.possibleOrders,
                 (std::vector<DateOrder>{DateOrder::DMY, DateOrder::MDY, DateOrder::YMD}));

        // Dates every order reads alike ask nothing.
        r = importBytes("Date,Litres\n01/01/2024,40\n05/05/2024,41\n");
        QVERIFY(!r.report.needsDateOrder);
        QCOMPARE(r.record.ListView1.size(), size_t(2));
    }

    // Rows in date order, equal dates in file order; a repeated fill-up kept once; the purchase
    // date from the earliest entry.
    void orderAndDuplicates()
    {
        const Result r = importBytes("Date;Litres;Montant;Compteur;Lieu\n"
                                     "2024-03-05;40;60;1000;b\n"
                                     "2024-03-01;41;61;900;a\n"
                                     "2024-03-05;30;45;1100;c\n"
                                     "2024-03-05;40;60;1000;b again\n");
        QCOMPARE(r.record.ListView1.size(), size_t(3));
        QCOMPARE(r.record.ListView1[0][1], u"a"_s);
        QCOMPARE(r.record.ListView1[1][1], u"b"_s);
        QCOMPARE(r.record.ListView1[2][1], u"c"_s);
        QCOMPARE(r.report.duplicates, 1);
        QCOMPARE(r.record.DateTimePicker1, QDate(2024, 3, 1));
        QCOMPARE(r.report.purchaseDate, QDate(2024, 3, 1));
    }

    // Units and the date pattern come from the vehicle table when the headers do not say.
    void phoneBackupSettings()
    {
        const QByteArray backup = "\"## Vehicle\"\n"
                                  "\"Name\",\"DistUnit\",\"FuelUnit\",\"ImportCSVDateFormat\",\"Make\",\"Model\"\n"
                                  "\"Van\",\"0\",\"2\",\"dd.MM.yyyy\",\"\",\"Transit\"\n"
                                  "\"## Log\"\n"
                                  "\"Data\",\"Odo\",\"Fuel\",\"Full\",\"Price (optional)\",\"VolumePrice\"\n"
                                  "\"03.04.2024 10:00\",\"1000\",\"10\",\"1\",\"0\",\"1.5\"\n";
        // The same with the vehicle table last: the fill-up waits for its units.
        const qsizetype log = backup.indexOf("\"## Log\"");
        for (const QByteArray &bytes : {backup, backup.mid(log) + backup.left(log)}) {
            const Result r = importBytes(bytes);
            QVERIFY(r.ok);
            QVERIFY(!r.report.needsDateOrder);
            QCOMPARE(r.report.vehicleName, u"Van"_s);
            QCOMPARE(r.record.edit[2], u"Transit"_s);
            QCOMPARE(r.record.ListView1.size(), size_t(1));
            // Day first from the pattern; imperial gallons; no total: price per unit x quantity.
            const FuelEntry expected{u"03/04/2024"_s, QString(), u"15.00"_s, u"45.46"_s, u"1000.00"_s};
            QCOMPARE(r.record.ListView1[0], expected);
            QCOMPARE(r.report.conversions,
                     QStringList{u"Quantités en gallons impériaux converties en litres (× 4.54609)"_s});
        }
    }

    // A cost repeats when its date, odometer, amount and description do, even in the parking
    // ledger, which keeps no odometer.
    void repeatedCosts()
    {
        const Result r = importBytes("Date;Montant;Compteur;Type;Libellé\n"
                                     "2024-03-05;2,50;;Parking;Gare\n"
                                     "2024-03-05;2,50;;Parking;Gare\n"
                                     "2024-03-05;2,50;1200;Parking;Gare\n"
                                     "2024-03-05;80;1200;Service;Vidange\n"
                                     "2024-03-05;80;1200;Service;Filtre\n"
                                     "2024-03-05;80;1200;Service;Vidange\n");
        QCOMPARE(r.record.ListView3.size(), size_t(2));
        QCOMPARE(r.record.ListView2.size(), size_t(2));
        QCOMPARE(r.report.duplicates, 2);
    }

    // The quick ways of reading numbers, writing two-decimal texts and checking dates give
    // exactly what the number rules and the full date check give.
    void quickFormsAgree()
    {
        QRandomGenerator rng(11);
        std::vector<long double> values;
        for (int i = 0; i < 20000; ++i) {
            // Digits past 19 significant ones and 27 decimals included.
            const int digits = 1 + int(rng.bounded(40));
            QString text;
            for (int k = 0; k < digits; ++k)
                text += QChar(char16_t(u'0' + (k < 3 && rng.bounded(2) ? 0 : rng.bounded(10))));
            if (rng.bounded(4) > 0)
                text.insert(rng.bounded(digits + 1), u'.');
            if (rng.bounded(4) == 0)
                text.prepend(u'-');
            const Number n = parseNumber(text, NumberRole::Quantity);
            const textrules::NumberRead rule = textrules::readNumber(text);
            QVERIFY2(n.ok() && rule.isNumber() && n.value == rule.value
                         && std::signbit(n.value) == std::signbit(rule.value),
                     qPrintable(text));
            values.push_back(n.value);
        }
        for (int k = 0; k < 40000; ++k) {
            values.push_back(k / 1000.0L); // every half of a hundredth: 2.675, 0.125...
            values.push_back(-k / 1000.0L);
            values.push_back(k / 100.0L * 1.609344L);
            values.push_back(k / 100.0L * 3.785411784L);
            values.push_back(std::ldexp(static_cast<long double>(rng.generateDouble()),
                                        int(rng.bounded(90)) - 40));
        }
        for (long double v : {99999999999.995L, 99999999999.994L, 1e11L, 1e13L, 1e13L - 0.005L,
                              -0.004L, -0.005L, 1e-12L})
            values.push_back(v);
        for (long double v : values) {
            const QString quick = twoDecimals(v), rule = textrules::formatFixed(v, 2);
            QVERIFY2(quick == rule, qPrintable(quick + u" / "_s + rule));
        }

        for (int p0 = 0; p0 <= 33; ++p0)
            for (int p1 = 0; p1 <= 33; ++p1)
                for (int p2 : {0, 24, 69, 70, 99, 100, 1900, 2000, 2023, 2024, 9999})
                    for (bool shortParts : {false, true}) {
                        DateParts d;
                        d.shape = DateParts::Numeric;
                        d.shortParts = shortParts;
                        d.p[0] = quint16(p0);
                        d.p[1] = quint16(p1);
                        d.p[2] = quint16(p2);
                        for (DateOrder o : {DateOrder::Unknown, DateOrder::DMY, DateOrder::MDY,
                                            DateOrder::YMD})
                            QCOMPARE(dateReadable(d, o), resolveDate(d, o).has_value());
                    }
    }

    // Column names in either language, rows sent by quantity and type.
    void spreadsheetColumns()
    {
        const Result r = importBytes("Journal de bord\n\n"
                                     "Jour\tGallons (imp)\tCoût\tNature\tLibellé\tOdometer (mi)\n"
                                     "2024-05-01\t10\t50\t\tPlein\t100\n"
                                     "2024-05-02\t\t30\tTaxe\tVignette\t\n"
                                     "2024-05-03\t0\t12\t\tStationnement gare\t\n"
                                     "2024-05-04\t\t80\tPneus\t\t110\n");
        QVERIFY(r.ok);
        QCOMPARE(r.record.ListView1.size(), size_t(1));
        QCOMPARE(r.record.ListView1[0][3], u"45.46"_s);
        QCOMPARE(r.record.ListView1[0][4], u"160.93"_s);
        QCOMPARE(r.report.leftOut.size(), size_t(1));
        QCOMPARE(r.report.leftOut[0].category, u"Taxes"_s);
        QCOMPARE(r.report.leftOut[0].total, u"30.00"_s);
        QCOMPARE(r.record.ListView3.size(), size_t(1));
        const GarageEntry tyres{u"04/05/2024"_s, u"Pneus"_s, u"80.00"_s, u"177.03"_s};
        QCOMPARE(r.record.ListView2, std::vector<GarageEntry>{tyres});
    }

    void skippedRowsReport()
    {
        QByteArray bytes = "Date,Litres,Montant\n2024-01-01,40,60\n";
        for (int i = 0; i < 25; ++i)
            bytes += "2024-01-xx,40,60\n";
        const Result r = importBytes(bytes);
        QVERIFY(r.ok);
        QCOMPARE(r.report.skipped.size(), size_t(25));
        const QStringList lines = r.report.lines();
        const qsizetype head = lines.indexOf(u"Lignes illisibles, ignorées : 25"_s);
        QVERIFY(head > 0);
        QCOMPARE(lines[head + 1], u"  ligne 3 : date illisible"_s);
        QCOMPARE(lines[head + 20], u"  ligne 22 : date illisible"_s);
        QCOMPARE(lines[head + 21], u"  et 5 autres lignes"_s);
        QCOMPARE(lines.size(), head + 22);
    }

    void notRecognised_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("prose") << QByteArray("Chère Julie,\nvoici les pleins.\n");
        QTest::newRow("header without amount or quantity")
            << QByteArray("Date,Odometer,Notes\n2024-01-01,1000,x\n");
        QTest::newRow("a vehicle file") << readFile(QStringLiteral(TEV_TEST_DATA "/full.vtr"));
        QTest::newRow("binary") << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16);
    }

    void notRecognised()
    {
        QFETCH(QByteArray, bytes);
        const Result r = importBytes(bytes);
        QVERIFY(!r.ok);
        QCOMPARE(r.error, u"Format de fichier non reconnu"_s);
    }

    // The same record whatever the size of the reads.
    void chunkSizesAgree()
    {
        for (const QString &name : {u"fuelio-miles"_s, u"costs-en"_s, u"tableur-fr"_s}) {
            const QByteArray bytes = readFile(kData + name + u".csv"_s);
            const Result whole = importBytes(bytes);
            for (qsizetype chunk : {1, 3, 17}) {
                csv::Reader::setChunkForTests(chunk);
                const Result cut = importBytes(bytes);
                csv::Reader::setChunkForTests(0);
                QVERIFY2(cut.record.sameStoredContent(whole.record), qPrintable(name));
                QCOMPARE(cut.report.lines(), whole.report.lines());
            }
        }
    }

    // import, then show of the file written: the record and the report each fixture should
    // give. The fixture is copied under a name that says nothing of its format.
    void fixtures_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("options");
        QTest::newRow("phone backup, miles and US gallons") << u"fuelio-miles"_s << QStringList();
        QTest::newRow("ledger export, French fuel") << u"lubelogger-carburant-fr"_s << QStringList();
        QTest::newRow("ledger export, US fuel, order given")
            << u"lubelogger-fuel-us"_s << QStringList{u"--date-order"_s, u"mdy"_s};
        QTest::newRow("ledger export, service") << u"lubelogger-service"_s << QStringList();
        QTest::newRow("ledger export, taxes") << u"lubelogger-taxes"_s << QStringList();
        QTest::newRow("spreadsheet, English costs, lone CR") << u"costs-en"_s << QStringList();
        QTest::newRow("spreadsheet, French, Windows-1252") << u"tableur-fr"_s << QStringList();
    }

    void fixtures()
    {
        QFETCH(QString, name);
        QFETCH(QStringList, options);
        if (!QFileInfo::exists(kTool))
            QSKIP("vtrtool is not built");
        QTemporaryDir dir;
        const QString input = dir.filePath(u"historique.dat"_s);
        QVERIFY(QFile::copy(kData + name + u".csv"_s, input));
        const QString output = dir.filePath(u"voiture.vtr"_s);
        const Run imported = vtrtool(QStringList{u"import"_s} + options + QStringList{input, output});
        QCOMPARE(imported.err, QString());
        QCOMPARE(imported.code, 0);
        QCOMPARE(imported.out, QString::fromUtf8(readFile(kData + name + u".report.txt"_s)));
        const Run shown = vtrtool({u"show"_s, output});
        QCOMPARE(shown.code, 0);
        QCOMPARE(shown.out, QString::fromUtf8(readFile(kData + name + u".show.txt"_s)));
    }

    void vtrtoolErrors()
    {
        if (!QFileInfo::exists(kTool))
            QSKIP("vtrtool is not built");
        QTemporaryDir dir;
        const QString out = dir.filePath(u"out.vtr"_s);
        const QString ambiguous = kData + u"lubelogger-fuel-us.csv"_s;
        Run r = vtrtool({u"import"_s, ambiguous, out});
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.contains(u"--date-order dmy ou --date-order mdy"_s), qPrintable(r.err));
        QVERIFY(!QFileInfo::exists(out));

        r = vtrtool({u"import"_s, QStringLiteral(TEV_TEST_DATA "/full.vtr"), out});
        QCOMPARE(r.code, 1);
        QCOMPARE(r.err.trimmed(), u"Format de fichier non reconnu"_s);

        const QString missing = dir.filePath(u"absent.csv"_s);
        r = vtrtool({u"import"_s, missing, out});
        QCOMPARE(r.code, 1);
        QCOMPARE(r.err.trimmed(), u"Ne peut ouvrir le fichier "_s + missing);

        QCOMPARE(vtrtool({u"import"_s, u"--date-order"_s, u"dym"_s, ambiguous, out}).code, 2);
        QCOMPARE(vtrtool({u"import"_s, ambiguous}).code, 2);
        QVERIFY(!QFileInfo::exists(out));
    }
};

QTEST_GUILESS_MAIN(TestImporter)
#include "tst_importer.moc"
