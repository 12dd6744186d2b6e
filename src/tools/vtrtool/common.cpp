#include "common.h"

#include "core/reports/calculations.h"
#include "core/vehicle/vtrfile.h"

#include <QFileInfo>

#include <cstdio>

namespace vtrtool {

QTextStream &out()
{
    static QTextStream s(stdout);
    return s;
}

QTextStream &err()
{
    static QTextStream s(stderr);
    return s;
}

bool loadFile(const Context &ctx, const QString &path, VehicleRecord &r)
{
    r = VehicleRecord::create(ctx.today);
    const vtrfile::LoadResult res =
        vtrfile::load(r, path, vtrfile::nameOnlyPictureHook(QFileInfo(path).absolutePath()));
    if (!res.ok) {
        err() << res.error << '\n';
        err().flush();
        return false;
    }
    computeAll(r);
    return true;
}

int usageError(const QString &command, const QString &message)
{
    err() << "vtrtool " << command << ": " << message << '\n'
          << "usage: vtrtool " << usageOf(command).section(QStringLiteral("  "), 0, 0).trimmed()
          << '\n';
    err().flush();
    return 2;
}

} // namespace vtrtool
