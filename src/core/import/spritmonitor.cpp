// The fuel-log website's export: ';' separated, German or English headers ("Datum;Km-Stand;
// Teil-Km;Spritmenge;Kosten;Währung;Tankart;...;Bemerkung;...;Tankstelle;...;Ort"), dates
// dd.mm.yyyy, decimal commas. "Tankart" 2 is a partial fill-up.
#include "core/import/readers.h"

using namespace Qt::StringLiterals;

namespace importer {

namespace {

struct Columns {
    int date = -1, odometer = -1, quantity = -1, total = -1, kind = -1, note = -1, station = -1,
        place = -1, fuel = -1;
};

Columns columnsOf(const Header &h)
{
    Columns c;
    c.date = h.findAny({u"datum", u"date"});
    c.odometer = h.findAny({u"km stand", u"kilometerstand", u"odometer"});
    c.quantity = h.findAny({u"spritmenge", u"kraftstoffmenge", u"menge", u"quantity", u"fuel quantity"});
    c.total = h.findAny({u"kosten", u"gesamtkosten", u"costs", u"cost", u"total cost", u"total costs"});
    c.kind = h.findAny({u"tankart", u"fuelling type", u"refuelling type", u"refueling type",
                        u"fueling type", u"fill type", u"filling type", u"tank type"});
    c.note = h.findAny({u"bemerkung", u"note", u"notes", u"remarks"});
    c.station = h.findAny({u"tankstelle", u"gas station", u"station", u"petrol station"});
    c.place = h.findAny({u"ort", u"location", u"place"});
    c.fuel = h.findAny({u"sorte", u"kraftstoff", u"fuel", u"fuel type", u"fuel sort"});
    return c;
}

} // namespace

int weighSpritmonitor(const Look &look)
{
    if (look.records.empty())
        return evidence::None;
    const Header h(look.records.front());
    const Columns c = columnsOf(h);
    if (c.date < 0 || c.odometer < 0 || c.quantity < 0 || c.kind < 0)
        return evidence::None;
    // The German names are its own; the English ones need its separator and its dates.
    if (h.has(u"tankart"_s) && h.has(u"spritmenge"_s))
        return evidence::Layout;
    if (look.records.size() < 2 || look.records[1].size() != look.records[0].size()
        || !h.has(u"trip"_s))
        return evidence::None;
    const QString first = look.records[1].text(c.date).trimmed();
    const bool dotted = first.size() == 10 && first[2] == u'.' && first[5] == u'.';
    return dotted ? evidence::Columns : evidence::None;
}

void readSpritmonitor(csv::Reader &in, Builder &out, Report &report)
{
    report.format = u"Export Spritmonitor"_s;
    out.setFileOrder(DateOrder::DMY);
    csv::Record r;
    bool haveHeader = false;
    Columns c;
    QString scratch, dateScratch;
    while (in.next(r)) {
        if (r.isBlank())
            continue;
        if (!haveHeader) {
            c = columnsOf(Header(r));
            haveHeader = true;
            continue;
        }
        Row row;
        row.line = r.line;
        row.ledger = Ledger::Fuel;
        row.distance = DistanceUnit::Km;
        row.volume = VolumeUnit::Litres;
        const QStringView dateText = fieldView(r, c.date, dateScratch);
        row.date = parseDate(dateText);
        row.odometer = parseNumber(fieldView(r, c.odometer, scratch), NumberRole::Odometer);
        row.quantity = parseNumber(fieldView(r, c.quantity, scratch), NumberRole::Quantity);
        row.total = parseNumber(fieldView(r, c.total, scratch), NumberRole::Amount);
        if (const QString bad = why::unreadable(row, dateText); !bad.isEmpty()) {
            out.skip(r.line, bad);
            continue;
        }
        if (!row.quantity.ok() || row.quantity.isZero()) {
            out.skip(r.line, why::noQuantity());
            continue;
        }
        row.partial = fieldView(r, c.kind, scratch).trimmed() == u"2";
        if (c.fuel >= 0)
            out.noteFuel(0, fieldView(r, c.fuel, scratch));
        row.description = joinParts({field(r, c.station), field(r, c.place), field(r, c.note)});
        out.add(std::move(row));
    }
}

} // namespace importer
