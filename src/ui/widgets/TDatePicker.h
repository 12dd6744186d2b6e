#pragma once
// The drop-down date picker of the document window, the entry dialogs and the parking list's
// in-place editor: "dd/mm/yyyy" with a calendar.
//
// A date is typed the way people write it: digits fill the day, the month and the year in turn
// ("20112025"), and "/", ".", "-" or a space moves on to the next part ("2/3/2024"), which is
// then to be typed; nothing of that leaves the picker. Tab and Shift+Tab leave at once, as they
// leave any other field. What is typed becomes the picker's date once it is a whole valid date
// (when the year's four digits are in, or when the picker is left). An impossible or unfinished
// date (31/02, "3/4/") is never taken, nor replaced by another: it stays shown as typed, marked
// wrong, while date() keeps the last valid date, until a valid one is typed or set.

#include <QDate>
#include <QDateEdit>

#include <array>

class TDatePicker : public QDateEdit {
    Q_OBJECT
public:
    explicit TDatePicker(QWidget *parent = nullptr);

    // Takes what is being typed as the date when it is a valid one, otherwise shows the date
    // again; for a caller that reads the date while the picker may still have the keyboard.
    void commitTyping();

    // The text shown is a date typed that is not one (isWrong); date() is the last valid date.
    bool isWrong() const { return m_wrong; }
    // Sets the date and shows it, also over a wrong text and when the date is the same.
    void resetDate(const QDate &date);

    // Opens the calendar, as its button does (also Alt+Down and F4).
    void showCalendar();

    // The part the next digit goes to: 0 day, 1 month, 2 year.
    int typingPart() const { return m_part; }

Q_SIGNALS:
    // The picker was left holding a date that is not one (`typed`), or holds a valid one again.
    void wrongChanged(bool wrong, const QString &typed);

protected:
    bool focusNextPrevChild(bool next) override;
    void showEvent(QShowEvent *event) override;
    // A wrong date is shown as typed, whenever the spin box shows its date again.
    QString textFromDateTime(const QDateTime &dateTime) const override;
    // The spin box would turn 31/02 into 28/02: a date the user did not type. Nothing is fixed up.
    void fixup(QString &input) const override;
    QValidator::State validate(QString &input, int &pos) const override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
#if QT_CONFIG(wheelevent)
    void wheelEvent(QWheelEvent *event) override;
#endif

private:
    void beginTyping();
    void typeDigit(QChar digit);
    void nextPart();
    void movePart(int part);
    void backspace();
    void paste();
    void finishPart();
    // The typed parts as a date within the picker's range; `leaving` also reads a two-digit
    // year.
    QDate typedDate(bool leaving) const;
    void showTyped();
    // Takes the typed date when `take` and it is valid; otherwise shows the date again.
    void endTyping(bool take = true);
    int sectionPart() const;
    void setWrong(bool wrong);
    // Puts the wrong text back where the spin box has just shown its date.
    void showWrongText();

    bool m_typing = false;
    std::array<QString, 3> m_parts; // day, month, year as shown
    QString m_typed;                // the digits typed into the current part
    int m_part = 0;
    bool m_advanced = false;        // the last digit filled its part and moved on
    bool m_committing = false;
    bool m_wrong = false;
    QString m_wrongText;
};
