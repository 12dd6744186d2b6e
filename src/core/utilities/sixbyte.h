#pragma once
// The calculator's six-byte real: 1 sign bit, an exponent byte biased by 129 (0 means zero) and a
// 39-bit fraction with a hidden leading 1. Arithmetic is done in long double; only stored values
// take this format, which is what limits the calculator to about 12 significant digits.

#include <QtGlobal>

#include <optional>

class SixByte {
public:
    static constexpr int FractionBits = 39;
    static constexpr int Bias = 129;

    SixByte() = default; // zero

    // Rounds the significand to 40 bits (ties away from zero); a magnitude below 2^-128 becomes
    // zero. Nothing when the magnitude is 2^127 or more, or the value is infinite or NaN.
    static std::optional<SixByte> fromLongDouble(long double value);

    long double toLongDouble() const;

    bool isZero() const { return m_exponent == 0; }
    bool negative() const { return m_negative; }
    quint8 exponent() const { return m_exponent; }
    quint64 fraction() const { return m_fraction; }

    friend bool operator==(const SixByte &, const SixByte &) = default;

private:
    quint8 m_exponent = 0;
    quint64 m_fraction = 0;
    bool m_negative = false;
};
