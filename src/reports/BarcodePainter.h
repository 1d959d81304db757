#pragma once

#include <QList>
#include <QRectF>
#include <QString>

class QPainter;

// Barcodes on paper, drawn by Zint: EAN-13 for 13 digits with a valid check
// digit, EAN-8 for 8, Code 128 for anything else.
namespace BarcodePainter {

// The modules of the code's symbol, left to right (true: a bar); empty when
// the code cannot be encoded.
QList<bool> modules(const QString& code);

// Thermal label printers print 203 dots an inch: the resolution bars are laid
// out for when the device has no dots of its own (a PDF).
constexpr double labelPrinterDpi = 203;

// Whether the code's bars and quiet zones fit across `widthMm` with bars a
// whole number of dots of a printer of `dpi` wide, at least one dot per module.
bool fits(const QString& code, double widthMm, double dpi = labelPrinterDpi);

// Draws the bars, with quiet zones, centred in `rect` (device units) and the
// code under them. Each module is the same whole number of the printer's dots,
// as many as the width allows, and every bar edge falls on a dot of a printer
// of `printerDpi`: bars of uneven width do not scan. Nothing is drawn when the
// code cannot be encoded.
void draw(QPainter& painter, const QRectF& rect, const QString& code, double printerDpi = labelPrinterDpi);

} // namespace BarcodePainter
