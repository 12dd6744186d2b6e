#pragma once
// The vehicle report laid out on A4 portrait pages: on a printer, in a print preview or in a
// PDF. Text and chart stay vectors.

#include "core/reports/vehiclereport.h"

#include <QFont>
#include <QString>

class QPagedPaintDevice;

namespace reportpaper {

// Registers the program's bundled fonts (once) and returns the family the report uses.
QString fontFamily();

// Sets A4 portrait with the report's margins on a printer or PDF writer.
void setUpPage(QPagedPaintDevice &device);

// Paints every page on `device` (already set up and ready for a painter); returns the page
// count, 0 when no painter could be opened on the device.
int paint(const vehiclereport::Content &content, QPagedPaintDevice &device);

// The report as PDF bytes.
QByteArray pdf(const vehiclereport::Content &content);

} // namespace reportpaper
