// The fuel-economy website's exports: fill-ups (car_name, model, km/l or mpg, odometer, the
// distance driven under its unit's name "km" or "miles", the quantity under "litres" or
// "gallons", the price per unit, fuelup_date, partial_fuelup, missed_fuelup...) and services
// (car_name, model, odometer, price, service_date, service_type, sub_service_types...), one row
// "bought" giving the purchase. Several cars in one file, by their name.
#include "core/import/readers.h"

using namespace Qt::StringLiterals;

namespace importer {

namespace {

enum class Kind { None, FuelUps, Services };

Kind kindOf(const Header &h)
{
    if (!h.has(u"car name"_s) || !h.has(u"odometer"_s) || !h.has(u"price"_s))
        return Kind::None;
    if (h.has(u"fuelup date"_s))
        return Kind::FuelUps;
    if (h.has(u"service date"_s))
        return Kind::Services;
    return Kind::None;
}

} // namespace

int weighFuelly(const Look &look)
{
    if (look.records.empty())
        return evidence::None;
    return kindOf(Header(look.records.front())) == Kind::None ? evidence::None : evidence::Columns;
}

void readFuelly(csv::Reader &in, Builder &out, Report &report)
{
    csv::Record r;
    Header h;
    while (in.next(r))
        if (!r.isBlank()) {
            h = Header(r);
            break;
        }
    const Kind kind = kindOf(h);
    report.format = kind == Kind::FuelUps ? u"Export Fuelly : pleins"_s : u"Export Fuelly : entretiens"_s;
    const int car = h.find(u"car name"_s), model = h.find(u"model"_s), odometer = h.find(u"odometer"_s),
              price = h.find(u"price"_s), notes = h.find(u"notes"_s), tags = h.find(u"tags"_s);
    const int date = kind == Kind::FuelUps ? h.find(u"fuelup date"_s) : h.find(u"service date"_s);
    const int added = h.find(u"date added"_s);
    // The distance driven and the quantity are named by their unit.
    const int quantity = h.findAny({u"litres", u"liters", u"gallons", u"imperial gallons", u"gallons uk"});
    const DistanceUnit distance = h.has(u"miles"_s) ? DistanceUnit::Miles : DistanceUnit::Km;
    const VolumeUnit volume = quantity < 0 ? VolumeUnit::Unknown : volumeFromUnit(h.name(quantity));
    const int partial = h.find(u"partial fuelup"_s), missed = h.find(u"missed fuelup"_s);
    const int type = h.find(u"service type"_s), subTypes = h.find(u"sub service types"_s);

    QString scratch, dateScratch;
    while (in.next(r)) {
        if (r.isBlank())
            continue;
        Row row;
        row.line = r.line;
        row.vehicle = out.vehicle(field(r, car));
        if (model >= 0)
            out.setModel(row.vehicle, field(r, model));
        QStringView dateText = fieldView(r, date, dateScratch);
        if (dateText.trimmed().isEmpty()) // the day it was written down, when no other
            dateText = fieldView(r, added, dateScratch);
        row.date = parseDate(dateText);
        row.odometer = parseNumber(fieldView(r, odometer, scratch), NumberRole::Odometer);
        row.distance = distance;
        const Number amount = parseNumber(fieldView(r, price, scratch), NumberRole::Amount);
        if (kind == Kind::FuelUps) {
            row.ledger = Ledger::Fuel;
            row.quantity = parseNumber(fieldView(r, quantity, scratch), NumberRole::Quantity);
            row.volume = volume;
            if (const QString bad = why::unreadable(row, dateText); !bad.isEmpty()) {
                out.skip(r.line, bad, row.vehicle);
                continue;
            }
            if (amount.state == Number::Bad) {
                out.skip(r.line, why::unitPrice(), row.vehicle);
                continue;
            }
            if (!row.quantity.ok() || row.quantity.isZero()) {
                out.skip(r.line, why::noQuantity(), row.vehicle);
                continue;
            }
            if (amount.ok())
                row.total = {Number::Ok, amount.value() * row.quantity.value()}; // price per unit
            row.partial = parseFlag(fieldView(r, partial, scratch)) == true;
            row.missed = parseFlag(fieldView(r, missed, scratch)) == true;
            row.description = joinParts({field(r, notes), field(r, tags)});
            out.add(std::move(row));
            continue;
        }
        row.total = amount;
        if (const QString bad = why::unreadable(row, dateText); !bad.isEmpty()) {
            out.skip(r.line, bad, row.vehicle);
            continue;
        }
        const QString serviceType = field(r, type).trimmed(), sub = field(r, subTypes).trimmed();
        for (const QString &word : {serviceType, sub, field(r, tags).trimmed()})
            if (normalizeName(word) == u"bought") {
                out.purchase(row);
                row.ledger = Ledger::LeftOut;
                break;
            }
        if (row.ledger == Ledger::LeftOut)
            continue;
        if (!row.total.ok()) {
            out.skip(r.line, why::noAmount(), row.vehicle);
            continue;
        }
        row.description = joinParts({serviceType, sub, field(r, notes)});
        CostClass c = classifyCost(serviceType);
        if (c.kind == CostKind::Garage)
            c = classifyCost(sub);
        sendCost(out, row, c);
    }
}

} // namespace importer
