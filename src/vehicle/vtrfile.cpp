// Placeholder bodies so that the tree builds; the real reader and writer replace them.
#include "vehicle/vtrfile.h"

namespace vtrfile {

QStringList writeLines(const VehicleRecord &) { return {}; }
QByteArray encode(const QStringList &lines) { return lines.join(QStringLiteral("\r\n")).toLatin1(); }
SaveResult save(const VehicleRecord &, const QString &) { return {}; }
QString withVtrExtension(const QString &path) { return path; }
QStringList decodeLines(const QByteArray &) { return {}; }
PictureHook nameOnlyPictureHook() { return {}; }
LoadResult load(VehicleRecord &r, const QString &path, const PictureHook &)
{
    r.fileName = path;
    return {};
}
LoadResult loadBytes(VehicleRecord &, const QByteArray &, const PictureHook &) { return {}; }

} // namespace vtrfile
