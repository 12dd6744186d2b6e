#include "vehicle/TLedgerView.h"

#include "vehicle/TTextInput.h"
#include "vehicle/ledgermodel.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QMouseEvent>
#include <QStyledItemDelegate>

namespace {
// The in-place editor of a date: free text, like every text of an entry.
class DateDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override
    {
        QWidget *editor = QStyledItemDelegate::createEditor(parent, option, index);
        if (auto *line = qobject_cast<QLineEdit *>(editor))
            textinput::keep1252In(line);
        return editor;
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
    setEditTriggers(QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed);
    setItemDelegateForColumn(0, new DateDelegate(this));
}

void TLedgerView::mousePressEvent(QMouseEvent *event)
{
    if (!indexAt(event->position().toPoint()).isValid()) {
        setFocus(Qt::MouseFocusReason);
        event->accept();
        return;
    }
    QTableView::mousePressEvent(event);
}

void TLedgerView::mouseDoubleClickEvent(QMouseEvent *event)
{
    // The press before it already selected the entry under the mouse, if any.
    if (event->button() == Qt::LeftButton) {
        event->accept();
        Q_EMIT DblClick();
        return;
    }
    QTableView::mouseDoubleClickEvent(event);
}
