#include "core/reports/reportfigures.h"

#include "core/reports/yearlysums.h"
#include "core/vehicle/textrules.h"

#include <QFile>
#include <QRegularExpression>

#include <algorithm>

// The grid file is a resource of this library: make sure a program linking it keeps it.
static void initBaremeResource()
{
    Q_INIT_RESOURCE(bareme);
}

namespace reportfigures {

using textrules::NumberKind;

Distances::Distances(const VehicleRecord &r)
{
    auto add = [this](const QString &date, const QString &odometer) {
        const textrules::NumberRead km = textrules::readNumber(odometer);
        if (km.kind == NumberKind::Empty)
            return;
        const std::optional<int> year = yearlysums::dateYear(date);
        if (km.kind == NumberKind::NotNumber || !year) {
            ++m_leftOut;
            return;
        }
        Span &s = m_years[*year];
        s.low = s.count == 0 ? km.value : std::min(s.low, km.value);
        s.high = s.count == 0 ? km.value : std::max(s.high, km.value);
        ++s.count;
    };
    for (const FuelEntry &e : r.ListView1)
        add(e[col::Date], e[col::FuelCompteur]);
    for (const GarageEntry &e : r.ListView2)
        add(e[col::Date], e[col::GarageCompteur]);
}

std::optional<long double> Distances::km(int year) const
{
    const auto it = m_years.find(year);
    if (it == m_years.end())
        return std::nullopt;
    std::optional<long double> before;
    for (auto b = m_years.begin(); b != it; ++b)
        before = before ? std::max(*before, b->second.high) : b->second.high;
    long double d = 0;
    if (before)
        d = it->second.high - *before;
    else if (it->second.count >= 2)
        d = it->second.high - it->second.low;
    if (d <= 0)
        return std::nullopt;
    return d;
}

QString costPerKm(long double total, const std::optional<long double> &km)
{
    if (!km || *km <= 0)
        return {};
    return textrules::formatFixed(total / *km, 3);
}

QString folded(const QString &text)
{
    const QString decomposed = text.normalized(QString::NormalizationForm_D);
    QString out;
    out.reserve(decomposed.size());
    for (const QChar c : decomposed)
        if (c.category() != QChar::Mark_NonSpacing)
            out += c;
    return out.toCaseFolded();
}

bool isPartial(const QString &description)
{
    return folded(description).contains(QLatin1String("plein partiel"));
}

bool breaksChain(const QString &description)
{
    const QString f = folded(description);
    return f.contains(QLatin1String("pleins manques")) || f.contains(QLatin1String("plein manque"));
}

FullToFull fullToFull(const VehicleRecord &r)
{
    FullToFull result;
    struct FillUp {
        long double km = 0;
        long double litres = 0;
        std::optional<int> year;
        bool partial = false;
        bool breaks = false; // the chain cannot go through this one
    };
    std::vector<FillUp> fills;
    fills.reserve(r.ListView1.size());
    for (const FuelEntry &e : r.ListView1) {
        const textrules::NumberRead km = textrules::readNumber(e[col::FuelCompteur]);
        const textrules::NumberRead litres = textrules::readNumber(e[col::FuelLitres]);
        if (!km.isNumber()) {
            // Without its place in the history, a fill-up can be neither counted nor skipped
            // safely; an empty odometer is simply not a reading.
            if (km.kind == NumberKind::NotNumber || litres.kind != NumberKind::Empty)
                ++result.leftOut;
            continue;
        }
        FillUp f;
        f.km = km.value;
        f.year = yearlysums::dateYear(e[col::Date]);
        f.partial = isPartial(e[col::Description]);
        f.breaks = breaksChain(e[col::Description]);
        if (litres.isNumber()) {
            f.litres = litres.value;
        } else {
            ++result.leftOut;
            f.breaks = true; // its litres are unknown: no segment may count them
            f.partial = true;
        }
        fills.push_back(f);
    }
    std::stable_sort(fills.begin(), fills.end(),
                     [](const FillUp &a, const FillUp &b) { return a.km < b.km; });

    std::optional<long double> anchor; // odometer of the last full fill-up of the chain
    long double litres = 0;
    for (const FillUp &f : fills) {
        if (f.breaks) {
            anchor.reset();
            litres = 0;
            if (!f.partial)
                anchor = f.km;
            continue;
        }
        if (!anchor) {
            if (!f.partial)
                anchor = f.km;
            continue;
        }
        litres += f.litres;
        if (f.partial)
            continue;
        const long double km = f.km - *anchor;
        if (km > 0) {
            result.all.litres += litres;
            result.all.km += km;
            ++result.all.segments;
            if (f.year) {
                Consumption &y = result.byYear[*f.year];
                y.litres += litres;
                y.km += km;
                ++y.segments;
            }
        }
        anchor = f.km;
        litres = 0;
    }
    return result;
}

std::optional<std::vector<BaremeGrid>> parseBareme(const QString &text)
{
    std::vector<BaremeGrid> grids;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (QString line : lines) {
        line = line.section(QLatin1Char('#'), 0, 0).trimmed();
        if (line.isEmpty())
            continue;
        const QStringList w = line.split(QRegularExpression(QStringLiteral("\\s+")));
        std::vector<long double> n;
        for (qsizetype i = 1; i < w.size(); ++i) {
            const textrules::NumberRead v = textrules::readNumber(w[i]);
            if (!v.isNumber())
                return std::nullopt;
            n.push_back(v.value);
        }
        if (w[0] == QLatin1String("grille") && n.size() == 2) {
            grids.push_back({int(n[0]), int(n[1]), 0, {}});
        } else if (w[0] == QLatin1String("electrique") && n.size() == 1 && !grids.empty()) {
            grids.back().electricPercent = int(n[0]);
        } else if (n.size() == 4 && !grids.empty()) {
            const textrules::NumberRead cv = textrules::readNumber(w[0]);
            if (!cv.isNumber())
                return std::nullopt;
            grids.back().rows.push_back({int(cv.value), n[0], n[1], n[2], n[3]});
        } else {
            return std::nullopt;
        }
    }
    for (BaremeGrid &g : grids) {
        if (g.rows.empty() || g.lastYear < g.firstYear)
            return std::nullopt;
        std::sort(g.rows.begin(), g.rows.end(),
                  [](const BaremeRow &a, const BaremeRow &b) { return a.cv < b.cv; });
    }
    std::sort(grids.begin(), grids.end(),
              [](const BaremeGrid &a, const BaremeGrid &b) { return a.lastYear < b.lastYear; });
    return grids;
}

const std::vector<BaremeGrid> &baremeGrids()
{
    static const std::vector<BaremeGrid> grids = [] {
        initBaremeResource();
        QFile f(QStringLiteral(":/bareme-kilometrique.txt"));
        if (!f.open(QIODevice::ReadOnly))
            return std::vector<BaremeGrid>();
        return parseBareme(QString::fromUtf8(f.readAll())).value_or(std::vector<BaremeGrid>());
    }();
    return grids;
}

std::optional<BaremeAmount> bareme(const std::vector<BaremeGrid> &grids, int year, int cv,
                                   long double km, bool electric)
{
    if (grids.empty() || km < 0)
        return std::nullopt;
    const BaremeGrid *grid = nullptr;
    for (const BaremeGrid &g : grids)
        if (year >= g.firstYear && year <= g.lastYear)
            grid = &g;
    BaremeAmount a;
    if (!grid) {
        grid = &grids.back();
        a.latestGrid = true;
    }
    const BaremeRow *row = &grid->rows.front();
    for (const BaremeRow &r : grid->rows)
        if (r.cv <= cv)
            row = &r;
    if (km <= 5000)
        a.amount = km * row->upTo5000;
    else if (km <= 20000)
        a.amount = km * row->midRate + row->midFixed;
    else
        a.amount = km * row->above;
    if (electric)
        a.amount = a.amount * (100 + grid->electricPercent) / 100;
    a.firstYear = grid->firstYear;
    a.lastYear = grid->lastYear;
    a.cvRow = row->cv;
    a.electric = electric;
    return a;
}

bool namesElectric(const QString &vehicleType)
{
    const QString f = folded(vehicleType);
    // A hybrid also burns fuel: the grid's increase is for fully electric cars.
    return f.contains(QLatin1String("electri")) && !f.contains(QLatin1String("hybrid"));
}

} // namespace reportfigures
