#pragma once
// What every format reader hands over: rows as the file wrote them. The builder converts units
// and writes the texts of the ledgers as the entry dialogs would as the rows come; at the end it
// settles the order of day and month, drops repeated rows, sorts by date and fills the report.

#include "core/import/fields.h"
#include "core/import/importer.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <array>
#include <memory>
#include <vector>

namespace importer {

enum class Ledger : quint8 { Fuel, Garage, Parking, LeftOut };
enum class DistanceUnit : quint8 { Unknown, Km, Miles };
// Kg and KWh (gas, hydrogen, a charge) are no volume: such a fill-up keeps its quantity in its
// description, never in "Litres".
enum class VolumeUnit : quint8 { Unknown, Litres, UsGallons, ImperialGallons, Kg, KWh };

struct Row {
    Ledger ledger = Ledger::Garage;
    DistanceUnit distance = DistanceUnit::Unknown; // Unknown: the file's default
    VolumeUnit volume = VolumeUnit::Unknown;
    bool partial = false; // a fill-up that did not fill the tank
    bool missed = false;  // fill-ups were missed before this one
    qint64 line = 0;
    DateParts date;
    Number total, quantity, odometer;
    QString description;  // parts joined by kPartBreak, as written in the file
    int leftOut = -1;     // index of the left-out category (Ledger::LeftOut)
    int vehicle = 0;      // Builder::vehicle(); 0: the file's only vehicle
    // The program's own export: the number texts as the ledger held them, not converted.
    bool asWritten = false;
    QString totalText, quantityText, odometerText;
};

// Stands between the parts of a description until they are made fit and joined by " — ".
inline constexpr QChar kPartBreak = QChar(0x1F);
QString joinParts(const QStringList &parts);
// Appends a part to a description being built (nothing for a blank part).
void appendPart(QString &description, QStringView part);

// Per entry, what stays open until the whole file is read: its date, which waits for the
// order of day and month, and what the report counts only for entries whose date reads.
struct OpenEntry {
    qint64 line = 0;
    size_t hash = 0;     // of the entry's texts other than its date
    DateParts date;
    quint8 converted = 0; // unit conversions made (Builder's kMiles, kUsGallons, kImperialGallons)
    int replaced = 0;     // characters of its description the code page cannot hold
    qint32 raw = -1;      // its description as the file wrote it, when made fit otherwise
};

class Builder {
public:
    // `wantedVehicle`: the vehicle to take from a file that holds several (empty: none chosen).
    explicit Builder(Report &report, const QString &wantedVehicle = QString());
    ~Builder();

    // A category of rows that are no ledger expenses, with why; returns its index for Row::leftOut.
    int leftOutCategory(const QString &name, const QString &reason);

    // Turns the row into an entry of its ledger at once: a file of any size keeps no rows, only
    // the entries it makes and their dates. Rows of a vehicle not taken are only counted.
    void add(Row &&row);
    // A left-out row named by its title in the report.
    void addNamed(Row &&row, const QString &title);
    void skip(qint64 line, const QString &reason, int vehicle = 0)
    {
        ++m_vehicles[size_t(vehicle)].rows;
        if (take(vehicle))
            m_report.skipped.push_back({line, reason});
    }

    // The vehicles a file names. `name` as the file writes it; `isName` false for a bare number
    // that identifies a vehicle without naming it (it then never becomes the make). An empty
    // name is the file's only vehicle, 0. The same name gives the same index.
    int vehicle(const QString &name, bool isName = true);
    // What the file says of a vehicle (0: of the file's only one).
    void setVehicleName(int vehicle, const QString &name);
    void setMake(int vehicle, const QString &make);
    void setModel(int vehicle, const QString &model);
    // A fuel named by the file ("Diesel", "Gasoline", "Бензин"...): the most named of
    // "Essence", "Diesel" and "GPL" becomes the vehicle's type.
    void noteFuel(int vehicle, QStringView fuel);
    // The purchase of the vehicle: its price (row.total) and date; the first one counts.
    void purchase(const Row &row);
    // The file's size: a ledger's first entry makes room for as many as such a file may hold
    // (pages never written cost nothing), so that growing moves no entry.
    void expect(qint64 bytes) { m_expected = size_t(std::clamp<qint64>(bytes / 64, 16, 1 << 20)); }

    // The vehicle's model year: the first registration becomes 01/01 of that year.
    void setYear(int vehicle, int year);
    // The program's own export: every entry kept as written, repeats and order included.
    void keepAsWritten() { m_asWritten = true; }
    // The columns the user settled (spreadsheets).
    void setColumnChoices(const std::vector<ColumnChoice> &choices) { m_choices = choices; }
    const std::vector<ColumnChoice> &columnChoices() const { return m_choices; }
    // The columns whose values fill the entries, as the file names them: with them, finish()
    // checks what a person would see at a glance and adds a Doubt for each finding. A column
    // the user settled is not doubted.
    struct Checked {
        QString total, quantity, odometer, unitPrice;
        bool totalSettled = false, quantitySettled = false, odometerSettled = false;
    };
    void checkPlausibility(const Checked &columns)
    {
        m_checked = columns;
        m_checking = true;
    }

