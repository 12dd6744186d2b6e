#include "ui/reports/TGraph.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {
const QRgb kWhite = qRgb(255, 255, 255);
const QRgb kColours[] = {qRgb(0, 0, 128), qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(255, 255, 0)};

QImage picture(TGraph &g)
{
    QImage img(g.size(), QImage::Format_RGB32);
    img.fill(Qt::white);
    g.render(&img);
    return img;
}

// Height of the bar whose column is x, counted up from the axis at y = 300.
int barHeight(const QImage &img, int x)
{
    int y = 299;
    while (y > 60 && img.pixel(x, y) != kWhite)
        --y;
    return 299 - y;
}

// The strip left of the vertical axis where a scale label is written, compared with the text
// written alone at the same place.
bool labelReads(const QImage &img, const QFont &font, int y, const QString &text)
{
    QImage expected(img.size(), QImage::Format_RGB32);
    expected.fill(Qt::white);
    {
        QPainter p(&expected);
        p.setFont(font);
        p.setPen(Qt::black);
        p.drawText(10, y + QFontMetrics(font).ascent(), text);
    }
    const QRect strip(0, y, 50, QFontMetrics(font).height());
    return img.copy(strip) == expected.copy(strip);
}
} // namespace

class TestGraph : public QObject {
    Q_OBJECT
private slots:
    void init() { m_graph = new TGraph; m_graph->show(); }
    void cleanup() { delete m_graph; }

    void window();
    void oneYearOfFourBars();
    void fourYearGroups();
    void scaleLabelsHalvesToEven();
    void negativeAmountDrawsDownwards();
    void nothingToScaleDrawsNoBars();
    void fillKeepsTheMostRecentYears();
    void escapeCloses();

private:
    TGraph *m_graph = nullptr;
};

void TestGraph::window()
{
    TGraph &g = *m_graph;
    QCOMPARE(g.windowTitle(), QStringLiteral("Graphiques"));
    QCOMPARE(g.size(), QSize(544, 375));
    auto *button = g.findChild<QPushButton *>(QStringLiteral("Button1"));
    QCOMPARE(button->text(), QStringLiteral("Fermer"));
    QCOMPARE(button->geometry(), QRect(447, 4, 75, 25));
    const QImage img = picture(g);
    QCOMPARE(img.pixel(300, 200), kWhite);
    // Axes: x = 50 from y = 71 to 300, y = 300 from x = 50 to 499.
    QCOMPARE(img.pixel(50, 71), qRgb(0, 0, 0));
    QCOMPARE(img.pixel(50, 70), kWhite);
    QCOMPARE(img.pixel(499, 300), qRgb(0, 0, 0));
    QCOMPARE(img.pixel(500, 300), kWhite);
    // Legend squares of Essence, Garage, Stationn., Ass./Vig.
    for (int s = 0; s < 4; ++s) {
        const int x = 180 + 90 * s;
        QCOMPARE(img.pixel(x - 15, 45), qRgb(0, 0, 0));
        QCOMPARE(img.pixel(x - 10, 50), kColours[s]);
        QCOMPARE(img.pixel(x - 5, 50), kWhite);
    }
}

void TestGraph::oneYearOfFourBars()
{
    TGraph &g = *m_graph;
    g.Init(1, QStringLiteral("2026"), 1000, 500, 0, 3500);
    const QImage img = picture(g);
    const int heights[] = {63, 31, 0, 220};
    for (int s = 0; s < 4; ++s) {
        const int left = 60 + 90 * s;
        QCOMPARE(barHeight(img, left + 45), heights[s]);
        if (heights[s] > 2)
            QCOMPARE(img.pixel(left + 45, 299 - heights[s] / 2), kColours[s]);
    }
    // 90 pixels wide from x = 60, outlined.
    QCOMPARE(img.pixel(59, 298), kWhite);
    QCOMPARE(img.pixel(60, 298), qRgb(0, 0, 0));
    QCOMPARE(img.pixel(61, 298), kColours[0]);
    QCOMPARE(img.pixel(149, 298), qRgb(0, 0, 0));
    QCOMPARE(img.pixel(150, 298), qRgb(0, 0, 0));
    QCOMPARE(img.pixel(151, 298), kColours[1]);

    QVERIFY(labelReads(img, g.font(), 70, QStringLiteral("3500")));
    QVERIFY(labelReads(img, g.font(), 180, QStringLiteral("1750")));
    QVERIFY(labelReads(img, g.font(), 290, QStringLiteral("0")));

    // Painting again, or after being hidden and shown, gives the same picture.
    QCOMPARE(picture(g), img);
    g.hide();
    g.show();
    QCOMPARE(picture(g), img);
}

