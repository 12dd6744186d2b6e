// The document window from the keyboard and for screen readers: keys that change the page, the
// tabs' tooltips that show them, and names for the controls no label names well.
#include "ui/document/TMDIChild.h"

#include "core/vehicle/ledgermodel.h"
#include "ui/widgets/TLedgerView.h"
#include "ui/widgets/TTextInput.h"
#include "ui/widgets/accessnames.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTabBar>
#include <QTabWidget>

namespace {
// A shortcut of this window alone: another document window, a dialog or a utility in front
// keeps the key for itself.
QShortcut *windowKey(QWidget *window, const QKeySequence &key)
{
    auto *shortcut = new QShortcut(key, window);
    shortcut->setContext(Qt::WidgetWithChildrenShortcut);
    return shortcut;
}

// "Colonnes : Date, Description, Montant" from the list's own headings.
QString columnsOf(const QAbstractItemModel *model)
{
    QStringList headings;
    for (int c = 0; c < model->columnCount(); ++c)
        headings << model->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString().trimmed();
    return QStringLiteral("Colonnes : ") + headings.join(QStringLiteral(", "));
}
} // namespace

void TMDIChild::setUpPageKeys()
{
    // Ctrl+Tab stays with the client area, which changes document: the page keys are those of
    // tabbed windows on today's desktops.
    const int count = PageControl1->count();
    connect(windowKey(this, QKeySequence(Qt::CTRL | Qt::Key_PageDown)), &QShortcut::activated, this,
            [this, count] { keyToPage((currentPage() + 1) % count); });
    connect(windowKey(this, QKeySequence(Qt::CTRL | Qt::Key_PageUp)), &QShortcut::activated, this,
            [this, count] { keyToPage((currentPage() + count - 1) % count); });
    for (int page = 0; page < count; ++page) {
        const QKeySequence key(Qt::ALT | Qt::Key(Qt::Key_1 + page));
        connect(windowKey(this, key), &QShortcut::activated, this, [this, page] { keyToPage(page); });
        PageControl1->setTabToolTip(page,
                                    QStringLiteral("%1 (%2)").arg(PageControl1->tabText(page),
                                                                  key.toString(QKeySequence::NativeText)));
    }
}

// Shows a page chosen from the keyboard. The focus goes to the page's first control, so that the
// keys typed next (and a screen reader) are on the page shown; on the tabs it stays there, to go
// on stepping through the pages.
void TMDIChild::keyToPage(int page)
{
    showPage(page);
    if (PageControl1->tabBar()->hasFocus())
        return;
    QWidget *shown = PageControl1->currentWidget();
    for (QWidget *w = shown->nextInFocusChain(); w && w != shown; w = w->nextInFocusChain()) {
        if (shown->isAncestorOf(w) && w->isVisible() && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus)) {
            w->setFocus(Qt::TabFocusReason);
            return;
        }
    }
    PageControl1->tabBar()->setFocus(Qt::TabFocusReason);
}

void TMDIChild::nameControls()
{
    PageControl1->tabBar()->setAccessibleName(QStringLiteral("Pages du document"));

    // The grey computed fields: their label alone ("Total") does not say which total.
    struct Computed {
        int field;
        const char16_t *name;
    };
    for (const Computed &c :
         {Computed{11, u"Total des frais fixes annuels (calculé)"},
          Computed{12, u"Total de la perte sur le capital (calculé)"},
          Computed{18, u"Total au kilomètre (calculé)"}, Computed{23, u"Prix de revente (calculé)"},
          Computed{25, u"Consommation aux 100 (calculée)"}, Computed{26, u"Prix du litre (calculé)"}})
        m_edits[std::size_t(c.field)]->setAccessibleName(QString::fromUtf16(c.name));

    // A ledger fills its page: it takes the page's name, and says which columns it shows and
    // how entries are added or changed.
    const std::array<TLedgerView *, 3> ledgers{ListView1, ListView2, ListView3};
    const std::array<int, 3> pages{Carburant, Garage, Stationnement};
    for (std::size_t i = 0; i < ledgers.size(); ++i) {
        ledgers[i]->setAccessibleName(PageControl1->tabText(pages[i]));
        ledgers[i]->setAccessibleDescription(columnsOf(ledgers[i]->model()) + QStringLiteral(". ") +
                                             TLedgerView::hint());
    }

    accessnames::nameInnerFields(this);
    Memo1->setAccessibleName(QStringLiteral("Commentaire"));
    Image1->setAccessibleName(QString::fromUtf16(u"Image du véhicule"));
    Button1->setAccessibleDescription(QString::fromUtf16(u"Charger l'image du véhicule"));
}
