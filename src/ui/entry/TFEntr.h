#pragma once
// Expense entry dialog: "Dépenses d'entretien".

#include "core/vehicle/record.h"
#include "ui/entry/TEntryDialog.h"

class TFEntr : public TEntryDialog {
    Q_OBJECT
public:
    explicit TFEntr(QWidget *parent = nullptr);

    // Prepares the dialog: empty texts for a new entry, the entry's columns for a change.
    void Init(const GarageEntry &texts);
    // Writes the values back in column order; an empty date means the user cancelled.
    void Result(GarageEntry &texts) const;

    void Edit2Exit() { numberFieldExit(Edit2); }
    void Edit3Exit() { numberFieldExit(Edit3); }

    QLineEdit *Edit1; // Description
    QLineEdit *Edit2; // Montant
    QLineEdit *Edit3; // Compteur (reached by Tab after the buttons)
};
