#include "core/reports/due.h"

#include "core/vehicle/codepage.h"
#include "core/vehicle/textrules.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <string_view>

namespace due {
namespace {

// Odometers beyond this are typing accidents; taken as they are, they would also overflow
// the whole kilometres.
constexpr long double kLargestKm = 1e15L;
// A pace so slow that the service lies further away than this is no estimate worth a date.
constexpr long double kFurthestEstimateDays = 20 * 366;

// An odometer text: nothing when empty; `unreadable` counts a text that is not a number.
std::optional<long double> readKm(const QString &text, int &unreadable)
{
    const textrules::NumberRead n = textrules::readNumber(text);
    if (n.kind == textrules::NumberKind::Empty)
        return std::nullopt;
    if (n.kind == textrules::NumberKind::NotNumber || std::fabs(n.value) >= kLargestKm) {
        ++unreadable;
        return std::nullopt;
    }
    return n.value;
}

qint64 wholeKm(long double km)
{
    return textrules::formatFixed(km, 0).toLongLong();
}

// The Latin-1 letters without their accents, lower case (0 for × and ÷): the common case,
// looked up rather than decomposed.
constexpr char16_t kLatin1[64 + 1] = u"aaaaaa\u00e6ceeeeiiii\u00f0nooooo\0\u00f8uuuuy\u00fe\u00df"
                                     u"aaaaaa\u00e6ceeeeiiii\u00f0nooooo\0\u00f8uuuuy\u00fey";

// One character as the description tests see it: lower case without its accent, 0 between
// words, 1 for a combining mark (text written decomposed), which belongs to the letter before.
char16_t foldChar(QChar c)
{
    const char16_t u = c.unicode();
    if (u < 0x80) {
        if (u >= u'A' && u <= u'Z')
            return char16_t(u - u'A' + u'a');
        return (u >= u'a' && u <= u'z') || (u >= u'0' && u <= u'9') ? u : 0;
    }
    if (u >= 0xC0 && u <= 0xFF)
        return kLatin1[u - 0xC0];
    const QChar::Category category = c.category();
    if (category == QChar::Mark_NonSpacing || category == QChar::Mark_SpacingCombining
        || category == QChar::Mark_Enclosing)
        return 1;
    while (c.decompositionTag() == QChar::Canonical)
        c = c.decomposition().at(0);
    return c.isLetterOrNumber() ? c.toLower().unicode() : 0;
}

// The words of a description, folded, one after the other; only their first letters are kept,
// as many as the longest word looked for. Nothing is allocated: a ledger may hold 100 000
// descriptions, all read when a document comes in.
class Words {
public:
    explicit Words(const QString &text) : m_text(text) {}

