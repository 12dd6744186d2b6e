#include "import/builder.h"

#include <QHashFunctions>

#include <algorithm>
#include <cstring>
#include <memory>
#include <limits>
#include <array>

using namespace Qt::StringLiterals;

namespace importer {

namespace {
// Texts remembered for sharing; past this, a file of all different texts stops paying for it.
constexpr qsizetype kSharedTexts = 4096;
} // namespace

QString joinParts(const QStringList &parts)
{
    // One part alone is shared, not copied.
    qsizetype filled = 0, last = -1;
    for (qsizetype i = 0; i < parts.size(); ++i)
        if (!parts[i].isEmpty()) {
            ++filled;
            last = i;
        }
    if (filled <= 1)
        return last < 0 ? QString() : parts[last];
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

void appendPart(QString &description, QStringView part)
{
    if (part.trimmed().isEmpty())
        return;
    if (!description.isEmpty())
        description.append(kPartBreak);
    description.append(part);
}

QString Builder::share(const QString &text)
{
    if (const auto it = m_shared.constFind(text); it != m_shared.constEnd())
        return *it;
    const QString copy(text.constData(), text.size()); // not the caller's growing buffer
    if (m_shared.size() < kSharedTexts)
        m_shared.insert(copy);
    return copy;
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

// The entries already taken, by a hash of what makes two rows the same (open addressing over
// indexes into the ledgers: a large file adds no node per row).
class SeenRows {
public:
    explicit SeenRows(size_t rows)
    {
        size_t n = 16;
        while (n < rows * 2)
            n *= 2;
        m_slots.assign(n, Slot{});
    }

    // True when an equal entry was seen; otherwise remembers this one as entry `index` of
    // its ledger. `same(ledger, index)` compares with an entry seen before.
    template <class Same>
    bool seenBefore(Ledger ledger, size_t hash, quint32 index, Same &&same)
    {
        const size_t mask = m_slots.size() - 1;
        for (size_t i = hash & mask;; i = (i + 1) & mask) {
            Slot &s = m_slots[i];
            if (s.index == 0) {
                s = {hash, index + 1, ledger};
                return false;
            }
            if (s.hash == hash && s.ledger == ledger && same(s.index - 1))
                return true;
        }
    }

private:
    struct Slot {
        size_t hash = 0;
        quint32 index = 0; // entry + 1; 0 for an empty slot
        Ledger ledger = Ledger::Fuel;
    };
    std::vector<Slot> m_slots;
};

// Two-decimal texts of the values met last, shared: fill-ups repeat their quantities and
// amounts, and a shared text costs neither a formatting nor an allocation.
class NumberTexts {
public:
    QString get(long double value)
    {
        double key = double(value);
        quint64 bits = 0;
        std::memcpy(&bits, &key, sizeof bits);
        Slot &s = m_slots[(bits * 0x9E3779B97F4A7C15ULL) >> 54];
        if (!s.text.isNull() && s.value == value)
            return s.text;
        s.value = value;
        s.text = twoDecimals(value);
        return s.text;
    }

private:
    struct Slot {
        long double value = 0;
        QString text;
    };
    std::array<Slot, 1024> m_slots;
};

// Puts the ledger in the order of its keys, equal keys in the order they came, moving each
// entry once into place.
template <class Entry>
void sortByKey(std::vector<Entry> &ledger, std::vector<qint64> &keys, size_t from)
{
    if (std::is_sorted(keys.begin(), keys.end()))
        return;
    const size_t n = keys.size();
    std::vector<quint32> order(n);
    for (size_t i = 0; i < n; ++i)
        order[i] = quint32(i);
    std::stable_sort(order.begin(), order.end(),
                     [&keys](quint32 a, quint32 b) { return keys[a] < keys[b]; });
    // Follow each cycle of the permutation: position i takes the entry at order[i].
    for (size_t i = 0; i < n; ++i) {
        if (order[i] == i)
            continue;
        Entry held = std::move(ledger[from + i]);
        size_t at = i;
        while (order[at] != i) {
            const size_t next = order[at];
            ledger[from + at] = std::move(ledger[from + next]);
            order[at] = quint32(at);
            at = next;
        }
        ledger[from + at] = std::move(held);
        order[at] = quint32(at);
    }
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

    // Entries go to the ledgers in file order, then each ledger is sorted by date.
    const size_t fuelFrom = record.ListView1.size(), garageFrom = record.ListView2.size(),
                 parkingFrom = record.ListView3.size();
    std::vector<qint64> fuelKeys, garageKeys, parkingKeys;
    std::array<size_t, 4> perLedger{};
    for (const Row &r : m_rows)
        ++perLedger[size_t(r.ledger)];
    record.ListView1.reserve(fuelFrom + perLedger[size_t(Ledger::Fuel)]);
    record.ListView2.reserve(garageFrom + perLedger[size_t(Ledger::Garage)]);
    record.ListView3.reserve(parkingFrom + perLedger[size_t(Ledger::Parking)]);
    fuelKeys.reserve(perLedger[size_t(Ledger::Fuel)]);
    garageKeys.reserve(perLedger[size_t(Ledger::Garage)]);
    parkingKeys.reserve(perLedger[size_t(Ledger::Parking)]);
    SeenRows seen(m_rows.size());
    const auto numberTexts = std::make_unique<NumberTexts>();
    NumberTexts &numbers = *numberTexts;
    QHash<qint64, QString> dates;
    qint64 lastDay = std::numeric_limits<qint64>::min();
    QString lastDate;
    QHash<QString, std::pair<QString, int>> descriptions; // as written -> fit, characters replaced
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
        // Many rows share a date or a description: one text each, as the vehicle file's
        // reader shares them.
        const qint64 day = date->toJulianDay();
        if (day != lastDay) {
            auto it = dates.constFind(day);
            if (it == dates.constEnd())
                it = dates.insert(day, dateText(*date));
            lastDate = *it;
            lastDay = day;
        }
        const QString &dateStr = lastDate;
        QString odometer;
        if (r.odometer.ok()) {
            long double km = r.odometer.value;
            if (distanceOf(r.distance) == DistanceUnit::Miles) {
                km *= kMile;
                milesConverted = true;
            }
            odometer = numbers.get(km);
        }
        const QString total = r.total.ok() ? numbers.get(r.total.value) : QString();
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
            quantity = numbers.get(litres);
        }
        QString description;
        if (const auto it = descriptions.constFind(r.description); it != descriptions.constEnd()) {
            description = it->first;
            m_report.replacedCharacters += it->second;
        } else {
            int replaced = 0;
            description = describe(r.description, replaced);
            m_report.replacedCharacters += replaced;
            if (descriptions.size() < kSharedTexts)
                descriptions.insert(r.description, {description, replaced});
        }
        if (r.ledger == Ledger::Fuel) {
            if (r.partial)
                description.append(u" (plein partiel)"_s);
            if (r.missed)
                description.append(u" (pleins manqués avant)"_s);
            description = description.trimmed();
        }

        // The same row twice: a fill-up by its date, odometer, quantity and total; a cost also
        // by its description (two equal tickets on one day are two expenses).
        const QString &costText = r.ledger == Ledger::Fuel ? QString() : description;
        const size_t hash = qHashMulti(0, dateStr, odometer, quantity, total, costText);
        const auto same = [&](quint32 i) {
            switch (r.ledger) {
            case Ledger::Fuel: {
                const FuelEntry &e = record.ListView1[fuelFrom + i];
                return e[0] == dateStr && e[4] == odometer && e[3] == quantity && e[2] == total;
            }
            case Ledger::Garage: {
                const GarageEntry &e = record.ListView2[garageFrom + i];
                return e[0] == dateStr && e[3] == odometer && e[2] == total && e[1] == description;
            }
            case Ledger::Parking: {
                // Parking entries keep no odometer: the hash holds it, the compare does not.
                const ParkingEntry &e = record.ListView3[parkingFrom + i];
                return e[0] == dateStr && e[2] == total && e[1] == description;
            }
            case Ledger::LeftOut:
                break;
            }
            return false;
        };
        const size_t count = r.ledger == Ledger::Fuel ? fuelKeys.size()
            : r.ledger == Ledger::Garage             ? garageKeys.size()
                                                      : parkingKeys.size();
        if (seen.seenBefore(r.ledger, hash, quint32(count), same)) {
            ++m_report.duplicates;
            continue;
        }

        const qint64 sortKey = date->toJulianDay() * 1440 + r.date.minutes;
        if (!earliest.isValid() || *date < earliest)
            earliest = *date;
        switch (r.ledger) {
        case Ledger::Fuel:
            record.ListView1.push_back({dateStr, description, total, quantity, odometer});
            fuelKeys.push_back(sortKey);
            break;
        case Ledger::Garage:
            record.ListView2.push_back({dateStr, description, total, odometer});
            garageKeys.push_back(sortKey);
            break;
        case Ledger::Parking:
            record.ListView3.push_back({dateStr, description, total});
            parkingKeys.push_back(sortKey);
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

    m_report.fuelCount = int(fuelKeys.size());
    m_report.garageCount = int(garageKeys.size());
    m_report.parkingCount = int(parkingKeys.size());
    sortByKey(record.ListView1, fuelKeys, fuelFrom);
    sortByKey(record.ListView2, garageKeys, garageFrom);
    sortByKey(record.ListView3, parkingKeys, parkingFrom);
    if (earliest.isValid()) {
        record.DateTimePicker1 = earliest;
        m_report.purchaseDate = earliest;
    }
    return true;
}

} // namespace importer
