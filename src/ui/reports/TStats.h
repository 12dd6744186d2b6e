#pragma once
// Statistics window: the expenses of the active document per calendar year.

#include "core/reports/yearlysums.h"

#include <QDialog>

class QFrame;
class QPushButton;
class QTableWidget;

class TStats : public QDialog {
    Q_OBJECT
public:
    explicit TStats(QWidget *parent = nullptr);

    // Empties the year rows and the total row; the headings stay.
    void Raz();
    // Column 5 of every year row and the total row, from what the grid holds.
    void Init();
    // The right-aligned "0.00" text of a number, measured in this window's font.
    QString Rset(int width, long double value) const;

    // Raz, the years of the record as of `today`, Init: what the statistics command shows.
    void fillFrom(const VehicleRecord &r, const QDate &today);

    // The text of a cell as shown, row 0 being the headings.
    QString cell(int column, int row) const;
    int rowCount() const { return yearlysums::kGridRows; }

    QTableWidget *grid() const { return StringGrid1; }

    void setVisible(bool visible) override;

private:
    void FormCreate();
    void Button1Click();
    void setCell(int column, int row, const QString &text);
    QString align(const QString &text) const;
    QString yearText(const QString &digits) const;

    QFrame *Panel1;
    QPushButton *Button1;
    QTableWidget *StringGrid1;
};
