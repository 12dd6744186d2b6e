// What is due in the document window: the grey lines on "Garage" and the bar at open, on a
// pinned today.
#include "guitest.h"

#include "core/reports/due.h"
#include "core/vehicle/vtrfile.h"
#include "platform/systemclock.h"
#include "ui/document/TMDIChild.h"
#include "ui/document/documentwindows.h"
#include "ui/entry/TFEntr.h"

#include <QDateEdit>
#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <memory>

using namespace Qt::StringLiterals;

namespace {
const QDate kToday(2026, 12, 1);

// Serviced at 40 000 km every 10 000 km, 39 500 km now; first registered 15/01/2023.
VehicleRecord serviced()
{
    VehicleRecord r = VehicleRecord::create(kToday);
    r.DateTimePicker2 = QDate(2023, 1, 15);
    r.edit[24] = u"   10000.00"_s;
    r.ListView2 = {{u"01/06/2026"_s, u"Révision"_s, u"300.00"_s, u"30000.00"_s},
                   {u"01/07/2026"_s, u"Pneus"_s, u"400.00"_s, u"31000.00"_s}};
    r.ListView1 = {{u"01/09/2026"_s, u"Plein"_s, u"60.00"_s, u"40.00"_s, u"39500.00"_s}};
    return r;
}
} // namespace

class TestDueNotes : public QObject {
    Q_OBJECT

    TMDIChild *m_w = nullptr;
    std::unique_ptr<QTemporaryDir> m_dir;

    QLineEdit *edit(const QString &name) const { return m_w->findChild<QLineEdit *>(name); }
    QLineEdit *serviceLine() const { return edit(u"EditEntretien"_s); }
    QLineEdit *inspectionLine() const { return edit(u"EditControle"_s); }
    QWidget *bar() const { return m_w->findChild<QWidget *>(u"BarreEcheances"_s); }
    QString barText() const { return m_w->findChild<QLabel *>(u"LabelEcheances"_s)->text(); }
    // What the page "Garage" shows under the interval (whichever page is up).
    QStringList shownLines() const
    {
        QStringList out;
        for (QLineEdit *l : {serviceLine(), inspectionLine()})
            if (!l->isHidden())
                out << l->text();
        return out;
    }
    void typeAndLeave(int field, const QString &text)
    {
        QLineEdit *e = edit(u"Edit%1"_s.arg(field));
        e->selectAll();
        if (text.isEmpty())
            QTest::keyClick(e, Qt::Key_Backspace);
        QTest::keyClicks(e, text);
        QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
        QCoreApplication::sendEvent(e, &out);
    }
    // A new entry (row -1), or a change of the entry in `row`, through the garage dialog.
    void addGarageEntry(const QDate &date, const QStringList &texts, int row = -1)
    {
        m_w->showPage(TMDIChild::Garage);
        auto *view = m_w->findChild<QTableView *>(u"ListView2"_s);
        view->clearSelection();
        if (row >= 0)
            view->selectRow(row);
        guitest::onNextModal([&](QDialog *d) {
            d->findChild<QDateEdit *>(u"DateTimePicker1"_s)->setDate(date);
            for (int i = 0; i < texts.size(); ++i)
                d->findChild<QLineEdit *>(u"Edit%1"_s.arg(i + 1))->setText(texts[i]);
            d->findChild<QPushButton *>(u"Button2"_s)->click();
        });
        const QPoint below = row >= 0 ? view->visualRect(view->model()->index(row, 1)).center()
                                      : QPoint(20, view->viewport()->height() - 5);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, below);
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, below);
    }
    QString save(const VehicleRecord &r, const QString &name)
    {
        const QString path = m_dir->filePath(name);
        [&] { QVERIFY(vtrfile::save(r, path).ok); }();
        return path;
    }

