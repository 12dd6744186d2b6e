#include "app/statuspanels.h"

#include <QPainter>
#include <QStyle>
#include <qdrawutil.h>

namespace {
constexpr int kHeight = 23;
constexpr int kGap = 2;     // between panels
constexpr int kPadding = 3; // text inside a panel
} // namespace

StatusPanels::StatusPanels(QWidget *parent) : QStatusBar(parent)
{
    setSizeGripEnabled(false);
    setFixedHeight(kHeight);
}

void StatusPanels::addPanel(int width, Qt::Alignment alignment)
{
    m_panels.push_back({width, alignment, {}});
    update();
}

void StatusPanels::setPanelWidth(int i, int width)
{
    m_panels.at(i).width = std::max(0, width);
    update();
}

void StatusPanels::setPanelText(int i, const QString &text)
{
    if (m_panels.at(i).text == text)
        return;
    m_panels.at(i).text = text;
    update(panelRect(i));
}

QRect StatusPanels::panelRect(int i) const
{
    int x = 0;
    for (int k = 0; k < i; ++k)
        x += m_panels[k].width + kGap;
    return QRect(x, 2, m_panels.at(i).width, height() - 3);
}

QSize StatusPanels::sizeHint() const
{
    return QSize(100, kHeight);
}

QSize StatusPanels::minimumSizeHint() const
{
    return QSize(0, kHeight);
}

void StatusPanels::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), palette().window());
    const QFontMetrics fm = fontMetrics();
    for (int i = 0; i < panelCount(); ++i) {
        const QRect r = panelRect(i);
        if (r.left() >= width())
            break;
        qDrawShadePanel(&p, r, palette(), true, 1);
        const QRect inner = r.adjusted(kPadding, 1, -kPadding, -1);
        const Panel &panel = m_panels[i];
        if (panel.text.isEmpty() || inner.width() <= 0)
            continue;
        // A text too wide for a narrow panel (the clock) is drawn smaller rather than cut.
        QFont f = font();
        if (fm.horizontalAdvance(panel.text) > inner.width() && panel.alignment & Qt::AlignHCenter) {
            const int px = f.pixelSize() > 0 ? f.pixelSize() : QFontInfo(f).pixelSize();
            for (int size = px - 1; size >= 7; --size) {
                f.setPixelSize(size);
                if (QFontMetrics(f).horizontalAdvance(panel.text) <= inner.width())
                    break;
            }
        }
        p.setFont(f);
        p.setPen(palette().color(QPalette::WindowText));
        const QString shown = QFontMetrics(f).elidedText(panel.text, Qt::ElideRight, inner.width());
        p.drawText(inner, int(panel.alignment | Qt::AlignVCenter), shown);
    }
}
