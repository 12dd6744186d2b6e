#pragma once
// F1 outside the menus: the help topic of the window, or of the document page, in front. (F1 on
// a highlighted menu is the main frame's: the topic of that menu.)

#include <QString>

class QObject;
class QWidget;

namespace helpkeys {

// The help file's anchor for F1 pressed on this widget: the topic of the first window, page or
// part of one that has its own, going up from it; "sommaire" when none has.
QString topicFor(const QWidget *widget);

// Every anchor topicFor() may give, for a check of the help file.
QStringList allTopics();

// Watches F1 in every window of the program as long as `owner` lives.
void install(QObject *owner);

} // namespace helpkeys
