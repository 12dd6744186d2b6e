#include "import/importer.h"

#include "import/builder.h"
#include "import/csv.h"
#include "import/readers.h"

#include <QFile>

using namespace Qt::StringLiterals;

namespace importer {

DateOrder dateOrderFromName(const QString &name)
{
    const QString n = name.trimmed().toLower();
    if (n == u"dmy")
        return DateOrder::DMY;
    if (n == u"mdy")
        return DateOrder::MDY;
    if (n == u"ymd")
        return DateOrder::YMD;
    return DateOrder::Unknown;
}

QString dateOrderText(DateOrder order)
{
    switch (order) {
    case DateOrder::DMY:
        return u"jour/mois/année"_s;
    case DateOrder::MDY:
        return u"mois/jour/année"_s;
    case DateOrder::YMD:
        return u"année/mois/jour"_s;
    case DateOrder::Unknown:
        break;
    }
    return {};
}

namespace {

QString counted(qint64 n, const QString &one, const QString &many)
{
    return QString::number(n) + u' ' + (n > 1 ? many : one);
}

QString entries(qint64 n) { return counted(n, u"écriture"_s, u"écritures"_s); }

constexpr int kSkippedInFull = 20;
constexpr int kLookAhead = 10; // records looked at to find the format

} // namespace

QStringList Report::lines() const
{
    QStringList out;
    out << u"Format : "_s + format;
    if (!vehicleName.isEmpty())
        out << u"Véhicule : "_s + vehicleName;
    if (needsDateOrder) {
        QStringList orders;
        for (DateOrder o : possibleOrders)
            orders << dateOrderText(o);
        out << u"Ordre des dates à préciser : "_s + orders.join(u" ou "_s);
        return out;
    }
    out << u"Carburant : "_s + entries(fuelCount);
    out << u"Garage : "_s + entries(garageCount);
    out << u"Stationnement : "_s + entries(parkingCount);
    out << conversions;
    for (const LeftOut &l : leftOut)
        out << u"Laissé de côté : "_s + l.category + u", "_s
                + counted(l.rows, u"ligne"_s, u"lignes"_s) + u", total "_s + l.total + u" ("_s
                + l.reason + u')';
    if (duplicates > 0)
        out << u"Doublons gardés une fois : "_s + counted(duplicates, u"ligne"_s, u"lignes"_s);
    if (replacedCharacters > 0)
        out << u"Caractères remplacés ou supprimés (absents de Windows-1252) : "_s
                + QString::number(replacedCharacters);
    if (purchaseDate.isValid())
        out << u"Date d'achat : "_s + dateText(purchaseDate)
                + u" (date de la plus ancienne écriture)"_s;
    if (!skipped.empty()) {
        out << u"Lignes illisibles, ignorées : "_s + QString::number(skipped.size());
        for (size_t i = 0; i < skipped.size() && i < size_t(kSkippedInFull); ++i)
            out << u"  ligne "_s + QString::number(skipped[i].line) + u" : "_s + skipped[i].reason;
        if (skipped.size() > size_t(kSkippedInFull))
            out << u"  et "_s
                    + counted(qint64(skipped.size()) - kSkippedInFull, u"autre ligne"_s,
                              u"autres lignes"_s);
    }
    return out;
}

Result importDevice(QIODevice &device, DateOrder order, const QDate &today, const QString &name)
{
    Result res;
    res.record = VehicleRecord::create(today);
    const QString unrecognised = u"Format de fichier non reconnu"_s;
    csv::Reader in(device);

    // The format, from the first records that hold anything.
    enum class Kind { None, PhoneBackup, Ledger, Spreadsheet } kind = Kind::None;
    LedgerExport ledger = LedgerExport::None;
    qint64 headerLine = 0;
    csv::Record r;
    int looked = 0;
    while (kind == Kind::None && looked < kLookAhead && in.next(r)) {
        if (r.isBlank())
            continue;
        if (looked++ == 0) {
            if (isTableMarker(r)) {
                kind = Kind::PhoneBackup;
                break;
            }
            ledger = ledgerExportKind(Header(r));
            if (ledger != LedgerExport::None) {
                kind = Kind::Ledger;
                break;
            }
        }
        if (isSpreadsheetHeader(Header(r))) {
            kind = Kind::Spreadsheet;
            headerLine = r.line;
        }
    }
    if (in.error() == csv::Reader::Error::Read) {
        res.error = u"Ne peut lire le fichier %1"_s.arg(name);
        return res;
    }
    if (kind == Kind::None) {
        res.error = unrecognised;
        return res;
    }
    if (!in.rewind()) {
        res.error = u"Ne peut lire le fichier %1"_s.arg(name);
        return res;
    }

    Builder builder(res.report);
    builder.expect(device.size());
    switch (kind) {
    case Kind::PhoneBackup:
        readPhoneBackup(in, builder, res.report, res.record);
        break;
    case Kind::Ledger:
        readLedgerExport(in, ledger, builder, res.report);
        break;
    case Kind::Spreadsheet:
        readSpreadsheet(in, headerLine, builder, res.report);
        break;
    case Kind::None:
        break;
    }
    switch (in.error()) {
    case csv::Reader::Error::None:
        break;
    case csv::Reader::Error::Read:
        res.error = u"Ne peut lire le fichier %1"_s.arg(name);
        return res;
    case csv::Reader::Error::RecordTooLong:
        res.error = u"Ligne %1 trop longue : %2 n'est pas un tableau lisible"_s
                        .arg(in.errorLine())
                        .arg(name);
        return res;
    }
    if (!builder.finish(order, res.record))
        res.record = VehicleRecord::create(today); // nothing until the order is known
    res.ok = true;
    return res;
}

Result importFile(const QString &path, DateOrder order, const QDate &today)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        Result res;
        res.record = VehicleRecord::create(today);
        res.error = u"Ne peut ouvrir le fichier %1"_s.arg(path);
        return res;
    }
    return importDevice(file, order, today, path);
}

} // namespace importer
