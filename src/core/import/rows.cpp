// What readers share while handing rows over: descriptions made of parts, and why a row was
// not read.
#include "core/import/builder.h"

namespace importer {

QString joinParts(const QStringList &parts)
{
    // One part alone is shared, not copied.
    qsizetype filled = 0, last = -1;
    for (qsizetype i = 0; i < parts.size(); ++i)
        if (!parts[i].isEmpty()) {
            ++filled;
            last = i;
        }
    if (filled <= 1)
        return last < 0 ? QString() : parts[last];
    QString out;
    for (const QString &p : parts) {
        if (p.trimmed().isEmpty())
            continue;
        if (!out.isEmpty())
            out.append(kPartBreak);
        out.append(p);
    }
    return out;
}

void appendPart(QString &description, QStringView part)
{
    if (part.trimmed().isEmpty())
        return;
    if (!description.isEmpty())
        description.append(kPartBreak);
    description.append(part);
}

QString why::unreadable(const Row &row, QStringView dateText)
{
    if (row.date.shape == DateParts::Bad)
        return dateText.trimmed().isEmpty() ? noDate() : date();
    if (row.odometer.state == Number::Bad)
        return odometer();
    if (row.quantity.state == Number::Bad)
        return quantity();
    if (row.total.state == Number::Bad)
        return amount();
    return {};
}

} // namespace importer
