#pragma once
// The modal windows a document window opens: the three entry dialogs, the statistics and the
// chart. The program creates them once at start-up (hidden) and puts them here; a test creates
// only the ones it needs.

class TFCarbu;
class TFEntr;
class TGraph;
class TStats;
class TStation;

struct DocumentWindows {
    TFCarbu *FCarbu = nullptr;
    TFEntr *FEntr = nullptr;
    TGraph *Graph = nullptr;
    TStats *Stats = nullptr;
    TStation *Station = nullptr;
};

DocumentWindows &documentWindows();
