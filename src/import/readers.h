#pragma once
// One reader per format; each takes the CSV reader at the file's first record.

#include "import/builder.h"
#include "import/csv.h"

#include <QHash>
#include <QString>

#include <vector>

namespace importer {

// A header row: column index by normalized name, with the unit written in parentheses.
class Header {
public:
    explicit Header(const csv::Record &record);
    int size() const { return int(m_names.size()); }
    const QString &name(int i) const { return m_names[size_t(i)]; }
    const QString &unit(int i) const { return m_units[size_t(i)]; }
    const QString &original(int i) const { return m_originals[size_t(i)]; }
    int find(const QString &name) const; // -1 when absent
    bool has(const QString &name) const { return find(name) >= 0; }

private:
    std::vector<QString> m_names, m_units, m_originals;
};

// The multi-table backup of a phone app: its first non-blank record is a "## ..." marker.
bool isTableMarker(const csv::Record &record, QString *table = nullptr);
void readPhoneBackup(csv::Reader &in, Builder &out, Report &report, VehicleRecord &record);

// The per-ledger exports of a self-hosted tracker, known by their header.
enum class LedgerExport { None, Fuel, Service, Taxes };
LedgerExport ledgerExportKind(const Header &header);
void readLedgerExport(csv::Reader &in, LedgerExport kind, Builder &out, Report &report);

// Any table with a header row naming a date and an amount or a quantity.
bool isSpreadsheetHeader(const Header &header);
void readSpreadsheet(csv::Reader &in, qint64 headerLine, Builder &out, Report &report);

// Helpers the readers share: the field under a column (empty when the column is absent).
inline QString field(const csv::Record &r, int column) { return column < 0 ? QString() : r.text(column); }
// The same as a view into `scratch`, for values read at once (numbers, dates, flags).
inline QStringView fieldView(const csv::Record &r, int column, QString &scratch)
{
    return column < 0 ? QStringView() : r.view(column, scratch);
}

} // namespace importer
