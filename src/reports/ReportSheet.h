#pragma once

#include "core/SheetWriter.h"

#include <QList>
#include <QVariant>

class ReportLayout;
struct ReportItem;

// A layout's detail lines as a table for a spreadsheet: one column per data
// text of the detail band, left to right, captioned by the heading label above it.
class ReportSheet {
public:
    explicit ReportSheet(const ReportLayout& layout);

    const QList<SheetColumn>& columns() const { return m_columns; }
    // The labels around the lines as they stand: the title and what the report
    // was drawn for above, the summary's totals below; a value label holding a
    // number is a number.
    SheetFrame frame() const;
    int rowCount() const;
    QVariant value(int row, int column) const;

private:
    const ReportLayout& m_layout;
    QList<SheetColumn> m_columns;
    QList<const ReportItem*> m_items;
    QList<const ReportItem*> m_headings;
};
