#include "app/TAboutBox.h"

#include "app/startup.h"
#include "platform/fonts.h"
#include "tevversion.h"

#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QSvgRenderer>

TAboutBox::TAboutBox(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint)
{
    initAppResources();
    setObjectName(QStringLiteral("TAboutBox"));
    setWindowTitle(QStringLiteral("A propos"));
    setFixedSize(367, 258);
    QFont f = platform::windowFont();
    f.setPixelSize(14);
    setFont(f);

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel1->setGeometry(10, 10, 346, 191);

    ProgramIcon = new QLabel(Panel1);
    ProgramIcon->setObjectName(QStringLiteral("ProgramIcon"));
    ProgramIcon->setGeometry(10, 10, 87, 79);
    QPixmap pm(87, 79);
    pm.fill(Qt::transparent);
    {
        QPainter p(&pm);
        QSvgRenderer(QStringLiteral(":/car.svg")).render(&p, QRectF(0, 0, 87, 79)); // stretched
    }
    ProgramIcon->setPixmap(pm);

    ProductName = new QLabel(QStringLiteral("Tev Auto"), Panel1);
    ProductName->setObjectName(QStringLiteral("ProductName"));
    QFont fn = font();
    fn.setBold(true);
    fn.setPixelSize(30);
    ProductName->setFont(fn);
    ProductName->move(108, 20);
    ProductName->adjustSize();

    Version = new QLabel(QStringLiteral("Version : " TEV_VERSION), Panel1);
    Version->setObjectName(QStringLiteral("Version"));
    QFont fv = font();
    fv.setPixelSize(17);
    Version->setFont(fv);
    Version->move(108, 57);
    Version->adjustSize();

    Comments = new QLabel(QStringLiteral("Suivi du budget d'un véhicule"), Panel1);
    Comments->setObjectName(QStringLiteral("Comments"));
    Comments->setWordWrap(true);
    Comments->setGeometry(10, 128, 319, 40);
    Comments->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setGeometry(148, 211, 80, 38);
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
}

void TAboutBox::showEvent(QShowEvent *e)
{
    // Centred on the screen, not on the frame.
    const QScreen *screen = parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
    if (screen)
        move(screen->availableGeometry().center() -
             QPoint(frameGeometry().width() / 2, frameGeometry().height() / 2));
    QDialog::showEvent(e);
}
