#pragma once
// The main frame: menu bar, tool bar, MDI client area, status bar.

#include "vehicle/documentframe.h"

#include <QMainWindow>

class QMdiArea;
class TMDIChild;

class TMainForm : public QMainWindow, public DocumentFrame {
    Q_OBJECT
public:
    explicit TMainForm(QWidget *parent = nullptr);

    // Creates a document window with this caption in the client area and shows it.
    TMDIChild *CreateChild(const QString &caption);
    QMdiArea *mdiArea() const { return m_mdi; }

    void SetSup(bool allowed) override;
    void SetExport(bool allowed) override;

private:
    QMdiArea *m_mdi;
};
