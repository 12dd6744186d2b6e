#pragma once
// Text rules for the numbers and dates of the vehicle documents: the point is the decimal
// mark, whatever the locale.

#include <QDate>
#include <QString>

#include <functional>
#include <optional>

namespace textrules {

enum class NumberKind { Empty, Number, NotNumber };

struct NumberRead {
    NumberKind kind = NumberKind::Empty;
    long double value = 0;
    bool isNumber() const { return kind == NumberKind::Number; }
};

// Reads a number: blanks (spaces and control characters) trimmed, optional sign, digits with
// at most one '.', optional exponent. A lone '.' reads as 0. Blank text is Empty. A value
// beyond the range of long double is NotNumber; one too small for it reads as 0.
NumberRead readNumber(const QString &text);

// Formats with exactly `decimals` decimals, rounding the decimal value (the value to 18
// significant digits) half away from zero: 2.675 gives "2.68". Never "-0.00"; an infinite
// value gives an empty text.
QString formatFixed(long double value, int decimals);

// 10^n for 0 <= n <= 27, exact in a long double: one multiplication or division by it rounds
// correctly.
long double exactPow10(int n);

// Rounds to the nearest integer, halves to the even neighbour (on the decimal value).
long double roundHalfEven(long double value);

// Two-decimal form of a number field ("0.00"); a text that is not a number comes back trimmed.
QString Dec(const QString &text);

// Measures the width in pixels of a text in the font a field is shown in.
using WidthMeasure = std::function<int(const QString &)>;

// Right-aligned form: Dec, then leading spaces until the text is wider than width - 10.
QString Rset(const QString &text, int width, const WidthMeasure &measure);

// Key filter of number fields: returns the character to insert, or nothing to discard it.
// Backspace (U+0008) passes; ',' becomes '.'; anything but digits and '.' is dropped.
std::optional<QChar> filterKey(QChar c);

// "dd/mm/yyyy".
QString formatDate(const QDate &date);

// Reads "d/m/yyyy" (day and month of one or two digits, a four-digit year, separated by '/',
// blanks around ignored); nothing for a text that is not a valid date.
std::optional<QDate> readDate(const QString &text);

// "'%s' n'est pas une date correcte"
QString dateErrorText(const QString &text);

} // namespace textrules
