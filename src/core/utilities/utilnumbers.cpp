#include "core/utilities/utilnumbers.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace utilnumbers {
namespace {

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// Beyond these decimal exponents a value is certainly infinite or zero in long double; within
// them std::from_chars never reports a range error for a normalised significand.
constexpr long long MaxDecimalExponent = 4900;

} // namespace

std::optional<long double> readComma(const QString &text)
{
    const QString t = text.trimmed();
    qsizetype i = 0;
    const qsizetype n = t.size();
    bool negative = false;
    if (i < n && (t[i] == QLatin1Char('+') || t[i] == QLatin1Char('-'))) {
        negative = t[i] == QLatin1Char('-');
        ++i;
    }
    std::string digits;      // significant digits, leading zeros dropped
    long long pointShift = 0; // value = 0.digits × 10^pointShift before the exponent
    bool seenDigit = false;
    bool seenComma = false;
    for (; i < n; ++i) {
        const QChar c = t[i];
        if (isDigit(c)) {
            seenDigit = true;
            if (digits.empty() && c == QLatin1Char('0')) {
                if (seenComma)
                    --pointShift;
                continue;
            }
            digits.push_back(char(c.unicode()));
            if (!seenComma)
                ++pointShift;
        } else if (c == QLatin1Char(',') && !seenComma) {
            seenComma = true;
        } else {
            break;
        }
    }
    if (!seenDigit && !seenComma)
        return std::nullopt;

    long long exponent = 0;
    if (i < n && (t[i] == QLatin1Char('E') || t[i] == QLatin1Char('e'))) {
        ++i;
        bool expNegative = false;
        if (i < n && (t[i] == QLatin1Char('+') || t[i] == QLatin1Char('-'))) {
            expNegative = t[i] == QLatin1Char('-');
            ++i;
        }
        if (i >= n || !isDigit(t[i]))
            return std::nullopt;
        for (; i < n && isDigit(t[i]); ++i) {
            if (exponent < 1'000'000'000)
                exponent = exponent * 10 + (t[i].unicode() - '0');
        }
        if (expNegative)
            exponent = -exponent;
    }
    if (i != n)
        return std::nullopt;

    long double value = 0;
    if (!digits.empty()) {
        const long long scale = pointShift + exponent;
        if (scale > MaxDecimalExponent) {
            value = std::numeric_limits<long double>::infinity();
        } else if (scale >= -MaxDecimalExponent) {
            const std::string s = "0." + digits + "e" + std::to_string(scale);
            const auto r = std::from_chars(s.data(), s.data() + s.size(), value);
            if (r.ec != std::errc())
                value = 0;
        }
    }
    return negative ? -value : value;
}

QString generalText(long double value, int digits)
{
    if (value == 0)
        return QStringLiteral("0");
    if (!std::isfinite(value))
        return std::isnan(value) ? QStringLiteral("NAN") : value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");

    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, digits - 1);
    const std::string s(buf, r.ptr);
    const bool negative = s.front() == '-';
    const std::size_t ePos = s.find('e');
    std::string mantissa;
    for (std::size_t k = negative ? 1 : 0; k < ePos; ++k) {
        if (s[k] != '.')
            mantissa.push_back(s[k]);
    }
    const int exponent = std::stoi(s.substr(ePos + 1));
    while (mantissa.size() > 1 && mantissa.back() == '0')
        mantissa.pop_back();

    std::string out = negative ? "-" : "";
    if (exponent >= -4 && exponent < 15) {
        if (exponent >= 0) {
            const std::size_t intDigits = std::size_t(exponent) + 1;
            if (mantissa.size() <= intDigits) {
                out += mantissa + std::string(intDigits - mantissa.size(), '0');
            } else {
                out += mantissa.substr(0, intDigits) + "," + mantissa.substr(intDigits);
            }
        } else {
            out += "0," + std::string(std::size_t(-exponent - 1), '0') + mantissa;
        }
    } else {
        out += mantissa.substr(0, 1);
        if (mantissa.size() > 1)
            out += "," + mantissa.substr(1);
        out += "E" + std::to_string(exponent);
    }
    return QString::fromLatin1(out.data(), qsizetype(out.size()));
}

QString formatScaled(qint64 count, int decimals)
{
    const bool negative = count < 0;
    // Through unsigned so that the most negative count has a magnitude too.
    const quint64 magnitude = negative ? quint64(0) - quint64(count) : quint64(count);
    std::string s = std::to_string(magnitude);
    if (s.size() <= std::size_t(decimals))
        s.insert(0, std::size_t(decimals) + 1 - s.size(), '0');
    std::string whole = s.substr(0, s.size() - std::size_t(decimals));
    std::string fraction = s.substr(s.size() - std::size_t(decimals));
    while (!fraction.empty() && fraction.back() == '0')
        fraction.pop_back();
    std::string out = negative ? "-" : "";
    out += whole;
    if (!fraction.empty())
        out += "," + fraction;
    return QString::fromLatin1(out.data(), qsizetype(out.size()));
}

} // namespace utilnumbers
