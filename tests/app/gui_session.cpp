// One user session through the whole program: the frame and every single window as start-up makes
// them, driven through the menu commands, the document window's fields and the entry dialogs.
#include "app/TMainForm.h"
#include "app/startup.h"
#include "guitest.h"
#include "platform/filedialogs.h"
#include "platform/messages.h"
#include "platform/systemclock.h"
#include "ui/document/TMDIChild.h"
#include "ui/reports/TStats.h"
#include "ui/widgets/TLedgerView.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

using platform::FileDialogs;
using platform::Messages;

namespace {

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Types into a field as the user does: focus, keys, then Tab to leave it (which runs its exit).
void typeInto(QLineEdit *edit, const QString &text)
{
    QVERIFY2(edit, "no such field");
    // A window shown or activated a moment ago may take the focus only once its activation is
    // through, which on a loaded machine comes later.
    for (int attempt = 0; attempt < 100 && !edit->hasFocus(); ++attempt) {
        edit->setFocus(Qt::TabFocusReason);
        if (!edit->hasFocus())
            QTest::qWait(10);
    }
    QVERIFY2(edit->hasFocus(), qPrintable(edit->objectName()));
    edit->selectAll();
    guitest::typeText(edit, text);
    QTest::keyClick(edit, Qt::Key_Tab);
}

// Answers an entry dialog: date, then the fields Edit1.. in order (a null text leaves the field
// as it is), then "OK". `seen` receives the texts the dialog showed when it came up.
void answerEntryDialog(const QDate &date, const QStringList &texts, QStringList *seen = nullptr)
{
    guitest::onNextModal([=](QDialog *dialog) {
        auto *picker = dialog->findChild<QDateEdit *>(QStringLiteral("DateTimePicker1"));
        if (seen && picker)
            *seen << picker->date().toString(QStringLiteral("dd/MM/yyyy"));
        for (int i = 0; i < texts.size(); ++i) {
            auto *edit = dialog->findChild<QLineEdit *>(QStringLiteral("Edit%1").arg(i + 1));
            if (seen && edit)
                *seen << edit->text();
            if (edit && !texts[i].isNull())
                typeInto(edit, texts[i]);
        }
        if (picker)
            picker->setDate(date);
        QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("Button2")), Qt::LeftButton);
    });
}

// A double-click below the entries: with nothing selected, a new entry.
void doubleClickEmptyPart(TLedgerView *view)
{
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, QPoint(20, view->viewport()->height() - 5));
}

void doubleClickEntry(TLedgerView *view, int row)
{
    const QPoint at = view->visualRect(view->model()->index(row, 1)).center();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
}

} // namespace

class SessionTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        startup::prepareApplication(*qApp);
        guitest::useSeams();
        platform::SystemClock::setFake(QDateTime(QDate(2024, 3, 5), QTime(10, 30)));
        m_home = QDir::currentPath();
    }
    void cleanupTestCase()
    {
        platform::SystemClock::clearFake();
        QDir::setCurrent(m_home);
    }

    void newFillSaveReopenQuit();

private:
    QString m_home;
};

