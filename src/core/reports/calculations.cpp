#include "core/reports/calculations.h"

#include "core/vehicle/textrules.h"

#include <cmath>
#include <cstdlib>

using textrules::NumberKind;
using textrules::NumberRead;
using textrules::readNumber;

namespace {

// A value of an input: empty gives `fallback`; a text that is not a number stops the
// calculation (nothing).
std::optional<long double> valueOr(const QString &text, long double fallback)
{
    const NumberRead r = readNumber(text);
    switch (r.kind) {
    case NumberKind::Empty: return fallback;
    case NumberKind::Number: return r.value;
    case NumberKind::NotNumber: break;
    }
    return std::nullopt;
}

// The shown figure without its alignment spaces: the value rounded with `decimals` decimals,
// then written again in the two-decimal form of the number fields. A result too large to
// hold keeps the field's previous text.
CalcText result(long double value, int decimals)
{
    if (!std::isfinite(value))
        return std::nullopt;
    return textrules::Dec(textrules::formatFixed(value, decimals));
}

// "00.0" then two decimals: 234.56 shows as 234.60.
CalcText totalText(long double value) { return result(value, 1); }

CalcText sumOf(const VehicleRecord &r, std::initializer_list<int> fields)
{
    long double sum = 0;
    for (int f : fields) {
        const auto v = valueOr(r.edit[std::size_t(f)], 0);
        if (!v)
            return std::nullopt;
        sum += *v;
    }
    return totalText(sum);
}

// Only a to z are raised: accented letters stay as typed, so "diésel" is not Diesel.
QString upperAsciiLetters(QString s)
{
    for (QChar &c : s)
        if (c.unicode() >= u'a' && c.unicode() <= u'z')
            c = QChar(char16_t(c.unicode() - u'a' + u'A'));
    return s;
}

int expectedKmPerMonth(const QString &vehicleType)
{
    const QString t = upperAsciiLetters(vehicleType);
    if (t == u"DIESEL")
        return 2100;
    if (t == u"GPL")
        return 1700;
    return 1250;
}

// Francs per kilometre, in hundredths so the products stay exact decimals until the division.
int coefficientHundredths(long long months, long double horsepower)
{
    static constexpr int table[5][4] = {
        {30, 45, 80, 100},
        {25, 35, 60, 75},
        {20, 25, 45, 55},
        {15, 20, 25, 40},
        {10, 15, 25, 30},
    };
    int row = -1;
    if (months >= 0 && months <= 24)
        row = 0;
    else if (months >= 25 && months <= 36)
        row = 1;
    else if (months >= 37 && months <= 48)
        row = 2;
    else if (months >= 49 && months <= 60)
        row = 3;
    else if (months >= 61 && months <= 500)
        row = 4;
    int column = -1;
    if (horsepower >= 2 && horsepower <= 7)
        column = 0;
    else if (horsepower >= 8 && horsepower <= 12)
        column = 1;
    else if (horsepower >= 13 && horsepower <= 16)
        column = 2;
    else if (horsepower >= 17 && horsepower <= 100)
        column = 3;
    return row < 0 || column < 0 ? 0 : table[row][column];
}

// Year and month from the date's "dd/mm/yyyy" text: characters 7 to 10 and 4 to 5.
std::optional<long long> monthIndex(const QDate &date)
{
    const QString text = textrules::formatDate(date);
    bool okYear = false, okMonth = false;
    const int year = QStringView(text).mid(6, 4).toInt(&okYear);
    const int month = QStringView(text).mid(3, 2).toInt(&okMonth);
    if (!okYear || !okMonth)
        return std::nullopt;
    return static_cast<long long>(year) * 12 + month;
}

} // namespace

CalcText Calcul1(const VehicleRecord &r) { return sumOf(r, {5, 6, 7}); }

CalcText Calcul2(const VehicleRecord &r) { return sumOf(r, {8, 9, 10}); }

