// Undo and redo of a document window: steps of the fields and of the ledger entries, on one
// QUndoStack per window.
#include "ui/document/TMDIChild.h"

#include "core/reports/calculations.h"
#include "core/vehicle/ledgermodel.h"
#include "ui/document/TDueNotes.h"
#include "ui/widgets/TDatePicker.h"
#include "ui/widgets/TLedgerView.h"
#include "ui/widgets/TTextInput.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QTabWidget>
#include <QTextDocument>
#include <QUndoCommand>
#include <QUndoStack>

#include <functional>
#include <utility>

namespace {
// A change already made when it is pushed: the stack's first redo, run by push, does nothing.
class Step : public QUndoCommand {
public:
    Step(const QString &text, std::function<void()> undo, std::function<void()> redo)
        : QUndoCommand(text), m_undo(std::move(undo)), m_redo(std::move(redo))
    {
    }
    void undo() override { m_undo(); }
    void redo() override
    {
        if (!std::exchange(m_first, false))
            m_redo();
    }

private:
    std::function<void()> m_undo, m_redo;
    bool m_first = true;
};

QString named(const QString &label)
{
    return QString::fromUtf16(u"la modification de «\u00a0%1\u00a0»").arg(label);
}
} // namespace

void TMDIChild::wireUndo()
{
    m_undo = new QUndoStack(this);
    m_undo->setObjectName(QStringLiteral("UndoStack"));
    // The stack also reports its clearing as it goes with the window: m_undo is null by then.
    connect(m_undo, &QUndoStack::indexChanged, this, [this] {
        if (!m_pushing && m_undo)
            afterUndoRedo();
    });
    // A field's typing becomes a step when the field is left; number fields are watched already.
    QList<QWidget *> fields{m_edits[1], m_edits[2], m_edits[3], ComboBox1, Memo1};
    for (int number = 1; number <= 3; ++number)
        fields << m_pickers[std::size_t(number)];
    for (QWidget *w : std::as_const(fields)) {
        w->setProperty("undoField", true);
        w->installEventFilter(this);
    }
    // A type chosen in the list is a choice made: no leaving needed.
    connect(ComboBox1, &QComboBox::activated, this, [this] { commitFieldStep(); });
    connect(this, &TMDIChild::documentChanged, this, &TMDIChild::showMark);
    m_base = fieldsState();
}

TMDIChild::FieldsState TMDIChild::fieldsState() const
{
    FieldsState s;
    for (int field = 1; field < int(s.edit.size()); ++field)
        if (!isComputedEdit(field))
            s.edit[std::size_t(field)] = m_record.edit[std::size_t(field)];
    s.date1 = m_record.DateTimePicker1;
    s.date2 = m_record.DateTimePicker2;
    s.date3 = m_record.DateTimePicker3;
    s.type = m_record.ComboBox1;
    s.comment = Memo1->toPlainText();
    s.image = m_record.Image1;
    s.picture = m_picture;
    s.pictureFile = m_pictureFile;
    s.stretch = m_stretch;
    return s;
}

void TMDIChild::applyFields(const FieldsState &state)
{
    for (int field = 1; field < int(state.edit.size()); ++field)
        if (!isComputedEdit(field))
            m_record.edit[std::size_t(field)] = state.edit[std::size_t(field)];
    m_record.DateTimePicker1 = state.date1;
    m_record.DateTimePicker2 = state.date2;
    m_record.DateTimePicker3 = state.date3;
    m_record.ComboBox1 = state.type;
    m_record.Memo1 = state.comment.split(QLatin1Char('\n'));
    m_record.Image1 = state.image;
    m_picture = state.picture;
    m_pictureFile = state.pictureFile;
    m_stretch = state.stretch;
    computeAll(m_record);
    showRecord();
    syncComment();
    showPicture();
    m_base = state;
}

QString TMDIChild::fieldStepText(const FieldsState &before, const FieldsState &after) const
{
    auto labelOf = [this](const QWidget *w) {
        for (const QLabel *label : findChildren<QLabel *>())
            if (label->buddy() == w)
                return named(label->text().remove(QLatin1Char('&')));
        return named(w->objectName());
    };
    for (int field = 1; field < int(before.edit.size()); ++field)
        if (before.edit[std::size_t(field)] != after.edit[std::size_t(field)])
            return labelOf(m_edits[std::size_t(field)]);
    if (before.date1 != after.date1)
        return labelOf(m_pickers[1]);
    if (before.date2 != after.date2)
        return labelOf(m_pickers[2]);
    if (before.date3 != after.date3)
        return labelOf(m_pickers[3]);
    if (before.type != after.type)
        return labelOf(ComboBox1);
    if (before.comment != after.comment)
        return QStringLiteral("la modification du commentaire");
    return QStringLiteral("le changement d'image");
}

