// The commands of the main frame, its enabling rules and the arrangement of document windows.
#include "app/TMainForm.h"

#include "app/TAboutBox.h"
#include "app/TImportDialog.h"
#include "app/singlewindows.h"
#include "core/vehicle/filestate.h"
#include "platform/filedialogs.h"
#include "platform/help.h"
#include "platform/messages.h"
#include "platform/settings.h"
#include "platform/systemclock.h"
#include "ui/document/TMDIChild.h"

#include <QAction>
#include <QDialog>
#include <QEvent>
#include <QEventLoop>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPointer>
#include <QStyle>
#include <QToolButton>
#include <QUndoGroup>
#include <QUndoStack>

namespace {
const QString kVehicleFilter = QStringLiteral("Fichiers voiture (*.vtr)|*.vtr|Tous les fichiers (*.*)|*;*");
const QString kExportFilter = QStringLiteral("Texte + tabulations (*.txt)|*.txt");
const QString kImportFilter = QStringLiteral("Fichiers CSV (*.csv)|*.csv|Tous les fichiers (*.*)|*");

// Ends a local event loop when the window it watches is hidden or closed.
class HideWatcher : public QObject {
public:
    HideWatcher(QWidget *w, QEventLoop *loop) : QObject(w), m_loop(loop) { w->installEventFilter(this); }
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == QEvent::Hide || e->type() == QEvent::Destroy)
            m_loop->quit();
        return false;
    }

private:
    QEventLoop *m_loop;
};

QList<QMdiSubWindow *> visibleDocuments(QMdiArea *area)
{
    QList<QMdiSubWindow *> out;
    for (QMdiSubWindow *sub : area->subWindowList(QMdiArea::CreationOrder))
        if (!sub->isHidden())
            out << sub;
    return out;
}
} // namespace

int TMainForm::documentCount() const
{
    return int(visibleDocuments(m_mdi).size());
}

TMDIChild *TMainForm::activeChild() const
{
    QMdiSubWindow *sub = m_mdi->currentSubWindow();
    return sub ? qobject_cast<TMDIChild *>(sub->widget()) : nullptr;
}

TMDIChild *TMainForm::CreateChild(const QString &caption)
{
    auto *child = new TMDIChild(this);
    child->setAttribute(Qt::WA_DeleteOnClose);
    child->setWindowTitle(caption);
    m_undoGroup->addStack(child->undoStack());
    const QSize designed = documentSize(child->size());
    const int before = documentCount();
    QMdiSubWindow *sub = m_mdi->addSubWindow(child);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    watchDocument(sub, child);
    // A closed window leaves the list only once it is gone: evaluate again then.
    connect(sub, &QObject::destroyed, this,
            [this] { QMetaObject::invokeMethod(this, &TMainForm::UpdateMenuItems, Qt::QueuedConnection); });
    child->showMark();
    sub->show();
    // The document keeps its designed size inside the window's frame.
    sub->resize(designed + (sub->size() - child->size()));
    // New windows come in cascade, each one title bar lower and to the right.
    const int step = sub->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, sub) + 4;
    const QRect area = m_mdi->viewport()->rect();
    const int k = before % 8;
    QPoint at(k * step, k * step);
    if (at.y() + step > area.height())
        at = QPoint();
    sub->move(at);
    m_mdi->setActiveSubWindow(sub);
    // The area reports the activation only while the frame is active: after a dialog, that may
    // be later than the load that follows.
    documentActivated(sub);
    m_deleteAllowed = false;
    emit documentCreated(child);
    return child;
}

void TMainForm::documentActivated(QMdiSubWindow *sub)
{
    // The area also reports the frame losing the activation (no window) and regaining it (the
    // same window again): only another document window is a change.
    if (!sub || sub == m_activeDocument)
        return;
    m_activeDocument = sub;
    if (auto *child = qobject_cast<TMDIChild *>(sub->widget()))
        m_undoGroup->setActiveStack(child->undoStack());
    UpdateMenuItems();
}

