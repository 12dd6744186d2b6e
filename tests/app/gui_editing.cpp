// The frame's side of editing without fear: "&Annuler" and "&Rétablir" in "&Edition", windows
// that show unsaved work and tell two views of one file apart, questions asked in front.
#include "app/TMainForm.h"
#include "core/vehicle/vtrfile.h"
#include "guitest.h"
#include "platform/filedialogs.h"
#include "platform/help.h"
#include "platform/messages.h"
#include "ui/document/TMDIChild.h"

#include <QAction>
#include <QFile>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;
using platform::FileDialogs;
using platform::Messages;

namespace {
QString vehicleWithFuel(const QTemporaryDir &dir)
{
    VehicleRecord r = VehicleRecord::create(QDate(2026, 1, 1));
    r.ListView1 = {{u"01/01/2026"_s, u"Plein"_s, u"200.00"_s, u"40.00"_s, u"10000.00"_s},
                   {u"15/01/2026"_s, u"Plein"_s, u"150.00"_s, u"30.00"_s, u"10500.00"_s}};
    const QString path = dir.filePath(u"clio.vtr"_s);
    return vtrfile::save(r, path).ok ? path : QString();
}

void change(TMDIChild *doc, const QString &text)
{
    auto *marque = doc->findChild<QLineEdit *>(u"Edit1"_s);
    marque->setText(text);
    doc->commitFieldStep();
}
} // namespace

class EditingTest : public QObject {
    Q_OBJECT
    std::unique_ptr<TMainForm> m_frame;
    QTemporaryDir m_dir;

private slots:
    void initTestCase()
    {
        guitest::useSeams();
        platform::Help::setTestMode(true);
    }
    void init()
    {
        guitest::useSeams();
        Messages::clearShown();
        m_frame = std::make_unique<TMainForm>();
        m_frame->show();
        QVERIFY(QTest::qWaitForWindowActive(m_frame.get()));
    }
    void cleanup() { m_frame.reset(); }

    // The two entries head "&Edition", follow the active document's stack and name its step.
    void undoItemsFollowTheActiveDocument()
    {
        TMainForm &f = *m_frame;
        const QList<QAction *> items = f.Edit1->actions();
        QCOMPARE(items.value(0), f.UndoItem);
        QCOMPARE(items.value(1), f.RedoItem);
        QVERIFY(items.value(2)->isSeparator());
        QCOMPARE(items.value(3), f.CutItem);
        QCOMPARE(f.UndoItem->shortcut(), QKeySequence(u"Ctrl+Z"_s));
        QCOMPARE(f.RedoItem->shortcuts(),
                 (QList<QKeySequence>{QKeySequence(u"Ctrl+Y"_s), QKeySequence(u"Ctrl+Shift+Z"_s)}));
        QVERIFY(!f.UndoItem->statusTip().isEmpty() && !f.RedoItem->statusTip().isEmpty());
        QVERIFY(!f.UndoItem->isEnabled());
        QVERIFY(!f.RedoItem->isEnabled());

        const QString path = vehicleWithFuel(m_dir);
        QVERIFY(!path.isEmpty());
        f.openDocument(path);
        TMDIChild *doc = f.activeChild();
        QVERIFY(!f.UndoItem->isEnabled());
        doc->showPage(TMDIChild::Carburant);
        doc->findChild<QTableView *>(u"ListView1"_s)->selectRow(0);
        f.Supprimercriture1->trigger();
        QCOMPARE(doc->record().ListView1.size(), std::size_t(1));
        QVERIFY(f.UndoItem->isEnabled());
        QCOMPARE(f.UndoItem->text(), u"&Annuler la suppression de l'écriture"_s);
        f.UndoItem->trigger();
        QCOMPARE(doc->record().ListView1.size(), std::size_t(2));
        QVERIFY(!doc->isModified());
        QVERIFY(!f.UndoItem->isEnabled());
        QCOMPARE(f.UndoItem->text(), u"&Annuler"_s);
        QCOMPARE(f.RedoItem->text(), u"&Rétablir la suppression de l'écriture"_s);

        // Another document has its own steps; coming back brings the first one's back.
        f.FileNewItem->trigger();
        QVERIFY(!f.RedoItem->isEnabled());
        QCOMPARE(f.RedoItem->text(), u"&Rétablir"_s);
        f.mdiArea()->setActiveSubWindow(f.mdiArea()->subWindowList(QMdiArea::CreationOrder).first());
        QVERIFY(f.RedoItem->isEnabled());
        f.RedoItem->trigger();
        QCOMPARE(doc->record().ListView1.size(), std::size_t(1));
        QVERIFY(doc->isModified());

        // What is being typed becomes a step when the menu opens.
        auto *marque = doc->findChild<QLineEdit *>(u"Edit1"_s);
        doc->showPage(TMDIChild::Description);
        marque->setText(u"Fiat"_s);
        emit f.Edit1->aboutToShow();
        QCOMPARE(f.UndoItem->text(), QString::fromUtf16(u"&Annuler la modification de «\u00a0Marque\u00a0»"));
    }

