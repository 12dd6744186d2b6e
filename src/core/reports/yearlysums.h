#pragma once
// Expenses of a vehicle per calendar year, for the statistics table and the bar chart.
//
// The years run from the purchase year to today's year. Fuel, garage and parking sums take the
// entries whose date text holds the year in characters 7 to 10; insurance plus vignette is the
// same figure for every year. A text that is not a number ends the filling where the year by
// year, ledger by ledger, entry by entry reading would meet it; what was filled before stays.

#include "core/vehicle/record.h"

#include <QDate>
#include <QString>

#include <array>
#include <optional>
#include <vector>

namespace yearlysums {

inline constexpr int kGridRows = 64;              // headings, the years, the total row
inline constexpr int kGridColumns = 6;
inline constexpr int kGridYears = kGridRows - 2;  // rows 1 to 62
inline constexpr int kChartYears = 40;

struct YearFigures {
    int year = 0;
    long double fuel = 0;
    long double garage = 0;
    long double parking = 0;
};

struct YearlyFill {
    std::vector<YearFigures> years;       // complete years, oldest first
    long double insuranceVignette = 0;    // the same for every complete year
    // A year whose ledger sums were placed when reading the insurance or the vignette failed:
    // the table shows its year and ledger sums, the chart does not show it.
    std::optional<YearFigures> cutYear;
};

// The result of one pass over the three ledgers for the most recent years of a record.
class YearlyScan {
public:
    // Fills for the most recent `maxYears` years (at most the years scanned).
    YearlyFill fill(int maxYears) const;

    int firstYear() const { return m_first; }
    int lastYear() const { return m_last; }
    int yearCount() const { return m_last >= m_first ? m_last - m_first + 1 : 0; }

private:
    friend YearlyScan scanYears(const VehicleRecord &r, const QDate &today, int maxYears);

    int m_first = 0;  // first year scanned (the purchase year, or later when it is too old)
    int m_last = -1;  // today's year
    bool m_badDate = false;         // some entry has no whole number in characters 7 to 10
    bool m_badInsurance = false;    // insurance or vignette is not a number
    long double m_insurance = 0;
    std::vector<YearFigures> m_years;   // m_first .. m_last
    std::vector<char> m_badAmount;      // per year: an entry of that year has a bad amount
};

// One pass over the entries, keeping the most recent `maxYears` years.
YearlyScan scanYears(const VehicleRecord &r, const QDate &today, int maxYears);

// The years of the record as the table (maxYears = kGridYears) or the chart (kChartYears)
// shows them.
YearlyFill yearlyFill(const VehicleRecord &r, const QDate &today, int maxYears);

// The year of a ledger date text: characters 7 to 10 read as a whole number.
std::optional<int> dateYear(const QString &dateText);

// Statistics grid, [row][column], texts without alignment spaces; empty cells empty.
using GridTexts = std::array<std::array<QString, kGridColumns>, kGridRows>;

// Row 0: "Année", "Carburant", "Garage", "Stationn.", "Ass./Vig.", "Total".
std::array<QString, kGridColumns> headings();
// The label of the total row, column 0.
QString totalLabel();

// The years from row 1 down: the year's digits, the three ledger sums in two-decimal form,
// insurance plus vignette rounded to whole francs and written with two decimals.
void placeYears(GridTexts &grid, const YearlyFill &fill);

// From what the grid holds: column 5 of every year row and the total row, which comes after
// one empty row (or is the last row). An empty figure cell counts as the one above it.
// Returns the total row.
int placeTotals(GridTexts &grid);

// The whole table for a record: headings, years, totals.
struct StatsTable {
    GridTexts cells;
    int totalRow = 2;
};
StatsTable statsTable(const VehicleRecord &r, const QDate &today);

} // namespace yearlysums
