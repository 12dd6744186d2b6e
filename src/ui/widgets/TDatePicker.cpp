#include "ui/widgets/TDatePicker.h"

#include "platform/systemclock.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QStyle>
#include <QStyleOptionComboBox>

namespace {
constexpr int kDay = 0, kMonth = 1, kYear = 2;

bool isSeparator(QChar c)
{
    return c == u'/' || c == u'.' || c == u'-' || c == u' ' || c == u',';
}

QString twoDigits(const QString &part)
{
    return part.size() == 1 ? QLatin1Char('0') + part : part;
}
} // namespace

TDatePicker::TDatePicker(QWidget *parent) : QDateEdit(parent)
{
    setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
    setCalendarPopup(true);
    // A date set from outside (a load, a dialog's Init, the calendar) ends any typing.
    connect(this, &QDateEdit::dateChanged, this, [this] {
        if (!m_committing) {
            m_typing = false;
            setWrong(false);
        }
    });
}

void TDatePicker::setWrong(bool wrong)
{
    const QString typed = wrong ? lineEdit()->text() : QString();
    if (wrong == m_wrong && typed == m_wrongText)
        return;
    const bool changed = wrong != m_wrong;
    m_wrong = wrong;
    m_wrongText = typed;
    if (changed) {
        // The same red ground and tooltip as a number field holding no number.
        if (wrong) {
            QPalette p = palette();
            p.setColor(QPalette::Base, QColor(255, 214, 214));
            p.setColor(QPalette::Text, QColor(150, 0, 0));
            setPalette(p);
            setToolTip(QStringLiteral("Cette date n'existe pas : elle n'est pas prise."));
        } else {
            setPalette(QPalette());
            setToolTip(QString());
        }
    }
    emit wrongChanged(wrong, typed);
}

void TDatePicker::showWrongText()
{
    if (!m_wrong || lineEdit()->text() == m_wrongText)
        return;
    const QSignalBlocker blocker(lineEdit());
    lineEdit()->setText(m_wrongText);
}

void TDatePicker::resetDate(const QDate &d)
{
    m_typing = false;
    m_committing = true;
    setDate(d);
    m_committing = false;
    setWrong(false);
    const QString shown = textFromDateTime(dateTime());
    if (lineEdit()->text() != shown) {
        const QSignalBlocker blocker(lineEdit());
        lineEdit()->setText(shown);
    }
}

QString TDatePicker::textFromDateTime(const QDateTime &dateTime) const
{
    if (m_wrong && !m_wrongText.isEmpty())
        return m_wrongText;
    return QDateEdit::textFromDateTime(dateTime);
}

void TDatePicker::fixup(QString &) const {}

QValidator::State TDatePicker::validate(QString &input, int &pos) const
{
    // The spin box's check would also rewrite the text (31/02 into 29/02): it may judge, not write.
    QString copy = input;
    int at = pos;
    const QValidator::State state = QDateEdit::validate(copy, at);
    if (copy != input)
        return QValidator::Intermediate;
    pos = at;
    return state;
}

void TDatePicker::showEvent(QShowEvent *event)
{
    QDateEdit::showEvent(event);
    showWrongText();
}

int TDatePicker::sectionPart() const
{
    return std::clamp(currentSectionIndex(), kDay, kYear);
}

bool TDatePicker::focusNextPrevChild(bool next)
{
    endTyping();
    return QWidget::focusNextPrevChild(next);
}

void TDatePicker::beginTyping()
{
    if (m_typing)
        return;
    m_typing = true;
    m_part = sectionPart();
    m_typed.clear();
    m_advanced = false;
    // A wrong date is corrected where it stands, not started again from the last valid one.
    if (m_wrong)
        return;
    const QDate d = date();
    m_parts = {QStringLiteral("%1").arg(d.day(), 2, 10, QLatin1Char('0')),
               QStringLiteral("%1").arg(d.month(), 2, 10, QLatin1Char('0')),
               QStringLiteral("%1").arg(d.year(), 4, 10, QLatin1Char('0'))};
    m_part = sectionPart();
    m_typed.clear();
    m_advanced = false;
}

