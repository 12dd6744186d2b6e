#include "core/utilities/horloge.h"

#include <algorithm>
#include <limits>

namespace horloge {
namespace {

struct FieldLayout {
    qsizetype pos;   // 0-based position in its display
    qsizetype width;
    int min;
    int max;
};

constexpr FieldLayout layouts[] = {
    {0, 2, 0, 24},      // Hr: 24 is reachable on the display
    {3, 2, 0, 59},      // Mn
    {0, 2, 1, 31},      // Jo: not compared with the month's length
    {3, 2, 1, 12},      // Mo
    {6, 4, 1900, 2099}, // An
};

QString padded(int n, int width)
{
    return QStringLiteral("%1").arg(n, width, 10, QLatin1Char('0'));
}

std::optional<int> readAt(const QString &display, qsizetype pos, qsizetype width, QString *error)
{
    return readInteger(display.mid(pos, width), error);
}

} // namespace

QString timeText(const QTime &t)
{
    return padded(t.hour(), 2) + QLatin1Char(':') + padded(t.minute(), 2) + QLatin1Char(':')
        + padded(t.second(), 2);
}

QString dateText(const QDate &d)
{
    return padded(d.day(), 2) + QLatin1Char('/') + padded(d.month(), 2) + QLatin1Char('/')
        + padded(d.year(), 4);
}

std::optional<int> readInteger(const QString &text, QString *error)
{
    qsizetype i = 0;
    while (i < text.size() && text[i] == QLatin1Char(' '))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
        negative = text[i] == QLatin1Char('-');
        ++i;
    }
    const qsizetype firstDigit = i;
    long long value = 0;
    bool overflow = false;
    for (; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9')
            break;
        if (!overflow) {
            value = value * 10 + (c - u'0');
            overflow = value > static_cast<long long>(std::numeric_limits<int>::max()) + 1;
        }
    }
    if (negative)
        value = -value;
    if (i == firstDigit || i != text.size() || overflow || value > std::numeric_limits<int>::max()
        || value < std::numeric_limits<int>::min()) {
        if (error)
            *error = QStringLiteral("'%1' n'est pas une valeur entière correcte").arg(text);
        return std::nullopt;
    }
    return static_cast<int>(value);
}

QString fieldText(const QString &display, Field f)
{
    const FieldLayout &s = layouts[f];
    return display.mid(s.pos, s.width);
}

bool stepField(QString &display, Field f, int d, QString *error)
{
    const FieldLayout &s = layouts[f];
    const QString old = fieldText(display, f);
    const std::optional<int> read = readInteger(old, error);
    if (!read)
        return false;
    long long n = *read;
    if (f == An && n < 100)
        n += 1900;   // a two-digit year 98 stands for 1998
    // Each direction checks only its own limit, so a year already outside the range (a clock
    // set far ahead) steps back by one rather than jumping to the far end.
    n += d;
    if (d > 0)
        n = std::min<long long>(n, s.max);
    else
        n = std::max<long long>(n, s.min);
    // The field's characters are replaced by the full-width number, so a two-digit year grows
    // to four digits.
    display = display.left(s.pos) + padded(static_cast<int>(n), static_cast<int>(s.width))
        + display.mid(s.pos + old.size());
    return true;
}

std::optional<QDateTime> displayedInstant(const QString &timeDisplay, const QString &dateDisplay,
                                          QString *error)
{
    const auto year = readAt(dateDisplay, 6, 4, error);
    if (!year)
        return std::nullopt;
    const auto month = readAt(dateDisplay, 3, 2, error);
    if (!month)
        return std::nullopt;
    const auto day = readAt(dateDisplay, 0, 2, error);
    if (!day)
        return std::nullopt;
    const auto hour = readAt(timeDisplay, 0, 2, error);
    if (!hour)
        return std::nullopt;
    const auto minute = readAt(timeDisplay, 3, 2, error);
    if (!minute)
        return std::nullopt;
    const auto second = readAt(timeDisplay, 6, 2, error);
    if (!second)
        return std::nullopt;
    if (error)
        error->clear();

    const QDate date(*year, *month, *day);
    const QTime time(*hour, *minute, *second);
    if (!date.isValid() || !time.isValid())
        return std::nullopt;
    const QDateTime local(date, time, Qt::LocalTime);
    // A local time skipped by a daylight-saving change is invalid, or with some Qt versions moved
    // out of the gap; only a time that reads back unchanged exists.
    if (!local.isValid() || local.date() != date || local.time() != time)
        return std::nullopt;
    return local.toUTC();
}

QString cannotSetMessage()
{
    return QStringLiteral("Impossible de régler l'horloge de l'ordinateur");
}

SetResult setFromDisplays(const QString &timeDisplay, const QString &dateDisplay,
                          const ClockSetter &setter)
{
    QString error;
    const std::optional<QDateTime> utc = displayedInstant(timeDisplay, dateDisplay, &error);
    if (!error.isEmpty())
        return {SetResult::NotANumber, error};
    if (!utc || !setter || !setter(*utc))
        return {SetResult::CannotSet, cannotSetMessage()};
    return {SetResult::Set, {}};
}

} // namespace horloge
