// The self-hosted tracker's exports, one ledger per file: fuel; service, repair and upgrade
// records; taxes. Dates and amounts are written in the server's locale ("10/03/2024",
// "23,07 €" or "3/10/2024", "$23.07"); extra fields come as "extrafield_<name>" columns.
#include "core/import/readers.h"

using namespace Qt::StringLiterals;

namespace importer {

namespace {

enum class LedgerExport { None, Fuel, Service, Taxes };

LedgerExport ledgerExportKind(const Header &h)
{
    if (!h.has(u"date"_s) || !h.has(u"cost"_s))
        return LedgerExport::None;
    if (h.has(u"odometer"_s) && h.has(u"fuelconsumed"_s))
        return LedgerExport::Fuel;
    if (!h.has(u"description"_s) || !h.has(u"notes"_s))
        return LedgerExport::None;
    // Nothing but the known columns, tags and extra fields.
    static const QStringList known{u"date"_s, u"description"_s, u"cost"_s, u"notes"_s,
                                   u"odometer"_s, u"tags"_s};
    for (int i = 0; i < h.size(); ++i)
        if (!known.contains(h.name(i)) && !h.name(i).startsWith(u"extrafield "))
            return LedgerExport::None;
    return h.has(u"odometer"_s) ? LedgerExport::Service : LedgerExport::Taxes;
}

} // namespace

int weighLedgerExport(const Look &look)
{
    if (look.records.empty())
        return evidence::None;
    return ledgerExportKind(Header(look.records.front())) == LedgerExport::None ? evidence::None
                                                                                : evidence::Columns;
}

void readLedgerExport(csv::Reader &in, Builder &out, Report &report)
{
    csv::Record r;
    LedgerExport kind = LedgerExport::None;
    while (kind == LedgerExport::None && in.next(r))
        if (!r.isBlank())
            kind = ledgerExportKind(Header(r));
    if (kind == LedgerExport::None || !in.rewind())
        return;
    switch (kind) {
    case LedgerExport::Fuel:
        report.format = u"Export LubeLogger : carburant"_s;
        break;
    case LedgerExport::Service:
        report.format = u"Export LubeLogger : entretien, réparations ou améliorations"_s;
        break;
    default:
        report.format = u"Export LubeLogger : taxes"_s;
        break;
    }
    QString scratch, dateScratch, text;
    std::optional<Header> header;
    std::vector<std::pair<int, QString>> extras; // column, name as written
    int date = -1, odometer = -1, quantity = -1, cost = -1, full = -1, missed = -1, notes = -1,
        description = -1;
    while (in.next(r)) {
        if (r.isBlank())
            continue;
        if (!header) {
            header.emplace(r);
            date = header->find(u"date"_s);
            odometer = header->find(u"odometer"_s);
            quantity = header->find(u"fuelconsumed"_s);
            cost = header->find(u"cost"_s);
            full = header->find(u"isfilltofull"_s);
            missed = header->find(u"missedfuelup"_s);
            notes = header->find(u"notes"_s);
            description = header->find(u"description"_s);
            for (int i = 0; i < header->size(); ++i)
                if (header->name(i).startsWith(u"extrafield "))
                    extras.emplace_back(i, header->original(i).mid(11).trimmed());
            continue;
        }
        Row row;
        row.line = r.line;
        row.total = numberField(r, cost, NumberRole::Amount, scratch);
        if (row.total.state == Number::Bad) {
            out.skip(r.line, why::amount());
            continue;
        }
        text.resize(0); // keeps its room for the next row
        appendPart(text, fieldView(r, description, scratch));
        appendPart(text, fieldView(r, notes, scratch));
        for (const auto &[column, name] : extras) {
            const QStringView value = fieldView(r, column, scratch).trimmed();
            if (!value.isEmpty()) {
                if (!text.isEmpty())
                    text.append(kPartBreak);
                text.append(name).append(u" : ").append(value);
            }
        }
        row.description = text;
        if (kind == LedgerExport::Taxes) {
            row.ledger = Ledger::LeftOut;
            row.leftOut = out.leftOutCategory(
                u"Taxes"_s, u"frais fixe annuel, à porter sur la page « Frais / Km »"_s);
            out.add(std::move(row));
            continue;
        }
        row.date = dateField(r, date, scratch);
        row.odometer = numberField(r, odometer, NumberRole::Odometer, scratch);
        row.quantity = numberField(r, quantity, NumberRole::Quantity, scratch);
        if (kind == LedgerExport::Fuel && (!row.quantity.ok() || row.quantity.isZero())
            && row.quantity.state != Number::Bad) {
            // Odometer readings and other records without fuel: not fill-ups.
            row.ledger = Ledger::LeftOut;
            row.leftOut = out.leftOutCategory(u"Lignes de carburant sans quantité"_s,
                                              u"pas des pleins : aucune quantité de carburant"_s);
            out.add(std::move(row));
            continue;
        }
        const QStringView dateText = row.date.shape == DateParts::Bad ? fieldView(r, date, dateScratch) : QStringView();
        if (const QString bad = why::unreadable(row, dateText); !bad.isEmpty()) {
            out.skip(r.line, bad);
            continue;
        }
        if (kind == LedgerExport::Fuel) {
            row.ledger = Ledger::Fuel;
            row.partial = flagField(r, full, scratch) == false;
            row.missed = flagField(r, missed, scratch) == true;
        } else {
            row.ledger = Ledger::Garage;
        }
        out.add(std::move(row));
    }
}

} // namespace importer
