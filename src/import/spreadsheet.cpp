// Any table with a header row: columns known by their French or English name, case and accents
// ignored. With a quantity column, rows with a quantity are fill-ups; the other rows are costs,
// sent to the garage or to parking by their type or their words.
#include "import/readers.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace importer {

namespace {

enum class Role { None, Date, Odometer, Quantity, Total, UnitPrice, Place, Description, Notes, Type, Full, Missed };

bool firstWordIn(const QStringList &words, std::initializer_list<const char16_t *> names)
{
    if (words.isEmpty())
        return false;
    for (const char16_t *n : names)
        if (words.front() == QStringView(n))
            return true;
    return false;
}

bool anyWordIn(const QStringList &words, std::initializer_list<const char16_t *> names)
{
    for (const QString &w : words)
        for (const char16_t *n : names)
            if (w == QStringView(n))
                return true;
    return false;
}

// The column's part, from its name and the unit in parentheses (normalized both).
Role roleOf(const QString &name, const QString &unit)
{
    const QStringList w = name.split(u' ', Qt::SkipEmptyParts);
    if (w.isEmpty())
        return Role::None;
    if (firstWordIn(w, {u"date", u"jour", u"day"}))
        return Role::Date;
    const bool price = firstWordIn(w, {u"prix", u"price", u"tarif", u"cout", u"cost"});
    if ((price && (w.size() > 1 && anyWordIn(w, {u"unitaire", u"unit", u"litre", u"liter", u"l",
                                                  u"gallon", u"gal", u"au", u"du", u"per"})))
        || name == u"ppu" || name == u"ppl" || name == u"eur l" || name == u"prix l"
        || (price && (unit == u"l" || unit == u"eur l" || unit == u"gal")))
        return Role::UnitPrice;
    if (firstWordIn(w, {u"quantite", u"quantity", u"qty", u"qte", u"litres", u"liters", u"litre",
                        u"liter", u"l", u"gallons", u"gallon", u"gal", u"volume", u"carburant",
                        u"fuel"}))
        return Role::Quantity;
    if (firstWordIn(w, {u"odometer", u"odo", u"kilometrage", u"compteur", u"km", u"mileage",
                        u"miles", u"mi", u"kilometres", u"kilometers"}))
        return Role::Odometer;
    if (price || firstWordIn(w, {u"total", u"montant", u"amount", u"depense", u"somme", u"paye",
                                 u"paid", u"ttc"}))
        return Role::Total;
    if (firstWordIn(w, {u"lieu", u"station", u"city", u"ville", u"fournisseur", u"garage",
                        u"location", u"place"}))
        return Role::Place;
    if (firstWordIn(w, {u"description", u"libelle", u"intitule", u"objet", u"designation",
                        u"title", u"titre"}))
        return Role::Description;
    if (firstWordIn(w, {u"notes", u"note", u"commentaire", u"commentaires", u"comment",
                        u"comments", u"remarque", u"remarques", u"memo", u"details"}))
        return Role::Notes;
    if (firstWordIn(w, {u"type", u"categorie", u"category", u"nature", u"poste"}))
        return Role::Type;
    if (firstWordIn(w, {u"full", u"plein", u"isfilltofull", u"complet"}))
        return anyWordIn(w, {u"manque", u"manques"}) ? Role::Missed : Role::Full;
    if (firstWordIn(w, {u"missed", u"missedfuelup", u"manque", u"oubli"}))
        return Role::Missed;
    if (w.size() >= 2 && firstWordIn(w, {u"pleins"}) && anyWordIn(w, {u"manques"}))
        return Role::Missed;
    return Role::None;
}

struct Columns {
    int date = -1, odometer = -1, quantity = -1, total = -1, unitPrice = -1, type = -1, full = -1,
        missed = -1;
    std::vector<int> places, descriptions, notes;
    DistanceUnit distance = DistanceUnit::Unknown;
    VolumeUnit volume = VolumeUnit::Unknown;
};

Columns columnsOf(const Header &h)
{
    Columns c;
    for (int i = 0; i < h.size(); ++i) {
        const QString &name = h.name(i);
        const QString &unit = h.unit(i);
        const auto set = [i](int &column) {
            if (column < 0)
                column = i;
        };
        switch (roleOf(name, unit)) {
        case Role::Date:
            set(c.date);
            break;
        case Role::Odometer:
            set(c.odometer);
            if (c.odometer == i) {
                const QString all = name + u' ' + unit;
                c.distance = anyWordIn(all.split(u' '), {u"mi", u"miles", u"mile"})
                    ? DistanceUnit::Miles
                    : DistanceUnit::Km;
            }
            break;
        case Role::Quantity:
            set(c.quantity);
            if (c.quantity == i) {
                const QStringList words = (name + u' ' + unit).split(u' ');
                if (anyWordIn(words, {u"gal", u"gallon", u"gallons"}))
                    c.volume = anyWordIn(words, {u"imp", u"imperial", u"uk"})
                        ? VolumeUnit::ImperialGallons
                        : VolumeUnit::UsGallons;
                else
                    c.volume = VolumeUnit::Litres;
            }
            break;
        case Role::Total:
            set(c.total);
            break;
        case Role::UnitPrice:
            set(c.unitPrice);
            break;
        case Role::Place:
            c.places.push_back(i);
            break;
        case Role::Description:
            c.descriptions.push_back(i);
            break;
        case Role::Notes:
            c.notes.push_back(i);
            break;
        case Role::Type:
            set(c.type);
            break;
        case Role::Full:
            set(c.full);
            break;
        case Role::Missed:
            set(c.missed);
            break;
        case Role::None:
            break;
        }
    }
    return c;
}

// Rows a type names as no ledger expense: the category and why.
struct LeftOutKind {
    QStringList words;
    QString category;
    QString reason;
};

const std::vector<LeftOutKind> &leftOutKinds()
{
    const QString fixedCost = u"frais fixe annuel, à porter sur la page « Frais / Km »"_s;
    static const std::vector<LeftOutKind> kinds{
        {{u"assurance"_s, u"assurances"_s, u"insurance"_s}, u"Assurance"_s, fixedCost},
        {{u"taxe"_s, u"taxes"_s, u"tax"_s, u"impot"_s, u"impots"_s, u"vignette"_s}, u"Taxes"_s,
         fixedCost},
        {{u"amende"_s, u"amendes"_s, u"fine"_s, u"fines"_s, u"contravention"_s,
          u"contraventions"_s, u"pv"_s},
         u"Amendes"_s, u"pas une dépense d'utilisation"_s},
        {{u"immatriculation"_s, u"registration"_s, u"grise"_s}, u"Immatriculation"_s,
         u"frais administratif, pas une dépense d'utilisation"_s},
        {{u"revenu"_s, u"revenus"_s, u"income"_s, u"recette"_s, u"recettes"_s}, u"Revenus"_s,
         u"des recettes, pas des dépenses"_s},
    };
    return kinds;
}

} // namespace