void TMainForm::SetSup(bool allowed)
{
    m_deleteAllowed = allowed;
    SpeedButton2->setEnabled(allowed);
    Supprimercriture1->setEnabled(allowed);
}

void TMainForm::SetExport(bool allowed)
{
    Exporter1->setEnabled(allowed);
}

void TMainForm::UpdateMenuItems()
{
    const bool any = documentCount() > 0;
    for (QAction *a :
         {FileCloseItem, FileSaveItem, FileSaveAsItem, CutItem, CopyItem, PasteItem, WindowCascadeItem,
          WindowTileItem, WindowArrangeItem, WindowMinimizeItem, Statistiques1, Graphique1, Exporter1})
        a->setEnabled(any);
    for (QToolButton *b : {SaveBtn, CutBtn, CopyBtn, PasteBtn, SpeedButton3, SpeedButton4})
        b->setEnabled(any);
    SpeedButton2->setEnabled(any && m_deleteAllowed);
    Supprimercriture1->setEnabled(any && m_deleteAllowed);
    // The report is of the active document.
    for (QAction *a : {PrintPreviewItem, PrintItem, PdfItem})
        a->setEnabled(activeChild() != nullptr);
    updateUndoItems();
}

void TMainForm::updateUndoItems()
{
    // The stack of the document the commands act on, whatever the area last reported.
    TMDIChild *c = activeChild();
    if (c && m_undoGroup->activeStack() != c->undoStack())
        m_undoGroup->setActiveStack(c->undoStack());
    const bool any = c != nullptr;
    auto named = [](const QString &command, const QString &step) {
        return step.isEmpty() ? command : command + QLatin1Char(' ') + step;
    };
    UndoItem->setEnabled(any && m_undoGroup->canUndo());
    RedoItem->setEnabled(any && m_undoGroup->canRedo());
    UndoItem->setText(named(QStringLiteral("&Annuler"), any ? m_undoGroup->undoText() : QString()));
    RedoItem->setText(named(QString::fromUtf16(u"&Rétablir"), any ? m_undoGroup->redoText() : QString()));
}

void TMainForm::UndoItemClick()
{
    if (TMDIChild *c = activeChild())
        c->Annule();
}

void TMainForm::RedoItemClick()
{
    if (TMDIChild *c = activeChild())
        c->Retablit();
}

QString TMainForm::captionFor(const QString &path) const
{
    const QString wanted = QFileInfo(path).absoluteFilePath();
    QList<int> taken;
    for (QMdiSubWindow *sub : visibleDocuments(m_mdi)) {
        auto *child = qobject_cast<TMDIChild *>(sub->widget());
        if (!child || child->fileName().isEmpty() ||
            QFileInfo(child->fileName()).absoluteFilePath() != wanted)
            continue;
        const QString title = child->windowTitle();
        const qsizetype colon = title.lastIndexOf(QLatin1Char(':'));
        bool numbered = false;
        const int n = colon > 0 ? title.mid(colon + 1).toInt(&numbered) : 0;
        taken << (numbered && title.left(colon) == path ? n : 1);
    }
    if (taken.isEmpty())
        return path;
    int n = 2;
    while (taken.contains(n))
        ++n;
    return QStringLiteral("%1:%2").arg(path).arg(n);
}

TMDIChild *TMainForm::newDocument()
{
    return CreateChild(QStringLiteral("VOITURE%1").arg(documentCount() + 1));
}

void TMainForm::FileNewItemClick()
{
    newDocument();
}

void TMainForm::FileOpenItemClick()
{
    const QString path = platform::FileDialogs::getOpenFileName(this, kVehicleFilter);
    if (path.isEmpty())
        return;
    openDocument(path);
}

void TMainForm::openDocument(const QString &path)
{
    TMDIChild *child = CreateChild(captionFor(path));
    child->charge(path);
    if (child->partialState() == TMDIChild::Partial::None && QFileInfo(path).isFile())
        platform::Settings::addRecentFile(path);
}

void TMainForm::FileCloseItemClick()
{
    if (QMdiSubWindow *sub = m_mdi->currentSubWindow())
        sub->close();
}

