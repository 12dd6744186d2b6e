// Undo and redo in the document window: every kind of step, the figures recomputed, the
// modified flag back to the saved state, and the pickers that hold a date that is not one.
#include "guitest.h"

#include "core/vehicle/vtrfile.h"
#include "platform/filedialogs.h"
#include "platform/systemclock.h"
#include "ui/document/TMDIChild.h"
#include "ui/document/documentframe.h"
#include "ui/document/documentwindows.h"
#include "ui/entry/TFCarbu.h"
#include "ui/entry/TFEntr.h"
#include "ui/entry/TStation.h"
#include "ui/widgets/TDatePicker.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QImage>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusTipEvent>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QUndoStack>

#include <memory>

using namespace Qt::StringLiterals;

namespace {
const QDate kToday(2026, 12, 9);

struct QuietFrame : DocumentFrame {
    void SetSup(bool) override {}
    void SetExport(bool) override {}
};

// Keeps the status tips a window sends up, as the frame's status bar would show them.
struct TipCatcher : QObject {
    QStringList tips;
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == QEvent::StatusTip)
            tips << static_cast<QStatusTipEvent *>(e)->tip();
        return false;
    }
};

VehicleRecord threeFillUps()
{
    VehicleRecord r = VehicleRecord::create(kToday);
    r.ListView1 = {{u"01/01/2026"_s, u"Plein"_s, u"200.00"_s, u"40.00"_s, u"10000.00"_s},
                   {u"15/01/2026"_s, u"Plein"_s, u"150.00"_s, u"30.00"_s, u"10500.00"_s},
                   {u"01/02/2026"_s, u"Plein"_s, u"100.00"_s, u"20.00"_s, u"11000.00"_s}};
    r.ListView3 = {{u"03/03/2026"_s, u"Gare"_s, u"12.00"_s}};
    return r;
}
} // namespace

class UndoTest : public QObject {
    Q_OBJECT

    QuietFrame m_frame;
    TMDIChild *m_w = nullptr;
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_startDir;

