#pragma once

#include <QSizeF>
#include <QString>
#include <QStringList>

// The label paper the shop prints barcode labels on, kept in system.ini
// ([label] paper): a roll of single labels or an A4 sheet of 3 × 8.
namespace LabelPaper {

enum class Kind { Roll40x30, Roll50x30, SheetA4 };

struct Shape {
    Kind kind;
    QString name;      // as 基本设置 lists it
    QSizeF page;       // millimetres
    QSizeF label;      // millimetres
    int across;        // labels side by side
    double border;     // blank margin of the page, millimetres
};

const QList<Shape>& shapes();
const Shape& shape(Kind kind);
// The paper saved in system.ini; 40×30 when none is.
Kind current();
// False when system.ini cannot be written.
bool setCurrent(Kind kind);

} // namespace LabelPaper
