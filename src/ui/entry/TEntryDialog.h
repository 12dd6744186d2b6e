#pragma once
// What the three expense entry dialogs share: a date picker, a column of labelled fields, the
// buttons "Annuler" and "OK" on the right, the accepted state and the number-field rules.

#include "ui/widgets/TDatePicker.h"

#include <QDialog>
#include <QString>

#include <vector>

class QKeyEvent;
class QLabel;
class QLineEdit;
class QPushButton;

class TEntryDialog : public QDialog {
    Q_OBJECT
public:
    // Two-decimal form of a number field ("0.00"); a text that is not a number comes back trimmed.
    static QString Dec(const QString &text);

    bool accepted() const { return m_accepted; }

    // "Annuler": clears the accepted state and closes. Escape and the close box come here too.
    void Button1Click();
    // "OK": sets the accepted state and closes, unless the date is not one or a number field
    // holds a text that is not a number: that field keeps the focus and is shown as wrong, and
    // the dialog stays open.
    void Button2Click();

    void reject() override;

    TDatePicker *DateTimePicker1 = nullptr;
    QPushButton *Button1 = nullptr; // "Annuler"
    QPushButton *Button2 = nullptr; // "OK"

protected:
    struct FieldSpec {
        const char16_t *label;
        bool number; // key filter and two-decimal form on leaving
    };

    // Builds the dialog: fields Edit1..EditN top to bottom under the date, in `fields` order.
    // `tabAfterButtons` is the number of fields (taken from the end) that the Tab key reaches
    // only after the buttons.
    TEntryDialog(QWidget *parent, const QString &className, const QString &title, int clientHeight,
                 const std::vector<FieldSpec> &fields, int tabAfterButtons = 0);

    // Edit<n>, n from 1.
    QLineEdit *edit(int n) const { return m_edits.at(std::size_t(n - 1)); }

    // Sets the picker from a "dd/mm/yyyy" text, today's date when empty; an invalid date
    // leaves the picker as it was.
    void initDate(const QString &text);
    // The picker's date as "dd/mm/yyyy", or an empty text when the last use was not accepted.
    QString resultDate() const;

    // Leaving a number field: its text becomes its two-decimal form.
    void numberFieldExit(QLineEdit *field);
    // The key filter shared by the number fields; true when the key was handled here (dropped or
    // replaced), false when the field should take it as it is.
    bool Edit2KeyPress(QLineEdit *field, QKeyEvent *event);

    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    bool isNumberField(const QObject *o) const;

    std::vector<QLineEdit *> m_edits;
    std::vector<bool> m_number;
    bool m_accepted = false;
};
