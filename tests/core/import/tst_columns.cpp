// Spreadsheet columns: what each is taken for, what the user chooses over the guess, the doubts
// that stop an import, and the program's own ledger export read back.
#include "core/import/importer.h"
#include "core/vehicle/tabexport.h"
#include "core/vehicle/vtrfile.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace importer;

namespace {

const QString kTool = QStringLiteral(TEV_BINARY_DIR "/src/tools/vtrtool/vtrtool");
const QDate kToday(2025, 6, 1);

Result importBytes(const QByteArray &bytes, const std::vector<ColumnChoice> &choices = {})
{
    QBuffer device;
    device.setData(bytes);
    device.open(QIODevice::ReadOnly);
    return importDevice(device, Options{DateOrder::Unknown, QString(), choices}, kToday, u"test.csv"_s);
}

// "Header=Part" per column, as the report gives them.
QString parts(const Report &r)
{
    QStringList out;
    for (const ColumnUse &c : r.columns)
        out << c.header + u'=' + partName(c.part);
    return out.join(u", "_s);
}

// Parses "A=Montant;B=Ignorée" into choices.
std::vector<ColumnChoice> choicesOf(const QString &text)
{
    std::vector<ColumnChoice> out;
    for (const QString &c : text.split(u';', Qt::SkipEmptyParts)) {
        const qsizetype eq = c.indexOf(u'=');
        out.push_back({c.left(eq), partFromName(c.mid(eq + 1)).value_or(Part::Ignored)});
    }
    return out;
}

QString doubtsText(const Report &r)
{
    QStringList out;
    for (const Doubt &d : r.doubts)
        out << d.text;
    return out.join(u'\n');
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

// An odometer log whose only figure is the reading, under a name that could pass for a total.
const QByteArray kClimbingAmounts = "Date,Service,Counter total\n"
                                    "2021-03-01,Vidange,61200\n"
                                    "2021-09-14,Plaquettes,68950\n"
                                    "2022-02-02,Vidange,74410\n"
                                    "2022-08-30,Pneus,80120\n"
                                    "2023-03-03,Vidange,86600\n"
                                    "2023-10-10,Courroie,93015\n";

} // namespace

class TestColumns : public QObject {
    Q_OBJECT
private slots:
    void partNames()
    {
        QCOMPARE(partFromName(u"prix DU LITRE"), std::optional<Part>(Part::UnitPrice));
        QCOMPARE(partFromName(u"ignoree"), std::optional<Part>(Part::Ignored));
        QCOMPARE(partFromName(u" Pleins manques "), std::optional<Part>(Part::Missed));
        QCOMPARE(partFromName(u"Unité de distance"), std::optional<Part>(Part::DistanceUnit));
        QVERIFY(!partFromName(u"Kilomètres").has_value());
        for (Part p : choosableParts())
            QCOMPARE(partFromName(partName(p)), std::optional<Part>(p));
    }

