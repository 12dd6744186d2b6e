#include "core/vehicle/ledgermodel.h"

std::array<LedgerColumn, 5> fuelColumns()
{
    return {{{QStringLiteral("Date"), 100, false},
             {QStringLiteral("Description"), 200, false},
             {QStringLiteral("Montant"), 100, true},
             {QStringLiteral("Litres"), 100, true},
             {QStringLiteral("Compteur"), 100, true}}};
}

std::array<LedgerColumn, 4> garageColumns()
{
    return {{{QStringLiteral("Date"), 100, false},
             {QStringLiteral("Description"), 300, false},
             {QStringLiteral("Montant"), 100, true},
             {QStringLiteral("Compteur"), 100, true}}};
}

std::array<LedgerColumn, 3> parkingColumns()
{
    return {{{QStringLiteral("Date"), 100, false},
             {QStringLiteral("Description"), 300, false},
             {QStringLiteral("Montant"), 100, true}}};
}
