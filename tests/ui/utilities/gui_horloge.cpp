#include "guitest.h"

#include "platform/messages.h"
#include "platform/systemclock.h"
#include "ui/utilities/THorloge.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <ctime>
#include <memory>

using namespace Qt::StringLiterals;

class GuiHorloge : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void opensRunningOnLocalTime();
    void arrowsNeedASelectedField();
    void setStepsAndSetsUtc();
    void failedSetsAreReported();
    void closingWhileSettingSetsNothing();
    void spinRepeatsWhileHeld();
    void escCloses();

private:
    QRadioButton *item(int i) const { return w->RadioGroup1->findChildren<QRadioButton *>().at(i); }
    void open();

    std::unique_ptr<THorloge> w;
    QList<QDateTime> setCalls;
    bool setterAnswer = true;
};

void GuiHorloge::initTestCase()
{
    guitest::useSeams();
    qputenv("TZ", "Europe/Paris");
    tzset();
}

void GuiHorloge::init()
{
    platform::Messages::clearShown();
    platform::SystemClock::setFake(QDateTime(QDate(2026, 3, 14), QTime(12, 9, 26)));
    setCalls.clear();
    setterAnswer = true;
    w = std::make_unique<THorloge>();
    w->setClockSetter([this](const QDateTime &utc) {
        setCalls << utc;
        return setterAnswer;
    });
}

void GuiHorloge::cleanup()
{
    w.reset();
    platform::SystemClock::clearFake();
}

void GuiHorloge::open()
{
    w->show();
    QVERIFY(QTest::qWaitForWindowActive(w.get()));
}

void GuiHorloge::opensRunningOnLocalTime()
{
    open();
    QCOMPARE(w->Label1->text(), u"12:09:26"_s);
    QCOMPARE(w->Label2->text(), u"14/03/2026"_s);
    QVERIFY(w->Timer1->isActive());
    QCOMPARE(w->Timer1->interval(), 1000);
    QCOMPARE(QApplication::focusWidget(), w->Button1);
    QCOMPARE(w->selectedField(), -1);

    // A tick shows the new time, also over a field stepped while running.
    item(0)->setChecked(true);
    QTest::mouseClick(w->SpinButton1->upButton(), Qt::LeftButton);
    QCOMPARE(w->Label1->text(), u"13:09:26"_s);
    platform::SystemClock::setFake(QDateTime(QDate(2026, 3, 14), QTime(12, 9, 27)));
    QTRY_COMPARE_WITH_TIMEOUT(w->Label1->text(), u"12:09:27"_s, 3000);

    w->hide();
    QVERIFY(!w->Timer1->isActive());
}

void GuiHorloge::arrowsNeedASelectedField()
{
    open();
    QTest::mouseClick(w->Button2, Qt::LeftButton);
    QTest::mouseClick(w->SpinButton1->upButton(), Qt::LeftButton);
    QTest::mouseClick(w->SpinButton1->downButton(), Qt::LeftButton);
    QCOMPARE(w->Label1->text(), u"12:09:26"_s);
    QCOMPARE(w->Label2->text(), u"14/03/2026"_s);
}

void GuiHorloge::setStepsAndSetsUtc()
{
    open();
    QTest::mouseClick(w->Button2, Qt::LeftButton);
    QVERIFY(w->settingMode());
    QVERIFY(!w->Timer1->isActive());
    QCOMPARE(w->Button2->text(), u"Set"_s);

    item(0)->setChecked(true);
    for (int i = 0; i < 3; ++i)
        QTest::mouseClick(w->SpinButton1->upButton(), Qt::LeftButton);
    // The Up and Down keys step too when the spin control has the focus.
    item(2)->setChecked(true);
    w->SpinButton1->setFocus();
    QTest::keyClick(w->SpinButton1, Qt::Key_Up);
    QTest::keyClick(w->SpinButton1, Qt::Key_Up);
    QTest::keyClick(w->SpinButton1, Qt::Key_Down);
    QTest::keyClick(w->SpinButton1, Qt::Key_Return);   // Enter does not press "Set"
    QVERIFY(w->settingMode());
    QCOMPARE(w->Label1->text(), u"15:09:26"_s);
    QCOMPARE(w->Label2->text(), u"15/03/2026"_s);

    QTest::mouseClick(w->Button2, Qt::LeftButton);
    QVERIFY(!w->settingMode());
    QVERIFY(w->Timer1->isActive());
    // Paris in March before the change to summer time: UTC+1.
    QCOMPARE(setCalls, QList<QDateTime>{QDateTime(QDate(2026, 3, 15), QTime(14, 9, 26), Qt::UTC)});
    QVERIFY(platform::Messages::shown().isEmpty());
}

