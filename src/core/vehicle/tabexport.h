#pragma once
// Tab-separated export of one ledger: one line per entry, columns joined by a tab, CR LF,
// Windows-1252, no header.

#include "core/vehicle/record.h"

#include <QByteArray>
#include <QString>

namespace tabexport {

enum class Ledger { None, Fuel, Garage, Parking };

QByteArray exportBytes(const VehicleRecord &r, Ledger ledger);

// Writes atomically; on failure returns "Ne peut créer le fichier %s".
struct Result {
    bool ok = true;
    QString error;
};
Result exportToFile(const VehicleRecord &r, Ledger ledger, const QString &path);

} // namespace tabexport
