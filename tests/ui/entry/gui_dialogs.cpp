// The three expense entry dialogs driven through their real widgets.
#include "guitest.h"
#include "platform/systemclock.h"
#include "ui/entry/TFCarbu.h"
#include "ui/entry/TFEntr.h"
#include "ui/entry/TStation.h"

#include <QApplication>
#include <QClipboard>
#include <QDateEdit>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;

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

const QDate kToday(2024, 3, 15);

QStringList labelTexts(const QDialog &d)
{
    QStringList out;
    for (int i = 1;; ++i) {
        auto *l = d.findChild<QLabel *>(QStringLiteral("Label%1").arg(i));
        if (!l)
            return out;
        out << l->text();
    }
}

// Shows the dialog and waits until it has the keyboard, as a modal dialog would.
void showActive(QDialog &d)
{
    d.show();
    d.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&d));
}

QString focusName()
{
    QWidget *w = QApplication::focusWidget();
    return w ? w->objectName() : QString();
}

} // namespace

class DialogsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        guitest::useSeams();
        platform::SystemClock::setFake(QDateTime(kToday, QTime(10, 0)));
    }

    void layout_data();
    void layout();
    void addFuelEntry();
    void changeEntryKeepsItsTexts();
    void cancelReturnsEmptyDate_data();
    void cancelReturnsEmptyDate();
    void invalidDateKeepsPicker();
    void parkingDescriptionCarriesOver();
    void tabOrder_data();
    void tabOrder();
    void numberFieldRules_data();
    void numberFieldRules();
    void okWithMouseFormatsFieldBeingLeft();
    void enterDoesNotClose();
    void okRefusesATextThatIsNoNumber_data();
    void okRefusesATextThatIsNoNumber();
    void everyOpeningStartsAtTheDate();
    void okRefusesADateThatIsNone();
    void wholeEntryTypedWithTheKeyboard_data();
    void wholeEntryTypedWithTheKeyboard();
    void descriptionDropsUnsavableCharacters();
    void numberFieldsFilterPasteAndDrop_data();
    void numberFieldsFilterPasteAndDrop();
};

void DialogsTest::layout_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QStringList>("labels");
    QTest::newRow("fuel") << u"TFCarbu"_s << u"Dépenses de carburant"_s << QSize(384, 175)
                          << QStringList{u"Date"_s, u"Description"_s, u"Montant"_s, u"Litres"_s, u"Compteur"_s};
    QTest::newRow("garage") << u"TFEntr"_s << u"Dépenses d'entretien"_s << QSize(384, 149)
                            << QStringList{u"Date"_s, u"Description"_s, u"Montant"_s, u"Compteur"_s};
    QTest::newRow("parking") << u"TStation"_s << u"Dépenses de stationnement"_s << QSize(384, 122)
                             << QStringList{u"Date"_s, u"Description"_s, u"Montant"_s};
}

static std::unique_ptr<TEntryDialog> makeDialog(const QString &kind)
{
    if (kind == u"TFCarbu")
        return std::make_unique<TFCarbu>();
    if (kind == u"TFEntr")
        return std::make_unique<TFEntr>();
    return std::make_unique<TStation>();
}

void DialogsTest::layout()
{
    QFETCH(QString, kind);
    QFETCH(QString, title);
    QFETCH(QSize, size);
    QFETCH(QStringList, labels);
    const auto d = makeDialog(kind);
    QCOMPARE(d->objectName(), kind);
    QCOMPARE(d->windowTitle(), title);
    QCOMPARE(labelTexts(*d), labels);
    QCOMPARE(d->Button1->text(), u"Annuler"_s);
    QCOMPARE(d->Button2->text(), u"OK"_s);
    QVERIFY(!d->Button1->autoDefault() && !d->Button2->autoDefault());
    QVERIFY(!d->accepted());

    showActive(*d);
    QCOMPARE(d->size(), size);
    QCOMPARE(d->minimumSize(), size);
    QCOMPARE(d->maximumSize(), size);
    QCOMPARE(focusName(), u"DateTimePicker1"_s);
    QVERIFY(d->DateTimePicker1->calendarPopup());
    QCOMPARE(d->DateTimePicker1->text(), u"15/03/2024"_s);
    // Every field lies inside the client area and no two controls overlap.
    const auto controls = d->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly);
    for (QWidget *a : controls) {
        QVERIFY2(d->rect().contains(a->geometry()), qPrintable(a->objectName()));
        for (QWidget *b : controls)
            QVERIFY2(a == b || !a->geometry().intersects(b->geometry()),
                     qPrintable(a->objectName() + u" / "_s + b->objectName()));
    }
}

