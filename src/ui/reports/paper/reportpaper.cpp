#include "ui/reports/paper/reportpaper.h"

#include "ui/reports/paper/chartpainter.h"

#include <QBuffer>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QHash>
#include <QRawFont>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>
#include <array>
#include <memory>

// The fonts are a resource of this library: make sure a program linking it keeps them.
static void initFontResource()
{
    Q_INIT_RESOURCE(fonts);
}

namespace reportpaper {
namespace {

using vehiclereport::Content;

// Page coordinates are tenths of a point: the same layout on every printer and in the PDF.
constexpr double kWidth = 5102; // A4 less two margins of 15 mm
constexpr double kMarginMm = 15;
constexpr double kGap = 90;     // between a section's parts

enum class Style { Title, Heading, Body, Bold, Small, SmallBold };

QFont font(Style s)
{
    QFont f(fontFamily());
    f.setStyleHint(QFont::SansSerif);
    // Large pixel sizes: hinting has no say, measures and output agree.
    switch (s) {
    case Style::Title: f.setPixelSize(180); f.setBold(true); break;
    case Style::Heading: f.setPixelSize(120); f.setBold(true); break;
    case Style::Body: f.setPixelSize(90); break;
    case Style::Bold: f.setPixelSize(90); f.setBold(true); break;
    case Style::Small: f.setPixelSize(78); break;
    case Style::SmallBold: f.setPixelSize(78); f.setBold(true); break;
    }
    return f;
}

// Table cells drawn from their glyphs: a report of a long ledger has hundreds of thousands of
// cells, and laying each out as a paragraph would take most of the time. Ligatures and kerning
// do not matter in a cell.
class CellWriter {
public:
    explicit CellWriter(const QFont &f) : m_raw(QRawFont::fromFont(f)), m_metrics(f) {}

    void draw(QPainter &p, const QRectF &box, Qt::Alignment align, const QString &text)
    {
        if (text.isEmpty())
            return;
        const QList<quint32> glyphs = m_raw.glyphIndexesForString(text);
        bool plain = m_raw.isValid() && glyphs.size() == text.size();
        QList<QPointF> positions;
        double width = 0;
        if (plain) {
            const QList<QPointF> advances = m_raw.advancesForGlyphIndexes(glyphs);
            positions.reserve(glyphs.size());
            for (qsizetype i = 0; i < glyphs.size(); ++i) {
                plain = plain && glyphs[i] != 0; // a character the font lacks: let Qt find one
                positions << QPointF(width, 0);
                width += advances[i].x();
            }
        }
        if (!plain || width > box.width()) {
            p.drawText(box, int(align | Qt::AlignVCenter),
                       m_metrics.elidedText(text, Qt::ElideRight, box.width()));
            return;
        }
        const double x = align & Qt::AlignRight ? box.right() - width : box.left();
        const double baseline = box.center().y() + (m_metrics.ascent() - m_metrics.descent()) / 2;
        QGlyphRun run;
        run.setRawFont(m_raw);
        run.setGlyphIndexes(glyphs);
        run.setPositions(positions);
        p.drawGlyphRun(QPointF(x, baseline), run);
    }

private:
    QRawFont m_raw;
    QFontMetricsF m_metrics;
};

struct Column {
    double width;
    Qt::Alignment align;
};

// Lays the content out from top to bottom, page after page. Without a painter it only counts
// the pages, which the footer of the painted pass needs.
class Flow {
public:
    Flow(QPainter *p, QPagedPaintDevice *device, double pageHeight, int pageCount, QString footer)
        : m_p(p), m_device(device), m_bottom(pageHeight - footerHeight()), m_pageHeight(pageHeight),
          m_pageCount(pageCount), m_footer(std::move(footer))
    {
    }

    int finish()
    {
        drawFooter();
        return m_page;
    }

    void space(double h) { m_y += h; }

    void text(const QString &t, Style s, double x = 0, double width = kWidth)
    {
        const QFont f = font(s);
        const QRectF box = QFontMetricsF(f).boundingRect(QRectF(0, 0, width, 1e6),
                                                         Qt::TextWordWrap, t);
        ensure(box.height());
        if (m_p) {
            m_p->setFont(f);
            m_p->drawText(QRectF(x, m_y, width, box.height() + 1), Qt::TextWordWrap, t);
        }
        m_y += box.height();
    }

