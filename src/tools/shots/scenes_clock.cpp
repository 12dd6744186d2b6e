// The clock and the calendar, on a fixed date and time so that the pictures do not change.
#include "shots.h"

#include "app/TMainForm.h"
#include "app/singlewindows.h"
#include "platform/systemclock.h"
#include "ui/utilities/TCalendrier.h"
#include "ui/utilities/THorloge.h"

#include <QTimer>

namespace {

const QDateTime fixedNow(QDate(2026, 3, 14), QTime(15, 9, 26));

THorloge *horloge(TMainForm *frame)
{
    if (!singles().Horloge)
        singles().Horloge = new THorloge(frame);
    return singles().Horloge;
}

TCalendrier *calendrier(TMainForm *frame)
{
    if (!singles().Calendrier)
        singles().Calendrier = new TCalendrier(frame);
    // The window may have been created on the real date at start-up.
    singles().Calendrier->Calendar1->setDate(fixedNow.date());
    return singles().Calendrier;
}

void showHorloge(TMainForm *frame, bool setting)
{
    platform::SystemClock::setFake(fixedNow);
    THorloge *w = horloge(frame);
    w->show();
    if (setting) {
        // Setting mode with the hour selected and stepped once, after the activation (which
        // leaves setting mode) has come through.
        QTimer::singleShot(250, w, [w] {
            w->selectField(horloge::Hr);
            w->Button2Click();
            w->SpinButton1UpClick();
        });
    }
}

void hideHorloge(TMainForm *frame)
{
    horloge(frame)->hide();
    platform::SystemClock::clearFake();
}

const bool registered = shots::add(
    110, {QStringLiteral("horloge"), [](TMainForm *f) { showHorloge(f, false); }, hideHorloge})
    && shots::add(
        111, {QStringLiteral("horloge-reglage"), [](TMainForm *f) { showHorloge(f, true); }, hideHorloge})
    && shots::add(120, {QStringLiteral("calendrier"), [](TMainForm *f) { calendrier(f)->show(); },
                        [](TMainForm *f) { calendrier(f)->hide(); }});

} // namespace
