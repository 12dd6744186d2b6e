// The eight pages of a document window holding the example vehicle file (run from samples/).
#include "shots.h"

#include "app/TMainForm.h"
#include "ui/document/TMDIChild.h"

#include <QDir>
#include <QMdiSubWindow>
#include <QPointer>

namespace {
QPointer<TMDIChild> g_child;

void showPage(TMainForm *frame, int page)
{
    const QString path = QDir::current().absoluteFilePath(QStringLiteral("exemple.vtr"));
    g_child = frame->CreateChild(path);
    g_child->charge(path);
    g_child->showPage(page);
}

void closeChild(TMainForm *)
{
    if (!g_child)
        return;
    // Closing the sub-window asks the document, then takes the frame around it away too.
    if (auto *sub = qobject_cast<QMdiSubWindow *>(g_child->parentWidget()))
        sub->close();
    else
        g_child->close();
}

const char16_t *const kNames[] = {u"document-description", u"document-carburant", u"document-garage",
                                  u"document-stationnement", u"document-fraiskm", u"document-valeur",
                                  u"document-commentaire", u"document-image"};

const bool registered = [] {
    for (int page = 0; page < 8; ++page)
        shots::add(30 + page, {QString::fromUtf16(kNames[page]),
                               [page](TMainForm *frame) { showPage(frame, page); }, closeChild});
    return true;
}();
} // namespace
