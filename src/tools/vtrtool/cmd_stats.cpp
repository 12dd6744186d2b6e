// vtrtool stats FILE: the statistics table of a vehicle file, one grid row per line.
#include "commands.h"

#include "core/reports/calculations.h"
#include "core/reports/yearlysums.h"
#include "core/vehicle/vtrfile.h"

#include <QTextStream>

namespace {

int runStats(const vtrtool::Context &ctx)
{
    if (ctx.args.size() != 1) {
        QTextStream(stderr) << "usage: vtrtool stats FILE\n";
        return 2;
    }
    VehicleRecord record = VehicleRecord::create(ctx.today);
    const vtrfile::LoadResult loaded =
        vtrfile::load(record, ctx.args.first(), vtrfile::nameOnlyPictureHook());
    if (!loaded.ok) {
        QTextStream(stderr) << loaded.error << '\n';
        return 1;
    }
    computeAll(record);
    const yearlysums::StatsTable table = yearlysums::statsTable(record, ctx.today);
    QTextStream out(stdout);
    for (int r = 0; r <= table.totalRow; ++r) {
        const auto &row = table.cells[std::size_t(r)];
        out << QStringList(row.begin(), row.end()).join(QLatin1Char('\t')) << '\n';
    }
    return 0;
}

const bool registered = vtrtool::registerCommand(
    {QStringLiteral("stats"),
     QStringLiteral("stats FILE    the statistics table by year (tab-separated, as of --today)"),
     runStats});

} // namespace