void SessionTest::newFillSaveReopenQuit()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(QFile::copy(QStringLiteral(TEV_TEST_DATA "/pictures/car.bmp"), dir.filePath(QStringLiteral("car.bmp"))));
    QVERIFY(QDir::setCurrent(dir.path()));

    std::unique_ptr<TMainForm> frame(startup::createWindows());
    TMainForm &f = *frame;
    f.show();
    QVERIFY(QTest::qWaitForWindowActive(&f));

    // New document.
    f.FileNewItem->trigger();
    QCOMPARE(f.documentCount(), 1);
    TMDIChild *doc = f.activeChild();
    QVERIFY(doc);
    QCOMPARE(doc->windowTitle(), QStringLiteral("VOITURE1"));
    auto *pages = doc->findChild<QTabWidget *>(QStringLiteral("PageControl1"));
    auto field = [doc](int n) { return doc->findChild<QLineEdit *>(QStringLiteral("Edit%1").arg(n)); };
    auto picker = [doc](int n) { return doc->findChild<QDateEdit *>(QStringLiteral("DateTimePicker%1").arg(n)); };

    // Description.
    typeInto(field(1), QStringLiteral("Citroën"));
    typeInto(field(2), QStringLiteral("Xsara Break"));
    typeInto(field(3), QStringLiteral("Hélène Müller"));
    picker(1)->setDate(QDate(2019, 7, 2));
    picker(2)->setDate(QDate(2019, 6, 15));
    typeInto(field(4), QStringLiteral("89900,5"));
    QCOMPARE(doc->record().edit[1], QStringLiteral("Citroën"));
    QCOMPARE(doc->record().edit[3], QStringLiteral("Hélène Müller"));
    QCOMPARE(field(4)->text().trimmed(), QStringLiteral("89900.50"));
    QVERIFY(field(4)->text().startsWith(QLatin1Char(' ')));
    QVERIFY(doc->isModified());

    // Garage interval, fixed costs and running costs.
    pages->setCurrentIndex(TMDIChild::Garage);
    typeInto(field(24), QStringLiteral("15000"));
    pages->setCurrentIndex(TMDIChild::FraisKm);
    const QList<std::pair<int, QString>> costs{{5, QStringLiteral("1200")},  {6, QStringLiteral("3450,75")},
                                               {7, QStringLiteral("380")},   {8, QStringLiteral("9000")},
                                               {9, QStringLiteral("2100,5")}, {10, QStringLiteral("0")},
                                               {13, QStringLiteral("6,5")},  {14, QStringLiteral("6,8")},
                                               {15, QStringLiteral("1800")}, {16, QStringLiteral("450")},
                                               {17, QStringLiteral("40000")}};
    for (const auto &[n, text] : costs)
        typeInto(field(n), text);
    QCOMPARE(field(6)->text().trimmed(), QStringLiteral("3450.75"));

    // Valuation, with "Diesel".
    pages->setCurrentIndex(TMDIChild::Valeur);
    picker(3)->setDate(QDate(2024, 3, 1));
    typeInto(field(19), QStringLiteral("52000"));
    typeInto(field(20), QStringLiteral("3000"));
    typeInto(field(21), QStringLiteral("61000"));
    typeInto(field(22), QStringLiteral("6"));
    const QString essencePrice = field(23)->text();
    auto *type = doc->findChild<QComboBox *>(QStringLiteral("ComboBox1"));
    type->setCurrentIndex(type->findText(QStringLiteral("Diesel")));
    QCOMPARE(doc->record().ComboBox1, QStringLiteral("Diesel"));
    QVERIFY(field(23)->text() != essencePrice);

    // Comment.
    pages->setCurrentIndex(TMDIChild::Commentaire);
    auto *memo = doc->findChild<QPlainTextEdit *>(QStringLiteral("Memo1"));
    memo->setFocus(Qt::TabFocusReason);
    guitest::typeText(memo, QStringLiteral("Révision à prévoir avant l'été."));
    QTest::keyClick(memo, Qt::Key_Return);
    guitest::typeText(memo, QStringLiteral("Pneus neufs à l'avant."));

    // Picture, from the current directory.
    pages->setCurrentIndex(TMDIChild::Image);
    FileDialogs::setNextFileName(dir.filePath(QStringLiteral("car.bmp")));
    QTest::mouseClick(doc->findChild<QPushButton *>(QStringLiteral("Button1")), Qt::LeftButton);
    QCOMPARE(doc->record().Image1, QStringLiteral("car.bmp"));
    QVERIFY(!doc->picture().isNull());

    // Ledgers through their dialogs.
    auto *fuel = doc->findChild<TLedgerView *>(QStringLiteral("ListView1"));
    auto *garage = doc->findChild<TLedgerView *>(QStringLiteral("ListView2"));
    auto *parking = doc->findChild<TLedgerView *>(QStringLiteral("ListView3"));
    pages->setCurrentIndex(TMDIChild::Carburant);
    QStringList seen;
    answerEntryDialog(QDate(2023, 11, 20),
                      {QStringLiteral("Plein à Lyon"), QStringLiteral("412,5"), QStringLiteral("45,2"),
                       QStringLiteral("58200")},
                      &seen);
    doubleClickEmptyPart(fuel);
    QCOMPARE(seen, (QStringList{QStringLiteral("05/03/2024"), {}, {}, {}, {}})); // a new entry: today
    answerEntryDialog(QDate(2024, 2, 14),
                      {QStringLiteral("Plein autoroute"), QStringLiteral("380"), QStringLiteral("41"),
                       QStringLiteral("58900")});
    doubleClickEmptyPart(fuel);
    pages->setCurrentIndex(TMDIChild::Garage);
    answerEntryDialog(QDate(2023, 9, 1),
                      {QStringLiteral("Vidange et filtres"), QStringLiteral("690"), QStringLiteral("57000")});
    doubleClickEmptyPart(garage);
    pages->setCurrentIndex(TMDIChild::Stationnement);
    answerEntryDialog(QDate(2024, 1, 8), {QStringLiteral("Parking gare Part-Dieu"), QStringLiteral("36")});
    doubleClickEmptyPart(parking);
    answerEntryDialog(QDate(2024, 1, 9), {QString(), QStringLiteral("12,4")});
    doubleClickEmptyPart(parking);
    QCOMPARE(doc->record().ListView3.size(), std::size_t(2));

    // Change the second fill-up: the dialog comes up with its texts.
    pages->setCurrentIndex(TMDIChild::Carburant);
    seen.clear();
    answerEntryDialog(QDate(2024, 2, 15), {QString(), QStringLiteral("398,4"), QString(), QString()}, &seen);
    doubleClickEntry(fuel, 1);
    QCOMPARE(seen, (QStringList{QStringLiteral("14/02/2024"), QStringLiteral("Plein autoroute"),
                                QStringLiteral("380.00"), QStringLiteral("41.00"), QStringLiteral("58900.00")}));

    // Delete the second parking entry with the menu command.
    pages->setCurrentIndex(TMDIChild::Stationnement);
    QTest::mouseClick(parking->viewport(), Qt::LeftButton, {},
                      parking->visualRect(parking->model()->index(1, 1)).center());
    QVERIFY(f.Supprimercriture1->isEnabled());
    f.Supprimercriture1->trigger();

    const VehicleRecord &r = doc->record();
    QCOMPARE(r.ListView1.size(), std::size_t(2));
    QCOMPARE(r.ListView1[0], (FuelEntry{QStringLiteral("20/11/2023"), QStringLiteral("Plein à Lyon"),
                                        QStringLiteral("412.50"), QStringLiteral("45.20"), QStringLiteral("58200.00")}));
    QCOMPARE(r.ListView1[1], (FuelEntry{QStringLiteral("15/02/2024"), QStringLiteral("Plein autoroute"),
                                        QStringLiteral("398.40"), QStringLiteral("41.00"), QStringLiteral("58900.00")}));
    QCOMPARE(r.ListView2, (std::vector<GarageEntry>{{QStringLiteral("01/09/2023"), QStringLiteral("Vidange et filtres"),
                                                     QStringLiteral("690.00"), QStringLiteral("57000.00")}}));
    QCOMPARE(r.ListView3, (std::vector<ParkingEntry>{{QStringLiteral("08/01/2024"),
                                                      QStringLiteral("Parking gare Part-Dieu"), QStringLiteral("36.00")}}));

    // Every total is shown, right-aligned.
    for (int n : kComputedEdits) {
        const QString shown = field(n)->text();
        QVERIFY2(!shown.trimmed().isEmpty() && shown.startsWith(QLatin1Char(' ')),
                 qPrintable(QStringLiteral("Edit%1 '%2'").arg(n).arg(shown)));
    }
    QCOMPARE(field(11)->text().trimmed(), QStringLiteral("5030.80")); // 1200 + 3450.75 + 380, one decimal
    QCOMPARE(field(26)->text().trimmed(), QStringLiteral("9.13"));    // 412.50 / 45.20
    QVERIFY(Messages::shown().isEmpty());

    // Save under a name typed without extension.
    const QString typedName = dir.filePath(QStringLiteral("xsara"));
    const QString savedPath = typedName + QStringLiteral(".vtr");
    FileDialogs::setNextFileName(typedName);
    f.FileSaveItem->trigger();
    QVERIFY(QFile::exists(savedPath));
    QVERIFY(!QFile::exists(typedName));
    QCOMPARE(doc->windowTitle(), QStringLiteral("xsara"));
    QCOMPARE(doc->fileName(), savedPath);
    QVERIFY(!doc->isModified());
    const QByteArray savedBytes = readAll(savedPath);
    QVERIFY(savedBytes.contains("Citro\xEBn\r\n"));
    const VehicleRecord saved = doc->record();

    // Export the fuel page.
    pages->setCurrentIndex(TMDIChild::Carburant);
    FileDialogs::setNextFileName(dir.filePath(QStringLiteral("carburant")));
    f.Exporter1->trigger();
    QCOMPARE(readAll(dir.filePath(QStringLiteral("carburant.txt"))),
             QByteArray("20/11/2023\tPlein \xE0 Lyon\t412.50\t45.20\t58200.00\r\n"
                        "15/02/2024\tPlein autoroute\t398.40\t41.00\t58900.00\r\n"));

    // Statistics (F9) show the two years of the ledgers. The offscreen platform gives no window
    // the activation back when a modal dialog closes (a window manager does): the frame takes it.
    QApplication::setActiveWindow(&f);
    QStringList years, row2023;
    guitest::onNextModal([&years, &row2023](QDialog *dialog) {
        if (auto *stats = qobject_cast<TStats *>(dialog))
            for (int row = 1; row < stats->rowCount(); ++row) {
                const QString year = stats->cell(0, row).trimmed();
                if (!year.isEmpty() && year != QStringLiteral("Total"))
                    years << year;
                if (year == QStringLiteral("2023"))
                    for (int c = 1; c <= 5; ++c)
                        row2023 << stats->cell(c, row).trimmed();
            }
        dialog->close();
    });
    QTest::keyClick(doc, Qt::Key_F9);
    // From the purchase year to this year; insurance plus vignette rounded to whole francs.
    QCOMPARE(years, (QStringList{QStringLiteral("2019"), QStringLiteral("2020"), QStringLiteral("2021"),
                                 QStringLiteral("2022"), QStringLiteral("2023"), QStringLiteral("2024")}));
    QCOMPARE(row2023, (QStringList{QStringLiteral("412.50"), QStringLiteral("690.00"), QStringLiteral("0.00"),
                                   QStringLiteral("3831.00"), QStringLiteral("4933.50")}));
    QApplication::setActiveWindow(&f);

    // Close: saved, so nothing is asked.
    f.FileCloseItem->trigger();
    QTRY_COMPARE(f.documentCount(), 0);
    QVERIFY(Messages::shown().isEmpty());

    // Open the same file: everything as it was saved.
    QVERIFY(QDir::setCurrent(m_home));
    FileDialogs::setNextFileName(savedPath);
    f.FileOpenItem->trigger();
    QCOMPARE(f.documentCount(), 1);
    TMDIChild *again = f.activeChild();
    QCOMPARE(again->windowTitle(), savedPath);
    QVERIFY(!again->isModified());
    QVERIFY(again->record().sameStoredContent(saved));
    QCOMPARE(again->record().Memo1, (QStringList{QStringLiteral("Révision à prévoir avant l'été."),
                                                 QStringLiteral("Pneus neufs à l'avant.")}));
    for (int n : kComputedEdits)
        QCOMPARE(again->record().edit[std::size_t(n)], saved.edit[std::size_t(n)]);
    QVERIFY(!again->picture().isNull()); // the open dialog made the file's folder current
    QVERIFY(Messages::shown().isEmpty());

    // Modify, then quit: "Annuler" keeps everything open, "&Non" closes without saving.
    auto *brand = again->findChild<QLineEdit *>(QStringLiteral("Edit1"));
    typeInto(brand, QStringLiteral("Citroën C5"));
    QVERIFY(again->isModified());
    Messages::setNextAnswer(Messages::Cancel);
    f.FileExitItem->trigger();
    QVERIFY(f.isVisible());
    QCOMPARE(f.documentCount(), 1);
    QCOMPARE(Messages::shown(), QStringList{QStringLiteral("question: Enregistrer changements dans xsara.vtr ?")});
    Messages::setNextAnswer(Messages::No);
    QVERIFY(f.close());
    QVERIFY(!f.isVisible());
    QCOMPARE(Messages::shown().size(), 2);
    QCOMPARE(readAll(savedPath), savedBytes);
}

QTEST_MAIN(SessionTest)
#include "gui_session.moc"
