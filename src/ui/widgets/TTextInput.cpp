#include "ui/widgets/TTextInput.h"

#include "core/vehicle/textrules.h"

#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>

#include <algorithm>
#include <array>

namespace textinput {

bool holds1252(QChar c)
{
    const char16_t u = c.unicode();
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
        return true;
    // The printable characters of 0x80..0x9F.
    static constexpr std::array<char16_t, 27> extra{
        0x20AC, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030,
        0x0160, 0x2039, 0x0152, 0x017D, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x017E, 0x0178};
    return std::find(extra.begin(), extra.end(), u) != extra.end();
}

QString keep1252(const QString &text)
{
    QString kept;
    kept.reserve(text.size());
    for (const QChar c : text)
        if (holds1252(c))
            kept.append(c);
    return kept;
}

namespace {
// Filters every user edit of the field; `keep` works character by character, so the cursor
// stays after the same kept characters.
template <class Keep>
void filterEdits(QLineEdit *edit, Keep keep)
{
    QObject::connect(edit, &QLineEdit::textEdited, edit, [edit, keep](const QString &text) {
        const QString kept = keep(text);
        if (kept == text)
            return;
        const int cursor = int(keep(text.left(edit->cursorPosition())).size());
        edit->setText(kept);
        edit->setCursorPosition(cursor);
    });
}
} // namespace

void keep1252In(QLineEdit *edit)
{
    filterEdits(edit, [](const QString &text) { return keep1252(text); });
}

QString keepNumber(const QString &text, bool keepSpaces)
{
    QString kept;
    kept.reserve(text.size());
    for (const QChar c : text) {
        if (keepSpaces && c == QLatin1Char(' '))
            kept.append(c);
        else if (const std::optional<QChar> k = textrules::filterKey(c); k && *k != QChar(8))
            kept.append(*k);
    }
    return kept;
}

void keepNumberIn(QLineEdit *edit, bool keepSpaces)
{
    filterEdits(edit, [keepSpaces](const QString &text) { return keepNumber(text, keepSpaces); });
}

bool isWrongNumber(const QString &text)
{
    return textrules::readNumber(text).kind == textrules::NumberKind::NotNumber;
}

void showWrong(QLineEdit *edit, bool wrong)
{
    if (edit->property("wrongNumber").toBool() == wrong)
        return;
    edit->setProperty("wrongNumber", wrong);
    if (wrong) {
        QPalette p = edit->palette();
        p.setColor(QPalette::Base, QColor(255, 214, 214));
        p.setColor(QPalette::Text, QColor(150, 0, 0));
        edit->setPalette(p);
        edit->setToolTip(QStringLiteral("Ce texte n'est pas un nombre : il ne compte dans aucun calcul."));
    } else {
        edit->setPalette(QPalette());
        edit->setToolTip(QString());
    }
}

void markNumber(QLineEdit *edit)
{
    showWrong(edit, isWrongNumber(edit->text()));
}

void clearMarkOnEdit(QLineEdit *edit)
{
    QObject::connect(edit, &QLineEdit::textEdited, edit, [edit] { showWrong(edit, false); });
}

} // namespace textinput

void TCommentEdit::keyPressEvent(QKeyEvent *event)
{
    const QString text = event->text();
    const QString kept = textinput::keep1252(text);
    if (kept != text) {
        if (!kept.isEmpty())
            insertPlainText(kept);
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void TCommentEdit::inputMethodEvent(QInputMethodEvent *event)
{
    const QString kept = textinput::keep1252(event->commitString());
    if (kept == event->commitString()) {
        QPlainTextEdit::inputMethodEvent(event);
        return;
    }
    QInputMethodEvent filtered(event->preeditString(), event->attributes());
    filtered.setCommitString(kept, event->replacementStart(), event->replacementLength());
    QPlainTextEdit::inputMethodEvent(&filtered);
}

void TCommentEdit::insertFromMimeData(const QMimeData *source)
{
    if (source && source->hasText()) {
        insertPlainText(textinput::keep1252(source->text()));
        ensureCursorVisible();
        return;
    }
    QPlainTextEdit::insertFromMimeData(source);
}
