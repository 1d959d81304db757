#pragma once

#include "db/Dataset.h"
#include "reports/ReportFont.h"

#include <QPointer>
#include <QRectF>
#include <QString>

// A printable item at a fixed place within its band, in millimetres from the
// band's top-left corner (the left page margin).
struct ReportItem {
    enum class Kind {
        Label,      // a fixed text a window may replace by the label's name
        DataText,   // the display text of a field of a dataset
        HLine,      // a rule along the top edge of the rectangle
        VLine,      // a rule along the left edge of the rectangle
        Barcode     // the bars of a field's value, its text underneath
    };

    Kind kind = Kind::Label;
    QString name;
    QRectF rect;
    QString text;
    Qt::Alignment alignment = Qt::AlignLeft;
    ReportFont font;
    QPointer<db::Dataset> dataset;
    QString field;

    bool isText() const { return kind == Kind::Label || kind == Kind::DataText; }
    bool isRule() const { return kind == Kind::HLine || kind == Kind::VLine; }
};