    void heading(const QString &t)
    {
        // A heading never ends a page alone.
        ensure(QFontMetricsF(font(Style::Heading)).lineSpacing() * 4);
        m_y += kGap;
        text(t, Style::Heading);
        if (m_p)
            m_p->fillRect(QRectF(0, m_y + 10, kWidth, 6), Qt::black);
        m_y += 50;
    }

    void fields(const std::vector<vehiclereport::Field> &fields, double labelWidth)
    {
        for (const vehiclereport::Field &f : fields) {
            const QFont bold = font(Style::Bold);
            const double h = std::max(
                QFontMetricsF(bold).boundingRect(QRectF(0, 0, labelWidth - 40, 1e6), Qt::TextWordWrap, f.label).height(),
                QFontMetricsF(font(Style::Body))
                    .boundingRect(QRectF(0, 0, kWidth - labelWidth, 1e6), Qt::TextWordWrap, f.value)
                    .height());
            ensure(h);
            if (m_p) {
                m_p->setFont(bold);
                m_p->drawText(QRectF(0, m_y, labelWidth - 40, h + 1), Qt::TextWordWrap, f.label);
                m_p->setFont(font(Style::Body));
                m_p->drawText(QRectF(labelWidth, m_y, kWidth - labelWidth, h + 1), Qt::TextWordWrap, f.value);
            }
            m_y += h + 15;
        }
    }

    void row(const QStringList &cells, const std::vector<Column> &columns, Style s, bool shaded)
    {
        const auto style = std::size_t(s);
        if (!m_cells[style]) {
            m_cells[style] = std::make_unique<CellWriter>(font(s));
            m_rowHeight[style] = QFontMetricsF(font(s)).lineSpacing() * 1.35;
        }
        const double h = m_rowHeight[style];
        ensure(h);
        if (m_p) {
            if (shaded)
                m_p->fillRect(QRectF(0, m_y, kWidth, h), QColor(225, 225, 225));
            m_p->setFont(font(s));
            double x = 0;
            for (std::size_t i = 0; i < columns.size(); ++i) {
                const QString cell = i < std::size_t(cells.size()) ? cells[qsizetype(i)] : QString();
                m_cells[style]->draw(*m_p, QRectF(x + 25, m_y, columns[i].width - 50, h), columns[i].align, cell);
                x += columns[i].width;
            }
            m_p->fillRect(QRectF(0, m_y + h - 3, kWidth, 3), QColor(160, 160, 160));
        }
        m_y += h;
    }

    void picture(const chart::Data &data)
    {
        const double k = kWidth * 0.9 / chart::kWidth;
        const double h = (chart::kBottom - chart::kTop) * k;
        ensure(h);
        if (m_p) {
            m_p->save();
            m_p->translate(kWidth * 0.05, m_y - chart::kTop * k);
            m_p->scale(k, k);
            QFont f(fontFamily());
            f.setPixelSize(13);
            chart::paint(*m_p, data, f);
            m_p->restore();
        }
        m_y += h;
    }

private:
    static double footerHeight() { return QFontMetricsF(font(Style::Small)).lineSpacing() * 2.5; }

    void ensure(double h)
    {
        if (m_y + h <= m_bottom || m_y == 0)
            return;
        drawFooter();
        if (m_p)
            m_device->newPage();
        ++m_page;
        m_y = 0;
    }

    void drawFooter()
    {
        if (!m_p)
            return;
        const QFont f = font(Style::Small);
        const double h = QFontMetricsF(f).lineSpacing();
        m_p->setFont(f);
        m_p->fillRect(QRectF(0, m_pageHeight - h * 1.6, kWidth, 3), QColor(160, 160, 160));
        const QRectF line(0, m_pageHeight - h * 1.3, kWidth, h * 1.3);
        m_p->drawText(line, Qt::AlignLeft | Qt::AlignVCenter, m_footer);
        m_p->drawText(line, Qt::AlignRight | Qt::AlignVCenter,
                      QStringLiteral("Page %1 / %2").arg(m_page).arg(m_pageCount));
    }

