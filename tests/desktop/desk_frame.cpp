// The main frame on a real desktop: the program as start-up makes it, the real file dialog and
// question box, keystrokes and clicks through the X server, window activation by the window
// manager (which comes late, after the command that closed a dialog has run).
#include "app/TMainForm.h"
#include "app/startup.h"
#include "desktest.h"
#include "ui/document/TMDIChild.h"

#include <QAction>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QToolButton>

#include <memory>

using desktest::kWait;

namespace {
QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The frame is active again and the document has the keyboard: whatever the window manager's
// activation sets off has happened.
bool settledIn(TMDIChild *doc)
{
    return QTest::qWaitFor(
        [doc] {
            QWidget *focus = QApplication::focusWidget();
            return doc->window()->isActiveWindow() && focus && doc->isAncestorOf(focus);
        },
        kWait);
}
} // namespace

class DesktopFrameTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        startup::prepareApplication(*qApp);
        m_home = QDir::currentPath();
        QVERIFY(m_dir.isValid());
        m_sample = m_dir.filePath(QStringLiteral("exemple.vtr"));
        QVERIFY(QFile::copy(QStringLiteral(TEV_SAMPLES "/exemple.vtr"), m_sample));
        QFile::setPermissions(m_sample, QFile::ReadOwner | QFile::WriteOwner);
    }
    void cleanupTestCase() { QDir::setCurrent(m_home); }
    void init()
    {
        QVERIFY(QDir::setCurrent(m_dir.path()));
        m_frame.reset(startup::createWindows());
        m_frame->show();
        QVERIFY(QTest::qWaitForWindowActive(m_frame.get(), kWait));
    }
    void cleanup() { m_frame.reset(); }

    void openLeavesExportOffUntilAnotherWindow();
    void newEnablesExportAndPagesNarrowIt();
    void closingTheLastDocumentDisablesItsCommands();
    void quitAnsweredAnnulerKeepsEverything();

private:
    void openThroughDialog(const QString &path, TMDIChild **doc);
    void chooseInFileMenu(const QString &entryKey);
    void openAndCloseCalendar(TMDIChild *doc);

    QString m_home;
    QTemporaryDir m_dir;
    QString m_sample;
    std::unique_ptr<TMainForm> m_frame;
};

void DesktopFrameTest::openThroughDialog(const QString &path, TMDIChild **doc)
{
    TMainForm &f = *m_frame;
    const int before = f.documentCount();
    QString dialogClass;
    desktest::onNextModal([&dialogClass, path](QWidget *dialog) {
        dialogClass = QString::fromLatin1(dialog->metaObject()->className());
        auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        if (!name || !QTest::qWaitFor([name] { return name->hasFocus(); }, kWait) || !desktest::type(path))
            return;
        // Return only once the whole name is in: the field's completer follows the typing.
        if (QTest::qWaitFor([name, path] { return name->text() == path; }, kWait))
            desktest::key(QStringLiteral("Return"));
    });
    QVERIFY(desktest::key(QStringLiteral("ctrl+o")));
    QTRY_COMPARE_WITH_TIMEOUT(f.documentCount(), before + 1, kWait);
    QCOMPARE(dialogClass, QStringLiteral("QFileDialog"));
    *doc = f.activeChild();
    QVERIFY(*doc);
    QCOMPARE((*doc)->windowTitle(), path);
    QVERIFY(settledIn(*doc));
}

// "&Fichier" by its accelerator, then an entry by its own.
void DesktopFrameTest::chooseInFileMenu(const QString &entryKey)
{
    QVERIFY(desktest::key(QStringLiteral("alt+f")));
    QVERIFY(QTest::qWaitFor([this] { return m_frame->File1->isVisible(); }, kWait));
    QVERIFY(desktest::key(entryKey));
}

// A date picker's calendar is a popup: opening and closing it changes no window.
void DesktopFrameTest::openAndCloseCalendar(TMDIChild *doc)
{
    auto *picker = doc->findChild<QDateEdit *>(QStringLiteral("DateTimePicker1"));
    QVERIFY(picker && picker->isVisible() && picker->calendarPopup());
    QVERIFY(desktest::click(picker, QPoint(picker->width() - 6, picker->height() / 2)));
    QTRY_VERIFY_WITH_TIMEOUT(QApplication::activePopupWidget(), kWait);
    QVERIFY(desktest::key(QStringLiteral("Escape")));
    QTRY_VERIFY_WITH_TIMEOUT(!QApplication::activePopupWidget(), kWait);
}

void DesktopFrameTest::openLeavesExportOffUntilAnotherWindow()
{
    TMainForm &f = *m_frame;
    TMDIChild *doc = nullptr;
    openThroughDialog(m_sample, &doc);
    if (QTest::currentTestFailed())
        return;
    QCOMPARE(doc->currentPage(), int(TMDIChild::Description));
    QVERIFY(f.FileSaveItem->isEnabled());
    QVERIFY(f.Statistiques1->isEnabled());
    QVERIFY(!f.Exporter1->isEnabled());
    QVERIFY(!f.Supprimercriture1->isEnabled());

    openAndCloseCalendar(doc);
    if (QTest::currentTestFailed())
        return;
    QVERIFY(!f.Exporter1->isEnabled());

    // A dialog opened and cancelled is a change of window.
    bool asked = false;
    desktest::onNextModal([&asked](QWidget *) {
        asked = true;
        desktest::key(QStringLiteral("Escape"));
    });
    QVERIFY(desktest::key(QStringLiteral("ctrl+o")));
    QTRY_VERIFY_WITH_TIMEOUT(asked && !QApplication::activeModalWidget(), kWait);
    QVERIFY(settledIn(doc));
    QCOMPARE(f.documentCount(), 1);
    QVERIFY(f.Exporter1->isEnabled());
}

