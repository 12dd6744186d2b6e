#include "app/startup.h"

#include "app/TAboutBox.h"
#include "app/TMainForm.h"
#include "app/TSplash.h"
#include "app/singlewindows.h"
#include "app/toolpictures.h"
#include "platform/fonts.h"
#include "platform/help.h"
#include "ui/document/documentwindows.h"
#include "ui/entry/TFCarbu.h"
#include "ui/entry/TFEntr.h"
#include "ui/entry/TStation.h"
#include "ui/reports/TGraph.h"
#include "ui/reports/TStats.h"
#include "ui/utilities/TCalendrier.h"
#include "ui/utilities/TEurof.h"
#include "ui/utilities/THorloge.h"
#include "ui/utilities/TPocket.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

// Resources live in a static library: register them explicitly, once.
void initAppResources()
{
    static const bool done = [] {
        Q_INIT_RESOURCE(resources);
        Q_INIT_RESOURCE(fonts); // with the report library, which also prints with them
        return true;
    }();
    (void)done;
}

namespace startup {
namespace {

// Creates one single window, hidden, child of the frame so that it ends with it; its slot (in
// singles() or documentWindows(), both of which live as long as the program) is cleared when it
// goes.
template <class W> void create(W *&slot, TMainForm *frame)
{
    W *w = new W(frame);
    w->hide();
    slot = w;
    singles().created.push_back({QString::fromLatin1(w->metaObject()->className()), w});
    QObject::connect(w, &QObject::destroyed, qApp, [&slot, w] {
        if (slot == w)
            slot = nullptr;
        singles().created.removeIf([w](const SingleWindows::Entry &e) { return e.window == w; });
    });
}

} // namespace

void prepareApplication(QApplication &app)
{
    initAppResources();
    // The application title (task bar, error boxes). Not set as the display name: Qt would add
    // that to every window's caption ("A propos — Tev Auto").
    app.setApplicationName(QStringLiteral("Tev Auto"));
    app.setWindowIcon(toolpictures::programIcon());
    // Ties the windows to the installed desktop entry (task bars, Wayland).
    app.setDesktopFileName(QStringLiteral("org.tevauto.TevAuto"));
    platform::Help::setHelpFile(QStringLiteral("Tevauto.hlp"));

    // Qt's own dialogs and context menus in French.
    auto *qtFrench = new QTranslator(&app);
    if (qtFrench->load(QLocale(QLocale::French, QLocale::France), QStringLiteral("qtbase"),
                       QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(qtFrench);

    platform::installBundledFont();
    QApplication::setFont(platform::windowFont());
}

QWidget *showSplash()
{
    auto *splash = new TSplash;
    splash->show();
    splash->repaint();
    QApplication::processEvents();
    return splash;
}

TMainForm *createWindows()
{
    auto *frame = new TMainForm;
    SingleWindows &s = singles();
    s = SingleWindows{};
    DocumentWindows &d = documentWindows();
    d = DocumentWindows{};
    // The start-up order: one line per window.
    create(s.AboutBox, frame);
    create(d.FCarbu, frame);
    create(d.FEntr, frame);
    create(d.Graph, frame);
    create(d.Stats, frame);
    create(d.Station, frame);
    create(s.Calendrier, frame);
    create(s.Eurof, frame);
    create(s.Horloge, frame);
    create(s.Pocket, frame);
    return frame;
}

} // namespace startup
