// "&Importer...": the menu entry, the summary dialog and the document it creates.
#include "app/TImportDialog.h"
#include "app/TMainForm.h"
#include "app/statuspanels.h"
#include "core/vehicle/textrules.h"
#include "guitest.h"
#include "platform/filedialogs.h"
#include "platform/help.h"
#include "platform/messages.h"
#include "platform/systemclock.h"
#include "ui/document/TMDIChild.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTableWidget>
#include <QTextBrowser>
#include <QTimer>

#include <functional>
#include <memory>

using platform::FileDialogs;
using platform::Messages;

namespace {

const QString kFilter = QStringLiteral("import: Fichiers CSV (*.csv)|*.csv|Tous les fichiers (*.*)|*");

// A French spreadsheet: ';' separators, decimal commas. The 25th of March settles the day/month order.
const QByteArray kClearDates = "Date;Kilométrage;Litres;Montant;Lieu\r\n"
                               "25/03/2024;12600;38,20;66,00;Esso Bron\r\n"
                               "03/02/2024;12000;40,50;70,20;Total Lyon\r\n";
// Every day and month is 12 or less: day first or month first both read.
const QByteArray kAmbiguousDates = "Date;Kilométrage;Litres;Montant\r\n"
                                   "03/04/2024;12000;40,50;70,20\r\n"
                                   "05/06/2024;12600;38,20;66,00\r\n";

// Runs `act` on the summary dialog once it is up; the dialog never stays open after it.
void onSummary(const std::function<void(TImportDialog *)> &act, int attemptsLeft = 300)
{
    guitest::onNextModal([act](QDialog *d) {
        auto *summary = qobject_cast<TImportDialog *>(d);
        QVERIFY2(summary, "the modal window is not the import summary");
        act(summary);
    }, attemptsLeft);
}

} // namespace

class ImportTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        guitest::useSeams();
        platform::Help::setTestMode(true);
    }
    void init()
    {
        FileDialogs::setTestMode(true);
        Messages::setTestMode(true);
        m_frame = std::make_unique<TMainForm>();
        m_frame->show();
        QVERIFY(QTest::qWaitForWindowActive(m_frame.get()));
    }
    void cleanup()
    {
        // Nothing imported is saved: the close questions are answered "&Non".
        for (int i = 0; i < 4; ++i)
            Messages::setNextAnswer(Messages::No);
        m_frame.reset();
    }

    void menuEntryFollowsExportAndIsAlwaysOn()
    {
        TMainForm &f = *m_frame;
        const QList<QAction *> entries = f.File1->actions();
        QCOMPARE(entries.indexOf(f.Importer1), entries.indexOf(f.Exporter1) + 1);
        QCOMPARE(f.Importer1->objectName(), QStringLiteral("Importer1"));
        QCOMPARE(f.Importer1->text(), QStringLiteral("&Importer..."));

        QVERIFY(f.Importer1->isEnabled()); // no document
        f.FileNewItem->trigger();
        f.SetExport(false);
        f.SetSup(false);
        f.UpdateMenuItems();
        QVERIFY(f.Importer1->isEnabled());
        f.FileCloseItem->trigger();
        QTRY_COMPARE(f.documentCount(), 0);
        f.UpdateMenuItems();
        QVERIFY(f.Importer1->isEnabled());

        // Its hint while highlighted; F1 opens its own topic, which the help file has.
        f.File1->popup(f.mapToGlobal(QPoint(10, 20)));
        QVERIFY(QTest::qWaitForWindowExposed(f.File1));
        f.File1->setActiveAction(f.Importer1);
        QCOMPARE(f.StatusBar->panelText(0), QStringLiteral("Importe l'historique d'une autre application"));
        QTest::keyClick(f.File1, Qt::Key_F1);
        QCOMPARE(platform::Help::calls().constLast(), QStringLiteral("context %1 %2")
                                                          .arg(TMainForm::kImportHelpContext)
                                                          .arg(platform::Help::helpFile()));
        QVERIFY(!f.File1->isVisible());
        const platform::HelpFile help =
            platform::Help::read(QStringLiteral(TEV_SOURCE_DIR "/resources/TevAuto.hlp"));
        bool found = false;
        for (const platform::HelpTopic &t : help.topics)
            found = found || t.anchor == platform::Help::contextAnchor(TMainForm::kImportHelpContext);
        QVERIFY(found);
    }

    void okCreatesAModifiedNewDocumentOnCarburant()
    {
        TMainForm &f = *m_frame;
        f.FileNewItem->trigger(); // the import is numbered after the windows open, as New does
        const QString path = write(QStringLiteral("plein.csv"), kClearDates);
        FileDialogs::setNextFileName(path);
        bool dateChoiceShown = true;
        QString fuel;
        onSummary([&](TImportDialog *d) {
            dateChoiceShown = d->DateOrderBox->isVisibleTo(d);
            fuel = d->FuelCount->text();
            d->OKButton->click();
        });
        f.Importer1->trigger();

        QCOMPARE(FileDialogs::asked(), QStringList{kFilter});
        QCOMPARE(FileDialogs::toNameFilters(kFilter.mid(int(qstrlen("import: ")))),
                 (QStringList{QStringLiteral("Fichiers CSV (*.csv)"), QStringLiteral("Tous les fichiers (*)")}));
        QVERIFY(!dateChoiceShown);
        QCOMPARE(fuel, QStringLiteral("2 écritures"));
        QCOMPARE(f.documentCount(), 2);
        TMDIChild *doc = f.activeChild();
        QCOMPARE(doc->windowTitle(), QStringLiteral("VOITURE2"));
        QVERIFY(doc->fileName().isEmpty());
        QVERIFY(doc->isModified());
        QCOMPARE(doc->currentPage(), int(TMDIChild::Carburant));
        QVERIFY(f.Supprimercriture1->isEnabled()); // the ledger page reported itself
        const auto &ledger = doc->record().ListView1;
        QCOMPARE(int(ledger.size()), 2);
        QCOMPARE(ledger[0][col::Date], QStringLiteral("03/02/2024")); // in date order
        QCOMPARE(ledger[1][col::Date], QStringLiteral("25/03/2024"));
        QCOMPARE(doc->record().DateTimePicker1, QDate(2024, 2, 3));
        QVERIFY(!doc->record().edit[25].trimmed().isEmpty()); // the consumption is computed

        // Closing asks whether to save, as for any new document with changes.
        Messages::clearShown();
        Messages::setNextAnswer(Messages::Cancel);
        f.FileCloseItem->trigger();
        QCOMPARE(Messages::shown(), QStringList{QStringLiteral("question: Enregistrer changements dans  ?")});
        QCOMPARE(f.documentCount(), 2);
    }

    // A phone backup brings every ledger and the description, and the summary says what it left.
    void wholeRecordReachesTheDocument()
    {
        TMainForm &f = *m_frame;
        const QString path = QStringLiteral(TEV_TEST_DATA "/import/fuelio-miles.csv");
        FileDialogs::setNextFileName(path);
        QString vehicle, details;
        onSummary([&](TImportDialog *d) {
            vehicle = d->VehicleLabel->text();
            details = d->Details->toPlainText();
            d->OKButton->click();
        });
        f.Importer1->trigger();
        QCOMPARE(f.documentCount(), 1);
        const importer::Result expected =
            importer::importFile(path, importer::DateOrder::Unknown, platform::SystemClock::today());
        QVERIFY(expected.ok && !expected.report.leftOut.empty());
        QCOMPARE(vehicle, expected.report.vehicleName);
        for (const importer::LeftOut &l : expected.report.leftOut)
            QVERIFY2(details.contains(l.category) && details.contains(l.reason), qPrintable(l.category));
        // The first registration comes from the vehicle's year: the summary says to check it.
        QVERIFY(expected.report.registrationFromYear);
        QCOMPARE(expected.report.registrationDate, QDate(2015, 1, 1));
        QVERIFY(details.contains(QStringLiteral("01/01/2015, le 1er janvier de l'année du véhicule")));
        QVERIFY(f.activeChild()->record().sameStoredContent(expected.record));
    }

    void cancelCreatesNothing()
    {
        TMainForm &f = *m_frame;
        FileDialogs::setNextFileName(QString()); // the file dialog cancelled
        f.Importer1->trigger();
        FileDialogs::setNextFileName(write(QStringLiteral("plein.csv"), kClearDates));
        bool shown = false;
        onSummary([&](TImportDialog *d) {
            shown = true;
            d->CancelButton->click();
        });
        f.Importer1->trigger();
        QVERIFY(shown);
        QCOMPARE(FileDialogs::asked().size(), 2);
        QCOMPARE(f.documentCount(), 0);
        QVERIFY(Messages::shown().isEmpty());
    }

    void unusableFileShowsTheErrorBox_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content"); // null: no such file
        QTest::newRow("missing") << "absent.csv" << QByteArray();
        QTest::newRow("not recognised")
            << "lettre.csv" << QByteArray("Bonjour,\r\nVoici la lettre promise.\r\n");
    }
    void unusableFileShowsTheErrorBox()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        TMainForm &f = *m_frame;
        FileDialogs::setNextFileName(content.isNull() ? m_dir.filePath(name) : write(name, content));
        bool summaryShown = false;
        onSummary([&](TImportDialog *) { summaryShown = true; }, 20);
        f.Importer1->trigger();
        QTest::qWait(300); // the summary would be up by now
        QVERIFY(!summaryShown);
        QCOMPARE(f.documentCount(), 0);
        QCOMPARE(Messages::shown().size(), 1);
        QVERIFY2(Messages::shown().constFirst().startsWith(QStringLiteral("error: ")),
                 qPrintable(Messages::shown().constFirst()));
        if (!content.isNull())
            QCOMPARE(Messages::shown().constFirst(),
                     QStringLiteral("error: Format de fichier non reconnu.\nFormats reconnus : ")
                         + importer::knownFormats().join(QStringLiteral(", ")) + u'.');
    }

    // A file read that gives no entry: the error box says so, and what the file held.
    void noEntryShowsWhatWasLeftOut()
    {
        TMainForm &f = *m_frame;
        const QString path = QStringLiteral(TEV_TEST_DATA "/import/lubelogger-taxes.csv");
        FileDialogs::setNextFileName(path);
        f.Importer1->trigger();
        QCOMPARE(f.documentCount(), 0);
        QCOMPARE(Messages::shown(),
                 QStringList{QStringLiteral("error: Aucune écriture trouvée dans %1.\nLaissé de côté : "
                                            "Taxes, 2 lignes, total 1269.56 (frais fixe annuel, à porter "
                                            "sur la page « Frais / Km »)")
                                 .arg(path)});
    }

    // A file of several vehicles: the summary offers each with its entries, the one with the
    // most first; choosing reads the file again, and OK brings only that vehicle.
    void severalVehiclesOfferTheChoice()
    {
        TMainForm &f = *m_frame;
        FileDialogs::setNextFileName(QStringLiteral(TEV_TEST_DATA "/import/acar.csv"));
        QStringList choices;
        QString first, firstFuel, chosen, chosenFuel, chosenGarage, details;
        bool orderShown = true;
        onSummary([&](TImportDialog *d) {
            QVERIFY(d->VehicleBox->isVisibleTo(d));
            orderShown = d->DateOrderBox->isVisibleTo(d);
            for (int i = 0; i < d->VehicleBox->count(); ++i)
                choices << d->VehicleBox->itemText(i);
            first = d->VehicleLabel->text();
            firstFuel = d->FuelCount->text();
            details = d->Details->toPlainText();
            d->VehicleBox->setFocus();
            QTest::keyClick(d->VehicleBox, Qt::Key_Down);
            QCOMPARE(d->vehicle(), QStringLiteral("Mom's Civic"));
            chosen = d->VehicleLabel->text();
            chosenFuel = d->FuelCount->text();
            chosenGarage = d->GarageCount->text();
            d->OKButton->click();
        });
        f.Importer1->trigger();
        QCOMPARE(choices, (QStringList{QStringLiteral("Blue Truck (5 écritures)"),
                                       QStringLiteral("Mom's Civic (2 écritures)")}));
        QVERIFY(!orderShown); // the file gives its date format
        QCOMPARE(first, QStringLiteral("Blue Truck"));
        QCOMPARE(firstFuel, QStringLiteral("3 écritures"));
        QVERIFY2(details.contains(QStringLiteral("Prix d'achat : 32500.00")), qPrintable(details));
        QVERIFY(details.contains(QStringLiteral("Trip Records (1 ligne)")));
        QCOMPARE(chosen, QStringLiteral("Mom's Civic"));
        QCOMPARE(chosenFuel, QStringLiteral("1 écriture"));
        QCOMPARE(chosenGarage, QStringLiteral("1 écriture"));
        QCOMPARE(f.documentCount(), 1);
        const VehicleRecord &r = f.activeChild()->record();
        QCOMPARE(int(r.ListView1.size()), 1);
        QCOMPARE(r.ListView1[0][col::FuelCompteur], QStringLiteral("88100.00"));
        QCOMPARE(r.edit[1], QStringLiteral("Honda"));
        QVERIFY(r.edit[4].isEmpty());
    }

    // The purchase row fills the purchase price, aligned as the document window shows it.
    void purchaseFillsTheDescription()
    {
        TMainForm &f = *m_frame;
        FileDialogs::setNextFileName(QStringLiteral(TEV_TEST_DATA "/import/fuelly-services.csv"));
        onSummary([&](TImportDialog *d) {
            QVERIFY(!d->VehicleBox->isVisibleTo(d));
            d->OKButton->click();
        });
        f.Importer1->trigger();
        QCOMPARE(f.documentCount(), 1);
        TMDIChild *doc = f.activeChild();
        const VehicleRecord &r = doc->record();
        QCOMPARE(r.edit[4].trimmed(), QStringLiteral("5000.00"));
        QCOMPARE(doc->findChild<QLineEdit *>(QStringLiteral("Edit4"))->text(), r.edit[4]);
        const QFontMetrics metrics(doc->findChild<QLineEdit *>(QStringLiteral("Edit4"))->font());
        QCOMPARE(r.edit[4], textrules::Rset(QStringLiteral("5000.00"), 116, [&metrics](const QString &t) {
                     return metrics.horizontalAdvance(t);
                 }));
        QCOMPARE(r.DateTimePicker1, QDate(2021, 6, 15));
        QCOMPARE(r.edit[1], QStringLiteral("Clio"));
        QCOMPARE(r.edit[2], QStringLiteral("Clio IV"));
    }

    void ambiguousDatesOfferTheirOrder()
    {
        TMainForm &f = *m_frame;
        FileDialogs::setNextFileName(write(QStringLiteral("plein.csv"), kAmbiguousDates));
        QStringList choices;
        QString before, after;
        onSummary([&](TImportDialog *d) {
            if (!d->DateOrderBox->isVisibleTo(d))
                return;
            for (int i = 0; i < d->DateOrderBox->count(); ++i)
                choices << d->DateOrderBox->itemText(i);
            before = d->Details->toPlainText();
            // The day first is the default for a French user; the next order reads the file again.
            QCOMPARE(d->dateOrder(), importer::DateOrder::DMY);
            d->DateOrderBox->setFocus();
            const int dmy = d->DateOrderBox->currentIndex();
            QTest::keyClick(d->DateOrderBox, dmy + 1 < d->DateOrderBox->count() ? Qt::Key_Down : Qt::Key_Up);
            QCOMPARE(d->dateOrder(), importer::DateOrder::MDY);
            after = d->Details->toPlainText();
            d->OKButton->click();
        });
        f.Importer1->trigger();
        QVERIFY2(choices.contains(TImportDialog::orderName(importer::DateOrder::DMY)),
                 qPrintable(choices.join(u'|')));
        QVERIFY(choices.contains(TImportDialog::orderName(importer::DateOrder::MDY)));
        QVERIFY(before.contains(QStringLiteral("03/04/2024"))); // the purchase date follows the order
        QVERIFY(after.contains(QStringLiteral("04/03/2024")));
        QCOMPARE(f.documentCount(), 1);
        const auto &ledger = f.activeChild()->record().ListView1;
        QCOMPARE(int(ledger.size()), 2);
        QCOMPARE(ledger[0][col::Date], QStringLiteral("04/03/2024"));
        QCOMPARE(ledger[1][col::Date], QStringLiteral("06/05/2024"));
    }

    // The preview: the first rows under the part each column fills; a part changed there reads
    // the file again, the counts follow, and OK takes the choice.
    void previewPartChangedThenOK()
    {
        TMainForm &f = *m_frame;
        // "Amount" alone is the amount; the cash column, with its longer name, is left.
        const QString path = write(QStringLiteral("carnet.csv"),
                                   "Fill date;Mileage;Litres;Cash amount;Amount;Note\r\n"
                                   "14/01/2024;12000;40,50;71,00;70,20;Total\r\n"
                                   "25/01/2024;12600;38,20;0;66,00;Esso\r\n"
                                   "20/02/2024;13100;36,00;0;62,00;\r\n");
        FileDialogs::setNextFileName(path);
        QStringList before, after, header;
        QString fuelBefore, fuelAfter;
        onSummary([&](TImportDialog *d) {
            QTableWidget *t = d->Preview;
            for (int c = 0; c < t->columnCount(); ++c) {
                header << t->horizontalHeaderItem(c)->text();
                before << qobject_cast<QComboBox *>(t->cellWidget(0, c))->currentText();
            }
            QCOMPARE(t->rowCount(), 4); // the parts, then the three rows
            QCOMPARE(t->item(1, 4)->text(), QStringLiteral("70,20"));
            fuelBefore = d->FuelCount->text();
            auto *box = d->findChild<QComboBox *>(QStringLiteral("PartBox3"));
            QVERIFY(box);
            box->setCurrentIndex(box->findText(QStringLiteral("Montant")));
            emit box->activated(box->currentIndex());
            for (int c = 0; c < t->columnCount(); ++c)
                after << qobject_cast<QComboBox *>(t->cellWidget(0, c))->currentText();
            fuelAfter = d->FuelCount->text();
            QVERIFY2(d->Details->toPlainText().contains(QStringLiteral("Colonnes ignorées : Amount")),
                     qPrintable(d->Details->toPlainText()));
            d->OKButton->click();
        });
        f.Importer1->trigger();
        QCOMPARE(header, (QStringList{QStringLiteral("Fill date"), QStringLiteral("Mileage"), QStringLiteral("Litres"),
                                      QStringLiteral("Cash amount"), QStringLiteral("Amount"), QStringLiteral("Note")}));
        QCOMPARE(before, (QStringList{QStringLiteral("Date"), QStringLiteral("Compteur"), QStringLiteral("Litres"),
                                      QStringLiteral("Ignorée"), QStringLiteral("Montant"), QStringLiteral("Description")}));
        QCOMPARE(after, (QStringList{QStringLiteral("Date"), QStringLiteral("Compteur"), QStringLiteral("Litres"),
                                     QStringLiteral("Montant"), QStringLiteral("Ignorée"), QStringLiteral("Description")}));
        QCOMPARE(fuelBefore, QStringLiteral("3 écritures"));
        QCOMPARE(fuelAfter, QStringLiteral("3 écritures"));
        QCOMPARE(f.documentCount(), 1);
        const auto &ledger = f.activeChild()->record().ListView1;
        QCOMPARE(int(ledger.size()), 3);
        QCOMPARE(ledger[0][col::Montant], QStringLiteral("71.00")); // the chosen column's amount
        QCOMPARE(ledger[1][col::Montant], QStringLiteral("0.00"));
    }

    // A column made the quantity changes what goes where: the counts follow at once.
    void previewCountsFollow()
    {
        TMainForm &f = *m_frame;
        const QString path = write(QStringLiteral("frais.csv"), "Date;Pumped;Total\r\n"
                                                                "14/01/2024;40;70\r\n"
                                                                "25/01/2024;;12\r\n");
        FileDialogs::setNextFileName(path);
        QStringList counts;
        onSummary([&](TImportDialog *d) {
            counts << d->FuelCount->text() + u'/' + d->GarageCount->text();
            auto *box = d->findChild<QComboBox *>(QStringLiteral("PartBox1"));
            box->setCurrentIndex(box->findText(QStringLiteral("Litres")));
            emit box->activated(box->currentIndex());
            counts << d->FuelCount->text() + u'/' + d->GarageCount->text();
            d->CancelButton->click();
        });
        f.Importer1->trigger();
        QCOMPARE(counts, (QStringList{QStringLiteral("0 écriture/2 écritures"), QStringLiteral("1 écriture/1 écriture")}));
        QCOMPARE(f.documentCount(), 0);
    }

    // A doubt shows in red above the preview; OK asks once more, and "&Non" keeps the dialog.
    void doubtAsksOnceMore()
    {
        TMainForm &f = *m_frame;
        // Gallons burnt between oil changes, not fill-ups: 560 litres each.
        const QString path = write(QStringLiteral("huile.csv"), "Date;Odometer;Gallons burnt;Cost\r\n"
                                                                "14/01/2021;61200;150;89,90\r\n"
                                                                "15/07/2021;68950;148;95,00\r\n"
                                                                "22/02/2022;74410;151;92,50\r\n");
        FileDialogs::setNextFileName(path);
        bool shown = false, stillOpen = false;
        QString doubt;
        onSummary([&](TImportDialog *d) {
            shown = d->DoubtLabel->isVisibleTo(d);
            doubt = d->DoubtLabel->text();
            Messages::clearShown();
            Messages::setNextAnswer(Messages::No);
            d->OKButton->click();
            stillOpen = d->isVisible();
            Messages::setNextAnswer(Messages::Yes);
            d->OKButton->click();
        });
        f.Importer1->trigger();
        QVERIFY(shown);
        QVERIFY2(doubt.contains(QStringLiteral("« Gallons burnt »")), qPrintable(doubt));
        QVERIFY(stillOpen);
        QCOMPARE(Messages::shown().size(), 2);
        QVERIFY(Messages::shown().front().contains(QStringLiteral("Importer quand même ?")));
        QCOMPARE(f.documentCount(), 1);
        QCOMPARE(int(f.activeChild()->record().ListView1.size()), 3);
    }

    // A named format's reader fixes the parts: its first records are shown, nothing to choose.
    void namedFormatShowsFixedColumns()
    {
        TMainForm &f = *m_frame;
        FileDialogs::setNextFileName(QStringLiteral(TEV_TEST_DATA "/import/fuelio-miles.csv"));
        int boxes = -1;
        QString first, note;
        onSummary([&](TImportDialog *d) {
            boxes = int(d->Preview->findChildren<QComboBox *>().size());
            first = d->Preview->item(0, 0)->text();
            note = d->PreviewLabel->text();
            d->CancelButton->click();
        });
        f.Importer1->trigger();
        QCOMPARE(boxes, 0);
        QCOMPARE(first, QStringLiteral("fixée par le format"));
        QVERIFY2(note.contains(QStringLiteral("Sauvegarde Fuelio")), qPrintable(note));
    }

private:
    QString write(const QString &name, const QByteArray &content)
    {
        const QString path = m_dir.filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(content) != content.size())
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }

    QTemporaryDir m_dir;
    std::unique_ptr<TMainForm> m_frame;
};

QTEST_MAIN(ImportTest)
#include "gui_import.moc"
