// Timing of the statistics and chart commands on a large record:
//   QT_QPA_PLATFORM=offscreen build/release/bench/bench_reports
// Prints the median and best time of each step, in processor time of the thread (the figures
// then hold on a busy machine as well).
#include "core/reports/yearlysums.h"
#include "ui/reports/TGraph.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QTextStream>

#include <algorithm>
#include <ctime>
#include <functional>
#include <vector>

namespace {

const QDate kToday(2026, 6, 15);

// 62 years and 100 000 entries in each ledger, dated across those years.
VehicleRecord largeRecord(int perLedger)
{
    VehicleRecord r = VehicleRecord::create(kToday);
    r.DateTimePicker1 = QDate(1965, 4, 1);
    r.edit[6] = QStringLiteral("  3000.00");
    r.edit[7] = QStringLiteral("   500.00");
    auto date = [](int i) {
        return QStringLiteral("%1/%2/%3")
            .arg(i % 28 + 1, 2, 10, QLatin1Char('0'))
            .arg(i % 12 + 1, 2, 10, QLatin1Char('0'))
            .arg(1965 + i % 62);
    };
    auto amount = [](int i) { return QString::number((i * 7919) % 100000 / 100.0, 'f', 2); };
    r.ListView1.reserve(std::size_t(perLedger));
    r.ListView2.reserve(std::size_t(perLedger));
    r.ListView3.reserve(std::size_t(perLedger));
    for (int i = 0; i < perLedger; ++i) {
        r.ListView1.push_back({date(i), QStringLiteral("Plein"), amount(i), QStringLiteral("40.00"),
                               QString::number(10000 + i) + QStringLiteral(".00")});
        r.ListView2.push_back({date(i + 5), QStringLiteral("Entretien"), amount(i + 1),
                               QStringLiteral("1000.00")});
        r.ListView3.push_back({date(i + 9), QStringLiteral("Parking"), amount(i + 2)});
    }
    return r;
}

double threadMs()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

void measure(QTextStream &out, const QString &what, int runs, const std::function<void()> &f)
{
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        const double start = threadMs();
        f();
        ms.push_back(threadMs() - start);
    }
    std::sort(ms.begin(), ms.end());
    out << what << ": median " << QString::number(ms[ms.size() / 2], 'f', 2) << " ms, best "
        << QString::number(ms.front(), 'f', 2) << " ms (" << runs << " runs)\n";
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QTextStream out(stdout);
    const VehicleRecord r = largeRecord(100000);
    out << "record: 3 ledgers of " << r.ListView1.size() << " entries, 62 years\n";

    int sink = 0;
    measure(out, QStringLiteral("statistics table (one pass, grid texts)"), 21, [&] {
        sink += yearlysums::statsTable(r, kToday).totalRow;
    });
    measure(out, QStringLiteral("chart years (one pass)"), 21, [&] {
        sink += int(yearlysums::yearlyFill(r, kToday, yearlysums::kChartYears).years.size());
    });
    measure(out, QStringLiteral("statistics and chart from one pass"), 21, [&] {
        const yearlysums::YearlyScan scan = yearlysums::scanYears(r, kToday, yearlysums::kGridYears);
        sink += int(scan.fill(yearlysums::kGridYears).years.size());
        sink += int(scan.fill(yearlysums::kChartYears).years.size());
    });

    TGraph graph;
    graph.fillFrom(r, kToday);
    QImage img(graph.size(), QImage::Format_RGB32);
    measure(out, QStringLiteral("painting the chart (40 years)"), 201, [&] {
        img.fill(Qt::white);
        QPainter p(&img);
        graph.paintChart(p);
    });
    TGraph one;
    one.Init(1, QStringLiteral("2026"), 1000, 500, 0, 3500);
    measure(out, QStringLiteral("painting the chart (1 year)"), 201, [&] {
        img.fill(Qt::white);
        QPainter p(&img);
        one.paintChart(p);
    });
    return sink == -1 ? 1 : 0;
}
