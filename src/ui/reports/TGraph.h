#pragma once
// Chart window: the yearly expenses of the active document as grouped bars.

#include "core/vehicle/record.h"
#include "ui/reports/paper/chartpainter.h"

#include <QColor>
#include <QDialog>

#include <array>

class QFrame;
class QPainter;
class QPushButton;

class TGraph : public QDialog {
    Q_OBJECT
public:
    static constexpr int kPositions = chart::kPositions;
    static constexpr int kSeries = chart::kSeries;

    explicit TGraph(QWidget *parent = nullptr);

    // Stores one year at `position` (1 to 40) and makes it the last year shown.
    void Init(int position, const QString &label, long double fuel, long double garage,
              long double parking, long double insuranceVignette);
    // No year shown.
    void clear() { m_data.count = 0; }
    // The years of the record as of `today`, replacing what was shown.
    void fillFrom(const VehicleRecord &r, const QDate &today);

    int count() const { return m_data.count; }
    long double amount(int series, int position) const;
    QString label(int position) const;

    // The whole chart, in client coordinates.
    void paintChart(QPainter &p) const;

    void setVisible(bool visible) override;

protected:
    void paintEvent(QPaintEvent *event) override; // FormPaint

private:
    void FormCreate();
    void Button1Click();
    // The three steps of a paint, drawn by the code the printed report shares.
    void Axes(QPainter &p) const;
    // Writes the scale labels; returns pixels per franc, 0 when no bar can be drawn.
    long double Echelle(QPainter &p) const;
    void Histo(QPainter &p, long double scale) const;

    QFrame *Panel1;
    QPushButton *Button1;

    chart::Data m_data;
};
