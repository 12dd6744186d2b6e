// vtrtool report: the PDF read back as text (poppler-utils' pdftotext), exit codes, messages.
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

struct Run {
    int code = -1;
    QString out;
    QString err;
};

const QString kTool = QStringLiteral(TEV_BINARY_DIR "/src/tools/vtrtool/vtrtool");
const QString kSample = QStringLiteral(TEV_SAMPLES "/exemple.vtr");

Run run(const QString &program, const QStringList &args)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(60000))
        return {};
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}

// The PDF's text, its columns kept apart by single spaces.
QString pdfText(const QString &pdf)
{
    const Run r = run(u"pdftotext"_s, {u"-layout"_s, pdf, u"-"_s});
    QString text = r.out;
    text.replace(QRegularExpression(u" {2,}"_s), u" "_s);
    return text;
}

} // namespace

class TestReport : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        if (!QFileInfo(kTool).isExecutable() || run(kTool, {u"report"_s, u"--help"_s}).code != 0)
            QSKIP("vtrtool has no report in this build");
        if (QStandardPaths::findExecutable(u"pdftotext"_s).isEmpty())
            QSKIP("pdftotext (poppler-utils) is not installed");
    }

    // Every section, and figures that agree with the statistics and a hand calculation.
    void sampleAllYears()
    {
        QTemporaryDir dir;
        const QString pdf = dir.filePath(u"bilan.pdf"_s);
        const Run r = run(kTool, {u"--today"_s, u"01/12/2026"_s, u"report"_s, kSample, pdf});
        QCOMPARE(r.code, 0);
        QCOMPARE(r.err, QString());
        const QString text = pdfText(pdf);
        for (const QString &s : {u"Bilan du véhicule"_s, u"Toutes les années"_s, u"Élodie Marchand"_s,
                                 u"Dépenses par année"_s, u"Carnet d'entretien"_s, u"Consommation"_s,
                                 u"exemple.vtr — établi le 01/12/2026"_s, u"Page 1 / 2"_s, u"Page 2 / 2"_s})
            QVERIFY2(text.contains(s), qPrintable(s));
        QVERIFY(!text.contains(u"Frais réels"_s));
        // The statistics' total row, with 55 118 km driven (42 025 to 97 143): 1.400 per km.
        const Run stats = run(kTool, {u"--today"_s, u"01/12/2026"_s, u"stats"_s, kSample});
        QVERIFY(stats.out.contains(u"Total\t31977.55\t20106.18\t1985.57\t23106.00\t77175.30"_s));
        QVERIFY(text.contains(u"Total 31977.55 20106.18 1985.57 23106.00 77175.30 55118 1.400 4.94"_s));
        // 2024: from 68 347 (end of 2023) to 78 603 km.
        QVERIFY(text.contains(u"2024 5641.02 6527.80 199.51 3851.00 16219.33 10256 1.581 4.73"_s));
        QVERIFY(text.contains(u"73890.00 5380.00 Entretien"_s));
        QVERIFY(text.contains(u"Contrôle technique dépassé depuis le 09/03/2025"_s));
    }

    // One year with the comparison of the barème (5 CV, 8 000 km) and the real costs.
    void sampleOneYearWithFraisReels()
    {
        QTemporaryDir dir;
        const QString pdf = dir.filePath(u"2025.pdf"_s);
        const Run r = run(kTool, {u"--today"_s, u"01/12/2026"_s, u"report"_s, u"--year"_s, u"2025"_s,
                                  u"--km-pro"_s, u"8000"_s, kSample, pdf});
        QCOMPARE(r.code, 0);
        const QString text = pdfText(pdf);
        QVERIFY(text.contains(u"Année 2025"_s));
        QVERIFY(!text.contains(u"2024 5641.02"_s));
        QVERIFY(text.contains(u"Barème kilométrique (5 CV) 4251.00"_s));     // 8 000 × 0.357 + 1 395
        QVERIFY(text.contains(u"Frais réels (total × 8000 / Km parcourus) 11083.94"_s)); // 12 728.52 × 8 000 / 9 187
        QVERIFY(text.contains(u"Le plus élevé les frais réels"_s));
        QVERIFY(text.contains(u"pas un conseil fiscal"_s) || text.contains(u"pas un conseil ﬁscal"_s));
    }

    // An imported history with a partial fill-up and missed ones: only 30 450 to 31 050 km is a
    // segment between full tanks (40.5 L over 600 km).
    void importedHistory()
    {
        QTemporaryDir dir;
        const QString vtr = dir.filePath(u"clio.vtr"_s);
        QCOMPARE(run(kTool, {u"--today"_s, u"01/12/2026"_s, u"import"_s, u"--vehicle"_s, u"Clio"_s,
                             QStringLiteral(TEV_TEST_DATA "/import/fuelly-fuelups.csv"), vtr}).code, 0);
        const QString pdf = dir.filePath(u"clio.pdf"_s);
        QCOMPARE(run(kTool, {u"--today"_s, u"01/12/2026"_s, u"report"_s, u"--year"_s, u"2024"_s, vtr, pdf}).code, 0);
        const QString text = pdfText(pdf);
        QVERIFY2(text.contains(u"De plein à plein en 2024 6.75 L/100 km (40.50 L sur 600 km)"_s), qPrintable(text));
        QVERIFY(text.contains(u" 1650 "_s)); // 30 450 to 32 100 km
    }

    void errors_data()
    {
        QTest::addColumn<QStringList>("args"); // %dir stands for a temporary folder
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("err");
        QTest::newRow("missing file") << QStringList{u"%dir/absent.vtr"_s, u"%dir/out.pdf"_s} << 1
                                      << u"Ne peut ouvrir le fichier %dir/absent.vtr\n"_s;
        QTest::newRow("folder missing") << QStringList{kSample, u"%dir/no/out.pdf"_s} << 1
                                        << u"Ne peut créer le fichier %dir/no/out.pdf\n"_s;
        QTest::newRow("km without year") << QStringList{u"--km-pro"_s, u"100"_s, kSample, u"%dir/o.pdf"_s} << 2
                                         << QString();
        QTest::newRow("not a year") << QStringList{u"--year"_s, u"20x5"_s, kSample, u"%dir/o.pdf"_s} << 2 << QString();
        QTest::newRow("one file") << QStringList{kSample} << 2 << QString();
    }
    void errors()
    {
        QFETCH(QStringList, args);
        QFETCH(int, code);
        QFETCH(QString, err);
        QTemporaryDir dir;
        args.replaceInStrings(u"%dir"_s, dir.path());
        const Run r = run(kTool, QStringList{u"report"_s} + args);
        QCOMPARE(r.code, code);
        if (!err.isEmpty())
            QCOMPARE(r.err, err.replace(u"%dir"_s, dir.path()));
        QVERIFY(!QFile::exists(dir.filePath(u"out.pdf"_s)));
    }
};

QTEST_GUILESS_MAIN(TestReport)
#include "tst_report.moc"
