// Crash recovery: copies of unsaved work follow the documents, go away with them, survive a
// signal, and are offered at the next start.
#include "app/TMainForm.h"
#include "app/autosave.h"
#include "core/vehicle/recovery.h"
#include "core/vehicle/vtrfile.h"
#include "guitest.h"
#include "platform/filedialogs.h"
#include "platform/messages.h"
#include "ui/document/TMDIChild.h"

#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QProcess>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <memory>

using platform::FileDialogs;
using platform::Messages;
using namespace Qt::StringLiterals;

namespace {

QStringList filesUnder(const QString &root, const QString &pattern = u"*"_s)
{
    QStringList out;
    QDirIterator it(root, {pattern}, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        out << it.next().mid(root.size() + 1);
    out.sort();
    return out;
}

// The brand held by the only copy under `root`, or "-" when there is none.
QString copiedBrand(const QString &root)
{
    const QStringList copies = filesUnder(root, u"*.vtr"_s);
    if (copies.size() != 1)
        return u"-"_s;
    VehicleRecord r = VehicleRecord::create(QDate(2026, 1, 1));
    if (!vtrfile::load(r, root + u'/' + copies.first(), vtrfile::nameOnlyPictureHook()).ok)
        return u"-"_s;
    return r.edit[1];
}

VehicleRecord copiedRecord(const QString &root)
{
    VehicleRecord r = VehicleRecord::create(QDate(2026, 1, 1));
    const QStringList copies = filesUnder(root, u"*.vtr"_s);
    if (copies.size() == 1)
        vtrfile::load(r, root + u'/' + copies.first(), vtrfile::nameOnlyPictureHook());
    return r;
}

QString copiedInfo(const QString &root)
{
    const QStringList infos = filesUnder(root, u"*.txt"_s);
    if (infos.size() != 1)
        return QString();
    QFile f(root + u'/' + infos.first());
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

void setBrand(TMDIChild *doc, const QString &brand)
{
    doc->findChild<QLineEdit *>(u"Edit1"_s)->setText(brand);
}

// What a program killed in the middle of its work leaves: copies, and a lock naming a process
// that no longer runs.
void leaveCopiesOfADeadProgram(const QString &root, const QList<std::pair<VehicleRecord, recovery::CopyInfo>> &copies)
{
    QString dir;
    {
        recovery::Session dead(root);
        int slot = 1;
        for (const auto &[record, info] : copies)
            QVERIFY(dead.write(slot++, record, info));
        dir = dead.path();
    }
    QProcess gone;
    gone.start(u"sh"_s, {u"-c"_s, u"echo $$"_s});
    QVERIFY(gone.waitForFinished());
    const QByteArray pid = gone.readAllStandardOutput().trimmed();
    QFile lock(dir + u"/lock"_s);
    QVERIFY(lock.open(QIODevice::WriteOnly));
    lock.write(pid + "\ntevauto\n" + QSysInfo::machineHostName().toUtf8() + "\n");
}

} // namespace

class RecoveryTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        guitest::useSeams();
        AutoSave::setDelaysForTests(30, 400);
    }
    void cleanupTestCase() { AutoSave::setDelaysForTests(0, 0); }
    void init()
    {
        guitest::useSeams();
        m_tmp = std::make_unique<QTemporaryDir>();
        m_root = m_tmp->filePath(u"recovery"_s);
        m_frame = std::make_unique<TMainForm>();
        m_auto = std::make_unique<AutoSave>(m_frame.get(), m_root);
        m_frame->show();
        QVERIFY(QTest::qWaitForWindowActive(m_frame.get()));
    }
    void cleanup()
    {
        m_frame.reset();
        m_auto.reset();
    }

    // A copy exists exactly while a document has unsaved changes.
    void copiesFollowUnsavedWork()
    {
        TMainForm &f = *m_frame;
        f.FileNewItem->trigger();
        TMDIChild *doc = f.activeChild();
        QTest::qWait(150);
        QCOMPARE(filesUnder(m_tmp->path()), QStringList()); // nothing for a document without changes

        setBrand(doc, u"Peugeot"_s);
        QTRY_COMPARE(copiedBrand(m_root), u"Peugeot"_s);
        QTRY_COMPARE(copiedInfo(m_root), u"caption=VOITURE1\nfile=\n"_s);
        QCOMPARE(filesUnder(m_root).size(), 3); // the copy, its text file, the lock
        setBrand(doc, u"Peugeot 208"_s);
        QTRY_COMPARE(copiedBrand(m_root), u"Peugeot 208"_s);

        // Saved: the copy goes, and with the last copy the program's folder.
        const QString file = m_tmp->filePath(u"auto.vtr"_s);
        FileDialogs::setNextFileName(file);
        QVERIFY(doc->Sauve(0));
        QTRY_COMPARE(filesUnder(m_root), QStringList());

        // Opened from a file: the copy says which, and what the file was when read.
        setBrand(doc, u"Fiat"_s);
        QTRY_COMPARE(copiedBrand(m_root), u"Fiat"_s);
        QTRY_VERIFY(copiedInfo(m_root).startsWith(u"caption=auto.vtr\nfile="_s + file + u"\nidentity="_s));

        // Closed with "&Non": the changes are given up, the copy too.
        Messages::setNextAnswer(Messages::No);
        f.FileCloseItem->trigger();
        QTRY_COMPARE(f.documentCount(), 0);
        QTRY_COMPARE(filesUnder(m_root), QStringList());
    }

