#include "core/reports/yearlysums.h"

#include "core/vehicle/textrules.h"

#include <QStringView>

#include <algorithm>

namespace yearlysums {

using textrules::NumberKind;

std::optional<int> dateYear(const QString &dateText)
{
    const QStringView digits = QStringView(dateText).mid(6, 4);
    qsizetype i = 0;
    while (i < digits.size() && digits[i] == QLatin1Char(' '))
        ++i;
    bool negative = false;
    if (i < digits.size() && (digits[i] == QLatin1Char('+') || digits[i] == QLatin1Char('-'))) {
        negative = digits[i] == QLatin1Char('-');
        ++i;
    }
    if (i == digits.size())
        return std::nullopt;
    int year = 0;
    for (; i < digits.size(); ++i) {
        const char16_t c = digits[i].unicode();
        if (c < u'0' || c > u'9')
            return std::nullopt;
        year = year * 10 + (c - u'0');
    }
    return negative ? -year : year;
}

namespace {

// Ledger amounts are stored in two-decimal form ("1234.50", "-3.00"). Reading that form
// directly keeps a ledger of 100 000 entries fast; any other text goes through the general
// reader. The value is the exact quotient cents / 100 rounded once, which is what a correctly
// rounded reading of the decimal text gives.
textrules::NumberRead readAmount(const QString &text)
{
    const qsizetype n = text.size();
    const QChar *c = text.constData();
    qsizetype i = 0;
    const bool negative = n > 0 && c[0] == QLatin1Char('-');
    if (negative)
        i = 1;
    const qsizetype digits = n - i - 3;
    if (digits < 1 || digits > 15 || c[n - 3] != QLatin1Char('.'))
        return textrules::readNumber(text);
    long long cents = 0;
    for (; i < n; ++i) {
        if (i == n - 3)
            continue;
        const char16_t d = c[i].unicode();
        if (d < u'0' || d > u'9')
            return textrules::readNumber(text);
        cents = cents * 10 + (d - u'0');
    }
    const long double v = static_cast<long double>(cents) / 100;
    return {NumberKind::Number, negative ? -v : v};
}

// Adds the amounts of one ledger to the years they are dated in.
template <typename Entry>
bool addLedger(const std::vector<Entry> &ledger, long double YearFigures::*sum, int first,
               int last, std::vector<YearFigures> &years, std::vector<char> &badAmount)
{
    // Dates and amounts are short: they live in the entries themselves, read in order.
    for (const Entry &e : ledger) {
        const std::optional<int> y = dateYear(e[col::Date]);
        if (!y)
            return false; // met in the very first year: nothing at all is filled
        if (*y < first || *y > last)
            continue;
        const auto index = std::size_t(*y - first);
        if (badAmount[index])
            continue;
        const textrules::NumberRead amount = readAmount(e[col::Montant]);
        if (amount.kind == NumberKind::NotNumber)
            badAmount[index] = 1;
        else if (amount.kind == NumberKind::Number)
            years[index].*sum += amount.value;
        // An entry without an amount costs nothing.
    }
    return true;
}

} // namespace

YearlyScan scanYears(const VehicleRecord &r, const QDate &today, int maxYears)
{
    YearlyScan s;
    if (!r.DateTimePicker1.isValid() || !today.isValid() || maxYears <= 0)
        return s;
    const int last = today.year();
    int first = r.DateTimePicker1.year();
    if (last < first)
        return s;
    if (last - first + 1 > maxYears)
        first = last - maxYears + 1;
    s.m_first = first;
    s.m_last = last;

    const int count = last - first + 1;
    s.m_years.resize(std::size_t(count));
    for (int i = 0; i < count; ++i)
        s.m_years[std::size_t(i)].year = first + i;
    s.m_badAmount.assign(std::size_t(count), 0);

    for (int n : {6, 7}) {
        const textrules::NumberRead v = textrules::readNumber(r.edit[std::size_t(n)]);
        if (v.kind == NumberKind::NotNumber)
            s.m_badInsurance = true;
        else if (v.kind == NumberKind::Number)
            s.m_insurance += v.value;
    }

    s.m_badDate = !addLedger(r.ListView1, &YearFigures::fuel, first, last, s.m_years, s.m_badAmount)
                  || !addLedger(r.ListView2, &YearFigures::garage, first, last, s.m_years,
                                s.m_badAmount)
                  || !addLedger(r.ListView3, &YearFigures::parking, first, last, s.m_years,
                                s.m_badAmount);
    return s;
}

YearlyFill YearlyScan::fill(int maxYears) const
{
    YearlyFill f;
    const int count = yearCount();
    if (count == 0 || maxYears <= 0)
        return f;
    const int start = std::max(0, count - maxYears);
    if (m_badDate)
        return f; // every year reads every date, so the first year already stops
    int stop = start;
    while (stop < count && !m_badAmount[std::size_t(stop)])
        ++stop;
    if (stop == start)
        return f;
    if (m_badInsurance) {
        // The first year's ledger sums are placed before the insurance is read.
        f.cutYear = m_years[std::size_t(start)];
        return f;
    }
    f.years.assign(m_years.begin() + start, m_years.begin() + stop);
    f.insuranceVignette = m_insurance;
    return f;
}

YearlyFill yearlyFill(const VehicleRecord &r, const QDate &today, int maxYears)
{
    return scanYears(r, today, maxYears).fill(maxYears);
}

std::array<QString, kGridColumns> headings()
{
    return {QStringLiteral("Année"), QStringLiteral("Carburant"), QStringLiteral("Garage"),
            QStringLiteral("Stationn."), QStringLiteral("Ass./Vig."), QStringLiteral("Total")};
}

QString totalLabel()
{
    return QStringLiteral("Total");
}

namespace {
QString twoDecimals(long double v)
{
    return textrules::formatFixed(v, 2);
}

void placeLedgerSums(std::array<QString, kGridColumns> &row, const YearFigures &y)
{
    row[0] = QString::number(y.year);
    row[1] = twoDecimals(y.fuel);
    row[2] = twoDecimals(y.garage);
    row[3] = twoDecimals(y.parking);
}
} // namespace

void placeYears(GridTexts &grid, const YearlyFill &fill)
{
    // Whole francs, then shown with two zero decimals.
    const QString insurance = textrules::Dec(textrules::formatFixed(fill.insuranceVignette, 0));
    int row = 1;
    for (const YearFigures &y : fill.years) {
        if (row > kGridYears)
            return;
        placeLedgerSums(grid[std::size_t(row)], y);
        grid[std::size_t(row)][4] = insurance;
        ++row;
    }
    if (fill.cutYear && row <= kGridYears)
        placeLedgerSums(grid[std::size_t(row)], *fill.cutYear);
}

int placeTotals(GridTexts &grid)
{
    std::array<long double, 5> total{};
    std::array<long double, 5> value{};
    int totalRow = kGridRows - 1;
    for (int r = 1; r <= kGridYears; ++r) {
        auto &row = grid[std::size_t(r)];
        if (row[0].trimmed().isEmpty()) {
            totalRow = r + 1;
            break;
        }
        for (std::size_t c = 1; c <= 4; ++c) {
            const textrules::NumberRead v = textrules::readNumber(row[c]);
            if (v.isNumber())
                value[c] = v.value;
            total[c] += value[c];
        }
        row[5] = twoDecimals(value[1] + value[2] + value[3] + value[4]);
    }
    auto &row = grid[std::size_t(totalRow)];
    row[0] = totalLabel();
    for (std::size_t c = 1; c <= 4; ++c)
        row[c] = twoDecimals(total[c]);
    row[5] = twoDecimals(total[1] + total[2] + total[3] + total[4]);
    return totalRow;
}

StatsTable statsTable(const VehicleRecord &r, const QDate &today)
{
    StatsTable t;
    t.cells[0] = headings();
    placeYears(t.cells, yearlyFill(r, today, kGridYears));
    t.totalRow = placeTotals(t.cells);
    return t;
}

} // namespace yearlysums
