// The phone app that exports sections "##Refuelling", "##Expense", "##Service" (and "##Income",
// "##Route" and others), each with a header row in the app's language. The columns stand in a
// fixed order, so they are read by their place, whatever the language; the first header gives
// the distance unit ("Odometer (km)", "Одометр (км)"). A "##Vehicle" table names the vehicle
// of the sections that follow it.
#include "core/import/readers.h"

using namespace Qt::StringLiterals;

namespace importer {

namespace {

enum class Section { Other, Vehicle, Refuelling, Expense, Service, Income };

Section sectionOf(const QString &name)
{
    if (name == u"vehicle" || name == u"vehicles")
        return Section::Vehicle;
    if (name == u"refuelling" || name == u"refueling")
        return Section::Refuelling;
    if (name == u"expense" || name == u"expenses")
        return Section::Expense;
    if (name == u"service" || name == u"services")
        return Section::Service;
    if (name == u"income" || name == u"incomes")
        return Section::Income;
    return Section::Other;
}

bool isOwnSection(const QString &name)
{
    return (sectionOf(name) != Section::Other && sectionOf(name) != Section::Vehicle)
        || name == u"route" || name == u"routes";
}

// The name without its number: "Fuel 2" and "Fuel" are the same column of two fuels.
QString withoutDigits(const QString &name)
{
    QString out;
    for (QChar c : name)
        if (!c.isDigit())
            out.append(c);
    return out.simplified();
}

// Columns after the fixed ones, known by their name in the app's languages.
bool isPlaceColumn(const QString &n)
{
    static const QStringList names{u"gas station"_s, u"station"_s, u"fuel station"_s, u"place"_s,
                                   u"location"_s, u"local"_s, u"posto"_s, u"posto de combustivel"_s,
                                   u"station service"_s, u"lieu"_s, u"estacion"_s, u"gasolinera"_s,
                                   u"заправка"_s, u"азс"_s, u"место"_s};
    return names.contains(n);
}

bool isNotesColumn(const QString &n)
{
    static const QStringList names{u"notes"_s, u"note"_s, u"observation"_s, u"observations"_s,
                                   u"observacao"_s, u"observacoes"_s, u"notas"_s, u"remarques"_s,
                                   u"commentaire"_s, u"commentaires"_s, u"reason"_s, u"motif"_s,
                                   u"motivo"_s, u"raison"_s, u"примечание"_s, u"заметки"_s,
                                   u"комментарий"_s, u"причина"_s};
    return names.contains(n);
}

struct FuelGroup {
    int fuel, price, total, volume, full;
};

struct Layout {
    std::vector<FuelGroup> fuels;
    std::vector<int> texts; // place and notes, in file order
    DistanceUnit distance = DistanceUnit::Unknown;
    VolumeUnit volume = VolumeUnit::Unknown;
};

Layout layoutOf(const Header &h, Section section)
{
    Layout l;
    if (h.size() == 0)
        return l;
    l.distance = distanceFromUnit(h.unit(0));
    int next = section == Section::Refuelling ? 7 : 4;
    if (section == Section::Refuelling && h.size() >= 6) {
        l.fuels.push_back({2, 3, 4, 5, h.size() > 6 ? 6 : -1});
        // "Price / L", "Цена / л": the volume unit after the slash.
        const QString &price = h.original(3);
        const qsizetype slash = price.indexOf(u'/');
        if (slash >= 0)
            l.volume = volumeFromUnit(normalizeName(QStringView(price).mid(slash + 1)));
        if (l.volume == VolumeUnit::Unknown)
            l.volume = volumeFromUnit(h.unit(5));
        // Second and third fuels repeat the names of the first with their number.
        const QString fuel = withoutDigits(h.name(2));
        const QString full = h.size() > 6 ? withoutDigits(h.name(6)) : QString();
        while (next + 3 < h.size() && withoutDigits(h.name(next)) == fuel) {
            const bool hasFull = next + 4 < h.size() && withoutDigits(h.name(next + 4)) == full;
            l.fuels.push_back({next, next + 1, next + 2, next + 3, hasFull ? next + 4 : -1});
            next += hasFull ? 5 : 4;
        }
    }
    for (int i = next; i < h.size(); ++i)
        if (isPlaceColumn(h.name(i)) || isNotesColumn(h.name(i)))
            l.texts.push_back(i);
    return l;
}

} // namespace

int weighDrivvo(const Look &look)
{
    bool own = false;
    QString table;
    for (const csv::Record &r : look.records) {
        if (!isTableMarker(r, &table))
            continue;
        if (table == u"log" || table == u"costs" || table == u"costcategories" || table == u"favstations")
            return evidence::None; // another application's tables
        own = own || isOwnSection(table);
    }
    return own && isTableMarker(look.records.front()) ? evidence::Layout : evidence::None;
}

void readDrivvo(csv::Reader &in, Builder &out, Report &report)
{
    report.format = u"Export Drivvo"_s;
    Section section = Section::Other;
    bool wantHeader = false;
    Header header;
    Layout layout;
    int vehicle = 0;
    int nameCol = -1, makeCol = -1, modelCol = -1, fuelCol = -1;
    SkippedTables skipped;
    csv::Record r;
    QString scratch, dateScratch, name;
    while (in.next(r)) {
        if (r.isBlank())
            continue;
        if (isTableMarker(r, &name)) {
            section = sectionOf(name);
            if (section == Section::Other)
                skipped.enter(r.text(0).trimmed().mid(2).trimmed());
            else
                skipped.leave();
            wantHeader = true;
            continue;
        }
        if (wantHeader) {
            header = Header(r);
            layout = layoutOf(header, section);
            nameCol = header.findAny({u"name", u"nome", u"nom", u"vehicle", u"veiculo", u"vehicule",
                                      u"название", u"наименование", u"имя"});
            makeCol = header.findAny(
                {u"make", u"marca", u"marque", u"manufacturer", u"fabricante", u"марка"});
            modelCol = header.findAny({u"model", u"modelo", u"modele", u"модель"});
            fuelCol = header.findAny({u"fuel", u"combustivel", u"carburant", u"combustible", u"топливо"});
            wantHeader = false;
            continue;
        }
        if (section == Section::Other) {
            skipped.count();
            continue;
        }
        if (section == Section::Vehicle) {
            vehicle = out.vehicle(field(r, nameCol));
            out.setMake(vehicle, field(r, makeCol));
            out.setModel(vehicle, field(r, modelCol));
            if (fuelCol >= 0)
                out.noteFuel(vehicle, field(r, fuelCol));
            continue;
        }

        Row row;
        row.line = r.line;
        row.vehicle = vehicle;
        row.distance = layout.distance;
        const QStringView dateText = fieldView(r, 1, dateScratch);
        row.date = parseDate(dateText);
        row.odometer = parseNumber(fieldView(r, 0, scratch), NumberRole::Odometer);
        QString texts;
        for (int column : layout.texts)
            appendPart(texts, fieldView(r, column, scratch));

        if (section == Section::Refuelling) {
            // One entry per fuel the fill-up took; a second or third fuel left empty is none.
            std::vector<std::pair<Row, QString>> fills;
            QString bad;
            for (size_t k = 0; k < layout.fuels.size() && bad.isEmpty(); ++k) {
                const FuelGroup &g = layout.fuels[k];
                Row fill = row;
                fill.ledger = Ledger::Fuel;
                fill.volume = layout.volume;
                fill.quantity = parseNumber(fieldView(r, g.volume, scratch), NumberRole::Quantity);
                fill.total = parseNumber(fieldView(r, g.total, scratch), NumberRole::Amount);
                const Number perUnit = parseNumber(fieldView(r, g.price, scratch), NumberRole::Amount);
                const QString fuel = field(r, g.fuel).trimmed();
                if (k > 0 && fill.quantity.state == Number::Empty && fill.total.state == Number::Empty)
                    continue;
                bad = why::unreadable(fill, dateText);
                if (!fill.total.ok() && perUnit.ok() && fill.quantity.ok())
                    fill.total = {Number::Ok, perUnit.value() * fill.quantity.value()};
                fill.partial = parseFlag(fieldView(r, g.full, scratch)) == false;
                fills.emplace_back(std::move(fill), fuel);
            }
            if (!bad.isEmpty()) {
                out.skip(r.line, bad, vehicle);
                continue;
            }
            for (auto &[fill, fuel] : fills) {
                out.noteFuel(vehicle, fuel);
                // Which fuel, when the fill-up took more than one.
                if (fills.size() > 1)
                    appendPart(fill.description, fuel);
                appendPart(fill.description, texts);
                out.add(std::move(fill));
            }
            continue;
        }

        row.total = parseNumber(fieldView(r, 2, scratch), NumberRole::Amount);
        if (const QString bad = why::unreadable(row, dateText); !bad.isEmpty()) {
            out.skip(r.line, bad, vehicle);
            continue;
        }
        const QString type = field(r, 3).trimmed();
        QString description = type;
        if (!texts.isEmpty()) {
            if (!description.isEmpty())
                description.append(kPartBreak);
            description.append(texts);
        }
        row.description = description;
        if (section == Section::Income) {
            sendCost(out, row, {CostKind::LeftOut, u"Revenus"_s, u"des recettes, pas des dépenses"_s});
            continue;
        }
        if (!row.total.ok()) {
            out.skip(r.line, why::noAmount(), vehicle);
            continue;
        }
        sendCost(out, row, classifyCost(type));
    }
    skipped.report(report);
}

} // namespace importer
