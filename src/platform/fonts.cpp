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
    for (const char *file : {":/fonts/DejaVuSans.ttf", ":/fonts/DejaVuSans-Bold.ttf"}) {
        const int id = QFontDatabase::addApplicationFont(QString::fromLatin1(file));
        if (id >= 0) {
            const QStringList families = QFontDatabase::applicationFontFamilies(id);
            if (!families.isEmpty())
                g_family = families.constFirst();
        }
    }
}

QFont windowFont()
{
    QFont f(g_family);
    f.setStyleHint(QFont::SansSerif);
    f.setPixelSize(13);
    return f;
}

} // namespace platform
