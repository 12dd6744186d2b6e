#pragma once
// Brings the history kept by another fuel and expense tracker into a vehicle record: the file's
// format is recognised from its content, units are converted, and a report says what was taken
// and what was left out.

#include "vehicle/record.h"

#include <QDate>
#include <QIODevice>
#include <QString>
#include <QStringList>

#include <vector>

namespace importer {

// How the day, month and year of a date stand in the file, when the file does not say.
enum class DateOrder { Unknown, DMY, MDY, YMD };

// "dmy" / "mdy" / "ymd" (the vtrtool option's words); Unknown for anything else.
DateOrder dateOrderFromName(const QString &name);

// "jour/mois/année", "mois/jour/année", "année/mois/jour"; empty for Unknown.
QString dateOrderText(DateOrder order);

struct LeftOut {
    QString category; // French name of what was left out ("Assurance", "Revenus", ...)
    int rows = 0;
    QString total;    // the amounts left out, two-decimal text
    QString reason;   // French, why such rows are no ledger expenses
};

struct SkippedRow {
    qint64 line = 0;  // line number in the file, from 1
    QString reason;   // French ("date illisible", "montant illisible", ...)
};

struct Report {
    QString format;          // French name of the format found
    QString vehicleName;     // as the file names the vehicle (may be empty)
    int fuelCount = 0;       // entries that went to each ledger
    int garageCount = 0;
    int parkingCount = 0;
    QStringList conversions; // one French line per unit conversion made
    std::vector<LeftOut> leftOut;
    std::vector<SkippedRow> skipped; // every row that could not be read, in file order
    int duplicates = 0;      // repeated rows kept once
    int replacedCharacters = 0; // characters Windows-1252 cannot hold, replaced or dropped
    QDate purchaseDate;      // set from the earliest entry (invalid when there was none)

    // True when the file leaves the day/month order open and no order was given: the record
    // is then empty and the caller must ask for an order and import again.
    bool needsDateOrder = false;
    std::vector<DateOrder> possibleOrders; // the orders the file's dates allow

    // The whole report in French, one line each, as vtrtool prints it and the summary dialog
    // shows it (skipped rows: the first 20 in full, then a count).
    QStringList lines() const;
};

struct Result {
    bool ok = false;
    QString error;   // French message when !ok ("Format de fichier non reconnu", read error...)
    VehicleRecord record; // created with `today`, then filled; not modified, no file name
    Report report;
};

// Reads `path` and converts it. `order` settles dates the file leaves ambiguous.
Result importFile(const QString &path, DateOrder order, const QDate &today);

// The same from an open device (read from its current position; it must be seekable).
// `name` stands for the file in messages.
Result importDevice(QIODevice &device, DateOrder order, const QDate &today,
                    const QString &name = QString());

} // namespace importer
