#include "core/utilities/calendrier.h"

#include <algorithm>

namespace calendrier {

bool isLeapYear(int year)
{
    return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

int daysInMonth(int year, int month)
{
    static constexpr int lengths[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month == 2 && isLeapYear(year))
        return 29;
    return lengths[month - 1];
}

QDate stepMonth(const QDate &date, int delta)
{
    // Going through the day before the 1st or after the last day lands in the target month and
    // carries the year across December and January.
    const QDate reached = delta < 0
        ? QDate(date.year(), date.month(), 1).addDays(-1)
        : QDate(date.year(), date.month(), daysInMonth(date.year(), date.month())).addDays(1);
    const int day = std::min(date.day(), daysInMonth(reached.year(), reached.month()));
    return QDate(reached.year(), reached.month(), day);
}

QString caption(const QDate &date, const QLocale &locale)
{
    // The name on its own: some languages inflect the month inside a full date.
    return locale.standaloneMonthName(date.month(), QLocale::LongFormat) + QStringLiteral("  ")
        + QStringLiteral("%1").arg(date.year(), 4, 10, QLatin1Char('0'));
}

MonthGrid::MonthGrid(int year, int month)
    : m_year(year), m_month(month), m_days(daysInMonth(year, month)),
      m_offset(QDate(year, month, 1).dayOfWeek() % 7)   // Qt: Monday 1 .. Sunday 7
{
}

int MonthGrid::dayAt(int row, int column) const
{
    if (row < 1 || row >= Rows || column < 0 || column >= Columns)
        return 0;
    const int day = (row - 1) * Columns + column - m_offset + 1;
    return day >= 1 && day <= m_days ? day : 0;
}

QString MonthGrid::dayName(int column, const QLocale &locale)
{
    return locale.dayName(column == 0 ? 7 : column, QLocale::ShortFormat);
}

} // namespace calendrier
