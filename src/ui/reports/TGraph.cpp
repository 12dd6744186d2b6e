#include "ui/reports/TGraph.h"

#include "core/reports/yearlysums.h"
#include "core/vehicle/textrules.h"
#include "platform/fonts.h"

#include <QFontMetrics>
#include <QFrame>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>


TGraph::TGraph(QWidget *parent)
    : QDialog(parent), Panel1(new QFrame(this)), Button1(new QPushButton(Panel1))
{
    setObjectName(QStringLiteral("TGraph"));
    setWindowTitle(QStringLiteral("Graphiques"));
    setFont(platform::windowFont());
    resize(544, 375);
    QPalette pal = palette();
    const QColor panelColour = pal.color(QPalette::Window);
    pal.setColor(QPalette::Window, Qt::white);
    pal.setColor(QPalette::WindowText, Qt::black);
    setPalette(pal);
    setAutoFillBackground(true);

    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    QPalette panelPal = Panel1->palette();
    panelPal.setColor(QPalette::Window, panelColour);
    Panel1->setPalette(panelPal);
    Panel1->setAutoFillBackground(true);
    Panel1->setFixedHeight(33);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Panel1);
    layout->addStretch(1);

    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setText(QStringLiteral("Fermer"));
    Button1->setGeometry(447, 4, 75, 25);
    connect(Button1, &QPushButton::clicked, this, &TGraph::Button1Click);

    FormCreate();
}

void TGraph::FormCreate()
{
    // The colours and legend texts are the chart drawing's own (chart::colours, chart::legends).
}

void TGraph::Button1Click()
{
    reject();
}

void TGraph::setVisible(bool visible)
{
    if (visible && !isVisible()) {
        if (const QScreen *s = screen())
            move(s->availableGeometry().center() - rect().center());
    }
    QDialog::setVisible(visible);
}

void TGraph::Init(int position, const QString &label, long double fuel, long double garage,
                  long double parking, long double insuranceVignette)
{
    if (position < 1 || position > kPositions)
        return;
    const auto p = std::size_t(position);
    m_data.series[1][p] = fuel;
    m_data.series[2][p] = garage;
    m_data.series[3][p] = parking;
    m_data.series[4][p] = insuranceVignette;
    m_data.labels[p] = label;
    m_data.count = position;
    update();
}

void TGraph::fillFrom(const VehicleRecord &r, const QDate &today)
{
    chart::fill(m_data, yearlysums::yearlyFill(r, today, kPositions));
    update();
}

long double TGraph::amount(int series, int position) const
{
    if (series < 1 || series > kSeries || position < 1 || position > kPositions)
        return 0;
    return m_data.series[std::size_t(series)][std::size_t(position)];
}

QString TGraph::label(int position) const
{
    return position >= 1 && position <= kPositions ? m_data.labels[std::size_t(position)] : QString();
}

void TGraph::Axes(QPainter &p) const
{
    chart::axes(p);
}

long double TGraph::Echelle(QPainter &p) const
{
    return chart::scale(p, m_data);
}

void TGraph::Histo(QPainter &p, long double scale) const
{
    chart::bars(p, m_data, scale);
}

void TGraph::paintChart(QPainter &p) const
{
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    p.setFont(font());
    p.setPen(palette().color(QPalette::WindowText));
    p.setBackground(Qt::white);
    p.setBackgroundMode(Qt::OpaqueMode);
    Axes(p);
    const long double scale = Echelle(p);
    Histo(p, scale);
}

void TGraph::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    paintChart(p);
}
