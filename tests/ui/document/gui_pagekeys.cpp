// The document window from the keyboard: Ctrl+PgDn / Ctrl+PgUp and Alt+1…Alt+8 change the page
// from any control, tell the frame as a click on a tab does, and act only on the window that has
// the keyboard.
#include "guitest.h"

#include "gui_mdichild_support.h"
#include "ui/document/TMDIChild.h"

#include <QApplication>
#include <QDateEdit>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;

class TestPageKeys : public QObject {
    Q_OBJECT

    FakeFrame m_frame;
    std::unique_ptr<QMdiArea> m_area;
    TMDIChild *m_w = nullptr;

    TMDIChild *addDocument()
    {
        auto *doc = new TMDIChild(&m_frame);
        QMdiSubWindow *sub = m_area->addSubWindow(doc);
        sub->show();
        m_area->setActiveSubWindow(sub);
        return doc;
    }
    QTabWidget *pages(TMDIChild *doc) const { return doc->findChild<QTabWidget *>(u"PageControl1"_s); }
    // The key goes where the keyboard is, as a user's would.
    static void press(int key, Qt::KeyboardModifiers mods)
    {
        QWidget *focus = QApplication::focusWidget();
        QVERIFY(focus);
        QTest::keyClick(focus, Qt::Key(key), mods);
    }

private slots:
    void initTestCase() { guitest::useSeams(); }
    void init()
    {
        m_area = std::make_unique<QMdiArea>();
        m_area->resize(900, 600);
        m_area->show();
        m_w = addDocument();
        QVERIFY(QTest::qWaitForWindowActive(m_area.get()));
        m_w->findChild<QLineEdit *>(u"Edit1"_s)->setFocus();
        QTRY_VERIFY(m_w->findChild<QLineEdit *>(u"Edit1"_s)->hasFocus());
        m_frame.calls.clear();
    }
    void cleanup() { m_area.reset(); }

    // Every page in turn and round again, from whatever control the last step gave the focus:
    // a field, a ledger, a date picker, the comment, the button of "Image".
    void ctrlPageDownWalksEveryPageAndWraps()
    {
        const QStringList firstControls{u"Edit1"_s, u"ListView1"_s,       u"ListView2"_s, u"ListView3"_s,
                                        u"Edit5"_s, u"DateTimePicker3"_s, u"Memo1"_s,     u"Button1"_s};
        for (int step = 1; step <= 8; ++step) {
            press(Qt::Key_PageDown, Qt::ControlModifier);
            const int page = step % 8;
            QCOMPARE(m_w->currentPage(), page);
            QWidget *focus = QApplication::focusWidget();
            QVERIFY(focus && pages(m_w)->widget(page)->isAncestorOf(focus));
            // A date picker has the keyboard in its inner text field.
            QWidget *control = focus->objectName().startsWith("qt_"_L1) ? focus->parentWidget() : focus;
            QCOMPARE(control->objectName(), firstControls[page]);
        }
        for (int page : {7, 6, 5, 4, 3, 2, 1, 0, 7}) {
            press(Qt::Key_PageUp, Qt::ControlModifier);
            QCOMPARE(m_w->currentPage(), page);
        }
    }

    void altDigitGoesToThePageItsTabShows()
    {
        for (int page = 7; page >= 0; --page) {
            QVERIFY(pages(m_w)->tabToolTip(page).contains(u"Alt+%1"_s.arg(page + 1)));
            press(Qt::Key_1 + page, Qt::AltModifier);
            QCOMPARE(m_w->currentPage(), page);
        }
        // The tabs keep the keyboard while the user steps through them.
        QTabBar *tabs = pages(m_w)->tabBar();
        tabs->setFocus();
        press(Qt::Key_3, Qt::AltModifier);
        press(Qt::Key_PageDown, Qt::ControlModifier);
        QCOMPARE(m_w->currentPage(), int(TMDIChild::Stationnement));
        QVERIFY(tabs->hasFocus());
    }

    // The frame hears of a page reached by a key as of a tab clicked: delete and export follow.
    void keysReportThePageToTheFrame()
    {
        press(Qt::Key_2, Qt::AltModifier);
        QCOMPARE(m_frame.calls, (QStringList{u"SetSup(1)"_s, u"SetExport(1)"_s}));
        m_frame.calls.clear();
        press(Qt::Key_PageDown, Qt::ControlModifier);
        press(Qt::Key_PageDown, Qt::ControlModifier);
        press(Qt::Key_PageDown, Qt::ControlModifier);
        QCOMPARE(m_w->currentPage(), int(TMDIChild::FraisKm));
        QCOMPARE(m_frame.calls.mid(4), (QStringList{u"SetSup(0)"_s, u"SetExport(0)"_s}));
    }

    // Leaving a number field by a page key is leaving it: its right-aligned form and the
    // totals that depend on it follow, as when the Tab key leaves it.
    void leavingANumberFieldByAPageKeyComputes()
    {
        press(Qt::Key_5, Qt::AltModifier);
        QLineEdit *insurance = m_w->findChild<QLineEdit *>(u"Edit6"_s);
        insurance->setFocus();
        QTest::keyClicks(insurance, u"1200"_s);
        press(Qt::Key_PageDown, Qt::ControlModifier);
        QCOMPARE(insurance->text().trimmed(), u"1200.00"_s);
        QCOMPARE(m_w->findChild<QLineEdit *>(u"Edit11"_s)->text().trimmed(), u"1200.00"_s);
    }

    // Two documents: the keys turn the pages of the one with the keyboard only.
    void onlyTheDocumentInFrontTurns()
    {
        TMDIChild *other = addDocument();
        QTRY_VERIFY(other->isAncestorOf(QApplication::focusWidget()));
        press(Qt::Key_4, Qt::AltModifier);
        press(Qt::Key_PageDown, Qt::ControlModifier);
        QCOMPARE(other->currentPage(), int(TMDIChild::FraisKm));
        QCOMPARE(m_w->currentPage(), int(TMDIChild::Description));
    }
};

QTEST_MAIN(TestPageKeys)
#include "gui_pagekeys.moc"
