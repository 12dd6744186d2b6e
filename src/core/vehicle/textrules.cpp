#include "core/vehicle/textrules.h"

#include <QVarLengthArray>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>

namespace textrules {

namespace {

// Spaces and control characters (C0, DEL, C1).
bool isBlank(QChar c)
{
    const char16_t u = c.unicode();
    return u <= 0x20 || (u >= 0x7F && u <= 0x9F);
}

bool isAsciiDigit(char16_t u) { return u >= u'0' && u <= u'9'; }

// [begin, end) of the text without its leading and trailing blanks.
void blankBounds(const QString &text, qsizetype &begin, qsizetype &end)
{
    begin = 0;
    end = text.size();
    while (begin < end && isBlank(text.at(begin)))
        ++begin;
    while (end > begin && isBlank(text.at(end - 1)))
        --end;
}

constexpr int kSignificant = 18;

// The value to 18 significant digits: digits[0..17] and the power of ten of digits[0].
// Zero gives all '0' and exponent 0.
struct Decimal18 {
    std::array<char, kSignificant> digits{};
    int exponent = 0;
    bool negative = false;
};

// Exact digits through the standard conversion; the slow path.
Decimal18 toDecimal18Exact(long double magnitude, bool negative)
{
    Decimal18 d;
    d.negative = negative;
    char buf[64];
    // "d.ddddddddddddddddde±x": always exactly 18 digits, never locale dependent.
    const auto res = std::to_chars(buf, buf + sizeof buf, magnitude,
                                   std::chars_format::scientific, kSignificant - 1);
    const char *p = buf;
    int n = 0;
    for (; p != res.ptr && *p != 'e'; ++p)
        if (*p >= '0' && *p <= '9' && n < kSignificant)
            d.digits[std::size_t(n++)] = *p;
    while (n < kSignificant)
        d.digits[std::size_t(n++)] = '0';
    if (p != res.ptr)
        std::from_chars(p + 1 + (p[1] == '+'), res.ptr, d.exponent);
    return d;
}

// Scales by one exact power of ten to an 18-digit integer. One rounding step can only
// change the result when the scaled value lies next to a half, so those go the exact way.
Decimal18 toDecimal18(long double value)
{
    const bool negative = std::signbit(value);
    const long double m = std::fabs(value);
    if (m == 0) {
        Decimal18 d;
        d.digits.fill('0');
        d.negative = negative;
        return d;
    }
    if (!(m >= 1e-9L && m < 1e27L))
        return toDecimal18Exact(m, negative);

    int e = 0; // 10^e <= m < 10^(e+1), give or take a rounding at the edges
    if (m >= 1) {
        while (e < 26 && m >= exactPow10(e + 1))
            ++e;
    } else {
        while (m * exactPow10(-e) < 1)
            --e;
    }
    const int shift = kSignificant - 1 - e; // -9 <= shift <= 26
    const long double scaled = shift >= 0 ? m * exactPow10(shift) : m / exactPow10(-shift);
    const long double whole = std::floor(scaled);
    const long double frac = scaled - whole;
    if (frac > 0.4375L && frac < 0.5625L)
        return toDecimal18Exact(m, negative);
    auto n = static_cast<std::uint64_t>(whole) + (frac >= 0.5L ? 1 : 0);
    constexpr std::uint64_t lo = 100000000000000000ULL, hi = 1000000000000000000ULL;
    if (n < lo || n >= hi)
        return toDecimal18Exact(m, negative);

    Decimal18 d;
    d.negative = negative;
    d.exponent = e;
    for (int k = kSignificant - 1; k >= 0; --k, n /= 10)
        d.digits[std::size_t(k)] = char('0' + n % 10);
    return d;
}

} // namespace

long double exactPow10(int n)
{
    static const std::array<long double, 28> table = [] {
        std::array<long double, 28> t{};
        long double p = 1;
        for (auto &x : t) {
            x = p;
            p *= 10;
        }
        return t;
    }();
    return table[std::size_t(n)];
}


// Overflow: a text whose value does not fit a long double (about 1.19e4932) is not a number,
// so it stays as typed and the calculations that meet it stop, rather than carrying an
// infinity into sums and texts. A value too small to hold reads as 0.
NumberRead readNumber(const QString &text)
{
    qsizetype i = 0, end = 0;
    blankBounds(text, i, end);
    if (i == end)
        return {};
    const NumberRead notNumber{NumberKind::NotNumber, 0};
    const QChar *s = text.constData();

    bool negative = false;
    if (s[i] == u'+' || s[i] == u'-') {
        negative = s[i] == u'-';
        ++i;
    }

    // Up to 19 significant digits fit a uint64 exactly; the rest only moves the exponent.
    std::uint64_t mantissa = 0;
    int kept = 0;
    std::int64_t scale = 0; // power of ten applied to mantissa
    bool anyDigit = false, point = false;
    for (; i < end; ++i) {
        const char16_t u = s[i].unicode();
        if (u == u'.') {
            if (point)
                return notNumber;
            point = true;
            continue;
        }
        if (!isAsciiDigit(u))
            break;
        anyDigit = true;
        if (mantissa == 0 && u == u'0') {
            if (point)
                --scale;
            continue;
        }
        if (kept < 19) {
            mantissa = mantissa * 10 + (u - u'0');
            ++kept;
            if (point)
                --scale;
        } else if (!point) {
            ++scale;
        }
    }
    if (!anyDigit && !point)
        return notNumber;

    if (i < end && (s[i] == u'e' || s[i] == u'E')) {
        ++i;
        bool expNegative = false;
        if (i < end && (s[i] == u'+' || s[i] == u'-')) {
            expNegative = s[i] == u'-';
            ++i;
        }
        if (i == end || !isAsciiDigit(s[i].unicode()))
            return notNumber;
        // Saturate: anything past 10^6 is far beyond the range either way.
        std::int64_t exp = 0;
        for (; i < end && isAsciiDigit(s[i].unicode()); ++i)
            if (exp < 1000000)
                exp = exp * 10 + (s[i].unicode() - u'0');
        scale += expNegative ? -exp : exp;
    }
    if (i != end)
        return notNumber;

    long double value = 0;
    if (mantissa != 0) {
        const long double m = static_cast<long double>(mantissa);
        const std::int64_t magnitude = scale + kept; // value < 10^magnitude
        if (magnitude > 4933)
            return notNumber;
        if (magnitude < -4960)
            value = 0;
        else if (scale >= 0 && scale <= 27)
            value = m * exactPow10(int(scale));
        else if (scale < 0 && scale >= -27)
            value = m / exactPow10(int(-scale));
        else
            value = m * std::pow(10.0L, static_cast<long double>(scale));
        if (!std::isfinite(value))
            return notNumber;
    }
    return {NumberKind::Number, negative ? -value : value};
}

QString formatFixed(long double value, int decimals)
{
    if (!std::isfinite(value))
        return {};
    decimals = std::max(decimals, 0);
    const Decimal18 d = toDecimal18(value);

    // Digit k of d.digits has the place value 10^(exponent - k). The output runs from place
    // 10^(intDigits-1) (at least 10^0) down to 10^-decimals; round on the first digit below.
    const int intDigits = std::max(d.exponent + 1, 1);
    const int total = intDigits + decimals;
    QVarLengthArray<char, 64> out(total + 1); // +1 for a carry into a new leading digit
    const int top = d.exponent + 1 - intDigits; // index into d.digits of out[1]
    for (int j = 0; j < total; ++j) {
        const int k = top + j;
        out[j + 1] = k >= 0 && k < kSignificant ? d.digits[std::size_t(k)] : '0';
    }
    out[0] = '0';
    const int next = top + total; // index of the first dropped digit
    if (next >= 0 && next < kSignificant && d.digits[std::size_t(next)] >= '5') {
        int j = total;
        while (out[j] == '9')
            out[j--] = '0';
        ++out[j];
    }

    const int first = out[0] == '0' ? 1 : 0;
    bool zero = true;
    for (int j = first; j <= total; ++j)
        zero = zero && out[j] == '0';
    const bool minus = d.negative && !zero; // never "-0.00"
    const int length = total + 1 - first;
    QString text(length + (minus ? 1 : 0) + (decimals > 0 ? 1 : 0), Qt::Uninitialized);
    QChar *p = text.data();
    if (minus)
        *p++ = u'-';
    for (int j = first; j <= total; ++j) {
        if (j == total + 1 - decimals)
            *p++ = u'.';
        *p++ = QLatin1Char(out[j]);
    }
    return text;
}

long double roundHalfEven(long double value)
{
    if (!std::isfinite(value))
        return value;
    const Decimal18 d = toDecimal18(value);
    if (d.exponent >= kSignificant - 1) // no fraction left at 18 digits
        return std::nearbyint(value);
    if (d.exponent < -1)
        return d.negative ? -0.0L : 0.0L;

    // Integer part (at most 17 digits) and the fraction digits after it.
    std::uint64_t whole = 0;
    for (int k = 0; k <= d.exponent; ++k)
        whole = whole * 10 + std::uint64_t(d.digits[std::size_t(k)] - '0');
    const int first = d.exponent + 1;
    const char next = d.digits[std::size_t(first)];
    bool restNonZero = false;
    for (int k = first + 1; k < kSignificant; ++k)
        restNonZero = restNonZero || d.digits[std::size_t(k)] != '0';
    if (next > '5' || (next == '5' && (restNonZero || whole % 2 == 1)))
        ++whole;
    const long double r = static_cast<long double>(whole);
    return d.negative ? -r : r;
}

QString Dec(const QString &text)
{
    const NumberRead r = readNumber(text);
    if (r.isNumber())
        return formatFixed(r.value, 2);
    qsizetype b = 0, e = 0;
    blankBounds(text, b, e);
    return text.mid(b, e - b);
}

QString Rset(const QString &text, int width, const WidthMeasure &measure)
{
    QString s = Dec(text);
    if (s.isEmpty())
        return s;
    // A space is at least a pixel wide in any font we show numbers in; the cap only keeps a
    // measure that ignores spaces from looping for ever.
    const int limit = width - 10;
    for (int spaces = 0; spaces <= std::max(width, 0) && measure(s) <= limit; ++spaces)
        s.prepend(u' ');
    return s;
}

std::optional<QChar> filterKey(QChar c)
{
    const char16_t u = c.unicode();
    if (u == 8 || isAsciiDigit(u) || u == u'.')
        return c;
    if (u == u',')
        return QChar(u'.');
    return std::nullopt;
}

QString formatDate(const QDate &date)
{
    if (!date.isValid())
        return {};
    const auto two = [](int n) { return QString::number(n).rightJustified(2, u'0'); };
    const int y = date.year();
    QString year = QString::number(std::abs(y)).rightJustified(4, u'0');
    if (y < 0)
        year.prepend(u'-');
    return two(date.day()) + u'/' + two(date.month()) + u'/' + year;
}

// Day and month take one or two digits ("1/2/1999" as well as "01/02/1999"), the year
// exactly four: a two-digit year would need a century guess, and the program never writes one.
// Blanks around the text are ignored, nothing else is.
std::optional<QDate> readDate(const QString &text)
{
    qsizetype i = 0, end = 0;
    blankBounds(text, i, end);
    const auto number = [&](int minDigits, int maxDigits, int &out) {
        const qsizetype start = i;
        out = 0;
        while (i < end && i - start < maxDigits && isAsciiDigit(text.at(i).unicode()))
            out = out * 10 + (text.at(i++).unicode() - u'0');
        return i - start >= minDigits && (i == end || !isAsciiDigit(text.at(i).unicode()));
    };
    const auto slash = [&] { return i < end && text.at(i++) == u'/'; };
    int day = 0, month = 0, year = 0;
    if (!number(1, 2, day) || !slash() || !number(1, 2, month) || !slash()
        || !number(4, 4, year) || i != end)
        return std::nullopt;
    const QDate d(year, month, day);
    if (!d.isValid())
        return std::nullopt;
    return d;
}

QString dateErrorText(const QString &text)
{
    return QStringLiteral("'%1' n'est pas une date correcte").arg(text);
}

} // namespace textrules
