// The vehicle document window driven through its real widgets.
#include "gui_mdichild_support.h"
#include "guitest.h"

#include "core/vehicle/vtrfile.h"
#include "platform/filedialogs.h"
#include "platform/messages.h"
#include "platform/systemclock.h"
#include "ui/document/TMDIChild.h"
#include "ui/document/documentwindows.h"
#include "ui/entry/TFCarbu.h"
#include "ui/entry/TFEntr.h"
#include "ui/entry/TStation.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDateEdit>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>

#include <memory>

using namespace mdichildtest;
using platform::FileDialogs;
using platform::Messages;

namespace {

// An entry's texts in column order.
template <std::size_t N>
QStringList textsOf(const LedgerEntry<N> &e)
{
    QStringList texts;
    for (const LedgerText &t : e)
        texts << t.toString();
    return texts;
}
const QDate kToday(2026, 12, 7);
const QString kVehicleFilter = QStringLiteral("save: Fichier voiture (*.vtr)|*.vtr|Tous les fichiers (*.*)|*.*");

int pageOf(int field)
{
    if (field == 4)
        return TMDIChild::Description;
    if (field == 24)
        return TMDIChild::Garage;
    if (field >= 19 && field <= 22)
        return TMDIChild::Valeur;
    return TMDIChild::FraisKm;
}

// Three fill-ups over 1000 km: 70 litres for 350 francs before the newest one.
VehicleRecord withFuel()
{
    VehicleRecord r = VehicleRecord::create(kToday);
    r.ListView1 = {{QStringLiteral("01/01/2026"), QStringLiteral("Plein"), QStringLiteral("200.00"), QStringLiteral("40.00"), QStringLiteral("10000.00")},
                   {QStringLiteral("15/01/2026"), QStringLiteral("Plein"), QStringLiteral("150.00"), QStringLiteral("30.00"), QStringLiteral("10500.00")},
                   {QStringLiteral("01/02/2026"), QStringLiteral("Plein"), QStringLiteral("100.00"), QStringLiteral("20.00"), QStringLiteral("11000.00")}};
    return r;
}
} // namespace

class TestMDIChild : public QObject {
    Q_OBJECT

    FakeFrame m_frame;
    TMDIChild *m_w = nullptr;
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_startDir;

    QLineEdit *edit(int n) const { return m_w->findChild<QLineEdit *>(QStringLiteral("Edit%1").arg(n)); }
    QTableView *ledger(int n) const { return m_w->findChild<QTableView *>(QStringLiteral("ListView%1").arg(n)); }
    QPlainTextEdit *memo() const { return m_w->findChild<QPlainTextEdit *>(QStringLiteral("Memo1")); }
    QString path(const QString &name) const { return m_dir->filePath(name); }

    void type(int field, const QString &text)
    {
        m_w->showPage(pageOf(field));
        QTest::keyClicks(edit(field), text);
    }
    void leave(int field)
    {
        QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
        QCoreApplication::sendEvent(edit(field), &out);
    }
    // A double-click as the system delivers it: press and release first, then the double-click.
    void doubleClick(QWidget *w, QPoint pos)
    {
        QTest::mouseClick(w, Qt::LeftButton, {}, pos);
        QTest::mouseDClick(w, Qt::LeftButton, {}, pos);
    }
    void doubleClickBelowEntries(int n)
    {
        QWidget *viewport = ledger(n)->viewport();
        doubleClick(viewport, QPoint(20, viewport->height() - 5));
    }
    void doubleClickEntry(int n, int row)
    {
        QTableView *view = ledger(n);
        doubleClick(view->viewport(), view->visualRect(view->model()->index(row, 1)).center());
    }
    // The in-place editor open in a ledger, if any (a closed one is hidden until it is deleted).
    QDateEdit *openEditor(int n) const
    {
        for (QDateEdit *e : ledger(n)->viewport()->findChildren<QDateEdit *>())
            if (e->isVisible())
                return e;
        return nullptr;
    }
    void clickCharger() { m_w->findChild<QPushButton *>(QStringLiteral("Button1"))->click(); }
    int textWidth(int field, const QString &text) const { return QFontMetrics(edit(field)->font()).horizontalAdvance(text); }

private Q_SLOTS:
    void initTestCase()
    {
        guitest::useSeams();
        platform::SystemClock::setFake(QDateTime(kToday, QTime(10, 0)));
        documentWindows().FCarbu = new TFCarbu;
        documentWindows().FEntr = new TFEntr;
        documentWindows().Station = new TStation;
        m_startDir = QDir::currentPath();
    }

