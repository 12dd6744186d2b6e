// The statistics and chart commands of a document window.
#include "ui/document/TMDIChild.h"

#include "platform/systemclock.h"
#include "ui/document/documentwindows.h"
#include "ui/reports/TGraph.h"
#include "ui/reports/TStats.h"

void TMDIChild::Result()
{
    // The single window normally exists from start-up; a missing one is made once here.
    if (!documentWindows().Stats)
        documentWindows().Stats = new TStats;
    TStats *stats = documentWindows().Stats;
    commitEdits();
    stats->fillFrom(record(), platform::SystemClock::today());
    stats->exec();
}

void TMDIChild::Graphique()
{
    if (!documentWindows().Graph)
        documentWindows().Graph = new TGraph;
    TGraph *graph = documentWindows().Graph;
    commitEdits();
    graph->fillFrom(record(), platform::SystemClock::today());
    graph->exec();
}

const VehicleRecord &TMDIChild::reportRecord()
{
    commitEdits();
    return record();
}
