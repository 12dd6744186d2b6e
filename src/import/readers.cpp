#include "import/readers.h"

namespace importer {

Header::Header(const csv::Record &record)
{
    for (int i = 0; i < record.size(); ++i) {
        const QString text = record.text(i).trimmed();
        // "Odo (mi)": the name, and the unit in parentheses.
        const qsizetype open = text.indexOf(u'(');
        const qsizetype close = open < 0 ? -1 : text.indexOf(u')', open);
        m_originals.push_back(text);
        if (open > 0) {
            m_names.push_back(normalizeName(QStringView(text).left(open)));
            m_units.push_back(normalizeName(
                QStringView(text).mid(open + 1, close < 0 ? -1 : close - open - 1)));
        } else {
            m_names.push_back(normalizeName(text));
            m_units.push_back(QString());
        }
    }
}

int Header::find(const QString &name) const
{
    for (size_t i = 0; i < m_names.size(); ++i)
        if (m_names[i] == name)
            return int(i);
    return -1;
}

bool isTableMarker(const csv::Record &record, QString *table)
{
    if (record.size() == 0)
        return false;
    const QByteArrayView first = record.bytes(0).trimmed();
    if (!first.startsWith("##"))
        return false;
    for (int i = 1; i < record.size(); ++i)
        if (!record.bytes(i).trimmed().isEmpty())
            return false;
    if (table)
        *table = normalizeName(record.text(0).trimmed().mid(2));
    return true;
}

} // namespace importer