void DesktopFrameTest::newEnablesExportAndPagesNarrowIt()
{
    TMainForm &f = *m_frame;
    QVERIFY(desktest::click(f.SpeedButton1));
    QTRY_COMPARE_WITH_TIMEOUT(f.documentCount(), 1, kWait);
    TMDIChild *doc = f.activeChild();
    QCOMPARE(doc->windowTitle(), QStringLiteral("VOITURE1"));
    QVERIFY(settledIn(doc));
    QVERIFY(f.Exporter1->isEnabled()); // although the new window shows "Description"
    QVERIFY(!f.SpeedButton2->isEnabled());

    QVERIFY(desktest::clickTab(doc->findChild<QTabWidget *>(QStringLiteral("PageControl1")), TMDIChild::Carburant));
    QVERIFY(f.Exporter1->isEnabled());
    QVERIFY(f.SpeedButton2->isEnabled());
    QVERIFY(f.Supprimercriture1->isEnabled());

    QVERIFY(desktest::clickTab(doc->findChild<QTabWidget *>(QStringLiteral("PageControl1")), TMDIChild::Description));
    QVERIFY(!f.Exporter1->isEnabled());
    QVERIFY(!f.SpeedButton2->isEnabled());

    openAndCloseCalendar(doc);
    if (QTest::currentTestFailed())
        return;
    QVERIFY(!f.Exporter1->isEnabled());
    QVERIFY(!f.SpeedButton2->isEnabled());
}

void DesktopFrameTest::closingTheLastDocumentDisablesItsCommands()
{
    TMainForm &f = *m_frame;
    chooseInFileMenu(QStringLiteral("n")); // "&Nouveau"
    QTRY_COMPARE_WITH_TIMEOUT(f.documentCount(), 1, kWait);
    QVERIFY(settledIn(f.activeChild()));
    QVERIFY(desktest::clickTab(f.activeChild()->findChild<QTabWidget *>(QStringLiteral("PageControl1")),
                               TMDIChild::Stationnement));
    QVERIFY(f.SpeedButton2->isEnabled());

    chooseInFileMenu(QStringLiteral("f")); // "&Fermer"
    QTRY_COMPARE_WITH_TIMEOUT(f.documentCount(), 0, kWait);
    QVERIFY(QTest::qWaitFor([&f] { return !f.FileSaveItem->isEnabled(); }, kWait));
    for (QAction *a : {f.FileCloseItem, f.FileSaveItem, f.FileSaveAsItem, f.Exporter1, f.CutItem, f.CopyItem,
                       f.PasteItem, f.Supprimercriture1, f.Statistiques1, f.Graphique1, f.WindowCascadeItem,
                       f.WindowTileItem, f.WindowArrangeItem, f.WindowMinimizeItem})
        QVERIFY2(!a->isEnabled(), qPrintable(a->objectName()));
    for (QToolButton *b :
         {f.SaveBtn, f.CutBtn, f.CopyBtn, f.PasteBtn, f.SpeedButton2, f.SpeedButton3, f.SpeedButton4})
        QVERIFY2(!b->isEnabled(), qPrintable(b->objectName()));
    QVERIFY(f.FileNewItem->isEnabled() && f.FileOpenItem->isEnabled() && f.OpenBtn->isEnabled());
}

void DesktopFrameTest::quitAnsweredAnnulerKeepsEverything()
{
    TMainForm &f = *m_frame;
    const QByteArray original = readAll(m_sample);
    TMDIChild *doc = nullptr;
    openThroughDialog(m_sample, &doc);
    if (QTest::currentTestFailed())
        return;
    auto *brand = doc->findChild<QLineEdit *>(QStringLiteral("Edit1"));
    QVERIFY(desktest::click(brand));
    QTRY_VERIFY_WITH_TIMEOUT(brand->hasFocus(), kWait);
    QVERIFY(desktest::key(QStringLiteral("End")));
    QVERIFY(desktest::type(QStringLiteral(" Clio")));
    QVERIFY(desktest::key(QStringLiteral("Tab")));
    QTRY_VERIFY_WITH_TIMEOUT(doc->isModified(), kWait);

    QString title, question;
    QStringList buttons;
    desktest::onNextModal([&](QWidget *w) {
        if (auto *box = qobject_cast<QMessageBox *>(w)) {
            title = box->windowTitle();
            question = box->text();
            for (QAbstractButton *b : box->buttons())
                buttons << b->text();
        }
        desktest::key(QStringLiteral("Escape"));
    });
    chooseInFileMenu(QStringLiteral("q")); // "&Quitter"
    QTRY_VERIFY_WITH_TIMEOUT(!question.isEmpty() && !QApplication::activeModalWidget(), kWait);
    QCOMPARE(title, QStringLiteral("Avertissement"));
    QCOMPARE(question, QStringLiteral("Enregistrer changements dans exemple.vtr ?"));
    buttons.sort();
    QCOMPARE(buttons,
             (QStringList{QStringLiteral("&Non"), QStringLiteral("&Oui"), QStringLiteral("Annuler")}));
    QVERIFY(settledIn(doc));
    QVERIFY(f.isVisible());
    QCOMPARE(f.documentCount(), 1);
    QVERIFY(doc->isModified());

    // "&Non" by its accelerator: the program ends without writing the file.
    desktest::onNextModal([](QWidget *) { desktest::key(QStringLiteral("alt+n")); });
    chooseInFileMenu(QStringLiteral("q"));
    QTRY_VERIFY_WITH_TIMEOUT(!f.isVisible(), kWait);
    QCOMPARE(readAll(m_sample), original);
}

int main(int argc, char **argv)
{
    return desktest::run<DesktopFrameTest>(argc, argv);
}
#include "desk_frame.moc"