    bool next()
    {
        m_length = 0;
        while (m_at < m_text.size()) {
            const char16_t c = foldChar(m_text[m_at++]);
            if (c == 0) {
                if (m_length > 0)
                    return true;
            } else if (c != 1) {
                if (m_length < kKept)
                    m_kept[m_length] = c;
                ++m_length;
            }
        }
        return m_length > 0;
    }
    bool is(std::u16string_view word) const { return std::size_t(m_length) == word.size() && startsWith(word); }
    bool startsWith(std::u16string_view prefix) const
    {
        return prefix.size() <= std::size_t(std::min(m_length, kKept))
               && std::u16string_view(m_kept, prefix.size()) == prefix;
    }

private:
    static constexpr int kKept = 17; // "hauptuntersuchung"
    const QString &m_text;
    qsizetype m_at = 0;
    char16_t m_kept[kKept] = {};
    int m_length = 0;
};

} // namespace

namespace {
struct Named {
    bool service = false;
    bool inspection = false;
};

// Both tests in one reading of the description.
Named named(const QString &description)
{
    Named n;
    Words w(description);
    bool contreVisite = false;
    bool afterContre = false;   // the word before was "contre"
    bool afterControle = false; // ... "controle" or "controles" ("contrôleur" is someone else)
    // Words of two or three of the languages imported histories are written in.
    bool afterInspection = false, afterOil = false, afterTroca = false, afterTrocaDe = false,
         afterZamena = false;
    while (w.next()) {
        if (w.startsWith(u"entretien") || w.startsWith(u"revision") || w.startsWith(u"vidange")
            || w.is(u"service") || w.is(u"inspektion") || w.is(u"olwechsel") || w.is(u"revisao")
            || w.is(u"\u0442\u043e") /* ТО */ || (afterOil && w.is(u"change"))
            || (afterTrocaDe && w.is(u"oleo"))
            || (afterZamena && w.is(u"\u043c\u0430\u0441\u043b\u0430") /* масла */))
            n.service = true;
        // A contre-visite checks again what a contrôle technique found: it restarts nothing.
        if ((afterContre && w.startsWith(u"visite")) || w.startsWith(u"contrevisite"))
            contreVisite = true;
        if ((afterControle && w.startsWith(u"technique")) || w.is(u"ct") || w.is(u"mot") || w.is(u"tuv")
            || w.is(u"hu") || w.is(u"hauptuntersuchung") || w.is(u"itv")
            || w.is(u"\u0442\u0435\u0445\u043e\u0441\u043c\u043e\u0442\u0440") /* техосмотр */
            || (afterInspection && (w.startsWith(u"periodi"))))
            n.inspection = true;
        afterContre = w.is(u"contre");
        afterControle = w.is(u"controle") || w.is(u"controles");
        afterInspection = w.is(u"inspecao") || w.is(u"inspection") || w.is(u"inspeccion");
        afterOil = w.is(u"oil");
        afterTrocaDe = afterTroca && w.is(u"de");
        afterTroca = w.is(u"troca");
        afterZamena = w.is(u"\u0437\u0430\u043c\u0435\u043d\u0430"); // замена
    }
    n.inspection = n.inspection && !contreVisite;
    return n;
}
} // namespace

bool namesService(const QString &description)
{
    return named(description).service;
}

bool namesInspection(const QString &description)
{
    return named(description).inspection;
}

namespace {
// An entry's text in a string whose storage goes from entry to entry: reading a whole ledger
// then costs no heap block per text.
const QString &reused(const LedgerText &t, int slot)
{
    thread_local std::string bytes;
    thread_local std::array<QString, 2> texts;
    QString &out = texts[std::size_t(slot)];
    bytes.clear();
    t.appendEncoded(bytes);
    if (bytes.find('?') != std::string::npos) {
        out = t.toString(); // '?' may stand for a character the code page lacks
        return out;
    }
    out.resize(qsizetype(bytes.size()));
    char16_t *d = reinterpret_cast<char16_t *>(out.data());
    for (char b : bytes)
        *d++ = vtrfile::codepage::decodeByte(static_cast<unsigned char>(b));
    return out;
}

template <class Entry>
EntryFacts factsOfEntry(const Entry &e, int kmColumn)
{
    EntryFacts f;
    int unreadable = 0;
    if (const auto km = readKm(reused(e.text(std::size_t(kmColumn)), 0), unreadable)) {
        f.km = *km;
        f.hasKm = true;
    }
    f.unreadableKm = unreadable > 0;
    if (const std::optional<QDate> day = textrules::readDate(reused(e.text(col::Date), 1))) {
        f.day = day->toJulianDay();
        f.hasDay = true;
    }
    return f;
}
} // namespace

EntryFacts factsOf(const FuelEntry &e)
{
    return factsOfEntry(e, col::FuelCompteur);
}

EntryFacts factsOf(const GarageEntry &e)
{
    EntryFacts f = factsOfEntry(e, col::GarageCompteur);
    const Named n = named(reused(e.text(col::Description), 0));
    f.service = n.service;
    f.inspection = n.inspection;
    return f;
}

Report compute(const VehicleRecord &r, const QDate &today)
{
    std::vector<EntryFacts> fuel, garage;
    fuel.reserve(r.ListView1.size());
    garage.reserve(r.ListView2.size());
    for (const FuelEntry &e : r.ListView1)
        fuel.push_back(factsOf(e));
    for (const GarageEntry &e : r.ListView2)
        garage.push_back(factsOf(e));
    return compute(r, fuel, garage, today);
}

namespace {
// What one pass over the facts of the two ledgers gathers.
struct Gathered {
    qint64 paceFrom = 0, today = 0;
    int unreadableKm = 0;
    int unreadableInspectionDates = 0;
    bool hasCurrent = false, paced = false, hasService = false, hasAny = false, hasInspection = false;
    long double current = 0;
    qint64 firstDay = 0, lastDay = 0;     // the pace: the first and the last reading of the last
    long double firstKm = 0, lastKm = 0;  // 365 days (the lowest of the first day, the highest of the last)
    long double lastService = 0, lastAny = 0;
    qint64 lastInspection = 0;

