// Reading the numbers of other trackers' files, whatever their locale, and writing them back in
// the two-decimal form of the ledgers.
#include "core/import/fields.h"

#include "core/vehicle/textrules.h"

#include <QString>

#include <cmath>
#include <iterator>
#include <type_traits>

namespace importer {

namespace {

bool isDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

// Spaces that group digits or pad a field.
bool isSpace(char16_t c)
{
    return c == u' ' || c == u'\t' || c == 0x00A0 || c == 0x202F || c == 0x2009 || c == 0x2007
        || c == 0x2008 || c == 0x200A;
}

bool isGrouping(char16_t c) { return isSpace(c) || c == u'\'' || c == 0x2019; }

bool isMinus(char16_t c) { return c == u'-' || c == 0x2212 || c == 0x2013; }

// Currency signs and the letters of codes or units written beside a number ("EUR", "€", "L").
bool isAffix(QChar c)
{
    return c.category() == QChar::Symbol_Currency || c.isLetter() || c == u'°';
}

// The common forms, "1234", "42,15", "78,36 €": digits, at most one mark not followed by three
// digits (a thousands separator in an odometer), then blanks and a currency sign or unit letters.
// Read in one pass to the value the full reading gives; false for any other form. `Unit` is a
// UTF-16 unit or a byte of the file; `tail` says whether what follows the digits is such a sign.
template <class Unit, class Tail>
bool plainNumberOf(const Unit *p, const Unit *const e, Number &n, Tail &&tail)
{
    while (p < e && *p == ' ')
        ++p;
    quint64 mantissa = 0;
    int digits = 0, decimals = -1;
    for (; p < e; ++p) {
        const auto c = static_cast<char16_t>(static_cast<std::make_unsigned_t<Unit>>(*p));
        if (isDigit(c)) {
            mantissa = mantissa * 10 + (c - u'0');
            ++digits;
            if (decimals >= 0)
                ++decimals;
        } else if ((c == u'.' || c == u',') && decimals < 0 && digits > 0) {
            decimals = 0;
        } else {
            break;
        }
    }
    if (digits == 0 || digits > 18 || decimals == 0 || decimals == 3 || !tail(p, e))
        return false;
    if (decimals <= 2) {
        quint64 h = mantissa;
        for (int k = decimals < 0 ? 0 : decimals; k < 2; ++k)
            h *= 10;
        if (h < 10'000'000'000'000ULL) { // the plain range of twoDecimals
            n = Number::fromHundredths(h, false);
            return true;
        }
    }
    n = Number(Number::Ok, decimals > 0 ? static_cast<long double>(mantissa) / textrules::exactPow10(decimals)
                                        : static_cast<long double>(mantissa));
    return true;
}

bool isAsciiLetter(unsigned c) { return (c | 0x20) >= 'a' && (c | 0x20) <= 'z'; }

bool plainNumber(QStringView text, Number &n)
{
    const auto tail = [](const char16_t *p, const char16_t *e) {
        for (; p < e; ++p)
            if (!(*p == u' ' || *p == 0x00A0 || *p == 0x20AC || isAsciiLetter(*p)))
                return false;
        return true;
    };
    return plainNumberOf(text.utf16(), text.utf16() + text.size(), n, tail);
}

} // namespace

Number parseNumber(QStringView text, NumberRole role)
{
    Number quick; // built in place: a long double copied through the stack stalls
    if (plainNumber(text, quick))
        return quick;
    qsizetype b = 0, e = text.size();
    while (b < e && (isSpace(text[b].unicode()) || text[b].unicode() < 0x20))
        ++b;
    while (e > b && (isSpace(text[e - 1].unicode()) || text[e - 1].unicode() < 0x20))
        --e;
    if (b == e)
        return {};
    const Number bad{Number::Bad, 0};

    qsizetype first = -1, last = -1; // first and last digit
    for (qsizetype i = b; i < e; ++i)
        if (isDigit(text[i].unicode())) {
            if (first < 0)
                first = i;
            last = i;
        }
    if (first < 0) {
        // "-" or a dash stands for nothing in many spreadsheets.
        bool dashes = true;
        for (qsizetype i = b; i < e; ++i)
            dashes = dashes && (isMinus(text[i].unicode()) || text[i].unicode() == 0x2014);
        return dashes ? Number{} : bad;
    }
    if (first > b && (text[first - 1] == u'.' || text[first - 1] == u','))
        --first; // ".5"

    bool negative = false;
    for (qsizetype i = b; i < first; ++i) {
        const QChar c = text[i];
        if (isMinus(c.unicode()) || c == u'(')
            negative = true;
        else if (!(c == u'+' || isSpace(c.unicode()) || isAffix(c)))
            return bad;
    }
    for (qsizetype i = last + 1; i < e; ++i) {
        const QChar c = text[i];
        if (isMinus(c.unicode()) || c == u')')
            negative = true;
        else if (!(c == u'.' || isSpace(c.unicode()) || isAffix(c)))
            return bad;
    }

    int points = 0, commas = 0;
    qsizetype lastMark = -1;
    for (qsizetype i = first; i <= last; ++i) {
        const char16_t c = text[i].unicode();
        if (c == u'.' || c == u',') {
            (c == u'.' ? points : commas)++;
            lastMark = i;
        } else if (!isDigit(c) && !isGrouping(c)) {
            return bad;
        }
    }
    char16_t decimal = 0;
    if (points > 0 && commas > 0) {
        decimal = text[lastMark].unicode();
        if ((decimal == u'.' ? points : commas) > 1)
            return bad;
    } else if (points + commas == 1) {
        int after = 0, before = 0;
        for (qsizetype i = lastMark + 1; i <= last; ++i)
            after += isDigit(text[i].unicode()) ? 1 : 0;
        for (qsizetype i = first; i < lastMark; ++i)
            before += isDigit(text[i].unicode()) && text[i] != u'0' ? 1 : 0;
        const bool grouping = role == NumberRole::Odometer && after == 3 && before > 0;
        decimal = grouping ? 0 : text[lastMark].unicode();
    }

    // Up to 19 significant digits and 27 decimals, the value the program's own rule gives,
    // worked out the same way without writing the number out.
    {
        quint64 mantissa = 0;
        int kept = 0, scale = 0;
        bool point = false, dropped = false;
        for (qsizetype i = first; i <= last; ++i) {
            const char16_t c = text[i].unicode();
            if (isDigit(c)) {
                if (mantissa == 0 && c == u'0') {
                    scale -= point ? 1 : 0;
                } else if (kept < 19) {
                    mantissa = mantissa * 10 + (c - u'0');
                    ++kept;
                    scale -= point ? 1 : 0;
                } else {
                    dropped = true;
                    if (!point)
                        ++scale;
                }
            } else if (c == decimal) {
                point = true;
            }
        }
        if (scale >= -27 && scale <= 27) {
            long double value = 0;
            if (mantissa != 0) {
                const auto m = static_cast<long double>(mantissa);
                value = scale >= 0 ? m * textrules::exactPow10(scale) : m / textrules::exactPow10(-scale);
            }
            if (!dropped && scale >= -2) {
                constexpr quint64 kLimit = 10'000'000'000'000ULL; // the plain range of twoDecimals
                quint64 h = mantissa;
                int k = scale + 2;
                for (; k > 0 && h < kLimit; --k)
                    h *= 10;
                if (k == 0 && h < kLimit)
                    return Number::fromHundredths(h, negative);
            }
            return {Number::Ok, negative ? -value : value};
        }
    }

    // The number in the program's own form, read by its own rule. One buffer for every call:
    // a file has hundreds of thousands of numbers.
    static thread_local QString plain;
    plain.resize(last - first + 2);
    QChar *out = plain.data();
    qsizetype k = 0;
    if (negative)
        out[k++] = u'-';
    for (qsizetype i = first; i <= last; ++i) {
        const char16_t c = text[i].unicode();
        if (isDigit(c))
            out[k++] = QChar(c);
        else if (c == decimal)
            out[k++] = u'.';
    }
    plain.truncate(k);
    const textrules::NumberRead r = textrules::readNumber(plain);
    if (!r.isNumber())
        return bad;
    return {Number::Ok, r.value};
}

bool parsePlainNumber(QByteArrayView bytes, bool utf8, Number &out)
{
    // After the digits: blanks, letters, and a euro sign or a no-break space in the file's
    // encoding.
    const auto tail = [utf8](const char *p, const char *e) {
        while (p < e) {
            const auto c = static_cast<unsigned char>(*p);
            if (c == ' ' || isAsciiLetter(c)) {
                ++p;
            } else if (utf8 && e - p >= 3 && c == 0xE2 && p[1] == '\x82' && p[2] == '\xAC') {
                p += 3;
            } else if (utf8 && e - p >= 2 && c == 0xC2 && p[1] == '\xA0') {
                p += 2;
            } else if (!utf8 && (c == 0x80 || c == 0xA0)) {
                ++p;
            } else {
                return false;
            }
        }
        return true;
    };
    return plainNumberOf(bytes.data(), bytes.data() + bytes.size(), out, tail);
}

namespace {


// "1234.56" for 123456 hundredths, written backwards ending at `end`; its length.
qsizetype writeHundredths(quint64 n, bool negative, char *end)
{
    const bool minus = negative && n > 0; // never "-0.00"
    char *p = end;
    for (int k = 0; k < 2; ++k, n /= 10)
        *--p = char('0' + n % 10);
    *--p = '.';
    do {
        *--p = char('0' + n % 10);
        n /= 10;
    } while (n > 0);
    if (minus)
        *--p = '-';
    return end - p;
}

// The same as a ledger text, its bytes gathered in registers: a text written a byte at a time
// and read back whole at once would wait for every byte.
LedgerText hundredthsText(quint64 n, bool negative)
{
    quint64 lo = 0, hi = 0;
    int size = 0;
    const auto put = [&](char c) {
        hi = (hi << 8) | (lo >> 56);
        lo = (lo << 8) | static_cast<unsigned char>(c);
        ++size;
    };
    const bool minus = negative && n > 0;
    for (int k = 0; k < 2; ++k, n /= 10)
        put(char('0' + n % 10));
    put('.');
    do {
        put(char('0' + n % 10));
        n /= 10;
    } while (n > 0);
    if (minus)
        put('-');
    return LedgerText::fromPacked(lo, hi, size); // at most 13 digits, a point and a sign
}

// The hundredths straight from the value; false when the value lies near a half of one, where
// the rounding of its decimal value decides, or is too large for that to be plain.
bool plainHundredths(long double value, quint64 &n)
{
    const long double scaled = std::fabs(value) * 100;
    if (scaled >= 1e13L)
        return false;
    const auto whole = static_cast<quint64>(scaled); // not negative: the floor
    const long double frac = scaled - static_cast<long double>(whole);
    if (frac >= 0.49L && frac <= 0.51L)
        return false;
    n = whole + (frac > 0.5L ? 1 : 0);
    return true;
}

} // namespace

QString twoDecimals(long double value)
{
    quint64 hundredths = 0;
    if (!plainHundredths(value, hundredths))
        return textrules::formatFixed(value, 2);
    char buf[24];
    const qsizetype n = writeHundredths(hundredths, std::signbit(value), buf + sizeof buf);
    return QString::fromLatin1(buf + sizeof buf - n, n);
}

LedgerText twoDecimalsText(long double value)
{
    quint64 hundredths = 0;
    if (!plainHundredths(value, hundredths))
        return LedgerText(textrules::formatFixed(value, 2));
    return hundredthsText(hundredths, std::signbit(value));
}

LedgerText twoDecimalsText(const Number &number)
{
    if (!number.exact)
        return twoDecimalsText(number.value());
    return hundredthsText(number.hundredths, number.negative);
}

} // namespace importer
