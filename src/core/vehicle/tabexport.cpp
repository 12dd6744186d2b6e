#include "core/vehicle/tabexport.h"

#include "core/vehicle/vtrfile.h"

namespace tabexport {

namespace {

template <size_t N>
QString ledgerText(const std::vector<std::array<QString, N>> &entries)
{
    qsizetype size = 0;
    for (const auto &e : entries)
        for (const QString &c : e)
            size += c.size() + 1;
    QString out;
    out.reserve(size + qsizetype(entries.size()));
    for (const auto &e : entries) {
        out += e[0];
        for (size_t i = 1; i < N; ++i) {
            out += QLatin1Char('\t');
            out += e[i];
        }
        out += QLatin1String("\r\n");
    }
    return out;
}

} // namespace

QByteArray exportBytes(const VehicleRecord &r, Ledger ledger)
{
    switch (ledger) {
    case Ledger::Fuel: return vtrfile::encodeText(ledgerText(r.ListView1));
    case Ledger::Garage: return vtrfile::encodeText(ledgerText(r.ListView2));
    case Ledger::Parking: return vtrfile::encodeText(ledgerText(r.ListView3));
    case Ledger::None: break;
    }
    return QByteArray();
}

Result exportToFile(const VehicleRecord &r, Ledger ledger, const QString &path)
{
    const vtrfile::SaveResult s = vtrfile::writeAtomically(path, exportBytes(r, ledger));
    return {s.ok, s.error};
}

} // namespace tabexport
