// Placeholder so that the frame can be built against the document window's interface.
#include "vehicle/TMDIChild.h"

#include <QCloseEvent>

TMDIChild::TMDIChild(DocumentFrame *frame, QWidget *parent)
    : QWidget(parent), m_frame(frame)
{
    setObjectName(QStringLiteral("TMDIChild"));
    setWindowTitle(QStringLiteral("Enfant MDI"));
    resize(666, 409);
}

void TMDIChild::Sauve(int) {}
void TMDIChild::charge(const QString &path) { m_record.fileName = path; }
void TMDIChild::Supprime() {}
void TMDIChild::Couper() {}
void TMDIChild::Copier() {}
void TMDIChild::Coller() {}
void TMDIChild::Exporte(const QString &) {}
void TMDIChild::closeEvent(QCloseEvent *event) { event->accept(); }
