// Every window as a screen reader and a keyboard user meet it: each control that takes the focus
// (and each button, the tool bar's included) has a name, each field is named by its label, the
// ledgers say what they are and which columns they show, and the Tab key reaches every control.
#include "app/TImportDialog.h"
#include "app/TMainForm.h"
#include "app/singlewindows.h"
#include "app/startup.h"
#include "guitest.h"
#include "platform/help.h"
#include "platform/systemclock.h"
#include "ui/document/TMDIChild.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QAccessibleTableInterface>
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTabBar>
#include <QTableView>
#include <QTest>
#include <QToolButton>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

QString describe(const QWidget *w)
{
    return w->window()->objectName() + u'/' +
           (w->objectName().isEmpty() ? u"(sans nom)"_s : w->objectName()) + u" ("_s +
           QString::fromLatin1(w->metaObject()->className()) + u')';
}

// The controls of a window a keyboard or a screen reader reaches: what takes the focus, and
// every button, also the tool bar's, which take none.
QList<QWidget *> controlsOf(QWidget *window)
{
    QList<QWidget *> out;
    for (QWidget *w : window->findChildren<QWidget *>()) {
        if (w->window() != window || !w->isVisibleTo(window))
            continue;
        // A control that hands its focus on (a tab widget to its tabs) is checked in that one.
        if (((w->focusPolicy() & Qt::TabFocus) && !w->focusProxy()) || qobject_cast<QAbstractButton *>(w))
            out << w;
    }
    return out;
}

// The controls whose accessible name, as a screen reader gets it, is empty.
QStringList unnamedIn(QWidget *window)
{
    QStringList out;
    for (QWidget *w : controlsOf(window)) {
        QAccessibleInterface *a = QAccessible::queryAccessibleInterface(w);
        // No interface of its own: a part of a control that speaks for it (a date picker's text).
        if (!a)
            continue;
        if (a->text(QAccessible::Name).trimmed().isEmpty())
            out << describe(w);
    }
    return out;
}

// The controls that Tab and Shift+Tab, pressed from the window's first control, never reach.
// A group of radio buttons is one stop: the arrow keys choose inside it. A control reached
// through one inside it (a document's frame through its fields) is reached.
QStringList notReachedByTab(QWidget *window)
{
    QList<QWidget *> wanted;
    for (QWidget *w : controlsOf(window))
        if (w->isEnabled() && (w->focusPolicy() & Qt::TabFocus))
            wanted << w;
    if (wanted.isEmpty())
        return {};
    wanted.first()->setFocus(Qt::TabFocusReason);
    QSet<QWidget *> reached;
    for (Qt::Key key : {Qt::Key_Tab, Qt::Key_Backtab}) {
        for (int i = 0; i < 2 * wanted.size() + 2; ++i) {
            QWidget *focus = QApplication::focusWidget();
            if (!focus)
                break;
            reached.insert(focus);
            QTest::keyClick(focus, key, key == Qt::Key_Backtab ? Qt::ShiftModifier : Qt::NoModifier);
        }
    }
    QStringList out;
    for (QWidget *w : std::as_const(wanted)) {
        bool ok = false;
        for (QWidget *r : std::as_const(reached))
            ok = ok || r == w || w->isAncestorOf(r);
        if (!ok && qobject_cast<QRadioButton *>(w))
            for (QWidget *r : std::as_const(reached))
                ok = ok || (qobject_cast<QRadioButton *>(r) && r->parentWidget() == w->parentWidget());
        if (!ok)
            out << describe(w);
    }
    return out;
}

// Fails with the list of what is wrong.
#define expectNone(list)                                                                                     \
    do {                                                                                                     \
        const QStringList found = (list);                                                                    \
        QVERIFY2(found.isEmpty(), qPrintable(found.join(u", "_s)));                                          \
    } while (false)

// Shows a window and waits until it has the keyboard (a dialog shares its parent's activation,
// so "active" alone says nothing).
bool showActive(QWidget *window)
{
    window->show();
    window->activateWindow();
    return QTest::qWaitFor([window] { return QApplication::activeWindow() == window; });
}

} // namespace

class AccessibilityTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TMainForm> m_frame;

    TMDIChild *openFull()
    {
        m_frame->openDocument(QStringLiteral(TEV_TEST_DATA "/full.vtr"));
        TMDIChild *doc = m_frame->activeChild();
        return doc && QTest::qWaitForWindowExposed(doc) ? doc : nullptr;
    }

