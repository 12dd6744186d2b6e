#include "app/TMainForm.h"
#include "app/startup.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    startup::prepareApplication(app);
    QWidget *splash = startup::showSplash();
    TMainForm *frame = startup::createWindows();
    delete splash;
    frame->show();
    const int rc = app.exec();
    delete frame;
    return rc;
}
