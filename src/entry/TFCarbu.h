#pragma once
// Expense entry dialog: "Dépenses de carburant".

#include "vehicle/record.h"

#include <QDialog>

class TFCarbu : public QDialog {
    Q_OBJECT
public:
    explicit TFCarbu(QWidget *parent = nullptr);

    // Prepares the dialog: empty texts for a new entry, the entry's columns for a change.
    void Init(const FuelEntry &texts);
    // Writes the values back in column order; an empty date means the user cancelled.
    void Result(FuelEntry &texts) const;
    bool accepted() const { return m_accepted; }

private:
    bool m_accepted = false;
};
