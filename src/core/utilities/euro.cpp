#include "core/utilities/euro.h"

#include "core/utilities/utilnumbers.h"

#include <cmath>
#include <limits>

namespace {

__extension__ typedef unsigned __int128 Wide;

constexpr qint32 CountMax = std::numeric_limits<qint32>::max();

// The entry as digits without the comma and the number of digits after it.
struct Entry {
    QString digits;
    int decimals = 0;
};

std::optional<Entry> readEntry(const QString &entry)
{
    Entry e;
    bool comma = false;
    for (const QChar c : entry) {
        if (c == QLatin1Char(',')) {
            if (comma)
                return std::nullopt;
            comma = true;
        } else if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
            e.digits += c;
            if (comma)
                ++e.decimals;
        } else {
            return std::nullopt;
        }
    }
    if (entry.isEmpty())
        return std::nullopt;
    // Zeros that change nothing do not count against the exact range below.
    while (e.decimals > 0 && e.digits.endsWith(QLatin1Char('0'))) {
        e.digits.chop(1);
        --e.decimals;
    }
    qsizetype lead = 0;
    while (lead < e.digits.size() && e.digits[lead] == QLatin1Char('0'))
        ++lead;
    e.digits.remove(0, lead);
    return e;
}

Wide powerOfTen(int n)
{
    Wide p = 1;
    for (int i = 0; i < n; ++i)
        p *= 10;
    return p;
}

// numerator / denominator to the nearest whole number, an exact half to the even neighbour.
Wide divideHalfEven(Wide numerator, Wide denominator)
{
    Wide q = numerator / denominator;
    const Wide twiceRest = 2 * (numerator % denominator);
    if (twiceRest > denominator || (twiceRest == denominator && (q & 1) != 0))
        ++q;
    return q;
}

} // namespace

void EuroConverter::setRate(qint64 rate)
{
    m_rate = rate < 1 ? 1 : rate;
}

void EuroConverter::stepUp()
{
    if (m_rate < std::numeric_limits<qint64>::max())
        ++m_rate;
}

void EuroConverter::stepDown()
{
    setRate(m_rate - 1);
}

QString EuroConverter::rateText() const
{
    return utilnumbers::formatScaled(m_rate, 5);
}

std::optional<qint32> EuroConverter::convertCount(const QString &entry, qint64 rate, Direction d)
{
    const std::optional<Entry> e = readEntry(entry);
    if (!e || rate < 1)
        return std::nullopt;

    // Francs to euros: cents = A × 100000 / R × 100; euros to francs: tenths = A × R × 0,000001 × 100.
    // Entries of reasonable length are computed exactly, so that halves are true decimal halves.
    if (e->digits.size() <= 20 && e->decimals <= 20 && rate <= 1'000'000'000'000'000) {
        Wide a = 0;
        for (const QChar c : e->digits)
            a = a * 10 + Wide(c.unicode() - u'0');
        const Wide count = d == Direction::FrancsToEuros
            ? divideHalfEven(a * powerOfTen(7), Wide(rate) * powerOfTen(e->decimals))
            : divideHalfEven(a * Wide(rate), powerOfTen(e->decimals + 4));
        if (count > Wide(CountMax))
            return std::nullopt;
        return qint32(count);
    }

    // Absurdly long entries: the same formulas in long double.
    QString text = e->digits.isEmpty() ? QStringLiteral("0") : e->digits;
    text += QStringLiteral("E-") + QString::number(e->decimals);
    const std::optional<long double> a = utilnumbers::readComma(text);
    if (!a)
        return std::nullopt;
    const long double r = static_cast<long double>(rate);
    const long double value = d == Direction::FrancsToEuros ? *a * 100000 / r * 100 : *a * r * 0.000001L * 100;
    if (!std::isfinite(value))
        return std::nullopt;
    const long double count = std::nearbyint(value); // the default rounding: halves to even
    if (count > CountMax)
        return std::nullopt;
    return qint32(count);
}

std::optional<QString> EuroConverter::convert(const QString &entry, qint64 rate, Direction d)
{
    const std::optional<qint32> count = convertCount(entry, rate, d);
    if (!count)
        return std::nullopt;
    return utilnumbers::formatScaled(*count, d == Direction::FrancsToEuros ? 2 : 1);
}

void EuroConverter::Init()
{
    if (m_resultShown) {
        m_entry.clear();
        m_result.clear();
    }
    m_resultShown = false;
}

void EuroConverter::keyPress(QChar key)
{
    if (key == QLatin1Char('\r')) {
        m_resultShown = true;
        if (const std::optional<QString> r = convert(m_entry, m_rate, m_direction)) {
            m_result = *r;
            return;
        }
        // A failed conversion is not reported: the next step empties both displays.
    }
    Init();
    if (key == QLatin1Char('.'))
        key = QLatin1Char(',');
    if ((key >= QLatin1Char('0') && key <= QLatin1Char('9')) || key == QLatin1Char(','))
        m_entry += key;
}

void EuroConverter::button(QChar key)
{
    Init();
    m_entry += key;
}