void DialogsTest::addFuelEntry()
{
    TFCarbu d;
    d.Init({});
    QCOMPARE(d.DateTimePicker1->date(), kToday);
    for (QLineEdit *e : {d.Edit1, d.Edit2, d.Edit3, d.Edit4})
        QVERIFY(e->text().isEmpty());

    showActive(d);
    d.Edit1->setFocus();
    guitest::typeText(d.Edit1, u"Plein à Évry"_s);
    QTest::keyClick(&d, Qt::Key_Tab);
    QTest::keyClicks(d.Edit2, u"312,5"_s);
    QTest::keyClick(&d, Qt::Key_Tab);
    QTest::keyClicks(d.Edit3, u"45"_s);
    QTest::keyClick(&d, Qt::Key_Tab);
    QCOMPARE(d.Edit3->text(), u"45.00"_s);
    QTest::keyClicks(d.Edit4, u"123456"_s);
    QTest::keyClick(&d, Qt::Key_Tab); // Annuler
    QTest::keyClick(&d, Qt::Key_Tab); // OK
    QCOMPARE(focusName(), u"Button2"_s);
    QTest::keyClick(d.Button2, Qt::Key_Space);
    QVERIFY(!d.isVisible());
    QVERIFY(d.accepted());

    FuelEntry out{u"x"_s, u"x"_s, u"x"_s, u"x"_s, u"x"_s};
    d.Result(out);
    QCOMPARE(out, (FuelEntry{u"15/03/2024"_s, u"Plein à Évry"_s, u"312.50"_s, u"45.00"_s, u"123456.00"_s}));
}

void DialogsTest::changeEntryKeepsItsTexts()
{
    TFEntr d;
    d.Init({u"01/02/1999"_s, u"Vidange"_s, u"450.00"_s, u"not a number"_s});
    QCOMPARE(d.DateTimePicker1->date(), QDate(1999, 2, 1));
    QCOMPARE(d.Edit1->text(), u"Vidange"_s);
    QCOMPARE(d.Edit3->text(), u"not a number"_s);
    showActive(d);
    // A text that would count in no figure is not taken: it is shown as wrong and keeps the
    // focus until it is a number (or empty).
    QVERIFY(d.Edit3->property("wrongNumber").toBool());
    d.Button2->click();
    QVERIFY(d.isVisible());
    QVERIFY(!d.accepted());
    QCOMPARE(focusName(), u"Edit3"_s);
    QCOMPARE(d.Edit3->selectedText(), u"not a number"_s);
    QTest::keyClick(d.Edit3, Qt::Key_Delete);
    QVERIFY(!d.Edit3->property("wrongNumber").toBool());
    d.Button2->click();
    QVERIFY(!d.isVisible());
    GarageEntry out;
    d.Result(out);
    QCOMPARE(out, (GarageEntry{u"01/02/1999"_s, u"Vidange"_s, u"450.00"_s, QString()}));

    // A new entry after a change starts from empty fields again.
    d.Init({});
    QCOMPARE(d.DateTimePicker1->date(), kToday);
    QVERIFY(d.Edit1->text().isEmpty() && d.Edit2->text().isEmpty() && d.Edit3->text().isEmpty());
}

void DialogsTest::cancelReturnsEmptyDate_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("Annuler") << u"button"_s;
    QTest::newRow("Escape") << u"escape"_s;
    QTest::newRow("close box") << u"close"_s;
}

