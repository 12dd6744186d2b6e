#include "ui/widgets/accessnames.h"

#include <QLabel>

namespace accessnames {

void nameInnerFields(QWidget *window)
{
    for (QLabel *label : window->findChildren<QLabel *>()) {
        QWidget *field = label->buddy();
        if (!field)
            continue;
        // "Véhicule à &importer :" is read "Véhicule à importer".
        QString name = label->text();
        name.replace(QLatin1String("&&"), QStringLiteral("\x01"));
        name.remove(QLatin1Char('&'));
        name.replace(QLatin1Char('\x01'), QLatin1Char('&'));
        name = name.trimmed();
        if (name.endsWith(QLatin1Char(':')))
            name = name.chopped(1).trimmed();
        for (QWidget *inner = field->focusProxy(); inner; inner = inner->focusProxy())
            if (inner->accessibleName().isEmpty())
                inner->setAccessibleName(name);
    }
}

} // namespace accessnames
