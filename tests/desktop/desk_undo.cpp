// Editing without fear on a real desktop: an entry deleted with the Delete key comes back with
// Ctrl+Z, and an entry dialog refuses a date that does not exist. Every key goes through the X
// server to the window the window manager made active.
#include "app/TMainForm.h"
#include "app/startup.h"
#include "deskframe.h"
#include "desktest.h"
#include "ui/document/TMDIChild.h"
#include "ui/widgets/TDatePicker.h"

#include <QDir>
#include <QPushButton>
#include <QScopeGuard>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QToolButton>

#include <memory>

using desktest::kWait;

class DesktopUndoTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        startup::prepareApplication(*qApp);
        m_home = QDir::currentPath();
        QVERIFY(m_dir.isValid());
    }
    void cleanupTestCase() { QDir::setCurrent(m_home); }
    void init()
    {
        QVERIFY(QDir::setCurrent(m_dir.path()));
        m_frame.reset(desktest::showFrame());
        QVERIFY(m_frame);
    }
    void cleanup()
    {
        desktest::dropDocuments(m_frame.get());
        m_frame.reset();
    }

    void deleteKeyThenCtrlZ();
    void dialogRefusesAnImpossibleDate();

private:

    QString m_home;
    QTemporaryDir m_dir;
    std::unique_ptr<TMainForm> m_frame;
};

void DesktopUndoTest::deleteKeyThenCtrlZ()
{
    TMDIChild *doc = desktest::newDocument(m_frame.get());
    QVERIFY(doc);
    VehicleRecord r = doc->record();
    r.ListView3 = {{QStringLiteral("01/03/2026"), QStringLiteral("Gare"), QStringLiteral("8.00")},
                   {QStringLiteral("02/03/2026"), QStringLiteral("Centre"), QStringLiteral("5.00")}};
    doc->setRecord(r);
    QVERIFY(desktest::clickTab(doc->findChild<QTabWidget *>(QStringLiteral("PageControl1")),
                               TMDIChild::Stationnement));
    auto *view = doc->findChild<QTableView *>(QStringLiteral("ListView3"));
    QVERIFY(view);
    // A click on the first entry's description selects it (the date would start an edit).
    QVERIFY(desktest::click(view->viewport(), view->visualRect(view->model()->index(0, 1)).center()));
    QTRY_VERIFY_WITH_TIMEOUT(view->hasFocus() && view->currentIndex().row() == 0, kWait);
    QVERIFY(desktest::key(QStringLiteral("Delete")));
    QTRY_COMPARE_WITH_TIMEOUT(view->model()->rowCount(), 1, kWait);
    QCOMPARE(view->model()->index(0, 1).data().toString(), QStringLiteral("Centre"));
    QVERIFY(doc->isModified());
    QVERIFY(desktest::key(QStringLiteral("ctrl+z")));
    QTRY_COMPARE_WITH_TIMEOUT(view->model()->rowCount(), 2, kWait);
    QCOMPARE(view->model()->index(0, 1).data().toString(), QStringLiteral("Gare"));
    QVERIFY(desktest::key(QStringLiteral("ctrl+y")));
    QTRY_COMPARE_WITH_TIMEOUT(view->model()->rowCount(), 1, kWait);
}

void DesktopUndoTest::dialogRefusesAnImpossibleDate()
{
    TMDIChild *doc = desktest::newDocument(m_frame.get());
    QVERIFY(doc);
    QVERIFY(desktest::clickTab(doc->findChild<QTabWidget *>(QStringLiteral("PageControl1")),
                               TMDIChild::Stationnement));
    auto *view = doc->findChild<QTableView *>(QStringLiteral("ListView3"));
    bool refused = false;
    bool done = false;
    QString shown;
    desktest::onNextModal([&refused, &shown, &done](QWidget *dialog) {
        const auto finished = qScopeGuard([&done] { done = true; });
        auto *picker = dialog->findChild<TDatePicker *>(QStringLiteral("DateTimePicker1"));
        auto *ok = dialog->findChild<QPushButton *>(QStringLiteral("Button2"));
        if (!picker || !ok || !desktest::type(QStringLiteral("31/02/2026")))
            return;
        if (!QTest::qWaitFor([picker] { return picker->text() == QStringLiteral("31/02/2026"); }, kWait)) {
            qWarning("the picker shows %s", qPrintable(picker->text()));
            return;
        }
        desktest::click(ok);
        // The click has been handled once the picker has the focus back.
        refused = QTest::qWaitFor([picker] { return picker->hasFocus() && picker->isWrong(); }, kWait)
                  && dialog->isVisible();
        shown = picker->text();
        desktest::key(QStringLiteral("Escape"));
    });
    QVERIFY(desktest::click(view->viewport(), QPoint(20, view->viewport()->height() - 5)));
    QTRY_VERIFY_WITH_TIMEOUT(view->hasFocus(), kWait);
    QVERIFY(desktest::key(QStringLiteral("Insert")));
    QTRY_VERIFY_WITH_TIMEOUT(done, 2 * kWait);
    QTRY_VERIFY_WITH_TIMEOUT(!QApplication::activeModalWidget(), kWait);
    QVERIFY(refused);
    QCOMPARE(shown, QStringLiteral("31/02/2026"));
    QCOMPARE(view->model()->rowCount(), 0);
}

int main(int argc, char **argv)
{
    return desktest::run<DesktopUndoTest>(argc, argv);
}
#include "desk_undo.moc"
