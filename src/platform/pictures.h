#pragma once
// Picture files of the page "Image": BMP, ICO, EMF, WMF and JPEG, chosen by extension.

#include <QImage>
#include <QString>

namespace platform {

struct PictureResult {
    QImage image;  // at the picture's own size; null on error
    QString error; // "Extension de fichier graphique inconnue (.%s)" or a damaged-file message
    bool ok() const { return error.isEmpty(); }
};

PictureResult loadPicture(const QString &path);

} // namespace platform
