#include "app/startup.h"

#include "app/TAboutBox.h"
#include "app/TMainForm.h"
#include "app/TSplash.h"
#include "app/singlewindows.h"
#include "app/toolpictures.h"
#include "entry/TFCarbu.h"
#include "entry/TFEntr.h"
#include "entry/TStation.h"
#include "platform/fonts.h"
#include "reports/TGraph.h"
#include "reports/TStats.h"
#include "utilities/TCalendrier.h"
#include "utilities/TEurof.h"
#include "utilities/THorloge.h"
#include "utilities/TPocket.h"
#include "platform/help.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

// Resources live in a static library: register them explicitly, once.
void initAppResources()
{
    static const bool done = [] {
        Q_INIT_RESOURCE(resources);
        return true;
    }();
    (void)done;
}

namespace startup {
namespace {

// Creates one single window, hidden, child of the frame so that it ends with it; its slot in
// singles() is cleared when it goes.
template <class W> void create(W *SingleWindows::*slot, TMainForm *frame)
{
    W *w = new W(frame);
    w->hide();
    SingleWindows &s = singles();
    s.*slot = w;
    s.created.push_back({QString::fromLatin1(w->metaObject()->className()), w});
    QObject::connect(w, &QObject::destroyed, qApp, [slot, w] {
        SingleWindows &s = singles();
        if (s.*slot == w)
            s.*slot = nullptr;
        s.created.removeIf([w](const SingleWindows::Entry &e) { return e.window == w; });
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
    // The start-up order: one line per window.
    create(&SingleWindows::AboutBox, frame);
    create(&SingleWindows::FCarbu, frame);
    create(&SingleWindows::FEntr, frame);
    create(&SingleWindows::Graph, frame);
    create(&SingleWindows::Stats, frame);
    create(&SingleWindows::Station, frame);
    create(&SingleWindows::Calendrier, frame);
    create(&SingleWindows::Eurof, frame);
    create(&SingleWindows::Horloge, frame);
    create(&SingleWindows::Pocket, frame);
    return frame;
}

} // namespace startup
