// The recovery folder: this program's copies, locked while it runs; the copies of a program
// that is gone, offered once, kept or deleted.
#include "core/vehicle/recovery.h"
#include "core/vehicle/vtrfile.h"

#include <QDir>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace recovery;
using namespace Qt::StringLiterals;

namespace {

VehicleRecord someRecord(const QString &brand)
{
    VehicleRecord r = VehicleRecord::create(QDate(2026, 3, 1));
    r.edit[1] = brand;
    r.edit[4] = u"   85000.00"_s;
    r.ListView1 = {{u"10/01/2026"_s, u"Plein"_s, u"61.20"_s, u"41.20"_s, u"52310.00"_s}};
    r.ListView3 = {{u"11/01/2026"_s, u"Parking"_s, u"4.00"_s}};
    // The comment's paragraphs as typed, a long one included, and the picture's bare name.
    r.Memo1 = {u"Un paragraphe assez long pour être replié dans le champ du commentaire."_s, QString(), u"Fin"_s};
    r.Image1 = u"photo.jpg"_s;
    r.fileName = u"/home/u/auto.vtr"_s;
    r.modified = true;
    return r;
}

// Moves the file's time stamp back, as if it had been written a while ago.
bool age(const QString &path, int seconds)
{
    const QDateTime stamp = QFileInfo(path).lastModified().addSecs(-seconds);
    QFile f(path);
    return f.open(QIODevice::ReadWrite) && f.setFileTime(stamp, QFileDevice::FileModificationTime);
}

QStringList entries(const QString &dir)
{
    return QDir(dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
}

} // namespace

class TestRecovery : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void folderFromEnvironment()
    {
        const QByteArray saved = qgetenv("XDG_STATE_HOME");
        qputenv("XDG_STATE_HOME", "/tmp/etat");
        QCOMPARE(folder(), u"/tmp/etat/tevauto/recovery"_s);
        qputenv("XDG_STATE_HOME", "relatif"); // not absolute: ignored, as the standard says
        QCOMPARE(folder(), QDir::homePath() + u"/.local/state/tevauto/recovery"_s);
        qunsetenv("XDG_STATE_HOME");
        QCOMPARE(folder(), QDir::homePath() + u"/.local/state/tevauto/recovery"_s);
        qputenv("XDG_STATE_HOME", saved);
    }

    void infoSurvivesAnyText()
    {
        CopyInfo info;
        info.caption = u"deux\nlignes \\ et \\n"_s;
        info.fileName = u"/d/a=b\r.vtr"_s;
        info.partial = u"notvehicle"_s;
        info.identity = filestate::absent(info.fileName);
        const CopyInfo back = parseInfo(infoText(info));
        QCOMPARE(back.caption, info.caption);
        QCOMPARE(back.fileName, info.fileName);
        QCOMPARE(back.partial, info.partial);
        QVERIFY(back.identity.known && !back.identity.exists);
        QCOMPARE(back.identity.path, info.fileName);
    }

    // A running program's copies are its own; the folder holds only unsaved work.
    void sessionLifecycle()
    {
        QTemporaryDir root;
        {
            Session s(root.path());
            QVERIFY(entries(root.path()).isEmpty()); // nothing before the first copy
            QVERIFY(s.write(1, someRecord(u"Renault"_s), {u"auto.vtr"_s, u"/home/u/auto.vtr"_s, {}, {}}));
            QVERIFY(s.write(2, someRecord(u"Peugeot"_s), {u"VOITURE2"_s, {}, {}, {}}));
            QCOMPARE(entries(s.path()), (QStringList{u"1.txt"_s, u"1.vtr"_s, u"2.txt"_s, u"2.vtr"_s, u"lock"_s}));
            QCOMPARE(QFile::permissions(s.path()) & 0x0077, QFileDevice::Permissions()); // the owner's alone
            QCOMPARE(QFile::permissions(root.path()) & 0x0077, QFileDevice::Permissions());

            // Not offered while its program runs, not even to another reader of the same folder.
            QVERIFY(Orphans::find(root.path())->copies().isEmpty());
            QVERIFY(QFileInfo::exists(s.path() + u"/1.vtr"_s));

            s.remove(1);
            QCOMPARE(entries(s.path()), (QStringList{u"2.txt"_s, u"2.vtr"_s, u"lock"_s}));
            s.remove(2);
            QVERIFY(entries(root.path()).isEmpty());
            QVERIFY(s.write(3, someRecord(u"Fiat"_s), {}));
            s.removeAll();
            QVERIFY(entries(root.path()).isEmpty());
        }
        QVERIFY(entries(root.path()).isEmpty());
    }

