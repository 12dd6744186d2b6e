// Expenses typed as a person types them, on a real desktop: the date with its slashes first, Tab
// from field to field, then "OK"; every key goes through the X server to the window the window
// manager made active.
#include "app/TMainForm.h"
#include "app/startup.h"
#include "deskframe.h"
#include "desktest.h"
#include "ui/document/TMDIChild.h"

#include <QDateEdit>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QToolButton>

#include <memory>

using desktest::kWait;

namespace {
QString focusName()
{
    QWidget *w = QApplication::focusWidget();
    return w ? w->objectName() : QString();
}

// The keys of one entry: a text is typed; "Tab" and "ctrl+..." are keys.
struct Entry {
    QStringList keys;
    QStringList expected; // the ledger's columns
};
} // namespace

class DesktopEntryTest : public QObject {
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

    void entriesTypedIntoTheThreeDialogs();
    void purchaseDateTypedOnItsPage();

private:
    void typeEntry(const Entry &entry, QString *firstFocus);

    QString m_home;
    QTemporaryDir m_dir;
    std::unique_ptr<TMainForm> m_frame;
};

// Types the entry into the dialog that comes up next, then clicks its "OK".
void DesktopEntryTest::typeEntry(const Entry &entry, QString *firstFocus)
{
    desktest::onNextModal([entry, firstFocus](QWidget *dialog) {
        *firstFocus = focusName();
        for (const QString &k : entry.keys) {
            const bool chord = k == QLatin1String("Tab") || k.startsWith(QLatin1String("ctrl+"));
            if (!(chord ? desktest::key(k) : desktest::type(k)))
                return;
        }
        // Every key has arrived before the mouse goes to "OK".
        auto *last = qobject_cast<QLineEdit *>(QApplication::focusWidget());
        const qsizetype typed = entry.keys.constLast().size();
        if (last && !QTest::qWaitFor([last, typed] { return last->text().size() == typed; }, kWait))
            return;
        desktest::click(dialog->findChild<QPushButton *>(QStringLiteral("Button2")));
    });
}

void DesktopEntryTest::entriesTypedIntoTheThreeDialogs()
{
    TMDIChild *doc = desktest::newDocument(m_frame.get());
    QVERIFY(doc);
    const QString tab = QStringLiteral("Tab");
    struct Ledger {
        int page;
        const char *view;
        Entry entry;
        bool byInsert; // else a double-click below the entries
    };
    const std::vector<Ledger> ledgers{
        {TMDIChild::Carburant, "ListView1",
         {{QStringLiteral("20/11/2025"), tab, QStringLiteral("Plein"), tab, QStringLiteral("61,37"), tab,
           QStringLiteral("35.2"), tab, QStringLiteral("48210")},
          {QStringLiteral("20/11/2025"), QStringLiteral("Plein"), QStringLiteral("61.37"), QStringLiteral("35.20"),
           QStringLiteral("48210.00")}},
         true},
        // Past "Montant" the Tab key visits "Annuler" and "OK" before "Compteur".
        {TMDIChild::Garage, "ListView2",
         {{QStringLiteral("2.3.2024"), tab, QStringLiteral("Vidange"), tab, QStringLiteral("89"), tab, tab, tab,
           QStringLiteral("45120")},
          {QStringLiteral("02/03/2024"), QStringLiteral("Vidange"), QStringLiteral("89.00"), QStringLiteral("45120.00")}},
         false},
        {TMDIChild::Stationnement, "ListView3",
         {{QStringLiteral("05122026"), tab, QStringLiteral("Gare"), tab, QStringLiteral("3,5")},
          {QStringLiteral("05/12/2026"), QStringLiteral("Gare"), QStringLiteral("3.50")}},
         true},
    };
    for (const Ledger &l : ledgers) {
        QVERIFY(desktest::clickTab(doc->findChild<QTabWidget *>(QStringLiteral("PageControl1")), l.page));
        auto *view = doc->findChild<QTableView *>(QString::fromLatin1(l.view));
        QVERIFY(view);
        QString firstFocus;
        Entry entry = l.entry;
        if (l.page == TMDIChild::Stationnement) {
            // The parking dialog starts with "Parking" as its description: replace it.
            entry.keys.insert(2, QStringLiteral("ctrl+a"));
        }
        typeEntry(entry, &firstFocus);
        const QPoint below(20, view->viewport()->height() - 5);
        if (l.byInsert) {
            QVERIFY(desktest::click(view->viewport(), below));
            QTRY_VERIFY_WITH_TIMEOUT(view->hasFocus(), kWait);
            QVERIFY(desktest::key(QStringLiteral("Insert")));
        } else {
            QVERIFY(desktest::moveTo(view->viewport(), below));
            QVERIFY(desktest::xdo({QStringLiteral("click"), QStringLiteral("--repeat"), QStringLiteral("2"),
                                   QStringLiteral("--delay"), QStringLiteral("50"), QStringLiteral("1")}));
        }
        QTRY_COMPARE_WITH_TIMEOUT(view->model()->rowCount(), 1, kWait);
        QTRY_VERIFY_WITH_TIMEOUT(!QApplication::activeModalWidget(), kWait);
        QCOMPARE(firstFocus, QStringLiteral("DateTimePicker1"));
        QStringList got;
        for (int c = 0; c < view->model()->columnCount(); ++c)
            got << view->model()->index(0, c).data().toString();
        QCOMPARE(got, l.entry.expected);
    }
    QVERIFY(doc->isModified());
}

void DesktopEntryTest::purchaseDateTypedOnItsPage()
{
    TMDIChild *doc = desktest::newDocument(m_frame.get());
    QVERIFY(doc);
    auto *picker = doc->findChild<QDateEdit *>(QStringLiteral("DateTimePicker1"));
    auto *price = doc->findChild<QLineEdit *>(QStringLiteral("Edit4"));
    QVERIFY(picker && price);
    // A click on the day, then the whole date and the price, Tab between them.
    QVERIFY(desktest::click(picker, QPoint(8, picker->height() / 2)));
    QTRY_VERIFY_WITH_TIMEOUT(picker->hasFocus(), kWait);
    QVERIFY(desktest::type(QStringLiteral("05/12/2026")));
    QVERIFY(desktest::key(QStringLiteral("Tab")));
    QTRY_VERIFY_WITH_TIMEOUT(price->hasFocus(), kWait);
    QVERIFY(desktest::type(QStringLiteral("12500")));
    QTRY_COMPARE_WITH_TIMEOUT(price->text(), QStringLiteral("12500"), kWait);
    QCOMPARE(doc->record().DateTimePicker1, QDate(2026, 12, 5));
    QCOMPARE(picker->text(), QStringLiteral("05/12/2026"));

    // An impossible date is not taken, nor replaced by another: it stays as typed, marked, and
    // the document keeps the last valid one.
    QVERIFY(desktest::click(picker, QPoint(8, picker->height() / 2)));
    QTRY_VERIFY_WITH_TIMEOUT(picker->hasFocus(), kWait);
    QVERIFY(desktest::type(QStringLiteral("31/02/2027")));
    QVERIFY(desktest::key(QStringLiteral("Tab")));
    QTRY_VERIFY_WITH_TIMEOUT(price->hasFocus(), kWait);
    QCOMPARE(doc->record().DateTimePicker1, QDate(2026, 12, 5));
    QCOMPARE(picker->text(), QStringLiteral("31/02/2027"));
}

int main(int argc, char **argv)
{
    return desktest::run<DesktopEntryTest>(argc, argv);
}
#include "desk_entry.moc"
