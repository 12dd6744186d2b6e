// Placeholder until the bundled font lands.
#include "platform/fonts.h"

namespace platform {

void installBundledFont() {}

QFont windowFont()
{
    QFont f(QStringLiteral("Sans Serif"));
    f.setPixelSize(13);
    return f;
}

} // namespace platform