bool isSpreadsheetHeader(const Header &header)
{
    const Columns c = columnsOf(header);
    return c.date >= 0 && (c.quantity >= 0 || c.total >= 0);
}

void readSpreadsheet(csv::Reader &in, qint64 headerLine, Builder &out, Report &report)
{
    report.format = u"Tableur (CSV)"_s;
    csv::Record r;
    QString scratch, dateScratch;
    Columns c;
    bool haveHeader = false;
    while (in.next(r)) {
        if (r.isBlank() || r.line < headerLine)
            continue;
        if (!haveHeader) {
            c = columnsOf(Header(r));
            haveHeader = true;
            continue;
        }
        Row row;
        row.line = r.line;
        const QStringView dateText = fieldView(r, c.date, dateScratch);
        row.date = parseDate(dateText);
        row.odometer = parseNumber(fieldView(r, c.odometer, scratch), NumberRole::Odometer);
        row.quantity = parseNumber(fieldView(r, c.quantity, scratch), NumberRole::Quantity);
        row.total = parseNumber(fieldView(r, c.total, scratch), NumberRole::Amount);
        const Number perUnit = parseNumber(fieldView(r, c.unitPrice, scratch), NumberRole::Amount);
        if (const QString bad = why::unreadable(row, dateText); !bad.isEmpty()) {
            out.skip(r.line, bad);
            continue;
        }
        if (perUnit.state == Number::Bad) {
            out.skip(r.line, why::unitPrice());
            continue;
        }
        QStringList parts;
        for (const std::vector<int> *group : {&c.places, &c.descriptions, &c.notes})
            for (int column : *group)
                parts << field(r, column);
        row.description = joinParts(parts);

        if (row.quantity.ok() && row.quantity.value != 0) {
            row.ledger = Ledger::Fuel;
            row.distance = c.distance;
            row.volume = c.volume;
            if (!row.total.ok() && perUnit.ok())
                row.total = {Number::Ok, perUnit.value * row.quantity.value};
            row.partial = parseFlag(fieldView(r, c.full, scratch)) == false;
            row.missed = parseFlag(fieldView(r, c.missed, scratch)) == true;
            out.add(std::move(row));
            continue;
        }
        if (!row.total.ok()) {
            out.skip(r.line, why::noAmount());
            continue;
        }
        const QString type = field(r, c.type).trimmed();
        if (row.description.isEmpty())
            row.description = type;
        row.distance = c.distance;
        const QStringList typeWords = normalizeName(type).split(u' ', Qt::SkipEmptyParts);
        for (const LeftOutKind &k : leftOutKinds())
            if (row.ledger != Ledger::LeftOut
                && std::any_of(typeWords.begin(), typeWords.end(),
                               [&k](const QString &w) { return k.words.contains(w); })) {
                row.ledger = Ledger::LeftOut;
                row.leftOut = out.leftOutCategory(k.category, k.reason);
            }
        if (row.ledger != Ledger::LeftOut)
            row.ledger = isParkingText(type) || isParkingText(row.description) ? Ledger::Parking
                                                                               : Ledger::Garage;
        out.add(std::move(row));
    }
}

} // namespace importer