// A part is full when no further digit could belong to it: two digits, or a first digit that
// cannot start a two-digit day (4 to 9) or month (2 to 9).
void TDatePicker::typeDigit(QChar digit)
{
    beginTyping();
    const int max = m_part == kYear ? 4 : 2;
    if (m_typed.size() >= max)
        m_typed.clear(); // the year is in: more digits start it again
    m_typed += digit;
    m_parts[std::size_t(m_part)] = m_typed;
    m_advanced = false;
    const bool full = m_typed.size() == max
                      || (m_typed.size() == 1 && ((m_part == kDay && digit > u'3') || (m_part == kMonth && digit > u'1')));
    if (full && m_part < kYear) {
        finishPart();
        ++m_part;
        m_advanced = true;
    }
    if (full && m_part == kYear && m_typed.size() == 4) {
        // The whole date is typed: it becomes the picker's date when it is a valid one.
        if (const QDate d = typedDate(false); d.isValid() && (d != date() || m_wrong)) {
            m_committing = true;
            setDate(d);
            m_committing = false;
            setWrong(false);
        }
    }
    showTyped();
}

void TDatePicker::finishPart()
{
    if (m_part != kYear)
        m_parts[std::size_t(m_part)] = twoDigits(m_parts[std::size_t(m_part)]);
    m_typed.clear();
}

void TDatePicker::nextPart()
{
    beginTyping();
    // "20/": the day was full and already moved on; the separator only confirms it.
    if (!std::exchange(m_advanced, false) && m_part < kYear) {
        finishPart();
        ++m_part;
    }
    // A separator says the next part is to be typed: what it held before is no longer taken
    // ("3/4/" is unfinished, not the 3rd of April of the year shown).
    if (m_typed.isEmpty())
        m_parts[std::size_t(m_part)].clear();
    showTyped();
}

void TDatePicker::movePart(int part)
{
    beginTyping();
    m_advanced = false;
    finishPart();
    m_part = std::clamp(part, kDay, kYear);
    showTyped();
}

void TDatePicker::backspace()
{
    beginTyping();
    m_advanced = false;
    if (m_typed.isEmpty() && m_parts[std::size_t(m_part)].isEmpty() && m_part > kDay) {
        --m_part;
        m_typed = m_parts[std::size_t(m_part)];
    }
    if (m_typed.isEmpty())
        m_typed = m_parts[std::size_t(m_part)];
    m_typed.chop(1);
    m_parts[std::size_t(m_part)] = m_typed;
    showTyped();
}

// A pasted date is typed from its first part on.
void TDatePicker::paste()
{
    const QString text = QApplication::clipboard()->text().trimmed();
    if (text.isEmpty())
        return;
    beginTyping();
    m_part = kDay;
    m_typed.clear();
    m_advanced = false;
    for (const QChar c : text) {
        if (c.isDigit() && c.unicode() < 128)
            typeDigit(c);
        else if (isSeparator(c))
            nextPart();
    }
}

QDate TDatePicker::typedDate(bool leaving) const
{
    bool okDay = false, okMonth = false, okYear = false;
    const int day = m_parts[kDay].toInt(&okDay);
    const int month = m_parts[kMonth].toInt(&okMonth);
    int year = m_parts[kYear].toInt(&okYear);
    if (!okDay || !okMonth || !okYear)
        return {};
    if (m_parts[kYear].size() == 2 && leaving) {
        // "05/12/26": the nearest century that is not more than ten years ahead.
        const int limit = platform::SystemClock::today().year() + 10;
        year += 2000;
        if (year > limit)
            year -= 100;
    } else if (m_parts[kYear].size() != 4) {
        return {};
    }
    const QDate d(year, month, day);
    if (!d.isValid() || d < minimumDate() || d > maximumDate())
        return {};
    return d;
}

void TDatePicker::showTyped()
{
    QLineEdit *edit = lineEdit();
    const QString text = m_parts[kDay] + QLatin1Char('/') + m_parts[kMonth] + QLatin1Char('/') + m_parts[kYear];
    int start = 0;
    for (int i = 0; i < m_part; ++i)
        start += int(m_parts[std::size_t(i)].size()) + 1;
    // Blocked: the spin box would take a half-typed text for a date of its own.
    const QSignalBlocker blocker(edit);
    if (edit->text() != text)
        edit->setText(text);
    if (m_typed.isEmpty())
        edit->setSelection(start, int(m_parts[std::size_t(m_part)].size()));
    else
        edit->setCursorPosition(start + int(m_typed.size()));
}

