#pragma once
// The vehicle record: everything one vehicle document holds, every value as the text shown in
// its field. Members carry the component names of the document window so that the window, the
// file and vtrtool all speak of the same thing.

#include "core/vehicle/ledgertext.h"

#include <QDate>
#include <QString>
#include <QStringList>

#include <array>
#include <vector>

// One expense row of texts, in column order: entry[col::Date] reads a text, entry.set(col, text)
// changes one.
using FuelEntry = LedgerEntry<5>;    // Date, Description, Montant, Litres, Compteur
using GarageEntry = LedgerEntry<4>;  // Date, Description, Montant, Compteur
using ParkingEntry = LedgerEntry<3>; // Date, Description, Montant

namespace col {
inline constexpr int Date = 0;
inline constexpr int Description = 1;
inline constexpr int Montant = 2;
inline constexpr int FuelLitres = 3;
inline constexpr int FuelCompteur = 4;
inline constexpr int GarageCompteur = 3;
} // namespace col

struct VehicleRecord {
    // Edit1 .. Edit26 by their number (index 0 unused). Inputs hold their shown text (amounts
    // with their alignment spaces); the computed fields Edit11, Edit12, Edit18, Edit23, Edit25
    // and Edit26 hold the calculation's result without alignment spaces (empty when never
    // computed) and are never stored in the file.
    std::array<QString, 27> edit;

    QDate DateTimePicker1; // purchase date
    QDate DateTimePicker2; // first registration
    QDate DateTimePicker3; // valuation date
    QString ComboBox1 = QStringLiteral("Essence");

    QStringList Memo1;  // comment lines as shown in the comment field
    QString Image1;     // picture file name, bare (no folder)

    std::vector<FuelEntry> ListView1;
    std::vector<GarageEntry> ListView2;
    std::vector<ParkingEntry> ListView3;

    QString fileName;      // full path, empty for a new document
    bool modified = false;

    // A new record as the document window creates it: the three dates are today.
    static VehicleRecord create(const QDate &today)
    {
        VehicleRecord r;
        r.DateTimePicker1 = r.DateTimePicker2 = r.DateTimePicker3 = today;
        return r;
    }

    // Stored content only (what the vehicle file holds): computed fields, file name and the
    // modified flag are left out.
    bool sameStoredContent(const VehicleRecord &o) const;
};

// The number of each computed field, for loops over the inputs.
inline constexpr std::array<int, 6> kComputedEdits{11, 12, 18, 23, 25, 26};
inline bool isComputedEdit(int n)
{
    for (int c : kComputedEdits)
        if (c == n)
            return true;
    return false;
}
