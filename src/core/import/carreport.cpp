// The phone app's refuelling export: _id,date,mileage,volume,price,partial,note,fuel_type_id,
// car_id. "price" is what the fill-up cost; cars are told apart by their number only.
#include "core/import/readers.h"

using namespace Qt::StringLiterals;

namespace importer {

namespace {

bool isOwnHeader(const Header &h)
{
    return h.has(u"id"_s) && h.has(u"date"_s) && h.has(u"mileage"_s) && h.has(u"volume"_s)
        && h.has(u"price"_s) && h.has(u"partial"_s) && h.has(u"car id"_s) && h.has(u"fuel type id"_s);
}

} // namespace

int weighCarReport(const Look &look)
{
    return !look.records.empty() && isOwnHeader(Header(look.records.front())) ? evidence::Layout
                                                                              : evidence::None;
}

void readCarReport(csv::Reader &in, Builder &out, Report &report)
{
    report.format = u"Export Car Report : pleins"_s;
    csv::Record r;
    Header h;
    int date = -1, mileage = -1, volume = -1, price = -1, partial = -1, note = -1, car = -1;
    QString scratch, dateScratch;
    while (in.next(r)) {
        if (r.isBlank())
            continue;
        if (h.size() == 0) {
            h = Header(r);
            date = h.find(u"date"_s);
            mileage = h.find(u"mileage"_s);
            volume = h.find(u"volume"_s);
            price = h.find(u"price"_s);
            partial = h.find(u"partial"_s);
            note = h.find(u"note"_s);
            car = h.find(u"car id"_s);
            continue;
        }
        Row row;
        row.line = r.line;
        row.ledger = Ledger::Fuel;
        row.vehicle = out.vehicle(field(r, car), false);
        const QStringView dateText = fieldView(r, date, dateScratch);
        row.date = parseEpochMilliseconds(dateText);
        if (row.date.shape == DateParts::Bad)
            row.date = parseDate(dateText);
        row.odometer = parseNumber(fieldView(r, mileage, scratch), NumberRole::Odometer);
        row.quantity = parseNumber(fieldView(r, volume, scratch), NumberRole::Quantity);
        row.total = parseNumber(fieldView(r, price, scratch), NumberRole::Amount);
        if (const QString bad = why::unreadable(row, dateText); !bad.isEmpty()) {
            out.skip(r.line, bad, row.vehicle);
            continue;
        }
        if (!row.quantity.ok() || row.quantity.isZero()) {
            out.skip(r.line, why::noQuantity(), row.vehicle);
            continue;
        }
        row.partial = parseFlag(fieldView(r, partial, scratch)) == true;
        row.description = field(r, note);
        out.add(std::move(row));
    }
}

} // namespace importer
