#pragma once
// The rules of the month calendar: the month step, the caption, and the 7 x 7 grid of a month
// (a row of short day names, then six week rows, Sunday first, empty cells around the month).

#include <QDate>
#include <QLocale>
#include <QString>

namespace calendrier {

bool isLeapYear(int year);
int daysInMonth(int year, int month);

// The same day number in the previous (delta -1) or next (+1) month, cut to that month's length.
QDate stepMonth(const QDate &date, int delta);

// "mmmmm  yyyy": the long month name of the locale, two spaces, the four-digit year.
QString caption(const QDate &date, const QLocale &locale);

class MonthGrid {
public:
    static constexpr int Rows = 7;
    static constexpr int Columns = 7;

    MonthGrid(int year, int month);
    explicit MonthGrid(const QDate &date) : MonthGrid(date.year(), date.month()) {}

    int year() const { return m_year; }
    int month() const { return m_month; }
    int days() const { return m_days; }

    // The day number in a cell; 0 for the names row, an empty cell or a cell outside the grid.
    int dayAt(int row, int column) const;
    // Row (1 to 6) and column (0 = Sunday) of a day of the month.
    int rowOf(int day) const { return (m_offset + day - 1) / Columns + 1; }
    int columnOf(int day) const { return (m_offset + day - 1) % Columns; }

    // Short name of the weekday of a column, Sunday first.
    static QString dayName(int column, const QLocale &locale);

private:
    int m_year;
    int m_month;
    int m_days;
    int m_offset;   // column of the 1st
};

} // namespace calendrier
