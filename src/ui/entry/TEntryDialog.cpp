#include "ui/entry/TEntryDialog.h"

#include "core/vehicle/textrules.h"
#include "platform/fonts.h"
#include "platform/systemclock.h"
#include "ui/widgets/TDatePicker.h"
#include "ui/widgets/TTextInput.h"
#include "ui/widgets/accessnames.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

#include <algorithm>

namespace {

constexpr int kClientWidth = 384;
constexpr int kRowStep = 30;
constexpr int kRowHeight = 21;
constexpr int kLabelLeft = 12;
constexpr int kFieldLeft = 96; // at least; further right when a label needs the room
constexpr int kDateWidth = 120;
constexpr int kTextWidth = 180;
constexpr int kNumberWidth = 110;
constexpr int kButtonLeft = 296;
constexpr int kButtonWidth = 80;
constexpr int kButtonHeight = 25;

QLabel *makeLabel(QWidget *parent, const QString &name, const QString &text, int top, int fieldLeft)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setGeometry(kLabelLeft, top, fieldLeft - kLabelLeft - 4, kRowHeight);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return label;
}

} // namespace

TEntryDialog::TEntryDialog(QWidget *parent, const QString &className, const QString &title,
                           int clientHeight, const std::vector<FieldSpec> &fields, int tabAfterButtons)
    : QDialog(parent)
{
    setObjectName(className);
    setWindowTitle(title);
    setFont(platform::windowFont());
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                   | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(kClientWidth, clientHeight);
    setModal(true);

    const int rows = int(fields.size()) + 1;
    const int top = (clientHeight - ((rows - 1) * kRowStep + kRowHeight)) / 2;
    int fieldLeft = kFieldLeft;
    for (const FieldSpec &f : fields)
        fieldLeft = std::max(fieldLeft, kLabelLeft + fontMetrics().horizontalAdvance(QString::fromUtf16(f.label)) + 8);

    QLabel *dateLabel = makeLabel(this, QStringLiteral("Label1"), QStringLiteral("Date"), top, fieldLeft);
    DateTimePicker1 = new TDatePicker(this);
    DateTimePicker1->setObjectName(QStringLiteral("DateTimePicker1"));
    DateTimePicker1->setDateRange(QDate(1601, 1, 1), QDate(9999, 12, 31));
    DateTimePicker1->setDate(platform::SystemClock::today());
    DateTimePicker1->setGeometry(fieldLeft, top, kDateWidth, kRowHeight);
    dateLabel->setBuddy(DateTimePicker1);

    for (std::size_t i = 0; i < fields.size(); ++i) {
        const int y = top + int(i + 1) * kRowStep;
        const QString n = QString::number(i + 1);
        QLabel *label = makeLabel(this, QStringLiteral("Label") + QString::number(i + 2),
                                  QString::fromUtf16(fields[i].label), y, fieldLeft);
        auto *e = new QLineEdit(this);
        e->setObjectName(QStringLiteral("Edit") + n);
        const int width = fields[i].number ? kNumberWidth : std::min(kTextWidth, kButtonLeft - 12 - fieldLeft);
        e->setGeometry(fieldLeft, y, width, kRowHeight);
        label->setBuddy(e);
        if (fields[i].number) {
            e->setAttribute(Qt::WA_InputMethodEnabled, false);
            e->installEventFilter(this);
            // Pasted or dropped text goes through the same filter as typed keys.
            textinput::keepNumberIn(e, false);
            textinput::clearMarkOnEdit(e);
        } else {
            textinput::keep1252In(e);
        }
        m_edits.push_back(e);
        m_number.push_back(fields[i].number);
    }

    Button1 = new QPushButton(QStringLiteral("Annuler"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(kButtonLeft, top, kButtonWidth, kButtonHeight);
    Button2 = new QPushButton(QStringLiteral("OK"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setGeometry(kButtonLeft, top + kButtonHeight + 7, kButtonWidth, kButtonHeight);
    // No default button: QDialog would otherwise make the first auto-default button the
    // default when shown, and Enter in a field would close the dialog.
    for (QPushButton *b : {Button1, Button2}) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }
    connect(Button1, &QPushButton::clicked, this, &TEntryDialog::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TEntryDialog::Button2Click);

    // Tab order: date, the fields, the buttons, then the fields placed after the buttons.
    std::vector<QWidget *> order{DateTimePicker1};
    const std::size_t before = m_edits.size() - std::size_t(tabAfterButtons);
    for (std::size_t i = 0; i < before; ++i)
        order.push_back(m_edits[i]);
    order.push_back(Button1);
    order.push_back(Button2);
    for (std::size_t i = before; i < m_edits.size(); ++i)
        order.push_back(m_edits[i]);
    for (std::size_t i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);

    DateTimePicker1->setFocus();
    accessnames::nameInnerFields(this);
}

QString TEntryDialog::Dec(const QString &text)
{
    return textrules::Dec(text);
}

void TEntryDialog::Button1Click()
{
    m_accepted = false;
    QDialog::reject();
}

void TEntryDialog::Button2Click()
{
    // "OK" reached without the focus leaving a field (a shortcut, a direct click call): the date
    // being typed is taken, a number field gets its two-decimal form.
    DateTimePicker1->commitTyping();
    // A date that does not exist is neither stored nor replaced: the user corrects it.
    if (DateTimePicker1->isWrong()) {
        DateTimePicker1->setFocus(Qt::OtherFocusReason);
        return;
    }
    if (auto *e = qobject_cast<QLineEdit *>(focusWidget()); e && isNumberField(e))
        numberFieldExit(e);
    // An amount such as 1234.5.6 would silently drop out of every figure.
    for (std::size_t i = 0; i < m_edits.size(); ++i) {
        QLineEdit *e = m_edits[i];
        if (m_number[i] && textinput::isWrongNumber(e->text())) {
            textinput::showWrong(e, true);
            e->setFocus(Qt::OtherFocusReason);
            e->selectAll();
            return;
        }
    }
    m_accepted = true;
    QDialog::accept();
}

void TEntryDialog::reject()
{
    Button1Click();
}

void TEntryDialog::initDate(const QString &text)
{
    const QString t = text.isEmpty() ? textrules::formatDate(platform::SystemClock::today()) : text;
    const std::optional<QDate> d = textrules::readDate(t);
    if (d && *d >= DateTimePicker1->minimumDate() && *d <= DateTimePicker1->maximumDate())
        DateTimePicker1->resetDate(*d);
}

QString TEntryDialog::resultDate() const
{
    if (!m_accepted)
        return {};
    return textrules::formatDate(DateTimePicker1->date());
}

void TEntryDialog::numberFieldExit(QLineEdit *field)
{
    const QString formatted = Dec(field->text());
    if (formatted != field->text())
        field->setText(formatted);
}

bool TEntryDialog::Edit2KeyPress(QLineEdit *field, QKeyEvent *event)
{
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false; // shortcuts: what a paste brings is filtered as it arrives
    const QString text = event->text();
    if (text.isEmpty())
        return false; // arrows, Delete, Home...
    // Control characters are editing keys and shortcuts (Backspace, Ctrl+C, Ctrl+V...).
    bool printable = false;
    for (QChar c : text)
        printable = printable || c.isPrint();
    if (!printable)
        return false;
    QString kept;
    for (QChar c : text) {
        if (const std::optional<QChar> k = textrules::filterKey(c))
            kept += *k;
    }
    if (kept == text)
        return false;
    if (!kept.isEmpty())
        field->insert(kept);
    return true;
}

bool TEntryDialog::isNumberField(const QObject *o) const
{
    for (std::size_t i = 0; i < m_edits.size(); ++i)
        if (m_edits[i] == o)
            return m_number[i];
    return false;
}

bool TEntryDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (isNumberField(watched)) {
        auto *field = static_cast<QLineEdit *>(watched);
        if (event->type() == QEvent::KeyPress)
            return Edit2KeyPress(field, static_cast<QKeyEvent *>(event));
        if (event->type() == QEvent::FocusOut) {
            // A context menu or a switch to another window is not leaving the field.
            const Qt::FocusReason why = static_cast<QFocusEvent *>(event)->reason();
            if (why != Qt::PopupFocusReason && why != Qt::ActiveWindowFocusReason)
                numberFieldExit(field);
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TEntryDialog::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        // Enter presses the button that has the focus, as on any push button; anywhere else
        // it does nothing, since there is no default button.
        if (auto *b = qobject_cast<QPushButton *>(focusWidget()); b && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier)
            b->click();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TEntryDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    // Every opening starts at the date, wherever the last use left the focus, and the focus
    // is drawn from the start, so that the first keys typed are seen to go somewhere.
    setAttribute(Qt::WA_KeyboardFocusChange);
    DateTimePicker1->setFocus(Qt::TabFocusReason);
    for (std::size_t i = 0; i < m_edits.size(); ++i)
        if (m_number[i])
            textinput::markNumber(m_edits[i]);
    QScreen *s = parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
    if (!s)
        return;
    const QRect area = s->availableGeometry();
    move(area.center() - QPoint(width() / 2, height() / 2));
}