    // The comment goes into the copy as typed, not as the field wraps it.
    void commentAsTyped()
    {
        TMainForm &f = *m_frame;
        f.FileNewItem->trigger();
        TMDIChild *doc = f.activeChild();
        doc->showPage(TMDIChild::Commentaire);
        const QString paragraph = QString(u"mot "_s).repeated(60).trimmed();
        auto *memo = doc->findChild<QPlainTextEdit *>(u"Memo1"_s);
        memo->setPlainText(paragraph + u"\n\nfi"_s);
        QTest::keyClick(memo, Qt::Key_End, Qt::ControlModifier);
        QTest::keyClick(memo, 'n'); // typed: a change of the comment
        QVERIFY(doc->commentLines().size() > 3); // wrapped on screen
        QTRY_COMPARE(copiedRecord(m_root).Memo1, (QStringList{paragraph, QString(), u"fin"_s}));
    }

    // A large document is copied at most once in the longer delay, however fast it changes.
    void largeDocumentsLessOften()
    {
        TMainForm &f = *m_frame;
        f.FileNewItem->trigger();
        TMDIChild *doc = f.activeChild();
        VehicleRecord big = VehicleRecord::create(QDate(2026, 1, 1));
        big.ListView3.assign(AutoSave::kLargeEntries, {u"01/01/2026"_s, u"Parking"_s, u"2.00"_s});
        big.modified = true;
        doc->setRecord(big);
        setBrand(doc, u"Un"_s);
        QTRY_COMPARE(copiedBrand(m_root), u"Un"_s);
        QElapsedTimer sinceFirst;
        sinceFirst.start();
        setBrand(doc, u"Deux"_s);
        QTRY_COMPARE_WITH_TIMEOUT(copiedBrand(m_root), u"Deux"_s, 10000);
        QVERIFY2(sinceFirst.elapsed() >= 300, qPrintable(QString::number(sinceFirst.elapsed())));

        // Its snapshot is taken in pieces: a ledger that changes meanwhile is copied again, and
        // the copy is the record as it ends up.
        setBrand(doc, u"Trois"_s);
        QTest::qWait(420);
        big.edit[1] = u"Quatre"_s;
        big.ListView3.resize(AutoSave::kLargeEntries + 1, {u"02/01/2026"_s, u"Péage"_s, u"9.00"_s});
        doc->setRecord(big);
        QTRY_COMPARE_WITH_TIMEOUT(copiedBrand(m_root), u"Quatre"_s, 10000);
        QTRY_VERIFY_WITH_TIMEOUT(copiedRecord(m_root).sameStoredContent(doc->record()), 10000);
    }

