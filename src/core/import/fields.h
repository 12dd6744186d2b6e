#pragma once
// Reading the values of other trackers' files: numbers written in any locale, dates in any
// order, column names, yes/no flags; and making their texts fit a vehicle file.

#include "core/import/importer.h"
#include "core/vehicle/ledgertext.h"

#include <QDate>
#include <QString>
#include <QStringView>

#include <optional>

namespace importer {

struct Number {
    enum State : quint8 { Empty, Ok, Bad };
    Number() = default;
    Number(State s, long double v) : state(s), m_value(v) {}
    // A value read to the hundredth: kept as its digits, the long double worked out when asked
    // (most numbers of a large file are only written back).
    static Number fromHundredths(quint64 hundredths, bool negative)
    {
        Number n;
        n.state = Ok;
        n.exact = true;
        n.negative = negative;
        n.hundredths = hundredths;
        return n;
    }

    State state = Empty;
    // Set when the text gave the value to the hundredth at most: |value| × 100, exactly, so that
    // its two-decimal text needs no rounding.
    bool exact = false;
    bool negative = false; // with `exact`
    quint64 hundredths = 0;

    bool ok() const { return state == Ok; }
    long double value() const
    {
        if (!exact)
            return m_value;
        const long double v = static_cast<long double>(hundredths) / 100;
        return negative ? -v : v;
    }
    bool isZero() const { return exact ? hundredths == 0 : m_value == 0; }

private:
    long double m_value = 0;
};

enum class NumberRole { Amount, Quantity, Odometer };

// "23,07 €", "$1,234.56", "1 234,5", "(12.00)", "-3": currency signs and letters around the
// digits, spaces, no-break spaces and apostrophes between them are skipped. With both '.' and
// ',' the last is the decimal mark; a mark found more than once groups thousands. A single mark
// followed by exactly three digits groups thousands in an odometer reading, and is the decimal
// mark anywhere else.
Number parseNumber(QStringView text, NumberRole role);

// A date as written, before the order of its day and month is known.
struct DateParts {
    enum Shape : quint8 {
        Bad,      // not a date
        Fixed,    // year, month and day known (year first, a month name, a spreadsheet serial)
        Numeric   // three numbers, the year last or, with two-digit years only, first
    } shape = Bad;
    bool shortParts = false; // every number of one or two digits: the year may be first
    quint16 p[3] = {0, 0, 0};
    qint16 minutes = -1;     // time of day when written after the date
};

DateParts parseDate(QStringView text);

// The common forms of numbers ("1234", "42,15", "78,36 €") and dates ("10/03/2024",
// "2024-03-10") read straight from a field's bytes (UTF-8 when `utf8`, else Windows-1252), as
// parseNumber and parseDate would read them decoded; false for any other form.
bool parsePlainNumber(QByteArrayView bytes, bool utf8, Number &out);
bool parsePlainDate(QByteArrayView bytes, DateParts &out);

// The date for an order (Fixed ignores it); nothing when the parts make no date in that order.
std::optional<QDate> resolveDate(const DateParts &d, DateOrder order);
// The same as resolveDate(d, order).has_value(), without making the date.
bool dateReadable(const DateParts &d, DateOrder order);

// Lower case, accents removed, punctuation as single spaces, trimmed: "Quantité (L)" gives
// "quantite l", "Prix_unitaire" gives "prix unitaire".
QString normalizeName(QStringView text);

// True when a text names parking, a toll or street parking ("Péage A7", "Stationnement").
bool isParkingText(QStringView text);

// True, false, or nothing for a text that is neither (1/0, oui/non, yes/no, true/false, x,
// and yes and no in the languages of the trackers read: sim/não, да/нет, ja/nein, sí).
std::optional<bool> parseFlag(QStringView text);
// The usual words (1/0, true/false, any case, blanks around) read straight from a field's bytes;
// false when the field needs parseFlag on its decoded text.
bool parsePlainFlag(QByteArrayView bytes, std::optional<bool> &out);

// A time of day written after or beside a date ("14:05", "8:30 AM", "14h30", "14:05:33"):
// minutes after midnight, or -1.
int parseTime(QStringView text);

// A date given as milliseconds since 1970 (phone databases), in local time; Bad otherwise.
DateParts parseEpochMilliseconds(QStringView text);

// "Essence", "Diesel" or "GPL" for a fuel so named in a file, in French, English, German,
// Portuguese, Spanish or Russian ("Gasoline", "Super E10", "Gazole", "Дизель", "LPG"); empty for
// any other (electricity, ethanol, natural gas, a code).
QString vehicleTypeOf(QStringView fuel);

// A field's text made fit for one line of a vehicle file: line breaks, tabs and other control
// characters become single spaces, the text is trimmed, and what Windows-1252 cannot hold is
// replaced by its closest form (dash-like signs by '-', >= for ≥, the bare letter for a letter
// with marks, letters of other scripts written in Latin letters: "Замена масла" gives
// "Zamena masla") or dropped (emoji, invisible characters); `replaced` counts those characters.
QString fitText(const QString &text, int &replaced);

// Two-decimal text of a value (the form the entry dialogs give).
QString twoDecimals(long double value);
// The same, as a ledger keeps it; from a number read, its digits when they are exact.
LedgerText twoDecimalsText(long double value);
LedgerText twoDecimalsText(const Number &number);

// The ledger date text "dd/mm/yyyy".
QString dateText(const QDate &date);
LedgerText dateLedgerText(const QDate &date);

} // namespace importer
