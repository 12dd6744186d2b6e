#pragma once
// Expense entry dialog: "Dépenses d'entretien".

#include "vehicle/record.h"

#include <QDialog>

class TFEntr : public QDialog {
    Q_OBJECT
public:
    explicit TFEntr(QWidget *parent = nullptr);

    // Prepares the dialog: empty texts for a new entry, the entry's columns for a change.
    void Init(const GarageEntry &texts);
    // Writes the values back in column order; an empty date means the user cancelled.
    void Result(GarageEntry &texts) const;
    bool accepted() const { return m_accepted; }

private:
    bool m_accepted = false;
};
