// Saving never drops another's work unasked: a file changed since the window read it, a file
// that is no vehicle file; and the program never waits on a file that does not answer (a FIFO,
// a device, a folder) wherever a file is chosen.
#include "app/TMainForm.h"
#include "core/vehicle/vtrfile.h"
#include "guitest.h"
#include "platform/filedialogs.h"
#include "platform/messages.h"
#include "ui/document/TMDIChild.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

#include <sys/stat.h>

using platform::FileDialogs;
using platform::Messages;
using namespace Qt::StringLiterals;

namespace {

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString brandIn(const QString &path)
{
    VehicleRecord r = VehicleRecord::create(QDate(2026, 1, 1));
    vtrfile::load(r, path, vtrfile::nameOnlyPictureHook());
    return r.edit[1];
}

void setBrand(TMDIChild *doc, const QString &brand)
{
    doc->findChild<QLineEdit *>(u"Edit1"_s)->setText(brand);
}

QString changedQuestion(const QString &path)
{
    return u"question: Le fichier "_s + path
           + u" a été modifié par ailleurs depuis son ouverture.\nLe remplacer quand même ?"_s;
}

} // namespace

class SafetyTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { guitest::useSeams(); }
    void init()
    {
        guitest::useSeams();
        m_tmp = std::make_unique<QTemporaryDir>(); // a fresh folder for each test and row
        QVERIFY(m_tmp->isValid());
        m_file = m_dir().filePath(u"auto.vtr"_s);
        VehicleRecord r = VehicleRecord::create(QDate(2026, 1, 1));
        r.edit[1] = u"Renault"_s;
        QVERIFY(vtrfile::save(r, m_file).ok);
        m_frame = std::make_unique<TMainForm>();
        m_frame->show();
        QVERIFY(QTest::qWaitForWindowActive(m_frame.get()));
    }
    void cleanup() { m_frame.reset(); }

    // Two windows on one file: the second save asks, and each answer does what it says.
    void twoWindowsOnOneFile_data()
    {
        QTest::addColumn<int>("answer");
        QTest::newRow("&Oui writes over") << int(Messages::Yes);
        QTest::newRow("&Non asks a name") << int(Messages::No);
        QTest::newRow("Annuler writes nothing") << int(Messages::Cancel);
    }
    void twoWindowsOnOneFile()
    {
        QFETCH(int, answer);
        TMainForm &f = *m_frame;
        f.openDocument(m_file);
        TMDIChild *a = f.activeChild();
        f.openDocument(m_file);
        TMDIChild *b = f.activeChild();
        QVERIFY(a != b);
        setBrand(a, u"Peugeot"_s);
        setBrand(b, u"Citroën"_s);
        QVERIFY(a->Sauve(0));
        QCOMPARE(Messages::shown(), QStringList()); // nothing changed outside for the first
        QCOMPARE(brandIn(m_file), u"Peugeot"_s);

        const QString other = m_dir().filePath(u"autre.vtr"_s);
        Messages::setNextAnswer(Messages::Answer(answer));
        FileDialogs::setNextFileName(other);
        const bool saved = b->Sauve(0);
        QCOMPARE(Messages::shown(), QStringList{changedQuestion(m_file)});
        switch (answer) {
        case Messages::Yes:
            QVERIFY(saved);
            QCOMPARE(brandIn(m_file), u"Citroën"_s);
            QVERIFY(FileDialogs::asked().isEmpty());
            break;
        case Messages::No:
            QVERIFY(saved);
            QCOMPARE(FileDialogs::asked().size(), 1);
            QVERIFY(FileDialogs::asked().constFirst().startsWith(u"save: "_s));
            QCOMPARE(brandIn(m_file), u"Peugeot"_s);
            QCOMPARE(brandIn(other), u"Citroën"_s);
            QCOMPARE(b->fileName(), other);
            break;
        default:
            QVERIFY(!saved);
            QVERIFY(b->isModified());
            QCOMPARE(brandIn(m_file), u"Peugeot"_s);
            QVERIFY(!QFileInfo::exists(other));
            break;
        }
        if (answer == Messages::Cancel)
            return;
        // Once written, the window knows the file again: its next save asks nothing.
        Messages::clearShown();
        setBrand(b, u"Fiat"_s);
        QVERIFY(b->Sauve(0));
        QCOMPARE(Messages::shown(), QStringList());
    }

    // The close question's "&Oui" goes through the same check; "Annuler" there keeps the window.
    void closeQueryChecksToo()
    {
        TMainForm &f = *m_frame;
        f.openDocument(m_file);
        TMDIChild *doc = f.activeChild();
        setBrand(doc, u"Peugeot"_s);
        VehicleRecord outside = VehicleRecord::create(QDate(2026, 1, 1));
        outside.edit[1] = u"Dacia"_s;
        QVERIFY(vtrfile::save(outside, m_file).ok);
        Messages::setNextAnswer(Messages::Yes);    // save the changes
        Messages::setNextAnswer(Messages::Cancel); // but not over the other's
        f.FileCloseItem->trigger();
        QCOMPARE(Messages::shown(),
                 (QStringList{u"question: Enregistrer changements dans auto.vtr ?"_s, changedQuestion(m_file)}));
        QCOMPARE(f.documentCount(), 1);
        QCOMPARE(brandIn(m_file), u"Dacia"_s);
    }

    // Saved again and again, touched, rewritten with the same bytes, deleted: nothing was lost
    // there, so nothing is asked.
    void noQuestionWithoutAChange()
    {
        TMainForm &f = *m_frame;
        f.openDocument(m_file);
        TMDIChild *doc = f.activeChild();
        for (const QString &brand : {u"A"_s, u"B"_s}) { // at once: within the time stamp's resolution
            setBrand(doc, brand);
            QVERIFY(doc->Sauve(0));
        }
        const QByteArray same = readAll(m_file);
        QProcess touch;
        touch.start(u"touch"_s, {u"-d"_s, u"2001-01-01"_s, m_file});
        QVERIFY(touch.waitForFinished() && touch.exitCode() == 0);
        setBrand(doc, u"C"_s);
        QVERIFY(doc->Sauve(0));
        QVERIFY(vtrfile::writeAtomically(m_file, readAll(m_file)).ok); // another inode, same bytes
        setBrand(doc, u"D"_s);
        QVERIFY(doc->Sauve(0));
        QVERIFY(QFile::remove(m_file));
        setBrand(doc, u"E"_s);
        QVERIFY(doc->Sauve(0));
        QCOMPARE(Messages::shown(), QStringList());
        QCOMPARE(brandIn(m_file), u"E"_s);
        QVERIFY(same != readAll(m_file));
    }

    // Another program appends to the file in place, right after the window read it.
    void changedByAnotherProcess()
    {
        TMainForm &f = *m_frame;
        f.openDocument(m_file);
        TMDIChild *doc = f.activeChild();
        QProcess sh;
        sh.start(u"sh"_s, {u"-c"_s, u"printf 'x\\r\\n' >> \"$0\""_s, m_file});
        QVERIFY(sh.waitForFinished() && sh.exitCode() == 0);
        const QByteArray theirs = readAll(m_file);
        setBrand(doc, u"Peugeot"_s);
        QVERIFY(!doc->Sauve(0)); // no answer queued: "Annuler"
        QCOMPARE(Messages::shown(), QStringList{changedQuestion(m_file)});
        QCOMPARE(readAll(m_file), theirs);
    }

    // A file named for a document that did not exist yet, created meanwhile by someone else.
    void createdMeanwhile()
    {
        TMainForm &f = *m_frame;
        const QString fresh = m_dir().filePath(u"neuve.vtr"_s);
        f.openDocument(fresh);
        TMDIChild *doc = f.activeChild();
        Messages::clearShown();
        QVERIFY(vtrfile::save(VehicleRecord::create(QDate(2026, 1, 1)), fresh).ok);
        setBrand(doc, u"Peugeot"_s);
        QVERIFY(!doc->Sauve(0));
        QCOMPARE(Messages::shown(), QStringList{changedQuestion(fresh)});
    }

    // A file that is no vehicle file opens empty under a bar that says so; its first save asks
    // a name, so the file itself is never replaced by an empty record.
    void notAVehicleFile()
    {
        TMainForm &f = *m_frame;
        const QString passwd = m_dir().filePath(u"x.vtr"_s);
        const QByteArray bytes("root:x:0:0:root:/root:/bin/bash\n");
        QVERIFY(vtrfile::writeAtomically(passwd, bytes).ok);
        f.openDocument(passwd);
        TMDIChild *doc = f.activeChild();
        QCOMPARE(Messages::shown(), QStringList());
        auto *bar = doc->findChild<QLabel *>(u"LabelIncomplet"_s);
        QVERIFY(bar->isVisible());
        QCOMPARE(bar->text(), u"Ce fichier n'est pas un fichier voiture : enregistrez sous un autre nom."_s);
        QVERIFY(!doc->isModified());
        setBrand(doc, u"Peugeot"_s);
        QVERIFY(!doc->Sauve(0)); // the save dialog, cancelled
        QCOMPARE(FileDialogs::asked().size(), 1);
        QCOMPARE(readAll(passwd), bytes);
        const QString named = m_dir().filePath(u"peugeot.vtr"_s);
        FileDialogs::setNextFileName(named);
        QVERIFY(doc->Sauve(0));
        QVERIFY(!bar->isVisible());
        QCOMPARE(readAll(passwd), bytes);
        QCOMPARE(brandIn(named), u"Peugeot"_s);

        // An empty file is an empty vehicle file, as ever.
        const QString empty = m_dir().filePath(u"vide.vtr"_s);
        QVERIFY(vtrfile::writeAtomically(empty, QByteArray()).ok);
        f.openDocument(empty);
        QVERIFY(!f.activeChild()->findChild<QLabel *>(u"LabelIncomplet"_s)->isVisible());
    }

    // A FIFO nobody writes to, a device, a folder: opened, imported or chosen as a picture, each
    // gives the error box at once (a wait would never end and hang this test).
    void filesThatNeverAnswer()
    {
        TMainForm &f = *m_frame;
        const QString fifo = m_dir().filePath(u"tube.vtr"_s);
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        const QString error = u"error: Ne peut ouvrir le fichier "_s;
        for (const QString &path : {fifo, u"/dev/zero"_s, m_dir().path()}) {
            Messages::clearShown();
            FileDialogs::setNextFileName(path);
            f.FileOpenItem->trigger();
            QCOMPARE(Messages::shown(), QStringList{error + path + u'.'});
            QCOMPARE(f.activeChild()->windowTitle(), path);
        }
        for (const QString &path : {fifo, u"/dev/zero"_s}) {
            Messages::clearShown();
            FileDialogs::setNextFileName(path);
            f.Importer1->trigger();
            QCOMPARE(Messages::shown(), QStringList{error + path + u'.'});
        }
        const QString picture = m_dir().filePath(u"photo.jpg"_s);
        QCOMPARE(::mkfifo(QFile::encodeName(picture).constData(), 0600), 0);
        f.FileNewItem->trigger();
        TMDIChild *doc = f.activeChild();
        Messages::clearShown();
        FileDialogs::setNextFileName(picture);
        doc->findChild<QPushButton *>(u"Button1"_s)->click();
        QCOMPARE(Messages::shown(), QStringList{error + picture + u'.'});
        QVERIFY(doc->picture().isNull());
    }

private:
    const QTemporaryDir &m_dir() const { return *m_tmp; }
    std::unique_ptr<QTemporaryDir> m_tmp;
    QString m_file;
    std::unique_ptr<TMainForm> m_frame;
};

QTEST_MAIN(SafetyTest)
#include "gui_safety.moc"