    void guesses_data()
    {
        QTest::addColumn<QByteArray>("csv");
        QTest::addColumn<QString>("choices");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<int>("partial");
        // A distance and a longer amount name beside the real ones.
        QTest::newRow("distance and lone amount")
            << QByteArray("Fill date,Km covered,Odometer,Amount paid by card,Amount,Litres\n"
                          "2024-01-02,420,10420,70.00,70.00,40\n"
                          "2024-01-20,380,10800,61.00,61.00,35\n")
            << QString() << u"Fill date=Date, Km covered=Ignorée, Odometer=Compteur, Amount paid by card=Ignorée, "
                            "Amount=Montant, Litres=Litres"_s
            << 0;
        // An "odometer" that goes up and down is no odometer; a distance that climbs with the
        // dates, with nothing else to be one, is.
        QTest::newRow("odometer that does not rise")
            << QByteArray("Date,Odo,Litres,Total\n01/02/2024,500,40,70\n15/02/2024,320,35,61\n"
                          "01/03/2024,610,42,73\n15/03/2024,280,30,52\n")
            << QString() << u"Date=Date, Odo=Ignorée, Litres=Litres, Total=Montant"_s << 0;
        QTest::newRow("rising distance, no odometer")
            << QByteArray("Date,Kms driven,Litres,Total\n01/02/2024,15200,40,70\n20/01/2024,14800,35,61\n"
                          "01/03/2024,15700,42,73\n")
            << QString() << u"Date=Date, Kms driven=Compteur, Litres=Litres, Total=Montant"_s << 0;
        // Full-tank columns in several languages and ways of writing yes and no.
        QTest::newRow("tanque cheio sim/não")
            << QByteArray("Data;Litros;Total;Tanque cheio\n02/01/2024;40;70;sim\n09/01/2024;20;35;não\n"
                          "19/01/2024;41;72;Sim\n")
            << QString() << u"Data=Date, Litros=Litres, Total=Montant, Tanque cheio=Plein partiel"_s << 1;
        QTest::newRow("voll ja/nein")
            << QByteArray("Datum;Menge;Betrag;Voll\n14.01.2024;40;70;ja\n29.01.2024;20;35;nein\n")
            << QString() << u"Datum=Date, Menge=Litres, Betrag=Montant, Voll=Plein partiel"_s << 1;
        QTest::newRow("full, x or empty")
            << QByteArray("Date,Litres,Total,Full\n2024-01-02,40,70,x\n2024-01-09,20,35,\n2024-01-19,38,66,X\n")
            << QString() << u"Date=Date, Litres=Litres, Total=Montant, Full=Plein partiel"_s << 1;
        QTest::newRow("partial, 1/0")
            << QByteArray("Date,Litres,Total,Partial fill\n2024-01-02,40,70,0\n2024-01-09,20,35,1\n")
            << QString() << u"Date=Date, Litres=Litres, Total=Montant, Partial fill=Plein partiel"_s << 1;
        // The user's choice wins, and the column that held that part before lets it go.
        QTest::newRow("chosen amount")
            << QByteArray("Fill date,Odometer,Amount paid by card,Amount,Litres\n"
                          "2024-01-02,10420,71.00,70.00,40\n2024-01-20,10800,62.00,61.00,35\n")
            << u"amount PAID by card=Montant;Odometer=Ignorée"_s
            << u"Fill date=Date, Odometer=Ignorée, Amount paid by card=Montant, Amount=Ignorée, Litres=Litres"_s << 0;
        QTest::newRow("chosen quantity under a name nobody reads")
            << QByteArray("Date,Pumped,Total\n2024-01-02,40,70\n2024-01-20,35,61\n")
            << u"Pumped=Litres"_s << u"Date=Date, Pumped=Litres, Total=Montant"_s << 0;
    }
    void guesses()
    {
        QFETCH(QByteArray, csv);
        QFETCH(QString, choices);
        QFETCH(QString, expected);
        QFETCH(int, partial);
        const Result r = importBytes(csv, choicesOf(choices));
        QVERIFY2(r.ok, qPrintable(r.error));
        QCOMPARE(parts(r.report), expected);
        int marked = 0;
        for (const FuelEntry &e : r.record.ListView1)
            marked += e[1].contains(u"(plein partiel)"_s) ? 1 : 0;
        QCOMPARE(marked, partial);
        if (!r.report.columns.empty() && expected.contains(u"Plein partiel"_s))
            QVERIFY(r.report.readings.join(u'\n').contains(u"Pleins partiels d'après la colonne"_s));
    }

    void doubts_data()
    {
        QTest::addColumn<QByteArray>("csv");
        QTest::addColumn<QString>("choices");
        QTest::addColumn<QString>("expected"); // what the doubt must say; empty: no doubt
        QTest::newRow("amounts climbing like a reading") << kClimbingAmounts << QString()
                                                         << u"« Counter total » lue comme montant"_s;
        QTest::newRow("settled by the user") << kClimbingAmounts << u"Counter total=Montant"_s << QString();
        QTest::newRow("more than a tank")
            << QByteArray("Date,Litres,Total\n2024-01-02,40,70\n2024-02-02,612,65\n2024-03-02,38,66\n")
            << QString() << u"« Litres » lue comme quantité : plus de 150 litres par plein, plus qu'aucun "
                            "réservoir ne tient (ligne 3)"_s;
        QTest::newRow("price per litre far from the others")
            << QByteArray("Date,Litres,Total\n2024-01-02,40,70\n2024-02-02,41,71\n2024-03-02,4,72\n"
                          "2024-04-02,39,68\n")
            << QString() << u"(ligne 4)"_s;
        QTest::newRow("fill-ups without amounts")
            << QByteArray("Date,Litres,Total,Notes\n2024-01-02,40,,a\n2024-02-02,41,,b\n2024-03-02,39,68,c\n")
            << QString() << u"la plupart des pleins"_s;
        QTest::newRow("odometer going back")
            << QByteArray("Date,Odometer,Litres,Total\n2024-01-02,1000,40,70\n2024-02-02,1500,41,71\n"
                          "2024-03-02,1990,40,70\n2024-03-20,1200,39,68\n2024-04-02,2400,40,70\n"
                          "2024-05-02,2900,41,71\n2024-06-02,3300,40,70\n2024-07-02,3800,40,70\n"
                          "2024-08-02,4200,40,70\n2024-09-02,4700,40,70\n2024-10-02,5100,40,70\n")
            << QString() << u"« Odometer » lue comme compteur : il recule d'une date à la suivante (ligne 5)"_s;
        // Entries of one day in any order are no odometer going back.
        QTest::newRow("one day, any order")
            << QByteArray("Date,Odometer,Litres,Total\n2024-01-02,1000,40,70\n2024-02-02,1500,41,71\n"
                          "2024-02-02,1490,5,9\n2024-03-02,1990,40,70\n")
            << QString() << QString();
    }
    void doubts()
    {
        QFETCH(QByteArray, csv);
        QFETCH(QString, choices);
        QFETCH(QString, expected);
        const Result r = importBytes(csv, choicesOf(choices));
        QVERIFY2(r.ok, qPrintable(r.error));
        const QString text = doubtsText(r.report);
        if (expected.isEmpty())
            QVERIFY2(text.isEmpty(), qPrintable(text));
        else
            QVERIFY2(text.contains(expected), qPrintable(text));
    }

