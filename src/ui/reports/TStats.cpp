#include "ui/reports/TStats.h"

#include "core/vehicle/textrules.h"
#include "platform/fonts.h"

#include <QFontMetrics>
#include <QFrame>
#include <QHeaderView>
#include <QPushButton>
#include <QScreen>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {
constexpr int kColumnWidth = 90;
constexpr int kRowHeight = 24;

// Headings with the leading spaces that place them over their columns.
const std::array<QString, yearlysums::kGridColumns> &shownHeadings()
{
    static const std::array<QString, yearlysums::kGridColumns> h{
        QStringLiteral("        Année"),   QStringLiteral("  Carburant"),
        QStringLiteral("    Garage"),      QStringLiteral("      Stationn."),
        QStringLiteral("      Ass./Vig."), QStringLiteral("         Total")};
    return h;
}
} // namespace

TStats::TStats(QWidget *parent)
    : QDialog(parent), Panel1(new QFrame(this)), Button1(new QPushButton(Panel1)),
      StringGrid1(new QTableWidget(this))
{
    setObjectName(QStringLiteral("TStats"));
    setWindowTitle(QStringLiteral("Statistiques"));
    setFont(platform::windowFont());
    resize(584, 375);

    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel1->setFixedHeight(33);

    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setText(QStringLiteral("Fermer"));
    Button1->setGeometry(471, 4, 75, 25);
    connect(Button1, &QPushButton::clicked, this, &TStats::Button1Click);

    StringGrid1->setObjectName(QStringLiteral("StringGrid1"));
    StringGrid1->setAccessibleName(QString::fromUtf16(u"Dépenses par année"));
    // The arrows move in the grid; Tab goes on to "Fermer" instead of through 384 cells.
    StringGrid1->setTabKeyNavigation(false);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(Panel1);
    layout->addWidget(StringGrid1);

    FormCreate();
}

void TStats::FormCreate()
{
    using namespace yearlysums;
    // Row 0 is the horizontal header, so it stays in view while the years scroll; the table
    // rows are grid rows 1 to 63. Six columns of 90 pixels never need a horizontal scroll, so
    // column 0 stays in view as well.
    QTableWidget *g = StringGrid1;
    g->setColumnCount(kGridColumns);
    g->setRowCount(kGridRows - 1);
    g->verticalHeader()->hide();
    g->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    g->verticalHeader()->setDefaultSectionSize(kRowHeight);
    QHeaderView *h = g->horizontalHeader();
    h->setSectionResizeMode(QHeaderView::Fixed);
    h->setDefaultSectionSize(kColumnWidth);
    h->setMinimumSectionSize(kColumnWidth);
    h->setFixedHeight(kRowHeight);
    h->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    h->setSectionsClickable(false);
    h->setHighlightSections(false);
    g->setEditTriggers(QAbstractItemView::NoEditTriggers);
    g->setSelectionMode(QAbstractItemView::SingleSelection);
    g->setTextElideMode(Qt::ElideNone);
    g->setWordWrap(false);
    g->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    for (int c = 0; c < kGridColumns; ++c) {
        auto *item = new QTableWidgetItem(shownHeadings()[std::size_t(c)]);
        item->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        g->setHorizontalHeaderItem(c, item);
    }
    const QBrush fixedBrush = palette().brush(QPalette::Button);
    for (int r = 0; r < g->rowCount(); ++r) {
        for (int c = 0; c < kGridColumns; ++c) {
            auto *item = new QTableWidgetItem;
            item->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
            if (c == 0) {
                item->setFlags(Qt::ItemIsEnabled);
                item->setBackground(fixedBrush);
            } else {
                item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            }
            g->setItem(r, c, item);
        }
    }
}

void TStats::Button1Click()
{
    reject();
}

void TStats::setVisible(bool visible)
{
    if (visible && !isVisible()) {
        if (const QScreen *s = screen())
            move(s->availableGeometry().center() - rect().center());
    }
    QDialog::setVisible(visible);
}

QString TStats::cell(int column, int row) const
{
    if (column < 0 || column >= yearlysums::kGridColumns || row < 0 || row >= rowCount())
        return {};
    if (row == 0)
        return StringGrid1->horizontalHeaderItem(column)->text();
    return StringGrid1->item(row - 1, column)->text();
}

void TStats::setCell(int column, int row, const QString &text)
{
    if (row >= 1 && row < rowCount())
        StringGrid1->item(row - 1, column)->setText(text);
}

void TStats::Raz()
{
    // The total row goes too: a total left from a longer table would stand under the next one.
    for (int r = 1; r < rowCount(); ++r)
        for (int c = 0; c < yearlysums::kGridColumns; ++c)
            setCell(c, r, QString());
}

QString TStats::align(const QString &text) const
{
    const QFontMetrics fm(font());
    return textrules::Rset(text, kColumnWidth,
                           [&fm](const QString &s) { return fm.horizontalAdvance(s); });
}

QString TStats::Rset(int width, long double value) const
{
    const QFontMetrics fm(font());
    return textrules::Rset(textrules::formatFixed(value, 2), width,
                           [&fm](const QString &s) { return fm.horizontalAdvance(s); });
}

QString TStats::yearText(const QString &digits) const
{
    // Aligned as a "0.00" figure, then shown without its decimals, a little further right.
    QString s = align(digits);
    s.chop(3);
    return QStringLiteral("     ") + s;
}

void TStats::Init()
{
    using namespace yearlysums;
    GridTexts texts;
    for (int r = 1; r < rowCount(); ++r)
        for (int c = 0; c < kGridColumns; ++c)
            texts[std::size_t(r)][std::size_t(c)] = cell(c, r).trimmed();
    const int total = placeTotals(texts);
    for (int r = 1; r < total; ++r)
        if (!texts[std::size_t(r)][0].isEmpty())
            setCell(5, r, align(texts[std::size_t(r)][5]));
    const auto &t = texts[std::size_t(total)];
    setCell(0, total, QStringLiteral("          Total"));
    for (int c = 1; c < kGridColumns; ++c)
        setCell(c, total, align(t[std::size_t(c)]));
}

void TStats::fillFrom(const VehicleRecord &r, const QDate &today)
{
    using namespace yearlysums;
    Raz();
    GridTexts texts;
    placeYears(texts, yearlyFill(r, today, kGridYears));
    for (int row = 1; row <= kGridYears; ++row) {
        const auto &t = texts[std::size_t(row)];
        if (t[0].isEmpty())
            break;
        setCell(0, row, yearText(t[0]));
        for (int c = 1; c <= 4; ++c)
            setCell(c, row, t[std::size_t(c)].isEmpty() ? QString() : align(t[std::size_t(c)]));
    }
    Init();
}
