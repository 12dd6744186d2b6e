#include "app/TMainForm.h"
#include "app/startup.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    startup::prepareApplication(app);
    TMainForm *frame = startup::createWindows();
    frame->show();
    const int rc = app.exec();
    delete frame;
    return rc;
}
