#pragma once
// The single windows, created once at start-up (hidden, in the start-up order) and shown
// modally by the commands. A test creates only the ones it needs. The ones a document window
// opens are kept in documentWindows(), where that window finds them.

#include <QList>
#include <QString>

class QWidget;
class TAboutBox;
class TCalendrier;
class TEurof;
class THorloge;
class TPocket;

struct SingleWindows {
    TAboutBox *AboutBox = nullptr;
    TCalendrier *Calendrier = nullptr;
    TEurof *Eurof = nullptr;
    THorloge *Horloge = nullptr;
    TPocket *Pocket = nullptr;

    // Every single window (those of documentWindows() too) by class name, in creation order,
    // so that the frame can show one without knowing its class.
    struct Entry {
        QString className;
        QWidget *window;
    };
    QList<Entry> created;
    QWidget *window(const QString &className) const
    {
        for (const Entry &e : created)
            if (e.className == className)
                return e.window;
        return nullptr;
    }
};

SingleWindows &singles();
