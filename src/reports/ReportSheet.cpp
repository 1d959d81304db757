#include "reports/ReportSheet.h"

#include "db/Dataset.h"
#include "reports/ReportLayout.h"

#include <algorithm>

namespace {

// A spreadsheet character is about 1.7 mm wide.
constexpr double charactersPerMm = 0.6;

double overlap(const QRectF& a, const QRectF& b)
{
    return std::min(a.right(), b.right()) - std::max(a.left(), b.left());
}

// The heading over a data text: of the labels above the detail band that lie
// mostly over it (not the title across the page), the one nearest the lines.
const ReportItem* headingOver(const ReportLayout& layout, const ReportItem& item)
{
    const ReportItem* best = nullptr;
    double bestPlace = -1;
    double bandTop = 0;   // the page header comes after the title band
    for (const ReportBand::Kind kind : {ReportBand::Kind::Title, ReportBand::Kind::PageHeader}) {
        const ReportBand* band = layout.band(kind);
        if (!band)
            continue;
        for (const ReportItem& label : band->items) {
            const double shared = overlap(label.rect, item.rect);
            const double place = bandTop + label.rect.bottom();
            if (label.kind == ReportItem::Kind::Label && !label.text.trimmed().isEmpty()
                && shared >= 0.5 * label.rect.width() && place > bestPlace) {
                best = &label;
                bestPlace = place;
            }
        }
        bandTop += band->height;
    }
    return best;
}

// The labels of bands, a line per row of labels, left to right.
QList<QList<QVariant>> labelLines(const ReportLayout& layout, const QList<ReportBand::Kind>& kinds,
                                  const QList<const ReportItem*>& leaveOut)
{
    QList<std::pair<double, const ReportItem*>> placed;
    double bandTop = 0;
    for (const ReportBand::Kind kind : kinds) {
        const ReportBand* band = layout.band(kind);
        if (!band)
            continue;
        for (const ReportItem& label : band->items)
            if (label.kind == ReportItem::Kind::Label && !label.text.trimmed().isEmpty() && !leaveOut.contains(&label))
                placed.append({bandTop + label.rect.top(), &label});
        bandTop += band->height;
    }
    std::stable_sort(placed.begin(), placed.end(), [](const auto& a, const auto& b) {
        return a.first != b.first ? a.first < b.first : a.second->rect.left() < b.second->rect.left();
    });
    QList<QList<QVariant>> lines;
    double lineTop = -1;
    for (const auto& [top, label] : placed) {
        if (lines.isEmpty() || top > lineTop + 0.5) {
            lines.append(QList<QVariant>());
            lineTop = top;
        }
        bool number = false;
        const double value = label->text.trimmed().toDouble(&number);
        lines.last().append(number && !label->name.isEmpty() ? QVariant(value) : QVariant(label->text.trimmed()));
    }
    return lines;
}

} // namespace

ReportSheet::ReportSheet(const ReportLayout& layout)
    : m_layout(layout)
{
    const ReportBand* detail = layout.band(ReportBand::Kind::Detail);
    if (!detail)
        return;
    for (const ReportItem& item : detail->items)
        if (item.kind == ReportItem::Kind::DataText)
            m_items.append(&item);
    std::stable_sort(m_items.begin(), m_items.end(),
                     [](const ReportItem* a, const ReportItem* b) { return a->rect.left() < b->rect.left(); });
    for (const ReportItem* item : std::as_const(m_items)) {
        SheetColumn column;
        const ReportItem* heading = headingOver(layout, *item);
        if (heading)
            m_headings.append(heading);
        column.caption = heading ? heading->text.trimmed() : item->field;
        column.width = item->rect.width() * charactersPerMm;
        const int index = item->dataset ? item->dataset->fieldIndex(item->field) : -1;
        if (index >= 0) {
            const db::Field& field = item->dataset->field(index);
            if (field.type == db::FieldType::Double || field.type == db::FieldType::Integer) {
                column.kind = SheetColumn::Kind::Number;
                column.format = field.displayFormat;
            } else if (field.type == db::FieldType::DateTime) {
                column.kind = SheetColumn::Kind::Date;
                column.format = field.displayFormat;
            }
        }
        m_columns.append(column);
    }
}

int ReportSheet::rowCount() const
{
    return m_layout.rowCount();
}

QVariant ReportSheet::value(int row, int column) const
{
    const ReportItem& item = *m_items[column];
    const db::Dataset* dataset = item.dataset;
    if (!dataset)
        return m_layout.rowText(row, item.field);
    const int index = dataset ? dataset->fieldIndex(item.field) : -1;
    if (index < 0 || !dataset->isOpen())
        return {};
    // Data of another dataset than the master prints its current row on every line.
    const int at = dataset == m_layout.masterDataset() ? row : dataset->currentRow();
    if (at < 0 || at >= dataset->recordCount())
        return {};
    const QVariant v = dataset->value(at, index);
    return m_columns[column].kind == SheetColumn::Kind::Text && !v.isNull() ? QVariant(dataset->displayText(at, index))
                                                                            : v;
}

SheetFrame ReportSheet::frame() const
{
    return {labelLines(m_layout, {ReportBand::Kind::Title, ReportBand::Kind::PageHeader}, m_headings),
            labelLines(m_layout, {ReportBand::Kind::Summary}, {})};
}
