#include "platform/fonts.h"

#include <QFontDatabase>
#include <QStringList>

namespace platform {
namespace {
// Family name of the bundled face; kept even if registering fails (then the system's fallback).
QString g_family = QStringLiteral("DejaVu Sans");
bool g_installed = false;
} // namespace

void installBundledFont()
{
    if (g_installed)
        return;
    g_installed = true;
    const int id = QFontDatabase::addApplicationFont(QStringLiteral(":/fonts/DejaVuSans.ttf"));
    if (id >= 0) {
        const QStringList families = QFontDatabase::applicationFontFamilies(id);
        if (!families.isEmpty())
            g_family = families.constFirst();
    }
    // The bold face only serves labels; reading it costs start-up time, so it is registered only
    // when the system has no bold face of the family already.
    if (!QFontDatabase::styles(g_family).contains(QStringLiteral("Bold")))
        QFontDatabase::addApplicationFont(QStringLiteral(":/fonts/DejaVuSans-Bold.ttf"));
}

QFont windowFont()
{
    QFont f(g_family);
    f.setStyleHint(QFont::SansSerif);
    f.setPixelSize(13);
    return f;
}

} // namespace platform
