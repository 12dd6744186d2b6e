#pragma once
// The drop-down date picker of the document window and the entry dialogs: "dd/mm/yyyy" with a
// calendar. Tab and Shift+Tab leave it at once, as they leave any other field, instead of
// walking its day, month and year.

#include <QDateEdit>

class TDatePicker : public QDateEdit {
    Q_OBJECT
public:
    explicit TDatePicker(QWidget *parent = nullptr);

protected:
    bool focusNextPrevChild(bool next) override;
};