    // `*` on a window with unsaved changes, in its title and in "Fe&nêtre"; ":2" for a second
    // window on the same file.
    void windowsTellThemselvesApart()
    {
        TMainForm &f = *m_frame;
        const QString path = vehicleWithFuel(m_dir);
        f.openDocument(path);
        f.openDocument(path);
        const QList<QMdiSubWindow *> subs = f.mdiArea()->subWindowList(QMdiArea::CreationOrder);
        QCOMPARE(subs.size(), 2);
        QCOMPARE(subs[0]->widget()->windowTitle(), path);
        QCOMPARE(subs[1]->widget()->windowTitle(), path + u":2"_s);
        QCOMPARE(subs[0]->windowTitle(), path + u"[*]"_s);
        QVERIFY(!subs[0]->isWindowModified());

        auto *second = qobject_cast<TMDIChild *>(subs[1]->widget());
        change(second, u"Clio"_s);
        QVERIFY(subs[1]->isWindowModified());
        QVERIFY(!subs[0]->isWindowModified());
        emit f.Window1->aboutToShow();
        QStringList listed;
        for (QAction *a : f.Window1->actions())
            if (a->objectName().startsWith(u"WindowListItem"_s))
                listed << a->text();
        QCOMPARE(listed, (QStringList{u"&1 "_s + path, u"&2 "_s + path + u":2*"_s}));
        // Undone back to the file as read: no mark.
        second->Annule();
        QVERIFY(!subs[1]->isWindowModified());
        // A third window takes the first number free.
        f.openDocument(path);
        QCOMPARE(f.activeChild()->windowTitle(), path + u":3"_s);
    }

    // On "&Quitter", each question comes with its document in front.
    void quitAsksEachDocumentInFront()
    {
        TMainForm &f = *m_frame;
        f.FileNewItem->trigger();
        f.FileNewItem->trigger();
        const QList<QMdiSubWindow *> subs = f.mdiArea()->subWindowList(QMdiArea::CreationOrder);
        for (QMdiSubWindow *sub : subs)
            change(qobject_cast<TMDIChild *>(sub->widget()), u"Renault"_s);
        subs[0]->showMinimized();
        f.mdiArea()->setActiveSubWindow(subs[1]);
        QCOMPARE(f.mdiArea()->currentSubWindow(), subs[1]);
        // "Annuler" at the first question: it was asked with the first document in front.
        Messages::clearShown();
        Messages::setNextAnswer(Messages::Cancel);
        f.FileExitItem->trigger();
        QCOMPARE(Messages::shown().size(), 1);
        QCOMPARE(f.mdiArea()->currentSubWindow(), subs[0]);
        QVERIFY(!subs[0]->isMinimized());
        // "&Non", then "Annuler": the second question came with the second document in front.
        Messages::setNextAnswer(Messages::No);
        Messages::setNextAnswer(Messages::Cancel);
        f.FileExitItem->trigger();
        QCOMPARE(Messages::shown().size(), 3);
        QCOMPARE(f.mdiArea()->currentSubWindow(), subs[1]);
        QCOMPARE(f.documentCount(), 2); // "Annuler" keeps everything open
    }

    // Saving over a file changed elsewhere asks with "Annuler" as the default answer.
    void outsideChangeQuestionDefaultsToCancel()
    {
        TMainForm &f = *m_frame;
        const QString path = vehicleWithFuel(m_dir);
        f.openDocument(path);
        TMDIChild *doc = f.activeChild();
        QFile other(path);
        QVERIFY(other.open(QIODevice::Append));
        other.write("\r\n");
        other.close();
        change(doc, u"Peugeot"_s);
        Messages::clearShown();
        QVERIFY(!doc->Sauve(0));
        QCOMPARE(Messages::shown().size(), 1);
        QVERIFY(Messages::shown()[0].contains(u"modifié par ailleurs"_s));
        QCOMPARE(Messages::lastDefault(), Messages::Cancel);
    }
};

QTEST_MAIN(EditingTest)
#include "gui_editing.moc"
