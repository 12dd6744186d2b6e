#include "app/helpkeys.h"

#include "platform/help.h"
#include "ui/document/TMDIChild.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>

#include <array>

namespace helpkeys {
namespace {

const QString kContents = QStringLiteral("sommaire");
// The help window's own F1: help on help.
const QString kHelpWindow = QStringLiteral("HelpWindow");

// The pages of a document, in tab order.
const std::array<QString, 8> kPages{QStringLiteral("page-description"), QStringLiteral("page-carburant"),
                                    QStringLiteral("page-garage"),      QStringLiteral("page-stationnement"),
                                    QStringLiteral("page-frais"),       QStringLiteral("page-valeur"),
                                    QStringLiteral("page-commentaire"), QStringLiteral("page-image")};

struct Owned {
    const char *objectName;
    const char *anchor;
};
// Windows and parts of windows by their object name. The menus' topics are those of their help
// contexts; the entry dialogs share one topic, as do the bar and the lines of what is due.
constexpr Owned kOwned[] = {
    {"TFCarbu", "saisie"},           {"TFEntr", "saisie"},           {"TStation", "saisie"},
    {"TStats", "cmd-statistiques"},  {"TGraph", "cmd-graphique"},    {"TPocket", "util-calculatrice"},
    {"TEurof", "util-euro"},         {"THorloge", "util-horloge"},   {"TCalendrier", "util-calendrier"},
    {"TAboutBox", "contexte8"},      {"TImportDialog", "contexte9"}, {"Echeances", "echeances"},
    {"BarreEcheances", "echeances"}, {"TMainForm", "sommaire"},
};

QString ownTopic(const QWidget *w)
{
    if (auto *doc = qobject_cast<const TMDIChild *>(w)) {
        const int page = doc->currentPage();
        return page >= 0 && page < int(kPages.size()) ? kPages[std::size_t(page)] : kContents;
    }
    if (w->objectName() == kHelpWindow)
        return kHelpWindow;
    for (const Owned &o : kOwned)
        if (w->objectName() == QLatin1String(o.objectName))
            return QString::fromLatin1(o.anchor);
    return {};
}

class F1Watcher : public QObject {
public:
    explicit F1Watcher(QObject *owner) : QObject(owner) { qApp->installEventFilter(this); }
    ~F1Watcher() override { qApp->removeEventFilter(this); }

    bool eventFilter(QObject *watched, QEvent *e) override
    {
        if (e->type() != QEvent::KeyPress || !watched->isWidgetType())
            return false;
        auto *key = static_cast<QKeyEvent *>(e);
        // Shift+F1 is the desktop's "what's this"; the menus answer F1 themselves.
        if (key->key() != Qt::Key_F1 || key->modifiers() != Qt::NoModifier)
            return false;
        if (qobject_cast<QMenu *>(watched) || qobject_cast<QMenuBar *>(watched) ||
            QApplication::activePopupWidget())
            return false;
        auto *w = static_cast<QWidget *>(watched);
        const QString topic = topicFor(w);
        if (topic == kHelpWindow)
            platform::Help::helpOnHelp(w);
        else
            platform::Help::topic(w, topic);
        return true;
    }
};

} // namespace

QString topicFor(const QWidget *widget)
{
    for (const QWidget *w = widget; w; w = w->parentWidget()) {
        // On the client area or a document's frame, the document inside is the one in front.
        const QWidget *inside = nullptr;
        if (auto *area = qobject_cast<const QMdiArea *>(w); area && area->activeSubWindow())
            inside = area->activeSubWindow()->widget();
        else if (auto *sub = qobject_cast<const QMdiSubWindow *>(w))
            inside = sub->widget();
        if (inside)
            if (const QString t = ownTopic(inside); !t.isEmpty())
                return t;
        if (const QString t = ownTopic(w); !t.isEmpty())
            return t;
    }
    return kContents;
}

QStringList allTopics()
{
    QStringList out{kContents};
    for (const QString &p : kPages)
        out << p;
    for (const Owned &o : kOwned)
        out << QString::fromLatin1(o.anchor);
    out.removeDuplicates();
    return out;
}

void install(QObject *owner)
{
    new F1Watcher(owner);
}

} // namespace helpkeys
