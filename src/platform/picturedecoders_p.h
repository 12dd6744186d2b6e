#pragma once
// Shared by the picture decoders.

#include "platform/pictures.h"

#include <QSize>

namespace platform::detail {

PictureResult failure(const QString &message);

inline QString badBitmap() { return QStringLiteral("Image bitmap incorrecte"); }
inline QString badIcon() { return QStringLiteral("Icône incorrecte"); }
inline QString badJpeg() { return QStringLiteral("Image JPEG incorrecte"); }
inline QString badMetafile() { return QStringLiteral("Métafichier incorrect"); }
inline QString tooLarge() { return QStringLiteral("Image trop grande pour être affichée"); }

bool fitsInMemory(qint64 width, qint64 height);

// Renders an SVG document to an image at its own size (scaled down when it would not fit in
// memory); an error when the document is not valid or has no size.
PictureResult renderSvg(const QByteArray &svg);

} // namespace platform::detail
