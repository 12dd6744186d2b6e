#include "core/import/importer.h"

#include "core/import/builder.h"
#include "core/import/csv.h"
#include "core/import/readers.h"

#include <QFile>

using namespace Qt::StringLiterals;

namespace importer {

DateOrder dateOrderFromName(const QString &name)
{
    const QString n = name.trimmed().toLower();
    if (n == u"dmy")
        return DateOrder::DMY;
    if (n == u"mdy")
        return DateOrder::MDY;
    if (n == u"ymd")
        return DateOrder::YMD;
    return DateOrder::Unknown;
}

QString dateOrderText(DateOrder order)
{
    switch (order) {
    case DateOrder::DMY:
        return u"jour/mois/année"_s;
    case DateOrder::MDY:
        return u"mois/jour/année"_s;
    case DateOrder::YMD:
        return u"année/mois/jour"_s;
    case DateOrder::Unknown:
        break;
    }
    return {};
}

QString partName(Part part)
{
    switch (part) {
    case Part::Date: return u"Date"_s;
    case Part::Odometer: return u"Compteur"_s;
    case Part::Quantity: return u"Litres"_s;
    case Part::Total: return u"Montant"_s;
    case Part::UnitPrice: return u"Prix du litre"_s;
    case Part::Place: return u"Lieu"_s;
    case Part::Description: return u"Description"_s;
    case Part::Partial: return u"Plein partiel"_s;
    case Part::Missed: return u"Pleins manqués"_s;
    case Part::DistanceUnit: return u"Unité de distance"_s;
    case Part::VolumeUnit: return u"Unité de volume"_s;
    case Part::Category: return u"Catégorie"_s;
    case Part::Ignored: return u"Ignorée"_s;
    case Part::Time: return u"Heure"_s;
    case Part::Vehicle: return u"Véhicule"_s;
    case Part::FuelType: return u"Type de carburant"_s;
    }
    return {};
}

std::vector<Part> choosableParts()
{
    return {Part::Date,        Part::Odometer,     Part::Quantity,   Part::Total,   Part::UnitPrice,
            Part::Place,       Part::Description,  Part::Partial,    Part::Missed,  Part::DistanceUnit,
            Part::VolumeUnit,  Part::Category,     Part::Ignored};
}

std::optional<Part> partFromName(QStringView name)
{
    const QString wanted = normalizeName(name);
    std::vector<Part> all = choosableParts();
    all.insert(all.end(), {Part::Time, Part::Vehicle, Part::FuelType});
    for (Part p : all)
        if (normalizeName(partName(p)) == wanted)
            return p;
    return std::nullopt;
}

namespace {

QString counted(qint64 n, const QString &one, const QString &many)
{
    return QString::number(n) + u' ' + (n > 1 ? many : one);
}

QString entries(qint64 n) { return counted(n, u"écriture"_s, u"écritures"_s); }
QString rows(qint64 n) { return counted(n, u"ligne"_s, u"lignes"_s); }

constexpr int kSkippedInFull = 20;
constexpr int kLookAhead = 40; // records looked at to find the format
constexpr int kPreviewRows = 9;

} // namespace

QString vehicleListText(const std::vector<VehicleChoice> &vehicles)
{
    QStringList names;
    for (const VehicleChoice &v : vehicles)
        names << v.name + u" ("_s + entries(v.entries) + u')';
    return names.join(u", "_s);
}

QStringList knownFormats()
{
    QStringList names;
    for (const Format &f : formats())
        names << f.name;
    return names;
}

namespace {

// Categories left out, tables skipped, columns ignored.
QStringList notTaken(const Report &r)
{
    QStringList out;
    for (const LeftOut &l : r.leftOut) {
        QString line = u"Laissé de côté : "_s + l.category + u", "_s + rows(l.rows) + u", total "_s
            + l.total + u" ("_s + l.reason + u')';
        if (!l.titles.isEmpty())
            line += u" : "_s + l.titles.join(u", "_s);
        out << line;
    }
    if (!r.skippedTables.empty()) {
        QStringList tables;
        for (const SkippedTable &t : r.skippedTables)
            tables << t.name + u" ("_s + rows(t.rows) + u')';
        out << u"Tables ignorées : "_s + tables.join(u", "_s);
    }
    if (!r.ignoredColumns.isEmpty())
        out << u"Colonnes ignorées : "_s + r.ignoredColumns.join(u", "_s);
    return out;
}

QStringList unreadable(const Report &r)
{
    QStringList out;
    if (r.skipped.empty())
        return out;
    out << u"Lignes illisibles, ignorées : "_s + QString::number(r.skipped.size());
    for (size_t i = 0; i < r.skipped.size() && i < size_t(kSkippedInFull); ++i)
        out << u"  ligne "_s + QString::number(r.skipped[i].line) + u" : "_s + r.skipped[i].reason;
    if (r.skipped.size() > size_t(kSkippedInFull))
        out << u"  et "_s
                + counted(qint64(r.skipped.size()) - kSkippedInFull, u"autre ligne"_s,
                          u"autres lignes"_s);
    return out;
}

} // namespace

QStringList Report::leftOutLines() const { return notTaken(*this) + unreadable(*this); }

QStringList Report::lines() const
{
    QStringList out;
    out << u"Format : "_s + format;
    if (!vehicleName.isEmpty())
        out << u"Véhicule : "_s + vehicleName;
    if (needsVehicle) {
        out << u"Véhicules du fichier : "_s + vehicleListText(vehicles);
        out << u"Véhicule à préciser : le fichier en tient plusieurs"_s;
        return out;
    }
    if (needsDateOrder) {
        QStringList orders;
        for (DateOrder o : possibleOrders)
            orders << dateOrderText(o);
        out << u"Ordre des dates à préciser : "_s + orders.join(u" ou "_s);
        return out;
    }
    for (const ColumnUse &c : columns)
        out << u"Colonne « "_s + c.header + u" » : "_s + partName(c.part)
                + (c.chosen ? u" (choisie)"_s : QString());
    out << u"Carburant : "_s + entries(fuelCount);
    out << u"Garage : "_s + entries(garageCount);
    out << u"Stationnement : "_s + entries(parkingCount);
    out << readings;
    out << conversions;
    if (otherUnitFuel > 0)
        out << u"Pleins en kg ou kWh (quantité gardée dans la description, « Litres » vide) : "_s
                + QString::number(otherUnitFuel);
    if (!vehicleType.isEmpty())
        out << u"Type de véhicule : "_s + vehicleType + u" (d'après le carburant du fichier)"_s;
    out << notTaken(*this);
    if (duplicates > 0)
        out << u"Doublons gardés une fois : "_s + rows(duplicates);
    if (replacedCharacters > 0)
        out << u"Caractères remplacés ou supprimés (absents de Windows-1252) : "_s
                + QString::number(replacedCharacters);
    if (!purchasePrice.isEmpty())
        out << u"Prix d'achat : "_s + purchasePrice + u" (achat du véhicule dans le fichier)"_s;
    if (purchaseDate.isValid())
        out << u"Date d'achat : "_s + dateText(purchaseDate)
                + (purchaseFromFile ? u" (achat du véhicule dans le fichier)"_s
                                    : u" (date de la plus ancienne écriture)"_s);
    if (registrationDate.isValid())
        out << u"Première mise en circulation : "_s + dateText(registrationDate)
                + (registrationFromYear ? u" (l'année du véhicule, à vérifier)"_s
                                        : u" (la date d'achat, à vérifier)"_s);
    for (const Doubt &d : doubts)
        out << u"Doute : "_s + d.text;
    out << unreadable(*this); // the rows that could not be read close the report
    return out;
}

namespace {

Result failed(Result &res, const QString &error)
{
    res.ok = false;
    res.error = error;
    return std::move(res);
}

QString readError(const QString &name) { return u"Ne peut lire le fichier %1"_s.arg(name); }

// The first records that hold anything; false on a read error.
bool lookAt(csv::Reader &in, Look &look)
{
    csv::Record r;
    while (look.records.size() < size_t(kLookAhead) && in.next(r))
        if (!r.isBlank())
            look.records.push_back(r);
    return in.error() != csv::Reader::Error::Read;
}

} // namespace

std::vector<Evidence> weighFormats(QIODevice &device)
{
    const qint64 at = device.pos();
    std::vector<Evidence> out;
    {
        csv::Reader in(device);
        Look look;
        lookAt(in, look);
        for (const Format &f : formats())
            out.push_back({f.name, f.weigh(look)});
    }
    device.seek(at);
    return out;
}

Result importDevice(QIODevice &device, const Options &options, const QDate &today, const QString &name)
{
    Result res;
    res.record = VehicleRecord::create(today);
    csv::Reader in(device);

    // The reader with the strongest evidence in the first records; the first on a tie.
    Look look;
    if (!lookAt(in, look))
        return failed(res, readError(name));
    const Format *format = nullptr;
    int best = evidence::None;
    for (const Format &f : formats()) {
        const int strength = f.weigh(look);
        if (strength > best) {
            best = strength;
            format = &f;
        }
    }
    // What the file begins with, for a format whose reader fixes the columns; a spreadsheet's
    // reader shows its own table instead.
    for (size_t i = 0; i < look.records.size() && i < size_t(kPreviewRows); ++i) {
        QStringList fields;
        for (int k = 0; k < look.records[i].size(); ++k)
            fields << look.records[i].text(k);
        res.report.preview.push_back(fields);
    }
    look = {};
    if (!format)
        return failed(res, u"Format de fichier non reconnu\nFormats reconnus : "_s
                               + knownFormats().join(u", "_s));
    if (!in.rewind())
        return failed(res, readError(name));

    Builder builder(res.report, options.vehicle);
    builder.expect(device.size());
    if (format->read == readSpreadsheet)
        res.report.preview.clear();
    if (!options.columns.empty() && format->read != readSpreadsheet)
        return failed(res, u"Le format de %1 (%2) fixe ses colonnes : le choix des colonnes ne "
                           u"s'applique qu'à un tableur"_s.arg(name, format->name));
    builder.setColumnChoices(options.columns);
    format->read(in, builder, res.report);
    if (!res.report.unknownColumns.isEmpty()) {
        QStringList headers;
        if (!res.report.preview.empty())
            headers = res.report.preview.front();
        return failed(res, u"Aucune colonne « %1 » dans %2 (colonnes du fichier : %3)"_s.arg(
                               res.report.unknownColumns.join(u" », « "_s), name, headers.join(u", "_s)));
    }
    switch (in.error()) {
    case csv::Reader::Error::None:
        break;
    case csv::Reader::Error::Read:
        return failed(res, readError(name));
    case csv::Reader::Error::RecordTooLong:
        return failed(res, u"Ligne %1 trop longue : %2 n'est pas un tableau lisible"_s
                               .arg(in.errorLine())
                               .arg(name));
    }
    switch (builder.finish(options.order, res.record)) {
    case Builder::Finish::Done:
        break;
    case Builder::Finish::NeedsOrder:
    case Builder::Finish::NeedsVehicle:
        res.record = VehicleRecord::create(today); // nothing until the caller settles it
        res.ok = true;
        return res;
    case Builder::Finish::NoSuchVehicle:
        res.record = VehicleRecord::create(today);
        return failed(res, u"Aucun véhicule « %1 » dans %2 %3"_s.arg(
                               options.vehicle.trimmed(), name,
                               res.report.vehicles.empty()
                                   ? u": le fichier ne nomme aucun véhicule"_s
                                   : u"(véhicules du fichier : "_s
                                       + vehicleListText(res.report.vehicles) + u')'));
    }
    // A file read but not understood is no empty success.
    if (res.report.entryCount() == 0) {
        res.record = VehicleRecord::create(today);
        res.noEntry = true;
        return failed(res, u"Aucune écriture trouvée dans %1"_s.arg(name));
    }
    res.ok = true;
    return res;
}

Result importFile(const QString &path, const Options &options, const QDate &today)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        Result res;
        res.record = VehicleRecord::create(today);
        res.error = u"Ne peut ouvrir le fichier %1"_s.arg(path);
        return res;
    }
    return importDevice(file, options, today, path);
}

} // namespace importer
