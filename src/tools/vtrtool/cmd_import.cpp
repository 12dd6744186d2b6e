// import [--date-order dmy|mdy|ymd] FILE OUT: another tracker's history into a vehicle file.
#include "common.h"

#include "import/importer.h"
#include "vehicle/vtrfile.h"

namespace vtrtool {
namespace {

int importHistory(const Context &ctx)
{
    const QString command = QStringLiteral("import");
    importer::DateOrder order = importer::DateOrder::Unknown;
    QStringList files;
    for (qsizetype i = 0; i < ctx.args.size(); ++i) {
        const QString &a = ctx.args[i];
        QString value;
        if (a == QLatin1String("--date-order")) {
            if (++i == ctx.args.size())
                return usageError(command, QStringLiteral("--date-order needs dmy, mdy or ymd"));
            value = ctx.args[i];
        } else if (a.startsWith(QLatin1String("--date-order="))) {
            value = a.mid(13);
        } else if (a.startsWith(QLatin1String("--"))) {
            return usageError(command, QStringLiteral("unknown option '%1'").arg(a));
        } else {
            files << a;
            continue;
        }
        order = importer::dateOrderFromName(value);
        if (order == importer::DateOrder::Unknown)
            return usageError(command,
                              QStringLiteral("'%1' is not a date order (dmy, mdy or ymd)").arg(value));
    }
    if (files.size() != 2)
        return usageError(command, QStringLiteral("expects FILE and OUT"));

    const importer::Result res = importer::importFile(files[0], order, ctx.today);
    if (!res.ok) {
        err() << res.error << '\n';
        return 1;
    }
    if (res.report.needsDateOrder) {
        QStringList texts, options;
        for (importer::DateOrder o : res.report.possibleOrders) {
            texts << importer::dateOrderText(o);
            options << QStringLiteral("--date-order ")
                    + (o == importer::DateOrder::DMY   ? QStringLiteral("dmy")
                       : o == importer::DateOrder::MDY ? QStringLiteral("mdy")
                                                       : QStringLiteral("ymd"));
        }
        err() << QStringLiteral("Les dates de %1 peuvent se lire %2 : précisez l'ordre avec %3")
                     .arg(files[0], texts.join(QStringLiteral(" ou ")),
                          options.join(QStringLiteral(" ou ")))
              << '\n';
        return 1;
    }
    const vtrfile::SaveResult s = vtrfile::save(res.record, vtrfile::withVtrExtension(files[1]));
    if (!s.ok) {
        err() << s.error << '\n';
        return 1;
    }
    for (const QString &line : res.report.lines())
        out() << line << '\n';
    return 0;
}

const bool registered = registerCommand(
    {QStringLiteral("import"),
     QStringLiteral("import [--date-order dmy|mdy|ymd] FILE OUT  read another tracker's export into OUT (made to end in .vtr)"),
     importHistory});

} // namespace
} // namespace vtrtool
