// Placeholder bodies so that the tree builds; the real rules replace them.
#include "vehicle/textrules.h"

#include <cmath>

namespace textrules {

NumberRead readNumber(const QString &text)
{
    bool ok = false;
    const QString t = text.trimmed();
    if (t.isEmpty())
        return {};
    const double v = t.toDouble(&ok);
    return ok ? NumberRead{NumberKind::Number, v} : NumberRead{NumberKind::NotNumber, 0};
}

QString formatFixed(long double value, int decimals)
{
    return QString::number(double(value), 'f', decimals);
}

long double roundHalfEven(long double value)
{
    return std::nearbyint(value);
}

QString Dec(const QString &text)
{
    const NumberRead r = readNumber(text);
    return r.isNumber() ? formatFixed(r.value, 2) : text.trimmed();
}

QString Rset(const QString &text, int width, const WidthMeasure &measure)
{
    QString s = Dec(text);
    if (s.isEmpty())
        return s;
    while (measure(s) <= width - 10)
        s.prepend(QLatin1Char(' '));
    return s;
}

std::optional<QChar> filterKey(QChar c)
{
    if (c == QChar(8) || c.isDigit() || c == QLatin1Char('.'))
        return c;
    if (c == QLatin1Char(','))
        return QLatin1Char('.');
    return std::nullopt;
}

QString formatDate(const QDate &date)
{
    return date.toString(QStringLiteral("dd/MM/yyyy"));
}

std::optional<QDate> readDate(const QString &text)
{
    const QDate d = QDate::fromString(text, QStringLiteral("d/M/yyyy"));
    if (!d.isValid())
        return std::nullopt;
    return d;
}

QString dateErrorText(const QString &text)
{
    return QStringLiteral("'%1' n'est pas une date correcte").arg(text);
}

} // namespace textrules
