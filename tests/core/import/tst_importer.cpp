// The importer: values written in other trackers' ways, the order of day and month, the report,
// and every fixture through vtrtool import and show against its expected record.
#include "core/import/csv.h"
#include "core/import/fields.h"
#include "core/import/importer.h"
#include "core/vehicle/textrules.h"
#include "core/vehicle/vtrfile.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <random>

using namespace Qt::StringLiterals;
using namespace importer;

Q_DECLARE_METATYPE(importer::NumberRole)

namespace {

const QString kData = QStringLiteral(TEV_TEST_DATA "/import/");
const QString kTool = QStringLiteral(TEV_BINARY_DIR "/src/tools/vtrtool/vtrtool");
const QDate kToday(2025, 6, 1);

Result importBytes(const QByteArray &bytes, DateOrder order = DateOrder::Unknown,
                   const QString &vehicle = QString())
{
    QBuffer device;
    device.setData(bytes);
    device.open(QIODevice::ReadOnly);
    return importDevice(device, Options{order, vehicle, {}}, kToday, u"test.csv"_s);
}

// Every fixture, and the format whose reader must take it (its place in knownFormats()).
const std::vector<std::pair<QString, int>> &fixtureFormats()
{
    static const std::vector<std::pair<QString, int>> all{
        {u"fuelio-miles"_s, 0}, {u"fuelio-reminders"_s, 0}, {u"fuelio-bicarburant"_s, 0},
        {u"lubelogger-carburant-fr"_s, 1}, {u"lubelogger-fuel-us"_s, 1}, {u"lubelogger-service"_s, 1},
        {u"lubelogger-taxes"_s, 1},
        {u"drivvo-en"_s, 2}, {u"drivvo-fr"_s, 2}, {u"drivvo-pt"_s, 2}, {u"drivvo-ru"_s, 2},
        {u"fuelly-fuelups"_s, 3}, {u"fuelly-mpg"_s, 3}, {u"fuelly-services"_s, 3},
        {u"acar"_s, 4}, {u"acar-stations"_s, 4},
        {u"spritmonitor-de"_s, 5}, {u"spritmonitor-en"_s, 5},
        {u"myfuelmanager-fuel"_s, 6}, {u"myfuelmanager-costs"_s, 6},
        {u"carreport"_s, 7},
        {u"costs-en"_s, 9}, {u"tableur-fr"_s, 9}, {u"spreadsheet-en"_s, 9}, {u"spreadsheet-price"_s, 9},
        {u"carnet-distances"_s, 9}, {u"pleins-gnv"_s, 9}};
    return all;
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
            QCOMPARE(twoDecimals(n.value()), value);
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
        QTest::newRow("other scripts in Latin letters") << u"Москва"_s << u"Moskva"_s << 6;
        QTest::newRow("Cyrillic beside what is held") << u"Замена масла 5W-40 « ok »"_s
                                                      << u"Zamena masla 5W-40 « ok »"_s << 11;
        QTest::newRow("Greek, soft sign dropped") << u"Λάδι, Мальчик"_s << u"Ládi, Malcik"_s << 11;
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

    // Repeats are found alike whether the file runs in date order or not, on a quiet day or on
    // one of many entries.
    void repeatsInAnyOrder()
    {
        QList<QByteArray> rows;
        for (int day = 1; day <= 3; ++day)
            for (int k = 0; k < (day == 2 ? 60 : 4); ++k) // day 2: past one-by-one comparing
                rows << QByteArray("2024-03-0") + QByteArray::number(day) + ";"
                            + QByteArray::number(10 + k % (day == 2 ? 25 : 3)) + ";Service;Pièce\n";
        QList<QByteArray> shuffled = rows;
        std::mt19937 rng(5);
        std::shuffle(shuffled.begin(), shuffled.end(), rng);
        std::vector<GarageEntry> first;
        for (const QList<QByteArray> &order : {rows, shuffled}) {
            const Result r = importBytes("Date;Montant;Type;Libellé\n" + order.join());
            QVERIFY(r.ok);
            QCOMPARE(r.report.duplicates, (4 - 3) * 2 + (60 - 25));
            QCOMPARE(r.record.ListView2.size(), size_t(3 + 25 + 3));
            std::vector<GarageEntry> sorted = r.record.ListView2;
            std::sort(sorted.begin(), sorted.end(), [](const GarageEntry &a, const GarageEntry &b) {
                return std::pair(a[0], a[2]) < std::pair(b[0], b[2]);
            });
            if (first.empty())
                first = sorted;
            QCOMPARE(sorted, first);
        }
    }

    // The quick ways of reading numbers, writing two-decimal texts and checking dates give
    // exactly what the number rules and the full date check give.
    void quickFormsAgree()
    {
        QRandomGenerator rng(11);
        std::vector<long double> values;
        int fromBytes = 0;
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
            QVERIFY2(n.ok() && rule.isNumber() && n.value() == rule.value
                         && std::signbit(n.value()) == std::signbit(rule.value),
                     qPrintable(text));
            // The digits the file gave, written back without rounding, are the value's text.
            const LedgerText written = twoDecimalsText(n), plain(twoDecimals(n.value()));
            QVERIFY2(written == plain && written.hash() == plain.hash(), qPrintable(text));
            // The same with a decimal comma and a currency sign, unless the comma may group.
            const qsizetype dot = text.indexOf(u'.');
            if (dot > 0 && dot < text.size() - 1 && text.size() - dot - 1 != 3) {
                const Number c = parseNumber(QString(text).replace(u'.', u',') + u" \u20AC"_s,
                                             NumberRole::Amount);
                QVERIFY2(c.ok() && c.value() == n.value() && c.exact == n.exact
                             && c.hundredths == n.hundredths,
                         qPrintable(text));
            }
            // Read from a file's bytes, in either encoding, the same number when read at all.
            const QString written2 = QString(text).replace(u'.', u',') + u"\u00A0\u20AC"_s;
            const Number full = parseNumber(written2, NumberRole::Amount);
            for (const QByteArray &bytes : {written2.toUtf8(), text.toLatin1().replace('.', ',') + "\xA0\x80"}) {
                Number quick;
                if (parsePlainNumber(bytes, bytes.contains('\xE2'), quick) && ++fromBytes)
                    QVERIFY2(quick.state == full.state && quick.value() == full.value()
                                 && quick.exact == full.exact && quick.hundredths == full.hundredths,
                             qPrintable(text));
            }
            values.push_back(n.value());
        }
        QVERIFY(fromBytes > 5000);
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

        // A word before a date sends it the long way: both ways read the same parts.
        const char16_t separators[] = {u'/', u'.', u'-', u' ', u':'};
        for (int i = 0; i < 20000; ++i) {
            QString text;
            for (int k = 0; k < 3; ++k) {
                if (k > 0)
                    text += QChar(separators[rng.bounded(5)]);
                const int digits = int(rng.bounded(5)); // five: a day number, read alone
                for (int j = 0; j < digits; ++j)
                    text += QChar(char16_t(u'0' + rng.bounded(j == 0 ? 4 : 10)));
            }
            if (rng.bounded(4) == 0)
                text += u" "_s;
            const DateParts quick = parseDate(text), full = parseDate(u"le "_s + text);
            QVERIFY2(quick.shape == full.shape && quick.shortParts == full.shortParts
                         && std::equal(quick.p, quick.p + 3, full.p) && quick.minutes == full.minutes,
                     qPrintable(text));
            DateParts bytes;
            if (parsePlainDate(text.toLatin1(), bytes))
                QVERIFY2(bytes.shape == full.shape && bytes.shortParts == full.shortParts
                             && std::equal(bytes.p, bytes.p + 3, full.p) && bytes.minutes == full.minutes,
                         qPrintable(text));
        }
    }

