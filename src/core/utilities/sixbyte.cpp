#include "core/utilities/sixbyte.h"

#include <cmath>

std::optional<SixByte> SixByte::fromLongDouble(long double value)
{
    if (std::isnan(value) || std::isinf(value))
        return std::nullopt;
    if (value == 0)
        return SixByte();

    int e = 0;
    const long double m = std::frexp(std::fabs(value), &e); // |value| = m * 2^e, m in [0.5, 1)
    // m * 2^40 is exact in a 64-bit significand, so floor and remainder are exact too.
    const long double scaled = std::ldexp(m, FractionBits + 1);
    long double significand = std::floor(scaled);
    if (scaled - significand >= 0.5L)
        ++significand;
    if (significand == std::ldexp(1.0L, FractionBits + 1)) {
        significand = std::ldexp(1.0L, FractionBits);
        ++e;
    }
    // The magnitude is now significand / 2^39 * 2^(e - 1).
    const int unbiased = e - 1;
    if (unbiased < -128)
        return SixByte();
    if (unbiased >= 127)
        return std::nullopt;

    SixByte r;
    r.m_exponent = static_cast<quint8>(unbiased + Bias);
    r.m_fraction = static_cast<quint64>(significand) - (quint64(1) << FractionBits);
    r.m_negative = value < 0;
    return r;
}

long double SixByte::toLongDouble() const
{
    if (m_exponent == 0)
        return 0;
    const long double significand =
        static_cast<long double>((quint64(1) << FractionBits) + m_fraction);
    const long double magnitude = std::ldexp(significand, m_exponent - Bias - FractionBits);
    return m_negative ? -magnitude : magnitude;
}
