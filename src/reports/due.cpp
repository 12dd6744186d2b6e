#include "reports/due.h"

#include "vehicle/textrules.h"

#include <QStringView>

#include <algorithm>
#include <cmath>

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

// Lower case without accents; letters and digits kept, anything else a space between words.
// Combining marks (text written decomposed) go, so the letter before them stays whole.
QString folded(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x80) {
            if (u >= u'A' && u <= u'Z')
                out += QChar(char16_t(u - u'A' + u'a'));
            else if ((u >= u'a' && u <= u'z') || (u >= u'0' && u <= u'9'))
                out += c;
            else
                out += u' ';
            continue;
        }
        if (c.category() == QChar::Mark_NonSpacing || c.category() == QChar::Mark_SpacingCombining
            || c.category() == QChar::Mark_Enclosing)
            continue;
        while (c.decompositionTag() == QChar::Canonical)
            c = c.decomposition().at(0);
        out += c.isLetterOrNumber() ? c.toLower() : QChar(u' ');
    }
    return out;
}

std::vector<QStringView> words(const QString &foldedText)
{
    std::vector<QStringView> out;
    const QStringView all(foldedText);
    qsizetype start = -1;
    for (qsizetype i = 0; i <= all.size(); ++i) {
        const bool space = i == all.size() || all[i] == u' ';
        if (space && start >= 0) {
            out.push_back(all.mid(start, i - start));
            start = -1;
        } else if (!space && start < 0) {
            start = i;
        }
    }
    return out;
}

bool pairAt(const std::vector<QStringView> &w, std::size_t i, QStringView first, QStringView second)
{
    return i + 1 < w.size() && w[i].startsWith(first) && w[i + 1].startsWith(second);
}

} // namespace

bool namesService(const QString &description)
{
    const QString text = folded(description);
    for (QStringView w : words(text))
        if (w.startsWith(u"entretien") || w.startsWith(u"revision") || w.startsWith(u"vidange"))
            return true;
    return false;
}

bool namesInspection(const QString &description)
{
    const QString text = folded(description);
    const std::vector<QStringView> w = words(text);
    bool inspection = false;
    for (std::size_t i = 0; i < w.size(); ++i) {
        // A contre-visite checks again what a contrôle technique found: it restarts nothing.
        if (pairAt(w, i, u"contre", u"visite") || w[i].startsWith(u"contrevisite"))
            return false;
        // "controle"/"controles" only: a "contrôleur" is someone else.
        const bool controle = w[i] == u"controle" || w[i] == u"controles";
        if ((controle && pairAt(w, i, u"controle", u"technique")) || w[i] == u"ct")
            inspection = true;
    }
    return inspection;
}

Report compute(const VehicleRecord &r, const QDate &today)
{
    Report report;
    int unreadableKm = 0;
    int unreadableInspectionDates = 0;
    std::optional<long double> current;
    auto reading = [&current](long double km) {
        if (!current || km > *current)
            current = km;
    };

    // The pace: the first and the last reading of the last 365 days (the lowest of the first
    // day, the highest of the last).
    const QDate paceFrom = today.addDays(-kPaceDays);
    QDate firstDay, lastDay;
    long double firstKm = 0, lastKm = 0;
    auto pace = [&](const std::optional<QDate> &day, long double km) {
        if (!day || *day < paceFrom || *day > today)
            return;
        if (!firstDay.isValid() || *day < firstDay || (*day == firstDay && km < firstKm)) {
            firstDay = *day;
            firstKm = km;
        }
        if (!lastDay.isValid() || *day > lastDay || (*day == lastDay && km > lastKm)) {
            lastDay = *day;
            lastKm = km;
        }
    };

    for (const FuelEntry &e : r.ListView1)
        if (const auto km = readKm(e[col::FuelCompteur], unreadableKm)) {
            reading(*km);
            pace(textrules::readDate(e[col::Date]), *km);
        }

    std::optional<long double> lastService, lastAny;
    QDate lastInspection;
    for (const GarageEntry &e : r.ListView2) {
        const std::optional<QDate> day = textrules::readDate(e[col::Date]);
        if (const auto km = readKm(e[col::GarageCompteur], unreadableKm)) {
            reading(*km);
            pace(day, *km);
            if (!lastAny || *km > *lastAny)
                lastAny = *km;
            // The description is looked at only when the entry would be the new last one.
            if ((!lastService || *km > *lastService) && namesService(e[col::Description]))
                lastService = *km;
        }
        if (!day) {
            if (namesInspection(e[col::Description]))
                ++unreadableInspectionDates;
        } else if ((!lastInspection.isValid() || *day > lastInspection) && namesInspection(e[col::Description])) {
            lastInspection = *day;
        }
    }
    if (const auto km = readKm(r.edit[21], unreadableKm))
        reading(*km);

    if (current)
        report.odometer = wholeKm(*current);
    if (firstDay.isValid() && firstDay.daysTo(lastDay) >= kPaceMinSpan && lastKm > firstKm)
        report.dailyKm = (lastKm - firstKm) / firstDay.daysTo(lastDay);

    const textrules::NumberRead interval = textrules::readNumber(r.edit[24]);
    if (interval.isNumber() && interval.value > 0 && interval.value < kLargestKm) {
        Reminder service;
        service.kind = Kind::Service;
        service.unreadable = unreadableKm;
        const long double from = lastService ? *lastService : lastAny ? *lastAny : 0;
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
    inspection.unreadable = unreadableInspectionDates;
    if (lastInspection.isValid())
        inspection.date = lastInspection.addYears(kInspectionYears);
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
