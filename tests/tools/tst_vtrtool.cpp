// vtrtool seen from outside: exit codes, messages and the bytes it writes.
#include "core/vehicle/tabexport.h"
#include "core/vehicle/vtrfile.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

struct Run {
    int code = -1;
    QString out;
    QString err;
};

const QString kTool = QStringLiteral(TEV_BINARY_DIR "/src/tools/vtrtool/vtrtool");
const QString kSample = QStringLiteral(TEV_SAMPLES "/exemple.vtr");

// `input` goes to the tool's standard input, a pipe.
Run vtrtool(const QStringList &args, const QByteArray &input = {})
{
    QProcess p;
    p.start(kTool, args);
    if (!input.isEmpty()) {
        p.write(input);
        p.closeWriteChannel();
    }
    if (!p.waitForFinished(60000))
        return {};
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

} // namespace

class TestVtrTool : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        if (!QFileInfo(kTool).isExecutable())
            QSKIP("vtrtool is not built");
    }

    void showPrintsEveryItem()
    {
        const Run r = vtrtool({u"show"_s, kSample});
        QCOMPARE(r.code, 0);
        const QStringList lines = r.out.split(u'\n', Qt::SkipEmptyParts);
        QStringList names;
        for (const QString &l : lines)
            if (!names.contains(l.section(u'\t', 0, 0)))
                names << l.section(u'\t', 0, 0);
        const QStringList expected = u"Edit1 Edit2 Edit3 DateTimePicker1 Edit4 DateTimePicker2 Edit24 "
                                     "Edit5 Edit6 Edit7 Edit8 Edit9 Edit10 Edit13 Edit14 Edit15 Edit16 "
                                     "Edit17 DateTimePicker3 Edit19 Edit20 Edit21 Edit22 ComboBox1 Image1 "
                                     "Edit11 Edit12 Edit18 Edit23 Edit25 Edit26 Memo1 ListView1 ListView2 "
                                     "ListView3"_s.split(u' ');
        QCOMPARE(names, expected);
        QVERIFY(lines.contains(u"Edit3\tÉlodie Marchand"_s));
        QVERIFY(lines.contains(u"Edit4\t                   98500.00"_s)); // spaces kept
        QVERIFY(lines.contains(u"Image1\tclio.bmp"_s));
        QVERIFY(lines.contains(u"ListView2\t12/06/2021\tVidange + filtre à huile\t689.50\t44220.00"_s));
    }

    void loadErrors()
    {
        QTemporaryDir dir;
        const QString missing = dir.filePath(u"absent.vtr"_s);
        Run r = vtrtool({u"check"_s, missing});
        QCOMPARE(r.code, 1);
        QCOMPARE(r.err.trimmed(), u"Ne peut ouvrir le fichier "_s + missing);

        // A file cut short: show prints what was read, totals not computed.
        QByteArray bytes = readFile(kSample);
        bytes.truncate(bytes.indexOf("[/PAGE2]"));
        const QString cut = dir.filePath(u"cut.vtr"_s);
        QFile f(cut);
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
        f.close();
        r = vtrtool({u"--today"_s, u"01/02/2026"_s, u"show"_s, cut});
        QCOMPARE(r.code, 1);
        QVERIFY(r.err.startsWith(u"Index de liste hors limites ("_s));
        QVERIFY(r.out.contains(u"Edit1\tRenault\n"_s));
        QVERIFY(r.out.contains(u"DateTimePicker3\t01/02/2026\n"_s)); // section 5 never read
        QVERIFY(r.out.contains(u"ListView1\t20/03/2021\t"_s));
    }

    // A pipe has no size to go by; its bytes are read all the same, also for a rewrite.
    void readsAPipe()
    {
        QTemporaryDir dir;
        const QByteArray sample = readFile(kSample);
        Run r = vtrtool({u"check"_s, u"/dev/stdin"_s}, sample);
        QCOMPARE(r.code, 0);
        QCOMPARE(r.out, u"/dev/stdin: 73 fuel, 12 garage, 27 parking entries, 5 comment lines\n"_s);
        const QString out = dir.filePath(u"copie.vtr"_s);
        r = vtrtool({u"save"_s, u"/dev/stdin"_s, out}, sample);
        QCOMPARE(r.code, 0);
        QCOMPARE(readFile(out).size(), sample.size() - qsizetype(strlen("clio.bmp"))); // the picture is not beside a pipe
    }

    // A name that is not UTF-8 would come out of Qt as another name: nothing is read or written.
    void refusesNamesThatAreNotUtf8_data()
    {
        QTest::addColumn<QString>("command"); // the name is "$n"
        QTest::newRow("save to") << u"save SAMPLE \"$n\""_s;
        QTest::newRow("export to") << u"export fuel SAMPLE \"$n\""_s;
        QTest::newRow("check") << u"check \"$n\""_s;
    }
    void refusesNamesThatAreNotUtf8()
    {
        QFETCH(QString, command);
        QTemporaryDir dir;
        const QByteArray name = QFile::encodeName(dir.path()) + "/caf\xe9.vtr";
        const int fd = ::open(name.constData(), O_WRONLY | O_CREAT, 0600);
        QVERIFY(fd >= 0);
        QCOMPARE(::write(fd, "ancien", 6), 6);
        ::close(fd);
        QProcess p;
        // The shell makes the name from bytes: QProcess would send it as UTF-8.
        const QString script = u"n=\"$1\"/$(printf 'caf\\351.vtr'); exec \"$0\" "_s
                               + command.replace(u"SAMPLE"_s, kSample) + u" 2>&1"_s;
        p.start(u"/bin/sh"_s, {u"-c"_s, script, kTool, dir.path()});
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(p.exitCode(), 1);
        QCOMPARE(QString::fromUtf8(p.readAllStandardOutput()).trimmed(), u"Nom de fichier illisible : "_s + dir.path() + u"/caf\\xE9.vtr (il n'est pas en UTF-8)"_s);
        char kept[16] = {};
        const int rfd = ::open(name.constData(), O_RDONLY);
        QVERIFY(rfd >= 0);
        QCOMPARE(::read(rfd, kept, sizeof kept), 6);
        ::close(rfd);
        QCOMPARE(QByteArray(kept), QByteArray("ancien"));
        // Qt leaves such a name out of its listings: ask the system.
        QStringList names;
        if (DIR *d = ::opendir(QFile::encodeName(dir.path()).constData())) {
            while (const dirent *e = ::readdir(d))
                if (qstrcmp(e->d_name, ".") != 0 && qstrcmp(e->d_name, "..") != 0)
                    names << QString::fromLatin1(e->d_name);
            ::closedir(d);
        }
        QCOMPARE(names, QStringList{u"caf\u00e9.vtr"_s});
    }

    void badUsage_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("no command") << QStringList();
        QTest::newRow("unknown command") << QStringList{u"montre"_s};
        QTest::newRow("bad today") << QStringList{u"--today"_s, u"31/02/2026"_s, u"check"_s, kSample};
        QTest::newRow("unknown ledger") << QStringList{u"export"_s, u"fuels"_s, kSample, u"x.txt"_s};
        QTest::newRow("due without OUT") << QStringList{u"due"_s, u"--ics"_s, kSample};
        QTest::newRow("due with two files") << QStringList{u"due"_s, kSample, kSample};
    }
    void badUsage()
    {
        QFETCH(QStringList, args);
        const Run r = vtrtool(args);
        QCOMPARE(r.code, 2);
        QVERIFY(!r.err.isEmpty());
    }

    // What is due, one reminder a line: what, due odometer, km left, date, urgency.
    void due_data()
    {
        QTest::addColumn<QString>("file"); // a name in tests/data, the sample, or "made"
        QTest::addColumn<QString>("today");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("err");
        // The sample: last service "Vidange + filtre à gazole" at 95 560 km, every 15 000 km,
        // Kilométrage 97 600 km; 9 353 km from 09/12/2025 to 14/11/2026 make 27.5 km a day.
        // Its last contrôle technique is of 09/03/2023 (the one of 2026 is a contre-visite).
        QTest::newRow("sample") << u"sample"_s << u"01/12/2026"_s
                                << u"service\t110560\t12960\t16/03/2028\tlater\n"
                                   "inspection\t\t\t09/03/2025\toverdue\n"_s
                                << QString();
        QTest::newRow("fuel readings a year old") << u"full.vtr"_s << u"01/12/2026"_s
                                                  << u"service\t69000\t9000\t\tlater\n"
                                                     "inspection\t\t\t30/06/2024\toverdue\n"_s
                                                  << QString();
        QTest::newRow("no interval") << u"empty.vtr"_s << u"01/12/2026"_s
                                     << u"inspection\t\t\t07/12/2030\tlater\n"_s << QString();
        // 14 200 km from 02/02/2026 to 20/11/2026: 800 km left are 16 days away.
        QTest::newRow("soon, unreadable odometer")
            << u"made"_s << u"01/12/2026"_s
            << u"service\t25000\t800\t17/12/2026\tsoon\ninspection\t\t\t15/01/2027\tsoon\n"_s
            << u"vtrtool due: 1 unreadable odometer reading left out (service)\n"_s;
    }
    void due()
    {
        QFETCH(QString, file);
        QFETCH(QString, today);
        QFETCH(QString, out);
        QFETCH(QString, err);
        QTemporaryDir dir;
        QString path = file == u"sample"_s ? kSample : QStringLiteral(TEV_TEST_DATA "/") + file;
        if (file == u"made"_s) {
            VehicleRecord r = VehicleRecord::create(QDate(2026, 12, 1));
            r.DateTimePicker2 = QDate(2023, 1, 15);
            r.edit[24] = u"   15000.00"_s;
            r.ListView2 = {{u"02/02/2026"_s, u"Révision"_s, u"300.00"_s, u"10000.00"_s},
                           {u"03/03/2026"_s, u"Vidange"_s, u"90.00"_s, u"2O000"_s}};
            r.ListView1 = {{u"20/11/2026"_s, u"Plein"_s, u"60.00"_s, u"40.00"_s, u"24200.00"_s}};
            path = dir.filePath(u"made.vtr"_s);
            QVERIFY(vtrfile::save(r, path).ok);
        }
        const Run r = vtrtool({u"--today"_s, today, u"due"_s, path});
        QCOMPARE(r.code, 0);
        QCOMPARE(r.out, out);
        QCOMPARE(r.err, err);
    }

    // The calendar file, read by a real iCalendar parser (Debian's python3-icalendar).
    void dueCalendar()
    {
        const QString python = u"/usr/bin/python3"_s;
        QTemporaryDir dir;
        const QString copy = dir.filePath(u"clio.vtr"_s);
        QVERIFY(QFile::copy(kSample, copy));
        const QString ics = dir.filePath(u"echeances.ics"_s);
        Run r = vtrtool({u"--today"_s, u"01/12/2026"_s, u"due"_s, u"--ics"_s, copy, ics});
        QCOMPARE(r.code, 0);
        QCOMPARE(r.out, ics + u'\n');
        QProcess p;
        p.start(python, {QStringLiteral(TEV_SOURCE_DIR "/tests/tools/check_ics.py"), ics});
        QVERIFY2(p.waitForFinished(60000), "python3 did not run (scripts/deps installs python3-icalendar)");
        const QString parsed = QString::fromUtf8(p.readAllStandardOutput());
        QVERIFY2(p.exitCode() == 0, qPrintable(QString::fromUtf8(p.readAllStandardError())));
        QStringList events = parsed.split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(events.size(), 2);
        QStringList uids;
        for (QString &e : events) {
            uids << e.section(u'\t', 0, 0);
            e = e.section(u'\t', 1);
        }
        QCOMPARE(events, (QStringList{
            u"2028-03-16\t2028-03-17\tEntretien — Renault Clio IV 1.5 dCi 90 Limited\t"
            "Prochain entretien : à 110 560 km, dans 12 960 km (vers le 16/03/2028)"_s,
            u"2025-03-09\t2025-03-10\tContrôle technique — Renault Clio IV 1.5 dCi 90 Limited\t"
            "Contrôle technique dépassé depuis le 09/03/2025"_s}));
        QVERIFY(uids[0].endsWith(u"-service@tevauto"_s) && uids[1].endsWith(u"-inspection@tevauto"_s));

        // Written again, later: the same events (same UIDs), so a calendar updates rather than
        // doubles them. Another file: other UIDs.
        const QByteArray first = readFile(ics);
        r = vtrtool({u"--today"_s, u"02/12/2026"_s, u"due"_s, u"--ics"_s, copy, ics});
        QCOMPARE(r.code, 0);
        const QByteArray second = readFile(ics);
        QVERIFY(second != first);
        QCOMPARE(second.count(uids[0].toUtf8()), 1);
        QCOMPARE(second.count(uids[1].toUtf8()), 1);
        const QString other = dir.filePath(u"autre.vtr"_s);
        QVERIFY(QFile::copy(kSample, other));
        QCOMPARE(vtrtool({u"--today"_s, u"01/12/2026"_s, u"due"_s, u"--ics"_s, other, ics}).code, 0);
        QVERIFY(!readFile(ics).contains(uids[0].section(u'-', 0, 0).toUtf8()));

        // A calendar that cannot be written keeps nothing half done and says so.
        r = vtrtool({u"due"_s, u"--ics"_s, copy, dir.path()});
        QCOMPARE(r.code, 1);
        QCOMPARE(r.err.trimmed(), u"Ne peut créer le fichier "_s + dir.path());
    }

    void generateSaveAndExportAgree()
    {
        QTemporaryDir dir;
        Run r = vtrtool({u"generate"_s, u"--entries"_s, u"40"_s, u"--seed"_s, u"7"_s, dir.filePath(u"gen"_s)});
        QCOMPARE(r.code, 0);
        const QString gen = dir.filePath(u"gen.vtr"_s);
        QCOMPARE(r.out.trimmed(), gen);
        r = vtrtool({u"check"_s, gen});
        QCOMPARE(r.code, 0);
        QVERIFY(r.out.contains(u"40 fuel, 40 garage, 40 parking"_s));
        QVERIFY(readFile(gen).contains("\xe9")); // accents, in Windows-1252

        // What the writer wrote comes back byte for byte, the sample included.
        for (const QString &source : {gen, kSample}) {
            r = vtrtool({u"save"_s, source, dir.filePath(u"copie.txt"_s)});
            QCOMPARE(r.code, 0);
            QCOMPARE(r.out.trimmed(), dir.filePath(u"copie.vtr"_s));
            QCOMPARE(readFile(dir.filePath(u"copie.vtr"_s)), readFile(source));
        }

        // The export writes what the application's export writes.
        VehicleRecord rec = VehicleRecord::create(QDate(2026, 12, 7));
        QVERIFY(vtrfile::load(rec, gen, vtrfile::nameOnlyPictureHook()).ok);
        const QString out = dir.filePath(u"garage.txt"_s);
        QCOMPARE(vtrtool({u"export"_s, u"garage"_s, gen, out}).code, 0);
        QCOMPARE(readFile(out), tabexport::exportBytes(rec, tabexport::Ledger::Garage));

        r = vtrtool({u"export"_s, u"fuel"_s, gen, dir.path()});
        QCOMPARE(r.code, 1);
        QCOMPARE(r.err.trimmed(), u"Ne peut créer le fichier "_s + dir.path());
    }
};

QTEST_APPLESS_MAIN(TestVtrTool)
#include "tst_vtrtool.moc"
