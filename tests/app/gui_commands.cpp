// The frame's commands, their enabling rules, shortcuts and the arrangement of document windows.
#include "app/TMainForm.h"
#include "core/vehicle/vtrfile.h"
#include "guitest.h"
#include "platform/filedialogs.h"
#include "platform/help.h"
#include "platform/messages.h"
#include "ui/document/TMDIChild.h"

#include <QAction>
#include <QDateEdit>
#include <QDialog>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <memory>

using platform::FileDialogs;

namespace {
// Records what the document windows report to the frame.
class ReportingFrame : public TMainForm {
public:
    QList<bool> exportReports;
    void SetExport(bool allowed) override
    {
        exportReports << allowed;
        TMainForm::SetExport(allowed);
    }
};

QString enabledText(bool on)
{
    return on ? QStringLiteral("on") : QStringLiteral("off");
}
// A vehicle file of a new record in `dir`; empty when it could not be written.
QString emptyVehicleIn(const QTemporaryDir &dir)
{
    const QString path = dir.filePath(QStringLiteral("clio.vtr"));
    return vtrfile::save(VehicleRecord::create(QDate(2026, 1, 1)), path).ok ? path : QString();
}

} // namespace

class CommandsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        guitest::useSeams();
        platform::Help::setTestMode(true);
    }
    void init()
    {
        FileDialogs::setTestMode(true);
        platform::Messages::setTestMode(true);
        m_frame = std::make_unique<ReportingFrame>();
        m_frame->show();
        QVERIFY(QTest::qWaitForWindowActive(m_frame.get()));
    }
    void cleanup() { m_frame.reset(); }

    // The enabling table: each row builds a state, then checks every document command.
    void enablingRules_data()
    {
        QTest::addColumn<int>("documents");
        QTest::addColumn<int>("report"); // -1 none, else the page report (delete and export) last sent
        QTest::addColumn<bool>("evaluateAfterReport");
        QTest::addColumn<bool>("fileCommands"); // close, save, cut/copy/paste, window, results
        QTest::addColumn<bool>("remove");
        QTest::addColumn<bool>("exportCmd");
        QTest::newRow("no document") << 0 << -1 << true << false << false << false;
        QTest::newRow("new document") << 1 << -1 << true << true << false << true;
        QTest::newRow("ledger page") << 1 << 1 << false << true << true << true;
        QTest::newRow("other page") << 1 << 0 << false << true << false << false;
        QTest::newRow("ledger page, then evaluation") << 1 << 1 << true << true << true << true;
        QTest::newRow("other page, then evaluation") << 1 << 0 << true << true << false << true;
        QTest::newRow("two documents, ledger page") << 2 << 1 << true << true << true << true;
    }
    void enablingRules()
    {
        QFETCH(int, documents);
        QFETCH(int, report);
        QFETCH(bool, evaluateAfterReport);
        QFETCH(bool, fileCommands);
        QFETCH(bool, remove);
        QFETCH(bool, exportCmd);
        TMainForm &f = *m_frame;
        for (int i = 0; i < documents; ++i)
            f.FileNewItem->trigger();
        if (report >= 0) {
            f.SetSup(report == 1);
            f.SetExport(report == 1);
        }
        if (evaluateAfterReport)
            f.UpdateMenuItems();

        for (QAction *a : {f.FileCloseItem, f.FileSaveItem, f.FileSaveAsItem, f.CutItem, f.CopyItem,
                           f.PasteItem, f.WindowCascadeItem, f.WindowTileItem, f.WindowArrangeItem,
                           f.WindowMinimizeItem, f.Statistiques1, f.Graphique1})
            QVERIFY2(a->isEnabled() == fileCommands,
                     qPrintable(a->objectName() + QLatin1Char(' ') + enabledText(a->isEnabled())));
        for (QToolButton *b : {f.SaveBtn, f.CutBtn, f.CopyBtn, f.PasteBtn, f.SpeedButton3, f.SpeedButton4})
            QVERIFY2(b->isEnabled() == fileCommands, qPrintable(b->objectName()));
        QCOMPARE(f.Supprimercriture1->isEnabled(), remove);
        QCOMPARE(f.SpeedButton2->isEnabled(), remove);
        QCOMPARE(f.Exporter1->isEnabled(), exportCmd);
        for (QAction *a :
             {f.FileNewItem, f.FileOpenItem, f.FileExitItem, f.Calendrier1, f.Calculatrice1, f.Horloge1,
              f.EuroConversion1, f.Sommaire1, f.Rechercher1, f.Utiliserlaide1, f.HelpAboutItem})
            QVERIFY2(a->isEnabled(), qPrintable(a->objectName()));
        QVERIFY(f.SpeedButton1->isEnabled() && f.OpenBtn->isEnabled());
    }

    void deleteFlagIsOneForTheApplication()
    {
        TMainForm &f = *m_frame;
        f.FileNewItem->trigger();
        f.FileNewItem->trigger();
        const QList<QMdiSubWindow *> subs = f.mdiArea()->subWindowList(QMdiArea::CreationOrder);
        f.mdiArea()->setActiveSubWindow(subs[0]);
        f.SetSup(true); // A shows "Carburant"
        QVERIFY(f.Supprimercriture1->isEnabled());
        f.mdiArea()->setActiveSubWindow(subs[1]); // activating B sends no report
        QCOMPARE(f.activeChild(), qobject_cast<TMDIChild *>(subs[1]->widget()));
        QVERIFY(f.Supprimercriture1->isEnabled());
        QVERIFY(f.SpeedButton2->isEnabled());
        f.SetSup(false); // until B reports a page of its own
        QVERIFY(!f.Supprimercriture1->isEnabled());
        // Reporting a page enables delete whatever the document count.
        f.mdiArea()->closeAllSubWindows();
        QTRY_COMPARE(f.documentCount(), 0);
        f.SetSup(true);
        QVERIFY(f.SpeedButton2->isEnabled());
        f.UpdateMenuItems();
        QVERIFY(!f.SpeedButton2->isEnabled());
    }

    void newClearsTheDeleteFlag()
    {
        TMainForm &f = *m_frame;
        f.FileNewItem->trigger();
        f.SetSup(true);
        f.FileNewItem->trigger();
        QVERIFY(!f.deleteAllowed());
        f.UpdateMenuItems();
        QVERIFY(!f.Supprimercriture1->isEnabled());
        QVERIFY(f.Exporter1->isEnabled()); // right after New, whatever page it shows
    }

    void newCaptionsCountTheOpenWindows()
    {
        TMainForm &f = *m_frame;
        auto captions = [&] {
            QStringList out;
            for (QMdiSubWindow *s : f.mdiArea()->subWindowList(QMdiArea::CreationOrder))
                out << s->widget()->windowTitle();
            return out;
        };
        f.FileNewItem->trigger();
        f.SpeedButton1->click();
        QCOMPARE(captions(), (QStringList{QStringLiteral("VOITURE1"), QStringLiteral("VOITURE2")}));
        f.mdiArea()->setActiveSubWindow(f.mdiArea()->subWindowList(QMdiArea::CreationOrder).first());
        f.FileCloseItem->trigger();
        QTRY_COMPARE(f.documentCount(), 1);
        f.FileNewItem->trigger();
        QCOMPARE(captions(), (QStringList{QStringLiteral("VOITURE2"), QStringLiteral("VOITURE2")}));
        f.FileNewItem->trigger();
        QCOMPARE(captions().last(), QStringLiteral("VOITURE3"));
    }

    void closingTheLastDocumentDisablesItsCommands()
    {
        TMainForm &f = *m_frame;
        f.FileNewItem->trigger();
        QVERIFY(f.FileSaveItem->isEnabled());
        f.FileCloseItem->trigger();
        QTRY_COMPARE(f.documentCount(), 0);
        QTRY_VERIFY(!f.FileSaveItem->isEnabled());
        QVERIFY(!f.Exporter1->isEnabled());
        f.FileCloseItemClick(); // no active window: nothing happens
    }

    void openCreatesAWindowCaptionedWithThePath()
    {
        QTemporaryDir dir;
        const QString path = emptyVehicleIn(dir);
        QVERIFY(!path.isEmpty());
        ReportingFrame &f = *m_frame;
        FileDialogs::setNextFileName(QString()); // cancelled
        f.FileOpenItem->trigger();
        QCOMPARE(f.documentCount(), 0);
        FileDialogs::setNextFileName(path);
        f.OpenBtn->click();
        QCOMPARE(FileDialogs::asked(),
                 QStringList(
                     2, QStringLiteral("open: Fichiers voiture (*.vtr)|*.vtr|Tous les fichiers (*.*)|*;*")));
        QCOMPARE(f.documentCount(), 1);
        QCOMPARE(f.activeChild()->windowTitle(), path);
        // The same file again gives a second, independent window.
        FileDialogs::setNextFileName(path);
        f.FileOpenItem->trigger();
        QCOMPARE(f.documentCount(), 2);
        QVERIFY(f.mdiArea()->subWindowList()[0]->widget() != f.mdiArea()->subWindowList()[1]->widget());
        if (f.exportReports.isEmpty())
            QSKIP("this document window does not report on load");
        QVERIFY(!f.Exporter1->isEnabled()); // until a ledger page or another window is shown
    }

    // Only a change of window re-evaluates: moving between the fields of one document keeps
    // what the load left, the next document window brings export back.
    void exportStaysOffAfterOpenUntilTheWindowChanges()
    {
        QTemporaryDir dir;
        const QString path = emptyVehicleIn(dir);
        QVERIFY(!path.isEmpty());
        ReportingFrame &f = *m_frame;
        FileDialogs::setNextFileName(path);
        f.FileOpenItem->trigger();
        QTest::qWait(50);
        QVERIFY(!f.Exporter1->isEnabled());
        auto *edit1 = f.activeChild()->findChild<QWidget *>(QStringLiteral("Edit1"));
        auto *edit2 = f.activeChild()->findChild<QWidget *>(QStringLiteral("Edit2"));
        QVERIFY(edit1 && edit2);
        edit1->setFocus();
        edit2->setFocus();
        QCOMPARE(QApplication::focusWidget(), edit2);
        QVERIFY(!f.Exporter1->isEnabled());
        f.MainMenu1->setActiveAction(f.File1->menuAction());
        QVERIFY(QTest::qWaitForWindowExposed(f.File1));
        QTest::qWait(20);
        f.File1->hide();
        QTest::qWait(20);
        f.MainMenu1->setFocus(Qt::MenuBarFocusReason);
        edit2->setFocus();
        QVERIFY(!f.Exporter1->isEnabled()); // opening a menu is no change of window
        f.FileNewItem->trigger();
        QVERIFY(f.Exporter1->isEnabled());
    }

    // A window manager gives the frame its activation back some time after the open dialog has
    // closed, when the load has already run; a date picker's calendar is a popup. Neither is a
    // change of window. A modal dialog opening and closing is.
    void exportAfterOpenSurvivesLateActivationAndPopups()
    {
        QTemporaryDir dir;
        const QString path = emptyVehicleIn(dir);
        QVERIFY(!path.isEmpty());
        ReportingFrame &f = *m_frame;
        FileDialogs::setNextFileName(path);
        f.FileOpenItem->trigger();
        QVERIFY(!f.Exporter1->isEnabled());

        QApplication::setActiveWindow(nullptr);
        QApplication::setActiveWindow(&f);
        QTRY_VERIFY(f.isActiveWindow());
        QVERIFY(!f.Exporter1->isEnabled());

        auto *picker = f.activeChild()->findChild<QDateEdit *>(QStringLiteral("DateTimePicker1"));
        QVERIFY(picker);
        QTest::mouseClick(picker, Qt::LeftButton, {}, QPoint(picker->width() - 6, picker->height() / 2));
        QTRY_VERIFY(QApplication::activePopupWidget());
        QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Escape);
        QTRY_VERIFY(!QApplication::activePopupWidget());
        QVERIFY(!f.Exporter1->isEnabled());

        QDialog dialog(&f);
        QTimer::singleShot(0, &dialog, &QDialog::reject);
        dialog.exec();
        QVERIFY(f.Exporter1->isEnabled());
    }

    void exportAsksForATextFile()
    {
        TMainForm &f = *m_frame;
        f.FileNewItem->trigger();
        FileDialogs::setNextFileName(QString());
        f.Exporter1->trigger();
        QCOMPARE(FileDialogs::asked(),
                 QStringList{QStringLiteral("save: Texte + tabulations (*.txt)|*.txt")});
    }

    void shortcuts()
    {
        TMainForm &f = *m_frame;
        QSignalSpy saves(f.FileSaveItem, &QAction::triggered);
        QSignalSpy stats(f.Statistiques1, &QAction::triggered);
        QTest::keyClick(&f, Qt::Key_S, Qt::ControlModifier);
        QTest::keyClick(&f, Qt::Key_F9);
        QCOMPARE(saves.count(), 0);
        QCOMPARE(stats.count(), 0);
        QTest::keyClick(&f, Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(FileDialogs::asked().size(), 1);

        f.FileNewItem->trigger();
        QWidget *inDocument = f.activeChild();
        // F9 shows the statistics window modally: close it as soon as it is up.
        QTimer closer;
        closer.setInterval(20);
        connect(&closer, &QTimer::timeout, &closer, [] {
            if (QWidget *modal = QApplication::activeModalWidget())
                modal->close();
        });
        closer.start();
        QTest::keyClick(inDocument, Qt::Key_S, Qt::ControlModifier);
        QTest::keyClick(inDocument, Qt::Key_F9);
        QApplication::setActiveWindow(&f); // back from the statistics window
        QTest::keyClick(inDocument, Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(saves.count(), 1);
        QCOMPARE(stats.count(), 1);
        QCOMPARE(FileDialogs::asked().size(), 2);
        QVERIFY(f.CutItem->shortcut().isEmpty());
        QCOMPARE(f.CopyItem->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_C));
        QCOMPARE(f.PasteItem->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_V));
    }

    void tileStacksTheWindowsOverTheWholeArea()
    {
        TMainForm &f = *m_frame;
        for (int n : {2, 3}) {
            f.mdiArea()->closeAllSubWindows();
            QTRY_COMPARE(f.documentCount(), 0);
            for (int i = 0; i < n; ++i)
                f.FileNewItem->trigger();
            f.WindowTileItem->trigger();
            const QRect area = f.mdiArea()->viewport()->rect();
            const QList<QMdiSubWindow *> subs = f.mdiArea()->subWindowList(QMdiArea::CreationOrder);
            int top = area.top();
            for (QMdiSubWindow *s : subs) {
                QCOMPARE(s->geometry().left(), area.left());
                QCOMPARE(s->geometry().width(), area.width());
                QCOMPARE(s->geometry().top(), top); // each right below the previous one
                top = s->geometry().bottom() + 1;
            }
            QCOMPARE(top, area.bottom() + 1);
        }
    }

    void cascadeOffsetsEachWindowFromThePrevious()
    {
        TMainForm &f = *m_frame;
        for (int i = 0; i < 3; ++i)
            f.FileNewItem->trigger();
        const QList<QMdiSubWindow *> subs = f.mdiArea()->subWindowList(QMdiArea::CreationOrder);
        subs[0]->showMaximized();
        f.WindowCascadeItem->trigger();
        const QRect area = f.mdiArea()->viewport()->rect();
        QVERIFY(!subs[0]->isMaximized());
        QCOMPARE(subs[0]->pos(), area.topLeft());
        for (int i = 1; i < subs.size(); ++i) {
            QVERIFY(subs[i]->x() > subs[i - 1]->x());
            QVERIFY(subs[i]->y() > subs[i - 1]->y());
            QVERIFY(area.contains(subs[i]->geometry()));
        }
        QCOMPARE(f.mdiArea()->currentSubWindow(), subs.last());
    }

    void minimiseAllThenArrangeIcons()
    {
        TMainForm &f = *m_frame;
        for (int i = 0; i < 3; ++i)
            f.FileNewItem->trigger();
        f.WindowMinimizeItem->trigger();
        const QList<QMdiSubWindow *> subs = f.mdiArea()->subWindowList(QMdiArea::CreationOrder);
        for (QMdiSubWindow *s : subs)
            QVERIFY(s->isMinimized());
        subs[1]->move(100, 10);
        f.WindowArrangeItem->trigger();
        const int bottom = f.mdiArea()->viewport()->rect().bottom();
        int x = 0;
        for (QMdiSubWindow *s : subs) {
            QCOMPARE(s->geometry().bottom(), bottom);
            QCOMPARE(s->x(), x);
            x += s->width();
        }
        f.WindowCascadeItem->trigger(); // with every window minimised: nothing to break
    }

    void windowMenuListsAndActivatesDocuments()
    {
        TMainForm &f = *m_frame;
        f.FileNewItem->trigger();
        f.FileNewItem->trigger();
        emit f.Window1->aboutToShow();
        auto *first = f.Window1->findChild<QAction *>(QStringLiteral("WindowListItem1"));
        auto *second = f.Window1->findChild<QAction *>(QStringLiteral("WindowListItem2"));
        QVERIFY(first && second);
        QCOMPARE(first->text(), QStringLiteral("&1 VOITURE1"));
        QVERIFY(second->isChecked());
        first->trigger();
        QCOMPARE(f.activeChild()->windowTitle(), QStringLiteral("VOITURE1"));
        emit f.Window1->aboutToShow(); // rebuilt, not appended
        QCOMPARE(f.Window1->actions().size(), 4 + 1 + 2);
    }

private:
    std::unique_ptr<ReportingFrame> m_frame;
};

QTEST_MAIN(CommandsTest)
#include "gui_commands.moc"
