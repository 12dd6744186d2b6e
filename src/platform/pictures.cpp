#include "platform/pictures.h"
#include "core/vehicle/filestate.h"
#include "platform/picturedecoders_p.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QtEndian>

#include <cstdlib>

#include <unistd.h>

namespace platform {

namespace detail {

PictureResult failure(const QString &message)
{
    PictureResult r;
    r.error = message;
    return r;
}

bool fitsInMemory(qint64 width, qint64 height)
{
    return width > 0 && height > 0 && width <= kMaxPicturePixels / height;
}

} // namespace detail

using namespace detail;

namespace {

quint16 u16(const QByteArray &b, qsizetype at)
{
    return qFromLittleEndian<quint16>(b.constData() + at);
}

quint32 u32(const QByteArray &b, qsizetype at)
{
    return qFromLittleEndian<quint32>(b.constData() + at);
}

qint32 i32(const QByteArray &b, qsizetype at)
{
    return qFromLittleEndian<qint32>(b.constData() + at);
}

// Qt's BMP reader returns a picture for a file cut short (the missing rows left blank): check
// that the pixel data the headers announce is there.
bool bmpComplete(const QByteArray &b)
{
    constexpr qsizetype kFileHeader = 14;
    if (b.size() < kFileHeader + 12 || b[0] != 'B' || b[1] != 'M')
        return false;
    const quint32 dibSize = u32(b, 14);
    if (dibSize < 12 || qint64(kFileHeader) + dibSize > b.size())
        return false;
    qint64 width = 0;
    qint64 height = 0;
    quint32 bpp = 0;
    quint32 compression = 0;
    quint32 imageSize = 0;
    if (dibSize < 40) { // OS/2 core header
        width = u16(b, 18);
        height = u16(b, 20);
        bpp = u16(b, 24);
    } else {
        width = i32(b, 18);
        height = std::abs(qint64(i32(b, 22)));
        bpp = u16(b, 28);
        compression = u32(b, 30);
        imageSize = u32(b, 34);
    }
    if (width <= 0 || height <= 0 || bpp == 0 || bpp > 32 || !fitsInMemory(width, height))
        return false;
    const qint64 pixels = std::max<qint64>(u32(b, 10), kFileHeader + dibSize);
    switch (compression) {
    case 0: // BI_RGB
    case 3: // BI_BITFIELDS
    case 6: { // BI_ALPHABITFIELDS
        const qint64 row = (width * bpp + 31) / 32 * 4;
        return pixels + row * height <= b.size();
    }
    case 1: // BI_RLE8
    case 2: // BI_RLE4
        return pixels < b.size() && pixels + imageSize <= b.size();
    default:
        return false;
    }
}

// Every image an icon file lists must lie inside the file.
bool icoComplete(const QByteArray &b)
{
    if (b.size() < 6 || u16(b, 0) != 0 || (u16(b, 2) != 1 && u16(b, 2) != 2))
        return false;
    const int count = u16(b, 4);
    if (count == 0 || 6 + qint64(count) * 16 > b.size())
        return false;
    for (int i = 0; i < count; ++i) {
        const qsizetype entry = 6 + qsizetype(i) * 16;
        const qint64 size = u32(b, entry + 8);
        const qint64 offset = u32(b, entry + 12);
        if (size == 0 || offset + size > b.size())
            return false;
    }
    return true;
}

QString extensionOf(const QString &path)
{
    return QFileInfo(path).suffix();
}

} // namespace

PictureResult decodeBmp(const QByteArray &bytes)
{
    if (!bmpComplete(bytes))
        return failure(badBitmap());
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "bmp");
    PictureResult r;
    r.image = reader.read();
    if (r.image.isNull())
        return failure(badBitmap());
    return r;
}

PictureResult decodeIco(const QByteArray &bytes)
{
    if (!icoComplete(bytes))
        return failure(badIcon());
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "ico");
    // An icon file holds several sizes: show the one nearest to a desktop icon (32 x 32).
    PictureResult best;
    int bestDistance = 0;
    const int count = std::max(reader.imageCount(), 1);
    for (int i = 0; i < count; ++i) {
        if (i > 0 && !reader.jumpToImage(i))
            break;
        const QImage img = reader.read();
        if (img.isNull())
            return failure(badIcon());
        const int distance = std::abs(img.width() - 32) + std::abs(img.height() - 32);
        if (best.image.isNull() || distance < bestDistance) {
            best.image = img;
            bestDistance = distance;
        }
    }
    if (best.image.isNull())
        return failure(badIcon());
    return best;
}

PictureResult loadPicture(const QString &path)
{
    const QString ext = extensionOf(path);
    const QString lower = ext.toLower();
    PictureResult (*decode)(const QByteArray &) = nullptr;
    if (lower == u"bmp")
        decode = decodeBmp;
    else if (lower == u"ico")
        decode = decodeIco;
    else if (lower == u"jpg" || lower == u"jpeg")
        decode = decodeJpeg;
    else if (lower == u"emf")
        decode = decodeEmf;
    else if (lower == u"wmf")
        decode = decodeWmf;
    else
        return failure(QStringLiteral("Extension de fichier graphique inconnue (.%1)").arg(ext));

    // Only a regular file: a FIFO or a device named like a picture would never end.
    QFile file;
    const int fd = filestate::openRegular(path);
    if (fd < 0 || !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        if (fd >= 0)
            ::close(fd);
        return failure(QStringLiteral("Impossible d'ouvrir le fichier %1").arg(path));
    }
    // No picture we can show needs more bytes than pixels we can hold.
    if (file.size() > kMaxPicturePixels * 4)
        return failure(tooLarge());
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return failure(QStringLiteral("Impossible de lire le fichier %1").arg(path));
    return decode(bytes);
}

} // namespace platform