    // The copies of a program that stopped: "&Oui" opens each as it was, "&Non" deletes them,
    // a box closed without an answer keeps them for the next start.
    void offeredAtStart_data()
    {
        QTest::addColumn<int>("answer");
        QTest::newRow("&Oui") << int(Messages::Yes);
        QTest::newRow("&Non") << int(Messages::No);
        QTest::newRow("closed") << int(Messages::Cancel);
    }
    void offeredAtStart()
    {
        QFETCH(int, answer);
        const QString file = m_tmp->filePath(u"auto.vtr"_s);
        VehicleRecord onDisk = VehicleRecord::create(QDate(2026, 1, 1));
        onDisk.edit[1] = u"Renault"_s;
        const vtrfile::SaveResult saved = vtrfile::save(onDisk, file);
        QVERIFY(saved.ok);
        VehicleRecord edited = onDisk;
        edited.edit[1] = u"Renault Clio"_s;
        edited.ListView1 = {{u"02/01/2026"_s, u"Plein"_s, u"60.00"_s, u"40.00"_s, u"1000.00"_s}};
        edited.fileName = file;
        VehicleRecord fresh = VehicleRecord::create(QDate(2026, 1, 1));
        fresh.edit[1] = u"Peugeot"_s;
        leaveCopiesOfADeadProgram(m_root, {{edited, {u"auto.vtr"_s, file, {}, saved.identity}},
                                           {fresh, {u"VOITURE2"_s, {}, {}, {}}}});
        if (QTest::currentTestFailed())
            return;

        Messages::setNextAnswer(Messages::Answer(answer));
        m_auto->offerRecovery();
        QCOMPARE(
            Messages::shown(),
            QStringList{
                u"question: Tev Auto s'est arrêté sans enregistrer 2 document(s) :\n    auto.vtr\n    VOITURE2\nLes récupérer ?"_s});
        TMainForm &f = *m_frame;
        if (answer == Messages::No) {
            QCOMPARE(f.documentCount(), 0);
            QCOMPARE(filesUnder(m_root), QStringList());
            return;
        }
        if (answer == Messages::Cancel) {
            QCOMPARE(f.documentCount(), 0);
            QCOMPARE(filesUnder(m_root, u"*.vtr"_s).size(), 2);
            Messages::clearShown();
            m_auto->offerRecovery(); // offered again
            QCOMPARE(Messages::shown().size(), 1);
            return;
        }
        QCOMPARE(f.documentCount(), 2);
        const QList<QMdiSubWindow *> subs = f.mdiArea()->subWindowList(QMdiArea::CreationOrder);
        auto *first = qobject_cast<TMDIChild *>(subs.at(0)->widget());
        auto *second = qobject_cast<TMDIChild *>(subs.at(1)->widget());
        QCOMPARE(first->windowTitle(), u"auto.vtr"_s);
        QCOMPARE(first->fileName(), file);
        QVERIFY(first->isModified());
        QVERIFY(first->record().sameStoredContent(edited));
        QCOMPARE(second->windowTitle(), u"VOITURE2"_s);
        QVERIFY(second->fileName().isEmpty());
        QVERIFY(second->record().sameStoredContent(fresh));
        // Taken over: the dead program's folder is gone, this program holds the copies now.
        QTRY_COMPARE(filesUnder(m_root, u"*.vtr"_s).size(), 2);
        QTRY_COMPARE(filesUnder(m_root, u"lock"_s).size(), 1);

        // "&Enregistrer" goes to the original file, through the check of outside changes.
        Messages::clearShown();
        QVERIFY(first->Sauve(0));
        QCOMPARE(Messages::shown(), QStringList());
        VehicleRecord back = VehicleRecord::create(QDate(2026, 1, 1));
        QVERIFY(vtrfile::load(back, file, vtrfile::nameOnlyPictureHook()).ok);
        QVERIFY(back.sameStoredContent(edited));
        QTRY_COMPARE(filesUnder(m_root, u"*.vtr"_s).size(), 1);
    }

    // A recovered document whose file someone changed after the crash asks before writing.
    void recoveredFileChangedSince()
    {
        const QString file = m_tmp->filePath(u"auto.vtr"_s);
        VehicleRecord onDisk = VehicleRecord::create(QDate(2026, 1, 1));
        const vtrfile::SaveResult saved = vtrfile::save(onDisk, file);
        QVERIFY(saved.ok);
        VehicleRecord edited = onDisk;
        edited.edit[1] = u"Renault"_s;
        edited.fileName = file;
        leaveCopiesOfADeadProgram(m_root, {{edited, {u"auto.vtr"_s, file, {}, saved.identity}}});
        onDisk.edit[1] = u"Dacia"_s;
        QVERIFY(vtrfile::save(onDisk, file).ok);
        Messages::setNextAnswer(Messages::Yes);
        m_auto->offerRecovery();
        QCOMPARE(m_frame->documentCount(), 1);
        Messages::clearShown();
        QVERIFY(!m_frame->activeChild()->Sauve(0)); // "Annuler"
        QCOMPARE(Messages::shown().size(), 1);
        QVERIFY(Messages::shown().constFirst().contains(u"modifié par ailleurs"_s));
    }

    // SIGTERM: what was not copied yet is written at once and kept; the program ends asking
    // nothing.
    void terminateWritesPendingCopies()
    {
        AutoSave::setDelaysForTests(60000, 60000); // no copy would come by itself
        bool ended = false;
        AutoSave::setEndForTests([&ended] { ended = true; });
        m_auto->endOnSignals();
        TMainForm &f = *m_frame;
        f.FileNewItem->trigger();
        setBrand(f.activeChild(), u"Peugeot"_s);
        QTest::qWait(50);
        QCOMPARE(filesUnder(m_root, u"*.vtr"_s), QStringList());
        std::raise(SIGTERM);
        QTRY_VERIFY(ended);
        QCOMPARE(copiedBrand(m_root), u"Peugeot"_s);
        QCOMPARE(Messages::shown(), QStringList());
        m_frame.reset(); // the windows go, their copies stay for the next start
        m_auto.reset();
        AutoSave::setEndForTests({});
        AutoSave::setDelaysForTests(30, 400);
        std::signal(SIGTERM, SIG_DFL);
        std::signal(SIGHUP, SIG_DFL);
        QCOMPARE(copiedBrand(m_root), u"Peugeot"_s);
        QCOMPARE(recovery::Orphans::find(m_root)->copies().size(), 1);
    }

private:
    std::unique_ptr<QTemporaryDir> m_tmp;
    QString m_root;
    std::unique_ptr<TMainForm> m_frame;
    std::unique_ptr<AutoSave> m_auto;
};

QTEST_MAIN(RecoveryTest)
#include "gui_recovery.moc"