void TMDIChild::commitFieldStep(const QString &what)
{
    if (m_updating || !m_undo)
        return;
    const FieldsState now = fieldsState();
    if (now == m_base)
        return;
    const FieldsState before = std::exchange(m_base, now);
    const QString text = what.isEmpty() ? fieldStepText(before, now) : what;
    m_pushing = true;
    m_undo->push(new Step(
        text, [this, before] { applyFields(before); }, [this, now] { applyFields(now); }));
    m_pushing = false;
}

template <std::size_t N>
void TMDIChild::pushLedgerStep(LedgerModel<N> *model, TLedgerView *view, int page, int row,
                               const std::optional<LedgerEntry<N>> &before,
                               const std::optional<LedgerEntry<N>> &after, const QString &what)
{
    if (!m_undo)
        return;
    QString text = what;
    if (text.isEmpty())
        text = !before ? QStringLiteral("l'ajout de l'écriture")
               : after ? QStringLiteral("la modification de l'écriture")
                       : QStringLiteral("la suppression de l'écriture");
    using Entry = LedgerEntry<N>;
    // Shows the ledger and the entry the step changes, so that the user sees what came back.
    auto apply = [this, model, view, page, row](const std::optional<Entry> &from,
                                                const std::optional<Entry> &to) {
        if (from && to)
            model->replace(row, *to);
        else if (to)
            model->insert(row, *to);
        else
            model->remove(row);
        showPage(page);
        if (to)
            view->selectEntry(row);
        else
            view->clearSelection();
        if (page == Carburant)
            recalc(5);
    };
    m_pushing = true;
    m_undo->push(new Step(
        text, [apply, before, after] { apply(after, before); },
        [apply, before, after] { apply(before, after); }));
    m_pushing = false;
}

template void TMDIChild::pushLedgerStep<5>(LedgerModel<5> *, TLedgerView *, int, int,
                                           const std::optional<LedgerEntry<5>> &,
                                           const std::optional<LedgerEntry<5>> &, const QString &);
template void TMDIChild::pushLedgerStep<4>(LedgerModel<4> *, TLedgerView *, int, int,
                                           const std::optional<LedgerEntry<4>> &,
                                           const std::optional<LedgerEntry<4>> &, const QString &);
template void TMDIChild::pushLedgerStep<3>(LedgerModel<3> *, TLedgerView *, int, int,
                                           const std::optional<LedgerEntry<3>> &,
                                           const std::optional<LedgerEntry<3>> &, const QString &);

void TMDIChild::Annule()
{
    // An open in-place edit and a field being typed into are steps of their own, undone first.
    commitEdits();
    commitFieldStep();
    if (m_undo->canUndo())
        m_undo->undo();
}

void TMDIChild::Retablit()
{
    commitEdits();
    commitFieldStep();
    if (m_undo->canRedo())
        m_undo->redo();
}

void TMDIChild::afterUndoRedo()
{
    // Back at the state last saved, nothing is left to save; anywhere else, something is.
    if (m_undo->isClean()) {
        m_record.modified = false;
        Memo1->document()->setModified(false);
    } else {
        m_record.modified = true;
    }
    emit documentChanged();
}

void TMDIChild::markSaved(bool forget)
{
    m_pushing = true;
    if (forget)
        m_undo->clear();
    if (m_record.modified)
        m_undo->resetClean();
    else
        m_undo->setClean();
    m_pushing = false;
    m_base = fieldsState();
    showMark();
}

void TMDIChild::showMark()
{
    auto *sub = qobject_cast<QMdiSubWindow *>(parentWidget());
    if (!sub)
        return;
    // Qt's mark: the frame shows '*' in place of "[*]" while the window is modified.
    const QString title = windowTitle() + QStringLiteral("[*]");
    if (sub->windowTitle() != title)
        sub->setWindowTitle(title);
    sub->setWindowModified(hasUnsavedChanges());
}

void TMDIChild::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    // The frame copies the plain title first; the mark goes back on after it.
    if (event->type() == QEvent::WindowTitleChange)
        showMark();
}
