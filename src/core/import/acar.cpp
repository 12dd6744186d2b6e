// The phone app whose export holds sections under title lines: "Metadata" (with the date
// format, "M/d/yyyy"), "Vehicles", "Fill-Up Records", "Event Records" (services and expenses),
// "Trip Records". Each row names its vehicle and its own units ("mi" or "km", "gal" or "L");
// numbers as "106,421" and "$79.78".
#include "core/import/readers.h"

using namespace Qt::StringLiterals;

namespace importer {

namespace {

enum class Section { Other, Metadata, Vehicles, FillUps, Events };

bool isOwnTitle(const QString &t)
{
    return t == u"metadata" || t == u"vehicles" || t == u"fill up records" || t == u"event records"
        || t == u"trip records" || t == u"service records" || t == u"expense records";
}

Section sectionOf(const QString &t)
{
    if (t == u"metadata")
        return Section::Metadata;
    if (t == u"vehicles")
        return Section::Vehicles;
    if (t == u"fill up records")
        return Section::FillUps;
    if (t == u"event records" || t == u"service records" || t == u"expense records")
        return Section::Events;
    return Section::Other;
}

// "Yes", or a number of fill-ups missed.
bool isSet(QStringView text)
{
    if (const auto flag = parseFlag(text))
        return *flag;
    const Number n = parseNumber(text, NumberRole::Quantity);
    return n.ok() && n.value() > 0;
}

} // namespace

int weighACar(const Look &look)
{
    if (look.records.empty())
        return evidence::None;
    QString title;
    for (const csv::Record &r : look.records)
        if (isTableMarker(r))
            return evidence::None;
    if (!isTitleLine(look.records.front(), &title) || !isOwnTitle(title))
        return evidence::None;
    // Its sections in the first records, each title followed by a header.
    int sections = 0;
    for (size_t i = 0; i + 1 < look.records.size(); ++i)
        if (isTitleLine(look.records[i], &title) && isOwnTitle(title) && look.records[i + 1].size() > 1)
            ++sections;
    return sections > 0 ? evidence::Layout : evidence::None;
}

void readACar(csv::Reader &in, Builder &out, Report &report)
{
    report.format = u"Export aCar"_s;
    Section section = Section::Other;
    bool wantHeader = false, inSection = false;
    Header h;
    SkippedTables skipped;
    // The columns of the section being read.
    int vehicleCol = -1, date = -1, time = -1, odometer = -1, distanceUnit = -1, volume = -1,
        volumeUnit = -1, perUnit = -1, total = -1, partial = -1, missed = -1, fuelType = -1,
        place = -1, notes = -1, type = -1, subTypes = -1, make = -1, model = -1, price = -1,
        bought = -1, dateFormat = -1, brand = -1, city = -1, year = -1;
    csv::Record r;
    QString scratch, dateScratch, title;
    while (in.next(r)) {
        if (r.isBlank())
            continue;
        // A title line: one of the known titles, or a line without any separator (no row of a
        // table of several columns is one).
        if (isTitleLine(r, &title) && (isOwnTitle(title) || r.size() == 1)) {
            section = sectionOf(title);
            if (section == Section::Other)
                skipped.enter(r.text(0).trimmed());
            else
                skipped.leave();
            wantHeader = true;
            inSection = true;
            continue;
        }
        if (!inSection)
            continue;
        if (wantHeader) {
            h = Header(r);
            wantHeader = false;
            vehicleCol = h.findAny({u"vehicle", u"vehicle name"});
            date = h.find(u"date"_s);
            time = h.find(u"time"_s);
            odometer = h.findAny({u"odometer reading", u"odometer"});
            distanceUnit = h.find(u"distance unit"_s);
            volume = h.find(u"volume"_s);
            volumeUnit = h.find(u"volume unit"_s);
            perUnit = h.find(u"price per unit"_s);
            total = h.find(u"total cost"_s);
            partial = h.findAny({u"partial fill up", u"partial"});
            missed = h.findAny({u"previously missed fill ups", u"missed fill ups"});
            fuelType = h.find(u"fuel type"_s);
            place = h.findAny({u"place name", u"place", u"station"});
            brand = h.findAny({u"fuel brand", u"brand"});
            city = h.find(u"place city"_s);
            year = h.findAny({u"year", u"model year"});
            notes = h.find(u"notes"_s);
            type = h.find(u"type"_s);
            subTypes = h.find(u"sub types"_s);
            make = h.find(u"make"_s);
            model = h.find(u"model"_s);
            price = h.find(u"purchase price"_s);
            bought = h.find(u"purchase date"_s);
            dateFormat = h.findAny({u"date format", u"dateformat"});
            if (section == Section::Vehicles && vehicleCol < 0)
                vehicleCol = h.find(u"name"_s);
            continue;
        }
        switch (section) {
        case Section::Other:
            skipped.count();
            break;
        case Section::Metadata: {
            // "Date Format" as a column, or as a name beside its value.
            QString pattern = field(r, dateFormat);
            if (normalizeName(field(r, 0)) == u"date format")
                pattern = field(r, 1);
            if (const DateOrder order = orderOfPattern(pattern); order != DateOrder::Unknown)
                out.setFileOrder(order);
            break;
        }
        case Section::Vehicles: {
            const int v = out.vehicle(field(r, vehicleCol));
            out.setMake(v, field(r, make));
            bool isYear = false;
            if (const int y = field(r, year).trimmed().toInt(&isYear); isYear)
                out.setYear(v, y);
            out.setModel(v, field(r, model));
            if (fuelType >= 0)
                out.noteFuel(v, field(r, fuelType));
            Row purchase;
            purchase.vehicle = v;
            purchase.line = r.line;
            purchase.total = parseNumber(fieldView(r, price, scratch), NumberRole::Amount);
            purchase.date = parseDate(fieldView(r, bought, dateScratch));
            if (purchase.total.ok() || purchase.date.shape != DateParts::Bad)
                out.purchase(purchase);
            break;
        }
        case Section::FillUps:
        case Section::Events: {
            Row row;
            row.line = r.line;
            row.vehicle = out.vehicle(field(r, vehicleCol));
            const QStringView dateText = fieldView(r, date, dateScratch);
            row.date = parseDate(dateText);
            if (row.date.minutes < 0)
                row.date.minutes = qint16(parseTime(fieldView(r, time, scratch)));
            row.odometer = parseNumber(fieldView(r, odometer, scratch), NumberRole::Odometer);
            row.distance = distanceFromUnit(normalizeName(fieldView(r, distanceUnit, scratch)));
            row.total = parseNumber(fieldView(r, total, scratch), NumberRole::Amount);
            if (section == Section::FillUps) {
                row.ledger = Ledger::Fuel;
                row.quantity = parseNumber(fieldView(r, volume, scratch), NumberRole::Quantity);
                row.volume = volumeFromUnit(normalizeName(fieldView(r, volumeUnit, scratch)));
                if (const QString bad = why::unreadable(row, dateText); !bad.isEmpty()) {
                    out.skip(r.line, bad, row.vehicle);
                    break;
                }
                const Number unitPrice = parseNumber(fieldView(r, perUnit, scratch), NumberRole::Amount);
                if (!row.total.ok() && unitPrice.ok() && row.quantity.ok())
                    row.total = {Number::Ok, unitPrice.value() * row.quantity.value()};
                row.partial = isSet(fieldView(r, partial, scratch));
                row.missed = isSet(fieldView(r, missed, scratch));
                if (fuelType >= 0)
                    out.noteFuel(row.vehicle, fieldView(r, fuelType, scratch));
                // The station as the other readers give it: brand, place, town.
                row.description = joinParts({field(r, brand), field(r, place), field(r, city), field(r, notes)});
                out.add(std::move(row));
                break;
            }
            if (const QString bad = why::unreadable(row, dateText); !bad.isEmpty()) {
                out.skip(r.line, bad, row.vehicle);
                break;
            }
            const QString kind = field(r, type).trimmed(), sub = field(r, subTypes).trimmed();
            CostClass c = classifyCost(sub);
            if (c.kind == CostKind::Garage)
                c = classifyCost(kind);
            if (c.kind != CostKind::Purchase && !row.total.ok()) {
                out.skip(r.line, why::noAmount(), row.vehicle);
                break;
            }
            row.description = joinParts({sub.isEmpty() ? kind : sub, field(r, place), field(r, notes)});
            sendCost(out, row, c);
            break;
        }
        }
    }
    skipped.report(report);
}

} // namespace importer
