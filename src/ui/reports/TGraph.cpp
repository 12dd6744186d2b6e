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

namespace {
constexpr int kAxisX = 50;
constexpr int kAxisY = 300;
constexpr int kAxisTop = 70;
constexpr int kAxisRight = 500;
constexpr int kBarsLeft = 60;
constexpr int kBand = 450;
constexpr int kTallest = 220;

// A filled rectangle with a one-pixel black outline, covering the pixels from (x1, y1) up to
// but not including (x2, y2), whichever way round the corners are given. Filling pixel by
// pixel keeps every edge exactly where the coordinates say.
void outlinedRect(QPainter &p, int x1, int y1, int x2, int y2, const QColor &fill)
{
    const QRect r(QPoint(std::min(x1, x2), std::min(y1, y2)),
                  QPoint(std::max(x1, x2) - 1, std::max(y1, y2) - 1));
    if (r.width() <= 0 || r.height() <= 0)
        return;
    p.fillRect(r, Qt::black);
    if (r.width() > 2 && r.height() > 2)
        p.fillRect(r.adjusted(1, 1, -1, -1), fill);
}

// Bar heights far beyond the window are cut so that they stay in the range of an int.
int barHeight(long double amount, long double scale)
{
    const long double h = textrules::roundHalfEven(amount * scale);
    return int(std::clamp<long double>(h, -10000, 10000));
}
} // namespace

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
    m_colors = {QColor(), QColor(0, 0, 128), QColor(255, 0, 0), QColor(0, 255, 0),
                QColor(255, 255, 0)};
    m_legend = {QString(), QStringLiteral("Essence"), QStringLiteral("Garage"),
                QStringLiteral("Stationn."), QStringLiteral("Ass./Vig.")};
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
    m_series[1][p] = fuel;
    m_series[2][p] = garage;
    m_series[3][p] = parking;
    m_series[4][p] = insuranceVignette;
    m_labels[p] = label;
    m_count = position;
    update();
}

void TGraph::fillFrom(const VehicleRecord &r, const QDate &today)
{
    clear();
    const yearlysums::YearlyFill fill = yearlysums::yearlyFill(r, today, kPositions);
    int position = 1;
    for (const yearlysums::YearFigures &y : fill.years)
        Init(position++, QString::number(y.year), y.fuel, y.garage, y.parking,
             fill.insuranceVignette);
    update();
}

long double TGraph::amount(int series, int position) const
{
    if (series < 1 || series > kSeries || position < 1 || position > kPositions)
        return 0;
    return m_series[std::size_t(series)][std::size_t(position)];
}

QString TGraph::label(int position) const
{
    return position >= 1 && position <= kPositions ? m_labels[std::size_t(position)] : QString();
}

void TGraph::writeText(QPainter &p, int x, int y, const QString &text) const
{
    // (x, y) is the top left corner of the text, its background filled with the white brush.
    p.drawText(x, y + QFontMetrics(p.font()).ascent(), text);
}

void TGraph::Axes(QPainter &p) const
{
    // A line stops one pixel short of its end point.
    p.fillRect(QRect(QPoint(kAxisX, kAxisTop + 1), QPoint(kAxisX, kAxisY)), Qt::black);
    p.fillRect(QRect(QPoint(kAxisX, kAxisY), QPoint(kAxisRight - 1, kAxisY)), Qt::black);
    for (int s = kSeries; s >= 1; --s) {
        const int x = 180 + 90 * (s - 1);
        writeText(p, x, 40, m_legend[std::size_t(s)].left(10));
        outlinedRect(p, x - 15, 45, x - 5, 55, m_colors[std::size_t(s)]);
    }
}

long double TGraph::Echelle(QPainter &p) const
{
    long double max = 0;
    for (int s = 1; s <= kSeries; ++s)
        for (int i = 1; i <= m_count; ++i)
            max = std::max(max, m_series[std::size_t(s)][std::size_t(i)]);
    const long double top = textrules::roundHalfEven(max);
    writeText(p, 10, 70, textrules::formatFixed(top, 0));
    writeText(p, 10, 180, textrules::formatFixed(std::floor(top / 2), 0));
    writeText(p, 10, 290, QStringLiteral("0"));
    // Nothing to scale: the chart keeps its axes, legend and labels, without bars.
    return max > 0 ? kTallest / max : 0;
}

void TGraph::Histo(QPainter &p, long double scale) const
{
    if (m_count < 1)
        return;
    const int w = kBand / (5 * m_count);
    int x = kBarsLeft;
    for (int i = 1; i <= m_count; ++i) {
        writeText(p, x, 310, m_labels[std::size_t(i)]);
        for (int s = 1; s <= kSeries; ++s) {
            if (scale > 0) {
                const int h = barHeight(m_series[std::size_t(s)][std::size_t(i)], scale);
                outlinedRect(p, x, kAxisY, x + w, kAxisY - h, m_colors[std::size_t(s)]);
            }
            x += w;
        }
        x += w;
    }
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
