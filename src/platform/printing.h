#pragma once
// The print dialog, behind a seam: tests answer it with a PDF file to print into.

#include <QString>
#include <QStringList>

class QPrinter;
class QWidget;

namespace platform {

class Printing {
public:
    // Shows the print dialog for `printer`; false when the user cancels.
    static bool askPrinter(QPrinter &printer, QWidget *parent);

    // Test mode: no dialog is shown; each call takes the next queued answer: a PDF file the
    // printer writes into, or an empty text to cancel (also when none is left).
    static void setTestMode(bool on);
    static void setNextPrintFile(const QString &pdfPath);
    static int asked();
};

} // namespace platform
