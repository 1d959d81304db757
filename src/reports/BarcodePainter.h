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

// Draws the bars, with quiet zones, across `rect` (device units) and the code
// under them; nothing when the code cannot be encoded.
void draw(QPainter& painter, const QRectF& rect, const QString& code);

} // namespace BarcodePainter