    QPainter *m_p;
    QPagedPaintDevice *m_device;
    double m_y = 0;
    double m_bottom;
    double m_pageHeight;
    int m_page = 1;
    int m_pageCount;
    QString m_footer;
    std::array<std::unique_ptr<CellWriter>, 6> m_cells;
    std::array<double, 6> m_rowHeight{};
};

int layOut(const Content &c, Flow &flow)
{
    flow.text(c.title, Style::Title);
    flow.text(c.period, Style::Heading);
    flow.space(kGap);
    flow.fields(c.header, 1900);

    flow.heading(QStringLiteral("Dépenses par année"));
    const Qt::Alignment right = Qt::AlignRight;
    std::vector<Column> columns{{460, right}, {600, right}, {580, right}, {560, right}, {560, right},
                                {640, right}, {740, right}, {500, right}, {460, right}};
    flow.row(c.tableHeadings, columns, Style::SmallBold, true);
    for (std::size_t i = 0; i < c.table.size(); ++i) {
        const bool total = c.tableHasTotal && i + 1 == c.table.size();
        flow.row(c.table[i], columns, total ? Style::SmallBold : Style::Small, total);
    }
    flow.space(40);
    for (const QString &note : c.tableNotes)
        flow.text(note, Style::Small);

    chart::Data data;
    chart::fill(data, c.chart);
    flow.space(kGap);
    flow.picture(data);

    flow.heading(QStringLiteral("Carnet d'entretien"));
    std::vector<Column> garage{{600, Qt::AlignLeft}, {2250, Qt::AlignLeft}, {750, right},
                               {650, right}, {850, Qt::AlignLeft}};
    flow.row({QStringLiteral("Date"), QStringLiteral("Description"), QStringLiteral("Compteur"),
              QStringLiteral("Montant"), QStringLiteral("Reconnu comme")},
             garage, Style::SmallBold, true);
    for (const vehiclereport::GarageLine &g : c.garage)
        flow.row({g.date, g.description, g.odometer, g.amount, g.mark}, garage, Style::Small, false);
    flow.space(40);
    for (const QString &note : c.garageNotes)
        flow.text(note, Style::Small);
    flow.space(40);
    flow.text(QStringLiteral("À prévoir aujourd'hui"), Style::Bold);
    if (c.due.isEmpty())
        flow.text(QStringLiteral("Rien à signaler."), Style::Body);
    for (const QString &line : c.due)
        flow.text(QStringLiteral("• ") + line, Style::Body, 60, kWidth - 60);

    flow.heading(QStringLiteral("Consommation"));
    flow.fields(c.consumption, 3000);
    flow.space(40);
    for (const QString &note : c.consumptionNotes)
        flow.text(note, Style::Small);

    if (!c.fraisReels.empty()) {
        flow.heading(QStringLiteral("Frais réels"));
        flow.fields(c.fraisReels, 3000);
        flow.space(40);
        for (const QString &note : c.fraisReelsNotes)
            flow.text(note, Style::Small);
    }
    return flow.finish();
}

} // namespace

QString fontFamily()
{
    static const QString family = [] {
        initFontResource();
        const int id = QFontDatabase::addApplicationFont(QStringLiteral(":/fonts/DejaVuSans.ttf"));
        QFontDatabase::addApplicationFont(QStringLiteral(":/fonts/DejaVuSans-Bold.ttf"));
        const QStringList families = id >= 0 ? QFontDatabase::applicationFontFamilies(id) : QStringList();
        return families.isEmpty() ? QStringLiteral("DejaVu Sans") : families.constFirst();
    }();
    return family;
}

void setUpPage(QPagedPaintDevice &device)
{
    device.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                     QMarginsF(kMarginMm, kMarginMm, kMarginMm, kMarginMm),
                                     QPageLayout::Millimeter));
}

int paint(const Content &content, QPagedPaintDevice &device)
{
    const double scale = device.width() / kWidth;
    if (scale <= 0)
        return 0;
    const double pageHeight = device.height() / scale;
    Flow counting(nullptr, &device, pageHeight, 0, content.footer);
    const int pages = layOut(content, counting);
    QPainter p;
    if (!p.begin(&device))
        return 0;
    p.scale(scale, scale);
    Flow painting(&p, &device, pageHeight, pages, content.footer);
    layOut(content, painting);
    p.end();
    return pages;
}

QByteArray pdf(const Content &content)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setCreator(QStringLiteral("Tev Auto"));
        writer.setTitle(content.title);
        setUpPage(writer);
        if (paint(content, writer) == 0)
            return {};
    }
    return buffer.data();
}

} // namespace reportpaper
