#pragma once
// Brings the history kept by another fuel and expense tracker into a vehicle record: the file's
// format is recognised from its content, units are converted, and a report says what was taken
// and what was left out.

#include "core/vehicle/record.h"

#include <QDate>
#include <QIODevice>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace importer {

// How the day, month and year of a date stand in the file, when the file does not say.
enum class DateOrder { Unknown, DMY, MDY, YMD };

// "dmy" / "mdy" / "ymd" (the vtrtool option's words); Unknown for anything else.
DateOrder dateOrderFromName(const QString &name);

// "jour/mois/année", "mois/jour/année", "année/mois/jour"; empty for Unknown.
QString dateOrderText(DateOrder order);

// The part of a record a column of a spreadsheet fills, as the preview and `--column` name it.
enum class Part : quint8 {
    Date, Odometer, Quantity, Total, UnitPrice, Place, Description, Partial, Missed,
    DistanceUnit, VolumeUnit, Category, Ignored,
    // Parts only a column the reader recognised as such is offered.
    Time, Vehicle, FuelType
};

// "Date", "Compteur", "Litres", "Montant", "Prix du litre"...
QString partName(Part part);
// The part a name gives, case and accents ignored; nothing for an unknown name.
std::optional<Part> partFromName(QStringView name);
// The parts every column may be given, in the order the preview lists them.
std::vector<Part> choosableParts();

// A column the user settled: the file's header text and the part it fills.
struct ColumnChoice {
    QString header;
    Part part = Part::Ignored;
};

struct Options {
    DateOrder order = DateOrder::Unknown; // settles dates the file leaves ambiguous
    QString vehicle; // the vehicle to take from a file that holds several (its name as listed)
    std::vector<ColumnChoice> columns; // spreadsheets: parts the user chose, over the reader's guess
};

// A column of the table as the import read it.
struct ColumnUse {
    QString header;
    Part part = Part::Ignored;
    bool chosen = false; // by the user, rather than guessed
};

// Something a person would see at a glance in the entries: the import stops on it until the
// user settles the column or confirms.
struct Doubt {
    QStringList columns; // the columns it is about, as the file names them
    QString text;        // French, names the columns and the rows
};

struct LeftOut {
    QString category; // French name of what was left out ("Assurance", "Revenus", ...)
    int rows = 0;
    QString total;    // the amounts left out, two-decimal text
    QString reason;   // French, why such rows are no ledger expenses
    QStringList titles; // the rows' own titles, where the report names them (reminders)
};

struct SkippedRow {
    qint64 line = 0;  // line number in the file, from 1
    QString reason;   // French ("date illisible", "montant illisible", ...)
};

// A table or section of the file that the reader does not take, by the file's own title.
struct SkippedTable {
    QString name;
    int rows = 0;
};

// A vehicle of a file that holds several, with the ledger entries it brings.
struct VehicleChoice {
    QString name;
    int entries = 0;
};

struct Report {
    QString format;          // French name of the format found
    QString vehicleName;     // as the file names the vehicle (may be empty)
    int fuelCount = 0;       // entries that went to each ledger
    int garageCount = 0;
    int parkingCount = 0;
    QStringList readings;    // how columns that could mean two things were read, one line each
    QStringList conversions; // one French line per unit conversion made
    std::vector<LeftOut> leftOut;
    std::vector<SkippedTable> skippedTables;
    QStringList ignoredColumns; // columns of the file no value was taken from, as it names them
    std::vector<SkippedRow> skipped; // every row that could not be read, in file order
    int duplicates = 0;      // repeated rows kept once
    int replacedCharacters = 0; // characters Windows-1252 cannot hold, written otherwise or dropped
    QDate purchaseDate;      // from the purchase row, else the earliest entry (invalid: none)
    bool purchaseFromFile = false; // the file says when the vehicle was bought
    // No export gives the first registration: it is taken as the purchase date (rather than the
    // day of the import, which would put the first contrôle technique years ahead).
    QDate registrationDate;
    bool registrationFromYear = false; // 01/01 of the vehicle's year the file gives

    // Spreadsheets: the part each column fills (empty for a format whose reader fixes them).
    std::vector<ColumnUse> columns;
    // The first records of the table as the file writes them, its header first.
    std::vector<QStringList> preview;
    std::vector<Doubt> doubts;
    QStringList unknownColumns; // columns the user named that the file does not have
    int otherUnitFuel = 0; // fill-ups counted in kg or kWh: quantity kept in the description
    QString purchasePrice;   // two-decimal text from the purchase row (empty: none)
    QString vehicleType;     // "Essence", "Diesel" or "GPL" when the file's fuel says it

    // True when the file leaves the day/month order open and no order was given: the record
    // is then empty and the caller must ask for an order and import again.
    bool needsDateOrder = false;
    std::vector<DateOrder> possibleOrders; // the orders the file's dates allow

    // True when the file holds several vehicles and none was chosen: the record is then empty
    // and the caller must choose one of `vehicles` and import again.
    bool needsVehicle = false;
    std::vector<VehicleChoice> vehicles; // every vehicle of a file that holds several

    int entryCount() const { return fuelCount + garageCount + parkingCount; }

    // The whole report in French, one line each, as vtrtool prints it and the summary dialog
    // shows it (skipped rows: the first 20 in full, then a count).
    QStringList lines() const;
    // What was read but not taken (left out, tables skipped, unreadable rows): the lines that
    // explain a file that gave no entry.
    QStringList leftOutLines() const;
};

struct Result {
    bool ok = false;
    // French message when !ok: "Format de fichier non reconnu" and the formats known, a read
    // error, "Aucune écriture trouvée dans %s" (the report then says what was read), a vehicle
    // the file does not hold.
    QString error;
    bool noEntry = false; // the error is a file read that gave no entry
    VehicleRecord record; // created with `today`, then filled; not modified, no file name
    Report report;
};

// The vehicles as the report lists them: "Clio (12 écritures), Golf (3 écritures)".
QString vehicleListText(const std::vector<VehicleChoice> &vehicles);

// The formats the importer reads, in the order of the list "Format de fichier non reconnu" adds.
QStringList knownFormats();

// Reads `path` and converts it.
Result importFile(const QString &path, const Options &options, const QDate &today);
inline Result importFile(const QString &path, DateOrder order, const QDate &today)
{
    return importFile(path, Options{order, QString(), {}}, today);
}

// The same from an open device (read from its current position; it must be seekable).
// `name` stands for the file in messages.
Result importDevice(QIODevice &device, const Options &options, const QDate &today,
                    const QString &name = QString());
inline Result importDevice(QIODevice &device, DateOrder order, const QDate &today,
                           const QString &name = QString())
{
    return importDevice(device, Options{order, QString(), {}}, today, name);
}

// How strongly each format's reader takes the device's content for its own (0: not its own),
// in the order of knownFormats(); the device is read from its current position and left there.
struct Evidence {
    QString format;
    int strength = 0;
};
std::vector<Evidence> weighFormats(QIODevice &device);

} // namespace importer