private slots:
    void initTestCase()
    {
        guitest::useSeams();
        platform::SystemClock::setFake(QDateTime(QDate(2026, 12, 9), QTime(14, 0)));
    }
    void init()
    {
        platform::Help::setTestMode(true);
        m_frame.reset(startup::createWindows());
        m_frame->show();
        QVERIFY(QTest::qWaitForWindowActive(m_frame.get()));
    }
    void cleanup()
    {
        platform::Help::setTestMode(true);
        m_frame.reset();
    }

    // The frame with a document, page after page: fields, ledgers, computed totals, tool bar.
    void everyPageOfTheFrameIsNamed()
    {
        TMDIChild *doc = openFull();
        QVERIFY(doc);
        for (int page = 0; page < 8; ++page) {
            doc->showPage(page);
            expectNone(unnamedIn(m_frame.get()));
            expectNone(notReachedByTab(m_frame.get()));
        }
    }

    void everySingleWindowIsNamedAndReachable()
    {
        const QList<SingleWindows::Entry> windows = singles().created;
        QVERIFY(windows.size() >= 10);
        for (const SingleWindows::Entry &e : windows) {
            QVERIFY(showActive(e.window));
            expectNone(unnamedIn(e.window));
            expectNone(notReachedByTab(e.window));
            e.window->hide();
        }
    }

    void importSummaryAndHelpWindowAreNamed()
    {
        TImportDialog summary(m_frame.get());
        QVERIFY(summary.Init(QStringLiteral(TEV_TEST_DATA "/import/acar.csv"), QDate(2026, 12, 9)));
        QVERIFY(showActive(&summary));
        expectNone(unnamedIn(&summary));
        expectNone(notReachedByTab(&summary));
        summary.hide();

        platform::Help::setTestMode(false);
        platform::Help::setHelpFile(QStringLiteral(TEV_SOURCE_DIR "/resources/TevAuto.hlp"));
        platform::Help::contents(m_frame.get());
        QWidget *help = platform::Help::window();
        QVERIFY(help && help->isVisible());
        expectNone(unnamedIn(help));
        help->close();
    }

    // What a screen reader says of the fields that matter most: a label is read as the field's
    // name, the grey totals say which total, a ledger gives its page and its columns.
    void fieldsLedgersAndTotalsSayWhatTheyAre()
    {
        TMDIChild *doc = openFull();
        QVERIFY(doc);
        auto nameOf = [doc](const QString &object) {
            QWidget *w = doc->findChild<QWidget *>(object);
            QAccessibleInterface *a = w ? QAccessible::queryAccessibleInterface(w) : nullptr;
            return a ? a->text(QAccessible::Name) : QString();
        };
        QCOMPARE(nameOf(u"Edit4"_s), u"Prix d'achat"_s);
        QCOMPARE(nameOf(u"DateTimePicker2"_s), u"Date de première mise en circulation"_s);
        QCOMPARE(nameOf(u"Edit11"_s), u"Total des frais fixes annuels (calculé)"_s);
        QCOMPARE(nameOf(u"Edit12"_s), u"Total de la perte sur le capital (calculé)"_s);
        QCOMPARE(nameOf(u"Edit18"_s), u"Total au kilomètre (calculé)"_s);
        QCOMPARE(nameOf(u"ListView2"_s), u"Garage"_s);

        // The label is tied to its field both ways, as assistive technologies look it up.
        QWidget *price = doc->findChild<QWidget *>(u"Edit4"_s);
        const auto labelled = QAccessible::queryAccessibleInterface(price)->relations(QAccessible::Label);
        QVERIFY(!labelled.isEmpty());
        QCOMPARE(labelled.first().first->text(QAccessible::Name), u"Prix d'achat"_s);

        auto *fuel = doc->findChild<QTableView *>(u"ListView1"_s);
        QAccessibleInterface *a = QAccessible::queryAccessibleInterface(fuel);
        QVERIFY(a->text(QAccessible::Description)
                    .startsWith(u"Colonnes : Date, Description, Montant, Litres, Compteur."_s));
        QAccessibleTableInterface *table = a->tableInterface();
        QVERIFY(table);
        QCOMPARE(table->columnCount(), 5);
        QStringList headings;
        for (int c = 0; c < table->columnCount(); ++c)
            headings << table->columnDescription(c).trimmed();
        QCOMPARE(headings,
                 (QStringList{u"Date"_s, u"Description"_s, u"Montant"_s, u"Litres"_s, u"Compteur"_s}));

        // The tool bar's pictures are named by their hints.
        QCOMPARE(QAccessible::queryAccessibleInterface(m_frame->SpeedButton2)->text(QAccessible::Name),
                 u"Supprimer"_s);
    }
};

QTEST_MAIN(AccessibilityTest)
#include "gui_accessibility.moc"
