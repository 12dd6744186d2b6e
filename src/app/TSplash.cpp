#include "app/TSplash.h"

#include "app/startup.h"
#include "tevversion.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QSvgRenderer>
#include <qdrawutil.h>

namespace {
QPixmap carPicture(QSize size)
{
    QPixmap pm(size);
    pm.fill(Qt::transparent);
    QSvgRenderer svg(QStringLiteral(":/car.svg"));
    QPainter p(&pm);
    svg.render(&p, QRectF(QPointF(0, 0), QSizeF(size))); // stretched to the given size
    return pm;
}
} // namespace

TSplash::TSplash(QWidget *parent) : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint)
{
    initAppResources();
    setObjectName(QStringLiteral("TSplash"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    setFixedSize(318, 221);
    if (QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(32, 16, 89, 113);
    Image1->setPixmap(carPicture(QSize(89, 113)));

    Label1 = new QLabel(QStringLiteral("Tev Auto"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    QFont f1(QStringLiteral("Arial"));
    f1.setStyleHint(QFont::SansSerif);
    f1.setBold(true);
    f1.setPixelSize(23);
    Label1->setFont(f1);
    Label1->setAttribute(Qt::WA_TranslucentBackground);
    Label1->move(144, 48);
    Label1->adjustSize();

    Label2 = new QLabel(QStringLiteral("Version " TEV_VERSION), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    QFont f2 = QGuiApplication::font();
    f2.setBold(true);
    f2.setPixelSize(17);
    Label2->setFont(f2);
    Label2->move(144, 96);
    Label2->adjustSize();

    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, Qt::black);
    Label1->setPalette(pal);
    Label2->setPalette(pal);
}

void TSplash::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), Qt::yellow);
    // The red panel: a single-line border, then a raised inner bevel 3 pixels wide.
    p.setPen(Qt::black);
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    QPalette bevel;
    bevel.setColor(QPalette::Light, QColor(255, 128, 128));
    bevel.setColor(QPalette::Dark, QColor(128, 0, 0));
    const QBrush red(Qt::red);
    qDrawShadePanel(&p, rect().adjusted(1, 1, -1, -1), bevel, false, 3, &red);
}
