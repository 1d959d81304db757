#pragma once

#include <QFont>
#include <QString>

// The font of a printed item, in printer terms: a family as the layouts name it
// ("宋体", "Arial") and a size in points. Sizes turn into device pixels only when
// painting, so one layout prints alike on screen, paper and PDF.
struct ReportFont {
    QString family = QStringLiteral("宋体");
    double pointSize = 9.75;   // 13 pixels at 96 dots per inch
    bool bold = false;

    // The installed family that renders a layout's family name.
    static QString installedFamily(const QString& family);
    // Points from a pixel height at 96 dots per inch, as forms are often designed.
    static double pointsFromPixels(int pixels) { return pixels * 72.0 / 96.0; }

    double sizeMm() const { return pointSize * 25.4 / 72.0; }
    // The font for a device with the given resolution in dots per millimetre.
    QFont toQFont(double dotsPerMm) const;
    // Extent of a text in millimetres (measured at a fine resolution).
    double textWidthMm(const QString& text) const;
    double lineHeightMm() const;
};
