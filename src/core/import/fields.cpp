#include "core/import/fields.h"

#include "core/vehicle/textrules.h"

#include <QDateTime>
#include <QHash>
#include <QVarLengthArray>

#include <unicode/translit.h>
#include <unicode/uniset.h>
#include <unicode/unistr.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <iterator>
#include <memory>
#include <string>
#include <type_traits>

using namespace Qt::StringLiterals;

namespace importer {

namespace {

bool isDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

// A French or English month name or the beginning of one ("févr", "Sept", "march"); 0 for a
// word that is none or that begins two months' names ("jui").
int monthFromName(const QString &word)
{
    static const std::array<const char *, 12> names{
        "janvier january", "fevrier february", "mars march", "avril april", "mai may",
        "juin june", "juillet july", "aout august", "septembre september", "octobre october",
        "novembre november", "decembre december"};
    if (word.size() < 3)
        return 0;
    int found = 0;
    for (int m = 1; m <= 12; ++m)
        for (const QString &name : QString::fromLatin1(names[size_t(m - 1)]).split(u' '))
            if (name.startsWith(word)) {
                if (found != 0 && found != m)
                    return 0;
                found = m;
            }
    return found;
}

int expandYear(int y) { return y >= 100 ? y : (y < 70 ? 2000 + y : 1900 + y); }

// A date the file settles by itself: its order of parts is no longer open.
void fix(DateParts &d, const QDate &date)
{
    d.shape = DateParts::Fixed;
    d.p[0] = quint16(date.year());
    d.p[1] = quint16(date.month());
    d.p[2] = quint16(date.day());
}

} // namespace

namespace {

// The common forms, "10/03/2024", "3.10.24", "2024-03-10": three numbers between single
// separators, nothing after; read in one pass to the parts the full reading gives. False for
// any other form.
template <class Unit>
bool plainDateOf(const Unit *p, const Unit *const e, DateParts &d)
{
    while (p < e && *p == ' ')
        ++p;
    std::array<int, 3> value{}, digits{};
    for (int k = 0; k < 3; ++k) {
        if (k > 0) {
            if (p == e || !(*p == '/' || *p == '.' || *p == '-'))
                return false;
            ++p;
        }
        for (; p < e && *p >= '0' && *p <= '9' && digits[size_t(k)] < 5; ++p) {
            value[size_t(k)] = value[size_t(k)] * 10 + (*p - '0');
            ++digits[size_t(k)];
        }
    }
    while (p < e && *p == ' ')
        ++p;
    if (p != e)
        return false;
    const auto usual = [&digits](size_t k) { return digits[k] == 1 || digits[k] == 2; };
    if (digits[0] == 4 && usual(1) && usual(2)) {
        const QDate date(value[0], value[1], value[2]);
        d = {};
        if (date.isValid())
            fix(d, date);
        return true;
    }
    if (!usual(0) || !usual(1) || !(usual(2) || digits[2] == 4))
        return false;
    d = {};
    d.shape = DateParts::Numeric;
    d.shortParts = digits[2] <= 2;
    for (size_t j = 0; j < 3; ++j)
        d.p[j] = quint16(value[j]);
    return true;
}

} // namespace

bool parsePlainDate(QByteArrayView bytes, DateParts &out)
{
    return plainDateOf(bytes.data(), bytes.data() + bytes.size(), out);
}


DateParts parseDate(QStringView text)
{
    DateParts d;
    if (plainDateOf(text.utf16(), text.utf16() + text.size(), d))
        return d;
    struct Token {
        int value = 0;
        int digits = 0;   // 0 for a word
        QString word;
        qsizetype end = 0;
    };
    std::array<Token, 3> parts;
    int count = 0, named = -1;
    qsizetype i = 0;
    const qsizetype n = text.size();
    QVarLengthArray<Token, 8> all;
    while (i < n) {
        const QChar c = text[i];
        if (isDigit(c.unicode())) {
            Token t;
            while (i < n && isDigit(text[i].unicode())) {
                if (t.digits < 9)
                    t.value = t.value * 10 + (text[i].unicode() - u'0');
                ++t.digits;
                ++i;
            }
            t.end = i;
            all.push_back(t);
        } else if (c.isLetter()) {
            Token t;
            const qsizetype s = i;
            while (i < n && text[i].isLetter())
                ++i;
            t.word = normalizeName(text.mid(s, i - s));
            t.end = i;
            all.push_back(t);
        } else {
            ++i;
        }
    }
    // A spreadsheet's day number (days from 30/12/1899), possibly with a fraction of a day.
    if ((all.size() == 1 || (all.size() == 2 && all[1].digits > 0)) && all[0].digits == 5
        && all[0].value >= 20000 && all[0].value <= 80000) {
        const QString rest = text.mid(all[0].end).trimmed().toString();
        if (all.size() == 1 || rest.startsWith(u'.') || rest.startsWith(u',')) {
            const QDate date = QDate(1899, 12, 30).addDays(all[0].value);
            fix(d, date);
            return d;
        }
    }
    qsizetype k = 0;
    for (; k < all.size() && count < 3; ++k) {
        const Token &t = all[k];
        if (t.digits == 0) {
            const int month = monthFromName(t.word);
            if (month > 0 && named < 0) {
                named = count;
                Token m = t;
                m.value = month;
                m.digits = 2;
                parts[size_t(count++)] = m;
            } else if (count > 0 && t.word.size() > 1) {
                return {}; // a word inside the date
            }
            continue; // a day's name before the date, or a 'T' before the time
        }
        if (t.end < n && text[t.end] == u':')
            return {}; // a time where the date should be
        if (t.digits == 8 && count == 0 && all.size() - k <= 3) {
            // 20240310
            const QDate date(t.value / 10000, t.value / 100 % 100, t.value % 100);
            if (!date.isValid())
                return {};
            fix(d, date);
            count = 3;
            ++k;
            break;
        }
        if (t.digits > 4 || t.digits == 3)
            return {};
        parts[size_t(count++)] = t;
    }
    if (count < 3)
        return {};
    // A time of day after the date: hours, ':' and minutes (or "14h30"), maybe after a 'T'.
    while (k < all.size() && all[k].digits == 0)
        ++k;
    if (k < all.size() && all[k].digits > 0 && all[k].digits <= 2 && k + 1 < all.size()
        && all[k + 1].digits > 0) {
        const qsizetype after = all[k].end;
        if (after < n && (text[after] == u':' || text[after] == u'h') && all[k].value < 24
            && all[k + 1].value < 60)
            d.minutes = qint16(all[k].value * 60 + all[k + 1].value);
    }
    if (d.shape == DateParts::Fixed)
        return d;

    if (named >= 0) {
        // The month is named; of the two numbers, a four-digit one or one past 31 is the year.
        const int a = named == 0 ? 1 : 0, b = named == 2 ? 1 : 2;
        int day = parts[size_t(a)].value, year = parts[size_t(b)].value;
        if (parts[size_t(a)].digits == 4 || parts[size_t(a)].value > 31)
            std::swap(day, year);
        const QDate date(expandYear(year), parts[size_t(named)].value, day);
        if (!date.isValid())
            return {};
        fix(d, date);
        return d;
    }
    if (parts[0].digits == 4) {
        const QDate date(parts[0].value, parts[1].value, parts[2].value);
        if (!date.isValid() || parts[1].digits > 2 || parts[2].digits > 2)
            return {};
        fix(d, date);
        return d;
    }
    if (parts[0].digits > 2 || parts[1].digits > 2)
        return {};
    d.shape = DateParts::Numeric;
    d.shortParts = parts[2].digits <= 2;
    for (int j = 0; j < 3; ++j)
        d.p[j] = quint16(parts[size_t(j)].value);
    return d;
}

std::optional<QDate> resolveDate(const DateParts &d, DateOrder order)
{
    QDate date;
    switch (d.shape) {
    case DateParts::Bad:
        return std::nullopt;
    case DateParts::Fixed:
        date = QDate(d.p[0], d.p[1], d.p[2]);
        break;
    case DateParts::Numeric:
        if (order == DateOrder::DMY)
            date = QDate(expandYear(d.p[2]), d.p[1], d.p[0]);
        else if (order == DateOrder::MDY)
            date = QDate(expandYear(d.p[2]), d.p[0], d.p[1]);
        else if (order == DateOrder::YMD && d.shortParts)
            date = QDate(expandYear(d.p[0]), d.p[1], d.p[2]);
        break;
    }
    if (!date.isValid())
        return std::nullopt;
    return date;
}

bool dateReadable(const DateParts &d, DateOrder order)
{
    switch (d.shape) {
    case DateParts::Bad:
        return false;
    case DateParts::Fixed:
        return QDate::isValid(d.p[0], d.p[1], d.p[2]);
    case DateParts::Numeric:
        if (order == DateOrder::DMY)
            return QDate::isValid(expandYear(d.p[2]), d.p[1], d.p[0]);
        if (order == DateOrder::MDY)
            return QDate::isValid(expandYear(d.p[2]), d.p[0], d.p[1]);
        if (order == DateOrder::YMD && d.shortParts)
            return QDate::isValid(expandYear(d.p[0]), d.p[1], d.p[2]);
        break;
    }
    return false;
}

QString normalizeName(QStringView text)
{
    const QString decomposed = text.toString().normalized(QString::NormalizationForm_KD);
    QString out;
    out.reserve(decomposed.size());
    bool space = false;
    for (QChar c : decomposed) {
        if (c.isMark())
            continue;
        if (c.isLetterOrNumber()) {
            if (space && !out.isEmpty())
                out.append(u' ');
            space = false;
            if (c == u'œ' || c == u'Œ')
                out.append(u"oe");
            else if (c == u'æ' || c == u'Æ')
                out.append(u"ae");
            else
                out.append(c.toLower());
        } else {
            space = true;
        }
    }
    return out;
}

bool isParkingText(QStringView text)
{
    for (const QString &w : normalizeName(text).split(u' '))
        if (w.startsWith(u"parking") || w.startsWith(u"peage") || w.startsWith(u"stationnement")
            || w.startsWith(u"toll"))
            return true;
    return false;
}

bool parsePlainFlag(QByteArrayView bytes, std::optional<bool> &out)
{
    const QByteArrayView t = bytes.trimmed();
    const auto is = [t](QByteArrayView word) {
        if (t.size() != word.size())
            return false;
        for (qsizetype i = 0; i < t.size(); ++i)
            if ((t[i] | 0x20) != word[i])
                return false;
        return true;
    };
    if (t == "1" || is("true")) {
        out = true;
        return true;
    }
    if (t == "0" || is("false")) {
        out = false;
        return true;
    }
    return false;
}

std::optional<bool> parseFlag(QStringView text)
{
    const QStringView t = text.trimmed();
    if (t.isEmpty())
        return std::nullopt;
    // The usual words without the cost of normalizing (any other spelling of them is
    // found below).
    const auto is = [t](QLatin1StringView word) {
        if (t.size() != word.size())
            return false;
        for (qsizetype i = 0; i < t.size(); ++i)
            if ((t[i].unicode() | 0x20) != char16_t(word[i].unicode()))
                return false;
        return true;
    };
    if (t == u"1" || is("true"_L1))
        return true;
    if (t == u"0" || is("false"_L1))
        return false;
    const QString n = normalizeName(t);
    static const QStringList yes{u"1"_s, u"oui"_s, u"o"_s, u"yes"_s, u"y"_s, u"true"_s,
                                 u"vrai"_s, u"x"_s, u"plein"_s, u"full"_s, u"sim"_s, u"si"_s,
                                 u"ja"_s, u"да"_s, u"verdadeiro"_s};
    static const QStringList no{u"0"_s, u"non"_s, u"n"_s, u"no"_s, u"false"_s, u"faux"_s,
                                u"partiel"_s, u"partial"_s, u"nao"_s, u"nein"_s, u"нет"_s,
                                u"falso"_s};
    if (yes.contains(n))
        return true;
    if (no.contains(n))
        return false;
    return std::nullopt;
}

int parseTime(QStringView text)
{
    const QStringView t = text.trimmed();
    qsizetype i = 0;
    const auto number = [&t, &i](int maxDigits) {
        int value = 0, digits = 0;
        while (i < t.size() && isDigit(t[i].unicode()) && digits < maxDigits) {
            value = value * 10 + (t[i].unicode() - u'0');
            ++digits;
            ++i;
        }
        return digits == 0 ? -1 : value;
    };
    int hours = number(2);
    if (hours < 0 || i >= t.size() || !(t[i] == u':' || t[i] == u'h' || t[i] == u'H'))
        return -1;
    ++i;
    const int minutes = number(2);
    if (minutes < 0 || minutes > 59)
        return -1;
    if (i < t.size() && t[i] == u':') {
        ++i;
        if (number(2) < 0)
            return -1;
    }
    const QString rest = normalizeName(t.mid(i));
    if (rest == u"pm" || rest == u"p m") {
        if (hours < 1 || hours > 12)
            return -1;
        hours = hours % 12 + 12;
    } else if (rest == u"am" || rest == u"a m") {
        if (hours < 1 || hours > 12)
            return -1;
        hours %= 12;
    } else if (!rest.isEmpty()) {
        return -1;
    }
    return hours < 24 ? hours * 60 + minutes : -1;
}

DateParts parseEpochMilliseconds(QStringView text)
{
    const QStringView t = text.trimmed();
    if (t.size() < 11 || t.size() > 13)
        return {};
    qint64 ms = 0;
    for (QChar c : t) {
        if (!isDigit(c.unicode()))
            return {};
        ms = ms * 10 + (c.unicode() - u'0');
    }
    const QDateTime when = QDateTime::fromMSecsSinceEpoch(ms);
    DateParts d;
    fix(d, when.date());
    d.minutes = qint16(when.time().hour() * 60 + when.time().minute());
    return d;
}

QString vehicleTypeOf(QStringView fuel)
{
    const QString n = normalizeName(fuel);
    if (n.isEmpty())
        return {};
    const QStringList words = n.split(u' ');
    const auto has = [&words](std::initializer_list<const char16_t *> names) {
        for (const QString &w : words)
            for (const char16_t *name : names)
                if (w == QStringView(name))
                    return true;
        return false;
    };
    // Gas that is no liquefied petroleum gas, and blends named after ethanol, are none of the three.
    if (has({u"cng", u"gnv", u"gnc", u"natural", u"naturel", u"natural", u"metano", u"метан",
             u"ethanol", u"etanol", u"alcool", u"e85", u"electric", u"electrique", u"electricity",
             u"electricite", u"eletrico", u"eletricidade", u"hydrogen", u"hydrogene"}))
        return {};
    if (has({u"diesel", u"gazole", u"gasoil", u"gasoleo", u"дизель", u"дт", u"солярка", u"b7",
             u"b10", u"hvo", u"s10", u"s500", u"d"}))
        return u"Diesel"_s;
    if (has({u"gpl", u"lpg", u"autogas", u"glp", u"пропан", u"суг", u"propane"}))
        return u"GPL"_s;
    if (has({u"essence", u"sp95", u"sp98", u"e10", u"e5", u"gasoline", u"petrol", u"unleaded",
             u"regular", u"premium", u"super", u"benzin", u"gasolina", u"nafta", u"бензин",
             u"аи", u"ai", u"plomb", u"95", u"98", u"92"}))
        return u"Essence"_s;
    return {};
}

namespace {

// Characters of Windows-1252 beyond Latin-1.
constexpr std::array<char16_t, 27> kHigh{0x20AC, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                         0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x017D, 0x2018,
                                         0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC,
                                         0x2122, 0x0161, 0x203A, 0x0153, 0x017E, 0x0178};

bool holdable(char16_t c)
{
    if ((c >= 0x20 && c < 0x7F) || (c >= 0xA0 && c <= 0xFF))
        return true;
    return std::find(kHigh.begin(), kHigh.end(), c) != kHigh.end();
}

// The closest form of characters the code page lacks, where decomposing gives none.
const QHash<char16_t, QString> &nearForms()
{
    static const QHash<char16_t, QString> forms{
        {0x2010, u"-"_s}, {0x2011, u"-"_s}, {0x2012, u"-"_s}, {0x2212, u"-"_s},
        {0x2043, u"-"_s}, {0x2015, u"\u2014"_s}, {0x2264, u"<="_s}, {0x2265, u">="_s},
        {0x2260, u"!="_s}, {0x2248, u"~"_s}, {0x2192, u"->"_s}, {0x2190, u"<-"_s},
        {0x2194, u"<->"_s}, {0x21D2, u"=>"_s}, {0x2032, u"'"_s}, {0x2033, u"\""_s},
        {0x201B, u"'"_s}, {0x201F, u"\""_s}, {0x2044, u"/"_s}, {0x2215, u"/"_s},
        {0x2217, u"*"_s}, {0x2219, u"\u00B7"_s}, {0x2116, u"No"_s}, {0x2103, u"\u00B0C"_s},
        {0x0142, u"l"_s}, {0x0141, u"L"_s}, {0x0111, u"d"_s}, {0x0110, u"D"_s},
        {0x0127, u"h"_s}, {0x0126, u"H"_s}, {0x0131, u"i"_s}, {0x0167, u"t"_s},
        {0x0166, u"T"_s}, {0x0138, u"k"_s}, {0x014B, u"n"_s}, {0x014A, u"N"_s},
        {0x0259, u"e"_s}, {0x018F, u"E"_s}, {0x2205, u"\u00D8"_s}};
    return forms;
}

bool isInvisible(char32_t c)
{
    return (c >= 0x200B && c <= 0x200F) || (c >= 0x2060 && c <= 0x2064) || c == 0xFEFF
        || (c >= 0xFE00 && c <= 0xFE0F) || (c >= 0xE0000 && c <= 0xE007F) || c == 0x034F;
}

bool isWideSpace(char32_t c)
{
    return (c >= 0x2000 && c <= 0x200A) || c == 0x202F || c == 0x205F || c == 0x3000;
}

// What replaces one character the code page cannot hold; empty to drop it.
QString closestForm(char32_t c)
{
    if (c <= 0xFFFF) {
        const auto it = nearForms().constFind(char16_t(c));
        if (it != nearForms().constEnd())
            return *it;
    }
    if (isWideSpace(c))
        return u" "_s;
    if (isInvisible(c))
        return {};
    // Letters with marks, ligatures, full-width forms: the compatibility decomposition without
    // its marks, when the code page holds all of it.
    const QString decomposed =
        QString::fromUcs4(&c, 1).normalized(QString::NormalizationForm_KD);
    QString bare;
    for (QChar d : decomposed)
        if (!d.isMark())
            bare.append(d);
    bool ok = !bare.isEmpty();
    for (QChar d : bare)
        ok = ok && holdable(d.unicode());
    if (ok)
        return bare;
    // Emoji, pictographs and other symbols have no written form here.
    const QChar::Category cat = QChar::category(c);
    // Modifier letters are what transliteration leaves of signs such as the soft sign.
    if (cat == QChar::Symbol_Other || cat == QChar::Symbol_Math || cat == QChar::Symbol_Modifier
        || cat == QChar::Letter_Modifier || cat == QChar::Other_PrivateUse || cat == QChar::Other_Surrogate
        || cat == QChar::Other_NotAssigned || QChar::isMark(c))
        return {};
    return u"?"_s;
}

bool isOtherScript(char32_t c)
{
    const QChar::Script script = QChar::script(c);
    return script != QChar::Script_Latin && script != QChar::Script_Common
        && script != QChar::Script_Inherited && script != QChar::Script_Unknown;
}

// Letters of other scripts in Latin letters, everything the code page holds left as it is.
QString toLatin(const QString &text)
{
    static const std::unique_ptr<icu::Transliterator> latin = [] {
        UErrorCode status = U_ZERO_ERROR;
        std::unique_ptr<icu::Transliterator> t(icu::Transliterator::createInstance(
            icu::UnicodeString(u"Any-Latin"), UTRANS_FORWARD, status));
        if (U_FAILURE(status))
            return std::unique_ptr<icu::Transliterator>();
        auto *others = new icu::UnicodeSet(0, 0x10FFFF);
        others->remove(0x20, 0x7E);
        others->remove(0xA0, 0xFF);
        for (char16_t c : kHigh)
            others->remove(c);
        others->freeze();
        t->adoptFilter(others);
        return t;
    }();
    if (!latin)
        return text;
    icu::UnicodeString s(reinterpret_cast<const char16_t *>(text.utf16()), int32_t(text.size()));
    latin->transliterate(s);
    return QString(reinterpret_cast<const QChar *>(s.getBuffer()), s.length());
}

bool isMarker(const QString &text)
{
    if (text.size() < 7 || text.size() > 8 || !text.startsWith(u'['))
        return false;
    const QString lower = text.toLower();
    for (int page = 1; page <= 8; ++page)
        if (lower == QStringLiteral("[page%1]").arg(page)
            || lower == QStringLiteral("[/page%1]").arg(page))
            return true;
    return false;
}

} // namespace

QString fitText(const QString &text, int &replaced)
{
    // Fast path: printable ASCII without doubled, leading or trailing spaces.
    bool plain = !text.isEmpty() && text.front() != u' ' && text.back() != u' ';
    for (qsizetype i = 0; plain && i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        plain = c >= 0x20 && c < 0x7F && !(c == u' ' && text[i + 1] == u' ');
    }
    if (plain && !isMarker(text))
        return text;

    // Each character the code page cannot hold counts once, however it is written.
    bool otherScript = false;
    const auto forEachCharacter = [](const QString &s, auto &&f) {
        const qsizetype n = s.size();
        for (qsizetype i = 0; i < n; ++i) {
            char32_t c = s[i].unicode();
            if (QChar::isHighSurrogate(c) && i + 1 < n && s[i + 1].isLowSurrogate()) {
                c = QChar::surrogateToUcs4(s[i].unicode(), s[i + 1].unicode());
                ++i;
            }
            f(c);
        }
    };
    const auto isBreak = [](char32_t c) {
        return c < 0x20 || (c >= 0x7F && c < 0xA0) || c == 0x2028 || c == 0x2029;
    };
    forEachCharacter(text, [&](char32_t c) {
        if (isBreak(c) || (c <= 0xFFFF && holdable(char16_t(c))))
            return;
        ++replaced;
        otherScript = otherScript || isOtherScript(c);
    });

    const QString source = otherScript ? toLatin(text) : text;
    QString out;
    out.reserve(source.size());
    auto appendSpace = [&out] {
        if (!out.isEmpty() && out.back() != u' ')
            out.append(u' ');
    };
    forEachCharacter(source, [&](char32_t c) {
        if (isBreak(c)) {
            appendSpace(); // line breaks, tabs and controls of quoted fields
            return;
        }
        if (c == u' ') {
            appendSpace();
            return;
        }
        if (c <= 0xFFFF && holdable(char16_t(c))) {
            out.append(QChar(char16_t(c)));
            return;
        }
        const QString form = closestForm(c);
        for (QChar f : form) {
            if (f == u' ')
                appendSpace();
            else
                out.append(f);
        }
    });
    while (out.endsWith(u' '))
        out.chop(1);
    if (isMarker(out)) {
        // A line equal to a section marker would cut the vehicle file short.
        out.front() = u'(';
        out.back() = u')';
    }
    return out;
}

namespace {
// "dd/mm/yyyy" written into `out`; false for a year of other than four digits.
bool plainDate(const QDate &date, char *out)
{
    int y = 0, m = 0, d = 0;
    date.getDate(&y, &m, &d);
    if (!date.isValid() || y < 1000 || y > 9999)
        return false;
    const auto two = [&out](int n) {
        *out++ = char('0' + n / 10);
        *out++ = char('0' + n % 10);
    };
    two(d);
    *out++ = '/';
    two(m);
    *out++ = '/';
    two(y / 100);
    two(y % 100);
    return true;
}


} // namespace

QString dateText(const QDate &date)
{
    char buf[10];
    return plainDate(date, buf) ? QString::fromLatin1(buf, sizeof buf) : textrules::formatDate(date);
}

LedgerText dateLedgerText(const QDate &date)
{
    char buf[10];
    return plainDate(date, buf) ? LedgerText::fromBytes(buf, sizeof buf)
                                : LedgerText(textrules::formatDate(date));
}

} // namespace importer
