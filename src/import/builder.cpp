#include "import/builder.h"

#include <QSet>

#include <algorithm>
#include <array>

using namespace Qt::StringLiterals;

namespace importer {

QString joinParts(const QStringList &parts)
{
    QString out;
    for (const QString &p : parts) {
        if (p.trimmed().isEmpty())
            continue;
        if (!out.isEmpty())
            out.append(kPartBreak);
        out.append(p);
    }
    return out;
}

int Builder::leftOutCategory(const QString &name, const QString &reason)
{
    for (size_t i = 0; i < m_report.leftOut.size(); ++i)
        if (m_report.leftOut[i].category == name)
            return int(i);
    m_report.leftOut.push_back({name, 0, QString(), reason});
    m_leftOutSums.push_back({});
    return int(m_report.leftOut.size() - 1);
}

namespace {

constexpr long double kMile = 1.609344L;
constexpr long double kUsGallon = 3.785411784L;
constexpr long double kImperialGallon = 4.54609L;

constexpr std::array<DateOrder, 3> kOrders{DateOrder::DMY, DateOrder::MDY, DateOrder::YMD};

// The parts of a description made fit, joined by " — ".
QString describe(const QString &raw, int &replaced)
{
    if (!raw.contains(kPartBreak))
        return fitText(raw, replaced);
    QString out;
    for (const QString &part : raw.split(kPartBreak)) {
        const QString fit = fitText(part, replaced);
        if (fit.isEmpty())
            continue;
        if (!out.isEmpty())
            out.append(u" \u2014 "_s);
        out.append(fit);
    }
    return out;
}

template <class Entry>
struct Sorted {
    qint64 key; // day and minute
    Entry entry;
};

template <class Entry>
void sortInto(std::vector<Sorted<Entry>> &rows, std::vector<Entry> &ledger)
{
    std::stable_sort(rows.begin(), rows.end(),
                     [](const Sorted<Entry> &a, const Sorted<Entry> &b) { return a.key < b.key; });
    ledger.reserve(ledger.size() + rows.size());
    for (Sorted<Entry> &r : rows)
        ledger.push_back(std::move(r.entry));
}

} // namespace

DateOrder Builder::chooseOrder(DateOrder given)
{
    if (m_fileOrder != DateOrder::Unknown)
        return m_fileOrder;
    std::array<qint64, 3> valid{};
    qint64 numeric = 0;
    for (const Row &r : m_rows) {
        if (r.ledger == Ledger::LeftOut || r.date.shape != DateParts::Numeric)
            continue;
        ++numeric;
        for (size_t k = 0; k < kOrders.size(); ++k)
            valid[k] += resolveDate(r.date, kOrders[k]) ? 1 : 0;
    }
    if (numeric == 0)
        return DateOrder::DMY;
    std::vector<DateOrder> possible;
    for (size_t k = 0; k < kOrders.size(); ++k)
        if (valid[k] == numeric)
            possible.push_back(kOrders[k]);
    if (possible.size() == 1)
        return possible.front();
    if (possible.empty()) {
        // No order reads every date: the one that reads most; the rest are skipped.
        size_t best = 0;
        for (size_t k = 1; k < kOrders.size(); ++k)
            if (valid[k] > valid[best] || (valid[k] == valid[best] && kOrders[k] == given))
                best = k;
        return kOrders[best];
    }
    if (std::find(possible.begin(), possible.end(), given) != possible.end())
        return given;
    // When every possible order gives the same dates (01/01, 05/05...), the choice is moot.
    bool same = true;
    for (const Row &r : m_rows) {
        if (r.ledger == Ledger::LeftOut || r.date.shape != DateParts::Numeric)
            continue;
        const auto first = resolveDate(r.date, possible.front());
        for (DateOrder o : possible)
            same = same && resolveDate(r.date, o) == first;
        if (!same)
            break;
    }
    if (same)
        return possible.front();
    m_report.needsDateOrder = true;
    m_report.possibleOrders = possible;
    return DateOrder::Unknown;
}

bool Builder::finish(DateOrder given, VehicleRecord &record)
{
    const DateOrder order = chooseOrder(given);
    if (order == DateOrder::Unknown)
        return false;

    const auto distanceOf = [this](DistanceUnit u) {
        return u == DistanceUnit::Unknown ? m_defaultDistance : u;
    };
    const auto volumeOf = [this](VolumeUnit u) { return u == VolumeUnit::Unknown ? m_defaultVolume : u; };
    bool milesConverted = false, usConverted = false, imperialConverted = false;

    std::vector<Sorted<FuelEntry>> fuel;
    std::vector<Sorted<GarageEntry>> garage;
    std::vector<Sorted<ParkingEntry>> parking;
    fuel.reserve(m_rows.size());
    QSet<QString> seen;
    seen.reserve(qsizetype(m_rows.size()));
    QDate earliest;
    std::vector<SkippedRow> badDates;

    for (Row &r : m_rows) {
        if (r.ledger == Ledger::LeftOut) {
            LeftOut &l = m_report.leftOut[size_t(r.leftOut)];
            ++l.rows;
            if (r.total.ok())
                m_leftOutSums[size_t(r.leftOut)].total += r.total.value;
            continue;
        }
        const std::optional<QDate> date = resolveDate(r.date, order);
        if (!date) {
            badDates.push_back({r.line, why::date()});
            continue;
        }
        const QString dateStr = dateText(*date);
        QString odometer;
        if (r.odometer.ok()) {
            long double km = r.odometer.value;
            if (distanceOf(r.distance) == DistanceUnit::Miles) {
                km *= kMile;
                milesConverted = true;
            }
            odometer = twoDecimals(km);
        }
        const QString total = r.total.ok() ? twoDecimals(r.total.value) : QString();
        QString quantity;
        if (r.ledger == Ledger::Fuel && r.quantity.ok()) {
            long double litres = r.quantity.value;
            switch (volumeOf(r.volume)) {
            case VolumeUnit::UsGallons:
                litres *= kUsGallon;
                usConverted = true;
                break;
            case VolumeUnit::ImperialGallons:
                litres *= kImperialGallon;
                imperialConverted = true;
                break;
            default:
                break;
            }
            quantity = twoDecimals(litres);
        }
        QString description = describe(r.description, m_report.replacedCharacters);
        if (r.ledger == Ledger::Fuel) {
            if (r.partial)
                description.append(u" (plein partiel)"_s);
            if (r.missed)
                description.append(u" (pleins manqués avant)"_s);
            description = description.trimmed();
        }

        // The same row twice: a fill-up by its date, odometer, quantity and total; a cost also
        // by its description (two equal tickets on one day are two expenses).
        QString key = QString::number(int(r.ledger)) + u'|' + dateStr + u'|' + odometer + u'|'
            + quantity + u'|' + total;
        if (r.ledger != Ledger::Fuel)
            key += u'|' + description;
        if (seen.contains(key)) {
            ++m_report.duplicates;
            continue;
        }
        seen.insert(key);

        const qint64 sortKey = date->toJulianDay() * 1440 + r.date.minutes;
        if (!earliest.isValid() || *date < earliest)
            earliest = *date;
        switch (r.ledger) {
        case Ledger::Fuel:
            fuel.push_back({sortKey, {dateStr, description, total, quantity, odometer}});
            break;
        case Ledger::Garage:
            garage.push_back({sortKey, {dateStr, description, total, odometer}});
            break;
        case Ledger::Parking:
            parking.push_back({sortKey, {dateStr, description, total}});
            break;
        case Ledger::LeftOut:
            break;
        }
    }
    m_rows.clear();
    m_rows.shrink_to_fit();

    for (size_t i = 0; i < m_report.leftOut.size(); ++i)
        m_report.leftOut[i].total = twoDecimals(m_leftOutSums[i].total);
    // Rows skipped while reading and for their dates, in file order.
    m_report.skipped.insert(m_report.skipped.end(), badDates.begin(), badDates.end());
    std::stable_sort(m_report.skipped.begin(), m_report.skipped.end(),
                     [](const SkippedRow &a, const SkippedRow &b) { return a.line < b.line; });

    if (milesConverted)
        m_report.conversions << u"Compteurs en miles convertis en kilomètres (× 1.609344)"_s;
    if (usConverted)
        m_report.conversions
            << u"Quantités en gallons américains converties en litres (× 3.785411784)"_s;
    if (imperialConverted)
        m_report.conversions << u"Quantités en gallons impériaux converties en litres (× 4.54609)"_s;

    m_report.fuelCount = int(fuel.size());
    m_report.garageCount = int(garage.size());
    m_report.parkingCount = int(parking.size());
    sortInto(fuel, record.ListView1);
    sortInto(garage, record.ListView2);
    sortInto(parking, record.ListView3);
    if (earliest.isValid()) {
        record.DateTimePicker1 = earliest;
        m_report.purchaseDate = earliest;
    }
    return true;
}

} // namespace importer
