#include "app/toolpictures.h"

#include "app/startup.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

namespace toolpictures {

QImage render(const QString &name, int size, qreal devicePixelRatio)
{
    const int px = qRound(size * devicePixelRatio);
    QImage img(px, px, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    initAppResources();
    QSvgRenderer svg(QStringLiteral(":/toolbar/%1.svg").arg(name));
    if (svg.isValid()) {
        QPainter p(&img);
        svg.render(&p, QRectF(0, 0, px, px));
    }
    img.setDevicePixelRatio(devicePixelRatio);
    return img;
}

QImage disabledLook(const QImage &normal)
{
    const QImage src = normal.convertToFormat(QImage::Format_ARGB32);
    QImage mask(src.size(), QImage::Format_ARGB32);
    mask.fill(Qt::transparent);
    // A pixel belongs to the shape when it is opaque enough and not near white (highlights of
    // the picture stay out, as in the classic look).
    for (int y = 0; y < src.height(); ++y) {
        const QRgb *in = reinterpret_cast<const QRgb *>(src.constScanLine(y));
        QRgb *out = reinterpret_cast<QRgb *>(mask.scanLine(y));
        for (int x = 0; x < src.width(); ++x)
            if (qAlpha(in[x]) > 96 && qGray(in[x]) < 200)
                out[x] = qRgba(0, 0, 0, 255);
    }
    QImage result(src.size(), QImage::Format_ARGB32_Premultiplied);
    result.fill(Qt::transparent);
    QPainter p(&result);
    auto tinted = [&](const QColor &c) {
        QImage t = mask;
        QPainter tp(&t);
        tp.setCompositionMode(QPainter::CompositionMode_SourceIn);
        tp.fillRect(t.rect(), c);
        return t;
    };
    p.drawImage(1, 1, tinted(Qt::white));
    p.drawImage(0, 0, tinted(QColor(128, 128, 128)));
    p.end();
    result.setDevicePixelRatio(normal.devicePixelRatio());
    return result;
}

QIcon icon(const QString &name, int size)
{
    const qreal dpr = qGuiApp ? qGuiApp->devicePixelRatio() : 1.0;
    const QImage normal = render(name, size, dpr);
    QIcon i;
    i.addPixmap(QPixmap::fromImage(normal), QIcon::Normal);
    i.addPixmap(QPixmap::fromImage(disabledLook(normal)), QIcon::Disabled);
    return i;
}

} // namespace toolpictures

namespace toolpictures {

QIcon programIcon()
{
    initAppResources();
    QSvgRenderer svg(QStringLiteral(":/icon.svg"));
    QIcon i;
    for (int size : {16, 32, 48, 64}) {
        QImage img(size, size, QImage::Format_ARGB32_Premultiplied);
        img.fill(Qt::transparent);
        QPainter p(&img);
        svg.render(&p);
        p.end();
        i.addPixmap(QPixmap::fromImage(img));
    }
    return i;
}

} // namespace toolpictures
