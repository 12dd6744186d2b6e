// The phone app's backup: one vehicle, several tables each introduced by a "## Name" line and
// its header (Vehicle, Log, CostCategories, Costs; others are named in the report and skipped).
// Every field quoted, comma separator, point decimals.
#include "core/import/readers.h"

using namespace Qt::StringLiterals;

namespace importer {

namespace {

enum class Table { Other, Vehicle, Log, Categories, Costs };

Table tableOf(const QString &name)
{
    if (name == u"vehicle")
        return Table::Vehicle;
    if (name == u"log")
        return Table::Log;
    if (name == u"costcategories")
        return Table::Categories;
    if (name == u"costs")
        return Table::Costs;
    return Table::Other;
}

struct Cost {
    Row row;
    int category = 0;
    QString title;
};

// A tank's unit: a code (0 litres, 1 US gallons, 2 imperial gallons, 3 kg, 4 kWh) or its name.
VolumeUnit tankUnit(const QString &text)
{
    const QString t = text.trimmed();
    if (t.isEmpty() || t == u"0")
        return VolumeUnit::Litres;
    if (t == u"1")
        return VolumeUnit::UsGallons;
    if (t == u"2")
        return VolumeUnit::ImperialGallons;
    if (t == u"3")
        return VolumeUnit::Kg;
    if (t == u"4")
        return VolumeUnit::KWh;
    const VolumeUnit named = volumeFromUnit(normalizeName(t));
    return named == VolumeUnit::Unknown ? VolumeUnit::Litres : named;
}

bool isOwnTable(const QString &name)
{
    return tableOf(name) != Table::Other || name == u"favstations";
}

} // namespace

int weighPhoneBackup(const Look &look)
{
    if (look.records.empty() || !isTableMarker(look.records.front()))
        return evidence::None;
    bool known = false;
    QString table;
    for (size_t i = 0; i < look.records.size(); ++i) {
        if (!isTableMarker(look.records[i], &table))
            continue;
        if (!isOwnTable(table) && (table == u"refuelling" || table == u"expense"
                                   || table == u"service" || table == u"income" || table == u"route"))
            return evidence::None; // another application's tables
        if (i + 1 >= look.records.size())
            continue;
        const Header h(look.records[i + 1]);
        if ((tableOf(table) == Table::Vehicle && h.has(u"distunit"_s) && h.has(u"fuelunit"_s))
            || (tableOf(table) == Table::Log && h.has(u"data"_s) && h.has(u"odo"_s))
            || (tableOf(table) == Table::Costs && h.has(u"costtypeid"_s)))
            known = true;
    }
    return known ? evidence::Layout : evidence::None;
}

void readPhoneBackup(csv::Reader &in, Builder &out, Report &report)
{
    report.format = u"Sauvegarde Fuelio"_s;
    out.holdDefaultUnits(); // the vehicle table, which names them, may come anywhere
    Table table = Table::Other;
    bool wantHeader = false;
    std::optional<Header> header;
    auto col = [&header](const char *name) { return header->find(QString::fromLatin1(name)); };

    DistanceUnit distance = DistanceUnit::Km;
    VolumeUnit volume = VolumeUnit::Litres, secondTank = VolumeUnit::Litres;
    bool unitsKnown = false;
    QHash<int, QString> categoryNames;
    std::vector<Cost> costs;
    SkippedTables skippedTables;

    csv::Record r;
    QString scratch, dateScratch;
    QString name;
    while (in.next(r)) {
        if (r.isBlank())
            continue;
        if (isTableMarker(r, &name)) {
            table = tableOf(name);
            if (table == Table::Other)
                skippedTables.enter(r.text(0).trimmed().mid(2).trimmed());
            else
                skippedTables.leave();
            wantHeader = true;
            continue;
        }
        if (wantHeader) {
            header.emplace(r);
            wantHeader = false;
            continue;
        }
        if (!header || table == Table::Other) {
            skippedTables.count();
            continue;
        }

        switch (table) {
        case Table::Vehicle: {
            out.setVehicleName(0, field(r, col("name")));
            out.setMake(0, field(r, col("make")));
            out.setModel(0, field(r, col("model")));
            const QString dist = field(r, col("distunit")).trimmed();
            distance = dist == u"1" ? DistanceUnit::Miles : DistanceUnit::Km;
            volume = tankUnit(field(r, col("fuelunit")));
            // A second tank (gas beside petrol) may count in another unit.
            secondTank = col("fuelunittank2") >= 0 ? tankUnit(field(r, col("fuelunittank2"))) : volume;
            unitsKnown = true;
            bool isYear = false;
            const int year = field(r, col("year")).trimmed().toInt(&isYear);
            if (isYear)
                out.setYear(0, year);
            const DateOrder order = orderOfPattern(field(r, col("importcsvdateformat")));
            if (order != DateOrder::Unknown)
                out.setFileOrder(order);
            break;
        }
        case Table::Log: {
            Row row;
            row.ledger = Ledger::Fuel;
            row.line = r.line;
            const int dateCol = col("data") >= 0 ? col("data") : col("date");
            const QStringView date = fieldView(r, dateCol, dateScratch);
            row.date = parseDate(date);
            const int odo = col("odo"), fuel = col("fuel");
            row.odometer = parseNumber(fieldView(r, odo, scratch), NumberRole::Odometer);
            row.quantity = parseNumber(fieldView(r, fuel, scratch), NumberRole::Quantity);
            const Number price = parseNumber(fieldView(r, col("price"), scratch), NumberRole::Amount);
            const Number perUnit = parseNumber(fieldView(r, col("volumeprice"), scratch), NumberRole::Amount);
            if (const QString bad = why::unreadable(row, date); !bad.isEmpty()) {
                out.skip(r.line, bad);
                break;
            }
            if (price.state == Number::Bad) {
                out.skip(r.line, why::amount());
                break;
            }
            if (price.ok() && !price.isZero())
                row.total = price;
            else if (perUnit.ok() && row.quantity.ok())
                row.total = {Number::Ok, perUnit.value() * row.quantity.value()};
            else
                row.total = price;
            if (odo >= 0)
                row.distance = distanceFromUnit(header->unit(odo));
            if (fuel >= 0)
                row.volume = volumeFromUnit(header->unit(fuel));
            // The header's unit is the first tank's: the second keeps its own.
            if (unitsKnown && field(r, col("tanknumber")).trimmed() == u"2")
                row.volume = secondTank;
            else if (unitsKnown && row.volume == VolumeUnit::Unknown)
                row.volume = volume;
            row.partial = parseFlag(fieldView(r, col("full"), scratch)) == false;
            row.missed = parseFlag(fieldView(r, col("missed"), scratch)) == true;
            row.description = joinParts({field(r, col("city")), field(r, col("notes"))});
            out.add(std::move(row));
            break;
        }
        case Table::Categories: {
            bool ok = false;
            const int id = field(r, col("costtypeid")).trimmed().toInt(&ok);
            if (ok)
                categoryNames.insert(id, field(r, col("name")).trimmed());
            break;
        }
        case Table::Costs: {
            Cost c;
            c.row.line = r.line;
            c.row.total = parseNumber(fieldView(r, col("cost"), scratch), NumberRole::Amount);
            if (c.row.total.state == Number::Bad) {
                out.skip(r.line, why::amount());
                break;
            }
            if (parseFlag(fieldView(r, col("istemplate"), scratch)) == true) {
                c.row.ledger = Ledger::LeftOut;
                c.row.leftOut = out.leftOutCategory(u"Modèles de dépenses récurrentes"_s,
                                                    u"des modèles, pas des dépenses faites"_s);
                out.add(std::move(c.row));
                break;
            }
            const QStringView date = fieldView(r, col("date"), dateScratch);
            c.row.date = parseDate(date);
            c.row.odometer = parseNumber(fieldView(r, col("odo"), scratch), NumberRole::Odometer);
            // A reminder of work to come: nothing paid, not read, due at a date or a distance.
            if ((!c.row.total.ok() || c.row.total.isZero())
                && parseFlag(fieldView(r, col("read"), scratch)) == false
                && (parseNumber(fieldView(r, col("remindodo"), scratch), NumberRole::Odometer).value() > 0
                    || parseDate(fieldView(r, col("reminddate"), scratch)).shape != DateParts::Bad)) {
                c.row.ledger = Ledger::LeftOut;
                c.row.leftOut = out.leftOutCategory(u"Rappels"_s,
                                                    u"des rappels d'entretien, pas des dépenses faites"_s);
                out.addNamed(std::move(c.row), field(r, col("costtitle")));
                break;
            }
            if (parseFlag(fieldView(r, col("isincome"), scratch)) == true) {
                c.row.ledger = Ledger::LeftOut;
                c.row.leftOut = out.leftOutCategory(u"Revenus"_s, u"des recettes, pas des dépenses"_s);
                out.add(std::move(c.row));
                break;
            }
            if (const QString bad = why::unreadable(c.row, date); !bad.isEmpty()) {
                out.skip(r.line, bad);
                break;
            }
            c.category = field(r, col("costtypeid")).trimmed().toInt();
            c.title = field(r, col("costtitle"));
            c.row.description = field(r, col("notes")); // the title comes first, below
            costs.push_back(std::move(c));
            break;
        }
        case Table::Other:
            break;
        }
    }

    skippedTables.report(report);
    out.setDefaultUnits(distance, volume);
    // Costs are sorted once every category name is known, whatever the order of the tables.
    const QString fixedCost = u"frais fixe annuel, à porter sur la page « Frais / Km »"_s;
    for (Cost &c : costs) {
        const QString category = categoryNames.value(c.category);
        switch (c.category) {
        case 4:
            c.row.ledger = Ledger::LeftOut;
            c.row.leftOut = out.leftOutCategory(u"Immatriculation"_s,
                                                u"frais administratif, pas une dépense d'utilisation"_s);
            break;
        case 8:
            c.row.ledger = Ledger::LeftOut;
            c.row.leftOut = out.leftOutCategory(u"Amendes"_s, u"pas une dépense d'utilisation"_s);
            break;
        case 31:
            c.row.ledger = Ledger::LeftOut;
            c.row.leftOut = out.leftOutCategory(u"Assurance"_s, fixedCost);
            break;
        case 5:
        case 7:
            c.row.ledger = Ledger::Parking;
            break;
        default: {
            // The user's own categories: parking and tolls by their name, the rest to the garage.
            c.row.ledger = isParkingText(category) ? Ledger::Parking : Ledger::Garage;
            break;
        }
        }
        const QString title = c.title.trimmed().isEmpty() ? category : c.title;
        c.row.description = joinParts({title, c.row.description});
        out.add(std::move(c.row));
    }
}

} // namespace importer
