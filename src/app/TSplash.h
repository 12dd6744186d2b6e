#pragma once
// The splash window shown while the program starts.

#include <QWidget>

class QLabel;

class TSplash : public QWidget {
    Q_OBJECT
public:
    explicit TSplash(QWidget *parent = nullptr);

    QLabel *Image1;
    QLabel *Label1;
    QLabel *Label2;

protected:
    void paintEvent(QPaintEvent *) override;
};
