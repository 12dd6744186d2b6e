#pragma once
// The rules of the clock utility: its two displays, the stepping of one field, and the time the
// computer's clock is set to. The displays ("hh:mm:ss" and "dd/mm/yyyy") are the only store of
// the time being set, so every rule reads its fields back from them by character position.

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>

#include <functional>
#include <optional>

namespace horloge {

// Index of the field selector's items "Hr", "Mn", "Jo", "Mo", "An".
enum Field { Hr = 0, Mn = 1, Jo = 2, Mo = 3, An = 4 };

QString timeText(const QTime &t);   // "hh:mm:ss"
QString dateText(const QDate &d);   // "dd/mm/yyyy"

// Reads a whole number: optional blanks, an optional sign, decimal digits. On failure the
// message "'<text>' n'est pas une valeur entière correcte" goes to *error.
std::optional<int> readInteger(const QString &text, QString *error = nullptr);

// The characters of a field in its display: the whole field, or what is left of it when the
// display is shorter (a two-digit year).
QString fieldText(const QString &display, Field f);

// Steps field f by d (+1 or -1) in the display it belongs to (the time display for Hr and Mn,
// the date display for the others): no wrap-around, no carry, a year below 100 taken as 19xx.
// On a field that is not a number the display is left as it was and the message is returned.
bool stepField(QString &display, Field f, int d, QString *error = nullptr);

// The instant the displays stand for, in UTC. The displays are local time, converted with the
// system's time-zone rules. Empty with a message when a field is not a number; empty with no
// message when the local time does not exist (hour 24, 31/02, a skipped daylight-saving hour).
std::optional<QDateTime> displayedInstant(const QString &timeDisplay, const QString &dateDisplay,
                                          QString *error = nullptr);

// Sets the computer's clock to a UTC time; false when the system refuses.
using ClockSetter = std::function<bool(const QDateTime &utc)>;

struct SetResult {
    enum Outcome { Set, NotANumber, CannotSet } outcome;
    QString message;   // for the error box, empty when set
};

// Sets the clock from the displays. CannotSet ("Impossible de régler l'horloge de
// l'ordinateur") when the time does not exist, no setter is given or the setter fails.
SetResult setFromDisplays(const QString &timeDisplay, const QString &dateDisplay,
                          const ClockSetter &setter);

QString cannotSetMessage();

} // namespace horloge