    // The file says how its dates are written.
    void setFileOrder(DateOrder order) { m_fileOrder = order; }
    // The units of rows that name none. A reader that learns them only later calls
    // holdDefaultUnits() first: such rows then wait for setDefaultUnits() (or finish()).
    void holdDefaultUnits() { m_unitsHeld = true; }
    void setDefaultUnits(DistanceUnit d, VolumeUnit v);

    // Fills the record, unless the day/month order is needed and `given` does not settle it
    // (the report then says which orders the dates allow), or the file holds several vehicles
    // and none was chosen (the report lists them), or the one wanted is not in the file.
    enum class Finish { Done, NeedsOrder, NeedsVehicle, NoSuchVehicle };
    Finish finish(DateOrder given, VehicleRecord &record);

private:
    struct Vehicle {
        QString name;
        bool isName = true;
        QString make, model;
        int entries = 0; // ledger rows, before repeats are dropped
        int rows = 0;    // every row
        std::array<int, 3> fuels{}; // "Essence", "Diesel", "GPL" named
        bool bought = false;
        Number price;
        DateParts date;
        int year = 0;
    };
    // Whether rows of `vehicle` go into the record; the first vehicle met is taken when none
    // was chosen.
    bool take(int vehicle)
    {
        if (vehicle == 0)
            return true;
        if (m_chosen < 0 && m_wanted.isEmpty())
            m_chosen = vehicle;
        return vehicle == m_chosen;
    }
    void count(const Row &row);
    void applyVehicle(VehicleRecord &record, DateOrder order);

    static constexpr quint8 kMiles = 1, kUsGallons = 2, kImperialGallons = 4;
    template <class Entry>
    struct Entries {
        std::vector<Entry> entries;
        std::vector<OpenEntry> open; // one per entry
    };
    struct Waiting {
        Ledger ledger;
        size_t index;
        Row row;
    };
    static constexpr float kNone = -1; // no value (checked values are never below 0)
    struct Sample {
        float km = kNone, total = kNone, litres = kNone;
    };
    // An entry's number texts in kilometres and litres, what was converted, and its hash.
    struct Numbers {
        LedgerText total, quantity, odometer;
        quint8 converted = 0;
        size_t hash = 0;
        Sample values; // for the plausibility checks
    };
    struct Caches;
    struct Seen {
        qint64 key = 0;  // day * 1440 + minutes
        qint64 line = 0;
        Sample values;
    };
    void checkEntries(std::vector<Seen> &fuel, std::vector<Seen> &garage);

    DateOrder chooseOrder(DateOrder given);
    Numbers numbersOf(Ledger ledger, const Row &row, const LedgerText &description);
    LedgerText describe(const QString &raw, Ledger ledger, bool partial, bool missed, int &replaced);

    Report &m_report;
    bool m_asWritten = false;
    bool m_checking = false;
    Checked m_checked;
    std::vector<ColumnChoice> m_choices;
    std::vector<Sample> m_fuelSamples, m_garageSamples; // per entry, while checking
    Entries<FuelEntry> m_fuel;
    Entries<GarageEntry> m_garage;
    Entries<ParkingEntry> m_parking;
    std::vector<Waiting> m_waiting;
    std::unique_ptr<Caches> m_caches;
    DateOrder m_fileOrder = DateOrder::Unknown;
    DistanceUnit m_defaultDistance = DistanceUnit::Km;
    VolumeUnit m_defaultVolume = VolumeUnit::Litres;
    bool m_unitsHeld = false;
    size_t m_expected = 16;
    struct LeftOutSum {
        int rows = 0;
        long double total = 0;
    };
    std::vector<LeftOutSum> m_leftOutSums;
    std::vector<Vehicle> m_vehicles; // [0]: the file's only vehicle
    QHash<QString, int> m_vehicleIndex;
    QString m_wanted;
    int m_chosen = -1;
    std::vector<QString> m_rawTexts; // OpenEntry::raw
};

// Reason texts of skipped rows.
namespace why {
inline QString date() { return QStringLiteral("date illisible"); }
inline QString noDate() { return QStringLiteral("date manquante"); }
inline QString amount() { return QStringLiteral("montant illisible"); }
inline QString noAmount() { return QStringLiteral("montant manquant"); }
inline QString quantity() { return QStringLiteral("quantité illisible"); }
inline QString noQuantity() { return QStringLiteral("quantité manquante"); }
inline QString odometer() { return QStringLiteral("compteur illisible"); }
inline QString unitPrice() { return QStringLiteral("prix unitaire illisible"); }

// The first of the row's date, odometer, quantity and total that does not read, as the report
// words it; empty when none is unreadable (an absent one is no fault).
QString unreadable(const Row &row, QStringView dateText);
} // namespace why

} // namespace importer
