#include "core/vehicle/tabexport.h"

#include "core/vehicle/vtrfile.h"

#include <string>

namespace tabexport {

namespace {

template <size_t N>
QByteArray ledgerBytes(const std::vector<LedgerEntry<N>> &entries)
{
    size_t size = 0;
    for (const auto &e : entries)
        for (const LedgerText &c : e)
            size += size_t(c.size()) + 1;
    std::string out;
    out.reserve(size + entries.size());
    for (const auto &e : entries) {
        e.text(0).appendEncoded(out);
        for (size_t i = 1; i < N; ++i) {
            out += '\t';
            e.text(i).appendEncoded(out);
        }
        out += "\r\n";
    }
    return QByteArray(out.data(), qsizetype(out.size()));
}

} // namespace

QByteArray exportBytes(const VehicleRecord &r, Ledger ledger)
{
    switch (ledger) {
    case Ledger::Fuel: return ledgerBytes(r.ListView1);
    case Ledger::Garage: return ledgerBytes(r.ListView2);
    case Ledger::Parking: return ledgerBytes(r.ListView3);
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
