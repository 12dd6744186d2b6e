// The date picker typed into as people write dates: the keys stay in the picker until Tab.
#include "guitest.h"
#include "platform/systemclock.h"
#include "ui/widgets/TDatePicker.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QClipboard>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>

#include <memory>

using namespace Qt::StringLiterals;

namespace {
const QDate kStart(2024, 2, 15);
}

class DatePickerTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QWidget> m_window;
    TDatePicker *m_picker = nullptr;
    QLineEdit *m_after = nullptr;  // the field after the picker in the Tab order
    QLineEdit *m_before = nullptr;

    QString focusName() const
    {
        QWidget *w = QApplication::focusWidget();
        return w ? w->objectName() : QString();
    }

private slots:
    void initTestCase()
    {
        guitest::useSeams();
        platform::SystemClock::setFake(QDateTime(QDate(2026, 12, 8), QTime(9, 0)));
    }

    void init()
    {
        m_window = std::make_unique<QWidget>();
        auto *layout = new QVBoxLayout(m_window.get());
        m_before = new QLineEdit(m_window.get());
        m_before->setObjectName(u"before"_s);
        m_picker = new TDatePicker(m_window.get());
        m_picker->setObjectName(u"picker"_s);
        m_picker->setDateRange(QDate(1601, 1, 1), QDate(9999, 12, 31));
        m_picker->setDate(kStart);
        m_after = new QLineEdit(m_window.get());
        m_after->setObjectName(u"after"_s);
        layout->addWidget(m_before);
        layout->addWidget(m_picker);
        layout->addWidget(m_after);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
        m_before->setFocus();
        QTest::keyClick(m_before, Qt::Key_Tab);
        QCOMPARE(focusName(), u"picker"_s);
    }

    void cleanup() { m_window.reset(); }

    void typedDates_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QDate>("expected");
        QTest::addColumn<bool>("tabAfter"); // the date is in once the year is, Tab or not
        // A date that is not one keeps the last valid date, shown as typed and marked wrong.
        QTest::newRow("slashes") << u"20/11/2025"_s << QDate(2025, 11, 20) << false;
        QTest::newRow("digits only") << u"20112025"_s << QDate(2025, 11, 20) << false;
        QTest::newRow("one-digit day and month") << u"2/3/2024"_s << QDate(2024, 3, 2) << false;
        QTest::newRow("points") << u"20.11.2025"_s << QDate(2025, 11, 20) << false;
        QTest::newRow("dashes") << u"05-12-2026"_s << QDate(2026, 12, 5) << false;
        QTest::newRow("spaces") << u"5 12 2026"_s << QDate(2026, 12, 5) << false;
        QTest::newRow("first digit fills the part") << u"5"_s u"42026"_s << QDate(2026, 4, 5) << false;
        QTest::newRow("31 of a long month over a short one") << u"31/12/2024"_s << QDate(2024, 12, 31) << false;
        QTest::newRow("29/02 of a leap year") << u"29/02/2024"_s << QDate(2024, 2, 29) << false;
        QTest::newRow("impossible date keeps the last one") << u"31/02/2024"_s << kStart << true;
        QTest::newRow("29/02 of a common year") << u"29/02/2023"_s << kStart << true;
        QTest::newRow("day 00") << u"00/02/2024"_s << kStart << true;
        QTest::newRow("month 13 is no month") << u"1/13"_s << kStart << true;
        QTest::newRow("day only, then Tab") << u"20"_s << QDate(2024, 2, 20) << true;
        QTest::newRow("day and month, then Tab") << u"3/4"_s << QDate(2024, 4, 3) << true;
        QTest::newRow("year begun, not typed") << u"3/4/"_s << kStart << true;
        QTest::newRow("month begun, not typed") << u"3/"_s << kStart << true;
        QTest::newRow("month 13 with its year") << u"15/13/2026"_s << kStart << true;
        QTest::newRow("two-digit year") << u"05/12/26"_s << QDate(2026, 12, 5) << true;
        QTest::newRow("two-digit year of the last century") << u"05/12/98"_s << QDate(1998, 12, 5) << true;
        QTest::newRow("three-digit year is not taken") << u"05/12/202"_s << kStart << true;
        QTest::newRow("letters are dropped") << u"2x0/1a1/2025"_s << QDate(2025, 11, 20) << false;
        QTest::newRow("before the range") << u"01/01/1500"_s << kStart << true;
    }

    void typedDates()
    {
        QFETCH(QString, keys);
        QFETCH(QDate, expected);
        QFETCH(bool, tabAfter);
        QTest::keyClicks(m_picker, keys);
        // Nothing of a date leaves the picker, whatever the separators.
        QCOMPARE(focusName(), u"picker"_s);
        QVERIFY(m_after->text().isEmpty());
        if (tabAfter)
            QTest::keyClick(m_picker, Qt::Key_Tab);
        QCOMPARE(m_picker->date(), expected);
        // Never another date than the one typed: what is not a date stays as typed, marked.
        const bool wrong = expected == kStart;
        QCOMPARE(m_picker->isWrong(), wrong);
        if (wrong)
            QVERIFY2(m_picker->text() != kStart.toString(u"dd/MM/yyyy"_s), qPrintable(m_picker->text()));
        else
            QCOMPARE(m_picker->text(), expected.toString(u"dd/MM/yyyy"_s));
        if (!tabAfter) {
            QTest::keyClick(m_picker, Qt::Key_Tab);
            QCOMPARE(m_picker->date(), expected);
        }
        QCOMPARE(focusName(), u"after"_s);
    }

    // A whole date typed, then the next field's text: each value lands in its own field.
    void typingGoesOnInTheNextField()
    {
        QTest::keyClicks(m_picker, u"05/12/2026"_s);
        QTest::keyClick(m_picker, Qt::Key_Tab);
        QTest::keyClicks(QApplication::focusWidget(), u"45.50"_s);
        QCOMPARE(m_after->text(), u"45.50"_s);
        QCOMPARE(m_picker->date(), QDate(2026, 12, 5));
        QTest::keyClick(m_after, Qt::Key_Backtab);
        QCOMPARE(focusName(), u"picker"_s);
        QTest::keyClick(m_picker, Qt::Key_Backtab);
        QCOMPARE(focusName(), u"before"_s);
    }

    // The focus stays after the year: more digits type the year again.
    void focusStaysAfterTheYear()
    {
        QTest::keyClicks(m_picker, u"01022023"_s);
        QCOMPARE(m_picker->typingPart(), 2);
        QTest::keyClicks(m_picker, u"/"_s);
        QCOMPARE(focusName(), u"picker"_s);
        QTest::keyClicks(m_picker, u"2021"_s);
        QCOMPARE(m_picker->date(), QDate(2021, 2, 1));
    }

    void arrowsStepThePartUnderTheCursor()
    {
        QTest::keyClick(m_picker, Qt::Key_Up); // the day: Tab put the cursor there
        QCOMPARE(m_picker->date(), QDate(2024, 2, 16));
        QTest::keyClick(m_picker, Qt::Key_Right);
        QTest::keyClick(m_picker, Qt::Key_Up);
        QCOMPARE(m_picker->date(), QDate(2024, 3, 16));
        QTest::keyClick(m_picker, Qt::Key_End);
        QTest::keyClick(m_picker, Qt::Key_Down);
        QCOMPARE(m_picker->date(), QDate(2023, 3, 16));
        // Typing after stepping goes into the part stepped.
        QTest::keyClicks(m_picker, u"2025"_s);
        QCOMPARE(m_picker->date(), QDate(2025, 3, 16));
        QTest::keyClick(m_picker, Qt::Key_Home);
        QTest::keyClicks(m_picker, u"9"_s);
        QTest::keyClick(m_picker, Qt::Key_Tab);
        QCOMPARE(m_picker->date(), QDate(2025, 3, 9));
    }

    // Half a date typed then Up: the typing ends (the day is taken) and the step applies.
    void stepAfterPartialTyping()
    {
        QTest::keyClicks(m_picker, u"2"_s);
        QTest::keyClick(m_picker, Qt::Key_Up);
        QCOMPARE(m_picker->date(), QDate(2024, 2, 3));
    }

    void backspaceEditsTheTypedPart()
    {
        QTest::keyClicks(m_picker, u"28/0"_s);
        QTest::keyClick(m_picker, Qt::Key_Backspace);
        QTest::keyClicks(m_picker, u"3/2022"_s);
        QCOMPARE(m_picker->date(), QDate(2022, 3, 28));
    }

    void pasteTypesTheDate()
    {
        QApplication::clipboard()->setText(u" 14.07.1989 "_s);
        QTest::keyClick(m_picker, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(m_picker->date(), QDate(1989, 7, 14));
        QApplication::clipboard()->setText(u"hier"_s);
        QTest::keyClick(m_picker, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(m_picker->date(), QDate(1989, 7, 14));
    }

    void calendarOpensFromTheKeyboard()
    {
        QTest::keyClicks(m_picker, u"1"_s);
        QTest::keyClick(m_picker, Qt::Key_Down, Qt::AltModifier);
        QCalendarWidget *calendar = m_picker->calendarWidget();
        QVERIFY(calendar);
        QTRY_VERIFY(calendar->isVisible());
        // The typing was taken before the calendar came up.
        QCOMPARE(calendar->selectedDate(), QDate(2024, 2, 1));
        QWidget *days = QApplication::focusWidget();
        QVERIFY(days && calendar->isAncestorOf(days));
        QTest::keyClick(days, Qt::Key_Right);
        QTest::keyClick(days, Qt::Key_Return);
        QTRY_VERIFY(!calendar->isVisible());
        QCOMPARE(m_picker->date(), QDate(2024, 2, 2));
    }

    // A date set from outside while typing is half done is the one shown.
    void dateSetWhileTypingWins()
    {
        QTest::keyClicks(m_picker, u"3/"_s);
        m_picker->setDate(QDate(2000, 6, 1));
        QCOMPARE(m_picker->text(), u"01/06/2000"_s);
        QTest::keyClick(m_picker, Qt::Key_Tab);
        QCOMPARE(m_picker->date(), QDate(2000, 6, 1));
    }

    // A wrong date is corrected where it stands; a valid one typed, even the last one, clears it.
    void wrongDateIsCorrectedWhereItStands()
    {
        QTest::keyClicks(m_picker, u"31/02/2024"_s);
        QTest::keyClick(m_picker, Qt::Key_Tab);
        QVERIFY(m_picker->isWrong());
        QCOMPARE(m_picker->text(), u"31/02/2024"_s);
        QVERIFY(!m_picker->toolTip().isEmpty());
        QTest::keyClick(m_after, Qt::Key_Backtab);
        QCOMPARE(m_picker->text(), u"31/02/2024"_s);
        QTest::keyClick(m_picker, Qt::Key_Home);
        QTest::keyClicks(m_picker, u"28"_s);
        QTest::keyClick(m_picker, Qt::Key_Tab);
        QVERIFY(!m_picker->isWrong());
        QCOMPARE(m_picker->date(), QDate(2024, 2, 28));
        QVERIFY(m_picker->toolTip().isEmpty());

        QTest::keyClick(m_after, Qt::Key_Backtab);
        QTest::keyClick(m_picker, Qt::Key_Home);
        QTest::keyClicks(m_picker, u"30/02/2024"_s);
        QTest::keyClick(m_picker, Qt::Key_Tab);
        QVERIFY(m_picker->isWrong());
        QTest::keyClick(m_after, Qt::Key_Backtab);
        QTest::keyClick(m_picker, Qt::Key_Home);
        QTest::keyClicks(m_picker, u"28/02/2024"_s);
        QVERIFY(!m_picker->isWrong());
        QCOMPARE(m_picker->text(), u"28/02/2024"_s);
        // A date set from outside replaces a wrong text too.
        QTest::keyClick(m_picker, Qt::Key_Home);
        QTest::keyClicks(m_picker, u"31/06/2024"_s);
        QTest::keyClick(m_picker, Qt::Key_Tab);
        QVERIFY(m_picker->isWrong());
        m_picker->resetDate(QDate(2024, 2, 28));
        QVERIFY(!m_picker->isWrong());
        QCOMPARE(m_picker->text(), u"28/02/2024"_s);
    }

    void escapeGivesUpTheTyping()
    {
        QTest::keyClicks(m_picker, u"3/4"_s);
        QTest::keyClick(m_picker, Qt::Key_Escape);
        QCOMPARE(m_picker->text(), u"15/02/2024"_s);
        QTest::keyClick(m_picker, Qt::Key_Tab);
        QCOMPARE(m_picker->date(), kStart);
    }

    void commitTypingTakesAValidDate()
    {
        QTest::keyClicks(m_picker, u"7/8"_s);
        m_picker->commitTyping();
        QCOMPARE(m_picker->date(), QDate(2024, 8, 7));
        QCOMPARE(focusName(), u"picker"_s);
    }
};

QTEST_MAIN(DatePickerTest)
#include "gui_datepicker.moc"
