// Any table with a header row: columns known by their French or English name, case and accents
// ignored, and taken for a part only by a name that means it. With a quantity column, rows with
// a quantity are fill-ups; the other rows are costs, sent to the garage or to parking by their
// type or their words.
#include "core/import/readers.h"

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace importer {

namespace {

enum class Role {
    None,       // no name the reader knows
    Ignored,    // known, and of no use here (identifiers, currencies, distances driven, ratios)
    Date,
    RecordDate, // when the row was written down, not when it happened
    Time,
    Distance,   // a distance driven or a trip: never a reading, nor an amount, unless nothing else is
    Odometer,
    Quantity,
    Total,
    Price,      // a bare "price": per unit or the total, as the values say
    UnitPrice,
    Place,
    Description,
    Notes,
    Type,
    FuelType,
    Full,
    Partial,
    Missed,
    Vehicle,
    DistanceUnit,
    VolumeUnit,
    AnyUnit
};

struct Guess {
    Role role = Role::None;
    int score = 1; // the better of two columns of a part wins
};

using Names = std::initializer_list<const char16_t *>;

bool in(const QString &word, Names names)
{
    for (const char16_t *n : names)
        if (word == QStringView(n))
            return true;
    return false;
}

bool any(const QStringList &words, Names names)
{
    return std::any_of(words.begin(), words.end(), [names](const QString &w) { return in(w, names); });
}

bool first(const QStringList &words, Names names) { return !words.isEmpty() && in(words.front(), names); }

const Names kUnits{u"km", u"mi", u"mile", u"miles", u"l", u"litre", u"litres", u"liter", u"liters",
                   u"gal", u"gallon", u"gallons", u"kwh", u"m3", u"kg", u"100", u"100km", u"100mi"};
const Names kPriceWords{u"prix", u"price", u"tarif", u"cout", u"cost", u"preis", u"preco", u"цена"};

// "km/l", "L/100 km", "mpg", "%", "city_percentage": a ratio, never a reading or an amount.
bool isRatio(const QStringList &words, const QString &original)
{
    if (original.contains(u'%'))
        return true;
    if (any(words, {u"mpg", u"kpl", u"consumption", u"consommation", u"conso", u"economy",
                    u"fueleconomy", u"efficiency", u"verbrauch", u"percentage", u"pourcentage",
                    u"percent", u"ratio", u"consumo", u"расход"}))
        return true;
    const qsizetype slash = original.indexOf(u'/');
    if (slash < 0)
        return false;
    const QStringList before =
        normalizeName(QStringView(original).left(slash)).split(u' ', Qt::SkipEmptyParts);
    const QStringList after =
        normalizeName(QStringView(original).mid(slash + 1)).split(u' ', Qt::SkipEmptyParts);
    return !before.isEmpty() && !after.isEmpty() && in(before.back(), kUnits) && in(after.front(), kUnits);
}

const Names kAmountWords{u"total", u"montant", u"amount", u"depense", u"somme", u"paye", u"paid",
                         u"ttc", u"kosten", u"betrag", u"valor", u"сумма"};
const Names kOdometerWords{u"odometer", u"odo", u"kilometrage", u"compteur", u"mileage", u"odometre",
                           u"odometro", u"kilometerstand", u"kmstand", u"stand", u"пробег", u"одометр"};

// "Total Miles", "Km parcourus", "Trip", "Miles driven": how far, not where the odometer stood.
bool isDistance(const QStringList &w, bool price)
{
    if (any(w, {u"trip", u"trajet", u"parcours", u"parcourus", u"parcouru", u"distance", u"driven",
                u"travelled", u"traveled", u"gefahren", u"strecke", u"percorrido", u"percorridos",
                u"recorrido", u"пройдено"})
        || in(w.join(u' '), {u"teil km"}))
        return true;
    // A unit of distance beside another word that is no reading: "Total km", "Miles this tank".
    return w.size() > 1 && !price && !any(w, kOdometerWords)
        && any(w, {u"km", u"kms", u"mi", u"mile", u"miles", u"kilometres", u"kilometers",
                   u"kilometre", u"kilometer"});
}

// A yes/no column named for a full tank, in the languages of the trackers read.
bool isFullName(const QStringList &w)
{
    return any(w, {u"full", u"plein", u"isfilltofull", u"complet", u"voll", u"vollgetankt", u"cheio",
                   u"filled", u"lleno", u"completo", u"полный"});
}

Guess roleOf(const QString &name, const QString &unit, const QString &original)
{
    const QStringList w = name.split(u' ', Qt::SkipEmptyParts);
    if (w.isEmpty())
        return {};
    if (isRatio(w, original))
        return {Role::Ignored};
    const bool price = any(w, kPriceWords);
    if ((price && !any(w, {u"total"})
         && (any(w, {u"unit", u"unitaire", u"litre", u"liter", u"l", u"gallon", u"gal", u"per",
                     u"au", u"du", u"unitario", u"литр", u"л"})
             || in(unit, {u"l", u"eur l", u"gal", u"litre", u"liter", u"per l", u"per litre",
                          u"per gal", u"per gallon"})))
        || in(name, {u"ppu", u"ppl", u"eur l", u"unitprice", u"unitcost", u"volumeprice"}))
        return {Role::UnitPrice, 2};
    if (any(w, {u"unit", u"units", u"unite", u"unites", u"einheit", u"unidade"}) && !price) {
        if (any(w, {u"distance", u"odometer", u"odo", u"mileage", u"kilometrage", u"compteur"}))
            return {Role::DistanceUnit};
        if (any(w, {u"volume", u"fuel", u"quantity", u"quantite", u"carburant"}))
            return {Role::VolumeUnit};
        return {Role::AnyUnit};
    }
    if (any(w, {u"date", u"datum", u"data", u"fecha", u"дата"}) || first(w, {u"jour", u"day"})) {
        if (any(w, {u"added", u"created", u"creation", u"modified", u"modification", u"updated",
                    u"entered", u"recorded", u"saisie", u"import", u"imported", u"exported",
                    u"timestamp", u"cree", u"creee"}))
            return {Role::RecordDate};
        return {Role::Date};
    }
    if (in(name, {u"time", u"heure", u"hora", u"uhrzeit", u"zeit", u"время"}))
        return {Role::Time};
    if (in(name, {u"vehicle", u"vehicle name", u"vehicule", u"nom du vehicule", u"voiture", u"car",
                  u"car name", u"carname", u"car id", u"carid", u"auto", u"fahrzeug", u"veiculo",
                  u"vehicle id", u"vehicleid", u"автомобиль", u"машина"}))
        return {Role::Vehicle};
    if (any(w, {u"currency", u"devise", u"monnaie", u"wahrung", u"moeda", u"moneda", u"валюта"})
        || in(name, {u"id", u"uniqueid", u"unique id", u"tags"}) || (w.size() > 1 && w.back() == u"id"))
        return {Role::Ignored};
    if (isDistance(w, price))
        return {Role::Distance};
    const bool fuel = any(w, {u"fuel", u"carburant", u"combustible", u"combustivel", u"kraftstoff",
                              u"sprit", u"топливо"});
    if (fuel && any(w, {u"type", u"types", u"kind", u"sorte", u"grade"}))
        return {Role::FuelType};
    if (first(w, {u"quantite", u"quantity", u"qty", u"qte", u"litres", u"liters", u"litre",
                  u"liter", u"gallons", u"gallon", u"gal", u"volume", u"menge", u"spritmenge",
                  u"litros", u"литры", u"литров", u"объем"})
        || any(w, {u"quantity", u"quantite", u"volume"}) || name == u"l"
        || (fuel && (any(w, {u"amount", u"quantity"}) || volumeFromUnit(unit) != VolumeUnit::Unknown)))
        return {Role::Quantity};
    if (fuel && w.size() == 1)
        return {Role::FuelType}; // "Fuel" alone: which fuel, not how much
    if (first(w, {u"odometer", u"odo", u"kilometrage", u"compteur", u"mileage", u"odometre",
                  u"odometro", u"kilometerstand", u"kmstand", u"пробег", u"одометр"})
        || name == u"km stand")
        return {Role::Odometer, 2};
    if (in(name, {u"km", u"kms", u"miles", u"mi", u"kilometres", u"kilometers", u"kilometre",
                  u"kilometer"}))
        return {Role::Odometer, 1};
    // "Total" alone says more than a longer name that only contains it.
    if (w.size() == 1 && in(w.front(), kAmountWords))
        return {Role::Total, 3};
    if (w.size() == 1 && in(w.front(), {u"cost", u"cout"}))
        return {Role::Total, 3};
    if (any(w, kAmountWords))
        return {Role::Total, 2};
    if (in(name, {u"price", u"prix", u"preis", u"tarif", u"preco", u"цена"}))
        return {Role::Price};
    if (price)
        return {Role::Total, 1};
    if (first(w, {u"lieu", u"station", u"city", u"ville", u"fournisseur", u"garage", u"location",
                  u"place", u"tankstelle", u"ort", u"posto", u"shop", u"vendor", u"заправка", u"азс"})
        || any(w, {u"station", u"tankstelle"}))
        return {Role::Place};
    if (first(w, {u"description", u"libelle", u"intitule", u"objet", u"designation", u"title",
                  u"titre", u"descricao", u"bezeichnung", u"описание"}))
        return {Role::Description};
    if (first(w, {u"notes", u"note", u"commentaire", u"commentaires", u"comment", u"comments",
                  u"remarque", u"remarques", u"memo", u"details", u"bemerkung", u"observacao",
                  u"observacoes", u"obs", u"примечание", u"заметки", u"комментарий"}))
        return {Role::Notes};
    if (first(w, {u"type", u"categorie", u"category", u"nature", u"poste", u"kategorie", u"tipo",
                  u"категория", u"тип"})
        || any(w, {u"category", u"categorie", u"type"}))
        return {Role::Type};
    if (any(w, {u"partial", u"partiel", u"partielle", u"teilbetankung", u"parcial"}))
        return {Role::Partial};
    if (isFullName(w))
        return {any(w, {u"manque", u"manques"}) ? Role::Missed : Role::Full};
    if (first(w, {u"missed", u"missedfuelup", u"manque", u"oubli"})
        || (w.size() >= 2 && first(w, {u"pleins"}) && any(w, {u"manques"})))
        return {Role::Missed};
    return {};
}

struct Columns {
    int date = -1, time = -1, odometer = -1, quantity = -1, total = -1, price = -1, unitPrice = -1,
        type = -1, fuelType = -1, full = -1, partial = -1, missed = -1, vehicle = -1,
        distanceUnit = -1, volumeUnit = -1, anyUnit = -1;
    std::vector<int> places, descriptions, notes, distances;
    std::vector<Role> roles;          // as guessed, per column
    std::vector<bool> chosen;         // settled by the user, per column
    DistanceUnit distance = DistanceUnit::Unknown;
    VolumeUnit volume = VolumeUnit::Unknown;
    bool vehicleIsId = false;
};

Columns columnsOf(const Header &h)
{
    Columns c;
    struct Best {
        int column = -1, score = 0;
    };
    std::array<Best, size_t(Role::AnyUnit) + 1> best{};
    int recordDate = -1;
    for (int i = 0; i < h.size(); ++i) {
        const Guess g = roleOf(h.name(i), h.unit(i), h.original(i));
        c.roles.push_back(g.role);
        switch (g.role) {
        case Role::Place:
            c.places.push_back(i);
            break;
        case Role::Description:
            c.descriptions.push_back(i);
            break;
        case Role::Notes:
            c.notes.push_back(i);
            break;
        case Role::RecordDate:
            if (recordDate < 0)
                recordDate = i;
            break;
        case Role::Distance:
            c.distances.push_back(i);
            break;
        default: {
            Best &b = best[size_t(g.role)];
            if (b.column < 0 || g.score > b.score)
                b = {i, g.score};
        }
        }
    }
    const auto at = [&best](Role r) { return best[size_t(r)].column; };
    // A date named for the event; the record's own date only when there is none.
    c.date = at(Role::Date) >= 0 ? at(Role::Date) : recordDate;
    c.time = at(Role::Time);
    c.odometer = at(Role::Odometer);
    c.quantity = at(Role::Quantity);
    c.total = at(Role::Total);
    c.price = at(Role::Price);
    c.unitPrice = at(Role::UnitPrice);
    c.type = at(Role::Type);
    c.fuelType = at(Role::FuelType);
    c.full = at(Role::Full);
    c.partial = at(Role::Partial);
    c.missed = at(Role::Missed);
    c.vehicle = at(Role::Vehicle);
    c.distanceUnit = at(Role::DistanceUnit);
    c.volumeUnit = at(Role::VolumeUnit);
    c.anyUnit = at(Role::AnyUnit);
    c.chosen.assign(size_t(h.size()), false);
    return c;
}

// Units written in the names: "Odometer (mi)", "Miles", "Gallons (imp)", "Quantité (kg)".
void unitsOf(const Header &h, Columns &c)
{
    if (c.vehicle >= 0)
        c.vehicleIsId = h.name(c.vehicle).endsWith(u"id");
    c.distance = DistanceUnit::Unknown;
    c.volume = VolumeUnit::Unknown;
    const auto words = [&h](int i) { return (h.name(i) + u' ' + h.unit(i)).split(u' ', Qt::SkipEmptyParts); };
    if (c.odometer >= 0)
        c.distance = any(words(c.odometer), {u"mi", u"miles", u"mile"}) ? DistanceUnit::Miles
                                                                        : DistanceUnit::Unknown;
    for (int i : {c.quantity, c.unitPrice}) {
        if (i < 0 || c.volume != VolumeUnit::Unknown)
            continue;
        const QStringList w = words(i);
        if (any(w, {u"gal", u"gallon", u"gallons"}))
            c.volume = any(w, {u"imp", u"imperial", u"uk"}) ? VolumeUnit::ImperialGallons
                                                           : VolumeUnit::UsGallons;
        else if (any(w, {u"l", u"litre", u"litres", u"liter", u"liters"}))
            c.volume = VolumeUnit::Litres;
        else if (any(w, {u"kg", u"kilograms", u"kilogrammes"}))
            c.volume = VolumeUnit::Kg;
        else if (any(w, {u"kwh"}))
            c.volume = VolumeUnit::KWh;
    }
}

// Every single-column part, for clearing and naming.
std::array<int *, 15> singleSlots(Columns &c)
{
    return {&c.date, &c.time, &c.odometer, &c.quantity, &c.total, &c.price, &c.unitPrice, &c.type,
            &c.fuelType, &c.full, &c.partial, &c.missed, &c.vehicle, &c.distanceUnit, &c.volumeUnit};
}

// The parts the user chose, over the guess; `unknown` gets the headers the file does not have.
void applyChoices(const Header &h, Columns &c, const std::vector<ColumnChoice> &choices,
                  QStringList &unknown)
{
    for (const ColumnChoice &choice : choices) {
        const QString wanted = normalizeName(choice.header);
        int i = 0;
        while (i < h.size() && normalizeName(h.original(i)) != wanted)
            ++i;
        if (i == h.size()) {
            unknown << choice.header;
            continue;
        }
        for (int *slot : singleSlots(c))
            if (*slot == i)
                *slot = -1;
        if (c.anyUnit == i)
            c.anyUnit = -1;
        for (std::vector<int> *group : {&c.places, &c.descriptions, &c.notes, &c.distances})
            std::erase(*group, i);
        c.chosen[size_t(i)] = true;
        switch (choice.part) {
        case Part::Date: c.date = i; break;
        case Part::Odometer: c.odometer = i; break;
        case Part::Quantity: c.quantity = i; break;
        case Part::Total: c.total = i; break;
        case Part::UnitPrice: c.unitPrice = i; break;
        case Part::Place: c.places.push_back(i); break;
        case Part::Description: c.descriptions.push_back(i); break;
        case Part::Partial:
            // A column named for a full tank says the opposite of one named for a partial fill-up.
            (c.roles[size_t(i)] == Role::Full ? c.full : c.partial) = i;
            break;
        case Part::Missed: c.missed = i; break;
        case Part::DistanceUnit: c.distanceUnit = i; break;
        case Part::VolumeUnit: c.volumeUnit = i; break;
        case Part::Category: c.type = i; break;
        case Part::Time: c.time = i; break;
        case Part::Vehicle: c.vehicle = i; break;
        case Part::FuelType: c.fuelType = i; break;
        case Part::Ignored: break;
        }
    }
}

// The part a column fills once everything is settled.
Part partOf(const Columns &c, int i)
{
    const auto has = [i](const std::vector<int> &group) {
        return std::find(group.begin(), group.end(), i) != group.end();
    };
    if (i == c.date) return Part::Date;
    if (i == c.time) return Part::Time;
    if (i == c.odometer) return Part::Odometer;
    if (i == c.quantity) return Part::Quantity;
    if (i == c.total) return Part::Total;
    if (i == c.unitPrice) return Part::UnitPrice;
    if (i == c.type) return Part::Category;
    if (i == c.fuelType) return Part::FuelType;
    if (i == c.full || i == c.partial) return Part::Partial;
    if (i == c.missed) return Part::Missed;
    if (i == c.vehicle) return Part::Vehicle;
    if (i == c.distanceUnit) return Part::DistanceUnit;
    if (i == c.volumeUnit || i == c.anyUnit) return Part::VolumeUnit;
    if (has(c.places)) return Part::Place;
    if (has(c.descriptions) || has(c.notes)) return Part::Description;
    return Part::Ignored;
}

bool isHeader(const Header &h)
{
    const Columns c = columnsOf(h);
    // A distance named as a total ("Total km") is the amount of a table that has no other.
    const bool distanceTotal = std::any_of(c.distances.begin(), c.distances.end(), [&h](int d) {
        return any(h.name(d).split(u' '), kAmountWords) || any(h.name(d).split(u' '), kPriceWords);
    });
    return c.date >= 0 && (c.quantity >= 0 || c.total >= 0 || c.price >= 0 || c.unitPrice >= 0 || distanceTotal);
}

// Several tables, each under its own title: not one spreadsheet.
bool isMultiTable(const Look &look)
{
    int titled = 0;
    for (size_t i = 0; i < look.records.size(); ++i) {
        if (isTableMarker(look.records[i]))
            return true;
        if (i + 1 < look.records.size() && isTitleLine(look.records[i])
            && look.records[i + 1].size() > 1)
            ++titled;
    }
    return titled > 1;
}

constexpr int kHeaderSearch = 10;
constexpr int kSample = 500;
constexpr int kPreviewRows = 9; // the header and the first rows

// The first record that names the columns.
qint64 headerLine(csv::Reader &in)
{
    csv::Record r;
    for (int looked = 0; looked < kHeaderSearch && in.next(r);) {
        if (r.isBlank())
            continue;
        ++looked;
        if (isHeader(Header(r)))
            return r.line;
    }
    return -1;
}

// True when most filled values of the column, in the first rows, are numbers.
bool holdsNumbers(csv::Reader &in, qint64 header, int column)
{
    int numbers = 0, filled = 0;
    csv::Record r;
    QString scratch;
    while (filled < kSample && in.next(r)) {
        if (r.line <= header || r.isBlank())
            continue;
        const Number n = parseNumber(fieldView(r, column, scratch), NumberRole::Quantity);
        if (n.state == Number::Empty)
            continue;
        ++filled;
        numbers += n.ok() ? 1 : 0;
    }
    return filled > 0 && numbers * 5 >= filled * 4;
}

double spread(const std::vector<double> &v)
{
    double mean = 0;
    for (double x : v)
        mean += x;
    mean /= double(v.size());
    double var = 0;
    for (double x : v)
        var += (x - mean) * (x - mean);
    return mean == 0 ? 0 : std::sqrt(var / double(v.size())) / mean;
}

// A bare "price" beside a quantity is the price per unit or the total: the values say which.
void settlePrice(csv::Reader &in, qint64 header, const Header &h, Columns &c, Report &report)
{
    std::vector<int> candidates; // columns that may hold the total: price x quantity
    if (c.total >= 0)
        candidates.push_back(c.total);
    for (int i = 0; i < h.size(); ++i)
        if (c.roles[size_t(i)] == Role::None)
            candidates.push_back(i);
    std::vector<int> matches(candidates.size(), 0), equal(candidates.size(), 0);
    std::vector<double> prices, perQuantity;
    int rows = 0, below = 0;
    csv::Record r;
    QString scratch;
    while (rows < kSample && in.next(r)) {
        if (r.line <= header || r.isBlank())
            continue;
        const Number q = parseNumber(fieldView(r, c.quantity, scratch), NumberRole::Quantity);
        const Number p = parseNumber(fieldView(r, c.price, scratch), NumberRole::Amount);
        if (!q.ok() || !p.ok() || q.value() <= 0 || p.value() <= 0)
            continue;
        ++rows;
        prices.push_back(double(p.value()));
        perQuantity.push_back(double(p.value() / q.value()));
        below += p.value() < q.value() ? 1 : 0;
        for (size_t k = 0; k < candidates.size(); ++k) {
            const Number t = parseNumber(fieldView(r, candidates[k], scratch), NumberRole::Amount);
            if (!t.ok())
                continue;
            const long double product = p.value() * q.value();
            if (std::fabs(product - t.value()) <= std::max(0.05L, t.value() / 100))
                ++matches[k];
            if (std::fabs(p.value() - t.value()) <= 0.005L)
                ++equal[k];
        }
    }
    const QString name = u"Colonne « "_s + h.original(c.price) + u" »"_s;
    const auto asUnitPrice = [&](const QString &why) {
        c.unitPrice = c.price;
        c.price = -1;
        report.readings << name + u" lue comme prix unitaire : "_s + why;
    };
    for (size_t k = 0; k < candidates.size(); ++k) {
        if (rows == 0 || matches[k] * 5 < rows * 4)
            continue;
        const int column = candidates[k];
        asUnitPrice(u"prix × quantité = « "_s + h.original(column) + u" »"_s);
        if (c.total < 0) {
            c.total = column;
            report.readings << u"Colonne « "_s + h.original(column) + u" » lue comme montant"_s;
        }
        return;
    }
    if (c.total >= 0) {
        if (rows > 0 && equal[0] * 5 >= rows * 4) {
            report.readings << name + u" ignorée : elle répète « "_s + h.original(c.total) + u" »"_s;
            c.price = -1;
        } else {
            asUnitPrice(u"le montant a sa colonne, « "_s + h.original(c.total) + u" »"_s);
        }
        return;
    }
    bool unit = false;
    QString why;
    if (rows >= 3) {
        // A price per unit hardly moves from one fill-up to the next; a total follows the quantity.
        unit = spread(prices) < spread(perQuantity);
        why = unit ? u"elle varie peu d'une ligne à l'autre, quand un montant suivrait la quantité"_s
                   : u"elle suit la quantité d'une ligne à l'autre"_s;
    } else {
        unit = rows > 0 && below * 2 > rows;
        why = unit ? u"ses valeurs sont bien inférieures à un montant plausible pour la quantité"_s
                   : u"ses valeurs sont celles d'un montant pour la quantité"_s;
    }
    if (unit) {
        asUnitPrice(why);
    } else {
        c.total = c.price;
        c.price = -1;
        report.readings << name + u" lue comme montant : "_s + why;
    }
}

DistanceUnit rowDistance(const Columns &c, const csv::Record &r)
{
    for (int column : {c.distanceUnit, c.anyUnit}) {
        const DistanceUnit u =
            column < 0 ? DistanceUnit::Unknown : distanceFromUnit(normalizeName(r.text(column)));
        if (u != DistanceUnit::Unknown)
            return u;
    }
    return c.distance;
}

VolumeUnit rowVolume(const Columns &c, const csv::Record &r)
{
    for (int column : {c.volumeUnit, c.anyUnit}) {
        const VolumeUnit u =
            column < 0 ? VolumeUnit::Unknown : volumeFromUnit(normalizeName(r.text(column)));
        if (u != VolumeUnit::Unknown)
            return u;
    }
    return c.volume;
}

} // namespace

int weighSpreadsheet(const Look &look)
{
    if (isMultiTable(look))
        return evidence::None;
    for (size_t i = 0; i < look.records.size() && i < size_t(kHeaderSearch); ++i)
        if (isHeader(Header(look.records[i])))
            return evidence::AnyTable;
    return evidence::None;
}

namespace {

// Skips to the first record after the header.
bool toRows(csv::Reader &in, qint64 header)
{
    if (!in.rewind())
        return false;
    csv::Record r;
    while (r.line < header && in.next(r)) {
    }
    return true;
}

QString named(const Header &h, int column) { return u"Colonne « "_s + h.original(column) + u" »"_s; }

} // namespace

void readSpreadsheet(csv::Reader &in, Builder &out, Report &report)
{
    report.format = u"Tableur (CSV)"_s;
    const qint64 header = headerLine(in);
    if (header < 0 || !in.rewind())
        return;
    csv::Record r;
    while (in.next(r) && r.line < header) {
    }
    const Header h(r);
    Columns c = columnsOf(h);
    const auto keep = [&report](const csv::Record &record) {
        QStringList fields;
        for (int k = 0; k < record.size(); ++k)
            fields << record.text(k);
        report.preview.push_back(fields);
    };
    keep(r);
    applyChoices(h, c, out.columnChoices(), report.unknownColumns);
    if (!report.unknownColumns.isEmpty())
        return;
    const auto chosen = [&c](int i) { return i >= 0 && c.chosen[size_t(i)]; };
    if (c.quantity < 0 && c.fuelType >= 0 && !chosen(c.fuelType) && h.name(c.fuelType).indexOf(u' ') < 0
        && holdsNumbers(in, header, c.fuelType)) {
        // "Carburant" alone, written in numbers: how much fuel, not which.
        c.quantity = c.fuelType;
        c.fuelType = -1;
        report.readings << named(h, c.quantity) + u" lue comme quantité : ses valeurs sont des nombres"_s;
    }
    if (c.price >= 0) {
        if (c.quantity >= 0 && c.unitPrice < 0) {
            if (!toRows(in, header))
                return;
            settlePrice(in, header, h, c, report);
        } else if (c.total < 0) {
            c.total = c.price;
            c.price = -1;
        }
    }
    // An odometer rises with the dates; a distance driven or a misnamed column does not.
    if (c.odometer >= 0 && !chosen(c.odometer)) {
        if (!toRows(in, header))
            return;
        if (!risesWithDates(in, header, c.date, c.odometer, kSample)) {
            report.readings << named(h, c.odometer)
                    + u" non lue comme compteur : ses valeurs ne croissent pas avec les dates"_s;
            c.odometer = -1;
        }
    }
    for (size_t k = 0; c.odometer < 0 && k < c.distances.size(); ++k) {
        if (!toRows(in, header))
            return;
        if (risesWithDates(in, header, c.date, c.distances[k], kSample)) {
            c.odometer = c.distances[k];
            c.distances.erase(c.distances.begin() + qsizetype(k));
            report.readings << named(h, c.odometer)
                    + u" lue comme compteur : aucune autre colonne ne l'est, et ses valeurs croissent "
                      u"avec les dates"_s;
        }
    }
    if (c.total < 0 && c.unitPrice < 0)
        for (int d : c.distances)
            if (any(h.name(d).split(u' '), kAmountWords) || any(h.name(d).split(u' '), kPriceWords)) {
                c.total = d;
                std::erase(c.distances, d);
                report.readings << named(h, d) + u" lue comme montant : aucune autre colonne ne l'est"_s;
                break;
            }
    unitsOf(h, c);
    bool fullCross = false, partialCross = false;
    for (auto [column, cross] : {std::pair{c.full, &fullCross}, std::pair{c.partial, &partialCross}}) {
        if (column < 0)
            continue;
        if (!toRows(in, header))
            return;
        *cross = marksWithCross(in, header, column, kSample);
    }
    if (c.full >= 0)
        report.readings << u"Pleins partiels d'après la colonne « "_s + h.original(c.full) + u" »"_s
                + u" : les pleins qu'elle ne dit pas complets"_s;
    else if (c.partial >= 0)
        report.readings << u"Pleins partiels d'après la colonne « "_s + h.original(c.partial) + u" »"_s
                + u" : les pleins qu'elle marque"_s;

    // The part of every column, and those no value is taken from, as the file names them.
    for (int i = 0; i < h.size(); ++i) {
        if (h.original(i).isEmpty())
            continue;
        const Part part = partOf(c, i);
        report.columns.push_back({h.original(i), part, chosen(i)});
        if (part == Part::Ignored)
            report.ignoredColumns << h.original(i);
    }
    const auto nameOf = [&h](int i) { return i < 0 ? QString() : h.original(i); };
    out.checkPlausibility({nameOf(c.total), nameOf(c.quantity), nameOf(c.odometer), nameOf(c.unitPrice),
                           chosen(c.total) || chosen(c.unitPrice), chosen(c.quantity), chosen(c.odometer)});

    if (!in.rewind())
        return;
    QString scratch, dateScratch;
    const auto flag = [&r, &scratch](int column, bool cross) -> std::optional<bool> {
        const std::optional<bool> f = parseFlag(fieldView(r, column, scratch));
        return !f && cross && column >= 0 ? std::optional<bool>(false) : f;
    };
    while (in.next(r)) {
        if (r.isBlank() || r.line <= header)
            continue;
        if (report.preview.size() < size_t(kPreviewRows))
            keep(r);
        Row row;
        row.line = r.line;
        if (c.vehicle >= 0) {
            const QString name = r.text(c.vehicle);
            row.vehicle = out.vehicle(name, !c.vehicleIsId);
        }
        const QStringView dateText = fieldView(r, c.date, dateScratch);
        row.date = parseDate(dateText);
        if (c.time >= 0 && row.date.minutes < 0)
            row.date.minutes = qint16(parseTime(fieldView(r, c.time, scratch)));
        row.odometer = parseNumber(fieldView(r, c.odometer, scratch), NumberRole::Odometer);
        row.quantity = parseNumber(fieldView(r, c.quantity, scratch), NumberRole::Quantity);
        row.total = parseNumber(fieldView(r, c.total, scratch), NumberRole::Amount);
        const Number perUnit = parseNumber(fieldView(r, c.unitPrice, scratch), NumberRole::Amount);
        if (const QString bad = why::unreadable(row, dateText); !bad.isEmpty()) {
            out.skip(r.line, bad, row.vehicle);
            continue;
        }
        if (perUnit.state == Number::Bad) {
            out.skip(r.line, why::unitPrice(), row.vehicle);
            continue;
        }
        QStringList parts;
        for (const std::vector<int> *group : {&c.places, &c.descriptions, &c.notes})
            for (int column : *group)
                parts << field(r, column);
        row.description = joinParts(parts);
        row.distance = rowDistance(c, r);

        if (row.quantity.ok() && !row.quantity.isZero()) {
            row.ledger = Ledger::Fuel;
            row.volume = rowVolume(c, r);
            if (!row.total.ok() && perUnit.ok())
                row.total = {Number::Ok, perUnit.value() * row.quantity.value()};
            row.partial = flag(c.full, fullCross) == false || flag(c.partial, partialCross) == true;
            row.missed = parseFlag(fieldView(r, c.missed, scratch)) == true;
            if (c.fuelType >= 0)
                out.noteFuel(row.vehicle, fieldView(r, c.fuelType, scratch));
            out.add(std::move(row));
            continue;
        }
        if (!row.total.ok()) {
            out.skip(r.line, why::noAmount(), row.vehicle);
            continue;
        }
        const QString type = field(r, c.type).trimmed();
        if (row.description.isEmpty())
            row.description = type;
        CostClass kind = classifyCost(type);
        if (kind.kind == CostKind::Garage && classifyCost(row.description).kind == CostKind::Parking)
            kind.kind = CostKind::Parking;
        sendCost(out, row, kind);
    }
}

} // namespace importer
