#pragma once
// One reader per format. Each says how strongly the first records of a file are its own, and
// reads the file from its first record.

#include "core/import/builder.h"
#include "core/import/csv.h"

#include <QHash>
#include <QString>

#include <initializer_list>
#include <vector>

namespace importer {

// A header row: column index by normalized name, with the unit written in parentheses.
class Header {
public:
    Header() = default;
    explicit Header(const csv::Record &record);
    int size() const { return int(m_names.size()); }
    const QString &name(int i) const { return m_names[size_t(i)]; }
    const QString &unit(int i) const { return m_units[size_t(i)]; }
    const QString &original(int i) const { return m_originals[size_t(i)]; }
    int find(const QString &name) const; // -1 when absent
    int findAny(std::initializer_list<const char16_t *> names) const;
    bool has(const QString &name) const { return find(name) >= 0; }

private:
    std::vector<QString> m_names, m_units, m_originals;
};

// The first records of a file that hold anything, as recognition sees them.
struct Look {
    std::vector<csv::Record> records;
};

// How sure a reader is that a file is of its format.
namespace evidence {
inline constexpr int None = 0;
inline constexpr int AnyTable = 10;  // a header naming a date and an amount or a quantity
inline constexpr int Columns = 60;   // the format's own column names
inline constexpr int Layout = 80;    // its table names or section titles with their headers
inline constexpr int Title = 95;     // a title line that names the application
} // namespace evidence

struct Format {
    QString name; // as the list of known formats gives it
    int (*weigh)(const Look &look);
    void (*read)(csv::Reader &in, Builder &out, Report &report);
};

// Every format, the spreadsheet last: on equal evidence the first wins.
const std::vector<Format> &formats();

// "## Name" on a line of its own (multi-table backups); `table` gets the normalized name.
bool isTableMarker(const csv::Record &record, QString *table = nullptr);
// A record whose first field alone holds text (a section title); `title` gets it normalized.
bool isTitleLine(const csv::Record &record, QString *title = nullptr);

int weighPhoneBackup(const Look &look);
void readPhoneBackup(csv::Reader &in, Builder &out, Report &report);
int weighLedgerExport(const Look &look);
void readLedgerExport(csv::Reader &in, Builder &out, Report &report);
int weighDrivvo(const Look &look);
void readDrivvo(csv::Reader &in, Builder &out, Report &report);
int weighFuelly(const Look &look);
void readFuelly(csv::Reader &in, Builder &out, Report &report);
int weighACar(const Look &look);
void readACar(csv::Reader &in, Builder &out, Report &report);
int weighSpritmonitor(const Look &look);
void readSpritmonitor(csv::Reader &in, Builder &out, Report &report);
int weighMyFuelManager(const Look &look);
void readMyFuelManager(csv::Reader &in, Builder &out, Report &report);
int weighCarReport(const Look &look);
void readCarReport(csv::Reader &in, Builder &out, Report &report);
int weighOwnExport(const Look &look);
void readOwnExport(csv::Reader &in, Builder &out, Report &report);
int weighSpreadsheet(const Look &look);
void readSpreadsheet(csv::Reader &in, Builder &out, Report &report);

// Helpers the readers share: the field under a column (empty when the column is absent).
inline QString field(const csv::Record &r, int column) { return column < 0 ? QString() : r.text(column); }
// The same as a view into `scratch`, for values read at once (numbers, dates, flags).
inline QStringView fieldView(const csv::Record &r, int column, QString &scratch)
{
    return column < 0 ? QStringView() : r.view(column, scratch);
}

// A field's number or date, from its bytes when they take a common form (most rows of a large
// file), else from its decoded text.
inline Number numberField(const csv::Record &r, int column, NumberRole role, QString &scratch)
{
    Number n;
    if (column >= 0 && parsePlainNumber(r.bytes(column), r.isUtf8(), n))
        return n;
    return parseNumber(fieldView(r, column, scratch), role);
}
inline std::optional<bool> flagField(const csv::Record &r, int column, QString &scratch)
{
    std::optional<bool> f;
    if (column >= 0 && parsePlainFlag(r.bytes(column), f))
        return f;
    return parseFlag(fieldView(r, column, scratch));
}
inline DateParts dateField(const csv::Record &r, int column, QString &scratch)
{
    DateParts d;
    if (column >= 0 && parsePlainDate(r.bytes(column), d))
        return d;
    return parseDate(fieldView(r, column, scratch));
}

// What the values of a column say, from the rows after the header line `header`, at most
// `sample` of them (the reader is left where they end).
// True when they rise with their dates, few exceptions aside (or too few say otherwise).
bool risesWithDates(csv::Reader &in, qint64 header, int date, int column, int sample);
// True when the column marks rows with a cross and leaves the others empty.
bool marksWithCross(csv::Reader &in, qint64 header, int column, int sample);

// Units as files write them ("mi", "miles", "km", "км"; "L", "gal", "gal (UK)", "л").
DistanceUnit distanceFromUnit(const QString &normalized);
VolumeUnit volumeFromUnit(const QString &normalized);
// The order of a date pattern such as "yyyy-MM-dd", "M/d/yyyy" or "dd.MM.yyyy".
DateOrder orderOfPattern(const QString &pattern);

// Where a cost goes by its type or title, in the languages of the trackers read: parking and
// tolls to the parking ledger, the purchase of the vehicle to its description, fixed costs,
// fines, registration and income left out, anything else to the garage.
enum class CostKind { Garage, Parking, Purchase, LeftOut };
struct CostClass {
    CostKind kind = CostKind::Garage;
    QString category; // for LeftOut
    QString reason;
};
CostClass classifyCost(QStringView text);
// Sends the row as the class says (the purchase to the vehicle's facts).
void sendCost(Builder &out, Row &row, const CostClass &c);

// Rows of the tables a reader does not take, counted under the file's own title.
class SkippedTables {
public:
    void enter(const QString &title); // named in the report even when it holds no row
    void leave() { m_counting = false; }
    bool counting() const { return m_counting; }
    void count(); // one row of the current table
    void report(Report &report) const;

private:
    std::vector<SkippedTable> m_tables;
    QString m_current;
    bool m_counting = false;
};

} // namespace importer
