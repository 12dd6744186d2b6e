#pragma once
// Numbers of the desk utilities: read and written with the decimal comma, never the locale's.

#include <QString>

#include <optional>

namespace utilnumbers {

// Reads a calculator display: blanks around are ignored, then an optional sign, digits with at
// most one comma (at least a digit or the comma: "," reads as 0, "5," as 5, ",5" as 0,5) and an
// optional exponent (E or e, optional sign, digits). Huge exponents give infinity, tiny ones 0.
std::optional<long double> readComma(const QString &text);

// The general text of a value with at most `digits` significant digits (rounded), trailing zeros
// and a trailing comma dropped: fixed notation when at most 15 digits stand before the comma and
// the magnitude is at least 0,0001 (or zero), otherwise the shortest exponent (1,5E20, 2E-5).
QString generalText(long double value, int digits = 15);

// count × 10^-decimals written exactly, decimal comma, no trailing zeros, no comma when whole
// (1524, 2 → "15,24"; 1500, 2 → "15").
QString formatScaled(qint64 count, int decimals);

} // namespace utilnumbers
