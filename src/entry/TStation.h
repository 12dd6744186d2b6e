#pragma once
// Expense entry dialog: "Dépenses de stationnement".

#include "vehicle/record.h"

#include <QDialog>

class TStation : public QDialog {
    Q_OBJECT
public:
    explicit TStation(QWidget *parent = nullptr);

    // Prepares the dialog: empty texts for a new entry, the entry's columns for a change.
    void Init(const ParkingEntry &texts);
    // Writes the values back in column order; an empty date means the user cancelled.
    void Result(ParkingEntry &texts) const;
    bool accepted() const { return m_accepted; }

private:
    bool m_accepted = false;
};
