#pragma once
// What every format reader hands over: rows as the file wrote them. The builder settles the
// order of day and month, converts units, writes the texts of the ledgers as the entry dialogs
// would, drops repeated rows, sorts by date and fills the report.

#include "import/fields.h"
#include "import/importer.h"

#include <QSet>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <vector>

namespace importer {

enum class Ledger : quint8 { Fuel, Garage, Parking, LeftOut };
enum class DistanceUnit : quint8 { Unknown, Km, Miles };
enum class VolumeUnit : quint8 { Unknown, Litres, UsGallons, ImperialGallons };

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
};

// Stands between the parts of a description until they are made fit and joined by " — ".
inline constexpr QChar kPartBreak = QChar(0x1F);
QString joinParts(const QStringList &parts);
// Appends a part to a description being built (nothing for a blank part).
void appendPart(QString &description, QStringView part);

class Builder {
public:
    explicit Builder(Report &report) : m_report(report) {}

    // A category of rows that are no ledger expenses, with why; returns its index for Row::leftOut.
    int leftOutCategory(const QString &name, const QString &reason);

    void add(Row &&row) { m_rows.push_back(std::move(row)); }
    // The text, shared with an equal one given before: the rows of a large file repeat their
    // descriptions.
    QString share(const QString &text);
    // Room for the rows of a file of `bytes` bytes (pages never written cost nothing).
    void expect(qint64 bytes) { m_rows.reserve(size_t(std::clamp<qint64>(bytes / 48, 16, 1 << 22))); }
    void skip(qint64 line, const QString &reason) { m_report.skipped.push_back({line, reason}); }

    // The file says how its dates are written.
    void setFileOrder(DateOrder order) { m_fileOrder = order; }
    void setDefaultUnits(DistanceUnit d, VolumeUnit v)
    {
        m_defaultDistance = d;
        m_defaultVolume = v;
    }

    // Fills the record. False when the day/month order is needed and `given` does not settle
    // it: the report then says which orders the dates allow and the record is left as it is.
    bool finish(DateOrder given, VehicleRecord &record);

private:
    DateOrder chooseOrder(DateOrder given);

    Report &m_report;
    std::vector<Row> m_rows;
    DateOrder m_fileOrder = DateOrder::Unknown;
    DistanceUnit m_defaultDistance = DistanceUnit::Km;
    VolumeUnit m_defaultVolume = VolumeUnit::Litres;
    struct LeftOutSum {
        long double total = 0;
    };
    std::vector<LeftOutSum> m_leftOutSums;
    QSet<QString> m_shared;
};

// Reason texts of skipped rows.
namespace why {
inline QString date() { return QStringLiteral("date illisible"); }
inline QString noDate() { return QStringLiteral("date manquante"); }
inline QString amount() { return QStringLiteral("montant illisible"); }
inline QString noAmount() { return QStringLiteral("montant manquant"); }
inline QString quantity() { return QStringLiteral("quantité illisible"); }
inline QString odometer() { return QStringLiteral("compteur illisible"); }
inline QString unitPrice() { return QStringLiteral("prix unitaire illisible"); }
} // namespace why

} // namespace importer
