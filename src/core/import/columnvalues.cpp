// What the first values of a column say of it, beyond its name.
#include "core/import/readers.h"

#include <algorithm>

namespace importer {

// True when the column's values, in the first rows sorted by their dates, go up with few
// exceptions (or too few of them say otherwise).
bool risesWithDates(csv::Reader &in, qint64 header, int date, int column, int sample)
{
    std::vector<std::pair<DateParts, long double>> seen;
    csv::Record r;
    QString scratch;
    while (seen.size() < size_t(sample) && in.next(r)) {
        if (r.line <= header || r.isBlank())
            continue;
        const DateParts d = parseDate(fieldView(r, date, scratch));
        const Number n = parseNumber(fieldView(r, column, scratch), NumberRole::Odometer);
        if (d.shape != DateParts::Bad && n.ok())
            seen.emplace_back(d, n.value());
    }
    DateOrder order = DateOrder::DMY;
    for (DateOrder o : {DateOrder::DMY, DateOrder::MDY, DateOrder::YMD})
        if (std::all_of(seen.begin(), seen.end(), [o](const auto &s) { return dateReadable(s.first, o); })) {
            order = o;
            break;
        }
    std::vector<std::pair<qint64, long double>> keyed;
    for (const auto &[d, value] : seen)
        if (const auto day = resolveDate(d, order))
            keyed.emplace_back(day->toJulianDay() * 1440 + std::max<qint16>(d.minutes, 0), value);
    std::stable_sort(keyed.begin(), keyed.end(),
                     [](const auto &a, const auto &b) { return a.first < b.first; });
    size_t steps = 0, down = 0;
    for (size_t i = 1; i < keyed.size(); ++i) {
        ++steps;
        down += keyed[i].second < keyed[i - 1].second ? 1 : 0;
    }
    return down * 10 <= steps;
}

// True when the column marks its rows with a cross and leaves the others empty.
bool marksWithCross(csv::Reader &in, qint64 header, int column, int sample)
{
    int crosses = 0;
    csv::Record r;
    QString scratch;
    for (int rows = 0; rows < sample && in.next(r);) {
        if (r.line <= header || r.isBlank())
            continue;
        ++rows;
        const QStringView v = fieldView(r, column, scratch).trimmed();
        if (v.isEmpty())
            continue;
        if (v.compare(u"x", Qt::CaseInsensitive) != 0 && v != u"\u2713" && v != u"\u2714" && v != u"*")
            return false;
        ++crosses;
    }
    return crosses > 0;
}

} // namespace importer
