#pragma once
// Expense entry dialog: "Dépenses de carburant".

#include "core/vehicle/record.h"
#include "ui/entry/TEntryDialog.h"

class TFCarbu : public TEntryDialog {
    Q_OBJECT
public:
    explicit TFCarbu(QWidget *parent = nullptr);

    // Prepares the dialog: empty texts for a new entry, the entry's columns for a change.
    void Init(const FuelEntry &texts);
    // Writes the values back in column order; an empty date means the user cancelled.
    void Result(FuelEntry &texts) const;

    void Edit2Exit() { numberFieldExit(Edit2); }
    void Edit3Exit() { numberFieldExit(Edit3); }
    void Edit4Exit() { numberFieldExit(Edit4); }

    QLineEdit *Edit1; // Description
    QLineEdit *Edit2; // Montant
    QLineEdit *Edit3; // Litres
    QLineEdit *Edit4; // Compteur
};