    // A ledger exported by the program comes back into the same ledger, entry for entry, with
    // its repeats and its order.
    void ownExportComesBack()
    {
        VehicleRecord record;
        QVERIFY(vtrfile::load(record, QStringLiteral(TEV_SOURCE_DIR "/samples/exemple.vtr"),
                              vtrfile::nameOnlyPictureHook())
                    .ok);
        QVERIFY(!record.ListView1.empty() && !record.ListView2.empty() && !record.ListView3.empty());
        record.ListView1.push_back(record.ListView1.front()); // a repeat, out of date order
        record.ListView2.push_back({u"01/01/2001"_s, u"Sans montant"_s, QString(), QString()});
        for (auto ledger : {tabexport::Ledger::Fuel, tabexport::Ledger::Garage, tabexport::Ledger::Parking}) {
            const Result r = importBytes(tabexport::exportBytes(record, ledger));
            QVERIFY2(r.ok, qPrintable(r.error));
            QVERIFY(r.report.doubts.empty());
            QCOMPARE(r.report.skipped.size(), size_t(0));
            switch (ledger) {
            case tabexport::Ledger::Fuel:
                QVERIFY(r.record.ListView1 == record.ListView1);
                QVERIFY(r.record.ListView2.empty() && r.record.ListView3.empty());
                break;
            case tabexport::Ledger::Garage:
                QVERIFY(r.record.ListView2 == record.ListView2);
                break;
            case tabexport::Ledger::Parking:
                QVERIFY(r.record.ListView3 == record.ListView3);
                break;
            case tabexport::Ledger::None:
                break;
            }
        }
    }

    void vtrtoolColumnOption()
    {
        if (!QFileInfo::exists(kTool))
            QSKIP("vtrtool is not built");
        QTemporaryDir dir;
        const QString in = dir.filePath(u"carnet.csv"_s), out = dir.filePath(u"voiture.vtr"_s);
        {
            QFile f(in);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(kClimbingAmounts);
        }
        // The doubt stops it: the mapping on standard output, the doubt and the option on errors.
        Run r = vtrtool({u"import"_s, in, out});
        QCOMPARE(r.code, 1);
        QVERIFY2(r.out.contains(u"Colonne « Counter total » : Montant\n"_s), qPrintable(r.out));
        QVERIFY2(r.err.contains(u"lignes 2, 3, 4, 5, 6, 7"_s), qPrintable(r.err));
        QVERIFY2(r.err.contains(u"--column \"Counter total=partie\""_s), qPrintable(r.err));
        QVERIFY(!QFileInfo::exists(out));

        // Settled (case, accents and spaces aside): written, and the report says it was chosen.
        r = vtrtool({u"import"_s, u"--column"_s, u"counter TOTAL = montant"_s, in, out});
        QCOMPARE(r.code, 0);
        QVERIFY2(r.out.contains(u"Colonne « Counter total » : Montant (choisie)\n"_s), qPrintable(r.out));
        QVERIFY(QFileInfo::exists(out));

        QCOMPARE(vtrtool({u"import"_s, u"--column"_s, u"Paid"_s, in, out}).code, 2);
        QCOMPARE(vtrtool({u"import"_s, u"--column=Paid=Kilomètres"_s, in, out}).code, 2);
        r = vtrtool({u"import"_s, u"--column=Prix=Montant"_s, in, out});
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.startsWith(u"Aucune colonne « Prix » dans "_s), qPrintable(r.err));
        // A named format's reader fixes its columns.
        r = vtrtool({u"import"_s, u"--column=Odo=Ignorée"_s,
                     QStringLiteral(TEV_TEST_DATA "/import/fuelio-miles.csv"), out});
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.contains(u"fixe ses colonnes"_s), qPrintable(r.err));
    }
};

QTEST_GUILESS_MAIN(TestColumns)
#include "tst_columns.moc"
