#pragma once
// What is due as an iCalendar file (RFC 5545): one all-day event for each reminder that has a
// date, with a UID that stays the same for the same vehicle file and kind of reminder, so that
// a calendar importing the file again updates its events instead of doubling them.

#include "core/reports/due.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

namespace duecalendar {

// `vehicle` names the car in the events' titles; `fileKey` identifies the vehicle file (its
// path) for the UIDs; `stamp` is the DTSTAMP, taken in UTC. No event: an empty result.
QByteArray calendar(const due::Report &report, const QString &vehicle, const QString &fileKey,
                    const QDateTime &stamp);

// A TEXT value with its backslashes, semicolons, commas and line ends escaped.
QString escapeText(const QString &text);

// One content line, UTF-8, folded so that no line is longer than 75 octets (a character is
// never cut), each line ended by CR LF.
QByteArray foldLine(const QByteArray &line);

} // namespace duecalendar
