#include "core/reports/vehiclereport.h"

#include "core/reports/due.h"
#include "core/reports/reportfigures.h"
#include "core/vehicle/textrules.h"

#include <algorithm>
#include <set>

namespace vehiclereport {

using reportfigures::Consumption;
using textrules::NumberKind;

namespace {

QString trimmedOrDash(const QString &text)
{
    const QString t = text.trimmed();
    return t.isEmpty() ? QStringLiteral("—") : t;
}

QString dateOrDash(const QDate &d)
{
    return d.isValid() ? textrules::formatDate(d) : QStringLiteral("—");
}

// "1 relevé illisible laissé de côté", "3 relevés illisibles laissés de côté".
QString leftOutNote(int n, const QString &one, const QString &many)
{
    return n == 1 ? QStringLiteral("1 %1 laissé de côté.").arg(one)
                  : QStringLiteral("%1 %2 laissés de côté.").arg(n).arg(many);
}

QString per100(const Consumption &c)
{
    return c.known() ? textrules::formatFixed(c.per100(), 2) : QString();
}

void addHeader(Content &c, const VehicleRecord &r)
{
    const QString price = textrules::Dec(r.edit[4]);
    const QString cv = textrules::Dec(r.edit[22]);
    c.header = {{QStringLiteral("Marque"), trimmedOrDash(r.edit[1])},
                {QStringLiteral("Modèle"), trimmedOrDash(r.edit[2])},
                {QStringLiteral("Propriétaire"), trimmedOrDash(r.edit[3])},
                {QStringLiteral("Date d'achat"), dateOrDash(r.DateTimePicker1)},
                {QStringLiteral("Prix d'achat"), trimmedOrDash(price)},
                {QStringLiteral("Première mise en circulation"), dateOrDash(r.DateTimePicker2)},
                {QStringLiteral("Carburant"), trimmedOrDash(r.ComboBox1)},
                {QStringLiteral("Puissance fiscale"),
                 cv.isEmpty() ? QStringLiteral("—") : cv + QStringLiteral(" CV")}};
}

// The statistics table, each row with the distance, the cost per km and the full-to-full
// consumption of its year. Returns the chosen year's total and distance.
struct YearTotals {
    std::optional<long double> total;
    std::optional<long double> km;
};
YearTotals addTable(Content &c, const VehicleRecord &r, const Options &o,
                    const reportfigures::Distances &distances, const reportfigures::FullToFull &f2f)
{
    YearTotals chosen;
    c.tableHeadings = QStringList{QStringLiteral("Année"),        QStringLiteral("Carburant"),
                                  QStringLiteral("Garage"),       QStringLiteral("Stationn."),
                                  QStringLiteral("Ass./Vig."),    QStringLiteral("Total"),
                                  QStringLiteral("Km parcourus"), QStringLiteral("Coût / km"),
                                  QStringLiteral("L/100 km")};
    const yearlysums::StatsTable stats = yearlysums::statsTable(r, o.today);
    long double kmSum = 0;
    bool everyYearHasKm = true;
    Consumption shownConsumption; // of the years in the table
    int yearRows = 0;
    for (int row = 1; row < stats.totalRow; ++row) {
        const auto &cells = stats.cells[std::size_t(row)];
        if (cells[0].isEmpty())
            continue;
        const int year = cells[0].toInt();
        if (o.year != 0 && year != o.year)
            continue;
        ++yearRows;
        QStringList line;
        for (const QString &cell : cells)
            line << cell;
        const std::optional<long double> km = distances.km(year);
        const textrules::NumberRead total = textrules::readNumber(cells[5]);
        line << (km ? textrules::formatFixed(*km, 0) : QString())
             << (total.isNumber() ? reportfigures::costPerKm(total.value, km) : QString());
        const auto y = f2f.byYear.find(year);
        line << (y == f2f.byYear.end() ? QString() : per100(y->second));
        if (y != f2f.byYear.end()) {
            shownConsumption.litres += y->second.litres;
            shownConsumption.km += y->second.km;
        }
        c.table.push_back(line);
        if (km)
            kmSum += *km;
        else
            everyYearHasKm = false;
        if (o.year != 0) {
            chosen.km = km;
            if (total.isNumber())
                chosen.total = total.value;
        }
    }
    if (o.year == 0) {
        const auto &cells = stats.cells[std::size_t(stats.totalRow)];
        QStringList line;
        for (const QString &cell : cells)
            line << cell;
        const bool km = yearRows > 0 && everyYearHasKm;
        const textrules::NumberRead total = textrules::readNumber(cells[5]);
        line << (km ? textrules::formatFixed(kmSum, 0) : QString())
             << (km && total.isNumber() ? reportfigures::costPerKm(total.value, kmSum) : QString())
             << per100(shownConsumption);
        c.table.push_back(line);
        c.tableHasTotal = true;
    } else if (yearRows == 0) {
        c.tableNotes << QStringLiteral("L'année %1 n'est pas dans le tableau des statistiques, "
                                       "qui va de l'année d'achat à l'année en cours.")
                            .arg(o.year);
    }
    c.tableNotes << QStringLiteral("Les montants sont ceux de « Statistiques ». Km parcourus : le plus "
                                   "haut compteur de l'année (pleins et garage) moins le plus haut "
                                   "des années d'avant. Coût / km : le total de l'année divisé par "
                                   "cette distance.");
    if (distances.leftOut() > 0)
        c.tableNotes << leftOutNote(distances.leftOut(), QStringLiteral("compteur illisible"),
                                    QStringLiteral("compteurs illisibles"));
    return chosen;
}

void addChart(Content &c, const VehicleRecord &r, const Options &o)
{
    c.chart = yearlysums::yearlyFill(r, o.today, yearlysums::kChartYears);
    c.chart.cutYear.reset();
    if (o.year != 0) {
        std::erase_if(c.chart.years,
                      [&o](const yearlysums::YearFigures &y) { return y.year != o.year; });
    }
}

void addGarage(Content &c, const VehicleRecord &r, const Options &o)
{
    long double sum = 0;
    int unreadable = 0;
    for (const GarageEntry &e : r.ListView2) {
        if (o.year != 0 && yearlysums::dateYear(e[col::Date]) != o.year)
            continue;
        GarageLine line{e[col::Date], e[col::Description], e[col::GarageCompteur], e[col::Montant], {}};
        if (due::namesInspection(e[col::Description]))
            line.mark = QStringLiteral("Contrôle technique");
        else if (due::namesService(e[col::Description]))
            line.mark = QStringLiteral("Entretien");
        const textrules::NumberRead amount = textrules::readNumber(e[col::Montant]);
        if (amount.isNumber())
            sum += amount.value;
        else if (amount.kind == NumberKind::NotNumber)
            ++unreadable;
        c.garage.push_back(line);
    }
    if (c.garage.empty())
        c.garageNotes << QStringLiteral("Aucune entrée de garage pour cette période.");
    else
        c.garageNotes << QStringLiteral("Total des entrées : %1.").arg(textrules::formatFixed(sum, 2));
    if (unreadable > 0)
        c.garageNotes << leftOutNote(unreadable, QStringLiteral("montant illisible"),
                                     QStringLiteral("montants illisibles"));
    const due::Report report = due::compute(r, o.today);
    for (const due::Reminder &rem : report.reminders)
        c.due << due::sentence(rem);
}

void addConsumption(Content &c, const VehicleRecord &r, const Options &o,
                    const reportfigures::FullToFull &f2f)
{
    const QString shown = r.edit[25].trimmed();
    c.consumption.push_back({QStringLiteral("Consommation aux 100 (page « Carburant »)"),
                             shown.isEmpty() ? QStringLiteral("—") : shown + QStringLiteral(" L/100 km")});
    auto figure = [](const Consumption &k) {
        if (!k.known())
            return QStringLiteral("—");
        return QStringLiteral("%1 L/100 km (%2 L sur %3 km)")
            .arg(per100(k), textrules::formatFixed(k.litres, 2), textrules::formatFixed(k.km, 0));
    };
    if (o.year != 0) {
        const auto y = f2f.byYear.find(o.year);
        c.consumption.push_back({QStringLiteral("De plein à plein en %1").arg(o.year),
                                 figure(y == f2f.byYear.end() ? Consumption() : y->second)});
    }
    c.consumption.push_back({QStringLiteral("De plein à plein, toutes les années"), figure(f2f.all)});
    c.consumptionNotes
        << QStringLiteral("De plein à plein : les pleins sont rangés par kilométrage ; entre deux pleins "
                          "complets, les litres de chaque plein après le premier jusqu'au second inclus, "
                          "divisés par la distance parcourue, × 100. Un plein dont la description contient "
                          "« plein partiel » est partiel ; « pleins manqués » coupe la chaîne.");
    if (f2f.leftOut > 0)
        c.consumptionNotes << leftOutNote(f2f.leftOut, QStringLiteral("plein illisible"),
                                          QStringLiteral("pleins illisibles"));
}

void addFraisReels(Content &c, const VehicleRecord &r, const Options &o, const YearTotals &year)
{
    if (o.year == 0 || !o.kmPro)
        return;
    const long double d = *o.kmPro;
    c.fraisReels.push_back({QStringLiteral("Kilomètres professionnels %1").arg(o.year),
                            textrules::formatFixed(d, 0) + QStringLiteral(" km")});
    const textrules::NumberRead cv = textrules::readNumber(r.edit[22]);
    const int horsepower = cv.isNumber() ? int(textrules::roundHalfEven(cv.value)) : 0;
    const bool electric = reportfigures::namesElectric(r.ComboBox1);
    std::optional<reportfigures::BaremeAmount> b;
    if (horsepower > 0)
        b = reportfigures::bareme(reportfigures::baremeGrids(), o.year, horsepower, d, electric);
    if (b) {
        const QString row = b->cvRow <= reportfigures::baremeGrids().back().rows.front().cv
                                ? QStringLiteral("%1 CV et moins").arg(b->cvRow)
                            : b->cvRow >= reportfigures::baremeGrids().back().rows.back().cv
                                ? QStringLiteral("%1 CV et plus").arg(b->cvRow)
                                : QStringLiteral("%1 CV").arg(b->cvRow);
        c.fraisReels.push_back({QStringLiteral("Barème kilométrique (%1%2)")
                                    .arg(row, electric ? QStringLiteral(", électrique +20 %") : QString()),
                                textrules::formatFixed(b->amount, 2)});
    } else {
        c.fraisReels.push_back({QStringLiteral("Barème kilométrique"),
                                QStringLiteral("— (puissance fiscale inconnue)")});
    }
    std::optional<long double> real;
    if (year.total && year.km)
        real = *year.total * (d / *year.km);
    c.fraisReels.push_back(
        {QStringLiteral("Frais réels (total × %1 / Km parcourus)").arg(textrules::formatFixed(d, 0)),
         real ? textrules::formatFixed(*real, 2) : QStringLiteral("— (kilomètres parcourus inconnus)")});
    if (b && real) {
        c.fraisReels.push_back({QStringLiteral("Le plus élevé"),
                                b->amount >= *real ? QStringLiteral("le barème kilométrique")
                                                   : QStringLiteral("les frais réels")});
    }
    if (year.km && d > *year.km)
        c.fraisReelsNotes << QStringLiteral("Les kilomètres professionnels dépassent les kilomètres "
                                            "parcourus dans l'année.");
    if (b) {
        QString grid = QStringLiteral("Grille utilisée : barème kilométrique des voitures, revenus %1 à %2")
                           .arg(b->firstYear)
                           .arg(b->lastYear);
        if (b->latestGrid)
            grid += QStringLiteral(" (l'année %1 n'est couverte par aucune grille connue : la plus "
                                   "récente est utilisée)")
                        .arg(o.year);
        c.fraisReelsNotes << grid + QStringLiteral(".");
    }
    c.fraisReelsNotes << QStringLiteral("Ce calcul est une information, pas un conseil fiscal. La grille est "
                                        "en euros ; les montants du fichier sont pris tels qu'ils sont.");
}

} // namespace

std::vector<int> yearsWithEntries(const VehicleRecord &r)
{
    std::set<int> years;
    auto add = [&years](const auto &ledger) {
        for (const auto &e : ledger)
            if (const std::optional<int> y = yearlysums::dateYear(e[col::Date]))
                years.insert(*y);
    };
    add(r.ListView1);
    add(r.ListView2);
    add(r.ListView3);
    return {years.begin(), years.end()};
}

Content build(const VehicleRecord &r, const Options &o)
{
    Content c;
    c.title = QStringLiteral("Bilan du véhicule");
    c.period = o.year == 0 ? QStringLiteral("Toutes les années") : QStringLiteral("Année %1").arg(o.year);
    addHeader(c, r);
    const reportfigures::Distances distances(r);
    const reportfigures::FullToFull f2f = reportfigures::fullToFull(r);
    const YearTotals year = addTable(c, r, o, distances, f2f);
    addChart(c, r, o);
    addGarage(c, r, o);
    addConsumption(c, r, o, f2f);
    addFraisReels(c, r, o, year);
    const QString name = o.fileName.isEmpty() ? QStringLiteral("(sans nom)") : o.fileName;
    c.footer = QStringLiteral("%1 — établi le %2").arg(name, textrules::formatDate(o.today));
    return c;
}

QString plainText(const Content &c)
{
    QStringList out;
    out << c.title << c.period;
    for (const Field &f : c.header)
        out << f.label + QStringLiteral(" : ") + f.value;
    out << QStringLiteral("Dépenses par année") << c.tableHeadings.join(QLatin1Char('\t'));
    for (const QStringList &row : c.table)
        out << row.join(QLatin1Char('\t'));
    out << c.tableNotes;
    out << QStringLiteral("Carnet d'entretien");
    for (const GarageLine &g : c.garage)
        out << QStringList{g.date, g.description, g.odometer, g.amount, g.mark}.join(QLatin1Char('\t'));
    out << c.garageNotes << c.due;
    out << QStringLiteral("Consommation");
    for (const Field &f : c.consumption)
        out << f.label + QStringLiteral(" : ") + f.value;
    out << c.consumptionNotes;
    if (!c.fraisReels.empty()) {
        out << QStringLiteral("Frais réels");
        for (const Field &f : c.fraisReels)
            out << f.label + QStringLiteral(" : ") + f.value;
        out << c.fraisReelsNotes;
    }
    out << c.footer;
    return out.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

} // namespace vehiclereport
