#pragma once
// The bar chart of the yearly expenses, drawn in the chart window's own coordinates (544 × 375,
// origin at the top left of its client area). The chart window and the printed report share it.

#include "core/reports/yearlysums.h"

#include <QColor>
#include <QFont>
#include <QString>

#include <array>

class QPainter;

namespace chart {

inline constexpr int kPositions = 40;
inline constexpr int kSeries = 4;

struct Data {
    std::array<std::array<long double, kPositions + 1>, kSeries + 1> series{}; // [s][position]
    std::array<QString, kPositions + 1> labels;
    int count = 0;
};

// Stores the years of `fill` from position 1, replacing what was there.
void fill(Data &d, const yearlysums::YearlyFill &fill);

// The series colours and legend texts, index 1 to 4.
const std::array<QColor, kSeries + 1> &colours();
const std::array<QString, kSeries + 1> &legends();

// The three steps of a paint; the painter's font, pen and background are set by the caller.
void axes(QPainter &p);
// Writes the scale labels; returns pixels per franc, 0 when no bar can be drawn.
long double scale(QPainter &p, const Data &d);
void bars(QPainter &p, const Data &d, long double scale);

// The whole chart: font, black text on white, then the three steps.
void paint(QPainter &p, const Data &d, const QFont &font);

// The part of the window the chart covers (legend to year labels).
inline constexpr int kTop = 36;
inline constexpr int kBottom = 330;
inline constexpr int kWidth = 544;

} // namespace chart