void DialogsTest::cancelReturnsEmptyDate()
{
    QFETCH(QString, how);
    TFCarbu d;
    // The previous use was accepted: a cancel must still report nothing.
    d.Init({});
    showActive(d);
    d.Button2->click();
    QVERIFY(d.accepted());

    d.Init({u"01/02/1999"_s, u"a"_s, u"1.00"_s, u"2.00"_s, u"3.00"_s});
    showActive(d);
    d.Edit1->setFocus();
    QTest::keyClicks(d.Edit1, u"bc"_s);
    if (how == u"button")
        QTest::mouseClick(d.Button1, Qt::LeftButton);
    else if (how == u"escape")
        QTest::keyClick(d.Edit1, Qt::Key_Escape);
    else
        QVERIFY(d.close());
    QVERIFY(!d.isVisible());
    QVERIFY(!d.accepted());

    FuelEntry out{u"d"_s, u"e"_s, u"f"_s, u"g"_s, u"h"_s};
    d.Result(out);
    QCOMPARE(out, (FuelEntry{QString(), u"e"_s, u"f"_s, u"g"_s, u"h"_s}));
}

void DialogsTest::invalidDateKeepsPicker()
{
    TStation d;
    d.Init({u"05/06/2001"_s, QString(), QString()});
    for (const QString &bad : {u"31/02/2001"_s, u"hier"_s, u"01/01/1500"_s}) {
        d.Init({bad, u"Parc"_s, u"3"_s});
        QCOMPARE(d.DateTimePicker1->date(), QDate(2001, 6, 5));
        QCOMPARE(d.Edit2->text(), u"3"_s);
    }
    d.Init({u"1/2/2003"_s, QString(), QString()});
    QCOMPARE(d.DateTimePicker1->date(), QDate(2003, 2, 1));
}

void DialogsTest::parkingDescriptionCarriesOver()
{
    TStation d;
    d.Init({});
    QCOMPARE(d.Edit1->text(), u"Parking"_s);
    QVERIFY(d.Edit2->text().isEmpty());

    showActive(d);
    d.Edit1->setFocus();
    d.Edit1->selectAll();
    QTest::keyClicks(d.Edit1, u"Gare"_s);
    QTest::keyClick(d.Edit1, Qt::Key_Tab);
    QTest::keyClicks(d.Edit2, u"8"_s);
    d.Button1->click(); // cancelled: the description is kept all the same

    d.Init({});
    QCOMPARE(d.Edit1->text(), u"Gare"_s);
    QVERIFY(d.Edit2->text().isEmpty());

    d.Init({u"02/02/2002"_s, u"Aéroport"_s, u"20.00"_s});
    QCOMPARE(d.Edit1->text(), u"Aéroport"_s);
    d.Init({u"02/02/2002"_s, QString(), u"5.00"_s});
    QCOMPARE(d.Edit1->text(), u"Aéroport"_s);
    QCOMPARE(d.Edit2->text(), u"5.00"_s);
}

void DialogsTest::tabOrder_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QStringList>("order");
    QTest::newRow("fuel") << u"TFCarbu"_s
                          << QStringList{u"Edit1"_s, u"Edit2"_s, u"Edit3"_s, u"Edit4"_s,
                                         u"Button1"_s, u"Button2"_s, u"DateTimePicker1"_s};
    QTest::newRow("garage") << u"TFEntr"_s
                            << QStringList{u"Edit1"_s, u"Edit2"_s, u"Button1"_s, u"Button2"_s,
                                           u"Edit3"_s, u"DateTimePicker1"_s};
    QTest::newRow("parking") << u"TStation"_s
                             << QStringList{u"Edit1"_s, u"Edit2"_s, u"Button1"_s, u"Button2"_s,
                                            u"DateTimePicker1"_s};
}

void DialogsTest::tabOrder()
{
    QFETCH(QString, kind);
    QFETCH(QStringList, order);
    const auto d = makeDialog(kind);
    showActive(*d);
    QCOMPARE(focusName(), u"DateTimePicker1"_s);
    QStringList seen;
    for (int i = 0; i < order.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        seen << focusName();
    }
    QCOMPARE(seen, order);
}

