#pragma once
// Pictures of the tool bar buttons: drawn as small SVGs in resources/toolbar, rendered at their
// size, with the disabled look (grey, embossed) made from the normal one.

#include <QIcon>
#include <QImage>
#include <QString>

namespace toolpictures {

// ":/toolbar/<name>.svg" rendered at size × size.
QImage render(const QString &name, int size, qreal devicePixelRatio = 1.0);
// The classic disabled look: the shape in grey with a white shadow one pixel down-right.
QImage disabledLook(const QImage &normal);
QIcon icon(const QString &name, int size);
// The program's icon, rendered from its SVG without going through the image plug-ins (which
// would all be loaded at start-up to find the one that reads SVG).
QIcon programIcon();

} // namespace toolpictures
