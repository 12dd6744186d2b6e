#pragma once
// Expense entry dialog: "Dépenses de stationnement".

#include "core/vehicle/record.h"
#include "ui/entry/TEntryDialog.h"

class TStation : public TEntryDialog {
    Q_OBJECT
public:
    explicit TStation(QWidget *parent = nullptr);

    // Prepares the dialog: empty texts for a new entry, the entry's columns for a change. An
    // empty description keeps the one of the previous use ("Parking" the first time).
    void Init(const ParkingEntry &texts);
    // Writes the values back in column order; an empty date means the user cancelled.
    void Result(ParkingEntry &texts) const;

    void Edit2Exit() { numberFieldExit(Edit2); }

    QLineEdit *Edit1; // Description
    QLineEdit *Edit2; // Montant
};
