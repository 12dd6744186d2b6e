// The keyboard in the whole program: F1 opens the topic of the window or page in front, Esc
// closes the help and every modal window, and no key the program adds takes one it already had.
#include "app/TMainForm.h"
#include "app/helpkeys.h"
#include "app/singlewindows.h"
#include "app/startup.h"
#include "guitest.h"
#include "platform/help.h"
#include "platform/systemclock.h"
#include "ui/document/TMDIChild.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QKeySequence>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QShortcut>
#include <QTableView>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;
using platform::Help;

namespace {
const QString kHelpFile = QStringLiteral(TEV_SOURCE_DIR "/resources/TevAuto.hlp");

void pressOnFocus(int key, Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    QWidget *focus = QApplication::focusWidget();
    QWidget *target = focus ? focus : QApplication::activeWindow();
    QVERIFY(target);
    QTest::keyClick(target, Qt::Key(key), mods);
}
} // namespace

class KeyboardTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TMainForm> m_frame;

    // The last help command, without the file it opened.
    static QString lastHelp()
    {
        const QStringList calls = Help::calls();
        return calls.isEmpty() ? QString() : calls.constLast().section(u' ', 0, -2);
    }

private slots:
    void initTestCase()
    {
        guitest::useSeams();
        platform::SystemClock::setFake(QDateTime(QDate(2026, 12, 9), QTime(14, 0)));
    }
    void init()
    {
        Help::setTestMode(true);
        m_frame.reset(startup::createWindows());
        m_frame->show();
        QVERIFY(QTest::qWaitForWindowActive(m_frame.get()));
    }
    void cleanup()
    {
        Help::setTestMode(true);
        m_frame.reset();
    }

    void f1OnTheFrameAndTheDocumentPages()
    {
        pressOnFocus(Qt::Key_F1);
        QCOMPARE(lastHelp(), u"topic sommaire"_s);

        m_frame->FileNewItem->trigger();
        TMDIChild *doc = m_frame->activeChild();
        QVERIFY(doc);
        doc->showPage(TMDIChild::Garage);
        doc->findChild<QTableView *>(u"ListView2"_s)->setFocus();
        QTRY_VERIFY(doc->isAncestorOf(QApplication::focusWidget()));
        pressOnFocus(Qt::Key_F1);
        QCOMPARE(lastHelp(), u"topic page-garage"_s);
        pressOnFocus(Qt::Key_8, Qt::AltModifier);
        pressOnFocus(Qt::Key_F1);
        QCOMPARE(lastHelp(), u"topic page-image"_s);

        // The client area itself: the document in front.
        m_frame->mdiArea()->setFocus();
        QCOMPARE(helpkeys::topicFor(m_frame->mdiArea()), u"page-image"_s);
        // The lines of what is due have their own topic.
        QCOMPARE(helpkeys::topicFor(doc->findChild<QWidget *>(u"EditEntretien"_s)), u"echeances"_s);
    }

    // F1 in each modal window gives its topic; Esc then closes the window.
    void f1AndEscInEveryModalWindow_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("topic");
        QTest::newRow("fuel") << u"TFCarbu"_s << u"saisie"_s;
        QTest::newRow("maintenance") << u"TFEntr"_s << u"saisie"_s;
        QTest::newRow("parking") << u"TStation"_s << u"saisie"_s;
        QTest::newRow("statistics") << u"TStats"_s << u"cmd-statistiques"_s;
        QTest::newRow("chart") << u"TGraph"_s << u"cmd-graphique"_s;
        QTest::newRow("calculator") << u"TPocket"_s << u"util-calculatrice"_s;
        QTest::newRow("euro") << u"TEurof"_s << u"util-euro"_s;
        QTest::newRow("clock") << u"THorloge"_s << u"util-horloge"_s;
        QTest::newRow("calendar") << u"TCalendrier"_s << u"util-calendrier"_s;
        QTest::newRow("about") << u"TAboutBox"_s << u"contexte8"_s;
    }
    void f1AndEscInEveryModalWindow()
    {
        QFETCH(QString, window);
        QFETCH(QString, topic);
        auto *dialog = qobject_cast<QDialog *>(singles().window(window));
        QVERIFY(dialog);
        QString helped;
        bool closedByEsc = false;
        guitest::onNextModal([&](QDialog *d) {
            // Keys go to the active window, which a dialog becomes a little after it shows.
            if (!QTest::qWaitFor([d] { return QApplication::activeWindow() == d; }))
                return;
            pressOnFocus(Qt::Key_F1);
            helped = lastHelp();
            pressOnFocus(Qt::Key_Escape);
            closedByEsc = !d->isVisible();
        });
        dialog->exec();
        QCOMPARE(helped, u"topic "_s + topic);
        QVERIFY(closedByEsc);
    }

    // Every topic F1 may open is in the help file, and so is the section on the keys.
    void everyTopicIsInTheHelpFile()
    {
        const platform::HelpFile file = Help::read(kHelpFile);
        QVERIFY2(file.ok(), qPrintable(file.error));
        QStringList anchors;
        for (const platform::HelpTopic &t : file.topics)
            anchors << t.anchor;
        for (const QString &topic : helpkeys::allTopics())
            QVERIFY2(anchors.contains(topic), qPrintable(topic));
        QVERIFY(anchors.contains(u"raccourcis"_s));
    }

    // The help window: Esc closes it, F1 in it is help on help, and opened from a modal window it
    // belongs to that window, the only one a user can reach then.
    void helpWindowKeys()
    {
        Help::setTestMode(false);
        Help::setHelpFile(kHelpFile);
        pressOnFocus(Qt::Key_F1);
        QWidget *help = Help::window();
        QVERIFY(help && help->isVisible());
        QTRY_COMPARE(QApplication::activeWindow(), help);
        pressOnFocus(Qt::Key_Escape);
        QVERIFY(!help->isVisible());

        QWidget *shownFromDialog = nullptr;
        QWidget *ownerInDialog = nullptr;
        bool dialogStillOpen = false;
        auto *calculator = qobject_cast<QDialog *>(singles().window(u"TPocket"_s));
        guitest::onNextModal([&](QDialog *d) {
            if (!QTest::qWaitFor([d] { return QApplication::activeWindow() == d; }))
                return;
            pressOnFocus(Qt::Key_F1);
            shownFromDialog = Help::window();
            if (!shownFromDialog ||
                !QTest::qWaitFor([&] { return QApplication::activeWindow() == shownFromDialog; }))
                return;
            ownerInDialog = shownFromDialog->parentWidget();
            pressOnFocus(Qt::Key_Escape);
            dialogStillOpen = d->isVisible() && !shownFromDialog->isVisible();
        });
        calculator->exec();
        QVERIFY(shownFromDialog);
        QCOMPARE(ownerInDialog, calculator);
        QVERIFY(dialogStillOpen);

        // Back in the frame, the help window is the frame's again.
        m_frame->activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), m_frame.get());
        pressOnFocus(Qt::Key_F1);
        QCOMPARE(Help::window()->parentWidget(), m_frame.get());
        Help::window()->close();
    }

    // A key used twice is a key that does nothing (Qt reports it ambiguous): the keys of the
    // document windows and the frame's shortcuts never meet.
    void noKeyIsTakenTwice()
    {
        m_frame->FileNewItem->trigger();
        QList<QKeySequence> keys;
        for (QAction *a : m_frame->findChildren<QAction *>())
            keys << a->shortcuts();
        for (QShortcut *s : m_frame->activeChild()->findChildren<QShortcut *>())
            keys << s->key();
        QStringList seen;
        for (const QKeySequence &k : std::as_const(keys)) {
            if (k.isEmpty())
                continue;
            const QString text = k.toString(QKeySequence::PortableText);
            QVERIFY2(!seen.contains(text), qPrintable(text));
            seen << text;
        }
        for (const char *expected :
             {"Ctrl+O", "Ctrl+S", "Ctrl+C", "Ctrl+V", "F9", "Ctrl+PgDown", "Ctrl+PgUp", "Alt+1", "Alt+8"})
            QVERIFY2(seen.contains(QString::fromLatin1(expected)), expected);
        // Ctrl+Tab and F1 stay free of shortcuts: the client area and the help key take them.
        QVERIFY(!seen.contains(u"Ctrl+Tab"_s));
        QVERIFY(!seen.contains(u"F1"_s));
    }
};

QTEST_MAIN(KeyboardTest)
#include "gui_keyboard.moc"