    void flagsFromBytes()
    {
        // Read from bytes or not, a flag reads the same.
        int quickly = 0;
        for (const char *word : {"1", "0", " True ", "FALSE", "false", "oui", "x", "", "2", "truex"}) {
            std::optional<bool> quick;
            if (parsePlainFlag(QByteArrayView(word), quick)) {
                ++quickly;
                QCOMPARE(quick, parseFlag(QString::fromLatin1(word)));
            }
        }
        QCOMPARE(quickly, 5);
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
        // The message says which formats are read, the spreadsheet last.
        QCOMPARE(r.error, u"Format de fichier non reconnu\nFormats reconnus : "_s
                              + knownFormats().join(u", "_s));
        QCOMPARE(knownFormats().size(), 10);
        QVERIFY(knownFormats().constLast().startsWith(u"tableur"_s));
    }

    // Multi-table files whose tables are no reader's own, and section titles alone.
    void foreignTablesNotRecognised_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("unknown tables") << QByteArray("##Trips\nFrom,To,Date,Cost\nA,B,2024-01-01,3\n"
                                                      "##Stops\nDate,Place,Amount\n2024-01-02,C,4\n");
        QTest::newRow("both apps' tables") << QByteArray("## Log\nData,Odo,Fuel\n2024-01-01,1,2\n"
                                                         "##Refuelling\nOdometer (km),Date\n");
        QTest::newRow("sections of unknown titles")
            << QByteArray("Cars\nName,Date,Amount\nA,2024-01-01,3\n\nBills\nDate,Amount\n2024-01-01,4\n");
    }

    void foreignTablesNotRecognised()
    {
        QFETCH(QByteArray, bytes);
        const Result r = importBytes(bytes);
        QVERIFY(!r.ok);
        QVERIFY2(r.error.startsWith(u"Format de fichier non reconnu\n"_s), qPrintable(r.error));
    }

    // Each reader takes its own fixtures and refuses every other reader's; the spreadsheet, the
    // reader of last resort, refuses multi-table files and is always the weaker.
    void readersRefuseOthersFixtures()
    {
        const int spreadsheet = int(knownFormats().size()) - 1;
        for (const auto &[name, own] : fixtureFormats()) {
            QFile f(kData + name + u".csv"_s);
            QVERIFY(f.open(QIODevice::ReadOnly));
            const std::vector<Evidence> weights = weighFormats(f);
            QCOMPARE(f.pos(), qint64(0));
            QCOMPARE(int(weights.size()), spreadsheet + 1);
            QVERIFY2(weights[size_t(own)].strength > 0, qPrintable(name));
            for (int k = 0; k < spreadsheet; ++k)
                if (k != own)
                    QVERIFY2(weights[size_t(k)].strength == 0,
                             qPrintable(name + u" taken by "_s + weights[size_t(k)].format));
            if (own != spreadsheet)
                QVERIFY2(weights[size_t(spreadsheet)].strength < weights[size_t(own)].strength,
                         qPrintable(name));
            if (name.startsWith(u"fuelio"_s) || name.startsWith(u"drivvo"_s) || name == u"acar"_s)
                QVERIFY2(weights[size_t(spreadsheet)].strength == 0, qPrintable(name));
        }
    }

    // Repeats are found on the file's own text: texts that come out alike in Latin letters
    // are two costs; the same text twice is one.
    void repeatsComparedOnTheFilesText()
    {
        const Result r = importBytes("Date;Montant;Compteur;Type;Libellé\n"
                                     "2024-03-05;500;1200;Service;Мойка\n"
                                     "2024-03-05;500;1200;Service;Mойка\n" // a Latin M
                                     "2024-03-05;500;1200;Service;Мойка\n"
                                     "2024-03-05;500;1200;Service;Шиномонтаж\n");
        QCOMPARE(r.record.ListView2.size(), size_t(3));
        QCOMPARE(r.record.ListView2[0][1], u"Mojka"_s);
        QCOMPARE(r.record.ListView2[1][1], u"Mojka"_s);
        QCOMPARE(r.record.ListView2[2][1], u"Šinomontaž"_s);
        QCOMPARE(r.report.duplicates, 1);
    }

    // A bare "price" beside a quantity: the values say whether it is per unit or the total,
    // and the report says which reading was taken.
    void barePrice_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("total");   // of the first fill-up
        QTest::addColumn<QString>("reading"); // how the report begins the line
        QTest::newRow("total, by its spread") << QByteArray("date,litres,price\n2024-01-01,40,72\n"
                                                          "2024-01-15,20,37\n2024-02-01,30,54.6\n")
                                              << u"72.00"_s << u"Colonne « price » lue comme montant : "_s;
        QTest::newRow("per unit, by its spread") << QByteArray("date,litres,price\n2024-01-01,40,1.80\n"
                                                             "2024-01-15,20,1.85\n2024-02-01,30,1.82\n")
                                                 << u"72.00"_s
                                                 << u"Colonne « price » lue comme prix unitaire : elle varie"_s;
        QTest::newRow("per unit, times quantity in another column")
            << QByteArray("date,litres,price,paid out\n2024-01-01,40,1.80,72.00\n")
            << u"72.00"_s << u"Colonne « price » lue comme prix unitaire : prix × quantité = « paid out »"_s;
        QTest::newRow("per unit, one row far below") << QByteArray("date,litres,price\n2024-01-01,40,1.80\n")
                                                     << u"72.00"_s
                                                     << u"Colonne « price » lue comme prix unitaire : ses valeurs"_s;
        QTest::newRow("beside a total") << QByteArray("date,litres,price,total\n2024-01-01,40,1.70,72.00\n")
                                        << u"72.00"_s
                                        << u"Colonne « price » lue comme prix unitaire : le montant a sa colonne"_s;
    }

    void barePrice()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, total);
        QFETCH(QString, reading);
        const Result r = importBytes(bytes);
        QVERIFY(r.ok);
        QCOMPARE(r.record.ListView1.front()[2], total);
        QCOMPARE(r.report.readings.size(), qsizetype(1));
        QVERIFY2(r.report.readings.front().startsWith(reading), qPrintable(r.report.readings.front()));
    }

    // Ratios are never readings, quantities or amounts; the event's date wins over the record's.
    void columnsTakenOnlyByTheirMeaning()
    {
        const Result r = importBytes("date_added,km/l,l/100km,fuelup_date,Odo,mpg,Liters,%,Cost\n"
                                     "2024-02-01,15.2,6.6,2024-01-10,1000,35,40,50,72\n");
        QVERIFY(r.ok);
        const FuelEntry expected{u"10/01/2024"_s, QString(), u"72.00"_s, u"40.00"_s, u"1000.00"_s};
        QCOMPARE(r.record.ListView1, std::vector<FuelEntry>{expected});
        QCOMPARE(r.report.ignoredColumns,
                 (QStringList{u"date_added"_s, u"km/l"_s, u"l/100km"_s, u"mpg"_s, u"%"_s}));

        // "Fuel" alone names which fuel, unless its values are amounts of it.
        const Result kind = importBytes("Date;Fuel;Fillup volume;Montant\n2024-01-01;Diesel;40;72\n");
        QCOMPARE(kind.record.ListView1.size(), size_t(1));
        QCOMPARE(kind.record.ComboBox1, u"Diesel"_s);
        const Result amount = importBytes("Date;Carburant;Montant\n2024-01-01;40;72\n2024-01-20;38,5;70\n");
        QCOMPARE(amount.record.ListView1.size(), size_t(2));
        QCOMPARE(amount.record.ListView1[1][3], u"38.50"_s);
        QCOMPARE(amount.report.readings,
                 QStringList{u"Colonne « Carburant » lue comme quantité : ses valeurs sont des nombres"_s});
    }

    // A file of several vehicles: never merged; the one named is taken, with what the file
    // says of it; a name the file does not hold is an error.
    void oneVehicleAtATime()
    {
        const QByteArray sheet = "Date;Vehicle;Litres;Montant\n2024-01-01;Clio;40;72\n"
                                 "2024-01-02;Twingo;30;54\n2024-01-03;Clio;20;36\n";
        Result r = importBytes(sheet);
        QVERIFY(r.ok);
        QVERIFY(r.report.needsVehicle);
        QVERIFY(r.record.ListView1.empty());
        QCOMPARE(vehicleListText(r.report.vehicles), u"Clio (2 écritures), Twingo (1 écriture)"_s);
        r = importBytes(sheet, DateOrder::Unknown, u"twingo"_s);
        QCOMPARE(r.record.ListView1.size(), size_t(1));
        QCOMPARE(r.report.vehicleName, u"Twingo"_s);
        QCOMPARE(r.record.edit[1], u"Twingo"_s); // no make: the name
        r = importBytes(sheet, DateOrder::Unknown, u"Golf"_s);
        QVERIFY(!r.ok);
        QCOMPARE(r.error, u"Aucun véhicule « Golf » dans test.csv (véhicules du fichier : "
                          "Clio (2 écritures), Twingo (1 écriture))"_s);

        // Sections that follow a vehicle table are that vehicle's.
        const QByteArray sections = "##Vehicle\nName,Make,Model\nOld,Fiat,Panda\n"
                                    "##Refuelling\nOdometer (km),Date,Fuel,Price / L,Total cost,Volume,Full tank\n"
                                    "1000,2020-01-01 10:00:00,Diesel,1.5,60,40,Yes\n"
                                    "##Vehicle\nName,Make,Model\nNew,Kia,Ceed\n"
                                    "##Refuelling\nOdometer (km),Date,Fuel,Price / L,Total cost,Volume,Full tank\n"
                                    "10,2024-01-01 10:00:00,LPG,0.9,27,30,Yes\n";
        r = importBytes(sections);
        QVERIFY(r.report.needsVehicle);
        r = importBytes(sections, DateOrder::Unknown, u"New"_s);
        QCOMPARE(r.record.ListView1.size(), size_t(1));
        QCOMPARE(r.record.ListView1[0][4], u"10.00"_s);
        QCOMPARE(r.record.edit[1], u"Kia"_s);
        QCOMPARE(r.record.ComboBox1, u"GPL"_s);

        // The name of a file's only vehicle is accepted too.
        r = importBytes(readFile(kData + u"fuelly-mpg.csv"_s), DateOrder::Unknown, u"Blue Truck"_s);
        QVERIFY(r.ok);
        r = importBytes(readFile(kData + u"tableur-fr.csv"_s), DateOrder::Unknown, u"Clio"_s);
        QCOMPARE(r.error, u"Aucun véhicule « Clio » dans test.csv : le fichier ne nomme aucun véhicule"_s);
    }

    // A file read but giving no entry is an error, and its report still says why.
    void noEntryIsAnError()
    {
        const Result r = importBytes("Date,Type,Montant\n2024-01-01,Assurance,400\n2024-13-45,Péage,3\n");
        QVERIFY(!r.ok);
        QVERIFY(r.noEntry);
        QCOMPARE(r.error, u"Aucune écriture trouvée dans test.csv"_s);
        QCOMPARE(r.report.leftOutLines(),
                 (QStringList{u"Laissé de côté : Assurance, 1 ligne, total 400.00 (frais fixe annuel, à "
                              "porter sur la page « Frais / Km »)"_s,
                              u"Lignes illisibles, ignorées : 1"_s, u"  ligne 3 : date illisible"_s}));
        QCOMPARE(importBytes("Date,Montant\n").error, u"Aucune écriture trouvée dans test.csv"_s);
    }

    void times_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("minutes");
        QTest::newRow("24 hours") << u"14:05"_s << 845;
        QTest::newRow("seconds") << u"14:05:33"_s << 845;
        QTest::newRow("French") << u"14h30"_s << 870;
        QTest::newRow("morning") << u"8:30 AM"_s << 510;
        QTest::newRow("noon") << u"12:10 PM"_s << 730;
        QTest::newRow("midnight") << u"12:10 am"_s << 10;
        QTest::newRow("13 PM") << u"13:00 PM"_s << -1;
        QTest::newRow("minutes past 59") << u"10:75"_s << -1;
        QTest::newRow("words") << u"le matin"_s << -1;
    }

    void times()
    {
        QFETCH(QString, text);
        QFETCH(int, minutes);
        QCOMPARE(parseTime(text), minutes);
    }

    void vehicleTypes_data()
    {
        QTest::addColumn<QString>("fuel");
        QTest::addColumn<QString>("type");
        QTest::newRow("French diesel") << u"Gazole"_s << u"Diesel"_s;
        QTest::newRow("German petrol") << u"Super E10"_s << u"Essence"_s;
        QTest::newRow("Russian petrol") << u"АИ-95"_s << u"Essence"_s;
        QTest::newRow("Russian diesel") << u"Дизель"_s << u"Diesel"_s;
        QTest::newRow("LPG") << u"LPG"_s << u"GPL"_s;
        QTest::newRow("natural gas") << u"Natural gas"_s << QString();
        QTest::newRow("ethanol") << u"Etanol"_s << QString();
        QTest::newRow("a code") << u"3"_s << QString();
    }

    void vehicleTypes()
    {
        QFETCH(QString, fuel);
        QFETCH(QString, type);
        QCOMPARE(vehicleTypeOf(fuel), type);
    }

    // The same record whatever the size of the reads.
    void chunkSizesAgree()
    {
        for (const auto &[name, format] : fixtureFormats()) {
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
        QTest::addColumn<int>("code");
        const QStringList none;
        QTest::newRow("phone backup, miles and US gallons") << u"fuelio-miles"_s << none << 0;
        QTest::newRow("phone backup, reminders, Thai and Cyrillic") << u"fuelio-reminders"_s << none << 0;
        QTest::newRow("ledger export, French fuel") << u"lubelogger-carburant-fr"_s << none << 0;
        QTest::newRow("ledger export, US fuel, order given")
            << u"lubelogger-fuel-us"_s << QStringList{u"--date-order"_s, u"mdy"_s} << 0;
        QTest::newRow("ledger export, service") << u"lubelogger-service"_s << none << 0;
        QTest::newRow("ledger export, taxes only: no entry") << u"lubelogger-taxes"_s << none << 1;
        QTest::newRow("sections, English, two fuels") << u"drivvo-en"_s << none << 0;
        QTest::newRow("sections, French, purchase") << u"drivvo-fr"_s << none << 0;
        QTest::newRow("sections, Portuguese, flex fuel") << u"drivvo-pt"_s << none << 0;
        QTest::newRow("sections, Russian") << u"drivvo-ru"_s << none << 0;
        QTest::newRow("fuel-ups, litres, one of two cars")
            << u"fuelly-fuelups"_s << QStringList{u"--vehicle"_s, u"Clio"_s} << 0;
        QTest::newRow("fuel-ups, miles and gallons") << u"fuelly-mpg"_s << none << 0;
        QTest::newRow("services, bought") << u"fuelly-services"_s << none << 0;
        QTest::newRow("titled sections, one of two vehicles")
            << u"acar"_s << QStringList{u"--vehicle=Blue Truck"_s} << 0;
        QTest::newRow("German fuel log") << u"spritmonitor-de"_s << none << 0;
        QTest::newRow("English fuel log") << u"spritmonitor-en"_s << none << 0;
        QTest::newRow("titled fuel table, one of two vehicles")
            << u"myfuelmanager-fuel"_s << QStringList{u"--vehicle"_s, u"Peugeot 308"_s} << 0;
        QTest::newRow("titled costs table") << u"myfuelmanager-costs"_s << none << 0;
        QTest::newRow("refuellings, dates in milliseconds") << u"carreport"_s << none << 0;
        QTest::newRow("spreadsheet, English costs, lone CR") << u"costs-en"_s << none << 0;
        QTest::newRow("spreadsheet, French, Windows-1252") << u"tableur-fr"_s << none << 0;
        QTest::newRow("spreadsheet, unit price, unit columns") << u"spreadsheet-en"_s << none << 0;
        QTest::newRow("spreadsheet, bare price") << u"spreadsheet-price"_s << none << 0;
        QTest::newRow("phone backup, second tank in kg, vehicle year") << u"fuelio-bicarburant"_s << none << 0;
        QTest::newRow("titled sections, station brand and town, year") << u"acar-stations"_s << none << 0;
        QTest::newRow("spreadsheet, a distance beside the odometer, lone amount")
            << u"carnet-distances"_s << none << 0;
        QTest::newRow("spreadsheet, gas in kg, full-tank column") << u"pleins-gnv"_s << none << 0;
    }

    // import, then show of the file written: the record and the report each fixture should
    // give. The fixture is copied under a name that says nothing of its format. A file that
    // gives no entry writes nothing and says what it held.
    void fixtures()
    {
        QFETCH(QString, name);
        QFETCH(QStringList, options);
        QFETCH(int, code);
        if (!QFileInfo::exists(kTool))
            QSKIP("vtrtool is not built");
        QTemporaryDir dir;
        const QString input = dir.filePath(u"historique.dat"_s);
        QVERIFY(QFile::copy(kData + name + u".csv"_s, input));
        const QString output = dir.filePath(u"voiture.vtr"_s);
        const Run imported = vtrtool(QStringList{u"import"_s} + options + QStringList{input, output});
        QCOMPARE(imported.err, code == 0 ? QString() : u"Aucune écriture trouvée dans "_s + input + u'\n');
        QCOMPARE(imported.code, code);
        QCOMPARE(imported.out, QString::fromUtf8(readFile(kData + name + u".report.txt"_s)));
        if (code != 0) {
            QVERIFY(!QFileInfo::exists(output));
            return;
        }
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
        QCOMPARE(r.err, u"Format de fichier non reconnu\nFormats reconnus : "_s
                            + knownFormats().join(u", "_s) + u'\n');

        // Several vehicles and none chosen, or one the file does not hold: nothing written.
        const QString twoCars = kData + u"acar.csv"_s;
        r = vtrtool({u"import"_s, twoCars, out});
        QCOMPARE(r.code, 1);
        QCOMPARE(r.err, u"Le fichier "_s + twoCars
                            + u" contient plusieurs véhicules : Blue Truck (5 écritures), Mom's Civic "
                              "(2 écritures) ; choisissez-en un avec --vehicle NOM\n"_s);
        QCOMPARE(r.out, QString());
        r = vtrtool({u"import"_s, u"--vehicle"_s, u"Golf"_s, twoCars, out});
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.startsWith(u"Aucun véhicule « Golf » dans "_s), qPrintable(r.err));
        QVERIFY(!QFileInfo::exists(out));
        QCOMPARE(vtrtool({u"import"_s, u"--vehicle"_s, twoCars, out}).code, 2);

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
