#include "ui/widgets/TLedgerView.h"

#include "core/vehicle/ledgermodel.h"
#include "core/vehicle/textrules.h"
#include "platform/settings.h"
#include "platform/systemclock.h"
#include "ui/widgets/TDatePicker.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyledItemDelegate>

#include <algorithm>

namespace {
// The in-place editor of a date: the date picker of the dialogs, so that only a valid date
// reaches the ledger (a text such as "hier" would make every yearly figure stop counting).
class DateDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &, const QModelIndex &) const override
    {
        auto *picker = new TDatePicker(parent);
        picker->setObjectName(QStringLiteral("DateEditor"));
        picker->setDateRange(QDate(1601, 1, 1), QDate(9999, 12, 31));
        picker->setFrame(false);
        return picker;
    }
    // The picker needs a little more than the date column: it may reach over the next one.
    void updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option, const QModelIndex &) const override
    {
        QRect r = option.rect;
        r.setWidth(std::max(r.width(), editor->sizeHint().width()));
        editor->setGeometry(r);
    }
    void setEditorData(QWidget *editor, const QModelIndex &index) const override
    {
        auto *picker = static_cast<TDatePicker *>(editor);
        // An entry whose date cannot be read starts from today's.
        const std::optional<QDate> d = textrules::readDate(index.data(Qt::EditRole).toString());
        picker->setDate(d ? *d : platform::SystemClock::today());
    }
    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override
    {
        auto *picker = static_cast<TDatePicker *>(editor);
        picker->commitTyping();
        model->setData(index, textrules::formatDate(picker->date()), Qt::EditRole);
    }
};
} // namespace

TLedgerView::TLedgerView(LedgerModelBase *model, QWidget *parent) : QTableView(parent)
{
    setModel(model);
    setShowGrid(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSortingEnabled(false);
    setWordWrap(false);
    setTabKeyNavigation(false);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);

    QHeaderView *rows = verticalHeader();
    rows->hide();
    // Fixed row heights keep a ledger of any length as quick to show as a short one.
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(fontMetrics().height() + 4);

    QHeaderView *columns = horizontalHeader();
    columns->setSectionsClickable(false);
    columns->setSortIndicatorShown(false);
    columns->setHighlightSections(false);
    columns->setStretchLastSection(false);
    for (int c = 0; c < model->columnCount(); ++c)
        setColumnWidth(c, model->column(c).width);
    setStatusTip(hint());
    viewport()->setStatusTip(hint());
}

QList<int> TLedgerView::columnWidths() const
{
    QList<int> out;
    for (int c = 0; c < model()->columnCount(); ++c)
        out << columnWidth(c);
    return out;
}

void TLedgerView::showEvent(QShowEvent *event)
{
    QTableView::showEvent(event);
    // Read at first show, when the window has given the list its name.
    if (m_widthsRead || objectName().isEmpty())
        return;
    m_widthsRead = true;
    const QList<int> kept =
        platform::Settings::widths(QStringLiteral("Colonnes/") + objectName(), model()->columnCount());
    for (int c = 0; c < kept.size(); ++c)
        setColumnWidth(c, kept[c]);
    m_keptWidths = columnWidths();
}

void TLedgerView::hideEvent(QHideEvent *event)
{
    // Another page, the window closing, the program ending: a good moment to keep the widths,
    // written only when the user changed them.
    keepColumnWidths();
    QTableView::hideEvent(event);
}

void TLedgerView::keepColumnWidths()
{
    if (!m_widthsRead)
        return;
    const QList<int> now = columnWidths();
    // While the window is taken down the model may already be gone.
    if (now.size() != m_keptWidths.size() || now == m_keptWidths)
        return;
    m_keptWidths = now;
    platform::Settings::setWidths(QStringLiteral("Colonnes/") + objectName(), now);
}

QString TLedgerView::hint()
{
    return QStringLiteral("Double-clic : modifier l'écriture choisie (ou en ajouter une si aucune n'est choisie) ; "
                          "Inser : nouvelle écriture ; Échap : plus d'écriture choisie");
}

int TLedgerView::selectedEntry() const
{
    const QModelIndexList rows = selectionModel()->selectedRows();
    return rows.size() == 1 ? rows.constFirst().row() : -1;
}

