// The report commands of "&Fichier": their place and enabling, the year dialog, the preview,
// printing (into a PDF through the printer seam) and the PDF export (through the save seam).
#include "app/TMainForm.h"
#include "guitest.h"
#include "platform/filedialogs.h"
#include "platform/messages.h"
#include "platform/printing.h"
#include "platform/systemclock.h"
#include "ui/document/TMDIChild.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;
using platform::FileDialogs;

namespace {
QString pdfText(const QString &pdf)
{
    QProcess p;
    p.start(u"pdftotext"_s, {pdf, u"-"_s});
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

// Chooses `year` ("Toutes les années" or a year) and the kilometres, then OK.
void answerYear(QDialog *d, const QString &year, const QString &km = {})
{
    auto *combo = d->findChild<QComboBox *>(u"ComboBox1"_s);
    QVERIFY(combo);
    combo->setCurrentIndex(combo->findText(year));
    QVERIFY(combo->currentText() == year);
    if (!km.isEmpty())
        guitest::typeText(d->findChild<QLineEdit *>(u"Edit1"_s), km);
    d->findChild<QPushButton *>(u"Button1"_s)->click();
}
} // namespace

class ReportCommandsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        guitest::useSeams();
        platform::SystemClock::setFake(QDateTime(QDate(2026, 12, 1), QTime(10, 0)));
        if (QStandardPaths::findExecutable(u"pdftotext"_s).isEmpty())
            QSKIP("pdftotext (poppler-utils) is not installed");
    }
    void cleanupTestCase() { platform::SystemClock::clearFake(); }
    void init()
    {
        FileDialogs::setTestMode(true);
        platform::Messages::setTestMode(true);
        platform::Printing::setTestMode(true);
        QVERIFY(m_dir.isValid());
        m_sample = m_dir.filePath(u"exemple.vtr"_s);
        QFile::remove(m_sample);
        QVERIFY(QFile::copy(QStringLiteral(TEV_SAMPLES "/exemple.vtr"), m_sample));
        m_frame = std::make_unique<TMainForm>();
        m_frame->show();
        QVERIFY(QTest::qWaitForWindowActive(m_frame.get()));
    }
    void cleanup() { m_frame.reset(); }

    void placeAndEnabling()
    {
        TMainForm &f = *m_frame;
        const QList<QAction *> entries = f.File1->actions();
        const qsizetype first = entries.indexOf(f.PrintPreviewItem);
        QVERIFY(first > entries.indexOf(f.Importer1));
        QCOMPARE(entries.mid(first, 4), (QList<QAction *>{f.PrintPreviewItem, f.PrintItem, f.PdfItem, f.PrintSeparator}));
        QCOMPARE(entries.indexOf(f.FileExitItem), first + 4);
        QCOMPARE(f.PrintItem->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_P));
        QCOMPARE(f.PdfItem->text(), u"Exporter au format P&DF..."_s);
        auto enabled = [&f] {
            return QList<bool>{f.PrintPreviewItem->isEnabled(), f.PrintItem->isEnabled(), f.PdfItem->isEnabled()};
        };
        QCOMPARE(enabled(), (QList<bool>{false, false, false}));
        f.FileNewItem->trigger();
        QCOMPARE(enabled(), (QList<bool>{true, true, true}));
        f.FileCloseItem->trigger();
        QTRY_COMPARE(f.documentCount(), 0);
        f.UpdateMenuItems();
        QCOMPARE(enabled(), (QList<bool>{false, false, false}));
    }

    // The year dialog: the latest year with entries first chosen; the kilometres only for one
    // year; a distance that is not a number keeps the dialog open.
    void yearDialog()
    {
        TMainForm &f = *m_frame;
        f.openDocument(m_sample);
        bool checked = false;
        guitest::onNextModal([&checked](QDialog *d) {
            QCOMPARE(d->windowTitle(), u"Bilan du véhicule"_s);
            auto *combo = d->findChild<QComboBox *>(u"ComboBox1"_s);
            auto *km = d->findChild<QLineEdit *>(u"Edit1"_s);
            QCOMPARE(combo->itemText(0), u"Toutes les années"_s);
            QCOMPARE(combo->currentText(), u"2026"_s);
            QCOMPARE(combo->count(), 1 + 6); // 2021 to 2026
            QVERIFY(km->isEnabled());
            guitest::typeText(km, u"1.2.3"_s);
            d->findChild<QPushButton *>(u"Button1"_s)->click();
            QVERIFY(d->isVisible());
            combo->setCurrentIndex(0);
            QVERIFY(!km->isEnabled());
            checked = true;
        });
        f.PdfItem->trigger();
        QVERIFY(checked);
        QVERIFY(FileDialogs::asked().isEmpty()); // cancelled: no save dialog
    }

    void pdfExport()
    {
        TMainForm &f = *m_frame;
        f.openDocument(m_sample);
        const QString pdf = m_dir.filePath(u"bilan 2025.pdf"_s);
        FileDialogs::setNextFileName(pdf);
        guitest::onNextModal([](QDialog *d) { answerYear(d, u"2025"_s, u"8000"_s); });
        f.PdfItem->trigger();
        QCOMPARE(FileDialogs::asked(), QStringList{u"save: Documents PDF (*.pdf)|*.pdf"_s});
        const QString text = pdfText(pdf);
        QVERIFY2(text.contains(u"Année 2025"_s), qPrintable(text));
        QVERIFY(text.contains(u"11083.94"_s));
        QVERIFY(text.contains(u"exemple.vtr — établi le 01/12/2026"_s));
        QVERIFY(platform::Messages::shown().isEmpty());
        // A folder that cannot be written: the program's message, nothing left behind.
        FileDialogs::setNextFileName(m_dir.filePath(u"absent/bilan.pdf"_s));
        guitest::onNextModal([](QDialog *d) { answerYear(d, u"Toutes les années"_s); });
        f.PdfItem->trigger();
        QCOMPARE(platform::Messages::shown(),
                 QStringList{u"error: Ne peut créer le fichier "_s + m_dir.filePath(u"absent/bilan.pdf"_s) + u"."_s});
    }

    void printThroughTheSeam()
    {
        TMainForm &f = *m_frame;
        f.openDocument(m_sample);
        const QString pdf = m_dir.filePath(u"printed.pdf"_s);
        platform::Printing::setNextPrintFile(pdf);
        guitest::onNextModal([](QDialog *d) { d->findChild<QPushButton *>(u"Button1"_s)->click(); });
        f.PrintItem->trigger();
        QCOMPARE(platform::Printing::asked(), 1);
        const QString text = pdfText(pdf);
        QVERIFY2(text.contains(u"Année 2026"_s), qPrintable(text));
        QVERIFY(text.contains(u"Carnet d'entretien"_s));
        // Cancelled in the print dialog: nothing printed.
        QVERIFY(QFile::remove(pdf));
        guitest::onNextModal([](QDialog *d) { d->findChild<QPushButton *>(u"Button1"_s)->click(); });
        f.PrintItem->trigger();
        QCOMPARE(platform::Printing::asked(), 2);
        QVERIFY(!QFile::exists(pdf));
    }

    void previewShowsThePages()
    {
        TMainForm &f = *m_frame;
        f.openDocument(m_sample);
        int pages = -1;
        guitest::onNextModal([&pages](QDialog *d) {
            guitest::onNextModal([&pages](QDialog *preview) {
                QVERIFY(qobject_cast<QPrintPreviewDialog *>(preview));
                auto *widget = preview->findChild<QPrintPreviewWidget *>();
                QVERIFY(widget);
                widget->updatePreview();
                pages = widget->pageCount();
            });
            answerYear(d, u"Toutes les années"_s);
        });
        f.PrintPreviewItem->trigger();
        QCOMPARE(pages, 2);
    }

private:
    QTemporaryDir m_dir;
    QString m_sample;
    std::unique_ptr<TMainForm> m_frame;
};

QTEST_MAIN(ReportCommandsTest)
#include "gui_report.moc"