    template <bool Garage>
    void take(const std::vector<EntryFacts> &facts)
    {
        for (const EntryFacts &f : facts) {
            unreadableKm += f.unreadableKm;
            if (f.hasKm) {
                if (!hasCurrent || f.km > current) {
                    current = f.km;
                    hasCurrent = true;
                }
                if (f.hasDay && f.day >= paceFrom && f.day <= today) {
                    if (!paced || f.day < firstDay || (f.day == firstDay && f.km < firstKm)) {
                        firstDay = f.day;
                        firstKm = f.km;
                    }
                    if (!paced || f.day > lastDay || (f.day == lastDay && f.km > lastKm)) {
                        lastDay = f.day;
                        lastKm = f.km;
                    }
                    paced = true;
                }
                if constexpr (Garage) {
                    if (!hasAny || f.km > lastAny) {
                        lastAny = f.km;
                        hasAny = true;
                    }
                    if (f.service && (!hasService || f.km > lastService)) {
                        lastService = f.km;
                        hasService = true;
                    }
                }
            }
            if constexpr (Garage) {
                if (f.inspection) {
                    if (!f.hasDay) {
                        ++unreadableInspectionDates;
                    } else if (!hasInspection || f.day > lastInspection) {
                        lastInspection = f.day;
                        hasInspection = true;
                    }
                }
            }
        }
    }
};
} // namespace

Report compute(const VehicleRecord &r, const std::vector<EntryFacts> &fuel,
               const std::vector<EntryFacts> &garage, const QDate &today)
{
    Report report;
    Gathered g;
    g.today = today.toJulianDay();
    g.paceFrom = g.today - kPaceDays;
    g.take<false>(fuel);
    g.take<true>(garage);
    int unreadableKm = g.unreadableKm;
    if (const auto km = readKm(r.edit[21], unreadableKm))
        if (!g.hasCurrent || *km > g.current) {
            g.current = *km;
            g.hasCurrent = true;
        }

    if (g.hasCurrent)
        report.odometer = wholeKm(g.current);
    if (g.paced && g.lastDay - g.firstDay >= kPaceMinSpan && g.lastKm > g.firstKm)
        report.dailyKm = (g.lastKm - g.firstKm) / (g.lastDay - g.firstDay);

    const textrules::NumberRead interval = textrules::readNumber(r.edit[24]);
    if (interval.isNumber() && interval.value > 0 && interval.value < kLargestKm) {
        Reminder service;
        service.kind = Kind::Service;
        service.unreadable = unreadableKm;
        const long double from = g.hasService ? g.lastService : g.hasAny ? g.lastAny : 0;
        service.dueOdometer = wholeKm(from + interval.value);
        if (report.odometer) {
            const qint64 remaining = *service.dueOdometer - *report.odometer;
            service.remainingKm = remaining;
            const long double soon = std::min<long double>(kSoonKm, interval.value / 10);
            service.urgency = remaining < 0 ? Urgency::Overdue : remaining <= soon ? Urgency::Soon : Urgency::Later;
            if (remaining >= 0 && report.dailyKm) {
                const long double days = remaining / *report.dailyKm;
                if (days <= kFurthestEstimateDays)
                    service.date = today.addDays(qint64(std::llround(days)));
            }
        }
        report.reminders.push_back(service);
    }

    Reminder inspection;
    inspection.kind = Kind::Inspection;
    inspection.unreadable = g.unreadableInspectionDates;
    if (g.hasInspection)
        inspection.date = QDate::fromJulianDay(g.lastInspection).addYears(kInspectionYears);
    else if (r.DateTimePicker2.isValid())
        inspection.date = r.DateTimePicker2.addYears(kFirstInspectionYears);
    if (inspection.date.isValid()) {
        const qint64 left = today.daysTo(inspection.date);
        inspection.urgency = left < 0 ? Urgency::Overdue : left <= kSoonDays ? Urgency::Soon : Urgency::Later;
        report.reminders.push_back(inspection);
    }
    return report;
}

QString formatKm(qint64 km)
{
    QString digits = QString::number(km < 0 ? -km : km);
    for (qsizetype at = digits.size() - 3; at > 0; at -= 3)
        digits.insert(at, u' ');
    return km < 0 ? QStringLiteral("-") + digits : digits;
}

QString sentence(const Reminder &r)
{
    QString text;
    if (r.kind == Kind::Service) {
        if (r.urgency == Urgency::Overdue) {
            text = QStringLiteral("Entretien dépassé de %1 km").arg(formatKm(-r.remainingKm.value_or(0)));
        } else {
            text = QStringLiteral("Prochain entretien : à %1 km").arg(formatKm(r.dueOdometer.value_or(0)));
            if (r.remainingKm)
                text += QStringLiteral(", dans %1 km").arg(formatKm(*r.remainingKm));
            if (r.date.isValid())
                text += QStringLiteral(" (vers le %1)").arg(textrules::formatDate(r.date));
        }
        if (r.unreadable == 1)
            text += QStringLiteral(" — 1 compteur illisible ignoré");
        else if (r.unreadable > 1)
            text += QStringLiteral(" — %1 compteurs illisibles ignorés").arg(r.unreadable);
    } else {
        const QString day = textrules::formatDate(r.date);
        text = r.urgency == Urgency::Overdue ? QStringLiteral("Contrôle technique dépassé depuis le %1").arg(day)
                                             : QStringLiteral("Contrôle technique : avant le %1").arg(day);
        if (r.unreadable == 1)
            text += QStringLiteral(" — 1 date illisible ignorée");
        else if (r.unreadable > 1)
            text += QStringLiteral(" — %1 dates illisibles ignorées").arg(r.unreadable);
    }
    return text;
}

QStringList attention(const Report &report)
{
    QStringList out;
    for (const Reminder &r : report.reminders)
        if (r.urgency == Urgency::Overdue || r.urgency == Urgency::Soon)
            out << sentence(r);
    return out;
}

QString kindName(Kind kind)
{
    return kind == Kind::Service ? QStringLiteral("service") : QStringLiteral("inspection");
}

QString urgencyName(Urgency urgency)
{
    switch (urgency) {
    case Urgency::Later: return QStringLiteral("later");
    case Urgency::Soon: return QStringLiteral("soon");
    case Urgency::Overdue: return QStringLiteral("overdue");
    case Urgency::Unknown: break;
    }
    return QStringLiteral("unknown");
}

} // namespace due
