// The report "Bilan du véhicule" of the active document: preview, print, PDF.
#include "app/TMainForm.h"

#include "core/reports/vehiclereport.h"
#include "core/vehicle/vtrfile.h"
#include "platform/filedialogs.h"
#include "platform/messages.h"
#include "platform/printing.h"
#include "platform/systemclock.h"
#include "ui/document/TMDIChild.h"
#include "ui/reports/TBilan.h"
#include "ui/reports/paper/reportpaper.h"

#include <QFileInfo>
#include <QPrintPreviewDialog>
#include <QPrinter>

namespace {
const QString kPdfFilter = QStringLiteral("Documents PDF (*.pdf)|*.pdf");

QString documentName(TMDIChild *child)
{
    const QString name = QFileInfo(child->fileName()).fileName();
    if (!name.isEmpty())
        return name;
    QString caption = child->windowTitle();
    return caption.remove(QStringLiteral("[*]"));
}
} // namespace

bool TMainForm::askReport(vehiclereport::Content &content)
{
    TMDIChild *child = activeChild();
    if (!child)
        return false;
    const VehicleRecord &r = child->reportRecord();
    TBilan dialog(this);
    dialog.Init(vehiclereport::yearsWithEntries(r));
    if (dialog.exec() != QDialog::Accepted)
        return false;
    vehiclereport::Options o;
    o.year = dialog.year();
    o.kmPro = dialog.kmPro();
    o.today = platform::SystemClock::today();
    o.fileName = documentName(child);
    content = vehiclereport::build(r, o);
    return true;
}

void TMainForm::PrintPreviewItemClick()
{
    vehiclereport::Content content;
    if (!askReport(content))
        return;
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(content.title);
    reportpaper::setUpPage(printer);
    QPrintPreviewDialog preview(&printer, this);
    preview.setWindowTitle(QStringLiteral("Aperçu avant impression"));
    connect(&preview, &QPrintPreviewDialog::paintRequested, this,
            [&content](QPrinter *p) { reportpaper::paint(content, *p); });
    preview.resize(900, 1000);
    preview.exec();
}

void TMainForm::PrintItemClick()
{
    vehiclereport::Content content;
    if (!askReport(content))
        return;
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(content.title);
    reportpaper::setUpPage(printer);
    if (!platform::Printing::askPrinter(printer, this))
        return;
    if (reportpaper::paint(content, printer) == 0)
        platform::Messages::error(this, QStringLiteral("Ne peut imprimer le bilan du véhicule"));
}

void TMainForm::PdfItemClick()
{
    vehiclereport::Content content;
    if (!askReport(content))
        return;
    const QString path = platform::FileDialogs::getSaveFileName(this, kPdfFilter, QStringLiteral("pdf"));
    if (path.isEmpty())
        return;
    const QByteArray bytes = reportpaper::pdf(content);
    const vtrfile::SaveResult saved = bytes.isEmpty()
                                          ? vtrfile::SaveResult{false, QStringLiteral("Ne peut créer le fichier %1").arg(path), {}}
                                          : vtrfile::writeAtomically(path, bytes);
    if (!saved.ok)
        platform::Messages::error(this, saved.error);
}
