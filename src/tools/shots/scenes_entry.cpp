// Screenshots of the three expense entry dialogs, filled as for a change of an entry.
#include "shots.h"

#include "app/TMainForm.h"
#include "app/singlewindows.h"
#include "entry/TFCarbu.h"
#include "entry/TFEntr.h"
#include "entry/TStation.h"

namespace {

const bool fuel = shots::add(
    300, {QStringLiteral("dialog-carburant"),
          [](TMainForm *) {
              TFCarbu *d = singles().FCarbu;
              d->Init({QStringLiteral("14/09/1998"), QStringLiteral("Plein à la station d'Évry"),
                       QStringLiteral("312.50"), QStringLiteral("45.20"), QStringLiteral("123456.00")});
              d->show();
          },
          [](TMainForm *) { singles().FCarbu->hide(); }});

const bool garage = shots::add(
    301, {QStringLiteral("dialog-entretien"),
          [](TMainForm *) {
              TFEntr *d = singles().FEntr;
              d->Init({QStringLiteral("01/02/1999"), QStringLiteral("Vidange et filtre à huile"),
                       QStringLiteral("450.00"), QStringLiteral("98500.00")});
              d->show();
          },
          [](TMainForm *) { singles().FEntr->hide(); }});

const bool parking = shots::add(
    302, {QStringLiteral("dialog-stationnement"),
          [](TMainForm *) {
              TStation *d = singles().Station;
              d->Init({QStringLiteral("21/06/1999"), QStringLiteral("Parking de la gare"),
                       QStringLiteral("35.00")});
              d->show();
          },
          [](TMainForm *) { singles().Station->hide(); }});

} // namespace
