#include "app/startup.h"

#include "app/TMainForm.h"

#include <QApplication>

namespace startup {

void prepareApplication(QApplication &app)
{
    app.setApplicationName(QStringLiteral("Tev Auto"));
    app.setApplicationDisplayName(QStringLiteral("Tev Auto"));
}

TMainForm *createWindows()
{
    return new TMainForm;
}

} // namespace startup
