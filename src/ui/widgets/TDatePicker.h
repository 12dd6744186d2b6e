#pragma once
// The drop-down date picker of the document window, the entry dialogs and the parking list's
// in-place editor: "dd/mm/yyyy" with a calendar.
//
// A date is typed the way people write it: digits fill the day, the month and the year in turn
// ("20112025"), and "/", ".", "-" or a space moves on to the next part ("2/3/2024"); nothing of
// that leaves the picker. Tab and Shift+Tab leave at once, as they leave any other field. What
// is typed becomes the picker's date once it is a whole valid date (when the year's four digits
// are in, or when the picker is left); an impossible date such as 31/02 is never taken: the
// picker goes back to its last valid date and shows it.

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

    // Opens the calendar, as its button does (also Alt+Down and F4).
    void showCalendar();

    // The part the next digit goes to: 0 day, 1 month, 2 year.
    int typingPart() const { return m_part; }

protected:
    bool focusNextPrevChild(bool next) override;
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

    bool m_typing = false;
    std::array<QString, 3> m_parts; // day, month, year as shown
    QString m_typed;                // the digits typed into the current part
    int m_part = 0;
    bool m_advanced = false;        // the last digit filled its part and moved on
    bool m_committing = false;
};