    QLineEdit *edit(int n) const { return m_w->findChild<QLineEdit *>(u"Edit%1"_s.arg(n)); }
    QTableView *ledger(int n) const { return m_w->findChild<QTableView *>(u"ListView%1"_s.arg(n)); }
    QUndoStack *stack() const { return m_w->undoStack(); }
    void leave(QWidget *w)
    {
        QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
        QCoreApplication::sendEvent(w, &out);
    }
    void typeInto(int field, int page, const QString &text)
    {
        m_w->showPage(page);
        edit(field)->setFocus();
        edit(field)->selectAll();
        QTest::keyClicks(edit(field), text);
        leave(edit(field));
    }
    // Loads a record as a file the window reads, so that it starts saved.
    void load(const VehicleRecord &r)
    {
        const QString path = m_dir->filePath(u"auto.vtr"_s);
        QVERIFY(vtrfile::save(r, path).ok);
        m_w->charge(path);
        QVERIFY(!m_w->isModified());
    }
    QStringList fuelDates() const
    {
        QStringList out;
        for (const auto &e : m_w->record().ListView1)
            out << e[col::Date];
        return out;
    }

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
        m_dir = std::make_unique<QTemporaryDir>();
        QDir::setCurrent(m_dir->path());
        m_w = new TMDIChild(&m_frame);
        m_w->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_w));
    }
    void cleanup()
    {
        delete m_w;
        m_w = nullptr;
        QDir::setCurrent(m_startDir);
        m_dir.reset();
    }

    // Add, change and delete in a ledger, each undone and redone, the fuel figures following.
    void ledgerSteps()
    {
        load(threeFillUps());
        m_w->showPage(TMDIChild::Carburant);
        const QString consumption = edit(25)->text();

        // Deleted with the Delete key, as the eraser does: no question, one step.
        ledger(1)->setFocus();
        ledger(1)->selectRow(1);
        QTest::keyClick(ledger(1), Qt::Key_Delete);
        QCOMPARE(fuelDates(), (QStringList{u"01/01/2026"_s, u"01/02/2026"_s}));
        QVERIFY(edit(25)->text() != consumption);
        QCOMPARE(stack()->undoText(), u"la suppression de l'écriture"_s);
        m_w->Annule();
        QCOMPARE(fuelDates(), (QStringList{u"01/01/2026"_s, u"15/01/2026"_s, u"01/02/2026"_s}));
        QCOMPARE(edit(25)->text(), consumption);
        QVERIFY(!m_w->isModified()); // back to the state read from the file
        m_w->Retablit();
        QCOMPARE(fuelDates().size(), 2);
        QVERIFY(m_w->isModified());
        m_w->Annule();

        // Added through the dialog (Insert), then changed in place.
        guitest::onNextModal([](QDialog *d) {
            d->findChild<QLineEdit *>(u"Edit1"_s)->setText(u"Plein"_s);
            d->findChild<QLineEdit *>(u"Edit2"_s)->setText(u"90.00"_s);
            d->findChild<QPushButton *>(u"Button2"_s)->click();
        });
        ledger(1)->setFocus();
        QTest::keyClick(ledger(1), Qt::Key_Insert);
        QCOMPARE(fuelDates().size(), 4);
        QCOMPARE(stack()->undoText(), u"l'ajout de l'écriture"_s);
        guitest::onNextModal([](QDialog *d) {
            d->findChild<QLineEdit *>(u"Edit1"_s)->setText(u"Demi-plein"_s);
            d->findChild<QPushButton *>(u"Button2"_s)->click();
        });
        ledger(1)->selectRow(0);
        QTest::keyClick(ledger(1), Qt::Key_Return);
        QCOMPARE(m_w->record().ListView1[0][col::Description], u"Demi-plein"_s);
        QCOMPARE(stack()->undoText(), u"la modification de l'écriture"_s);
        m_w->Annule();
        QCOMPARE(m_w->record().ListView1[0][col::Description], u"Plein"_s);
        m_w->Annule();
        QCOMPARE(fuelDates().size(), 3);
        QVERIFY(!m_w->isModified());
        m_w->Retablit();
        m_w->Retablit();
        QCOMPARE(m_w->record().ListView1[3][col::Montant], u"90.00"_s);
        QCOMPARE(m_w->record().ListView1[0][col::Description], u"Demi-plein"_s);
        QVERIFY(!stack()->canRedo());
    }

    // A parking date edited in place is a step; undone from another page, its ledger comes up.
    void inPlaceDateEdit()
    {
        load(threeFillUps());
        m_w->showPage(TMDIChild::Stationnement);
        QAbstractItemModel *model = ledger(3)->model();
        QVERIFY(model->setData(model->index(0, 0), u"04/03/2026"_s));
        QCOMPARE(stack()->undoText(), u"la modification de la date"_s);
        m_w->showPage(TMDIChild::Description);
        m_w->Annule();
        QCOMPARE(m_w->record().ListView3[0][col::Date], u"03/03/2026"_s);
        QCOMPARE(m_w->currentPage(), int(TMDIChild::Stationnement));
    }

    // One step per field left, named by its label; the totals follow undo and redo.
    void fieldSteps()
    {
        typeInto(1, TMDIChild::Description, u"Renault"_s);
        QCOMPARE(stack()->count(), 1);
        QCOMPARE(stack()->undoText(), QString::fromUtf16(u"la modification de «\u00a0Marque\u00a0»"));
        typeInto(5, TMDIChild::FraisKm, u"1200"_s);
        typeInto(6, TMDIChild::FraisKm, u"3000"_s);
        QCOMPARE(edit(11)->text().trimmed(), u"4200.00"_s);
        QCOMPARE(stack()->count(), 3);
        m_w->Annule();
        QCOMPARE(edit(6)->text(), QString());
        QCOMPARE(edit(11)->text().trimmed(), u"1200.00"_s);
        m_w->Annule();
        m_w->Annule();
        QCOMPARE(edit(1)->text(), QString());
        QVERIFY(!m_w->isModified()); // a new document, back as it was made
        m_w->Retablit();
        QCOMPARE(edit(1)->text(), u"Renault"_s);
        QVERIFY(m_w->isModified());

        // What is being typed is a step of its own when the menu undoes before the field is left.
        edit(2)->setFocus();
        QTest::keyClicks(edit(2), u"Clio"_s);
        m_w->Annule();
        QCOMPARE(edit(2)->text(), QString());
        QCOMPARE(edit(1)->text(), u"Renault"_s);

        // The vehicle type chosen in the list, and a date, each a step recomputing the resale price.
        m_w->showPage(TMDIChild::Valeur);
        auto *type = m_w->findChild<QComboBox *>(u"ComboBox1"_s);
        type->setCurrentIndex(1);
        emit type->activated(1);
        QCOMPARE(stack()->undoText(),
                 QString::fromUtf16(u"la modification de «\u00a0Type de véhicule\u00a0»"));
        auto *valued = m_w->findChild<TDatePicker *>(u"DateTimePicker3"_s);
        valued->setFocus();
        valued->setDate(QDate(2020, 5, 1));
        leave(valued);
        QCOMPARE(m_w->record().DateTimePicker3, QDate(2020, 5, 1));
        m_w->Annule();
        QCOMPARE(m_w->record().DateTimePicker3, kToday);
        QCOMPARE(valued->date(), kToday);
        m_w->Annule();
        QCOMPARE(m_w->record().ComboBox1, u"Essence"_s);
    }

    // The comment: typing, cut and paste are each a step.
    void commentSteps()
    {
        m_w->showPage(TMDIChild::Commentaire);
        auto *memo = m_w->findChild<QPlainTextEdit *>(u"Memo1"_s);
        memo->setFocus();
        QTest::keyClicks(memo, u"Pneus neufs"_s);
        leave(memo);
        QCOMPARE(stack()->undoText(), u"la modification du commentaire"_s);
        QTextCursor c = memo->textCursor();
        c.setPosition(0);
        c.setPosition(6, QTextCursor::KeepAnchor);
        memo->setTextCursor(c);
        m_w->Couper();
        QCOMPARE(memo->toPlainText(), u"neufs"_s);
        QCOMPARE(stack()->undoText(), u"la coupe dans le commentaire"_s);
        memo->moveCursor(QTextCursor::End);
        m_w->Coller();
        QCOMPARE(memo->toPlainText(), u"neufsPneus "_s);
        QCOMPARE(stack()->undoText(), u"le collage dans le commentaire"_s);
        m_w->Annule();
        QCOMPARE(memo->toPlainText(), u"neufs"_s);
        m_w->Annule();
        QCOMPARE(memo->toPlainText(), u"Pneus neufs"_s);
        QCOMPARE(m_w->record().Memo1, QStringList{u"Pneus neufs"_s});
        m_w->Annule();
        QCOMPARE(memo->toPlainText(), QString());
        QVERIFY(!m_w->hasUnsavedChanges());
    }

    void pictureStep()
    {
        QImage image(100, 60, QImage::Format_RGB32);
        image.fill(Qt::blue);
        QVERIFY(image.save(m_dir->filePath(u"car.bmp"_s)));
        platform::FileDialogs::setNextFileName(m_dir->filePath(u"car.bmp"_s));
        m_w->showPage(TMDIChild::Image);
        m_w->findChild<QPushButton *>(u"Button1"_s)->click();
        QCOMPARE(m_w->picture().width(), 100);
        QCOMPARE(stack()->undoText(), u"le changement d'image"_s);
        m_w->Annule();
        QVERIFY(m_w->picture().isNull());
        QVERIFY(m_w->record().Image1.isEmpty());
        m_w->Retablit();
        QCOMPARE(m_w->record().Image1, u"car.bmp"_s);
    }

    // Saving moves the clean state: undo after a save marks the document changed again.
    void saveMovesTheCleanState()
    {
        typeInto(1, TMDIChild::Description, u"Fiat"_s);
        platform::FileDialogs::setNextFileName(m_dir->filePath(u"fiat.vtr"_s));
        QVERIFY(m_w->Sauve(0));
        QVERIFY(!m_w->isModified());
        m_w->Annule();
        QVERIFY(m_w->isModified());
        QCOMPARE(edit(1)->text(), QString());
        m_w->Retablit();
        QVERIFY(!m_w->isModified());
        // A fresh load forgets the steps of what was there before.
        m_w->charge(m_dir->filePath(u"fiat.vtr"_s));
        QVERIFY(!stack()->canUndo());
    }

    // In the document window a date that is not one keeps the last valid date, and the status
    // bar says so; nothing of it is a step.
    void pickerKeepsItsLastValidDate()
    {
        TipCatcher catcher;
        m_w->installEventFilter(&catcher);
        auto *first = m_w->findChild<TDatePicker *>(u"DateTimePicker2"_s);
        first->setFocus();
        QTest::keyClick(first, Qt::Key_Home);
        QTest::keyClicks(first, u"31/02/2026"_s);
        QTest::keyClick(first, Qt::Key_Tab);
        QVERIFY(first->isWrong());
        QCOMPARE(first->text(), u"31/02/2026"_s);
        QCOMPARE(m_w->record().DateTimePicker2, kToday);
        QCOMPARE(catcher.tips,
                 QStringList{u"La date 31/02/2026 n'existe pas : le document garde le 09/12/2026."_s});
        QVERIFY(!stack()->canUndo());
        m_w->removeEventFilter(&catcher);
    }
};

QTEST_MAIN(UndoTest)
#include "gui_undo.moc"
