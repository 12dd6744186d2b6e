// Placeholder frame so that the program starts; the real frame replaces it.
#include "app/TMainForm.h"

#include "vehicle/TMDIChild.h"

#include <QMdiArea>
#include <QMdiSubWindow>

TMainForm::TMainForm(QWidget *parent)
    : QMainWindow(parent), m_mdi(new QMdiArea(this))
{
    setObjectName(QStringLiteral("TMainForm"));
    setWindowTitle(QStringLiteral("Tev Auto"));
    setCentralWidget(m_mdi);
}

TMDIChild *TMainForm::CreateChild(const QString &caption)
{
    auto *child = new TMDIChild(this);
    child->setAttribute(Qt::WA_DeleteOnClose);
    child->setWindowTitle(caption);
    m_mdi->addSubWindow(child)->show();
    return child;
}

void TMainForm::SetSup(bool) {}
void TMainForm::SetExport(bool) {}
