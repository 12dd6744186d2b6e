#include "core/reports/calculations.h"
#include "core/vehicle/filestate.h"
#include "core/vehicle/tabexport.h"
#include "core/vehicle/vtrfile.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <thread>

#include <sys/stat.h>

using namespace vtrfile;
using namespace Qt::StringLiterals;

namespace {

const QDate kToday(2026, 12, 7);

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QByteArray golden(const char *name) { return readFile(QStringLiteral(TEV_TEST_DATA "/") + QLatin1String(name)); }

// The document of the golden file full.vtr.
VehicleRecord fullRecord()
{
    VehicleRecord r = VehicleRecord::create(kToday);
    r.edit[1] = QStringLiteral("Citroën");
    r.edit[2] = QStringLiteral("C3 Picasso");
    r.edit[3] = QStringLiteral("Zoé Lefèvre");
    r.DateTimePicker1 = QDate(2022, 1, 5);
    r.edit[4] = QStringLiteral("   85000.00");
    r.DateTimePicker2 = QDate(2020, 6, 30);
    r.ListView1 = {{u"10/01/2022"_s, u"Plein — Total"_s, u"412.30"_s, u"41.20"_s, u"52310.00"_s},
                   {u"02/02/2022"_s, QString(), u"380.00"_s, u"38.00"_s, u"53010.00"_s}};
    r.edit[24] = QStringLiteral("   15000.00");
    r.ListView2 = {{u"15/03/2022"_s, u"Révision"_s, u"1450.00"_s, u"54000.00"_s}};
    int n = 1;
    for (int e : {5, 6, 7, 8, 9, 10, 13, 14, 15, 16, 17})
        r.edit[size_t(e)] = QStringLiteral("  %1.00").arg(n++);
    r.DateTimePicker3 = QDate(2026, 12, 1);
    r.edit[19] = u" 50000.00"_s;
    r.edit[20] = u" 3000.00"_s;
    r.edit[21] = u" 60000.00"_s;
    r.edit[22] = u"  5.00"_s;
    r.ComboBox1 = u"GPL"_s;
    r.Memo1 = {u"Première ligne"_s, QString(), u"Œuvre : 5 €"_s, QString()};
    r.Image1 = u"photo.jpg"_s;
    r.ListView3 = {{u"20/03/2022"_s, u"Parking"_s, u"12.50"_s}};
    for (int c : kComputedEdits)
        r.edit[size_t(c)] = u"999.99"_s; // computed fields never reach the file
    return r;
}

PictureHook pictures(bool exists, const QString &error = QString())
{
    return {[exists](const QString &) { return exists; }, [error](const QString &) { return error; }};
}

// Lines of text, CR LF each, as Windows-1252.
QByteArray doc(const QStringList &lines, const char *eol = "\r\n")
{
    QByteArray out;
    for (const QString &l : lines)
        out += encodeText(l) + eol;
    return out;
}

QStringList fullLines() { return decodeLines(golden("full.vtr")); }

struct Loaded {
    VehicleRecord r;
    LoadResult res;
};

// Loads from memory, and checks that streaming the same bytes, in chunks of any size, reads
// the same.
Loaded loadDoc(const QByteArray &bytes, const PictureHook &hook = pictures(true))
{
    Loaded l{VehicleRecord::create(kToday), {}};
    l.res = loadBytes(l.r, bytes, hook);

    for (qsizetype chunk : {1, 2, 3, 8, 0}) {
        QBuffer device;
        device.setData(bytes);
        device.open(QIODevice::ReadOnly);
        setReadChunkForTests(chunk);
        Loaded s{VehicleRecord::create(kToday), {}};
        s.res = loadDevice(s.r, device, hook);
        setReadChunkForTests(0);
        if (s.res.error != l.res.error || !s.r.sameStoredContent(l.r))
            qFatal("streamed read differs with chunks of %d bytes: '%s'", int(chunk),
                   qPrintable(s.res.error));
    }
    return l;
}

// Bytes that stop with a read error after `failAt` of them, from a file or from a pipe.
class FailingDevice : public QIODevice {
public:
    FailingDevice(const QByteArray &bytes, qint64 failAt, bool sequential)
        : m_bytes(bytes), m_failAt(failAt), m_sequential(sequential)
    {
        open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    }
    bool isSequential() const override { return m_sequential; }
    qint64 size() const override { return m_sequential ? 0 : m_bytes.size(); }
    bool seek(qint64 pos) override
    {
        m_at = pos;
        return QIODevice::seek(pos);
    }

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        if (m_at >= m_failAt)
            return -1;
        const qint64 n = std::min(maxSize, m_failAt - m_at);
        std::memcpy(data, m_bytes.constData() + m_at, size_t(n));
        m_at += n;
        return n;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    QByteArray m_bytes;
    qint64 m_at = 0;
    qint64 m_failAt;
    bool m_sequential;
};

QString outOfRange(int index) { return QStringLiteral("Index de liste hors limites (%1)").arg(index); }

} // namespace