void TMainForm::FileSaveItemClick()
{
    if (TMDIChild *c = activeChild())
        c->Sauve(0);
}

void TMainForm::FileSaveAsItemClick()
{
    if (TMDIChild *c = activeChild())
        c->Sauve(1);
}

void TMainForm::Exporter1Click()
{
    TMDIChild *c = activeChild();
    if (!c)
        return;
    const QString path =
        platform::FileDialogs::getSaveFileName(this, kExportFilter, QStringLiteral("txt"), {}, false);
    if (!path.isEmpty())
        c->Exporte(path);
}

void TMainForm::Importer1Click()
{
    const QString path = platform::FileDialogs::getImportFileName(this, kImportFilter);
    if (path.isEmpty())
        return;
    // The importer reads by name: a FIFO or a device is turned away here, before it can wait.
    if (!filestate::isReadableRegular(path)) {
        platform::Messages::error(this, QStringLiteral("Ne peut ouvrir le fichier %1").arg(path));
        return;
    }
    TImportDialog summary(this);
    if (!summary.Init(path, platform::SystemClock::today())) {
        platform::Messages::error(this, summary.error());
        return;
    }
    if (summary.exec() != QDialog::Accepted)
        return;
    // A new document like "&Nouveau" makes, holding the history: nothing is saved yet.
    VehicleRecord record = summary.result().record;
    record.fileName.clear();
    record.modified = true;
    TMDIChild *child = newDocument();
    child->setRecord(record);
    // The grey fields show the totals of what came in, as after loading a file.
    child->Calcul1();
    child->Calcul2();
    child->Calcul3();
    child->Calcul4();
    child->Calcul5();
    child->showPage(TMDIChild::Carburant);
}

void TMainForm::FileExitItemClick()
{
    close();
}

void TMainForm::CutItemClick()
{
    if (TMDIChild *c = activeChild())
        c->Couper();
}

void TMainForm::CopyItemClick()
{
    if (TMDIChild *c = activeChild())
        c->Copier();
}

void TMainForm::PasteItemClick()
{
    if (TMDIChild *c = activeChild())
        c->Coller();
}

void TMainForm::Supprimercriture1Click()
{
    if (TMDIChild *c = activeChild())
        c->Supprime();
}

void TMainForm::Statistiques1Click()
{
    if (TMDIChild *c = activeChild())
        c->Result();
}

void TMainForm::Graphique1Click()
{
    if (TMDIChild *c = activeChild())
        c->Graphique();
}

// The utilities are found by class name, so each works as soon as start-up creates it.
void TMainForm::Calendrier1Click()
{
    showModalWindow(singles().window(QStringLiteral("TCalendrier")));
}

void TMainForm::Calculatrice1Click()
{
    showModalWindow(singles().window(QStringLiteral("TPocket")));
}

void TMainForm::Horloge1Click()
{
    showModalWindow(singles().window(QStringLiteral("THorloge")));
}

void TMainForm::EuroConversion1Click()
{
    showModalWindow(singles().window(QStringLiteral("TEurof")));
}

void TMainForm::showModalWindow(QWidget *window)
{
    if (!window)
        return;
    if (auto *dialog = qobject_cast<QDialog *>(window)) {
        dialog->exec();
        return;
    }
    QPointer<QWidget> guard(window);
    window->setWindowModality(Qt::ApplicationModal);
    QEventLoop loop;
    auto *watcher = new HideWatcher(window, &loop);
    window->show();
    loop.exec();
    if (guard)
        delete watcher;
}

