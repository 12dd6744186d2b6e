#include "core/import/builder.h"
#include "core/import/ledgerorder.h"

#include <QHash>

#include <algorithm>
#include <array>
#include <cstring>
#include <initializer_list>
#include <iterator>
#include <limits>
#include <memory>
#include <optional>

using namespace Qt::StringLiterals;

namespace importer {

namespace {
// Texts remembered for sharing; past this, a file of all different texts stops paying for it.
constexpr qsizetype kSharedTexts = 4096;
// Entries of one day looked for a repeat one by one; past this, through a table.
constexpr size_t kCompareOneByOne = 16;
} // namespace

int Builder::leftOutCategory(const QString &name, const QString &reason)
{
    for (size_t i = 0; i < m_report.leftOut.size(); ++i)
        if (m_report.leftOut[i].category == name)
            return int(i);
    m_report.leftOut.push_back({name, 0, QString(), reason, {}});
    m_leftOutSums.push_back({});
    return int(m_report.leftOut.size() - 1);
}

namespace {

constexpr long double kMile = 1.609344L;
constexpr long double kUsGallon = 3.785411784L;
constexpr long double kImperialGallon = 4.54609L;

constexpr std::array<DateOrder, 3> kOrders{DateOrder::DMY, DateOrder::MDY, DateOrder::YMD};

// The parts of a description made fit, joined by " — ".
QString fitParts(const QString &raw, int &replaced)
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

// Two-decimal texts of the values met last, shared: fill-ups repeat their quantities and
// amounts, and a shared text costs neither a formatting nor an allocation.
class NumberTexts {
public:
    LedgerText get(long double value)
    {
        double key = double(value);
        quint64 bits = 0;
        std::memcpy(&bits, &key, sizeof bits);
        Slot &s = m_slots[(bits * 0x9E3779B97F4A7C15ULL) >> 54];
        if (!s.text.isEmpty() && s.value == value)
            return s.text;
        s.value = value;
        s.text = twoDecimalsText(value);
        return s.text;
    }

private:
    struct Slot {
        long double value = 0;
        LedgerText text;
    };
    std::array<Slot, 1024> m_slots;
};

// A hash of the texts that make two entries of a day the same.
size_t textsHash(std::initializer_list<const LedgerText *> texts)
{
    quint64 h = 14695981039346656037ULL;
    for (const LedgerText *t : texts)
        h = (h ^ (t ? t->hash() : 0)) * 1099511628211ULL;
    return size_t(h);
}

// The hash with the day, mixed so that its low bits serve as a table index.
size_t withDay(size_t hash, qint64 day)
{
    quint64 h = (hash ^ quint64(day)) * 1099511628211ULL;
    h ^= h >> 33;
    h *= 0xFF51AFD7ED558CCDULL;
    h ^= h >> 33;
    return size_t(h);
}

bool sameParts(const DateParts &a, const DateParts &b)
{
    return a.shape == b.shape && a.shortParts == b.shortParts && a.p[0] == b.p[0] && a.p[1] == b.p[1]
        && a.p[2] == b.p[2];
}

} // namespace

struct Builder::Caches {
    // One per column: odometer readings seldom repeat and would push out the quantities and
    // amounts, which do.
    NumberTexts odometers, totals, quantities;
    // A description as written, made fit; for a fill-up also with its marks, made when first met.
    struct Description {
        LedgerText fit;
        int replaced = 0;
        std::array<LedgerText, 4> fuel; // plain, partial, missed before, both
        quint8 made = 0;             // bit per `fuel` text made
    };
    QHash<QString, Description> descriptions;
};

Builder::Builder(Report &report, const QString &wantedVehicle)
    : m_report(report), m_caches(std::make_unique<Caches>()), m_vehicles(1),
      m_wanted(wantedVehicle.trimmed())
{
}

Builder::~Builder() = default;

int Builder::vehicle(const QString &name, bool isName)
{
    const QString key = name.trimmed();
    if (key.isEmpty())
        return 0;
    const auto it = m_vehicleIndex.constFind(key);
    if (it != m_vehicleIndex.constEnd())
        return *it;
    const int index = int(m_vehicles.size());
    m_vehicles.push_back({});
    m_vehicles.back().name = key;
    m_vehicles.back().isName = isName;
    m_vehicleIndex.insert(key, index);
    if (m_chosen < 0 && !m_wanted.isEmpty()
        && (key == m_wanted || normalizeName(key) == normalizeName(m_wanted)))
        m_chosen = index;
    return index;
}

void Builder::setVehicleName(int vehicle, const QString &name)
{
    m_vehicles[size_t(vehicle)].name = name.trimmed();
}

void Builder::setMake(int vehicle, const QString &make)
{
    if (!make.trimmed().isEmpty())
        m_vehicles[size_t(vehicle)].make = make.trimmed();
}

void Builder::setModel(int vehicle, const QString &model)
{
    if (!model.trimmed().isEmpty())
        m_vehicles[size_t(vehicle)].model = model.trimmed();
}

void Builder::noteFuel(int vehicle, QStringView fuel)
{
    static const QStringList types{u"Essence"_s, u"Diesel"_s, u"GPL"_s};
    const qsizetype type = types.indexOf(vehicleTypeOf(fuel));
    if (type >= 0)
        ++m_vehicles[size_t(vehicle)].fuels[size_t(type)];
}

void Builder::purchase(const Row &row)
{
    Vehicle &v = m_vehicles[size_t(row.vehicle)];
    ++v.rows;
    if (v.bought || !take(row.vehicle))
        return;
    v.bought = true;
    v.price = row.total;
    v.date = row.date;
}

void Builder::count(const Row &row)
{
    Vehicle &v = m_vehicles[size_t(row.vehicle)];
    ++v.rows;
    if (row.ledger != Ledger::LeftOut)
        ++v.entries;
}

void Builder::addNamed(Row &&row, const QString &title)
{
    const int category = row.leftOut;
    const int vehicle = row.vehicle;
    add(std::move(row));
    if (!take(vehicle))
        return;
    QStringList &titles = m_report.leftOut[size_t(category)].titles;
    const QString t = title.trimmed();
    if (!t.isEmpty() && !titles.contains(t))
        titles << t;
}

LedgerText Builder::describe(const QString &raw, Ledger ledger, bool partial, bool missed, int &replaced)
{
    const auto marked = [](const QString &fit, int variant) {
        QString text = fit;
        if (variant & 1)
            text.append(u" (plein partiel)"_s);
        if (variant & 2)
            text.append(u" (pleins manqués avant)"_s);
        return LedgerText(text.trimmed());
    };
    const int variant = (partial ? 1 : 0) | (missed ? 2 : 0);
    auto &cache = m_caches->descriptions;
    auto it = cache.find(raw);
    if (it == cache.end()) {
        int count = 0;
        const QString fit = fitParts(raw, count);
        replaced += count;
        if (cache.size() >= kSharedTexts)
            return ledger == Ledger::Fuel ? marked(fit, variant) : LedgerText(fit);
        it = cache.insert(QString(raw.constData(), raw.size()), {LedgerText(fit), count, {}, 0});
    } else {
        replaced += it->replaced;
    }
    if (ledger != Ledger::Fuel)
        return it->fit;
    if (!(it->made & (1 << variant))) {
        it->fuel[size_t(variant)] = marked(it->fit.toString(), variant);
        it->made |= quint8(1 << variant);
    }
    return it->fuel[size_t(variant)];
}

Builder::Numbers Builder::numbersOf(Ledger ledger, const Row &r, const LedgerText &description)
{
    Numbers n;
    if (r.asWritten) {
        n.total = LedgerText(r.totalText);
        n.quantity = LedgerText(r.quantityText);
        n.odometer = LedgerText(r.odometerText);
        n.hash = textsHash({&n.odometer, &n.quantity, &n.total, &description});
        return n;
    }
    // A number read to the hundredth and not converted is written from its digits: its long
    // double is worked out only for the plausibility checks.
    if (r.odometer.ok()) {
        if ((r.distance == DistanceUnit::Unknown ? m_defaultDistance : r.distance) == DistanceUnit::Miles) {
            const long double km = r.odometer.value() * kMile;
            n.converted |= kMiles;
            n.odometer = m_caches->odometers.get(km);
            n.values.km = float(km);
        } else {
            n.odometer = twoDecimalsText(r.odometer);
            if (m_checking)
                n.values.km = float(r.odometer.value());
        }
    }
    if (r.total.ok()) {
        n.total = r.total.exact ? twoDecimalsText(r.total) : m_caches->totals.get(r.total.value());
        if (m_checking)
            n.values.total = float(r.total.value());
    }
    if (ledger == Ledger::Fuel && r.quantity.ok()) {
        long double factor = 1;
        switch (r.volume == VolumeUnit::Unknown ? m_defaultVolume : r.volume) {
        case VolumeUnit::UsGallons:
            factor = kUsGallon;
            n.converted |= kUsGallons;
            break;
        case VolumeUnit::ImperialGallons:
            factor = kImperialGallon;
            n.converted |= kImperialGallons;
            break;
        case VolumeUnit::Kg:
        case VolumeUnit::KWh:
            factor = 0; // no volume: add() wrote it in the description
            break;
        default:
            break;
        }
        if (factor == 1 && r.quantity.exact) {
            n.quantity = twoDecimalsText(r.quantity);
            if (m_checking)
                n.values.litres = float(r.quantity.value());
        } else if (factor != 0) {
            const long double litres = factor == 1 ? r.quantity.value() : r.quantity.value() * factor;
            n.quantity = m_caches->quantities.get(litres);
            n.values.litres = float(litres);
        }
    }
    // What makes two entries of a day the same: a fill-up its odometer, quantity and total; a
    // cost also its description (two equal tickets on one day are two expenses). Parking
    // entries keep no odometer: the hash holds it.
    n.hash = textsHash({&n.odometer, &n.quantity, &n.total,
                        ledger == Ledger::Fuel ? nullptr : &description});
    return n;
}

void Builder::add(Row &&row)
{
    count(row);
    if (!take(row.vehicle))
        return;
    if (row.ledger == Ledger::LeftOut) {
        LeftOutSum &sum = m_leftOutSums[size_t(row.leftOut)];
        ++sum.rows;
        if (row.total.ok())
            sum.total += row.total.value();
        return;
    }
    if (row.ledger == Ledger::Fuel && row.quantity.ok()) {
        const VolumeUnit unit = row.volume == VolumeUnit::Unknown && !m_unitsHeld ? m_defaultVolume : row.volume;
        if (unit == VolumeUnit::Kg || unit == VolumeUnit::KWh) {
            // Never litres: the quantity and its unit go to the description.
            appendPart(row.description, twoDecimals(row.quantity.value())
                                            + (unit == VolumeUnit::Kg ? u" kg"_s : u" kWh"_s));
            row.volume = unit;
            ++m_report.otherUnitFuel;
        }
    }
    OpenEntry open;
    open.line = row.line;
    open.date = row.date;
    LedgerText description = describe(row.description, row.ledger, row.partial, row.missed, open.replaced);
    // Repeats are told apart by the file's own text: two texts may be made fit alike.
    if (open.replaced > 0 && row.ledger != Ledger::Fuel) {
        open.raw = qint32(m_rawTexts.size());
        m_rawTexts.emplace_back(row.description.constData(), row.description.size());
    }
    const bool waits = m_unitsHeld
        && ((row.odometer.ok() && row.distance == DistanceUnit::Unknown)
            || (row.ledger == Ledger::Fuel && row.quantity.ok() && row.volume == VolumeUnit::Unknown));
    Numbers n;
    if (!waits) {
        n = numbersOf(row.ledger, row, description);
        open.hash = n.hash;
        open.converted = n.converted;
    }
    if (m_checking && row.ledger == Ledger::Fuel)
        m_fuelSamples.push_back(n.values);
    else if (m_checking && row.ledger == Ledger::Garage)
        m_garageSamples.push_back(n.values);
    const auto room = [this, &open](auto &rows) {
        if (rows.entries.capacity() == 0) {
            rows.entries.reserve(m_expected);
            rows.open.reserve(m_expected);
        }
        rows.open.push_back(open);
        return rows.entries.size();
    };
    size_t index = 0;
    switch (row.ledger) {
    case Ledger::Fuel:
        index = room(m_fuel);
        m_fuel.entries.emplace_back(LedgerText(), std::move(description), std::move(n.total),
                                    std::move(n.quantity), std::move(n.odometer));
        break;
    case Ledger::Garage:
        index = room(m_garage);
        m_garage.entries.emplace_back(LedgerText(), std::move(description), std::move(n.total),
                                      std::move(n.odometer));
        break;
    case Ledger::Parking:
        index = room(m_parking);
        m_parking.entries.emplace_back(LedgerText(), std::move(description), std::move(n.total));
        break;
    case Ledger::LeftOut:
        return;
    }
    if (waits) {
        row.description = QString();
        m_waiting.push_back({row.ledger, index, std::move(row)});
    }
}

void Builder::setYear(int vehicle, int year)
{
    if (year >= 1886 && year <= 9999)
        m_vehicles[size_t(vehicle)].year = year;
}

void Builder::setDefaultUnits(DistanceUnit d, VolumeUnit v)
{
    m_defaultDistance = d;
    m_defaultVolume = v;
    m_unitsHeld = false;
    for (Waiting &w : m_waiting) {
        const auto set = [&w, this](auto &rows, auto &&place) {
            Numbers n = numbersOf(w.ledger, w.row, rows.entries[w.index].text(1));
            rows.open[w.index].hash = n.hash;
            rows.open[w.index].converted = n.converted;
            place(rows.entries[w.index], n);
        };
        switch (w.ledger) {
        case Ledger::Fuel:
            set(m_fuel, [](FuelEntry &e, Numbers &n) {
                e.text(2) = std::move(n.total);
                e.text(3) = std::move(n.quantity);
                e.text(4) = std::move(n.odometer);
            });
            break;
        case Ledger::Garage:
            set(m_garage, [](GarageEntry &e, Numbers &n) {
                e.text(2) = std::move(n.total);
                e.text(3) = std::move(n.odometer);
            });
            break;
        case Ledger::Parking:
            set(m_parking, [](ParkingEntry &e, Numbers &n) { e.text(2) = std::move(n.total); });
            break;
        case Ledger::LeftOut:
            break;
        }
    }
    m_waiting.clear();
    m_waiting.shrink_to_fit();
}

DateOrder Builder::chooseOrder(DateOrder given)
{
    if (m_fileOrder != DateOrder::Unknown)
        return m_fileOrder;
    const auto forEachNumeric = [this](auto &&f) {
        for (const std::vector<OpenEntry> *open : {&m_fuel.open, &m_garage.open, &m_parking.open})
            for (const OpenEntry &o : *open)
                if (o.date.shape == DateParts::Numeric && !f(o.date))
                    return;
    };
    std::array<qint64, 3> valid{};
    qint64 numeric = 0;
    DateParts last;
    std::array<bool, 3> lastValid{};
    forEachNumeric([&](const DateParts &d) {
        ++numeric;
        if (numeric == 1 || !sameParts(d, last)) { // neighbours often share their date
            last = d;
            for (size_t k = 0; k < kOrders.size(); ++k)
                lastValid[k] = dateReadable(d, kOrders[k]);
        }
        for (size_t k = 0; k < kOrders.size(); ++k)
            valid[k] += lastValid[k] ? 1 : 0;
        return true;
    });
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
    forEachNumeric([&](const DateParts &d) {
        const auto first = resolveDate(d, possible.front());
        for (DateOrder o : possible)
            same = same && resolveDate(d, o) == first;
        return same;
    });
    if (same)
        return possible.front();
    m_report.needsDateOrder = true;
    m_report.possibleOrders = possible;
    return DateOrder::Unknown;
}

Builder::Finish Builder::finish(DateOrder given, VehicleRecord &record)
{
    // One vehicle at a time: a file of several never becomes one record.
    std::vector<VehicleChoice> named;
    for (size_t i = 1; i < m_vehicles.size(); ++i)
        if (m_vehicles[i].rows > 0)
            named.push_back({m_vehicles[i].name, m_vehicles[i].entries});
    if (!m_wanted.isEmpty() && m_chosen < 0) {
        // The wanted name may be the one the file gives its only vehicle.
        const QString &only = m_vehicles[0].name;
        if (named.empty() && !only.isEmpty()
            && (only == m_wanted || normalizeName(only) == normalizeName(m_wanted))) {
            m_chosen = 0;
        } else {
            if (named.empty() && !only.isEmpty())
                named.push_back({only, 0});
            m_report.vehicles = named;
            return Finish::NoSuchVehicle;
        }
    }
    if (m_wanted.isEmpty() && named.size() > 1) {
        m_report.needsVehicle = true;
        m_report.vehicles = named;
        return Finish::NeedsVehicle;
    }
    if (!m_waiting.empty())
        setDefaultUnits(m_defaultDistance, m_defaultVolume);
    const DateOrder order = chooseOrder(given);
    if (order == DateOrder::Unknown)
        return Finish::NeedsOrder;

    struct {
        bool set = false;
        DateParts parts;
        std::optional<QDate> date;
        qint64 day = 0;
        LedgerText text;
    } last; // the date of the entry before, which neighbours often share
    QDate earliest;
    std::vector<SkippedRow> badDates;
    quint8 converted = 0;

    // Dates each entry, drops repeated ones (the first stays), sorts the ledger by date and
    // appends it to the record's; returns how many entries it took.
    const auto settle = [&](auto &rows, auto &ledger, const std::vector<Sample> &samples,
                            std::vector<Seen> &checked, auto &&same) {
        auto &entries = rows.entries;
        std::vector<OpenEntry> &open = rows.open;
        const size_t n = entries.size();
        // First the dates: each entry's day, or none when its date does not read.
        constexpr qint32 kNoDay = std::numeric_limits<qint32>::min();
        std::vector<qint32> days(n, kNoDay);
        bool inOrder = true; // days never go back: the entries of a day stand together
        qint32 lastDay = kNoDay;
        for (size_t i = 0; i < n; ++i) {
            const OpenEntry &o = open[i];
            if (!last.set || !sameParts(o.date, last.parts)) {
                last.set = true;
                last.parts = o.date;
                last.date = resolveDate(o.date, order);
                if (last.date) {
                    last.day = last.date->toJulianDay();
                    last.text = dateLedgerText(*last.date);
                }
            }
            if (!last.date) {
                badDates.push_back({o.line, why::date()});
                continue;
            }
            converted |= o.converted;
            m_report.replacedCharacters += o.replaced;
            entries[i].text(0) = last.text;
            days[i] = qint32(last.day);
            inOrder = inOrder && days[i] >= lastDay;
            lastDay = days[i];
            if (m_checking && i < samples.size())
                checked.push_back({last.day * 1440 + o.date.minutes, o.line, samples[i]});
        }

        // Then the repeats, dropped (the first stays), and the entries kept moved together.
        std::vector<qint64> keys;
        keys.reserve(n);
        std::optional<SeenRows> seen;
        if (!inOrder && !m_asWritten)
            seen.emplace(n);
        size_t kept = 0, runStart = 0, runEnd = 0;
        for (size_t i = 0; i < n; ++i) {
            const qint32 day = days[i];
            if (day == kNoDay)
                continue;
            const OpenEntry &o = open[i];
            auto &entry = entries[i];
            const auto isSame = [&](quint32 k) {
                return open[k].hash == o.hash && same(entries[k], entry)
                    && (open[k].raw < 0 ? o.raw < 0 : o.raw >= 0
                            && m_rawTexts[size_t(open[k].raw)] == m_rawTexts[size_t(o.raw)]);
            };
            bool repeated = false;
            if (m_asWritten) {
            } else if (!inOrder) {
                repeated = seen->seenBefore(withDay(o.hash, day), quint32(kept), isSame);
            } else {
                // In date order, a repeat can only be among the kept entries of its own day:
                // a few are compared one by one, a long day gets a table of its own.
                if (i >= runEnd) {
                    runStart = kept;
                    runEnd = i + 1;
                    size_t length = 1;
                    for (; runEnd < n && (days[runEnd] == day || days[runEnd] == kNoDay); ++runEnd)
                        length += days[runEnd] == day ? 1 : 0;
                    seen.reset();
                    if (length > kCompareOneByOne)
                        seen.emplace(length);
                }
                if (seen) {
                    repeated = seen->seenBefore(o.hash, quint32(kept), isSame);
                } else {
                    for (size_t k = runStart; k < kept && !repeated; ++k)
                        repeated = isSame(quint32(k));
                }
            }
            if (repeated) {
                ++m_report.duplicates;
                continue;
            }
            keys.push_back(qint64(day) * 1440 + o.date.minutes);
            const QDate date = QDate::fromJulianDay(day);
            if (!earliest.isValid() || date < earliest)
                earliest = date;
            if (kept != i) {
                open[kept].hash = o.hash;
                open[kept].raw = o.raw;
                entries[kept] = std::move(entry);
            }
            ++kept;
        }
        entries.erase(entries.begin() + qsizetype(kept), entries.end());
        open = {};
        if (!m_asWritten)
            sortByKey(entries, keys);
        if (ledger.empty())
            ledger = std::move(entries);
        else
            ledger.insert(ledger.end(), std::make_move_iterator(entries.begin()),
                          std::make_move_iterator(entries.end()));
        entries = {};
        return int(kept);
    };
    // Beside the hash of the rest, the same date and: a fill-up the same odometer, quantity and
    // total; a cost the same odometer, total and description.
    std::vector<Seen> fuelChecked, garageChecked, none;
    m_report.fuelCount = settle(m_fuel, record.ListView1, m_fuelSamples, fuelChecked,
                                [](const FuelEntry &a, const FuelEntry &b) {
                                    return a.text(0) == b.text(0) && a.text(4) == b.text(4) && a.text(3) == b.text(3) && a.text(2) == b.text(2);
                                });
    m_report.garageCount = settle(m_garage, record.ListView2, m_garageSamples, garageChecked,
                                  [](const GarageEntry &a, const GarageEntry &b) {
                                      return a.text(0) == b.text(0) && a.text(3) == b.text(3) && a.text(2) == b.text(2) && a.text(1) == b.text(1);
                                  });
    m_report.parkingCount = settle(m_parking, record.ListView3, {}, none,
                                   [](const ParkingEntry &a, const ParkingEntry &b) {
                                       return a.text(0) == b.text(0) && a.text(2) == b.text(2) && a.text(1) == b.text(1);
                                   });
    if (m_checking)
        checkEntries(fuelChecked, garageChecked);

    for (size_t i = 0; i < m_report.leftOut.size(); ++i) {
        m_report.leftOut[i].rows = m_leftOutSums[i].rows;
        m_report.leftOut[i].total = twoDecimals(m_leftOutSums[i].total);
    }
    // Categories met only in rows of other vehicles.
    std::erase_if(m_report.leftOut, [](const LeftOut &l) { return l.rows == 0; });
    // Rows skipped while reading and for their dates, in file order.
    m_report.skipped.insert(m_report.skipped.end(), badDates.begin(), badDates.end());
    std::stable_sort(m_report.skipped.begin(), m_report.skipped.end(),
                     [](const SkippedRow &a, const SkippedRow &b) { return a.line < b.line; });

    if (converted & kMiles)
        m_report.conversions << u"Compteurs en miles convertis en kilomètres (× 1.609344)"_s;
    if (converted & kUsGallons)
        m_report.conversions
            << u"Quantités en gallons américains converties en litres (× 3.785411784)"_s;
    if (converted & kImperialGallons)
        m_report.conversions << u"Quantités en gallons impériaux converties en litres (× 4.54609)"_s;

    if (earliest.isValid()) {
        record.DateTimePicker1 = earliest;
        m_report.purchaseDate = earliest;
    }
    applyVehicle(record, order);
    // The vehicle's year says more of its first registration than the earliest entry.
    int year = m_vehicles[0].year;
    if (m_chosen > 0 && m_vehicles[size_t(m_chosen)].year > 0)
        year = m_vehicles[size_t(m_chosen)].year;
    if (year > 0) {
        record.DateTimePicker2 = QDate(year, 1, 1);
        m_report.registrationDate = record.DateTimePicker2;
        m_report.registrationFromYear = true;
    } else if (m_report.purchaseDate.isValid()) {
        record.DateTimePicker2 = record.DateTimePicker1;
        m_report.registrationDate = record.DateTimePicker2;
    }
    return Finish::Done;
}

void Builder::applyVehicle(VehicleRecord &record, DateOrder order)
{
    // The facts of the file's only vehicle, then those of the vehicle taken.
    std::vector<const Vehicle *> facts{&m_vehicles[0]};
    if (m_chosen > 0)
        facts.push_back(&m_vehicles[size_t(m_chosen)]);
    QString name, make, model;
    bool nameIsName = true;
    std::array<int, 3> fuels{};
    const Vehicle *bought = nullptr;
    for (const Vehicle *v : facts) {
        if (!v->name.isEmpty()) {
            name = v->name;
            nameIsName = v->isName;
        }
        if (!v->make.isEmpty())
            make = v->make;
        if (!v->model.isEmpty())
            model = v->model;
        for (size_t k = 0; k < fuels.size(); ++k)
            fuels[k] += v->fuels[k];
        if (v->bought)
            bought = v;
    }
    if (!name.isEmpty() && nameIsName)
        m_report.vehicleName = name;
    int replaced = 0;
    // The name the user gave the vehicle says more of it than nothing at all.
    if (make.isEmpty() && nameIsName)
        make = name;
    record.edit[1] = fitText(make, replaced);
    record.edit[2] = fitText(model, replaced);
    m_report.replacedCharacters += replaced;

    static const std::array<QString, 3> types{u"Essence"_s, u"Diesel"_s, u"GPL"_s};
    const auto most = std::max_element(fuels.begin(), fuels.end());
    if (*most > 0) {
        record.ComboBox1 = types[size_t(most - fuels.begin())];
        m_report.vehicleType = record.ComboBox1;
    }

    if (bought) {
        if (bought->price.ok()) {
            m_report.purchasePrice = twoDecimals(bought->price.value());
            record.edit[4] = m_report.purchasePrice;
        }
        if (const auto date = resolveDate(bought->date, order)) {
            record.DateTimePicker1 = *date;
            m_report.purchaseDate = *date;
            m_report.purchaseFromFile = true;
        }
    }
}

} // namespace importer
