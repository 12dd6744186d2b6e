#include "core/reports/duecalendar.h"

#include <QCryptographicHash>

namespace duecalendar {
namespace {
constexpr qsizetype kMaxOctets = 75;

QByteArray day(const QDate &d)
{
    return d.toString(QStringLiteral("yyyyMMdd")).toLatin1();
}

QByteArray property(const char *name, const QString &text)
{
    return foldLine(QByteArray(name) + ':' + escapeText(text).toUtf8());
}
} // namespace

QString escapeText(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        switch (c.unicode()) {
        case u'\\': out += QStringLiteral("\\\\"); break;
        case u';': out += QStringLiteral("\\;"); break;
        case u',': out += QStringLiteral("\\,"); break;
        case u'\r':
            if (i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            out += QStringLiteral("\\n");
            break;
        case u'\n': out += QStringLiteral("\\n"); break;
        default:
            // Other controls are not allowed in a TEXT value.
            if (c.unicode() >= 0x20 && c.unicode() != 0x7f)
                out += c;
            break;
        }
    }
    return out;
}

QByteArray foldLine(const QByteArray &line)
{
    QByteArray out;
    qsizetype start = 0;
    qsizetype room = kMaxOctets;
    while (line.size() - start > room) {
        qsizetype end = start + room;
        // Back up to the first byte of a UTF-8 sequence.
        while (end > start && (uchar(line[end]) & 0xC0) == 0x80)
            --end;
        out += line.mid(start, end - start) + "\r\n ";
        start = end;
        room = kMaxOctets - 1; // the leading space counts
    }
    out += line.mid(start) + "\r\n";
    return out;
}

QByteArray calendar(const due::Report &report, const QString &vehicle, const QString &fileKey,
                    const QDateTime &stamp)
{
    const QByteArray key = QCryptographicHash::hash(fileKey.toUtf8(), QCryptographicHash::Sha256).toHex().left(24);
    const QByteArray stampText = stamp.toUTC().toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'")).toLatin1();
    QByteArray events;
    for (const due::Reminder &r : report.reminders) {
        if (!r.date.isValid())
            continue;
        const bool service = r.kind == due::Kind::Service;
        const QString title = service ? QStringLiteral("Entretien") : QStringLiteral("Contrôle technique");
        events += "BEGIN:VEVENT\r\n";
        events += foldLine("UID:" + key + '-' + due::kindName(r.kind).toLatin1() + "@tevauto");
        events += "DTSTAMP:" + stampText + "\r\n";
        events += "DTSTART;VALUE=DATE:" + day(r.date) + "\r\n";
        events += "DTEND;VALUE=DATE:" + day(r.date.addDays(1)) + "\r\n";
        events += property("SUMMARY", vehicle.isEmpty() ? title : title + QStringLiteral(" — ") + vehicle);
        events += property("DESCRIPTION", due::sentence(r));
        events += "TRANSP:TRANSPARENT\r\n";
        events += "END:VEVENT\r\n";
    }
    if (events.isEmpty())
        return {};
    return "BEGIN:VCALENDAR\r\n"
           "VERSION:2.0\r\n"
           "PRODID:-//Tev Auto//Echeances//FR\r\n"
           "CALSCALE:GREGORIAN\r\n"
           + events + "END:VCALENDAR\r\n";
}

} // namespace duecalendar
