#include "ui/reports/paper/chartpainter.h"

#include "core/vehicle/textrules.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace chart {
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

// (x, y) is the top left corner of the text, its background filled with the white brush.
void writeText(QPainter &p, int x, int y, const QString &text)
{
    p.drawText(x, y + QFontMetrics(p.font()).ascent(), text);
}
} // namespace

void fill(Data &d, const yearlysums::YearlyFill &fill)
{
    d.count = 0;
    for (const yearlysums::YearFigures &y : fill.years) {
        if (d.count == kPositions)
            break;
        const auto p = std::size_t(++d.count);
        d.series[1][p] = y.fuel;
        d.series[2][p] = y.garage;
        d.series[3][p] = y.parking;
        d.series[4][p] = fill.insuranceVignette;
        d.labels[p] = QString::number(y.year);
    }
}

const std::array<QColor, kSeries + 1> &colours()
{
    static const std::array<QColor, kSeries + 1> c{QColor(), QColor(0, 0, 128), QColor(255, 0, 0),
                                                   QColor(0, 255, 0), QColor(255, 255, 0)};
    return c;
}

const std::array<QString, kSeries + 1> &legends()
{
    static const std::array<QString, kSeries + 1> l{QString(), QStringLiteral("Essence"),
                                                    QStringLiteral("Garage"), QStringLiteral("Stationn."),
                                                    QStringLiteral("Ass./Vig.")};
    return l;
}

void axes(QPainter &p)
{
    // A line stops one pixel short of its end point.
    p.fillRect(QRect(QPoint(kAxisX, kAxisTop + 1), QPoint(kAxisX, kAxisY)), Qt::black);
    p.fillRect(QRect(QPoint(kAxisX, kAxisY), QPoint(kAxisRight - 1, kAxisY)), Qt::black);
    for (int s = kSeries; s >= 1; --s) {
        const int x = 180 + 90 * (s - 1);
        writeText(p, x, 40, legends()[std::size_t(s)].left(10));
        outlinedRect(p, x - 15, 45, x - 5, 55, colours()[std::size_t(s)]);
    }
}

long double scale(QPainter &p, const Data &d)
{
    long double max = 0;
    for (int s = 1; s <= kSeries; ++s)
        for (int i = 1; i <= d.count; ++i)
            max = std::max(max, d.series[std::size_t(s)][std::size_t(i)]);
    const long double top = textrules::roundHalfEven(max);
    writeText(p, 10, 70, textrules::formatFixed(top, 0));
    writeText(p, 10, 180, textrules::formatFixed(std::floor(top / 2), 0));
    writeText(p, 10, 290, QStringLiteral("0"));
    // Nothing to scale: the chart keeps its axes, legend and labels, without bars.
    return max > 0 ? kTallest / max : 0;
}

void bars(QPainter &p, const Data &d, long double scale)
{
    if (d.count < 1)
        return;
    const int w = kBand / (5 * d.count);
    int x = kBarsLeft;
    for (int i = 1; i <= d.count; ++i) {
        writeText(p, x, 310, d.labels[std::size_t(i)]);
        for (int s = 1; s <= kSeries; ++s) {
            if (scale > 0) {
                const int h = barHeight(d.series[std::size_t(s)][std::size_t(i)], scale);
                outlinedRect(p, x, kAxisY, x + w, kAxisY - h, colours()[std::size_t(s)]);
            }
            x += w;
        }
        x += w;
    }
}

void paint(QPainter &p, const Data &d, const QFont &font)
{
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    p.setFont(font);
    p.setPen(Qt::black);
    p.setBackground(Qt::white);
    p.setBackgroundMode(Qt::OpaqueMode);
    axes(p);
    bars(p, d, scale(p, d));
}

} // namespace chart
