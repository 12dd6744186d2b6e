#include "guitest.h"

#include "platform/messages.h"
#include "ui/utilities/TPocket.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

class GuiPocket : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { guitest::useSeams(); }
    void init();
    void window();
    void keyboardMapping();
    void mouseAndKeysAgree();
    void errorBox();
    void longTextsShowWhole();
    void escapeClosesAndReopeningClears();

private:
    QString display() const { return m_w->findChild<QLabel *>(u"Label1"_s)->text(); }
    QPushButton *button(int n) const { return m_w->findChild<QPushButton *>(u"Button%1"_s.arg(n)); }
    std::unique_ptr<TPocket> m_w;
};

void GuiPocket::init()
{
    platform::Messages::clearShown();
    m_w = std::make_unique<TPocket>();
    m_w->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_w.get()));
}

void GuiPocket::window()
{
    QCOMPARE(m_w->windowTitle(), u"Calculatrice"_s);
    QCOMPARE(m_w->size(), QSize(342, 219));
    for (int n = 0; n < 20; ++n)
        QVERIFY2(button(n), qPrintable(u"Button%1"_s.arg(n)));
    QCOMPARE(button(19)->geometry(), QRect(248, 177, 74, 33));
    QCOMPARE(button(16)->text(), u"1/x"_s);
    QCOMPARE(QApplication::focusWidget(), button(11));
}

void GuiPocket::keyboardMapping()
{
    QTest::keyClicks(m_w.get(), u"12.5*2="_s);
    QCOMPARE(display(), u"25"_s);
    // Capitals and small letters both work; other characters are ignored.
    QTest::keyClicks(m_w.get(), u"s"_s);
    QCOMPARE(display(), u"5"_s);
    QTest::keyClicks(m_w.get(), u"XqC"_s);
    QCOMPARE(display(), QString());
    // The mapped button shows a press for a moment.
    QTest::keyClick(m_w.get(), '7');
    QVERIFY(button(7)->isDown());
    QTRY_VERIFY(!button(7)->isDown());
}

void GuiPocket::mouseAndKeysAgree()
{
    QTest::mouseClick(button(9), Qt::LeftButton);
    QTest::mouseClick(button(14), Qt::LeftButton);
    QTest::keyClicks(m_w.get(), u"3="_s);
    QCOMPARE(display(), u"27"_s);
    // Enter evaluates (27 × 27) even when the focus sits on another button after a click.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(display(), u"729"_s);
}

void GuiPocket::errorBox()
{
    QTest::keyClicks(m_w.get(), u"7/0="_s);
    QCOMPARE(platform::Messages::shown(), QStringList{u"error: Division flottante par zéro."_s});
    QCOMPARE(display(), u"0"_s);
    // The calculation goes on from where the error left it.
    QTest::keyClicks(m_w.get(), u"2="_s);
    QCOMPARE(display(), u"3,5"_s);
}

void GuiPocket::longTextsShowWhole()
{
    // A display cut at its left end reads as another number (0,333... as 333...).
    auto *label = m_w->findChild<QLabel *>(u"Label1"_s);
    const auto fits = [label] {
        return QFontMetrics(label->font()).horizontalAdvance(label->text()) <= label->contentsRect().width();
    };
    QTest::keyClicks(m_w.get(), u"3x"_s);
    QCOMPARE(display(), u"0,333333333333333"_s);
    QVERIFY(fits());
    QTest::keyClicks(m_w.get(), u"C1-8=x"_s);
    QCOMPARE(display(), u"-0,142857142857143"_s);
    QVERIFY(fits());
    QTest::keyClicks(m_w.get(), u"C1/3/1000000="_s);
    QCOMPARE(display(), u"3,333333333335E-7"_s);
    QVERIFY(fits());
    // Short texts keep the window's font.
    QTest::keyClicks(m_w.get(), u"C5"_s);
    QCOMPARE(label->font().pixelSize(), m_w->font().pixelSize());
}

void GuiPocket::escapeClosesAndReopeningClears()
{
    m_w->hide();
    QTimer::singleShot(0, m_w.get(), [this] {
        QTest::keyClicks(m_w.get(), u"4+"_s);
        QTest::keyClick(m_w.get(), Qt::Key_Escape);
    });
    QCOMPARE(m_w->exec(), int(QDialog::Rejected));
    QVERIFY(!m_w->isVisible());
    QCOMPARE(display(), u"4"_s);
    m_w->show();
    QCOMPARE(display(), QString());
    QTest::keyClicks(m_w.get(), u"6="_s);
    QCOMPARE(display(), u"6"_s);
    QVERIFY(!m_w->calculator().accumulator().isZero());
}

QTEST_MAIN(GuiPocket)
#include "gui_pocket.moc"
