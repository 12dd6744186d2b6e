// Screenshots of the three expense entry dialogs, filled as for a change of an entry.
#include "shots.h"

#include "app/TMainForm.h"
#include "app/singlewindows.h"
#include "ui/document/documentwindows.h"
#include "ui/entry/TFCarbu.h"
#include "ui/entry/TFEntr.h"
#include "ui/entry/TStation.h"

namespace {

const bool fuel = shots::add(
    300, {QStringLiteral("dialog-carburant"),
          [](TMainForm *) {
              TFCarbu *d = documentWindows().FCarbu;
              d->Init({QStringLiteral("14/09/1998"), QStringLiteral("Plein à la station d'Évry"),
                       QStringLiteral("312.50"), QStringLiteral("45.20"), QStringLiteral("123456.00")});
              d->show();
          },
          [](TMainForm *) { documentWindows().FCarbu->hide(); }});

const bool garage = shots::add(
    301, {QStringLiteral("dialog-entretien"),
          [](TMainForm *) {
              TFEntr *d = documentWindows().FEntr;
              d->Init({QStringLiteral("01/02/1999"), QStringLiteral("Vidange et filtre à huile"),
                       QStringLiteral("450.00"), QStringLiteral("98500.00")});
              d->show();
          },
          [](TMainForm *) { documentWindows().FEntr->hide(); }});

const bool parking = shots::add(
    302, {QStringLiteral("dialog-stationnement"),
          [](TMainForm *) {
              TStation *d = documentWindows().Station;
              d->Init({QStringLiteral("21/06/1999"), QStringLiteral("Parking de la gare"),
                       QStringLiteral("35.00")});
              d->show();
          },
          [](TMainForm *) { documentWindows().Station->hide(); }});

} // namespace
