#pragma once
// Typed or pasted text that the vehicle file could not hold (it is Windows-1252) never enters a
// field of the document window or of the entry dialogs: such characters are dropped as they
// arrive, so a save never loses one. Number fields keep only what their key filter lets through.

#include <QPlainTextEdit>
#include <QString>

class QLineEdit;

namespace textinput {

bool holds1252(QChar c);
QString keep1252(const QString &text);

// Drops the characters Windows-1252 cannot hold from whatever the user puts into the edit.
void keep1252In(QLineEdit *edit);

// The key filter of number fields applied to a text: digits and '.' stay, ',' becomes '.',
// anything else goes; `keepSpaces` keeps the spaces of a right-aligned form.
QString keepNumber(const QString &text, bool keepSpaces);

// Applies it to what arrives in a number field otherwise than by a key (paste, drop, input
// method); typed keys go through the key filter before they reach the field.
void keepNumberIn(QLineEdit *edit, bool keepSpaces);

// A number field whose text is not a number counts in no figure: it is shown as wrong (a red
// ground and a tooltip) until the user changes it. `markNumber` marks or clears it from its
// text; an empty field is no number but nothing wrong either.
bool isWrongNumber(const QString &text);
void showWrong(QLineEdit *edit, bool wrong);
void markNumber(QLineEdit *edit);
// Clears the mark as soon as the user edits the field.
void clearMarkOnEdit(QLineEdit *edit);

} // namespace textinput

// The comment field: plain text, the same filtering for keys, input methods, paste and drop.
class TCommentEdit : public QPlainTextEdit {
    Q_OBJECT
public:
    using QPlainTextEdit::QPlainTextEdit;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    void insertFromMimeData(const QMimeData *source) override;
};