    // A program that ended without removing its copies: they are offered with what they were,
    // once; release() keeps them for the next start, discard() deletes them.
    void orphansOffered()
    {
        QTemporaryDir root;
        const VehicleRecord renault = someRecord(u"Renault"_s);
        VehicleRecord fresh = someRecord(u"Peugeot"_s);
        fresh.fileName.clear();
        {
            Session gone(root.path());
            CopyInfo info{u"/home/u/auto.vtr"_s, renault.fileName, u"incomplete"_s, filestate::absent(renault.fileName)};
            QVERIFY(gone.write(2, renault, info));
            QVERIFY(gone.write(10, fresh, {u"VOITURE1"_s, {}, {}, {}}));
        } // its lock goes with it, the copies stay

        std::unique_ptr<Orphans> found = Orphans::find(root.path());
        QCOMPARE(found->copies().size(), 2);
        const Copy &first = found->copies().at(0);
        QCOMPARE(first.info.caption, u"/home/u/auto.vtr"_s);
        QCOMPARE(first.info.partial, u"incomplete"_s);
        QVERIFY(first.info.identity.known && !first.info.identity.exists);
        QCOMPARE(first.record.fileName, renault.fileName);
        QVERIFY(first.record.modified);
        QVERIFY(first.record.sameStoredContent(renault));
        const Copy &second = found->copies().at(1); // slots in number order, not name order
        QCOMPARE(second.info.caption, u"VOITURE1"_s);
        QVERIFY(second.record.fileName.isEmpty());
        QVERIFY(second.record.sameStoredContent(fresh));

        // Held: a second program starting now does not get them too.
        QVERIFY(Orphans::find(root.path())->copies().isEmpty());
        found->release();
        found = Orphans::find(root.path());
        QCOMPARE(found->copies().size(), 2);
        found->discard();
        QVERIFY(entries(root.path()).isEmpty());
        QVERIFY(Orphans::find(root.path())->copies().isEmpty());
    }

    // A copy written by an earlier version keeps the hash of its file by the scheme of the time
    // (XXH64): it is still offered whole, and the hash only tells "changed" once it is needed.
    void identityOfAnEarlierHash()
    {
        QTemporaryDir root;
        const QString original = root.filePath(u"auto.vtr"_s);
        const QByteArray bytes = "[PAGE1]\r\nRenault\r\n";
        {
            QFile f(original);
            QVERIFY(f.open(QIODevice::WriteOnly));
            QCOMPARE(f.write(bytes), bytes.size());
        }
        QVERIFY(age(original, 60));
        filestate::Identity id = filestate::identify(original);
        const quint64 earlierHash = 0x00BE5EF9AAE408EBull; // XXH64 of `bytes`, seed 0
        QVERIFY(id.hash != earlierHash);
        id.hash = earlierHash;
        VehicleRecord r = someRecord(u"Renault"_s);
        r.fileName = original;
        {
            Session gone(root.filePath(u"recovery"_s));
            QVERIFY(gone.write(1, r, {u"auto.vtr"_s, original, {}, id}));
        }
        std::unique_ptr<Orphans> found = Orphans::find(root.filePath(u"recovery"_s));
        QCOMPARE(found->copies().size(), 1);
        const Copy &copy = found->copies().at(0);
        QVERIFY(copy.record.sameStoredContent(r));
        QCOMPARE(copy.info.identity.hash, earlierHash);
        // Untouched since: size and time stamp answer, the hash is not read.
        QCOMPARE(filestate::compare(copy.info.identity), filestate::Outside::Same);
        // Touched: the bytes are hashed again, and the earlier hash cannot match.
        QVERIFY(age(original, 30));
        QCOMPARE(filestate::compare(copy.info.identity), filestate::Outside::Changed);
        found->discard();
    }

    // A copy that cannot be read is not offered; a folder left without copies is cleared.
    void brokenLeftovers()
    {
        QTemporaryDir root;
        QVERIFY(QDir().mkpath(root.filePath(u"123-empty"_s)));
        QVERIFY(QDir().mkpath(root.filePath(u"124-broken"_s)));
        QFile cut(root.filePath(u"124-broken/1.vtr"_s));
        QVERIFY(cut.open(QIODevice::WriteOnly));
        cut.write("[PAGE2]\r\n01/01/2026\r\n"); // a copy cut short
        cut.close();
        std::unique_ptr<Orphans> found = Orphans::find(root.path());
        QVERIFY(found->copies().isEmpty());
        QVERIFY(!QFileInfo::exists(root.filePath(u"123-empty"_s)));
        QVERIFY(QFileInfo::exists(cut.fileName())); // held until discarded
        found->discard();
        QVERIFY(entries(root.path()).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestRecovery)
#include "tst_recovery.moc"
