// export fuel|garage|parking FILE OUT: one ledger as tab-separated text, as the window exports it.
#include "common.h"

#include "core/vehicle/tabexport.h"

namespace vtrtool {
namespace {

int exportLedger(const Context &ctx)
{
    if (ctx.args.size() != 3)
        return usageError(QStringLiteral("export"),
                          QStringLiteral("expects a ledger, FILE and OUT"));
    const QString &which = ctx.args[0];
    tabexport::Ledger ledger;
    if (which == QLatin1String("fuel"))
        ledger = tabexport::Ledger::Fuel;
    else if (which == QLatin1String("garage"))
        ledger = tabexport::Ledger::Garage;
    else if (which == QLatin1String("parking"))
        ledger = tabexport::Ledger::Parking;
    else
        return usageError(QStringLiteral("export"),
                          QStringLiteral("unknown ledger '%1' (fuel, garage or parking)").arg(which));
    VehicleRecord r;
    if (!loadFile(ctx, ctx.args[1], r))
        return 1;
    const tabexport::Result res = tabexport::exportToFile(r, ledger, ctx.args[2]);
    if (!res.ok) {
        err() << res.error << '\n';
        return 1;
    }
    return 0;
}

const bool registered = registerCommand(
    {QStringLiteral("export"),
     QStringLiteral("export fuel|garage|parking FILE OUT  write one ledger of FILE to OUT as tab-separated text"),
     exportLedger});

} // namespace
} // namespace vtrtool
