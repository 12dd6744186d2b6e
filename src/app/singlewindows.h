#pragma once
// The single windows, created once at start-up (hidden, in the start-up order) and shown
// modally by the commands. A test creates only the ones it needs.

class TAboutBox;
class TFCarbu;
class TFEntr;
class TGraph;
class TStats;
class TStation;
class TCalendrier;
class TEurof;
class THorloge;
class TPocket;

struct SingleWindows {
    TAboutBox *AboutBox = nullptr;
    TFCarbu *FCarbu = nullptr;
    TFEntr *FEntr = nullptr;
    TGraph *Graph = nullptr;
    TStats *Stats = nullptr;
    TStation *Station = nullptr;
    TCalendrier *Calendrier = nullptr;
    TEurof *Eurof = nullptr;
    THorloge *Horloge = nullptr;
    TPocket *Pocket = nullptr;
};

SingleWindows &singles();
