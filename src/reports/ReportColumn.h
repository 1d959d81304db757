#pragma once

#include <QString>

// One column of a ruled table: its heading, the field its cells show and its width.
struct ReportColumn {
    QString heading;
    QString field;
    double width = 0;   // millimetres
    Qt::Alignment alignment = Qt::AlignLeft;
};