void TMainForm::WindowCascadeItemClick()
{
    // Each window keeps its size (as far as the area allows) and sits one title bar lower and to
    // the right of the previous one; the last one ends on top. Minimised windows stay icons.
    QList<QMdiSubWindow *> cascaded;
    for (QMdiSubWindow *sub : visibleDocuments(m_mdi))
        if (!sub->isMinimized())
            cascaded << sub;
    const QRect area = m_mdi->viewport()->rect();
    int k = 0;
    for (QMdiSubWindow *sub : std::as_const(cascaded)) {
        if (sub->isMaximized())
            sub->showNormal();
        const int step = sub->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, sub) + 4;
        QPoint at(area.left() + k * step, area.top() + k * step);
        if (k > 0 && (at.y() + 2 * step > area.bottom() || at.x() + 2 * step > area.right())) {
            k = 0;
            at = area.topLeft();
        }
        const QSize size =
            sub->size().boundedTo(QSize(area.right() + 1 - at.x(), area.bottom() + 1 - at.y()));
        sub->setGeometry(QRect(at, size));
        sub->raise();
        ++k;
    }
    if (!cascaded.isEmpty())
        m_mdi->setActiveSubWindow(cascaded.last());
}

void TMainForm::WindowTileItemClick()
{
    // Stacked, each the full width, together filling the client area; icons of minimised
    // windows keep their strip at the bottom.
    QList<QMdiSubWindow *> tiled;
    int iconStrip = 0;
    for (QMdiSubWindow *sub : visibleDocuments(m_mdi)) {
        if (sub->isMinimized())
            iconStrip = std::max(iconStrip, sub->height());
        else
            tiled << sub;
    }
    if (tiled.isEmpty())
        return;
    QRect area = m_mdi->viewport()->rect();
    area.setBottom(area.bottom() - iconStrip);
    const int n = int(tiled.size());
    for (int i = 0; i < n; ++i) {
        QMdiSubWindow *sub = tiled[i];
        if (sub->isMaximized())
            sub->showNormal();
        const int top = area.top() + area.height() * i / n;
        const int bottom = area.top() + area.height() * (i + 1) / n;
        sub->setGeometry(area.left(), top, area.width(), bottom - top);
    }
}

void TMainForm::WindowArrangeItemClick()
{
    const QRect area = m_mdi->viewport()->rect();
    int x = area.left();
    int bottom = area.bottom() + 1;
    for (QMdiSubWindow *sub : visibleDocuments(m_mdi)) {
        if (!sub->isMinimized())
            continue;
        const QSize size = sub->size();
        if (x > area.left() && x + size.width() > area.right() + 1) {
            x = area.left();
            bottom -= size.height();
        }
        sub->move(x, bottom - size.height());
        x += size.width();
    }
}

void TMainForm::WindowMinimizeItemClick()
{
    const QList<QMdiSubWindow *> docs = visibleDocuments(m_mdi);
    for (auto it = docs.rbegin(); it != docs.rend(); ++it)
        (*it)->showMinimized();
}

void TMainForm::fillWindowList()
{
    for (QAction *a : std::as_const(m_windowList)) {
        Window1->removeAction(a);
        delete a;
    }
    m_windowList.clear();
    const QList<QMdiSubWindow *> docs = visibleDocuments(m_mdi);
    if (docs.isEmpty())
        return;
    m_windowList << Window1->addSeparator();
    QMdiSubWindow *current = m_mdi->currentSubWindow();
    for (int i = 0; i < docs.size(); ++i) {
        QMdiSubWindow *sub = docs[i];
        QString title = sub->widget() ? sub->widget()->windowTitle() : sub->windowTitle();
        if (auto *child = qobject_cast<TMDIChild *>(sub->widget()); child && child->hasUnsavedChanges())
            title += QLatin1Char('*');
        QAction *a = Window1->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(title));
        a->setObjectName(QStringLiteral("WindowListItem%1").arg(i + 1));
        a->setCheckable(true);
        a->setChecked(sub == current);
        QPointer<QMdiSubWindow> target(sub);
        connect(a, &QAction::triggered, this, [this, target] {
            if (target) {
                if (target->isMinimized())
                    target->showNormal();
                m_mdi->setActiveSubWindow(target);
            }
        });
        m_windowList << a;
    }
}

void TMainForm::HContents()
{
    platform::Help::contents(this);
}

void TMainForm::HSearch()
{
    platform::Help::search(this, QString());
}

void TMainForm::HowToUse()
{
    platform::Help::helpOnHelp(this);
}

void TMainForm::HelpAboutItemClick()
{
    if (TAboutBox *box = singles().AboutBox)
        box->exec();
}