CalcText Calcul3(const VehicleRecord &r)
{
    const auto litrePrice = valueOr(r.edit[13], 0);
    if (!litrePrice)
        return std::nullopt;
    long double total = *litrePrice;

    const NumberRead consumption = readNumber(r.edit[14]);
    if (consumption.kind == NumberKind::NotNumber)
        return std::nullopt;
    if (consumption.isNumber())
        total = total * consumption.value / 100;

    // An empty or zero interval leaves the whole cost of one maintenance (or four tyres) per km.
    const auto perKm = [](long double cost, long double interval) {
        return interval != 0 ? cost / interval : cost;
    };
    const auto maintenance = valueOr(r.edit[15], 0);
    if (!maintenance)
        return std::nullopt;
    const auto maintenanceInterval = valueOr(r.edit[24], 0);
    if (!maintenanceInterval)
        return std::nullopt;
    total += perKm(*maintenance, *maintenanceInterval);

    const auto tyre = valueOr(r.edit[16], 0);
    if (!tyre)
        return std::nullopt;
    const auto tyreInterval = valueOr(r.edit[17], 0);
    if (!tyreInterval)
        return std::nullopt;
    total += perKm(*tyre * 4, *tyreInterval);
    return totalText(total);
}

CalcText Calcul4(const VehicleRecord &r)
{
    const int kmPerMonth = expectedKmPerMonth(r.ComboBox1);
    const auto evaluation = monthIndex(r.DateTimePicker3);
    const auto registration = monthIndex(r.DateTimePicker2);
    if (!evaluation || !registration)
        return std::nullopt;
    const long long months = *evaluation - *registration;
    const long long expected = months * kmPerMonth;

    const NumberRead hp = readNumber(r.edit[22]);
    if (hp.kind == NumberKind::NotNumber)
        return std::nullopt;
    const long double horsepower = hp.isNumber() ? textrules::roundHalfEven(hp.value) : 2;
    const int k = coefficientHundredths(months, horsepower);

    const auto km = valueOr(r.edit[21], 0);
    if (!km)
        return std::nullopt;
    const auto argus = valueOr(r.edit[19], 0);
    if (!argus)
        return std::nullopt;

    const long double price = *argus + (static_cast<long double>(expected) - *km) * k / 100;
    return totalText(price);
}

Calcul5Result Calcul5(const VehicleRecord &r)
{
    long double amounts = 0, litres = 0, newest = 0, oldest = 0;
    int visited = 0;
    // Reads one column; an empty text fails like any other that is not a number.
    const auto read = [](const QString &text, long double &out) {
        const NumberRead n = readNumber(text);
        if (n.isNumber())
            out = n.value;
        return n.isNumber();
    };
    const auto &rows = r.ListView1;
    for (auto it = rows.rbegin(); it != rows.rend() && visited < 10; ++it, ++visited) {
        const FuelEntry &row = *it;
        if (visited == 0) {
            read(row[col::FuelCompteur], newest);
            continue;
        }
        long double v = 0;
        if (!read(row[col::Montant], v))
            continue;
        amounts += v;
        if (!read(row[col::FuelLitres], v))
            continue;
        litres += v;
        read(row[col::FuelCompteur], oldest);
    }

    const long double distance = std::fabs(newest - oldest);
    if (visited == 0 || !(distance >= 10) || !(litres >= 2))
        return {};
    return {result(litres * 100 / distance, 2), result(amounts / litres, 2)};
}

void applyCalcul(VehicleRecord &r, int which)
{
    auto put = [&r](int field, const CalcText &t) {
        if (t)
            r.edit[std::size_t(field)] = *t;
    };
    switch (which) {
    case 1: put(11, Calcul1(r)); break;
    case 2: put(12, Calcul2(r)); break;
    case 3: put(18, Calcul3(r)); break;
    case 4: put(23, Calcul4(r)); break;
    case 5: {
        const Calcul5Result c = Calcul5(r);
        put(25, c.consumption);
        put(26, c.pricePerLitre);
        break;
    }
    default: break;
    }
}

void computeAll(VehicleRecord &r)
{
    for (int i = 1; i <= 5; ++i)
        applyCalcul(r, i);
}
