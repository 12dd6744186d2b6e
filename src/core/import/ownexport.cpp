// A ledger as this program's "E&xporter..." writes it: no header, one entry per line, tab
// between the date, the description and the numbers (three columns for parking, four for the
// garage, five for fuel). It comes back into the same ledger, entry for entry: texts as
// written, repeats and order kept.
#include "core/import/readers.h"

#include "core/vehicle/textrules.h"

using namespace Qt::StringLiterals;

namespace importer {

namespace {

bool isLedgerDate(QByteArrayView b)
{
    if (b.size() != 10 || b[2] != '/' || b[5] != '/')
        return false;
    for (qsizetype i : {0, 1, 3, 4, 6, 7, 8, 9})
        if (b[i] < '0' || b[i] > '9')
            return false;
    return true;
}

// A number of the ledger as the entry dialogs keep it: empty, or read by the program's rules.
bool readable(const QString &text)
{
    return text.trimmed().isEmpty() || textrules::readNumber(text).isNumber();
}

} // namespace

int weighOwnExport(const Look &look)
{
    if (look.records.empty())
        return evidence::None;
    const int columns = look.records.front().size();
    if (columns < 3 || columns > 5)
        return evidence::None;
    for (const csv::Record &r : look.records)
        if (r.size() != columns || !isLedgerDate(r.bytes(0)))
            return evidence::None;
    return evidence::Layout;
}

void readOwnExport(csv::Reader &in, Builder &out, Report &report)
{
    out.setFileOrder(DateOrder::DMY);
    out.keepAsWritten();
    csv::Record r;
    int columns = 0;
    QString dateScratch;
    while (in.next(r)) {
        if (r.isBlank())
            continue;
        if (columns == 0) {
            columns = r.size();
            report.format = columns == 5   ? u"Export d'un registre de carburant de Tev Auto"_s
                          : columns == 4 ? u"Export d'un registre de garage de Tev Auto"_s
                                         : u"Export d'un registre de stationnement de Tev Auto"_s;
        }
        Row row;
        row.line = r.line;
        row.ledger = columns == 5 ? Ledger::Fuel : columns == 4 ? Ledger::Garage : Ledger::Parking;
        const QStringView date = fieldView(r, 0, dateScratch);
        row.date = parseDate(date);
        if (row.date.shape == DateParts::Bad || !isLedgerDate(r.bytes(0))) {
            out.skip(r.line, date.trimmed().isEmpty() ? why::noDate() : why::date());
            continue;
        }
        row.description = r.text(1);
        row.asWritten = true;
        row.totalText = r.text(2);
        if (columns == 5)
            row.quantityText = r.text(3);
        if (columns >= 4)
            row.odometerText = r.text(columns - 1);
        if (!readable(row.totalText)) {
            out.skip(r.line, why::amount());
            continue;
        }
        if (!readable(row.quantityText)) {
            out.skip(r.line, why::quantity());
            continue;
        }
        if (!readable(row.odometerText)) {
            out.skip(r.line, why::odometer());
            continue;
        }
        out.add(std::move(row));
    }
}

} // namespace importer
