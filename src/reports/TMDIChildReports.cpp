// The statistics and chart commands of a document window (placeholder until the report windows land).
#include "vehicle/TMDIChild.h"

void TMDIChild::Result() {}
void TMDIChild::Graphique() {}