private Q_SLOTS:
    void initTestCase()
    {
        guitest::useSeams();
        documentWindows().FEntr = new TFEntr;
    }

    void init()
    {
        guitest::useSeams();
        platform::SystemClock::setFake(QDateTime(kToday, QTime(10, 0)));
        m_dir = std::make_unique<QTemporaryDir>();
        m_w = new TMDIChild(nullptr);
        m_w->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_w));
    }

    void cleanup()
    {
        delete m_w;
        m_w = nullptr;
        m_dir.reset();
    }

    void linesFollowTheirInputs()
    {
        m_w->showPage(TMDIChild::Garage);
        QCOMPARE(shownLines(), QStringList{u"Contrôle technique : avant le 01/12/2030"_s});
        QVERIFY(inspectionLine()->isReadOnly() && !(inspectionLine()->focusPolicy() & Qt::TabFocus));
        QCOMPARE(inspectionLine()->palette().color(QPalette::Base), inspectionLine()->palette().color(QPalette::Window));

        typeAndLeave(24, u"15000"_s);
        QCOMPARE(shownLines().value(0), u"Prochain entretien : à 15 000 km"_s);
        m_w->showPage(TMDIChild::Valeur);
        typeAndLeave(21, u"14500"_s);
        QCOMPARE(serviceLine()->text(), u"Prochain entretien : à 15 000 km, dans 500 km"_s);
        typeAndLeave(21, u"15300"_s);
        QCOMPARE(serviceLine()->text(), u"Entretien dépassé de 300 km"_s);

        m_w->showPage(TMDIChild::Description);
        m_w->findChild<QDateEdit *>(u"DateTimePicker2"_s)->setDate(QDate(2020, 3, 15));
        QCOMPARE(inspectionLine()->text(), u"Contrôle technique dépassé depuis le 15/03/2024"_s);

        m_w->showPage(TMDIChild::Garage);
        typeAndLeave(24, QString()); // emptied: no service line
        QCOMPARE(shownLines(), QStringList{u"Contrôle technique dépassé depuis le 15/03/2024"_s});
        // Nothing of it is the user's change, nor is it stored.
        QVERIFY(!vtrfile::writeLines(m_w->record()).join(u'\n').contains(u"Contrôle"_s));
        QVERIFY(!bar()->isVisibleTo(m_w)); // only a document that comes in gets the bar
    }

    void ledgerChangesRecompute()
    {
        m_w->setRecord(serviced());
        m_w->showPage(TMDIChild::Garage);
        // The last service is the "Révision" at 30 000 km, "Pneus" do not count; 9 500 km in
        // 92 days make the 500 km left 5 days.
        QCOMPARE(shownLines(), (QStringList{u"Prochain entretien : à 40 000 km, dans 500 km (vers le 06/12/2026)"_s,
                                           u"Contrôle technique : avant le 15/01/2027"_s}));
        QCOMPARE(barText(), shownLines().join(u'\n'));
        QVERIFY(bar()->isVisible());

        addGarageEntry(QDate(2026, 11, 30), {u"Vidange"_s, u"90"_s, u"39600"_s});
        QCOMPARE(m_w->record().ListView2.size(), std::size_t(3));
        QCOMPARE(serviceLine()->text(), u"Prochain entretien : à 49 600 km, dans 10 000 km (vers le 09/06/2027)"_s);
        // The bar keeps only what still needs attention.
        QCOMPARE(barText(), u"Contrôle technique : avant le 15/01/2027"_s);
        addGarageEntry(QDate(2026, 11, 30), {u"Contrôle technique"_s, u"80"_s, u"39600"_s});
        QCOMPARE(inspectionLine()->text(), u"Contrôle technique : avant le 30/11/2028"_s);
        QVERIFY(!bar()->isVisible());

        // Deleting the service brings the old one back.
        auto *view = m_w->findChild<QTableView *>(u"ListView2"_s);
        view->selectRow(2);
        m_w->Supprime();
        QCOMPARE(serviceLine()->text(), u"Prochain entretien : à 40 000 km, dans 400 km (vers le 09/12/2026)"_s);
        QVERIFY(!bar()->isVisible()); // it came with the document, it does not come back by itself

        // The old service changed in place.
        addGarageEntry(QDate(2026, 6, 1), {u"Révision"_s, u"300"_s, u"35000"_s}, 0);
        QCOMPARE(m_w->record().ListView2[0][3], u"35000"_s);
        QVERIFY(serviceLine()->text().startsWith(u"Prochain entretien : à 45 000 km, dans 5 400 km"_s));

        // What the window kept of each entry along the way gives what the record gives.
        const due::Report fresh = due::compute(m_w->record(), kToday);
        QCOMPARE(shownLines(), (QStringList{due::sentence(fresh.reminders[0]), due::sentence(fresh.reminders[1])}));
    }

    void barAtOpen()
    {
        m_w->charge(save(serviced(), u"a.vtr"_s));
        QVERIFY(bar()->isVisible());
        QCOMPARE(barText(), u"Prochain entretien : à 40 000 km, dans 500 km (vers le 06/12/2026)\nContrôle technique : avant le 15/01/2027"_s);
        auto *close = m_w->findChild<QToolButton *>(u"BoutonFermerEcheances"_s);
        QVERIFY(close && !close->toolTip().isEmpty());
        QTest::mouseClick(close, Qt::LeftButton);
        QVERIFY(!bar()->isVisible());
        QVERIFY(!m_w->isModified());

        // The same file, seen on 02/06/2026 without its fuel: nothing due soon, no bar, and no
        // pace from a single reading (the one of July is still to come).
        platform::SystemClock::setFake(QDateTime(QDate(2026, 6, 2), QTime(10, 0)));
        VehicleRecord later = serviced();
        later.ListView1.clear();
        delete m_w;
        m_w = new TMDIChild(nullptr);
        m_w->show();
        m_w->charge(save(later, u"b.vtr"_s));
        QVERIFY(!bar()->isVisible());
        QCOMPARE(shownLines(), (QStringList{u"Prochain entretien : à 40 000 km, dans 9 000 km"_s,
                                           u"Contrôle technique : avant le 15/01/2027"_s}));
    }

    // A load that stops part-way shows its own bar; reminders of half a file would mislead.
    void noBarForAPartialLoad()
    {
        const QString path = save(serviced(), u"cut.vtr"_s);
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadWrite));
        const QByteArray bytes = f.readAll();
        f.resize(bytes.indexOf("[/PAGE3]"));
        f.close();
        m_w->charge(path);
        QVERIFY(m_w->findChild<QLabel *>(u"LabelIncomplet"_s)->isVisible());
        QVERIFY(!bar()->isVisible());
    }
};

QTEST_MAIN(TestDueNotes)
#include "gui_due.moc"
