// The phone app's exports, one table per file under a title line: "My Fuel Manager - Fuel"
// (Date;Fillup volume;Odometer;Total price;Currency;Fuel;Tank status after fillup;%;Note;
// Vehicle name) or "My Fuel Manager - COSTS" (Date;Total price;Currency;Finance category;
// Odometer;Note;Vehicle name). "Fuel" is the kind of fuel; a tank status "P" is a partial
// fill-up. Several vehicles in one file, by their name.
#include "core/import/readers.h"

using namespace Qt::StringLiterals;

namespace importer {

int weighMyFuelManager(const Look &look)
{
    if (look.records.empty() || look.records.size() < 2)
        return evidence::None;
    const QString title = normalizeName(look.records.front().text(0));
    if (!title.startsWith(u"my fuel manager"))
        return evidence::None;
    const Header h(look.records[1]);
    return h.has(u"date"_s) && h.has(u"total price"_s) ? evidence::Title : evidence::None;
}

void readMyFuelManager(csv::Reader &in, Builder &out, Report &report)
{
    csv::Record r;
    bool titled = false, fuelTable = false;
    Header h;
    int date = -1, quantity = -1, odometer = -1, total = -1, fuel = -1, status = -1, note = -1,
        vehicle = -1, category = -1;
    QString scratch, dateScratch;
    while (in.next(r)) {
        if (r.isBlank())
            continue;
        if (!titled) {
            fuelTable = !normalizeName(r.text(0)).contains(u"cost");
            report.format = fuelTable ? u"Export My Fuel Manager : carburant"_s
                                      : u"Export My Fuel Manager : coûts"_s;
            titled = true;
            continue;
        }
        if (h.size() == 0) {
            h = Header(r);
            date = h.find(u"date"_s);
            quantity = h.find(u"fillup volume"_s);
            odometer = h.find(u"odometer"_s);
            total = h.find(u"total price"_s);
            fuel = h.find(u"fuel"_s);
            status = h.find(u"tank status after fillup"_s);
            note = h.find(u"note"_s);
            vehicle = h.find(u"vehicle name"_s);
            category = h.find(u"finance category"_s);
            continue;
        }
        Row row;
        row.line = r.line;
        row.vehicle = out.vehicle(field(r, vehicle));
        const QStringView dateText = fieldView(r, date, dateScratch);
        row.date = parseDate(dateText);
        row.odometer = parseNumber(fieldView(r, odometer, scratch), NumberRole::Odometer);
        row.total = parseNumber(fieldView(r, total, scratch), NumberRole::Amount);
        if (fuelTable) {
            row.ledger = Ledger::Fuel;
            row.quantity = parseNumber(fieldView(r, quantity, scratch), NumberRole::Quantity);
            if (const QString bad = why::unreadable(row, dateText); !bad.isEmpty()) {
                out.skip(r.line, bad, row.vehicle);
                continue;
            }
            if (!row.quantity.ok() || row.quantity.isZero()) {
                out.skip(r.line, why::noQuantity(), row.vehicle);
                continue;
            }
            row.partial = normalizeName(fieldView(r, status, scratch)) == u"p";
            out.noteFuel(row.vehicle, fieldView(r, fuel, scratch));
            row.description = field(r, note);
            out.add(std::move(row));
            continue;
        }
        if (const QString bad = why::unreadable(row, dateText); !bad.isEmpty()) {
            out.skip(r.line, bad, row.vehicle);
            continue;
        }
        if (!row.total.ok()) {
            out.skip(r.line, why::noAmount(), row.vehicle);
            continue;
        }
        const QString kind = field(r, category).trimmed();
        row.description = joinParts({kind, field(r, note)});
        sendCost(out, row, classifyCost(kind));
    }
}

} // namespace importer
