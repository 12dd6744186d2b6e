// The statistics and chart commands of a document window.
#include "vehicle/TMDIChild.h"

#include "app/singlewindows.h"
#include "platform/systemclock.h"
#include "reports/TGraph.h"
#include "reports/TStats.h"

void TMDIChild::Result()
{
    // The single window normally exists from start-up; a missing one is made once here.
    if (!singles().Stats)
        singles().Stats = new TStats;
    TStats *stats = singles().Stats;
    commitEdits();
    stats->fillFrom(record(), platform::SystemClock::today());
    stats->exec();
}

void TMDIChild::Graphique()
{
    if (!singles().Graph)
        singles().Graph = new TGraph;
    TGraph *graph = singles().Graph;
    commitEdits();
    graph->fillFrom(record(), platform::SystemClock::today());
    graph->exec();
}
