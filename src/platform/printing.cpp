#include "platform/printing.h"

#include <QPrintDialog>
#include <QPrinter>

namespace platform {
namespace {
bool g_testMode = false;
QStringList g_next;
int g_asked = 0;
} // namespace

bool Printing::askPrinter(QPrinter &printer, QWidget *parent)
{
    ++g_asked;
    if (g_testMode) {
        const QString file = g_next.isEmpty() ? QString() : g_next.takeFirst();
        if (file.isEmpty())
            return false;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(file);
        return true;
    }
    QPrintDialog dialog(&printer, parent);
    dialog.setWindowTitle(QStringLiteral("Imprimer"));
    return dialog.exec() == QDialog::Accepted;
}

void Printing::setTestMode(bool on)
{
    g_testMode = on;
    g_next.clear();
    g_asked = 0;
}

void Printing::setNextPrintFile(const QString &pdfPath)
{
    g_next << pdfPath;
}

int Printing::asked()
{
    return g_asked;
}

} // namespace platform
