#pragma once
// The vehicle document window: one record shown on eight pages.

#include "vehicle/record.h"

#include <QWidget>

class DocumentFrame;

class TMDIChild : public QWidget {
    Q_OBJECT
public:
    explicit TMDIChild(DocumentFrame *frame, QWidget *parent = nullptr);

    const VehicleRecord &record() const { return m_record; }
    bool isModified() const { return m_record.modified; }
    QString fileName() const { return m_record.fileName; }

    void Sauve(int mode);
    void charge(const QString &path);
    void Supprime();
    void Couper();
    void Copier();
    void Coller();
    void Exporte(const QString &path);
    // Statistics and chart of this document (defined with the report windows).
    void Result();
    void Graphique();

protected:
    void closeEvent(QCloseEvent *event) override; // runs FormCloseQuery

private:
    DocumentFrame *m_frame;
    VehicleRecord m_record;
};
