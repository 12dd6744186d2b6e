#include "shots.h"

#include "app/TMainForm.h"
#include "app/singlewindows.h"
#include "utilities/TEurof.h"
#include "utilities/TPocket.h"

#include <QPushButton>
#include <QRadioButton>

namespace {

// The program's own single windows when start-up made them, else one made for the scenes.
template <typename W>
W *single(W *made, TMainForm *frame)
{
    static W *own = nullptr;
    if (made)
        return made;
    if (!own)
        own = new W(frame);
    return own;
}

void press(QWidget *w, const char *names)
{
    for (const char *n = names; *n; ++n) {
        const QString name = QStringLiteral("Button%1").arg(QLatin1String(n, 1).toInt());
        if (auto *b = w->findChild<QPushButton *>(name))
            b->click();
    }
}

const bool registered = shots::add(60, {QStringLiteral("calculator"),
                                        [](TMainForm *frame) {
                                            TPocket *p = single(singles().Pocket, frame);
                                            p->show();
                                            p->raise();
                                            p->activateWindow();
                                            for (QChar c : QStringLiteral("1234,5*2="))
                                                p->FormKeyPress(c);
                                        },
                                        [](TMainForm *frame) { single(singles().Pocket, frame)->hide(); }})
    && shots::add(61, {QStringLiteral("euro-converter"),
                       [](TMainForm *frame) {
                           TEurof *e = single(singles().Eurof, frame);
                           e->show();
                           e->raise();
                           e->activateWindow();
                           press(e, "100");
                           e->Button11Click();
                       },
                       [](TMainForm *frame) { single(singles().Eurof, frame)->hide(); }})
    && shots::add(62, {QStringLiteral("euro-converter-francs"),
                       [](TMainForm *frame) {
                           TEurof *e = single(singles().Eurof, frame);
                           e->show();
                           e->raise();
                           e->activateWindow();
                           e->findChild<QRadioButton *>(QStringLiteral("RadioButton2"))->setChecked(true);
                           e->Button11Click();
                       },
                       [](TMainForm *frame) { single(singles().Eurof, frame)->hide(); }});

} // namespace