void GuiHorloge::failedSetsAreReported()
{
    open();
    setterAnswer = false;
    QTest::mouseClick(w->Button2, Qt::LeftButton);
    QTest::mouseClick(w->Button2, Qt::LeftButton);
    QCOMPARE(setCalls.size(), 1);
    QCOMPARE(platform::Messages::shown(),
             QStringList{u"error: Impossible de régler l'horloge de l'ordinateur."_s});
    QVERIFY(w->Timer1->isActive());

    // A display that is not a number: nothing is set and the clock stays stopped.
    platform::Messages::clearShown();
    QTest::mouseClick(w->Button2, Qt::LeftButton);
    w->Label1->setText(u"1x:09:26"_s);
    QTest::mouseClick(w->Button2, Qt::LeftButton);
    QCOMPARE(platform::Messages::shown(),
             QStringList{u"error: '1x' n'est pas une valeur entière correcte."_s});
    QCOMPARE(setCalls.size(), 1);
    QVERIFY(!w->settingMode());
    QVERIFY(!w->Timer1->isActive());
}

void GuiHorloge::closingWhileSettingSetsNothing()
{
    open();
    QTest::mouseClick(w->Button2, Qt::LeftButton);
    item(4)->setChecked(true);
    QTest::mouseClick(w->SpinButton1->upButton(), Qt::LeftButton);
    QCOMPARE(w->Label2->text(), u"14/03/2027"_s);
    QTest::mouseClick(w->Button1, Qt::LeftButton);
    QVERIFY(!w->isVisible());
    QVERIFY(!w->Timer1->isActive());

    open();
    QVERIFY(!w->settingMode());
    QVERIFY(w->Timer1->isActive());
    QCOMPARE(w->Label2->text(), u"14/03/2026"_s);
    QVERIFY(setCalls.isEmpty());
    // The selector keeps the user's choice between openings.
    QCOMPARE(w->selectedField(), 4);
}

void GuiHorloge::spinRepeatsWhileHeld()
{
    open();
    QTest::mouseClick(w->Button2, Qt::LeftButton);
    item(1)->setChecked(true);
    QToolButton *up = w->SpinButton1->upButton();
    QTest::mousePress(up, Qt::LeftButton);
    QCOMPARE(w->Label1->text(), u"12:10:26"_s);   // the press steps at once
    QTest::qWait(750);                              // at least the first repeat, after 400 ms
    QTest::mouseRelease(up, Qt::LeftButton);
    const int minute = w->Label1->text().mid(3, 2).toInt();
    QVERIFY2(minute >= 11, qPrintable(w->Label1->text()));
    QTest::qWait(300);
    QCOMPARE(w->Label1->text().mid(3, 2).toInt(), minute);   // released: no more steps
}

void GuiHorloge::escCloses()
{
    bool timedOut = false;
    QTimer::singleShot(0, w.get(), [this] {
        if (QTest::qWaitForWindowActive(w.get()))
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    });
    QTimer::singleShot(10000, w.get(), [this, &timedOut] {
        timedOut = true;
        w->reject();
    });
    w->exec();
    QVERIFY(!timedOut);
    QVERIFY(!w->isVisible());
    QVERIFY(!w->Timer1->isActive());
}

QTEST_MAIN(GuiHorloge)
#include "gui_horloge.moc"