void TestGraph::fourYearGroups()
{
    TGraph &g = *m_graph;
    for (int p = 1; p <= 4; ++p)
        g.Init(p, QString::number(2022 + p), 1000 * p, 100, 100, 100);
    const QImage img = picture(g);
    for (int p = 0; p < 4; ++p) {
        const int group = 60 + 110 * p;
        QCOMPARE(img.pixel(group - 1, 297), kWhite);                  // the empty slot
        QCOMPARE(img.pixel(group + 11, 297), kColours[0]);
        QCOMPARE(barHeight(img, group + 11), 55 * (p + 1));          // 220 × p / 4
        QCOMPARE(img.pixel(group + 22 * 3 + 11, 297), kColours[3]);
        QCOMPARE(barHeight(img, group + 22 * 3 + 11), 6);             // 5.5, half to even
    }
}

void TestGraph::scaleLabelsHalvesToEven()
{
    TGraph &g = *m_graph;
    g.Init(1, QStringLiteral("2026"), 2500.5, 0, 0, 0);
    const QImage img = picture(g);
    QVERIFY(labelReads(img, g.font(), 70, QStringLiteral("2500")));
    QVERIFY(labelReads(img, g.font(), 180, QStringLiteral("1250")));
}

void TestGraph::negativeAmountDrawsDownwards()
{
    TGraph &g = *m_graph;
    g.Init(1, QStringLiteral("2026"), -500, 1000, 0, 0);
    const QImage img = picture(g);
    QCOMPARE(barHeight(img, 105), 0);
    QCOMPARE(img.pixel(105, 330), kColours[0]);       // 110 pixels below the axis
    QCOMPARE(barHeight(img, 195), 220);
}

void TestGraph::nothingToScaleDrawsNoBars()
{
    TGraph &g = *m_graph;
    for (int years : {0, 3}) {
        g.clear();
        for (int p = 1; p <= years; ++p)
            g.Init(p, QString::number(2023 + p), 0, 0, 0, 0);
        const QImage img = picture(g);
        for (int x = 51; x < 500; ++x)
            for (int y = 66; y < 300; ++y)
                QCOMPARE(img.pixel(x, y), kWhite);
        QVERIFY(labelReads(img, g.font(), 70, QStringLiteral("0")));
        QVERIFY(labelReads(img, g.font(), 180, QStringLiteral("0")));
        QCOMPARE(img.pixel(50, 200), qRgb(0, 0, 0));
    }
}

void TestGraph::fillKeepsTheMostRecentYears()
{
    TGraph &g = *m_graph;
    VehicleRecord r = VehicleRecord::create(QDate(2026, 6, 15));
    r.DateTimePicker1 = QDate(1970, 5, 1);
    r.edit[6] = QStringLiteral("100");
    r.ListView1.push_back({QStringLiteral("01/02/1987"), QString(), QStringLiteral("20.00"),
                           QString(), QString()});
    g.fillFrom(r, QDate(2026, 6, 15));
    QCOMPARE(g.count(), 40);
    QCOMPARE(g.label(1), QStringLiteral("1987"));
    QCOMPARE(g.label(40), QStringLiteral("2026"));
    QCOMPARE(double(g.amount(1, 1)), 20.0);
    QCOMPARE(double(g.amount(4, 40)), 100.0);
    const QImage img = picture(g);
    QCOMPARE(barHeight(img, 60), 44);  // 20 of 100 francs, in bars of 2 pixels
    QCOMPARE(barHeight(img, 66), 220);
    QCOMPARE(img.pixel(68, 250), kWhite);

    // A document with no year shows none, not the years of the one before.
    r.DateTimePicker1 = QDate(2027, 1, 1);
    g.fillFrom(r, QDate(2026, 6, 15));
    QCOMPARE(g.count(), 0);
}

void TestGraph::escapeCloses()
{
    TGraph &g = *m_graph;
    g.hide();
    QTimer::singleShot(0, &g, [&g] { QTest::keyClick(&g, Qt::Key_Escape); });
    QCOMPARE(g.exec(), int(QDialog::Rejected));
}

QTEST_MAIN(TestGraph)
#include "gui_graph.moc"
