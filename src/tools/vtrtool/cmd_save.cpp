// save FILE OUT: reads a vehicle file and writes it again with the application's writer.
#include "common.h"

#include "core/vehicle/vtrfile.h"

namespace vtrtool {
namespace {

int save(const Context &ctx)
{
    if (ctx.args.size() != 2)
        return usageError(QStringLiteral("save"), QStringLiteral("expects FILE and OUT"));
    VehicleRecord r;
    if (!loadFile(ctx, ctx.args[0], r))
        return 1;
    const QString target = vtrfile::withVtrExtension(ctx.args[1]);
    const vtrfile::SaveResult s = vtrfile::save(r, target);
    if (!s.ok) {
        err() << s.error << '\n';
        return 1;
    }
    out() << target << '\n';
    return 0;
}

const bool registered = registerCommand(
    {QStringLiteral("save"),
     QStringLiteral("save FILE OUT                  load FILE and write it to OUT (made to end in .vtr)"),
     save});

} // namespace
} // namespace vtrtool