void TLedgerView::selectEntry(int row)
{
    if (row < 0 || row >= model()->rowCount()) {
        clearSelection();
        return;
    }
    const QModelIndex index = model()->index(row, 0);
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    scrollTo(index);
}

void TLedgerView::allowDateEditing()
{
    m_dateEditing = true;
    // The slow second click is handled here rather than by the view's own trigger, so that a
    // double-click can always cancel it.
    setEditTriggers(QAbstractItemView::EditKeyPressed);
    setItemDelegateForColumn(0, new DateDelegate(this));
}

void TLedgerView::commitOpenEditor()
{
    m_slowClick.stop();
    if (state() != EditingState)
        return;
    // Only the date column has an editor, and one at most is open.
    const QModelIndex current = currentIndex();
    QWidget *editor = current.isValid() ? indexWidget(current.siblingAtColumn(0)) : nullptr;
    if (!editor) {
        for (QWidget *child : viewport()->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
            if (child->isVisible() && qobject_cast<TDatePicker *>(child))
                editor = child;
    }
    if (!editor)
        return;
    commitData(editor);
    closeEditor(editor, QAbstractItemDelegate::NoHint);
}

void TLedgerView::mousePressEvent(QMouseEvent *event)
{
    m_slowClick.stop();
    m_blankClick.stop();
    m_afterDoubleClick = false;
    const QModelIndex index = indexAt(event->position().toPoint());
    if (!index.isValid()) {
        m_pressed = QPersistentModelIndex();
        setFocus(Qt::MouseFocusReason);
        event->accept();
        return;
    }
    m_pressed = index;
    m_pressedSelected = selectionModel()->isRowSelected(index.row()) && currentIndex().row() == index.row();
    QTableView::mousePressEvent(event);
}

void TLedgerView::mouseReleaseEvent(QMouseEvent *event)
{
    QTableView::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && event->modifiers() == Qt::NoModifier && !m_afterDoubleClick
        && !m_pressed.isValid() && !indexAt(event->position().toPoint()).isValid())
        m_blankClick.start(QApplication::doubleClickInterval(), this);
    if (!m_dateEditing || m_afterDoubleClick || state() == EditingState)
        return;
    const QModelIndex index = indexAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && event->modifiers() == Qt::NoModifier && m_pressedSelected
        && index.isValid() && index == m_pressed && index.column() == 0)
        m_slowClick.start(QApplication::doubleClickInterval(), this);
}

void TLedgerView::mouseDoubleClickEvent(QMouseEvent *event)
{
    // The press before it already selected the entry under the mouse, if any.
    if (event->button() == Qt::LeftButton) {
        m_afterDoubleClick = true;
        m_blankClick.stop();
        commitOpenEditor();
        event->accept();
        Q_EMIT DblClick();
        return;
    }
    QTableView::mouseDoubleClickEvent(event);
}

void TLedgerView::keyPressEvent(QKeyEvent *event)
{
    if (state() != EditingState && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        switch (event->key()) {
        case Qt::Key_Insert:
            event->accept();
            Q_EMIT NewEntry();
            return;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            event->accept();
            Q_EMIT DblClick();
            return;
        case Qt::Key_Delete:
            event->accept();
            Q_EMIT DeleteEntry();
            return;
        case Qt::Key_Escape:
            if (selectionModel()->hasSelection()) {
                clearSelection();
                event->accept();
                return;
            }
            break;
        default:
            break;
        }
    }
    QTableView::keyPressEvent(event);
}

void TLedgerView::timerEvent(QTimerEvent *event)
{
    if (event->timerId() == m_blankClick.timerId()) {
        m_blankClick.stop();
        clearSelection();
        return;
    }
    if (event->timerId() != m_slowClick.timerId()) {
        QTableView::timerEvent(event);
        return;
    }
    m_slowClick.stop();
    // Still the selected entry, and no dialog came up meanwhile.
    if (m_pressed.isValid() && selectedEntry() == m_pressed.row() && !QApplication::activeModalWidget())
        edit(m_pressed.sibling(m_pressed.row(), 0));
}
