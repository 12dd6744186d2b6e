#pragma once
// Colours and palette helper shared by the utility windows.

#include <QColor>
#include <QPalette>
#include <QWidget>

namespace look {

inline const QColor Teal(0x00, 0x80, 0x80);
inline const QColor Navy(0x00, 0x00, 0x80);

// Gives one colour role of a widget's palette; a window colour also fills the background.
inline void paint(QWidget *w, QPalette::ColorRole role, const QColor &c)
{
    QPalette p = w->palette();
    p.setColor(role, c);
    w->setPalette(p);
    if (role == QPalette::Window)
        w->setAutoFillBackground(true);
}

} // namespace look
