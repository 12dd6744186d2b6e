// The recovery folder: this program's copies, locked while it runs; the copies of a program
// that is gone, offered once, kept or deleted.
#include "core/vehicle/recovery.h"
#include "core/vehicle/vtrfile.h"

#include <QDir>
#include <QFile>
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
