#pragma once
// Figures of the vehicle report that the windows do not show: the distance driven each year,
// the cost per kilometre, the consumption from one full tank to the next, and the French
// barème kilométrique. Shown beside the statistics, never in their place.

#include "core/vehicle/record.h"

#include <QString>

#include <map>
#include <optional>
#include <vector>

namespace reportfigures {

// Odometer readings of the fuel and garage ledgers, by the year of their date text (characters
// 7 to 10, as the statistics count an entry).
class Distances {
public:
    explicit Distances(const VehicleRecord &r);

    // The year's highest reading minus the highest before that year, or minus the year's
    // lowest when there is none before. Nothing with fewer than two readings, or when the
    // readings do not go forward.
    std::optional<long double> km(int year) const;
    // Readings that were there but did not read as a number, or whose date has no year.
    int leftOut() const { return m_leftOut; }

private:
    struct Span {
        long double low = 0;
        long double high = 0;
        int count = 0;
    };
    std::map<int, Span> m_years;
    int m_leftOut = 0;
};

// The total over the distance with three decimals; empty without a distance.
QString costPerKm(long double total, const std::optional<long double> &km);

// Litres over kilometres of the segments between full fill-ups.
struct Consumption {
    long double litres = 0;
    long double km = 0;
    int segments = 0;
    bool known() const { return km > 0; }
    long double per100() const { return known() ? litres * 100 / km : 0; }
};

struct FullToFull {
    Consumption all;
    std::map<int, Consumption> byYear; // by the year of each segment's closing fill-up
    int leftOut = 0;                   // fill-ups whose litres or odometer do not read
};

// A description saying the tank was not filled up: "plein partiel", case and accents ignored.
bool isPartial(const QString &description);
// A description saying fill-ups were not written down before this one: "pleins manqués".
bool breaksChain(const QString &description);

// Fill-ups sorted by odometer; between two consecutive full ones, the litres of every fill-up
// after the first up to and including the second over the distance between them. A fill-up
// that breaks the chain, or whose litres do not read, starts the chain again.
FullToFull fullToFull(const VehicleRecord &r);

// The barème kilométrique: one grid per range of income years.
struct BaremeRow {
    int cv = 0;               // this many CV (the first row also takes fewer, the last more)
    long double upTo5000 = 0; // d × rate up to 5 000 km
    long double midRate = 0;  // d × rate + fixed from 5 001 to 20 000 km
    long double midFixed = 0;
    long double above = 0;    // d × rate above 20 000 km
};
struct BaremeGrid {
    int firstYear = 0;
    int lastYear = 0;
    int electricPercent = 0;
    std::vector<BaremeRow> rows; // by horsepower, lowest first
};

// Reads the grid file: "grille FIRST LAST", "electrique PERCENT", rows "CV a b c d"; '#' starts
// a comment. Lines that do not read are an error (nothing is returned).
std::optional<std::vector<BaremeGrid>> parseBareme(const QString &text);
// The grids shipped with the program, latest last.
const std::vector<BaremeGrid> &baremeGrids();

struct BaremeAmount {
    long double amount = 0;
    int firstYear = 0; // the grid used
    int lastYear = 0;
    int cvRow = 0;     // the horsepower row used
    bool latestGrid = false; // the year is outside every grid: the latest one was used
    bool electric = false;
};
// The deductible amount for `km` kilometres in income year `year`; nothing without a grid.
std::optional<BaremeAmount> bareme(const std::vector<BaremeGrid> &grids, int year, int cv,
                                   long double km, bool electric);

// A vehicle type naming an electric vehicle ("Électrique", "electrique", "100 % électrique").
bool namesElectric(const QString &vehicleType);

// Lower case without accents, for the tests on descriptions.
QString folded(const QString &text);

} // namespace reportfigures
