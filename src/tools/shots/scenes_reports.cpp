// Screenshot scenes of the statistics and chart windows, filled from a car bought in 2019.
#include "shots.h"

#include "app/singlewindows.h"
#include "core/vehicle/textrules.h"
#include "platform/systemclock.h"
#include "ui/document/documentwindows.h"
#include "ui/reports/TGraph.h"
#include "ui/reports/TStats.h"

namespace {

VehicleRecord sampleCar()
{
    const QDate today = platform::SystemClock::today();
    VehicleRecord r = VehicleRecord::create(today);
    r.edit[1] = QStringLiteral("Renault");
    r.edit[2] = QStringLiteral("Mégane");
    r.DateTimePicker1 = QDate(2019, 3, 14);
    r.edit[6] = QStringLiteral("  3200.00");
    r.edit[7] = QStringLiteral("   450.00");
    auto money = [](double v) { return textrules::formatFixed(v, 2); };
    double odometer = 12000;
    for (QDate d = r.DateTimePicker1; d <= today; d = d.addDays(17)) {
        const double litres = 38 + (d.dayOfYear() % 9);
        odometer += 640;
        r.ListView1.push_back({textrules::formatDate(d), QStringLiteral("Plein"),
                               money(litres * (6.1 + 0.15 * (d.year() - 2019))), money(litres),
                               money(odometer)});
    }
    for (int y = 2019; y <= today.year(); ++y) {
        r.ListView2.push_back({textrules::formatDate(QDate(y, 5, 20)), QStringLiteral("Révision"),
                               money(1450 + 60 * (y - 2019)), money(15000.0 * (y - 2018))});
        if (y % 2 == 0)
            r.ListView2.push_back({textrules::formatDate(QDate(y, 10, 3)),
                                   QStringLiteral("Pneus avant"), money(980), QString()});
        for (int m = 1; m <= 12; m += 3)
            r.ListView3.push_back({textrules::formatDate(QDate(y, m, 8)), QStringLiteral("Parking"),
                                   money(45 + 5 * m), });
    }
    return r;
}

TStats *stats()
{
    if (!documentWindows().Stats)
        documentWindows().Stats = new TStats;
    return documentWindows().Stats;
}

TGraph *graph()
{
    if (!documentWindows().Graph)
        documentWindows().Graph = new TGraph;
    return documentWindows().Graph;
}

const bool statsScene = shots::add(
    50, {QStringLiteral("reports-stats"),
         [](TMainForm *) {
             stats()->fillFrom(sampleCar(), platform::SystemClock::today());
             stats()->show();
         },
         [](TMainForm *) { stats()->hide(); }});

const bool graphScene = shots::add(
    51, {QStringLiteral("reports-graph"),
         [](TMainForm *) {
             graph()->fillFrom(sampleCar(), platform::SystemClock::today());
             graph()->show();
         },
         [](TMainForm *) { graph()->hide(); }});

} // namespace
