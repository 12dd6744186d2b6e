#include "guitest.h"

#include "platform/systemclock.h"
#include "ui/utilities/TCalendrier.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;

class GuiCalendrier : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { guitest::useSeams(); }
    void init();
    void cleanup();

    void opensOnTodayWithGridFocused();
    void monthButtonsAndPageKeys();
    void pageKeysAndEscFromEveryButton();
    void clicksSelectOnlyDays();
    void arrowKeysStayOnDays();
    void reopensOnMonthLastShown();

private:
    void open();
    void clickCell(int row, int column);

    std::unique_ptr<TCalendrier> w;
};

void GuiCalendrier::init()
{
    platform::SystemClock::setFake(QDateTime(QDate(2026, 1, 31), QTime(10, 0)));
    w = std::make_unique<TCalendrier>();
}

void GuiCalendrier::cleanup()
{
    w.reset();
    platform::SystemClock::clearFake();
}

void GuiCalendrier::open()
{
    w->show();
    QVERIFY(QTest::qWaitForWindowActive(w.get()));
}

void GuiCalendrier::clickCell(int row, int column)
{
    QTest::mouseClick(w->Calendar1, Qt::LeftButton, {}, w->Calendar1->cellRect(row, column).center());
}

void GuiCalendrier::opensOnTodayWithGridFocused()
{
    open();
    QCOMPARE(w->date(), QDate(2026, 1, 31));
    QCOMPARE(w->Label1->text(), u"janvier  2026"_s);
    QCOMPARE(QApplication::focusWidget(), w->Calendar1);
    QCOMPARE(w->windowTitle(), u"Calendrier"_s);
}

void GuiCalendrier::monthButtonsAndPageKeys()
{
    open();
    QTest::keyClick(w->Calendar1, Qt::Key_PageDown);
    QCOMPARE(w->date(), QDate(2026, 2, 28));
    QCOMPARE(w->Label1->text(), u"février  2026"_s);
    QTest::mouseClick(w->BitBtn2, Qt::LeftButton);
    QCOMPARE(w->date(), QDate(2026, 3, 28));   // not back to the 31st
    QTest::mouseClick(w->BitBtn1, Qt::LeftButton);
    QTest::keyClick(w->Calendar1, Qt::Key_PageUp);
    QTest::keyClick(w->Calendar1, Qt::Key_PageUp);
    QCOMPARE(w->date(), QDate(2025, 12, 28));
    QCOMPARE(w->Label1->text(), u"décembre  2025"_s);

    // No button is the default: Enter on the grid changes nothing, Enter on a button presses it.
    w->Calendar1->setFocus();
    QTest::keyClick(w->Calendar1, Qt::Key_Return);
    QCOMPARE(w->date(), QDate(2025, 12, 28));
    w->BitBtn2->setFocus();
    QTest::keyClick(w->BitBtn2, Qt::Key_Return);
    QCOMPARE(w->date(), QDate(2026, 1, 28));
    QVERIFY(w->isVisible());
}

void GuiCalendrier::pageKeysAndEscFromEveryButton()
{
    for (QPushButton *b : {w->BitBtn1, w->BitBtn2, w->Button1}) {
        open();
        b->setFocus();
        const QDate before = w->date();
        QTest::keyClick(b, Qt::Key_PageDown);
        QCOMPARE(w->date(), calendrier::stepMonth(before, 1));
        QTest::keyClick(b, Qt::Key_PageUp);
        QTest::keyClick(b, Qt::Key_PageUp);
        QCOMPARE(w->date().month(), calendrier::stepMonth(before, -1).month());
        QTest::keyClick(b, Qt::Key_Escape);
        QVERIFY2(!w->isVisible(), qPrintable(b->objectName()));
    }
    open();
    QTest::keyClick(w->Calendar1, Qt::Key_Escape);
    QVERIFY(!w->isVisible());
}

void GuiCalendrier::clicksSelectOnlyDays()
{
    open();
    // January 2026 starts on a Thursday: row 1 holds Sunday to Wednesday empty, then 1 to 3.
    clickCell(1, 5);
    QCOMPARE(w->date(), QDate(2026, 1, 2));
    QCOMPARE(w->Label1->text(), u"janvier  2026"_s);
    clickCell(1, 0);   // empty, before the 1st
    clickCell(6, 0);   // empty, after the 31st
    clickCell(0, 3);   // day names
    QCOMPARE(w->date(), QDate(2026, 1, 2));
    clickCell(5, 5);   // Friday 30th
    QCOMPARE(w->date(), QDate(2026, 1, 30));
}

void GuiCalendrier::arrowKeysStayOnDays()
{
    open();
    QTest::keyClick(w->Calendar1, Qt::Key_Right);   // 31st is the last cell: nowhere to go
    QTest::keyClick(w->Calendar1, Qt::Key_Down);
    QCOMPARE(w->date(), QDate(2026, 1, 31));
    QTest::keyClick(w->Calendar1, Qt::Key_Left);
    QCOMPARE(w->date(), QDate(2026, 1, 30));
    QTest::keyClick(w->Calendar1, Qt::Key_Up);
    QCOMPARE(w->date(), QDate(2026, 1, 23));

    clickCell(1, 4);   // the 1st
    QTest::keyClick(w->Calendar1, Qt::Key_Left);   // empty cell
    QTest::keyClick(w->Calendar1, Qt::Key_Up);     // names row
    QCOMPARE(w->date(), QDate(2026, 1, 1));
    QTest::keyClick(w->Calendar1, Qt::Key_Down);
    QCOMPARE(w->date(), QDate(2026, 1, 8));
}

void GuiCalendrier::reopensOnMonthLastShown()
{
    open();
    QTest::mouseClick(w->BitBtn2, Qt::LeftButton);
    QTest::mouseClick(w->Button1, Qt::LeftButton);
    QVERIFY(!w->isVisible());
    platform::SystemClock::setFake(QDateTime(QDate(2026, 6, 1), QTime(10, 0)));
    open();
    QCOMPARE(w->date(), QDate(2026, 2, 28));
    QCOMPARE(w->Label1->text(), u"février  2026"_s);
}

QTEST_MAIN(GuiCalendrier)
#include "gui_calendrier.moc"
