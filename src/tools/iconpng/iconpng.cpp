// Build-time tool: renders the program's SVG icon to a square PNG of the given size, with the
// same SVG renderer the program uses, so the package needs no converter of its own.
//   tev_iconpng ICON.svg SIZE OUT.png
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    bool sized = false;
    const int size = args.size() == 4 ? args[2].toInt(&sized) : 0;
    if (!sized || size <= 0) {
        std::fputs("usage: tev_iconpng ICON.svg SIZE OUT.png\n", stderr);
        return 2;
    }
    QSvgRenderer svg(args[1]);
    if (!svg.isValid()) {
        std::fprintf(stderr, "tev_iconpng: cannot read %s\n", qPrintable(args[1]));
        return 1;
    }
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        svg.render(&p, QRectF(0, 0, size, size));
    }
    if (!image.save(args[3], "PNG")) {
        std::fprintf(stderr, "tev_iconpng: cannot write %s\n", qPrintable(args[3]));
        return 1;
    }
    return 0;
}