void TDatePicker::endTyping(bool take)
{
    if (!m_typing)
        return;
    const QDate typed = take ? typedDate(true) : QDate();
    const int part = m_part;
    m_typing = false;
    if (take && !typed.isValid()) {
        // Neither taken nor replaced: the text stays as typed, marked, for the user to correct.
        showTyped();
        setWrong(true);
        if (hasFocus())
            lineEdit()->setCursorPosition(int(lineEdit()->text().size()));
        return;
    }
    m_committing = true;
    setDate(typed.isValid() ? typed : date());
    m_committing = false;
    setWrong(false);
    // setDate shows the date but leaves the text as it is when the date did not change.
    const QString shown = textFromDateTime(dateTime());
    if (lineEdit()->text() != shown) {
        const QSignalBlocker blocker(lineEdit());
        lineEdit()->setText(shown);
    }
    if (hasFocus())
        setCurrentSectionIndex(part);
}

void TDatePicker::commitTyping()
{
    endTyping();
}

void TDatePicker::showCalendar()
{
    endTyping();
    if (!isEnabled() || isReadOnly())
        return;
    // The calendar opens from the press on the drop-down button; the same press here.
    QStyleOptionComboBox option;
    option.initFrom(this);
    option.editable = true;
    option.frame = hasFrame();
    option.subControls = QStyle::SC_All;
    const QRect arrow = style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxArrow, this);
    const QPointF at = arrow.center();
    QMouseEvent press(QEvent::MouseButtonPress, at, mapToGlobal(at), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QDateEdit::mousePressEvent(&press);
}

void TDatePicker::keyPressEvent(QKeyEvent *event)
{
    const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    const int key = event->key();
    if ((key == Qt::Key_Down && mods == Qt::AltModifier) || (key == Qt::Key_F4 && mods == Qt::NoModifier)) {
        showCalendar();
        event->accept();
        return;
    }
    if (mods == Qt::ControlModifier && key == Qt::Key_V) {
        paste();
        event->accept();
        return;
    }
    if (mods & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) {
        QDateEdit::keyPressEvent(event);
        return;
    }
    switch (key) {
    case Qt::Key_Backspace:
    case Qt::Key_Delete:
        backspace();
        event->accept();
        return;
    case Qt::Key_Left:
        movePart((m_typing ? m_part : sectionPart()) - 1);
        event->accept();
        return;
    case Qt::Key_Right:
        movePart((m_typing ? m_part : sectionPart()) + 1);
        event->accept();
        return;
    case Qt::Key_Home:
        movePart(kDay);
        event->accept();
        return;
    case Qt::Key_End:
        movePart(kYear);
        event->accept();
        return;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        focusNextPrevChild(key == Qt::Key_Tab && mods == Qt::NoModifier);
        event->accept();
        return;
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // Stepping and Enter act on the picker's date: the typing ends first.
        endTyping();
        QDateEdit::keyPressEvent(event);
        return;
    case Qt::Key_Escape:
        // Esc gives up what is being typed (and goes on to the dialog, which it cancels).
        endTyping(false);
        QDateEdit::keyPressEvent(event);
        return;
    default:
        break;
    }
    const QString text = event->text();
    if (text.size() == 1 && text[0].isDigit() && text[0].unicode() < 128) {
        typeDigit(text[0]);
        event->accept();
        return;
    }
    if (text.size() == 1 && isSeparator(text[0])) {
        nextPart();
        event->accept();
        return;
    }
    if (!text.isEmpty() && text[0].isPrint()) {
        event->accept(); // a letter has no place in a date
        return;
    }
    QDateEdit::keyPressEvent(event);
}

void TDatePicker::focusInEvent(QFocusEvent *event)
{
    m_typing = false;
    QDateEdit::focusInEvent(event);
    showWrongText();
    m_part = sectionPart();
}

void TDatePicker::focusOutEvent(QFocusEvent *event)
{
    // The calendar or a context menu taking the keyboard is no leaving of the picker.
    if (event->reason() != Qt::PopupFocusReason)
        endTyping();
    QDateEdit::focusOutEvent(event);
    showWrongText();
}

void TDatePicker::mousePressEvent(QMouseEvent *event)
{
    endTyping();
    QDateEdit::mousePressEvent(event);
}

void TDatePicker::mouseReleaseEvent(QMouseEvent *event)
{
    QDateEdit::mouseReleaseEvent(event);
    m_part = sectionPart();
}

#if QT_CONFIG(wheelevent)
void TDatePicker::wheelEvent(QWheelEvent *event)
{
    endTyping();
    QDateEdit::wheelEvent(event);
}
#endif
