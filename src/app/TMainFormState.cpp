// What the main frame keeps in the settings file: its own place and size, the size of document
// windows, and the recent files of "&Fichier".
#include "app/TMainForm.h"

#include "app/commandline.h"
#include "platform/messages.h"
#include "platform/settings.h"
#include "ui/document/TMDIChild.h"

#include <QAction>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QStyleOptionMenuItem>

using platform::Settings;

namespace {
const QString kGeometryKey = QStringLiteral("Cadre/geometrie");
const QString kDocumentSizeKey = QStringLiteral("Document/taille");

// The submenu of the recent files: a file that is no longer there is drawn greyed, yet can
// still be chosen, which takes it off the list.
class RecentFilesMenu : public QMenu {
public:
    using QMenu::QMenu;

protected:
    void initStyleOption(QStyleOptionMenuItem *option, const QAction *action) const override
    {
        QMenu::initStyleOption(option, action);
        if (action->property("missing").toBool()) {
            option->state &= ~QStyle::State_Enabled;
            option->palette.setCurrentColorGroup(QPalette::Disabled);
        }
    }
};

// Keeps the size a document window had when it went, for the next one.
class DocumentSizeKeeper : public QObject {
public:
    DocumentSizeKeeper(QMdiSubWindow *sub, QWidget *document) : QObject(sub), m_document(document)
    {
        sub->installEventFilter(this);
    }
    bool eventFilter(QObject *watched, QEvent *e) override
    {
        auto *sub = static_cast<QMdiSubWindow *>(watched);
        if (e->type() == QEvent::Hide && !sub->isMinimized() && !sub->isMaximized())
            Settings::setValue(kDocumentSizeKey, m_document->size());
        return false;
    }

private:
    QWidget *m_document;
};

QString menuText(int number, const QString &path)
{
    QString shown = QDir::toNativeSeparators(path);
    shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
    return QStringLiteral("&%1 %2").arg(number).arg(shown);
}
} // namespace

bool TMainForm::restoreWindowState()
{
    const QByteArray geometry = Settings::value(kGeometryKey).toByteArray();
    return !geometry.isEmpty() && restoreGeometry(geometry);
}

void TMainForm::keepWindowState()
{
    Settings::setValue(kGeometryKey, saveGeometry());
}

QSize TMainForm::documentSize(const QSize &designed)
{
    const QSize kept = Settings::value(kDocumentSizeKey).toSize();
    // A size from a hand-edited file stays within reason.
    if (kept.width() < 200 || kept.height() < 150 || kept.width() > 8000 || kept.height() > 8000)
        return designed;
    return kept;
}

void TMainForm::watchDocument(QMdiSubWindow *sub, TMDIChild *child)
{
    new DocumentSizeKeeper(sub, child);
    // A document written to its file goes to the top of the recent files.
    connect(child, &TMDIChild::documentChanged, this, [child] {
        if (!child->hasUnsavedChanges() && !child->fileName().isEmpty() &&
            QFileInfo(child->fileName()).isFile())
            Settings::addRecentFile(child->fileName());
    });
}

void TMainForm::buildRecentMenu()
{
    RecentMenu = new RecentFilesMenu(QStringLiteral("Fichiers &récents"), File1);
    RecentMenu->setObjectName(QStringLiteral("RecentMenu"));
    RecentItem = RecentMenu->menuAction();
    RecentItem->setObjectName(QStringLiteral("RecentItem"));
    RecentItem->setStatusTip(QStringLiteral("Rouvrir un des derniers fichiers voiture"));
    RecentMenu->setFont(font());
    // F1 in the submenu opens the topic of "&Fichier", as in the menu itself.
    RecentMenu->setProperty("helpContext", File1->property("helpContext"));
    RecentMenu->installEventFilter(this);
    File1->insertMenu(FileCloseItem, RecentMenu);
    connect(RecentMenu, &QMenu::hovered, this, [this](QAction *a) { DisplayHint(a->statusTip()); });
    // Read again each time: another running program may have changed the list.
    connect(RecentMenu, &QMenu::aboutToShow, this, &TMainForm::fillRecentMenu);
}

void TMainForm::fillRecentMenu()
{
    RecentMenu->clear();
    const QStringList files = Settings::recentFiles();
    for (int i = 0; i < files.size(); ++i) {
        const QString path = files[i];
        QAction *a = RecentMenu->addAction(menuText(i + 1, path));
        a->setObjectName(QStringLiteral("RecentFile%1").arg(i + 1));
        a->setStatusTip(QDir::toNativeSeparators(path));
        a->setProperty("missing", !QFileInfo(path).isFile());
        connect(a, &QAction::triggered, this,
                [this, path] { runCommand([this, path] { openRecent(path); }); });
    }
    RecentMenu->addSeparator();
    QAction *clear = RecentMenu->addAction(QStringLiteral("&Vider la liste"));
    clear->setObjectName(QStringLiteral("RecentClearItem"));
    clear->setStatusTip(QStringLiteral("Oublier les fichiers récents"));
    clear->setEnabled(!files.isEmpty());
    connect(clear, &QAction::triggered, this, [] { Settings::clearRecentFiles(); });
}

void TMainForm::openRecent(const QString &path)
{
    if (!QFileInfo(path).isFile()) {
        Settings::removeRecentFile(path);
        platform::Messages::error(this, QStringLiteral("Ne peut ouvrir le fichier %1").arg(path));
        return;
    }
    commandline::openFile(this, path, true);
}

TMDIChild *TMainForm::findDocument(const QString &path) const
{
    const QFileInfo wanted(path);
    const QString canonical = wanted.canonicalFilePath();
    for (QMdiSubWindow *sub : m_mdi->subWindowList(QMdiArea::CreationOrder)) {
        auto *doc = qobject_cast<TMDIChild *>(sub->widget());
        if (!doc || sub->isHidden() || doc->fileName().isEmpty())
            continue;
        const QFileInfo held(doc->fileName());
        if (held.absoluteFilePath() == wanted.absoluteFilePath() ||
            (!canonical.isEmpty() && held.canonicalFilePath() == canonical))
            return doc;
    }
    return nullptr;
}

void TMainForm::activateDocument(TMDIChild *doc)
{
    for (QMdiSubWindow *sub : m_mdi->subWindowList()) {
        if (sub->widget() != doc)
            continue;
        if (sub->isMinimized())
            sub->showNormal();
        m_mdi->setActiveSubWindow(sub);
        documentActivated(sub);
        return;
    }
}
