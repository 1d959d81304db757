#pragma once

#include <QSizeF>

// Paper of a layout: A4 or a custom width × length in millimetres, always
// portrait with 10 mm margins on every side.
struct ReportPaper {
    static constexpr double margin = 10.0;

    bool a4 = true;
    double width = 210.0;
    double length = 297.0;
    double border = margin;   // blank on every side; labels print to their edges


    static ReportPaper A4() { return {}; }
    static ReportPaper custom(double widthMm, double lengthMm) { return {false, widthMm, lengthMm}; }

    QSizeF sizeMm() const { return {width, length}; }
    bool operator==(const ReportPaper&) const = default;
};
