// What the program remembers in its settings file: the recent files of "&Fichier", the frame's
// place, the size of document windows, the ledger columns.
#include "app/TMainForm.h"
#include "core/vehicle/vtrfile.h"
#include "guitest.h"
#include "platform/filedialogs.h"
#include "platform/messages.h"
#include "platform/settings.h"
#include "ui/document/TMDIChild.h"
#include "ui/widgets/TLedgerView.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QImage>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using platform::FileDialogs;
using platform::Messages;
using platform::Settings;

namespace {
QStringList captions(TMainForm &f)
{
    QStringList out;
    for (QMdiSubWindow *sub : f.mdiArea()->subWindowList(QMdiArea::CreationOrder))
        out << sub->widget()->windowTitle();
    return out;
}

// The entries of "Fichiers récents" as the menu shows them when it opens.
QStringList recentEntries(TMainForm &f)
{
    emit f.RecentMenu->aboutToShow();
    QStringList out;
    for (QAction *a : f.RecentMenu->actions())
        if (!a->isSeparator())
            out << a->text();
    return out;
}

QAction *recentAction(TMainForm &f, const QString &name)
{
    emit f.RecentMenu->aboutToShow();
    return f.RecentMenu->findChild<QAction *>(name);
}
} // namespace

class RememberedTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { guitest::useSeams(); }
    void init()
    {
        FileDialogs::setTestMode(true);
        Messages::setTestMode(true);
        QFile::remove(Settings::fileName());
        QVERIFY(m_dir.isValid());
        for (const char *name : {"a", "b", "c", "d", "e", "f", "g", "h", "i"}) {
            const QString path = m_dir.filePath(QString::fromLatin1(name) + QStringLiteral(".vtr"));
            QVERIFY(vtrfile::save(VehicleRecord::create(QDate(2026, 1, 1)), path).ok);
        }
    }
    void cleanup() { QFile::remove(Settings::fileName()); }

    QString file(const char *name) const
    {
        return m_dir.filePath(QString::fromLatin1(name) + QStringLiteral(".vtr"));
    }

    void recentFilesSitUnderOpen()
    {
        TMainForm f;
        const QList<QAction *> items = f.File1->actions();
        const qsizetype open = items.indexOf(f.FileOpenItem);
        QVERIFY(open >= 0 && open + 1 < items.size());
        QCOMPARE(items[open + 1], f.RecentItem);
        QCOMPARE(f.RecentItem->objectName(), QStringLiteral("RecentItem"));
        QCOMPARE(f.RecentItem->text(), QStringLiteral("Fichiers &récents"));
        // Nothing yet: only the clearing entry, which has nothing to clear.
        QCOMPARE(recentEntries(f), QStringList{QStringLiteral("&Vider la liste")});
        QVERIFY(!recentAction(f, QStringLiteral("RecentClearItem"))->isEnabled());
    }

    // Opened and saved files, newest first, each once, eight at most.
    void listOrderAndLength()
    {
        TMainForm f;
        for (const char *name : {"a", "b", "c", "d", "e", "f", "g", "h", "i"}) {
            FileDialogs::setNextFileName(file(name));
            f.FileOpenItem->trigger();
        }
        QStringList expected;
        int n = 1;
        for (const char *name : {"i", "h", "g", "f", "e", "d", "c", "b"})
            expected << QStringLiteral("&%1 %2").arg(n++).arg(file(name));
        expected << QStringLiteral("&Vider la liste");
        QCOMPARE(recentEntries(f), expected);

        // Opening "c" again takes it to the top, once.
        FileDialogs::setNextFileName(file("c"));
        f.FileOpenItem->trigger();
        QCOMPARE(Settings::recentFiles().mid(0, 3), (QStringList{file("c"), file("i"), file("h")}));
        QCOMPARE(Settings::recentFiles().count(file("c")), 1);

        // A new document saved under a name goes to the top as well.
        f.FileNewItem->trigger();
        TMDIChild *doc = f.activeChild();
        QVERIFY(doc);
        VehicleRecord changed = doc->record();
        changed.modified = true;
        doc->setRecord(changed);
        const QString saved = m_dir.filePath(QStringLiteral("neuve.vtr"));
        FileDialogs::setNextFileName(saved);
        QVERIFY(doc->Sauve(1));
        QCOMPARE(Settings::recentFiles().constFirst(), saved);
        QCOMPARE(Settings::recentFiles().size(), Settings::kRecentCount);
    }

    // A file that could not be read, or that is not a vehicle file, is no recent file.
    void failedLoadsStayOff()
    {
        TMainForm f;
        FileDialogs::setNextFileName(m_dir.filePath(QStringLiteral("absente.vtr")));
        f.FileOpenItem->trigger();
        const QString text = m_dir.filePath(QStringLiteral("notes.vtr"));
        QFile out(text);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write("rien d'une voiture\r\n");
        out.close();
        FileDialogs::setNextFileName(text);
        f.FileOpenItem->trigger();
        QCOMPARE(Settings::recentFiles(), QStringList());
    }

    // An entry opens its file as "&Ouvrir..." does; one already open is brought to the front.
    void entryOpensOrActivates()
    {
        Settings::addRecentFile(file("b"));
        Settings::addRecentFile(file("a"));
        TMainForm f;
        f.show();
        QDir::setCurrent(QDir::rootPath());
        recentAction(f, QStringLiteral("RecentFile2"))->trigger();
        QCOMPARE(captions(f), QStringList{file("b")});
        QCOMPARE(QDir::currentPath(), m_dir.path());
        recentAction(f, QStringLiteral("RecentFile2"))->trigger(); // now "a"
        recentAction(f, QStringLiteral("RecentFile2"))->trigger(); // "b" again
        QCOMPARE(captions(f), (QStringList{file("b"), file("a")}));
        QCOMPARE(f.activeChild()->windowTitle(), file("b"));
        QCOMPARE(Messages::shown(), QStringList());
    }

    // A file gone since: greyed, yet it can be chosen, which says so and takes it off the list;
    // "&Vider la liste" takes the others.
    void missingFile()
    {
        Settings::addRecentFile(file("a"));
        Settings::addRecentFile(file("b"));
        QVERIFY(QFile::remove(file("b")));
        TMainForm f;
        QVERIFY(!recentAction(f, QStringLiteral("RecentFile2"))->property("missing").toBool());
        // Filling the menu again replaces its entries: this one is read last.
        QAction *gone = recentAction(f, QStringLiteral("RecentFile1"));
        QVERIFY(gone->property("missing").toBool());
        QVERIFY(gone->isEnabled());
        // Drawn as a disabled entry is: no dark text.
        QMenu *menu = f.RecentMenu;
        menu->adjustSize();
        const QImage drawn = menu->grab().toImage();
        auto darkPixels = [&](QAction *a) {
            const QRect r = menu->actionGeometry(a);
            int n = 0;
            for (int y = r.top(); y <= r.bottom(); ++y)
                for (int x = r.left(); x <= r.right(); ++x)
                    n += qGray(drawn.pixel(x, y)) < 90;
            return n;
        };
        QCOMPARE(darkPixels(gone), 0);
        QVERIFY(darkPixels(menu->findChild<QAction *>(QStringLiteral("RecentFile2"))) > 20);

        Messages::clearShown();
        gone->trigger();
        QCOMPARE(Messages::shown(),
                 QStringList{QStringLiteral("error: Ne peut ouvrir le fichier %1.").arg(file("b"))});
        QCOMPARE(captions(f), QStringList());
        QCOMPARE(Settings::recentFiles(), QStringList{file("a")});

        recentAction(f, QStringLiteral("RecentClearItem"))->trigger();
        QCOMPARE(Settings::recentFiles(), QStringList());
    }

    // Two programs share the list: each menu reads the file again when it opens.
    void sharedBetweenPrograms()
    {
        TMainForm first;
        TMainForm second;
        FileDialogs::setNextFileName(file("a"));
        first.FileOpenItem->trigger();
        QCOMPARE(recentEntries(second).constFirst(), QStringLiteral("&1 ") + file("a"));
        // Written by another process's settings object, straight into the file.
        {
            QSettings other(Settings::fileName(), QSettings::IniFormat);
            other.setValue(QStringLiteral("Recents/fichiers"), QStringList{file("d"), file("a")});
        }
        QCOMPARE(recentEntries(first).mid(0, 2),
                 (QStringList{QStringLiteral("&1 ") + file("d"), QStringLiteral("&2 ") + file("a")}));
    }

    // Without a settings file the frame opens maximised; then it opens where it was left.
    void frameGeometrySurvivesARestart()
    {
        QRect normal;
        {
            TMainForm f;
            f.show();
            QVERIFY(QTest::qWaitForWindowExposed(&f));
            QVERIFY(f.isMaximized());
            f.showNormal();
            f.setGeometry(40, 50, 700, 500);
            QTRY_COMPARE(f.geometry().size(), QSize(700, 500));
            normal = f.geometry();
            QVERIFY(f.close());
        }
        {
            TMainForm f;
            f.show();
            QVERIFY(QTest::qWaitForWindowExposed(&f));
            QVERIFY(!f.isMaximized());
            QCOMPARE(f.geometry(), normal);
            f.showMaximized();
            QVERIFY(f.close());
        }
        TMainForm f;
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        QVERIFY(f.isMaximized());
        // The size it has when restored is still the one the user gave it.
        f.showNormal();
        QTRY_COMPARE(f.geometry().size(), normal.size());
    }

    // Document windows take the size the last one had; ledger columns the widths they were given.
    void documentSizeAndColumnsSurvive()
    {
        QList<int> widths;
        {
            TMainForm f;
            f.show();
            f.FileNewItem->trigger();
            TMDIChild *doc = f.activeChild();
            QCOMPARE(doc->size(), QSize(666, 409));
            QMdiSubWindow *sub = f.mdiArea()->currentSubWindow();
            sub->resize(sub->size() + QSize(50, 30));
            doc->showPage(TMDIChild::Garage);
            auto *ledger = doc->findChild<TLedgerView *>(QStringLiteral("ListView2"));
            QVERIFY(ledger && ledger->isVisible());
            ledger->horizontalHeader()->resizeSection(1, ledger->columnWidth(1) + 40);
            for (int c = 0; c < ledger->model()->columnCount(); ++c)
                widths << ledger->columnWidth(c);
            QVERIFY(f.close());
        }
        TMainForm f;
        f.show();
        f.FileNewItem->trigger();
        TMDIChild *doc = f.activeChild();
        QCOMPARE(doc->size(), QSize(716, 439));
        doc->showPage(TMDIChild::Garage);
        auto *ledger = doc->findChild<TLedgerView *>(QStringLiteral("ListView2"));
        QList<int> now;
        for (int c = 0; c < ledger->model()->columnCount(); ++c)
            now << ledger->columnWidth(c);
        QCOMPARE(now, widths);
        // The other ledgers keep theirs.
        doc->showPage(TMDIChild::Carburant);
        QCOMPARE(Settings::value(QStringLiteral("Colonnes/ListView1")), QVariant());
    }

private:
    QTemporaryDir m_dir;
};

QTEST_MAIN(RememberedTest)
#include "gui_remembered.moc"