void DialogsTest::numberFieldRules_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("left");
    QTest::newRow("comma becomes point") << u"12,3"_s << u"12.3"_s << u"12.30"_s;
    QTest::newRow("letters and signs dropped") << u"a1b-2 e"_s << u"12"_s << u"12.00"_s;
    QTest::newRow("several points kept") << u"1.2.3"_s << u"1.2.3"_s << u"1.2.3"_s;
    QTest::newRow("accented letter") << u"é5"_s << u"5"_s << u"5.00"_s;
}

void DialogsTest::numberFieldRules()
{
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(QString, left);
    TFCarbu d;
    d.Init({});
    showActive(d);
    for (QLineEdit *e : {d.Edit2, d.Edit3, d.Edit4}) {
        e->setFocus();
        guitest::typeText(e, typed);
        QCOMPARE(e->text(), shown);
        QTest::keyClick(e, Qt::Key_Backspace);
        QCOMPARE(e->text(), shown.chopped(1));
        guitest::typeText(e, shown.right(1));
        QTest::keyClick(e, Qt::Key_Tab);
        QCOMPARE(e->text(), left);
    }
    // Leaving it again changes nothing; blanks only become empty.
    d.Edit2->setFocus();
    QTest::keyClick(d.Edit2, Qt::Key_Tab);
    QCOMPARE(d.Edit2->text(), left);
    d.Edit2->setText(u"   "_s);
    d.Edit2Exit();
    QCOMPARE(d.Edit2->text(), QString());
}

void DialogsTest::okWithMouseFormatsFieldBeingLeft()
{
    TStation d;
    d.Init({});
    showActive(d);
    d.Edit2->setFocus();
    QTest::keyClicks(d.Edit2, u"7"_s);
    QTest::mouseClick(d.Button2, Qt::LeftButton);
    QVERIFY(!d.isVisible());
    ParkingEntry out;
    d.Result(out);
    QCOMPARE(out[col::Montant], u"7.00"_s);

    // Even when "OK" acts while the number field still has the focus.
    TFEntr g;
    g.Init({});
    showActive(g);
    g.Edit3->setFocus();
    QTest::keyClicks(g.Edit3, u"9"_s);
    g.Button2Click();
    GarageEntry gout;
    g.Result(gout);
    QCOMPARE(gout[col::GarageCompteur], u"9.00"_s);
}

void DialogsTest::enterDoesNotClose()
{
    TFCarbu d;
    d.Init({});
    showActive(d);
    for (QWidget *w : std::initializer_list<QWidget *>{d.DateTimePicker1, d.Edit1, d.Edit2, d.Edit4}) {
        w->setFocus();
        QTest::keyClick(w, Qt::Key_Return);
        QTest::keyClick(w, Qt::Key_Enter, Qt::KeypadModifier);
        QVERIFY2(d.isVisible(), qPrintable(w->objectName()));
    }
    QVERIFY(!d.Button1->isDefault() && !d.Button2->isDefault());

    // A focused push button is pressed by Enter, as everywhere else.
    d.Button2->setFocus();
    QTest::keyClick(d.Button2, Qt::Key_Return);
    QVERIFY(!d.isVisible());
    QVERIFY(d.accepted());
}

void DialogsTest::okRefusesATextThatIsNoNumber_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("field");
    QTest::newRow("fuel amount") << u"TFCarbu"_s << u"Edit2"_s;
    QTest::newRow("fuel litres") << u"TFCarbu"_s << u"Edit3"_s;
    QTest::newRow("fuel odometer") << u"TFCarbu"_s << u"Edit4"_s;
    QTest::newRow("garage amount") << u"TFEntr"_s << u"Edit2"_s;
    QTest::newRow("garage odometer") << u"TFEntr"_s << u"Edit3"_s;
    QTest::newRow("parking amount") << u"TStation"_s << u"Edit2"_s;
}

