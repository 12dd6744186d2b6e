// due FILE: what is due on the vehicle, one reminder a line; due --ics FILE OUT: the same as an
// iCalendar file.
#include "common.h"

#include "core/reports/due.h"
#include "core/reports/duecalendar.h"
#include "core/vehicle/textrules.h"
#include "core/vehicle/vtrfile.h"

#include <QFileInfo>

namespace vtrtool {
namespace {

QString optionalNumber(const std::optional<qint64> &n)
{
    return n ? QString::number(*n) : QString();
}

// What a rule left out goes to stderr: the lines stay five columns for the scripts reading them.
void reportUnreadable(const due::Report &report)
{
    for (const due::Reminder &r : report.reminders) {
        if (r.unreadable == 0)
            continue;
        const bool service = r.kind == due::Kind::Service;
        err() << "vtrtool due: " << r.unreadable << " unreadable "
              << (service ? "odometer reading" : "inspection date") << (r.unreadable > 1 ? "s" : "")
              << " left out (" << due::kindName(r.kind) << ")\n";
    }
}

int writeCalendar(const Context &ctx, const VehicleRecord &r, const due::Report &report)
{
    const QString &file = ctx.args[1];
    const QString &target = ctx.args[2];
    const QFileInfo info(file);
    const QString key = info.canonicalFilePath().isEmpty() ? info.absoluteFilePath() : info.canonicalFilePath();
    const QString vehicle = (r.edit[1].trimmed() + u' ' + r.edit[2].trimmed()).trimmed();
    // A pinned day gives the same bytes on every run.
    const QDateTime stamp = ctx.todayGiven ? QDateTime(ctx.today, QTime(0, 0), Qt::UTC)
                                           : QDateTime::currentDateTimeUtc();
    const QByteArray bytes = duecalendar::calendar(report, vehicle, key, stamp);
    if (bytes.isEmpty()) {
        err() << "vtrtool due: no reminder has a date; " << target << " not written\n";
        return 0;
    }
    const vtrfile::SaveResult saved = vtrfile::writeAtomically(target, bytes);
    if (!saved.ok) {
        err() << saved.error << '\n';
        return 1;
    }
    out() << target << '\n';
    return 0;
}

int due(const Context &ctx)
{
    const bool ics = !ctx.args.isEmpty() && ctx.args[0] == QLatin1String("--ics");
    if (ics ? ctx.args.size() != 3 : ctx.args.size() != 1)
        return usageError(QStringLiteral("due"), QStringLiteral("expects FILE, or --ics FILE OUT"));
    VehicleRecord r;
    if (!loadFile(ctx, ctx.args[ics ? 1 : 0], r))
        return 1;
    const due::Report report = due::compute(r, ctx.today);
    reportUnreadable(report);
    if (ics)
        return writeCalendar(ctx, r, report);
    for (const due::Reminder &rem : report.reminders)
        out() << due::kindName(rem.kind) << '\t' << optionalNumber(rem.dueOdometer) << '\t'
              << optionalNumber(rem.remainingKm) << '\t'
              << (rem.date.isValid() ? textrules::formatDate(rem.date) : QString()) << '\t'
              << due::urgencyName(rem.urgency) << '\n';
    return 0;
}

const bool registered = registerCommand(
    {QStringLiteral("due"),
     QStringLiteral("due [--ics] FILE [OUT]          what is due, tab-separated (--ics: to OUT as iCalendar)"),
     due});

} // namespace
} // namespace vtrtool
