// Placeholder until the decoders land.
#include "platform/pictures.h"

#include <QFileInfo>

namespace platform {

PictureResult loadPicture(const QString &path)
{
    PictureResult r;
    if (!r.image.load(path))
        r.error = QStringLiteral("Extension de fichier graphique inconnue (.%1)").arg(QFileInfo(path).suffix());
    return r;
}

} // namespace platform