void DialogsTest::okRefusesATextThatIsNoNumber()
{
    QFETCH(QString, kind);
    QFETCH(QString, field);
    const auto d = makeDialog(kind);
    showActive(*d);
    auto *e = d->findChild<QLineEdit *>(field);
    e->setFocus();
    QTest::keyClicks(e, u"1234.5.6"_s);
    d->Button2->setFocus(); // leaving the field keeps the text as typed
    QCOMPARE(e->text(), u"1234.5.6"_s);
    QTest::keyClick(d->Button2, Qt::Key_Space);
    QVERIFY(d->isVisible());
    QVERIFY(!d->accepted());
    QCOMPARE(focusName(), field);
    QVERIFY(e->property("wrongNumber").toBool());
    QVERIFY(!e->toolTip().isEmpty());
    // Typing over the selected text clears the mark; the number is taken.
    QTest::keyClicks(e, u"1234.56"_s);
    QVERIFY(!e->property("wrongNumber").toBool());
    QTest::mouseClick(d->Button2, Qt::LeftButton);
    QVERIFY(!d->isVisible());
    QVERIFY(d->accepted());
    QCOMPARE(e->text(), u"1234.56"_s);
}

// The date stays as typed and OK refuses it, with the focus on the date; the next opening
// shows a date again.
void DialogsTest::okRefusesADateThatIsNone()
{
    TStation d;
    d.Init({});
    showActive(d);
    QTest::keyClicks(d.DateTimePicker1, u"31/02/2026"_s);
    QTest::keyClick(d.DateTimePicker1, Qt::Key_Tab);
    QTest::mouseClick(d.Button2, Qt::LeftButton);
    QVERIFY(d.isVisible());
    QVERIFY(!d.accepted());
    QCOMPARE(focusName(), u"DateTimePicker1"_s);
    QVERIFY(d.DateTimePicker1->isWrong());
    QVERIFY(!d.DateTimePicker1->toolTip().isEmpty());
    QVERIFY(d.DateTimePicker1->text() != kToday.toString(u"dd/MM/yyyy"_s));
    // OK through the keyboard, the date still being typed, refuses it as well.
    QTest::keyClicks(d.DateTimePicker1, u"31/04/2024"_s);
    d.Button2Click();
    QVERIFY(d.isVisible());
    QTest::keyClick(d.DateTimePicker1, Qt::Key_Home);
    QTest::keyClicks(d.DateTimePicker1, u"30"_s);
    d.Button2Click();
    QVERIFY(!d.isVisible());
    ParkingEntry texts;
    d.Result(texts);
    QCOMPARE(texts[col::Date], u"30/04/2024"_s);

    d.Init({});
    QVERIFY(!d.DateTimePicker1->isWrong());
    QCOMPARE(d.DateTimePicker1->text(), kToday.toString(u"dd/MM/yyyy"_s));
}

void DialogsTest::everyOpeningStartsAtTheDate()
{
    TFCarbu d;
    d.Init({});
    showActive(d);
    QTest::mouseClick(d.Button1, Qt::LeftButton); // leaves the focus on "Annuler"
    QVERIFY(!d.isVisible());
    d.Init({});
    showActive(d);
    QCOMPARE(focusName(), u"DateTimePicker1"_s);
    QVERIFY(d.testAttribute(Qt::WA_KeyboardFocusChange)); // the focus is drawn
    // The day is ready to be typed over.
    QCOMPARE(d.DateTimePicker1->currentSectionIndex(), 0);
}