class TestVtrFile : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void codePageMatchesWindows1252()
    {
        QStringDecoder icu("windows-1252");
        QVERIFY(icu.isValid());
        for (int b = 0; b < 256; ++b) {
            const char c = char(b);
            const QString ours = decodeText(QByteArrayView(&c, 1));
            QCOMPARE(ours, icu(QByteArrayView(&c, 1)).operator QString());
            QCOMPARE(encodeText(ours), QByteArray(1, c));
        }
        // What the code page cannot hold comes out as one '?' per character.
        QCOMPARE(encodeText(u"α😀é"), QByteArray("??\xe9"));
    }

    void writerMatchesGoldenFiles_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("full");
        QTest::newRow("new document") << u"empty.vtr"_s << false;
        QTest::newRow("every field") << u"full.vtr"_s << true;
    }
    void writerMatchesGoldenFiles()
    {
        QFETCH(QString, file);
        QFETCH(bool, full);
        const VehicleRecord r = full ? fullRecord() : VehicleRecord::create(kToday);
        const QByteArray expected = readFile(QStringLiteral(TEV_TEST_DATA "/") + file);
        QVERIFY(!expected.isEmpty());
        QCOMPARE(encode(writeLines(r)), expected);
        if (!full)
            QCOMPARE(writeLines(r).size(), 41);

        QTemporaryDir dir;
        const QString path = dir.filePath(u"out.vtr"_s);
        QVERIFY(save(r, path).ok);
        QCOMPARE(readFile(path), expected);
    }

    void readsWhatTheWriterWrote()
    {
        Loaded l{VehicleRecord::create(kToday), {}};
        const QString path = QStringLiteral(TEV_TEST_DATA "/full.vtr");
        l.r.modified = true;
        l.res = load(l.r, path, pictures(true));
        QVERIFY2(l.res.ok, qPrintable(l.res.error));
        VehicleRecord expected = fullRecord();
        expected.Memo1.removeLast(); // the empty last comment line is not written
        QVERIFY(l.r.sameStoredContent(expected));
        QCOMPARE(l.r.fileName, path);
        QVERIFY(!l.r.modified);
        // The reader computes nothing: the totals are the calculations' (run by whoever shows
        // the record), and those of this file differ from what it holds.
        VehicleRecord computed = l.r;
        computeAll(computed);
        QVERIFY(std::any_of(kComputedEdits.begin(), kComputedEdits.end(),
                            [&](int c) { return l.r.edit[size_t(c)] != computed.edit[size_t(c)]; }));
    }

    void lineEnds_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        const QStringList lines = fullLines();
        QTest::newRow("LF") << doc(lines, "\n");
        QTest::newRow("CR") << doc(lines, "\r");
        QByteArray mixed;
        for (qsizetype i = 0; i < lines.size(); ++i)
            mixed += encodeText(lines[i]) + (i % 3 == 0 ? "\r" : i % 3 == 1 ? "\n" : "\r\n");
        QTest::newRow("mixed") << mixed;
        QByteArray noLastEnd = golden("full.vtr");
        noLastEnd.chop(2);
        QTest::newRow("no line end after the last line") << noLastEnd;
    }
    void lineEnds()
    {
        QFETCH(QByteArray, bytes);
        const Loaded ref = loadDoc(golden("full.vtr"));
        const Loaded l = loadDoc(bytes);
        QVERIFY2(l.res.ok, qPrintable(l.res.error));
        QVERIFY(l.r.sameStoredContent(ref.r));
        // An LF after a CR that ends a line makes no empty line, but LF CR does.
        QCOMPARE(decodeLines("a\r\n\n\rb"), QStringList({u"a"_s, QString(), QString(), u"b"_s}));
    }

    void textEndsAtFirstNul()
    {
        QByteArray bytes = golden("full.vtr");
        // Cut inside section 8: its marker is still there, the ledger runs off the end.
        const qsizetype page8 = bytes.indexOf("[PAGE8]\r\n") + 9;
        QByteArray cut = bytes;
        cut.insert(page8 + 4, '\0');
        Loaded l = loadDoc(cut);
        QCOMPARE(l.res.error, outOfRange(58));
        QCOMPARE(l.r.ListView3.size(), size_t(1));
        QCOMPARE(l.r.ListView3[0][0], u"20/0"_s);
        QCOMPARE(l.r.ListView3[0][1], QString());

        // Before the marker: section 8 is missing, so the load succeeds without it.
        cut = bytes;
        cut.insert(page8 - 9, '\0');
        l = loadDoc(cut);
        QVERIFY(l.res.ok);
        QVERIFY(l.r.ListView3.empty());
        QCOMPARE(l.r.Image1, u"photo.jpg"_s);
    }

    void smallLetterMarkers()
    {
        QStringList lines = fullLines();
        for (QString &l : lines)
            if (l.startsWith(QLatin1Char('[')))
                l = l.toLower();
        const Loaded l = loadDoc(doc(lines));
        // Start markers are found whatever their case; the fuel end marker is not.
        QCOMPARE(l.res.error, outOfRange(61));
        QCOMPARE(l.r.edit[3], u"Zoé Lefèvre"_s);
        QCOMPARE(l.r.DateTimePicker1, QDate(2022, 1, 5));
        QCOMPARE(l.r.ListView1[0][1], u"Plein — Total"_s);
        QVERIFY(l.r.edit[24].isEmpty()); // the load stopped before section 3
    }

    void strayLinesInFuelLedger()
    {
        QStringList lines = fullLines();
        const qsizetype end = lines.indexOf(u"[/PAGE2]"_s);
        lines.insert(end, u"bruit"_s);
        lines.insert(end, u"parasite"_s);
        lines.remove(lines.indexOf(u"02/02/2022"_s), 5); // one whole entry and two stray lines
        const Loaded l = loadDoc(doc(lines));
        QVERIFY(!l.res.ok);
        QVERIFY(l.r.ListView1.size() >= 2);
        const FuelEntry expected{u"parasite"_s, u"bruit"_s, u"[/PAGE2]"_s, u"[PAGE3]"_s,
                                 u"   15000.00"_s};
        QCOMPARE(l.r.ListView1[1], expected);
    }

    void missingSectionsKeepFields()
    {
        QStringList lines = fullLines();
        const QStringList page5 = lines.mid(lines.indexOf(u"[PAGE5]"_s), 8);
        Loaded l = loadDoc(doc(page5));
        QVERIFY(l.res.ok);
        VehicleRecord expected = VehicleRecord::create(kToday);
        expected.DateTimePicker3 = QDate(2026, 12, 1);
        expected.edit[19] = u" 50000.00"_s;
        expected.edit[20] = u" 3000.00"_s;
        expected.edit[21] = u" 60000.00"_s;
        expected.edit[22] = u"  5.00"_s;
        expected.ComboBox1 = u"GPL"_s;
        QVERIFY(l.r.sameStoredContent(expected));
    }

    void guardedDatesOfPageOne_data()
    {
        QTest::addColumn<QStringList>("page1");
        QTest::addColumn<QString>("error");
        QTest::addColumn<QDate>("purchase");
        QTest::addColumn<QString>("price");
        QTest::addColumn<QDate>("registration");
        const QString p = u"  100.00"_s;
        const QDate a(2022, 1, 5), b(2020, 6, 30);
        QTest::newRow("both dates") << QStringList{u"05/01/2022"_s, p, u"30/06/2020"_s} << QString() << a << p << b;
        QTest::newRow("bad purchase date ends the group")
            << QStringList{u"31/02/2022"_s, p, u"30/06/2020"_s} << QString() << kToday << QString() << kToday;
        QTest::newRow("bad registration date")
            << QStringList{u"05/01/2022"_s, p, u"hier"_s} << QString() << a << p << kToday;
        QTest::newRow("empty dates are skipped") << QStringList{QString(), p, QString()} << QString() << kToday << p << kToday;
        QTest::newRow("file ends inside the group") << QStringList{u"05/01/2022"_s} << QString() << a << QString() << kToday;
        QTest::newRow("file ends before the group") << QStringList{} << outOfRange(3) << kToday << QString() << kToday;
    }
    void guardedDatesOfPageOne()
    {
        QFETCH(QStringList, page1);
        QFETCH(QString, error);
        QStringList lines{u"[PAGE1]"_s, u"Fiat"_s, u"Panda"_s};
        if (!page1.isEmpty())
            lines << u"Moi"_s << page1;
        const Loaded l = loadDoc(doc(lines));
        QCOMPARE(l.res.error, error);
        QTEST(l.r.DateTimePicker1, "purchase");
        QTEST(l.r.edit[4], "price");
        QTEST(l.r.DateTimePicker2, "registration");
        QCOMPARE(l.r.edit[2], u"Panda"_s);
    }

    void badValuationDateIsIgnored()
    {
        QStringList lines = fullLines();
        lines[lines.indexOf(u"[PAGE5]"_s) + 1] = u"32/13/2026"_s;
        const Loaded l = loadDoc(doc(lines));
        QVERIFY(l.res.ok);
        QCOMPARE(l.r.DateTimePicker3, kToday);
        QCOMPARE(l.r.ComboBox1, u"GPL"_s);
    }

    void markerTextInFields()
    {
        // A comment line equal to a later start marker is found first.
        QStringList lines = fullLines();
        lines.insert(lines.indexOf(u"[/PAGE6]"_s), u"[page7]"_s);
        lines.insert(lines.indexOf(u"[/PAGE6]"_s), u"autre.bmp"_s);
        Loaded l = loadDoc(doc(lines));
        QVERIFY(l.res.ok);
        QCOMPARE(l.r.Image1, u"autre.bmp"_s);
        QCOMPARE(l.r.Memo1.last(), u"autre.bmp"_s);

        // The end marker is looked for at an entry's start and on its last line only.
        lines = fullLines();
        lines[lines.indexOf(u"Plein — Total"_s)] = u"[/PAGE2]"_s;
        l = loadDoc(doc(lines));
        QVERIFY(l.res.ok);
        QCOMPARE(l.r.ListView1.size(), size_t(2));
        QCOMPARE(l.r.ListView1[0][1], u"[/PAGE2]"_s);

        lines = fullLines();
        lines[lines.indexOf(u"52310.00"_s)] = u"[/PAGE2]"_s;
        l = loadDoc(doc(lines));
        QVERIFY(l.res.ok);
        QCOMPARE(l.r.ListView1.size(), size_t(1));
        QCOMPARE(l.r.ListView1[0][4], u"[/PAGE2]"_s);

    }

    void sectionsCutShort_data()
    {
        QTest::addColumn<QString>("endMarker");
        QTest::addColumn<int>("keep"); // lines kept after the start marker
        QTest::newRow("fuel entry cut") << u"[/PAGE2]"_s << 7;
        QTest::newRow("comment without end") << u"[/PAGE6]"_s << 3;
    }
    void sectionsCutShort()
    {
        QFETCH(QString, endMarker);
        QFETCH(int, keep);
        QStringList lines = fullLines();
        const QString start = QString(endMarker).remove(1, 1);
        // Move the section to the end of the file, then cut it.
        const qsizetype from = lines.indexOf(start);
        const qsizetype to = lines.indexOf(endMarker);
        QStringList section = lines.mid(from, to - from + 1);
        lines.remove(from, to - from + 1);
        lines += section.mid(0, keep + 1);
        const Loaded l = loadDoc(doc(lines));
        QCOMPARE(l.res.error, outOfRange(int(lines.size())));
        // What was read before the end stays, a partial entry included.
        const VehicleRecord full = fullRecord();
        if (start == u"[PAGE2]"_s) {
            QCOMPARE(l.r.ListView1.size(), size_t(2));
            QCOMPARE(l.r.ListView1[1][0], u"02/02/2022"_s);
            QCOMPARE(l.r.ListView1[1][2], QString());
        } else {
            QCOMPARE(l.r.Memo1, full.Memo1.mid(0, 3));
        }
    }

    void computedOnlyAfterCompleteLoad()
    {
        QByteArray bytes = golden("full.vtr");
        bytes.chop(10); // no "[/PAGE8]"
        Loaded l{VehicleRecord::create(kToday), {}};
        for (int c : kComputedEdits)
            l.r.edit[size_t(c)] = u"avant"_s;
        l.res = loadBytes(l.r, bytes, pictures(true));
        QVERIFY(!l.res.ok);
        for (int c : kComputedEdits)
            QCOMPARE(l.r.edit[size_t(c)], u"avant"_s);
    }

    void pictureName()
    {
        const QByteArray bytes = golden("full.vtr");
        Loaded l = loadDoc(bytes, pictures(true));
        QCOMPARE(l.r.Image1, u"photo.jpg"_s);

        l = loadDoc(bytes, pictures(false));
        QVERIFY(l.res.ok);
        QVERIFY(l.r.Image1.isEmpty());

        // A picture that cannot be shown stops the load before the parking ledger.
        const QString bad = u"Extension de fichier graphique inconnue (.jpg)"_s;
        l = loadDoc(bytes, pictures(true, bad));
        QCOMPARE(l.res.error, bad);
        QVERIFY(l.r.ListView3.empty());
        QCOMPARE(l.r.Image1, u"photo.jpg"_s);

        QTemporaryDir dir;
        QFile(dir.filePath(u"a.bmp"_s)).open(QIODevice::WriteOnly);
        QFile(dir.filePath(u"a.gif"_s)).open(QIODevice::WriteOnly);
        const PictureHook byName = nameOnlyPictureHook(dir.path());
        QVERIFY(byName.exists(u"a.bmp"_s) && !byName.exists(u"b.bmp"_s));
        QVERIFY(byName.load(u"a.bmp"_s).isEmpty());
        QCOMPARE(byName.load(u"a.gif"_s), u"Extension de fichier graphique inconnue (.gif)"_s);
    }

    // A FIFO (as a pipe given as /dev/stdin) has no size: it is read to its end all the same.
    void readsFromFifo()
    {
        QTemporaryDir dir;
        const QString fifo = dir.filePath(u"tube.vtr"_s);
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        std::signal(SIGPIPE, SIG_IGN); // a reader that stops early must not kill the test
        const QByteArray bytes = golden("full.vtr");
        std::thread writer([&] {
            QFile f(fifo);
            if (f.open(QIODevice::WriteOnly))
                f.write(bytes);
        });
        VehicleRecord piped = VehicleRecord::create(kToday);
        const LoadResult res = load(piped, fifo, pictures(true));
        writer.join();
        QVERIFY2(res.ok, qPrintable(res.error));
        const Loaded expected = loadDoc(bytes);
        QVERIFY(piped.sameStoredContent(expected.r));
        QCOMPARE(piped.ListView1.size(), size_t(2));
    }

    // A read error half-way is no end of text: the load stops with the opening message.
    void readErrorStopsTheLoad_data()
    {
        QTest::addColumn<bool>("sequential");
        QTest::newRow("file") << false;
        QTest::newRow("pipe") << true;
    }
    void readErrorStopsTheLoad()
    {
        QFETCH(bool, sequential);
        const QByteArray bytes = golden("full.vtr");
        // Cut where the part read is a whole file in itself: sections 1 to 5.
        FailingDevice device(bytes, bytes.indexOf("[PAGE6]"), sequential);
        setReadChunkForTests(64);
        VehicleRecord r = VehicleRecord::create(kToday);
        const LoadResult res = loadDevice(r, device, pictures(true));
        setReadChunkForTests(0);
        QCOMPARE(res.error, u"Ne peut ouvrir le fichier "_s);
    }

    void fileErrors()
    {
        QTemporaryDir dir;
        VehicleRecord r = VehicleRecord::create(kToday);
        const QString missing = dir.filePath(u"absent.vtr"_s);
        LoadResult res = load(r, missing, pictures(false));
        QCOMPARE(res.error, u"Ne peut ouvrir le fichier "_s + missing);
        QCOMPARE(r.fileName, missing);
        res = load(r, dir.path(), pictures(false));
        QCOMPARE(res.error, u"Ne peut ouvrir le fichier "_s + dir.path());

        // Saving onto a folder fails and leaves the folder as it was.
        const QString folder = dir.filePath(u"auto.vtr"_s);
        QVERIFY(QDir().mkdir(folder));
        SaveResult s = save(fullRecord(), folder);
        QCOMPARE(s.error, u"Ne peut créer le fichier "_s + folder);
        QVERIFY(QFileInfo(folder).isDir());
    }

    void failedSaveKeepsPreviousFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"auto.vtr"_s);
        QVERIFY(save(VehicleRecord::create(kToday), path).ok);
        const QByteArray before = readFile(path);
        QVERIFY(QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        QFile probe(dir.filePath(u"probe"_s));
        if (probe.open(QIODevice::WriteOnly)) {
            probe.remove();
            QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
            QSKIP("permissions do not stop this user from writing (root)");
        }
        const SaveResult s = save(fullRecord(), path);
        QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        QCOMPARE(s.error, u"Ne peut créer le fichier "_s + path);
        QCOMPARE(readFile(path), before);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{u"auto.vtr"_s});
    }

    // A disk that cannot keep the new bytes: the save and the export say so and the old file
    // stays, with no temporary file left beside it.
    void failedSyncKeepsPreviousFile()
    {
        QTemporaryDir dir;
        const QString vtr = dir.filePath(u"auto.vtr"_s);
        const QString txt = dir.filePath(u"auto.txt"_s);
        QVERIFY(save(VehicleRecord::create(kToday), vtr).ok);
        QVERIFY(writeAtomically(txt, "ancien\r\n").ok);
        const QByteArray vtrBefore = readFile(vtr);
        setSyncForTests([](int) {
            errno = EIO;
            return -1;
        });
        const SaveResult saved = save(fullRecord(), vtr);
        const tabexport::Result exported = tabexport::exportToFile(fullRecord(), tabexport::Ledger::Fuel, txt);
        setSyncForTests(nullptr);
        QCOMPARE(saved.error, u"Ne peut créer le fichier "_s + vtr);
        QCOMPARE(exported.error, u"Ne peut créer le fichier "_s + txt);
        QCOMPARE(readFile(vtr), vtrBefore);
        QCOMPARE(readFile(txt), QByteArray("ancien\r\n"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), (QStringList{u"auto.txt"_s, u"auto.vtr"_s}));
    }

    // The folder is synced after the rename; when that fails the save says so, but the new
    // file, complete, stays in place.
    void folderSyncAfterRename()
    {
        QTemporaryDir dir;
        const QString vtr = dir.filePath(u"auto.vtr"_s);
        const QString txt = dir.filePath(u"auto.txt"_s);
        QVERIFY(save(VehicleRecord::create(kToday), vtr).ok);
        static QStringList synced;
        synced.clear();
        setSyncForTests([](int fd) {
            struct stat st {};
            ::fstat(fd, &st);
            synced << (S_ISDIR(st.st_mode) ? u"folder"_s : u"file"_s);
            return 0;
        });
        QVERIFY(save(fullRecord(), vtr).ok);
        QCOMPARE(synced, (QStringList{u"file"_s, u"folder"_s}));

        setSyncForTests([](int fd) {
            struct stat st {};
            ::fstat(fd, &st);
            if (!S_ISDIR(st.st_mode))
                return 0;
            errno = EIO;
            return -1;
        });
        const SaveResult saved = save(fullRecord(), vtr);
        const tabexport::Result exported = tabexport::exportToFile(fullRecord(), tabexport::Ledger::Fuel, txt);
        setSyncForTests(nullptr);
        QCOMPARE(saved.error, u"Ne peut créer le fichier "_s + vtr);
        QCOMPARE(exported.error, u"Ne peut créer le fichier "_s + txt);
        QCOMPARE(readFile(vtr), golden("full.vtr"));
        QCOMPARE(readFile(txt), tabexport::exportBytes(fullRecord(), tabexport::Ledger::Fuel));
    }

    // The program opens only regular files: a FIFO without a writer, a folder or a device is
    // refused at once instead of being waited on.
    void regularFilesOnly()
    {
        QTemporaryDir dir;
        const QString fifo = dir.filePath(u"tube.vtr"_s);
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        for (const QString &path : {fifo, dir.path(), u"/dev/zero"_s}) {
            VehicleRecord r = VehicleRecord::create(kToday);
            const LoadResult res = load(r, path, pictures(true), Opening::RegularOnly);
            QCOMPARE(res.error, u"Ne peut ouvrir le fichier "_s + path);
            QCOMPARE(r.fileName, path);
        }
        const QString file = dir.filePath(u"auto.vtr"_s);
        QVERIFY(writeAtomically(file, golden("full.vtr")).ok);
        VehicleRecord r = VehicleRecord::create(kToday);
        QVERIFY(load(r, file, pictures(true), Opening::RegularOnly).ok);
        QCOMPARE(r.ListView1.size(), size_t(2));
    }

    // Bytes without one section marker are no vehicle file; an empty file is an empty one.
    void noSectionIsNotAVehicleFile_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("noSection");
        QTest::newRow("empty") << QByteArray() << false;
        QTest::newRow("passwd") << QByteArray("root:x:0:0:root:/root:/bin/bash\nbin:x:2:2::/:\n") << true;
        QTest::newRow("jpeg") << QByteArray("\xff\xd8\xff\xe0\x00\x10JFIF\x00\x01", 12) << true;
        QTest::newRow("line ends only") << QByteArray("\r\n\r\n") << true;
        QTest::newRow("one section") << QByteArray("[page7]\r\n\r\n[/PAGE7]\r\n") << false;
        QTest::newRow("vehicle file") << golden("full.vtr") << false;
    }
    void noSectionIsNotAVehicleFile()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, noSection);
        QCOMPARE(loadDoc(bytes).res.noSection, noSection);
        QTemporaryDir dir;
        const QString path = dir.filePath(u"x.vtr"_s);
        QVERIFY(writeAtomically(path, bytes).ok);
        VehicleRecord r = VehicleRecord::create(kToday);
        const LoadResult res = load(r, path, pictures(true), Opening::RegularOnly);
        QVERIFY(res.ok);
        QCOMPARE(res.noSection, noSection);
    }

    // What a load and a save remember of the file is what the file holds: the bytes hashed on
    // the way give the hash of the whole file, whatever the chunks, also past a NUL byte.
    void identityTakenOnTheWay()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"auto.vtr"_s);
        const SaveResult saved = save(fullRecord(), path);
        QVERIFY(saved.ok);
        const filestate::Identity whole = filestate::identify(path);
        QVERIFY(saved.identity.exists);
        QCOMPARE(saved.identity.size, whole.size);
        QCOMPARE(saved.identity.hash, whole.hash);
        QCOMPARE(saved.identity.inode, whole.inode);
        QCOMPARE(saved.identity.mtimeNs, whole.mtimeNs);

        QByteArray withNul = golden("full.vtr") + QByteArray("\0after", 6);
        for (qsizetype chunk : {7, 4096, 0}) {
            setReadChunkForTests(chunk);
            QVERIFY(writeAtomically(path, withNul).ok);
            VehicleRecord r = VehicleRecord::create(kToday);
            const LoadResult res = load(r, path, pictures(true), Opening::RegularOnly);
            setReadChunkForTests(0);
            QVERIFY(res.ok);
            QCOMPARE(res.identity.hash, filestate::identify(path).hash);
        }
        // A change after the text's end is a change of the file.
        const quint64 before = filestate::identify(path).hash;
        withNul.back() = 'X';
        QVERIFY(writeAtomically(path, withNul).ok);
        QVERIFY(filestate::identify(path).hash != before);
    }

    void vtrExtension_data()
    {
        QTest::addColumn<QString>("in");
        QTest::addColumn<QString>("out");
        QTest::newRow("no extension") << u"/d/auto"_s << u"/d/auto.vtr"_s;
        QTest::newRow("already .vtr") << u"/d/auto.vtr"_s << u"/d/auto.vtr"_s;
        QTest::newRow("other extension") << u"/d/auto.txt"_s << u"/d/auto.vtr"_s;
        QTest::newRow("last dot only") << u"auto.2024.txt"_s << u"auto.2024.vtr"_s;
        QTest::newRow("dot in a folder") << u"/mes.docs/auto"_s << u"/mes.docs/auto.vtr"_s;
        QTest::newRow("empty name") << QString() << u".vtr"_s;
    }
    void vtrExtension()
    {
        QFETCH(QString, in);
        QTEST(withVtrExtension(in), "out");
    }

    // Any record written and read back gives the same stored content.
    void randomRoundTrip()
    {
        QRandomGenerator rng(20261207);
        // Windows-1252 without CR, LF, NUL and '[' (which would make marker lines).
        QString alphabet = u" \tabcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789.,;:/-'\"()éèêàçùôœŒ€—…«»°²Ÿ\x01\x1a"_s;
        for (int c = 0xA0; c <= 0xFF; c += 7)
            alphabet += QChar(c);
        auto text = [&](int maxLen) {
            QString s;
            const int n = rng.bounded(maxLen + 1);
            for (int i = 0; i < n; ++i)
                s += alphabet[rng.bounded(int(alphabet.size()))];
            return s;
        };
        auto date = [&] { return QDate(1950, 1, 1).addDays(rng.bounded(60000)); };
        for (int round = 0; round < 150; ++round) {
            VehicleRecord r = VehicleRecord::create(kToday);
            for (int e = 1; e <= 26; ++e)
                if (!isComputedEdit(e))
                    r.edit[size_t(e)] = text(12);
            r.DateTimePicker1 = date();
            r.DateTimePicker2 = date();
            r.DateTimePicker3 = date();
            r.ComboBox1 = text(8);
            r.Image1 = text(10);
            for (int i = rng.bounded(6); i > 0; --i)
                r.Memo1 << text(30);
            if (!r.Memo1.isEmpty() && r.Memo1.last().isEmpty())
                r.Memo1.last() = u"x"_s;
            for (int i = rng.bounded(8); i > 0; --i)
                r.ListView1.push_back({text(10), text(20), text(8), text(6), text(9)});
            for (int i = rng.bounded(8); i > 0; --i)
                r.ListView2.push_back({text(10), text(20), text(8), text(9)});
            for (int i = rng.bounded(8); i > 0; --i)
                r.ListView3.push_back({text(10), text(20), text(8)});

            const QByteArray bytes = encode(writeLines(r));
            const Loaded l = loadDoc(bytes, pictures(true));
            QVERIFY2(l.res.ok, qPrintable(l.res.error));
            QVERIFY2(l.r.sameStoredContent(r), qPrintable(QString::number(round)));
            QCOMPARE(encode(writeLines(l.r)), bytes);
        }
    }
};

QTEST_APPLESS_MAIN(TestVtrFile)
#include "tst_vtrfile.moc"
