#pragma once
// Picture files of the page "Image": BMP, ICO, EMF, WMF and JPEG, chosen by extension.

#include <QByteArray>
#include <QImage>
#include <QString>

namespace platform {

struct PictureResult {
    QImage image;  // at the picture's own size; null on error
    QString error; // "Extension de fichier graphique inconnue (.%s)" or a damaged-file message
    bool ok() const { return error.isEmpty(); }
};

PictureResult loadPicture(const QString &path);

// The decoders behind loadPicture, on the file's bytes (also the entry points of the fuzz
// targets). A damaged picture gives an error text, never a crash; a JPEG cut short shows what
// was decoded.
PictureResult decodeBmp(const QByteArray &bytes);
PictureResult decodeIco(const QByteArray &bytes);
PictureResult decodeJpeg(const QByteArray &bytes);
PictureResult decodeEmf(const QByteArray &bytes);
PictureResult decodeWmf(const QByteArray &bytes);

// Largest picture we agree to hold in memory, in pixels (the size Qt's own readers accept).
inline constexpr qint64 kMaxPicturePixels = qint64(256) * 1024 * 1024 / 4;

} // namespace platform