void DialogsTest::wholeEntryTypedWithTheKeyboard_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QStringList>("keys"); // "\t" stands for the Tab key
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("fuel") << u"TFCarbu"_s
                          << QStringList{u"20/11/2025"_s, u"\t"_s, u"Plein"_s, u"\t"_s, u"61,37"_s, u"\t"_s,
                                         u"35.2"_s, u"\t"_s, u"48210"_s}
                          << QStringList{u"20/11/2025"_s, u"Plein"_s, u"61.37"_s, u"35.20"_s, u"48210.00"_s};
    // Past "Montant" the Tab key visits the buttons before "Compteur".
    QTest::newRow("garage") << u"TFEntr"_s
                            << QStringList{u"2.3.2024"_s, u"\t"_s, u"Vidange"_s, u"\t"_s, u"89"_s, u"\t"_s,
                                           u"\t"_s, u"\t"_s, u"45120"_s}
                            << QStringList{u"02/03/2024"_s, u"Vidange"_s, u"89.00"_s, u"45120.00"_s};
    QTest::newRow("parking") << u"TStation"_s
                             << QStringList{u"05122026"_s, u"\t"_s, u"Gare"_s, u"\t"_s, u"3,5"_s}
                             << QStringList{u"05/12/2026"_s, u"Gare"_s, u"3.50"_s};
}

void DialogsTest::wholeEntryTypedWithTheKeyboard()
{
    QFETCH(QString, kind);
    QFETCH(QStringList, keys);
    QFETCH(QStringList, expected);
    const auto d = makeDialog(kind);
    if (auto *parking = qobject_cast<TStation *>(d.get()))
        parking->Edit1->clear();
    showActive(*d);
    for (const QString &k : keys) {
        if (k == u"\t")
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        else
            QTest::keyClicks(QApplication::focusWidget(), k);
    }
    QTest::mouseClick(d->Button2, Qt::LeftButton);
    QVERIFY(d->accepted());
    QStringList out;
    if (auto *f = qobject_cast<TFCarbu *>(d.get())) {
        FuelEntry e;
        f->Result(e);
        out = textsOf(e);
    } else if (auto *g = qobject_cast<TFEntr *>(d.get())) {
        GarageEntry e;
        g->Result(e);
        out = textsOf(e);
    } else {
        ParkingEntry e;
        static_cast<TStation *>(d.get())->Result(e);
        out = textsOf(e);
    }
    QCOMPARE(out, expected);
}

void DialogsTest::descriptionDropsUnsavableCharacters()
{
    TFEntr d;
    d.Init({});
    showActive(d);
    d.Edit1->setFocus();
    guitest::typeText(d.Edit1, u"Œuvre€ ✓ñ"_s);
    QCOMPARE(d.Edit1->text(), u"Œuvre€ ñ"_s);
    QCOMPARE(d.Edit1->cursorPosition(), d.Edit1->text().size());
}

void DialogsTest::numberFieldsFilterPasteAndDrop_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QStringList>("fields");
    QTest::newRow("fuel") << u"TFCarbu"_s << QStringList{u"Edit2"_s, u"Edit3"_s, u"Edit4"_s};
    QTest::newRow("garage") << u"TFEntr"_s << QStringList{u"Edit2"_s, u"Edit3"_s};
    QTest::newRow("parking") << u"TStation"_s << QStringList{u"Edit2"_s};
}

// Text that arrives otherwise than by a key goes through the same filter as typed keys.
void DialogsTest::numberFieldsFilterPasteAndDrop()
{
    QFETCH(QString, kind);
    QFETCH(QStringList, fields);
    const auto d = makeDialog(kind);
    showActive(*d);
    for (const QString &name : fields) {
        auto *e = d->findChild<QLineEdit *>(name);
        QVERIFY(e);
        e->setFocus();
        QTest::keyClicks(e, u"9"_s);
        QTest::keyClick(e, Qt::Key_Home);
        QApplication::clipboard()->setText(u"1,5 L\u2603x€2"_s);
        QTest::keyClick(e, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(e->text(), u"1.529"_s);
        QCOMPARE(e->cursorPosition(), 4);

        e->clear();
        QMimeData mime;
        mime.setText(u"Prix : 3,20 \u20ac"_s);
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(e, &enter);
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(e, &drop);
        QCOMPARE(e->text(), u"3.20"_s);

        QTest::keyClick(e, Qt::Key_Tab);
        QCOMPARE(e->text(), u"3.20"_s);
    }
}

QTEST_MAIN(DialogsTest)
#include "gui_dialogs.moc"
