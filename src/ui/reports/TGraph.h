#pragma once
// Chart window: the yearly expenses of the active document as grouped bars.

#include "core/vehicle/record.h"

#include <QColor>
#include <QDialog>

#include <array>

class QFrame;
class QPainter;
class QPushButton;

class TGraph : public QDialog {
    Q_OBJECT
public:
    static constexpr int kPositions = 40;
    static constexpr int kSeries = 4;

    explicit TGraph(QWidget *parent = nullptr);

    // Stores one year at `position` (1 to 40) and makes it the last year shown.
    void Init(int position, const QString &label, long double fuel, long double garage,
              long double parking, long double insuranceVignette);
    // No year shown.
    void clear() { m_count = 0; }
    // The years of the record as of `today`, replacing what was shown.
    void fillFrom(const VehicleRecord &r, const QDate &today);

    int count() const { return m_count; }
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
    void Axes(QPainter &p) const;
    // Writes the scale labels; returns pixels per franc, 0 when no bar can be drawn.
    long double Echelle(QPainter &p) const;
    void Histo(QPainter &p, long double scale) const;
    void writeText(QPainter &p, int x, int y, const QString &text) const;

    QFrame *Panel1;
    QPushButton *Button1;

    std::array<std::array<long double, kPositions + 1>, kSeries + 1> m_series{};
    std::array<QString, kPositions + 1> m_labels;
    int m_count = 0;
    std::array<QColor, kSeries + 1> m_colors;
    std::array<QString, kSeries + 1> m_legend;
};
