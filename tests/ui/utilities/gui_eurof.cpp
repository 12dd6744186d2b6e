#include "guitest.h"

#include "ui/utilities/TEurof.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>

using namespace Qt::StringLiterals;

class GuiEurof : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { guitest::useSeams(); }
    void init();
    void typingAndConverting();
    void keypadKeepsKeyboard();
    void spinControl();
    void escapeKeepsDisplays();

private:
    QString text(const char *label) const { return m_w->findChild<QLabel *>(QLatin1String(label))->text(); }
    QString rate() const { return m_w->findChild<QLineEdit *>(u"Edit3"_s)->text(); }
    template <typename T = QPushButton>
    T *child(const QString &name) const { return m_w->findChild<T *>(name); }
    std::unique_ptr<TEurof> m_w;
};

void GuiEurof::init()
{
    m_w = std::make_unique<TEurof>();
    m_w->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_w.get()));
}

void GuiEurof::typingAndConverting()
{
    QCOMPARE(m_w->windowTitle(), u"Euro convertisseur"_s);
    QCOMPARE(QApplication::focusWidget(), child(u"Button11"_s));
    QTest::keyClicks(QApplication::focusWidget(), u"1.5"_s);
    QCOMPARE(text("Label1"), u"1,5"_s);
    child<QRadioButton>(u"RadioButton2"_s)->setChecked(true);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(text("Label2"), u"9,8"_s);
    // The next key starts a new entry on emptied displays.
    QTest::keyClicks(QApplication::focusWidget(), u"x"_s);
    QCOMPARE(text("Label1"), QString());
    QCOMPARE(text("Label2"), QString());
}

void GuiEurof::keypadKeepsKeyboard()
{
    QTest::mouseClick(child(u"Button5"_s), Qt::LeftButton);
    QTest::mouseClick(child(u"Button12"_s), Qt::LeftButton);
    QTest::keyClicks(QApplication::focusWidget(), u"3"_s);
    QCOMPARE(text("Label1"), u"5,3"_s);
    QTest::mouseClick(child(u"Button11"_s), Qt::LeftButton);
    QCOMPARE(text("Label2"), u"0,81"_s);
    // A keypad button after a result starts a new entry on emptied displays.
    m_w->Button5Click();
    QCOMPARE(text("Label1"), u"5"_s);
    QCOMPARE(text("Label2"), QString());
}

void GuiEurof::spinControl()
{
    auto *spin = m_w->findChild<QWidget *>(u"SpinButton1"_s);
    auto *up = spin->findChild<QToolButton *>(u"UpButton"_s);
    QTest::mouseClick(up, Qt::LeftButton);
    QCOMPARE(rate(), u"6,55958"_s);
    QCOMPARE(QApplication::focusWidget(), spin);
    QTest::keyClick(spin, Qt::Key_Down);
    QTest::keyClick(spin, Qt::Key_Down);
    QCOMPARE(rate(), u"6,55956"_s);
    // A half steps as it goes down, repeats while held, and adds nothing when released.
    QTest::mousePress(up, Qt::LeftButton);
    QCOMPARE(rate(), u"6,55957"_s);
    QTRY_COMPARE_WITH_TIMEOUT(rate() >= u"6,55959"_s, true, 5000);
    const QString held = rate();
    QTest::mouseRelease(up, Qt::LeftButton);
    QCOMPARE(rate(), held);
}

void GuiEurof::escapeKeepsDisplays()
{
    QTest::keyClicks(m_w.get(), u"100"_s);
    QTest::keyClick(m_w.get(), Qt::Key_Return);
    m_w->hide();
    QTimer::singleShot(0, m_w.get(), [this] { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape); });
    QCOMPARE(m_w->exec(), int(QDialog::Rejected));
    QVERIFY(!m_w->isVisible());
    // Reopened: same displays, but the flag is cleared so a digit extends the old entry.
    m_w->show();
    QCOMPARE(text("Label2"), u"15,24"_s);
    QTest::keyClicks(m_w.get(), u"0"_s);
    QCOMPARE(text("Label1"), u"1000"_s);
    QCOMPARE(text("Label2"), u"15,24"_s);
}

QTEST_MAIN(GuiEurof)
#include "gui_eurof.moc"
