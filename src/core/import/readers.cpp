#include "core/import/readers.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace importer {

Header::Header(const csv::Record &record)
{
    for (int i = 0; i < record.size(); ++i) {
        const QString text = record.text(i).trimmed();
        // "Odo (mi)": the name, and the unit in parentheses.
        const qsizetype open = text.indexOf(u'(');
        const qsizetype close = open < 0 ? -1 : text.indexOf(u')', open);
        m_originals.push_back(text);
        if (open > 0) {
            m_names.push_back(normalizeName(QStringView(text).left(open)));
            m_units.push_back(normalizeName(
                QStringView(text).mid(open + 1, close < 0 ? -1 : close - open - 1)));
        } else {
            m_names.push_back(normalizeName(text));
            m_units.push_back(QString());
        }
    }
}

int Header::find(const QString &name) const
{
    for (size_t i = 0; i < m_names.size(); ++i)
        if (m_names[i] == name)
            return int(i);
    return -1;
}

int Header::findAny(std::initializer_list<const char16_t *> names) const
{
    for (const char16_t *n : names)
        for (size_t i = 0; i < m_names.size(); ++i)
            if (m_names[i] == QStringView(n))
                return int(i);
    return -1;
}

bool isTableMarker(const csv::Record &record, QString *table)
{
    if (record.size() == 0)
        return false;
    const QByteArrayView first = record.bytes(0).trimmed();
    if (!first.startsWith("##"))
        return false;
    for (int i = 1; i < record.size(); ++i)
        if (!record.bytes(i).trimmed().isEmpty())
            return false;
    if (table)
        *table = normalizeName(record.text(0).trimmed().mid(2));
    return true;
}

bool isTitleLine(const csv::Record &record, QString *title)
{
    const QByteArrayView first = record.size() == 0 ? QByteArrayView() : record.bytes(0).trimmed();
    if (first.isEmpty() || first.startsWith("##"))
        return false;
    for (int i = 1; i < record.size(); ++i)
        if (!record.bytes(i).trimmed().isEmpty())
            return false;
    const QString name = normalizeName(record.text(0));
    if (name.isEmpty())
        return false;
    if (title)
        *title = name;
    return true;
}

const std::vector<Format> &formats()
{
    static const std::vector<Format> all{
        {u"sauvegarde Fuelio"_s, weighPhoneBackup, readPhoneBackup},
        {u"exports LubeLogger (carburant, entretien, taxes)"_s, weighLedgerExport, readLedgerExport},
        {u"export Drivvo"_s, weighDrivvo, readDrivvo},
        {u"exports Fuelly (pleins, entretiens)"_s, weighFuelly, readFuelly},
        {u"export aCar"_s, weighACar, readACar},
        {u"export Spritmonitor"_s, weighSpritmonitor, readSpritmonitor},
        {u"exports My Fuel Manager (carburant, coûts)"_s, weighMyFuelManager, readMyFuelManager},
        {u"export Car Report"_s, weighCarReport, readCarReport},
        {u"export d'un registre par « Exporter... » de Tev Auto"_s, weighOwnExport, readOwnExport},
        {u"tableur CSV dont une ligne nomme les colonnes"_s, weighSpreadsheet, readSpreadsheet},
    };
    return all;
}

DistanceUnit distanceFromUnit(const QString &unit)
{
    static const QStringList miles{u"mi"_s,   u"mile"_s,   u"miles"_s,  u"ми"_s,    u"миль"_s,
                                   u"миля"_s, u"milhas"_s, u"millas"_s, u"meilen"_s};
    static const QStringList km{u"km"_s,         u"kms"_s,       u"kilometre"_s, u"kilometres"_s,
                                u"kilometer"_s,  u"kilometers"_s, u"км"_s,        u"quilometros"_s};
    if (miles.contains(unit))
        return DistanceUnit::Miles;
    if (km.contains(unit))
        return DistanceUnit::Km;
    return DistanceUnit::Unknown;
}

VolumeUnit volumeFromUnit(const QString &unit)
{
    if (unit.contains(u"gal") || unit.contains(u"гал")) {
        if (unit.contains(u"imp") || unit.contains(u"uk"))
            return VolumeUnit::ImperialGallons;
        return VolumeUnit::UsGallons;
    }
    if (unit.startsWith(u"lit") || unit == u"l" || unit == u"л" || unit == u"lt" || unit == u"ltr")
        return VolumeUnit::Litres;
    if (unit == u"kg" || unit == u"кг" || unit == u"kilogram" || unit == u"kilograms"
        || unit == u"kilogramme" || unit == u"kilogrammes")
        return VolumeUnit::Kg;
    if (unit == u"kwh" || unit == u"kw h" || unit == u"квт ч" || unit == u"квтч")
        return VolumeUnit::KWh;
    return VolumeUnit::Unknown;
}

DateOrder orderOfPattern(const QString &pattern)
{
    const QString p = pattern.toLower();
    const qsizetype d = p.indexOf(u'd'), m = p.indexOf(u'm'), y = p.indexOf(u'y');
    if (d < 0 || m < 0 || y < 0)
        return DateOrder::Unknown;
    if (y < m && y < d)
        return DateOrder::YMD;
    return d < m ? DateOrder::DMY : DateOrder::MDY;
}

