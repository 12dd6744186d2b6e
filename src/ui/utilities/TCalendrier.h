#pragma once
// The month calendar "Calendrier": one month as a grid of days under its name and year, browsed
// month by month.

#include "core/utilities/calendrier.h"

#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;

// The month grid: a row of short day names, then the days of the month, Sunday first, the cells
// around the month left empty. The selected cell is the calendar date; clicks and arrow keys
// move it, never onto an empty cell or the names row.
class TCalendrierGrid : public QWidget {
    Q_OBJECT
public:
    explicit TCalendrierGrid(QWidget *parent = nullptr);

    QDate date() const { return m_date; }
    void setDate(const QDate &date);   // notifies dateChanged when the date changes

    // The cell under a point of the widget, as (column, row); (-1, -1) outside the grid.
    QPoint cellAt(const QPoint &pos) const;
    QRect cellRect(int row, int column) const;

signals:
    void dateChanged(const QDate &date);

protected:
    void paintEvent(QPaintEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;

private:
    QDate m_date;
};

class TCalendrier : public QDialog {
    Q_OBJECT
public:
    explicit TCalendrier(QWidget *parent = nullptr);

    QDate date() const { return Calendar1->date(); }

    void FormActivate();
    void Calendar1Change();
    void BitBtn1Click();
    void BitBtn2Click();
    void Button1Click() { close(); }

    QFrame *Panel1;
    QPushButton *BitBtn1;
    QPushButton *BitBtn2;
    QPushButton *Button1;
    QLabel *Label1;
    TCalendrierGrid *Calendar1;

protected:
    void changeEvent(QEvent *e) override;
    void showEvent(QShowEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
};
