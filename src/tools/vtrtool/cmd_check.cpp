// check FILE: loads a vehicle file as the application does and sums it up in one line.
#include "common.h"

namespace vtrtool {
namespace {

int check(const Context &ctx)
{
    if (ctx.args.size() != 1)
        return usageError(QStringLiteral("check"), QStringLiteral("expects one FILE"));
    VehicleRecord r;
    if (!loadFile(ctx, ctx.args[0], r))
        return 1;
    out() << ctx.args[0] << ": " << r.ListView1.size() << " fuel, " << r.ListView2.size()
          << " garage, " << r.ListView3.size() << " parking entries, " << r.Memo1.size()
          << " comment lines\n";
    return 0;
}

const bool registered = registerCommand(
    {QStringLiteral("check"),
     QStringLiteral("check FILE                     load FILE and print its entry counts"),
     check});

} // namespace
} // namespace vtrtool