namespace {

struct LeftOutKind {
    QStringList words;
    QString category;
    QString reason;
};

const std::vector<LeftOutKind> &leftOutKinds()
{
    const QString fixedCost = u"frais fixe annuel, à porter sur la page « Frais / Km »"_s;
    static const std::vector<LeftOutKind> kinds{
        {{u"assurance"_s, u"assurances"_s, u"insurance"_s, u"seguro"_s, u"versicherung"_s,
          u"страховка"_s, u"страхование"_s, u"осаго"_s, u"каско"_s},
         u"Assurance"_s, fixedCost},
        {{u"taxe"_s, u"taxes"_s, u"tax"_s, u"impot"_s, u"impots"_s, u"vignette"_s, u"ipva"_s,
          u"imposto"_s, u"steuer"_s, u"kfz steuer"_s, u"налог"_s},
         u"Taxes"_s, fixedCost},
        {{u"amende"_s, u"amendes"_s, u"fine"_s, u"fines"_s, u"contravention"_s,
          u"contraventions"_s, u"pv"_s, u"multa"_s, u"multas"_s, u"bussgeld"_s, u"strafzettel"_s,
          u"штраф"_s, u"штрафы"_s},
         u"Amendes"_s, u"pas une dépense d'utilisation"_s},
        {{u"immatriculation"_s, u"registration"_s, u"grise"_s, u"licenciamento"_s,
          u"zulassung"_s, u"регистрация"_s},
         u"Immatriculation"_s, u"frais administratif, pas une dépense d'utilisation"_s},
        {{u"revenu"_s, u"revenus"_s, u"income"_s, u"recette"_s, u"recettes"_s, u"receita"_s,
          u"einnahme"_s, u"einnahmen"_s, u"доход"_s},
         u"Revenus"_s, u"des recettes, pas des dépenses"_s},
        {{u"financement"_s, u"financing"_s, u"loan"_s, u"leasing"_s, u"financiamento"_s,
          u"kredit"_s, u"кредит"_s},
         u"Financement"_s, u"coût du capital, à porter sur la page « Frais / Km » (crédit annuel)"_s},
    };
    return kinds;
}

bool isParkingWord(const QString &w)
{
    static const QStringList words{u"estacionamento"_s, u"pedagio"_s, u"parkplatz"_s, u"parken"_s,
                                   u"parkgebuhr"_s, u"maut"_s, u"peaje"_s, u"aparcamiento"_s,
                                   u"estacionamiento"_s, u"парковка"_s, u"стоянка"_s, u"платная"_s,
                                   u"tolls"_s};
    return w.startsWith(u"parking") || w.startsWith(u"peage") || w.startsWith(u"stationnement")
        || w.startsWith(u"toll") || words.contains(w);
}

// The purchase of the vehicle itself, by a whole title (not "achat pneus").
bool isPurchase(const QString &normalized)
{
    static const QStringList titles{
        u"bought"_s, u"purchase"_s, u"purchased"_s, u"vehicle purchase"_s, u"car purchase"_s,
        u"purchase of vehicle"_s, u"achat"_s, u"achat vehicule"_s, u"achat du vehicule"_s,
        u"achat voiture"_s, u"achat de la voiture"_s, u"compra"_s, u"compra do veiculo"_s,
        u"compra do carro"_s, u"compra del vehiculo"_s, u"kauf"_s, u"fahrzeugkauf"_s,
        u"покупка"_s, u"покупка автомобиля"_s, u"покупка машины"_s};
    return titles.contains(normalized);
}

} // namespace

CostClass classifyCost(QStringView text)
{
    const QString n = normalizeName(text);
    if (isPurchase(n))
        return {CostKind::Purchase, {}, {}};
    const QStringList words = n.split(u' ', Qt::SkipEmptyParts);
    for (const LeftOutKind &k : leftOutKinds())
        for (const QString &w : words)
            if (k.words.contains(w))
                return {CostKind::LeftOut, k.category, k.reason};
    for (const QString &w : words)
        if (isParkingWord(w))
            return {CostKind::Parking, {}, {}};
    return {};
}

void sendCost(Builder &out, Row &row, const CostClass &c)
{
    switch (c.kind) {
    case CostKind::Purchase:
        out.purchase(row);
        return;
    case CostKind::Parking:
        row.ledger = Ledger::Parking;
        break;
    case CostKind::LeftOut:
        row.ledger = Ledger::LeftOut;
        row.leftOut = out.leftOutCategory(c.category, c.reason);
        break;
    case CostKind::Garage:
        row.ledger = Ledger::Garage;
        break;
    }
    out.add(std::move(row));
}

void SkippedTables::enter(const QString &title)
{
    m_current = title;
    m_counting = true;
    if (std::none_of(m_tables.begin(), m_tables.end(),
                     [&title](const SkippedTable &t) { return t.name == title; }))
        m_tables.push_back({title, 0});
}

void SkippedTables::count()
{
    if (!m_counting)
        return;
    for (SkippedTable &t : m_tables)
        if (t.name == m_current)
            ++t.rows;
}

void SkippedTables::report(Report &report) const
{
    for (const SkippedTable &t : m_tables)
        report.skippedTables.push_back(t);
}

} // namespace importer