    void init()
    {
        guitest::useSeams();
        m_dir = std::make_unique<QTemporaryDir>();
        QDir::setCurrent(m_dir->path());
        m_w = new TMDIChild(&m_frame);
        m_w->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_w));
        m_frame.calls.clear();
    }

    void cleanup()
    {
        delete m_w;
        m_w = nullptr;
        QDir::setCurrent(m_startDir);
        m_dir.reset();
    }

    // ---- Layout ----------------------------------------------------------------------------

    void windowAsLaidOut()
    {
        QCOMPARE(m_w->size(), QSize(666, 409));
        QCOMPARE(m_w->font().pixelSize(), 13);
        auto *pages = m_w->findChild<QTabWidget *>(QStringLiteral("PageControl1"));
        QVERIFY(pages);
        QStringList names;
        for (int i = 0; i < pages->count(); ++i) {
            names << pages->tabText(i);
            QCOMPARE(pages->widget(i)->objectName(), QStringLiteral("Page%1").arg(i + 1));
        }
        QCOMPARE(names, (QStringList{u"Description"_qs, u"Carburant"_qs, u"Garage"_qs, u"Stationnement"_qs,
                                     u"Frais / Km"_qs, u"Valeur"_qs, u"Commentaire"_qs, u"Image"_qs}));
        QCOMPARE(pages->currentIndex(), 0);

        // Totals can be selected and copied but neither typed over nor reached by Tab.
        for (int n : {11, 12, 18, 23})
            QVERIFY(edit(n)->isReadOnly() && !(edit(n)->focusPolicy() & Qt::TabFocus));
        for (int n : {25, 26})
            QVERIFY(!edit(n)->isReadOnly() && (edit(n)->focusPolicy() & Qt::TabFocus));
        for (int n = 1; n <= 3; ++n) {
            auto *picker = m_w->findChild<QDateEdit *>(QStringLiteral("DateTimePicker%1").arg(n));
            QVERIFY(picker && picker->calendarPopup());
            QCOMPARE(picker->text(), u"07/12/2026"_qs);
        }
        QCOMPARE(m_w->findChild<QComboBox *>(QStringLiteral("ComboBox1"))->currentText(), u"Essence"_qs);
    }

    // ---- Number fields ---------------------------------------------------------------------

    void numberField_data()
    {
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("arrives");
        QTest::addColumn<QString>("left");
        QTest::addColumn<int>("width");
        QTest::newRow("insurance 7") << 6 << u"7"_qs << u"7"_qs << u"7.00"_qs << 110;
        QTest::newRow("price comma") << 4 << u"12,5"_qs << u"12.5"_qs << u"12.50"_qs << 116;
        QTest::newRow("not a number") << 24 << u"1.2.3"_qs << u"1.2.3"_qs << u"1.2.3"_qs << 110;
        QTest::newRow("lone point") << 21 << u"."_qs << u"."_qs << u"0.00"_qs << 110;
        QTest::newRow("letters dropped") << 19 << u"a7b -x"_qs << u"7"_qs << u"7.00"_qs << 110;
        QTest::newRow("tyres") << 17 << u"40000"_qs << u"40000"_qs << u"40000.00"_qs << 110;
    }
    void numberField()
    {
        QFETCH(int, field);
        QFETCH(QString, typed);
        QFETCH(QString, arrives);
        QFETCH(QString, left);
        QFETCH(int, width);
        type(field, typed);
        QCOMPARE(edit(field)->text(), arrives);
        QVERIFY(m_w->isModified());
        leave(field);
        const QString shown = edit(field)->text();
        QCOMPARE(shown.trimmed(), left);
        QVERIFY(shown.startsWith(QLatin1Char(' ')));
        // Padded just past width - 10 pixels in the field's own font.
        QVERIFY(textWidth(field, shown) > width - 10);
        QVERIFY(textWidth(field, shown.mid(1)) <= width - 10);
        QCOMPARE(m_w->record().edit[std::size_t(field)], shown);
        leave(field);
        QCOMPARE(edit(field)->text(), shown);
    }

    void blankFieldBecomesEmpty()
    {
        m_w->showPage(TMDIChild::FraisKm);
        edit(7)->setText(u"   "_qs);
        leave(7);
        QCOMPARE(edit(7)->text(), QString());
        QCOMPARE(m_w->record().edit[7], QString());
    }

    void pastedTextIsFiltered()
    {
        type(5, QString());
        QApplication::clipboard()->setText(u"1,5 F€x"_qs);
        edit(5)->paste();
        QCOMPARE(edit(5)->text(), u"1.5 "_qs);
        QVERIFY(m_w->isModified());
        leave(5);
        QCOMPARE(edit(5)->text().trimmed(), u"1.50"_qs);
    }

    void leavingRecomputesItsTotal()
    {
        type(5, u"7"_qs);
        leave(5);
        type(6, u"3,25"_qs);
        leave(6);
        QCOMPARE(edit(11)->text().trimmed(), u"10.30"_qs);
        QVERIFY(textWidth(11, edit(11)->text()) > 100);
        QCOMPARE(m_w->record().edit[11].trimmed(), m_w->record().edit[11]);
    }

    void vehicleTypeRecomputesResalePrice()
    {
        VehicleRecord r = VehicleRecord::create(kToday);
        r.DateTimePicker2 = QDate(1996, 3, 15);
        r.DateTimePicker3 = QDate(1999, 6, 20);
        r.edit[22] = u"9"_qs;
        r.edit[21] = u"70000"_qs;
        r.edit[19] = u"50000"_qs;
        m_w->setRecord(r);
        m_w->showPage(TMDIChild::Valeur);
        m_w->findChild<QComboBox *>(QStringLiteral("ComboBox1"))->setCurrentIndex(1);
        QCOMPARE(m_w->record().ComboBox1, u"Diesel"_qs);
        QCOMPARE(edit(23)->text().trimmed(), u"52975.00"_qs);
        QVERIFY(m_w->isModified());
    }

    // ---- Modified flag ---------------------------------------------------------------------

    void modifiedFlag_data()
    {
        QTest::addColumn<int>("action");
        QTest::addColumn<bool>("modified");
        QTest::newRow("letter in a number field") << 0 << true;
        QTest::newRow("Marque") << 1 << true;
        QTest::newRow("purchase date") << 2 << true;
        QTest::newRow("vehicle type typed") << 3 << true;
        QTest::newRow("number field left untouched") << 4 << false;
        QTest::newRow("Charger cancelled") << 5 << true;
        QTest::newRow("fuel figure typed over") << 6 << false;
        QTest::newRow("page change") << 7 << false;
        QTest::newRow("Supprime off the ledgers") << 8 << true;
    }
    void modifiedFlag()
    {
        QFETCH(int, action);
        QFETCH(bool, modified);
        QVERIFY(!m_w->isModified());
        switch (action) {
        case 0:
            type(4, u"x"_qs);
            QCOMPARE(edit(4)->text(), QString());
            break;
        case 1: QTest::keyClicks(edit(1), u"Renault"_qs); break;
        case 2: m_w->findChild<QDateEdit *>(QStringLiteral("DateTimePicker1"))->setDate(QDate(2001, 5, 4)); break;
        case 3: QTest::keyClicks(m_w->findChild<QComboBox *>(QStringLiteral("ComboBox1")), u"x"_qs); break;
        case 4:
            m_w->showPage(TMDIChild::FraisKm);
            leave(5);
            break;
        case 5:
            m_w->showPage(TMDIChild::Image);
            clickCharger();
            break;
        case 6: QTest::keyClicks(edit(25), u"9"_qs); break;
        case 7: m_w->showPage(TMDIChild::Garage); break;
        case 8:
            m_w->showPage(TMDIChild::Valeur);
            m_w->Supprime();
            break;
        }
        QCOMPARE(m_w->isModified(), modified);
    }

    void commentKeepsItsOwnChangedState()
    {
        m_w->showPage(TMDIChild::Commentaire);
        guitest::typeText(memo(), u"Révision"_qs);
        QVERIFY(!m_w->isModified());
        QVERIFY(m_w->commentChanged());
        Messages::setNextAnswer(Messages::Cancel);
        QVERIFY(!m_w->close());
        QCOMPARE(Messages::shown(), QStringList{u"question: Enregistrer changements dans  ?"_qs});
        QVERIFY(m_w->isModified());
    }

    // ---- Ledgers and dialogs ---------------------------------------------------------------

    void addEntryThroughDialog_data()
    {
        QTest::addColumn<int>("view");
        QTest::addColumn<QStringList>("typed");
        QTest::newRow("fuel") << 1 << QStringList{u"Plein"_qs, u"250.00"_qs, u"45.00"_qs, u"12000.00"_qs};
        QTest::newRow("garage") << 2 << QStringList{u"Vidange"_qs, u"400.00"_qs, u"15000.00"_qs};
        QTest::newRow("parking") << 3 << QStringList{u"Gare"_qs, u"12.00"_qs};
    }
    void addEntryThroughDialog()
    {
        QFETCH(int, view);
        QFETCH(QStringList, typed);
        m_w->showPage(view);
        QStringList seen;
        onNextDialog([&](QDialog *d) {
            seen = dialogTexts(d, int(typed.size()));
            fillAndPress(d, typed, u"Button2"_qs);
        });
        doubleClickBelowEntries(view);
        QCOMPARE(seen.value(0), u"07/12/2026"_qs);
        if (view != 3) // the parking dialog keeps its last description
            QCOMPARE(seen.mid(1), QStringList(typed.size(), QString()));
        QStringList entry;
        const auto &r = m_w->record();
        if (view == 1 && r.ListView1.size() == 1)
            entry = textsOf(r.ListView1[0]);
        if (view == 2 && r.ListView2.size() == 1)
            entry = textsOf(r.ListView2[0]);
        if (view == 3 && r.ListView3.size() == 1)
            entry = textsOf(r.ListView3[0]);
        QCOMPARE(entry, QStringList{u"07/12/2026"_qs} + typed);
        QCOMPARE(ledger(view)->model()->rowCount(), 1);
        QVERIFY(m_w->isModified());
    }

    void cancelledDialogChangesNothing()
    {
        m_w->showPage(TMDIChild::Carburant);
        onNextDialog([](QDialog *d) { fillAndPress(d, {u"Plein"_qs}, u"Button1"_qs); });
        doubleClickBelowEntries(1);
        QVERIFY(m_w->record().ListView1.empty());
        QVERIFY(!m_w->isModified());
        // The close box counts as "Annuler" too.
        onNextDialog([](QDialog *d) { d->close(); });
        doubleClickBelowEntries(1);
        QVERIFY(m_w->record().ListView1.empty());
        QVERIFY(!m_w->isModified());
    }

    void selectedEntryIsChangedInPlace()
    {
        m_w->setRecord(withFuel());
        m_w->Calcul5();
        m_w->showPage(TMDIChild::Carburant);
        QStringList seen;
        onNextDialog([&](QDialog *d) {
            seen = dialogTexts(d, 4);
            fillAndPress(d, {u"Gazole"_qs, u"150.00"_qs, u"40.00"_qs, u"10500.00"_qs}, u"Button2"_qs);
        });
        doubleClickEntry(1, 1);
        QCOMPARE(seen, (QStringList{u"15/01/2026"_qs, u"Plein"_qs, u"150.00"_qs, u"30.00"_qs, u"10500.00"_qs}));
        const auto &fuel = m_w->record().ListView1;
        QCOMPARE(fuel.size(), std::size_t(3));
        QCOMPARE(fuel[1][col::Description], u"Gazole"_qs);
        QCOMPARE(fuel[2][col::Description], u"Plein"_qs);
        QVERIFY(m_w->isModified());
        // 80 litres for 350 francs over 1000 km.
        QCOMPARE(edit(25)->text().trimmed(), u"8.00"_qs);
        QCOMPARE(edit(26)->text().trimmed(), u"4.38"_qs);

        // The entry stays selected: a double-click below the entries changes it again.
        onNextDialog([&](QDialog *d) {
            seen = dialogTexts(d, 4);
            d->findChild<QPushButton *>(QStringLiteral("Button1"))->click();
        });
        doubleClickBelowEntries(1);
        QCOMPARE(seen.value(1), u"Gazole"_qs);
    }

    // A ledger too long to show any blank space still takes new entries: Insert asks for one
    // whatever is selected; Esc, or a single click below the entries, clears the selection so
    // that a double-click or Enter adds.
    void fullLedgerTakesANewEntry()
    {
        VehicleRecord r = withFuel();
        for (int i = 0; i < 80; ++i)
            r.ListView1.push_back({u"01/02/2026"_qs, u"Plein"_qs, u"10.00"_qs, u"2.00"_qs, u"11000.00"_qs});
        m_w->setRecord(r);
        m_w->showPage(TMDIChild::Carburant);
        QTableView *view = ledger(1);
        QVERIFY(view->rowAt(view->viewport()->height() - 2) >= 0); // no blank space at all
        view->setFocus();
        view->selectRow(1);

        QStringList seen;
        onNextDialog([&](QDialog *d) {
            seen = dialogTexts(d, 4);
            fillAndPress(d, {u"Nouveau"_qs, u"60.00"_qs, u"30.00"_qs, u"12000.00"_qs}, u"Button2"_qs);
        });
        QTest::keyClick(view, Qt::Key_Insert);
        QCOMPARE(seen, (QStringList{u"07/12/2026"_qs, QString(), QString(), QString(), QString()}));
        QCOMPARE(m_w->record().ListView1.size(), std::size_t(84));
        QCOMPARE(m_w->record().ListView1[1][col::Description], u"Plein"_qs);
        QCOMPARE(m_w->record().ListView1.back()[col::Description], u"Nouveau"_qs);

        // Enter opens the selected entry; Esc clears the selection, and Enter then adds.
        onNextDialog([&](QDialog *d) {
            seen = dialogTexts(d, 4);
            fillAndPress(d, {}, u"Button1"_qs);
        });
        QTest::keyClick(view, Qt::Key_Return);
        QCOMPARE(seen.value(3), u"30.00"_qs);
        QTest::keyClick(view, Qt::Key_Escape);
        QVERIFY(view->selectionModel()->selectedRows().isEmpty());
        onNextDialog([&](QDialog *d) { fillAndPress(d, {u"Encore"_qs}, u"Button2"_qs); });
        QTest::keyClick(view, Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(m_w->record().ListView1.size(), std::size_t(85));
        QCOMPARE(m_w->record().ListView1.back()[col::Description], u"Encore"_qs);
        QCOMPARE(m_w->record().ListView1[1][col::Description], u"Plein"_qs);
    }

    void clickBelowEntriesClearsTheSelection()
    {
        m_w->setRecord(withFuel());
        m_w->showPage(TMDIChild::Carburant);
        QTableView *view = ledger(1);
        view->selectRow(2);
        QWidget *viewport = view->viewport();
        const QPoint below(20, viewport->height() - 5);
        QTest::mouseClick(viewport, Qt::LeftButton, {}, below);
        QCOMPARE(view->selectionModel()->selectedRows().size(), 1); // until it is no double-click
        QTRY_VERIFY(view->selectionModel()->selectedRows().isEmpty());
        QStringList seen;
        onNextDialog([&](QDialog *d) {
            seen = dialogTexts(d, 4);
            fillAndPress(d, {}, u"Button1"_qs);
        });
        doubleClickBelowEntries(1);
        QCOMPARE(seen.value(1), QString()); // a new entry
        QVERIFY(!ledger(1)->viewport()->statusTip().isEmpty());
    }

    // A text that is no number stays as typed but is shown as wrong: it counts in no figure.
    void numberFieldThatIsNoNumberIsShownWrong()
    {
        type(6, u"1.2.3"_qs);
        leave(6);
        QCOMPARE(edit(6)->text().trimmed(), u"1.2.3"_qs);
        QVERIFY(edit(6)->property("wrongNumber").toBool());
        QVERIFY(!edit(6)->toolTip().isEmpty());
        edit(6)->setFocus();
        edit(6)->selectAll();
        QTest::keyClicks(edit(6), u"320"_qs);
        QVERIFY(!edit(6)->property("wrongNumber").toBool());
        leave(6);
        QVERIFY(!edit(6)->property("wrongNumber").toBool());
        QVERIFY(edit(6)->toolTip().isEmpty());

        VehicleRecord r = VehicleRecord::create(kToday);
        r.edit[7] = u"  abc"_qs;
        r.edit[5] = u"  "_qs; // empty is no mistake
        m_w->setRecord(r);
        QVERIFY(edit(7)->property("wrongNumber").toBool());
        QVERIFY(!edit(5)->property("wrongNumber").toBool());
    }

    void deleteRecomputesFuelFigures()
    {
        m_w->setRecord(withFuel());
        m_w->Calcul5();
        QCOMPARE(edit(25)->text().trimmed(), u"7.00"_qs);
        m_w->showPage(TMDIChild::Carburant);
        m_w->Supprime(); // nothing selected
        QCOMPARE(m_w->record().ListView1.size(), std::size_t(3));
        QVERIFY(!m_w->isModified());

        QTableView *view = ledger(1);
        view->selectRow(1);
        m_w->Supprime();
        QCOMPARE(m_w->record().ListView1.size(), std::size_t(2));
        QCOMPARE(view->model()->rowCount(), 2);
        QCOMPARE(m_w->record().ListView1[1][col::Date], u"01/02/2026"_qs);
        QVERIFY(m_w->isModified());
        QCOMPARE(edit(25)->text().trimmed(), u"4.00"_qs);
        QVERIFY(view->selectionModel()->selectedRows().isEmpty());
    }

    void parkingDateEditedInPlace()
    {
        VehicleRecord r = VehicleRecord::create(kToday);
        r.ListView3 = {{u"01/03/2026"_qs, u"Parking"_qs, u"8.00"_qs}};
        r.ListView1 = {{u"01/03/2026"_qs, u"Plein"_qs, u"8.00"_qs, u"1.00"_qs, u"1.00"_qs}};
        m_w->setRecord(r);
        m_w->showPage(TMDIChild::Stationnement);
        QTableView *view = ledger(3);
        // The editor is the dialogs' date picker: what is no date is never taken, so that every
        // yearly figure keeps counting.
        for (const QString &bad : {u"31/02/2026"_qs, u"hier"_qs, u"1/13/2026"_qs}) {
            view->edit(view->model()->index(0, 0));
            QDateEdit *editor = openEditor(3);
            QVERIFY(editor);
            QCOMPARE(editor->date(), QDate(2026, 3, 1));
            QTest::keyClicks(editor, bad);
            QTest::keyClick(editor, Qt::Key_Return);
            QTRY_VERIFY(!openEditor(3));
            QCOMPARE(m_w->record().ListView3[0][col::Date], u"01/03/2026"_qs);
            QVERIFY(!m_w->isModified());
        }
        view->edit(view->model()->index(0, 0));
        QTest::keyClicks(openEditor(3), u"5.3.26"_qs);
        QTest::keyClick(openEditor(3), Qt::Key_Return);
        QTRY_COMPARE(m_w->record().ListView3[0][col::Date], u"05/03/2026"_qs);
        QVERIFY(m_w->isModified());

        // A date that no text rule reads starts the editor at today's date.
        r.ListView3[0].set(col::Date, u"hier"_qs);
        m_w->setRecord(r);
        view->edit(view->model()->index(0, 0));
        QVERIFY(openEditor(3));
        QCOMPARE(openEditor(3)->date(), kToday);
        QTest::keyClick(openEditor(3), Qt::Key_Escape);
        QCOMPARE(m_w->record().ListView3[0][col::Date], u"hier"_qs);

        // The other ledgers are changed through their dialogs only.
        m_w->showPage(TMDIChild::Carburant);
        QTest::ignoreMessage(QtWarningMsg, "edit: editing failed");
        ledger(1)->edit(ledger(1)->model()->index(0, 0));
        QVERIFY(!ledger(1)->viewport()->findChild<QLineEdit *>());
    }

    void parkingDateEditorAndDoubleClick()
    {
        VehicleRecord r = VehicleRecord::create(kToday);
        r.ListView3 = {{u"01/03/2026"_qs, u"Parking"_qs, u"8.00"_qs}, {u"02/03/2026"_qs, u"Gare"_qs, u"5.00"_qs}};
        m_w->setRecord(r);
        m_w->showPage(TMDIChild::Stationnement);
        QTableView *view = ledger(3);
        const auto dateOf = [view](int row) { return view->visualRect(view->model()->index(row, 0)).center(); };
        const int delay = QApplication::doubleClickInterval() + 100;

        // A click on an entry not yet selected only selects it.
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, dateOf(1));
        QTest::qWait(delay);
        QVERIFY(!openEditor(3));
        // A slow second click on its date edits the date.
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, dateOf(1));
        QTRY_VERIFY(openEditor(3));
        QTest::keyClick(openEditor(3), Qt::Key_Escape);
        QVERIFY(!openEditor(3));

        // A double-click on the selected entry's date opens the dialog, and only the dialog, even
        // when the dialog stays open longer than the slow-click delay.
        view->selectRow(0);
        onNextDialog([&](QDialog *d) {
            QTest::qWait(delay);
            fillAndPress(d, {u"Parking"_qs, u"9.00"_qs}, u"Button2"_qs);
        });
        doubleClick(view->viewport(), dateOf(0));
        QTest::qWait(delay);
        QVERIFY(!openEditor(3));
        QCOMPARE(m_w->record().ListView3[0][col::Montant], u"9.00"_qs);

        // A double-click while a date is being edited keeps what was typed and closes the editor.
        view->selectRow(1);
        view->edit(view->model()->index(1, 0));
        QDateEdit *editor = openEditor(3);
        QVERIFY(editor);
        QTest::keyClicks(editor, u"03/03/2026"_qs);
        onNextDialog([](QDialog *d) { fillAndPress(d, {}, u"Button1"_qs); });
        doubleClick(view->viewport(), view->visualRect(view->model()->index(1, 2)).center());
        QTest::qWait(delay);
        QVERIFY(!openEditor(3));
        QCOMPARE(m_w->record().ListView3[1][col::Date], u"03/03/2026"_qs);
    }

    // An open in-place editor holds the user's latest change: whatever reads the record first
    // takes it in.
    void openDateEditorIsCommitted()
    {
        VehicleRecord r = VehicleRecord::create(kToday);
        r.ListView3 = {{u"01/03/2026"_qs, u"Parking"_qs, u"8.00"_qs}};
        r.fileName = path(u"p.vtr"_qs);
        m_w->setRecord(r);
        m_w->showPage(TMDIChild::Stationnement);
        QTableView *view = ledger(3);
        const auto typeDate = [this, view](const QString &text) {
            view->edit(view->model()->index(0, 0));
            QDateEdit *editor = openEditor(3);
            QVERIFY(editor);
            QTest::keyClicks(editor, text);
        };

        typeDate(u"05/03/2026"_qs);
        Messages::setNextAnswer(Messages::Cancel);
        QVERIFY(!m_w->close());
        QCOMPARE(Messages::shown(), QStringList{u"question: Enregistrer changements dans p.vtr ?"_qs});
        QCOMPARE(m_w->record().ListView3[0][col::Date], u"05/03/2026"_qs);

        typeDate(u"06/03/2026"_qs);
        QVERIFY(m_w->Sauve(0));
        QVERIFY(readFile(path(u"p.vtr"_qs)).contains("[PAGE8]\r\n06/03/2026\r\n"));
        QVERIFY(!m_w->isModified());
        QVERIFY(!openEditor(3));

        typeDate(u"07/03/2026"_qs);
        m_w->Exporte(path(u"p.txt"_qs));
        QCOMPARE(readFile(path(u"p.txt"_qs)), QByteArray("07/03/2026\tParking\t8.00\r\n"));
    }

    // ---- Page reports and clipboard --------------------------------------------------------

    void pageReports_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<bool>("allowed");
        const char *names[] = {"Description", "Carburant", "Garage", "Stationnement", "Frais / Km", "Valeur", "Commentaire", "Image"};
        for (int page = 0; page < 8; ++page)
            QTest::newRow(names[page]) << page << (page >= 1 && page <= 3);
    }
    void pageReports()
    {
        QFETCH(int, page);
        QFETCH(bool, allowed);
        m_w->showPage(page == 0 ? 7 : 0);
        m_frame.calls.clear();
        m_w->showPage(page);
        QCOMPARE(m_frame.calls, (QStringList{QStringLiteral("SetSup(%1)").arg(allowed), QStringLiteral("SetExport(%1)").arg(allowed)}));
    }

    void clipboardOnlyOnCommentPage()
    {
        QClipboard *clip = QApplication::clipboard();
        memo()->setPlainText(u"alpha beta"_qs);
        memo()->selectAll();
        clip->setText(u"sentinel"_qs);
        m_w->showPage(TMDIChild::Image);
        m_w->Copier();
        m_w->Couper();
        m_w->Coller();
        QCOMPARE(clip->text(), u"sentinel"_qs);
        QCOMPARE(memo()->toPlainText(), u"alpha beta"_qs);

        m_w->showPage(TMDIChild::Commentaire);
        m_w->Copier();
        QCOMPARE(clip->text(), u"alpha beta"_qs);
        m_w->Couper();
        QCOMPARE(memo()->toPlainText(), QString());
        m_w->Coller();
        m_w->Coller();
        QCOMPARE(memo()->toPlainText(), u"alpha betaalpha beta"_qs);

        // What the vehicle file could not hold never enters.
        clip->setText(u" a☃b€"_qs);
        m_w->Coller();
        QCOMPARE(memo()->toPlainText(), u"alpha betaalpha beta ab€"_qs);
        QVERIFY(m_w->commentChanged());
    }

    void commentLinesAreTheShownLines()
    {
        QString paragraph;
        for (int i = 0; i < 40; ++i)
            paragraph += QStringLiteral("mot%1 ").arg(i);
        paragraph = paragraph.trimmed();
        memo()->setPlainText(paragraph + u"\nfin\n"_qs);

        // Not shown yet: wrapped at the width the field has on its page.
        const QStringList hidden = m_w->commentLines();
        m_w->showPage(TMDIChild::Commentaire);
        QCoreApplication::processEvents();
        const QStringList lines = m_w->commentLines();
        QCOMPARE(hidden, lines);

        QVERIFY(lines.size() > 2);
        QCOMPARE(lines.constLast(), u"fin"_qs); // the empty last line is left out
        QCOMPARE(lines.mid(0, lines.size() - 1).join(QString()), paragraph);
        const QTextBlock first = memo()->document()->firstBlock();
        QCOMPARE(first.layout()->lineCount(), int(lines.size()) - 1);
        for (int i = 0; i < first.layout()->lineCount(); ++i)
            QCOMPARE(first.layout()->lineAt(i).textLength(), int(lines[i].size()));
        QCOMPARE(m_w->record().Memo1, lines);

        // A window never shown has no width to wrap at: paragraphs stay whole.
        TMDIChild offScreen(nullptr);
        offScreen.findChild<QPlainTextEdit *>(QStringLiteral("Memo1"))->setPlainText(paragraph);
        QCOMPARE(offScreen.commentLines(), QStringList{paragraph});
    }

    // ---- Picture ---------------------------------------------------------------------------

    void pictureStretchIsSticky()
    {
        QDir(m_dir->path()).mkdir(u"photos"_qs);
        writePicture(path(u"photos/large.bmp"_qs), 600, 100);
        writePicture(path(u"photos/small.bmp"_qs), 200, 100);
        m_w->showPage(TMDIChild::Image);

        FileDialogs::setNextFileName(path(u"photos/small.bmp"_qs));
        clickCharger();
        QCOMPARE(m_w->picture().width(), 200);
        QVERIFY(!m_w->pictureStretched());
        QCOMPARE(m_w->record().Image1, u"small.bmp"_qs);
        QVERIFY(m_w->isModified());

        // The dialog made the picture's folder current, so it is found there at once.
        FileDialogs::setNextFileName(path(u"photos/large.bmp"_qs));
        clickCharger();
        QCOMPARE(m_w->picture().width(), 600);
        QVERIFY(m_w->pictureStretched());

        FileDialogs::setNextFileName(path(u"photos/small.bmp"_qs));
        clickCharger();
        QCOMPARE(m_w->picture().width(), 200);
        QVERIFY(m_w->pictureStretched());
        QVERIFY(m_w->findChild<QLabel *>(QStringLiteral("Image1"))->hasScaledContents());
        QCOMPARE(FileDialogs::asked().value(0),
                 QString::fromUtf16(u"open: Tout (*.bmp;*.ico;*.emf;*.wmf;*.jpg)|*.bmp;*.ico;*.emf;*.wmf;*.jpg|"
                                    u"Bitmaps (*.bmp)|*.bmp|Icônes (*.ico)|*.ico|MétaFichiers améliorés (*.emf)|*.emf|"
                                    u"MetaFichiers (*.wmf)|*.wmf|Compressés Jpeg (*.jpg)|*.jpg"));
        QVERIFY(Messages::shown().isEmpty());
    }

    void pictureNotInCurrentDirectory()
    {
        FileDialogs::setNextFileName(path(u"absent.bmp"_qs));
        clickCharger();
        QCOMPARE(Messages::shown(), QStringList{u"information: Il faut recopier l'image dans le répertoire courant"_qs});
        QCOMPARE(m_w->record().Image1, u"absent.bmp"_qs);
        QVERIFY(m_w->picture().isNull());
        QVERIFY(!m_w->isModified());
    }

    void pictureThatCannotBeShown_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("error");
        QTest::newRow("unknown extension") << u"photo.xyz"_qs << QByteArray("BM not really") << u"error: Extension de fichier graphique inconnue (.xyz)"_qs;
        QTest::newRow("damaged bitmap") << u"photo.bmp"_qs << QByteArray("BM\x10\0garbage", 12) << u"error: "_qs;
    }
    void pictureThatCannotBeShown()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, error);
        writeFile(path(name), bytes);
        FileDialogs::setNextFileName(path(name));
        clickCharger();
        QCOMPARE(Messages::shown().size(), 1);
        QVERIFY2(Messages::shown().constFirst().startsWith(error), qPrintable(Messages::shown().constFirst()));
        QCOMPARE(m_w->record().Image1, name);
        QVERIFY(m_w->picture().isNull());
        QVERIFY(!m_w->isModified());
    }

    // ---- Keyboard --------------------------------------------------------------------------

    void tabLeavesDatePickersAtOnce()
    {
        m_w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_w));
        const auto picker = [this](int n) { return m_w->findChild<QDateEdit *>(QStringLiteral("DateTimePicker%1").arg(n)); };
        picker(1)->setFocus();
        QTest::keyClick(picker(1), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), edit(4));
        QTest::keyClick(edit(4), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), picker(2));
        QTest::keyClick(picker(2), Qt::Key_Backtab);
        QCOMPARE(QApplication::focusWidget(), edit(4));

        m_w->showPage(TMDIChild::Valeur);
        picker(3)->setFocus();
        QTest::keyClick(picker(3), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), edit(19));
    }

    void vehicleTypeKeepsTypedText()
    {
        m_w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_w));
        m_w->showPage(TMDIChild::Valeur);
        auto *combo = m_w->findChild<QComboBox *>(QStringLiteral("ComboBox1"));
        for (const QString &typed : {u"G"_qs, u"Es"_qs, u"diesel"_qs}) {
            combo->setFocus();
            combo->lineEdit()->selectAll();
            QTest::keyClicks(combo, typed);
            QTest::keyClick(combo, Qt::Key_Tab);
            QVERIFY(!combo->hasFocus());
            QCOMPARE(combo->currentText(), typed);
            QCOMPARE(m_w->record().ComboBox1, typed);
        }
        QVERIFY(m_w->isModified());
    }

    // ---- Close query -----------------------------------------------------------------------

    void closeQuery_data()
    {
        QTest::addColumn<bool>("touched");
        QTest::addColumn<QList<int>>("answers"); // Messages::Answer
        QTest::addColumn<QString>("saveAs");     // name given to the save dialog, empty: cancel
        QTest::addColumn<bool>("closes");
        QTest::addColumn<bool>("saved");
        QTest::newRow("untouched") << false << QList<int>{} << QString() << true << false;
        QTest::newRow("Non") << true << QList<int>{Messages::No} << QString() << true << false;
        QTest::newRow("Annuler") << true << QList<int>{Messages::Cancel} << QString() << false << false;
        QTest::newRow("Oui, dialog cancelled") << true << QList<int>{Messages::Yes} << QString() << false << false;
        QTest::newRow("Oui, saved") << true << QList<int>{Messages::Yes} << u"auto"_qs << true << true;
    }
    void closeQuery()
    {
        QFETCH(bool, touched);
        QFETCH(QList<int>, answers);
        QFETCH(QString, saveAs);
        QFETCH(bool, closes);
        QFETCH(bool, saved);
        if (touched)
            QTest::keyClicks(edit(1), u"Peugeot"_qs);
        for (int a : answers)
            Messages::setNextAnswer(Messages::Answer(a));
        FileDialogs::setNextFileName(saveAs.isEmpty() ? QString() : path(saveAs));
        QCOMPARE(m_w->close(), closes);
        QCOMPARE(Messages::shown(), touched ? QStringList{u"question: Enregistrer changements dans  ?"_qs} : QStringList{});
        QCOMPARE(FileDialogs::asked(), answers.value(0, -1) == Messages::Yes ? QStringList{kVehicleFilter} : QStringList{});
        QCOMPARE(QFileInfo::exists(path(u"auto.vtr"_qs)), saved);
        QVERIFY(!QFileInfo::exists(path(u".vtr"_qs)));
    }

    void closeQueryNamesTheFile()
    {
        guitest::typeText(edit(1), u"Citroën"_qs);
        FileDialogs::setNextFileName(path(u"ma voiture.vtr"_qs));
        QVERIFY(m_w->Sauve(0));
        QTest::keyClicks(edit(2), u"2CV"_qs);
        Messages::setNextAnswer(Messages::Cancel);
        QVERIFY(!m_w->close());
        QCOMPARE(Messages::shown(), QStringList{u"question: Enregistrer changements dans ma voiture.vtr ?"_qs});
    }

    void failedSaveKeepsWindowOpen()
    {
        QTest::keyClicks(edit(1), u"Peugeot"_qs);
        Messages::setNextAnswer(Messages::Yes);
        FileDialogs::setNextFileName(path(u"auto"_qs));
        QDir(m_dir->path()).mkdir(u"auto.vtr"_qs); // a folder stands where the file should go
        QVERIFY(!m_w->close());
        QCOMPARE(Messages::shown().size(), 2);
        QVERIFY2(Messages::shown()[1].startsWith(u"error: Ne peut créer le fichier "_qs), qPrintable(Messages::shown()[1]));
        QVERIFY(m_w->isModified());
    }

    // ---- Saving and loading ----------------------------------------------------------------

    // "&Enregistrer" on an untouched document does nothing; "Enregistrer sous..." still asks
    // for a name and writes the copy.
    void untouchedDocumentSavesOnlyWhenAskedAs()
    {
        QVERIFY(m_w->Sauve(0));
        QVERIFY(FileDialogs::asked().isEmpty());
        QVERIFY(QDir(m_dir->path()).entryList(QDir::Files).isEmpty());
        FileDialogs::setNextFileName(path(u"copie"_qs));
        QVERIFY(m_w->Sauve(1));
        QCOMPARE(FileDialogs::asked(), QStringList{kVehicleFilter});
        QVERIFY(readFile(path(u"copie.vtr"_qs)).startsWith("[PAGE1]"));
        QVERIFY(!m_w->isModified());
    }

    void saveAsCancelledWritesNothing()
    {
        QTest::keyClicks(edit(1), u"Fiat"_qs);
        FileDialogs::setNextFileName(QString());
        QVERIFY(!m_w->Sauve(0));
        QVERIFY(m_w->isModified());
        QVERIFY(m_w->fileName().isEmpty());
        QVERIFY(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
    }

    // The question is about the file the save writes, ".vtr" added or put in place.
    void saveAsAsksAboutTheFileWritten()
    {
        QFile old(path(u"auto.vtr"_qs));
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("ancien");
        old.close();
        QTest::keyClicks(edit(1), u"Fiat"_qs);
        Messages::setNextAnswer(Messages::No);
        FileDialogs::setNextFileName(path(u"auto"_qs));
        QVERIFY(!m_w->Sauve(1));
        QCOMPARE(Messages::shown(), QStringList{u"question: auto.vtr existe déjà.\nVoulez-vous le remplacer ?"_qs});
        QCOMPARE(readFile(path(u"auto.vtr"_qs)), QByteArray("ancien"));
        QVERIFY(m_w->isModified());
    }

    void saveThenReopen()
    {
        VehicleRecord r = VehicleRecord::create(kToday);
        r.edit[1] = u"Renault"_qs;
        r.edit[4] = u"     85000.00"_qs;
        r.edit[6] = u"      3200.00"_qs;
        r.ComboBox1 = u"GPL"_qs;
        r.DateTimePicker2 = QDate(1998, 4, 1);
        r.Memo1 = QStringList{u"Première ligne"_qs, QString(), u"troisième"_qs};
        r.ListView1 = withFuel().ListView1;
        r.ListView2 = {{u"02/02/2026"_qs, u"Vidange"_qs, u"400.00"_qs, u"15000.00"_qs}};
        r.ListView3 = {{u"03/03/2026"_qs, u"Parking"_qs, u"12.00"_qs}};
        r.modified = true;
        m_w->setRecord(r);
        FileDialogs::setNextFileName(path(u"clio"_qs));
        QVERIFY(m_w->Sauve(0));
        QCOMPARE(FileDialogs::asked(), QStringList{kVehicleFilter});
        QCOMPARE(m_w->windowTitle(), u"clio"_qs);
        QCOMPARE(QFileInfo(m_w->fileName()).fileName(), u"clio.vtr"_qs);
        QVERIFY(!m_w->isModified());
        QVERIFY(!m_w->commentChanged());
        QVERIFY(!readFile(path(u"clio.vtr"_qs)).isEmpty());

        FakeFrame frame;
        TMDIChild reopened(&frame);
        reopened.showPage(TMDIChild::Garage);
        frame.calls.clear();
        reopened.charge(path(u"clio.vtr"_qs));
        QVERIFY(Messages::shown().isEmpty());
        QVERIFY(reopened.record().sameStoredContent(m_w->record()));
        QCOMPARE(reopened.record().edit[4], u"     85000.00"_qs);
        QCOMPARE(reopened.currentPage(), int(TMDIChild::Description));
        QCOMPARE(frame.calls.value(frame.calls.size() - 1), u"SetExport(0)"_qs);
        QVERIFY(!reopened.isModified());
        QVERIFY(!reopened.commentChanged());
        QCOMPARE(reopened.findChild<QPlainTextEdit *>(QStringLiteral("Memo1"))->toPlainText(),
                 u"Première ligne\n\ntroisième"_qs);
        QCOMPARE(reopened.findChild<QTableView *>(QStringLiteral("ListView1"))->model()->rowCount(), 3);
        QCOMPARE(reopened.findChild<QLineEdit *>(QStringLiteral("Edit25"))->text().trimmed(), u"7.00"_qs);

        // Saving again needs no dialog.
        QTest::keyClicks(edit(3), u"Moi"_qs);
        QVERIFY(m_w->Sauve(0));
        QCOMPARE(FileDialogs::asked().size(), 1);
    }

    void chargeFindsPictureInCurrentDirectory()
    {
        writePicture(path(u"auto.bmp"_qs), 120, 80);
        VehicleRecord r = VehicleRecord::create(kToday);
        r.Image1 = u"auto.bmp"_qs;
        r.modified = true;
        m_w->setRecord(r);
        FileDialogs::setNextFileName(path(u"a.vtr"_qs));
        QVERIFY(m_w->Sauve(0));

        TMDIChild found(nullptr);
        found.charge(path(u"a.vtr"_qs));
        QCOMPARE(found.picture().width(), 120);
        QCOMPARE(found.record().Image1, u"auto.bmp"_qs);

        // A picture gone keeps its name: the page says so, a save writes it back, and the
        // picture shows again once it is there.
        const QByteArray picture = readFile(path(u"auto.bmp"_qs));
        QFile::remove(path(u"auto.bmp"_qs));
        TMDIChild missing(nullptr);
        missing.charge(path(u"a.vtr"_qs));
        QVERIFY(missing.picture().isNull());
        QCOMPARE(missing.record().Image1, u"auto.bmp"_qs);
        QCOMPARE(missing.missingPicture(), u"auto.bmp"_qs);
        QCOMPARE(missing.findChild<QLabel *>(u"Image1"_qs)->text(), u"Image introuvable : auto.bmp"_qs);
        QVERIFY(Messages::shown().isEmpty());
        missing.findChild<QLineEdit *>(u"Edit1"_qs)->setText(u"Renault"_qs);
        QVERIFY(missing.Sauve(0));
        QVERIFY(readFile(path(u"a.vtr"_qs)).contains("[PAGE7]\r\nauto.bmp\r\n"));
        writeFile(path(u"auto.bmp"_qs), picture);
        missing.showPage(TMDIChild::Image);
        QCOMPARE(missing.picture().width(), 120);
        QVERIFY(missing.missingPicture().isEmpty());
        QVERIFY(!missing.isModified());
    }

    // Saved into another folder, a document takes its picture along: reopened from there it
    // shows the picture, and its name is still in the file.
    void saveAsIntoAnotherFolderKeepsThePicture()
    {
        writePicture(path(u"car.bmp"_qs), 120, 80);
        VehicleRecord r = VehicleRecord::create(kToday);
        r.Image1 = u"car.bmp"_qs;
        writeFile(path(u"a.vtr"_qs), vtrfile::encode(vtrfile::writeLines(r)));
        QDir(m_dir->path()).mkdir(u"autre"_qs);
        QDir(m_dir->path()).mkdir(u"troisieme"_qs);
        writePicture(path(u"troisieme/car.bmp"_qs), 30, 20); // another picture of that name

        m_w->charge(path(u"a.vtr"_qs));
        QCOMPARE(m_w->picture().width(), 120);
        QTest::keyClicks(edit(3), u"Moi"_qs);
        FileDialogs::setNextFileName(path(u"autre/b.vtr"_qs));
        QVERIFY(m_w->Sauve(1));
        QVERIFY(readFile(path(u"autre/b.vtr"_qs)).contains("[PAGE7]\r\ncar.bmp\r\n"));
        QCOMPARE(readFile(path(u"autre/car.bmp"_qs)), readFile(path(u"car.bmp"_qs)));

        TMDIChild reopened(nullptr);
        QDir::setCurrent(path(u"autre"_qs));
        reopened.charge(path(u"autre/b.vtr"_qs));
        QCOMPARE(reopened.picture().width(), 120);
        QCOMPARE(reopened.record().Image1, u"car.bmp"_qs);

        // A file of that name already in the folder is the user's: it is not replaced.
        QTest::keyClicks(edit(3), u"!"_qs);
        FileDialogs::setNextFileName(path(u"troisieme/c.vtr"_qs));
        QVERIFY(m_w->Sauve(1));
        QImage kept(path(u"troisieme/car.bmp"_qs));
        QCOMPARE(kept.width(), 30);
        QVERIFY(Messages::shown().isEmpty());
    }

    void chargeOfMissingFile()
    {
        const QString missing = path(u"absent.vtr"_qs);
        m_w->charge(missing);
        QCOMPARE(Messages::shown(), QStringList{u"error: Ne peut ouvrir le fichier "_qs + missing + u"."_qs});
        QCOMPARE(m_w->fileName(), missing);
        QVERIFY(m_w->isVisible());
    }

    // A load that stopped part-way holds only the start of its file: saving it must not replace
    // the file without the user choosing so.
    void partialLoadAsksForAName()
    {
        VehicleRecord r = VehicleRecord::create(kToday);
        r.edit[1] = u"Renault"_qs;
        r.ListView3 = {{u"01/03/2026"_qs, u"Parking"_qs, u"8.00"_qs}, {u"02/03/2026"_qs, u"Gare"_qs, u"5.00"_qs}};
        const QString file = path(u"cut.vtr"_qs);
        QVERIFY(vtrfile::save(r, file).ok);
        const QByteArray whole = readFile(file);
        const QByteArray cut = whole.left(whole.indexOf("Gare\r\n") + 6); // the last amount is missing
        writeFile(file, cut);

        m_w->setWindowTitle(file);
        m_w->charge(file);
        QCOMPARE(Messages::shown().size(), 1);
        QVERIFY2(Messages::shown()[0].startsWith(u"error: Index de liste hors limites"_qs), qPrintable(Messages::shown()[0]));
        QCOMPARE(m_w->windowTitle(), file);
        QCOMPARE(m_w->fileName(), file);
        QVERIFY(!m_w->isModified());
        auto *note = m_w->findChild<QLabel *>(QStringLiteral("LabelIncomplet"));
        QVERIFY(note && note->isVisible());
        QVERIFY(note->text().startsWith(u"Chargement incomplet"_qs));

        QTest::keyClicks(edit(2), u"Clio"_qs);
        FileDialogs::setNextFileName(QString());
        QVERIFY(!m_w->Sauve(0));
        Messages::setNextAnswer(Messages::Yes);
        FileDialogs::setNextFileName(QString());
        QVERIFY(!m_w->close());
        QCOMPARE(FileDialogs::asked(), (QStringList{kVehicleFilter, kVehicleFilter}));
        QCOMPARE(readFile(file), cut);
        QCOMPARE(m_w->windowTitle(), file);

        FileDialogs::setNextFileName(path(u"copie"_qs));
        QVERIFY(m_w->Sauve(0));
        QCOMPARE(m_w->windowTitle(), u"copie"_qs);
        QVERIFY(!note->isVisible());
        QCOMPARE(readFile(file), cut);
        QVERIFY(readFile(path(u"copie.vtr"_qs)).contains("Clio"));
        // From now on the document is whole under its new name.
        QTest::keyClicks(edit(3), u"Moi"_qs);
        QVERIFY(m_w->Sauve(0));
        QCOMPARE(FileDialogs::asked().size(), 3);
    }

    void exportFailureIsReported()
    {
        m_w->setRecord(withFuel());
        m_w->showPage(TMDIChild::Carburant);
        m_w->Exporte(path(u"no/such/folder/x.txt"_qs));
        QCOMPARE(Messages::shown().size(), 1);
        QVERIFY(Messages::shown().constFirst().startsWith(u"error: Ne peut créer le fichier "_qs));
        QVERIFY(!m_w->isModified());

        m_w->Exporte(path(u"fuel.txt"_qs));
        QVERIFY(readFile(path(u"fuel.txt"_qs)).startsWith("01/01/2026\tPlein\t200.00\t40.00\t10000.00\r\n"));
        m_w->showPage(TMDIChild::FraisKm);
        m_w->Exporte(path(u"fuel.txt"_qs));
        QVERIFY(QFileInfo::exists(path(u"fuel.txt"_qs)));
        QCOMPARE(readFile(path(u"fuel.txt"_qs)), QByteArray());
        QCOMPARE(Messages::shown().size(), 1);
        QVERIFY(!m_w->isModified());
    }
};

QTEST_MAIN(TestMDIChild)
#include "gui_mdichild.moc"
