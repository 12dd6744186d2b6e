#include "shots.h"

#include "app/TMainForm.h"
#include "app/singlewindows.h"
#include "ui/utilities/TEurof.h"
#include "ui/utilities/TPocket.h"

#include <QPushButton>
#include <QRadioButton>

namespace {

void press(QWidget *w, const char *names)
{
    for (const char *n = names; *n; ++n) {
        const QString name = QStringLiteral("Button%1").arg(QLatin1String(n, 1).toInt());
        if (auto *b = w->findChild<QPushButton *>(name))
            b->click();
    }
}

const bool registered = shots::add(60, {QStringLiteral("calculator"),
                                        [](TMainForm *) {
                                            TPocket *p = singles().Pocket;
                                            p->show();
                                            p->raise();
                                            p->activateWindow();
                                            for (QChar c : QStringLiteral("1234,5*2="))
                                                p->FormKeyPress(c);
                                        },
                                        [](TMainForm *) { singles().Pocket->hide(); }})
    && shots::add(61, {QStringLiteral("euro-converter"),
                       [](TMainForm *) {
                           TEurof *e = singles().Eurof;
                           e->show();
                           e->raise();
                           e->activateWindow();
                           press(e, "100");
                           e->Button11Click();
                       },
                       [](TMainForm *) { singles().Eurof->hide(); }})
    && shots::add(62, {QStringLiteral("euro-converter-francs"),
                       [](TMainForm *) {
                           TEurof *e = singles().Eurof;
                           e->show();
                           e->raise();
                           e->activateWindow();
                           e->findChild<QRadioButton *>(QStringLiteral("RadioButton2"))->setChecked(true);
                           e->Button11Click();
                       },
                       [](TMainForm *) { singles().Eurof->hide(); }});

} // namespace
