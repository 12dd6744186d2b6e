// Scenes of the main frame, its menus, the about box, the help window and the splash.
#include "shots.h"

#include "app/TAboutBox.h"
#include "app/TMainForm.h"
#include "app/TSplash.h"
#include "app/singlewindows.h"
#include "platform/help.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>

namespace {

void closeDocuments(TMainForm *frame)
{
    frame->mdiArea()->closeAllSubWindows();
}

void twoDocuments(TMainForm *frame)
{
    frame->FileNewItemClick();
    frame->FileNewItemClick();
}

void openMenu(TMainForm *frame, QMenu *menu)
{
    frame->activateWindow();
    const QRect title = frame->MainMenu1->actionGeometry(menu->menuAction());
    menu->popup(frame->MainMenu1->mapToGlobal(title.bottomLeft()));
}

QPointer<TSplash> g_splash;

const bool registered = [] {
    shots::add(10, {QStringLiteral("main-frame"), [](TMainForm *) {}, {}});
    shots::add(11, {QStringLiteral("splash"),
                    [](TMainForm *) {
                        g_splash = new TSplash;
                        g_splash->show();
                        g_splash->raise();
                    },
                    [](TMainForm *) { delete g_splash; }});
    shots::add(12, {QStringLiteral("file-menu"), [](TMainForm *f) { openMenu(f, f->File1); },
                    [](TMainForm *f) { f->File1->hide(); }});
    shots::add(13, {QStringLiteral("about-box"), [](TMainForm *) { singles().AboutBox->show(); },
                    [](TMainForm *) { singles().AboutBox->hide(); }});
    shots::add(14, {QStringLiteral("help-window"),
                    [](TMainForm *f) {
                        // The scenes run from the samples folder: the help comes from the resources.
                        platform::Help::setHelpFile(QStringLiteral(":/TevAuto.hlp"));
                        platform::Help::context(f, 7);
                    },
                    [](TMainForm *) {
                        if (QWidget *w = platform::Help::window())
                            w->hide();
                    }});
    shots::add(14, {QStringLiteral("help-index"),
                    [](TMainForm *f) {
                        platform::Help::setHelpFile(QStringLiteral(":/TevAuto.hlp"));
                        platform::Help::search(f, QStringLiteral("co"));
                    },
                    [](TMainForm *) {
                        if (QWidget *w = platform::Help::window())
                            w->hide();
                    }});
    shots::add(15, {QStringLiteral("window-menu"),
                    [](TMainForm *f) {
                        twoDocuments(f);
                        openMenu(f, f->Window1);
                    },
                    [](TMainForm *f) {
                        f->Window1->hide();
                        closeDocuments(f);
                    }});
    shots::add(16, {QStringLiteral("cascade"),
                    [](TMainForm *f) {
                        twoDocuments(f);
                        f->WindowCascadeItemClick();
                    },
                    closeDocuments});
    shots::add(17, {QStringLiteral("tile"),
                    [](TMainForm *f) {
                        twoDocuments(f);
                        f->WindowTileItemClick();
                    },
                    closeDocuments});
    return true;
}();

} // namespace
