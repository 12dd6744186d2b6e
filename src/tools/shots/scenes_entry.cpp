// Screenshots of the three expense entry dialogs, filled as for a change of an entry.
#include "shots.h"

#include "app/TMainForm.h"
#include "app/singlewindows.h"
#include "entry/TFCarbu.h"
#include "entry/TFEntr.h"
#include "entry/TStation.h"

namespace {

// The single window when start-up created it, else one made for the screenshot.
template <class Dialog>
Dialog *dialog(Dialog *single, TMainForm *frame)
{
    static Dialog *own = nullptr;
    if (single)
        return single;
    if (!own)
        own = new Dialog(frame);
    return own;
}

const bool fuel = shots::add(
    300, {QStringLiteral("dialog-carburant"),
          [](TMainForm *frame) {
              TFCarbu *d = dialog(singles().FCarbu, frame);
              d->Init({QStringLiteral("14/09/1998"), QStringLiteral("Plein à la station d'Évry"),
                       QStringLiteral("312.50"), QStringLiteral("45.20"), QStringLiteral("123456.00")});
              d->show();
          },
          [](TMainForm *frame) { dialog(singles().FCarbu, frame)->hide(); }});

const bool garage = shots::add(
    301, {QStringLiteral("dialog-entretien"),
          [](TMainForm *frame) {
              TFEntr *d = dialog(singles().FEntr, frame);
              d->Init({QStringLiteral("01/02/1999"), QStringLiteral("Vidange et filtre à huile"),
                       QStringLiteral("450.00"), QStringLiteral("98500.00")});
              d->show();
          },
          [](TMainForm *frame) { dialog(singles().FEntr, frame)->hide(); }});

const bool parking = shots::add(
    302, {QStringLiteral("dialog-stationnement"),
          [](TMainForm *frame) {
              TStation *d = dialog(singles().Station, frame);
              d->Init({QStringLiteral("21/06/1999"), QStringLiteral("Parking de la gare"),
                       QStringLiteral("35.00")});
              d->show();
          },
          [](TMainForm *frame) { dialog(singles().Station, frame)->hide(); }});

} // namespace
