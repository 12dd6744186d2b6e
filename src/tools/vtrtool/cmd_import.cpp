// import [--date-order dmy|mdy|ymd] [--vehicle NAME] [--column "HEADER=part"]... FILE OUT:
// another tracker's history into a vehicle file.
#include "common.h"

#include "core/import/importer.h"
#include "core/vehicle/textrules.h"
#include "core/vehicle/vtrfile.h"

namespace vtrtool {
namespace {

// The right-aligned form of "Prix d'achat", with the width estimate of the document window's
// 13-pixel font the generator uses (digits 7 pixels, point and space 3).
QString aligned(const QString &text)
{
    return textrules::Rset(text, 116, [](const QString &t) {
        int w = 0;
        for (QChar c : t)
            w += c.isDigit() ? 7 : 3;
        return w;
    });
}

int importHistory(const Context &ctx)
{
    const QString command = QStringLiteral("import");
    importer::Options options;
    QStringList files;
    for (qsizetype i = 0; i < ctx.args.size(); ++i) {
        const QString &a = ctx.args[i];
        QString option, value;
        for (const QString &name :
             {QStringLiteral("--date-order"), QStringLiteral("--vehicle"), QStringLiteral("--column")}) {
            if (a == name) {
                if (++i == ctx.args.size())
                    return usageError(command, name == QLatin1String("--vehicle")
                                                   ? QStringLiteral("--vehicle needs a vehicle's name")
                                               : name == QLatin1String("--column")
                                                   ? QStringLiteral("--column needs \"HEADER=part\"")
                                                   : QStringLiteral("--date-order needs dmy, mdy or ymd"));
                option = name;
                value = ctx.args[i];
            } else if (a.startsWith(name + QLatin1Char('='))) {
                option = name;
                value = a.mid(name.size() + 1);
            }
        }
        if (option.isEmpty() && a.startsWith(QLatin1String("--")))
            return usageError(command, QStringLiteral("unknown option '%1'").arg(a));
        if (option.isEmpty()) {
            files << a;
        } else if (option == QLatin1String("--column")) {
            // The last '=' parts the header from the part: a header may hold one.
            const qsizetype eq = value.lastIndexOf(QLatin1Char('='));
            const std::optional<importer::Part> part =
                eq < 0 ? std::nullopt : importer::partFromName(QStringView(value).mid(eq + 1).trimmed());
            if (eq <= 0 || !part) {
                QStringList names;
                for (importer::Part p : importer::choosableParts())
                    names << importer::partName(p);
                return usageError(command, QStringLiteral("'%1' is not \"HEADER=part\" (parts: %2)")
                                               .arg(value, names.join(QStringLiteral(", "))));
            }
            options.columns.push_back({value.left(eq).trimmed(), *part});
        } else if (option == QLatin1String("--vehicle")) {
            if (value.trimmed().isEmpty())
                return usageError(command, QStringLiteral("--vehicle needs a vehicle's name"));
            options.vehicle = value;
        } else {
            options.order = importer::dateOrderFromName(value);
            if (options.order == importer::DateOrder::Unknown)
                return usageError(command,
                                  QStringLiteral("'%1' is not a date order (dmy, mdy or ymd)").arg(value));
        }
    }
    if (files.size() != 2)
        return usageError(command, QStringLiteral("expects FILE and OUT"));

    importer::Result res = importer::importFile(files[0], options, ctx.today);
    if (!res.ok) {
        // What was read and left, when the file was read but gave nothing.
        if (res.noEntry)
            for (const QString &line : res.report.leftOutLines())
                out() << line << '\n';
        err() << res.error << '\n';
        return 1;
    }
    if (res.report.needsVehicle) {
        err() << QStringLiteral("Le fichier %1 contient plusieurs véhicules : %2 ; choisissez-en un "
                                "avec --vehicle NOM")
                     .arg(files[0], importer::vehicleListText(res.report.vehicles))
              << '\n';
        return 1;
    }
    if (res.report.needsDateOrder) {
        QStringList texts, names;
        for (importer::DateOrder o : res.report.possibleOrders) {
            texts << importer::dateOrderText(o);
            names << QStringLiteral("--date-order ")
                    + (o == importer::DateOrder::DMY   ? QStringLiteral("dmy")
                       : o == importer::DateOrder::MDY ? QStringLiteral("mdy")
                                                       : QStringLiteral("ymd"));
        }
        err() << QStringLiteral("Les dates de %1 peuvent se lire %2 : précisez l'ordre avec %3")
                     .arg(files[0], texts.join(QStringLiteral(" ou ")),
                          names.join(QStringLiteral(" ou ")))
              << '\n';
        return 1;
    }
    if (!res.report.doubts.empty()) {
        // What was read, then why nothing is written.
        for (const importer::ColumnUse &c : res.report.columns)
            out() << QStringLiteral("Colonne « %1 » : %2").arg(c.header, importer::partName(c.part)) << '\n';
        for (const importer::Doubt &d : res.report.doubts)
            err() << QStringLiteral("Doute : ") << d.text << '\n';
        err() << QStringLiteral("Rien n'est écrit : vérifiez ces colonnes, puis donnez leur rôle avec "
                                "--column \"%1=partie\" (%2)")
                     .arg(res.report.doubts.front().columns.value(0, QStringLiteral("EN-TÊTE")),
                          QStringLiteral("parties : ")
                              + [] {
                                    QStringList names;
                                    for (importer::Part p : importer::choosableParts())
                                        names << importer::partName(p);
                                    return names.join(QStringLiteral(", "));
                                }())
              << '\n';
        return 1;
    }
    res.record.edit[4] = aligned(res.record.edit[4]);
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
     QStringLiteral("import [--date-order dmy|mdy|ymd] [--vehicle NAME] [--column \"HEADER=part\"]... FILE OUT  read another tracker's export into OUT (made to end in .vtr)"),
     importHistory});

} // namespace
} // namespace vtrtool
