// report [--year YYYY] [--km-pro N] FILE OUT.pdf: the vehicle report ("Bilan du véhicule") as a
// PDF, the document the program prints. Absent from a build of the core alone.
#ifdef TEV_VTRTOOL_REPORT
#include "common.h"

#include "core/reports/vehiclereport.h"
#include "core/vehicle/textrules.h"
#include "core/vehicle/vtrfile.h"
#include "ui/reports/paper/reportpaper.h"

#include <QFileInfo>

namespace vtrtool {
namespace {

int report(const Context &ctx)
{
    const QString name = QStringLiteral("report");
    vehiclereport::Options o;
    o.today = ctx.today;
    QStringList files;
    for (qsizetype i = 0; i < ctx.args.size(); ++i) {
        const QString &a = ctx.args[i];
        if (a == QLatin1String("--year") || a == QLatin1String("--km-pro")) {
            if (++i == ctx.args.size())
                return usageError(name, QStringLiteral("%1 needs a value").arg(a));
            const textrules::NumberRead n = textrules::readNumber(ctx.args[i]);
            if (a == QLatin1String("--year")) {
                bool ok = false;
                o.year = ctx.args[i].toInt(&ok);
                if (!ok || o.year < 1 || o.year > 9999)
                    return usageError(name, QStringLiteral("'%1' is not a year").arg(ctx.args[i]));
            } else {
                if (!n.isNumber() || n.value < 0)
                    return usageError(name, QStringLiteral("'%1' is not a distance").arg(ctx.args[i]));
                o.kmPro = n.value;
            }
        } else if (a.startsWith(QLatin1String("--"))) {
            return usageError(name, QStringLiteral("unknown option '%1'").arg(a));
        } else {
            files << a;
        }
    }
    if (files.size() != 2)
        return usageError(name, QStringLiteral("expects FILE and OUT.pdf"));
    if (o.kmPro && o.year == 0)
        return usageError(name, QStringLiteral("--km-pro needs --year"));
    VehicleRecord r;
    if (!loadFile(ctx, files[0], r))
        return 1;
    o.fileName = QFileInfo(files[0]).fileName();
    const QByteArray bytes = reportpaper::pdf(vehiclereport::build(r, o));
    if (bytes.isEmpty()) {
        err() << QStringLiteral("Ne peut créer le fichier %1").arg(files[1]) << '\n';
        return 1;
    }
    const vtrfile::SaveResult saved = vtrfile::writeAtomically(files[1], bytes);
    if (!saved.ok) {
        err() << saved.error << '\n';
        return 1;
    }
    return 0;
}

const bool registered = registerPaintingCommand(
    {QStringLiteral("report"),
     QStringLiteral("report [--year YYYY] [--km-pro N] FILE OUT.pdf  the vehicle report as PDF"), report});

} // namespace
} // namespace vtrtool
#endif
