#include "reports/ReportLayout.h"

#include "core/TFrmDataMod.h"
#include "db/Dataset.h"
#include "reports/ReportDocument.h"
#include "reports/ReportPaginator.h"
#include "reports/ReportPreview.h"
#include "ui/Dialogs.h"

#include <QPrinter>
#include <stdexcept>

ReportLayout::ReportLayout(QObject* parent)
    : QObject(parent)
{
}

ReportLayout::~ReportLayout() = default;

const ReportBand* ReportLayout::band(ReportBand::Kind kind) const
{
    const auto& slot = m_bands.at(static_cast<size_t>(kind));
    return slot ? &*slot : nullptr;
}

QList<ReportBand::Kind> ReportLayout::bandKinds() const
{
    QList<ReportBand::Kind> kinds;
    for (const auto& slot : m_bands)
        if (slot)
            kinds.append(slot->kind);
    return kinds;
}

ReportItem* ReportLayout::findLabel(const QString& name)
{
    for (auto& slot : m_bands)
        if (slot)
            for (ReportItem& item : slot->items)
                if (item.kind == ReportItem::Kind::Label && item.name == name)
                    return &item;
    return nullptr;
}

const ReportItem* ReportLayout::findLabel(const QString& name) const
{
    return const_cast<ReportLayout*>(this)->findLabel(name);
}

ReportItem& ReportLayout::labelOrThrow(const QString& name)
{
    if (name.isEmpty())
        throw std::out_of_range("a report label needs a name");
    ReportItem* item = findLabel(name);
    if (!item)
        throw std::out_of_range(QStringLiteral("%1 has no label %2").arg(objectName(), name).toStdString());
    return *item;
}

const ReportItem& ReportLayout::labelOrThrow(const QString& name) const
{
    return const_cast<ReportLayout*>(this)->labelOrThrow(name);
}

bool ReportLayout::hasLabel(const QString& name) const
{
    return !name.isEmpty() && findLabel(name);
}

QStringList ReportLayout::labelNames() const
{
    QStringList names;
    for (const auto& slot : m_bands)
        if (slot)
            for (const ReportItem& item : slot->items)
                if (item.kind == ReportItem::Kind::Label && !item.name.isEmpty())
                    names.append(item.name);
    return names;
}

QString ReportLayout::labelText(const QString& name) const
{
    return labelOrThrow(name).text;
}

void ReportLayout::setLabelText(const QString& name, const QString& text)
{
    labelOrThrow(name).text = text;
}

Qt::Alignment ReportLayout::labelAlignment(const QString& name) const
{
    return labelOrThrow(name).alignment;
}

void ReportLayout::setLabelAlignment(const QString& name, Qt::Alignment alignment)
{
    labelOrThrow(name).alignment = alignment & Qt::AlignHorizontal_Mask;
}

ReportDocument ReportLayout::prepare() const
{
    return prepare(m_paper.sizeMm());
}

ReportDocument ReportLayout::prepare(QSizeF pageMm) const
{
    return ReportDocument(*this, pageMm, ReportPaginator::paginate(*this, pageMm, rowCount()));
}

void ReportLayout::setRows(int count, RowText text)
{
    m_rowCount = count;
    m_rowText = std::move(text);
}

int ReportLayout::rowCount() const
{
    if (m_rowCount >= 0)
        return m_rowCount;
    // A closed master dataset prints like an empty one: the form without lines.
    return m_master && m_master->isOpen() ? m_master->recordCount() : 0;
}

QString ReportLayout::rowText(int row, const QString& field) const
{
    return m_rowText && row >= 0 && row < m_rowCount ? m_rowText(row, field) : QString();
}

void ReportLayout::clearBands()
{
    for (auto& slot : m_bands)
        slot.reset();
}

void ReportLayout::writePdf(const QString& fileName) const
{
    if (!prepare().writePdf(fileName))
        throw std::runtime_error(QStringLiteral("无法写入文件 %1").arg(fileName).toStdString());
}

int ReportLayout::preview(QWidget* parent)
{
    ReportPreview dialog(*this, parent);
    return ui::dialogs().exec(&dialog);
}

QPrinter& ReportLayout::printer()
{
    if (!m_printer)
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *m_printer;
}

// ---------------------------------------------------------------- building

TFrmDataMod& ReportLayout::data()
{
    TFrmDataMod* module = TFrmDataMod::instance();
    if (!module)
        throw std::logic_error("report layouts are created after the data module");
    return *module;
}

ReportBand& ReportLayout::addBand(Kind kind, double heightMm)
{
    auto& slot = m_bands.at(static_cast<size_t>(kind));
    slot = ReportBand{kind, heightMm, {}};
    return *slot;
}

namespace {

ReportBand& existing(std::optional<ReportBand>& slot)
{
    if (!slot)
        throw std::logic_error("an item was added to a band the layout does not have");
    return *slot;
}

} // namespace

ReportItem& ReportLayout::addLabel(Kind band, const QRectF& rect, const QString& text, Qt::Alignment alignment,
                                   const QString& name)
{
    ReportItem item;
    item.kind = ReportItem::Kind::Label;
    item.name = name;
    item.rect = rect;
    item.text = text;
    item.alignment = alignment;
    item.font = m_defaultFont;
    auto& items = existing(m_bands.at(static_cast<size_t>(band))).items;
    items.append(item);
    return items.last();
}

ReportItem& ReportLayout::addBarcode(Kind band, const QRectF& rect, db::Dataset* dataset, const QString& field)
{
    ReportItem& item = addData(band, rect, dataset, field);
    item.kind = ReportItem::Kind::Barcode;
    return item;
}

ReportItem& ReportLayout::addBarcode(Kind band, const QRectF& rect, const QString& code)
{
    ReportItem& item = addLabel(band, rect, code);
    item.kind = ReportItem::Kind::Barcode;
    return item;
}

ReportItem& ReportLayout::addData(Kind band, const QRectF& rect, db::Dataset* dataset, const QString& field,
                                  Qt::Alignment alignment)
{
    ReportItem item;
    item.kind = ReportItem::Kind::DataText;
    item.name = field;
    item.rect = rect;
    item.alignment = alignment;
    item.font = m_defaultFont;
    item.dataset = dataset;
    item.field = field;
    auto& items = existing(m_bands.at(static_cast<size_t>(band))).items;
    items.append(item);
    return items.last();
}

void ReportLayout::addHLine(Kind band, double y, double x1, double x2)
{
    ReportItem item;
    item.kind = ReportItem::Kind::HLine;
    item.rect = QRectF(x1, y, x2 - x1, 0);
    existing(m_bands.at(static_cast<size_t>(band))).items.append(item);
}

void ReportLayout::addVLine(Kind band, double x, double y1, double y2)
{
    ReportItem item;
    item.kind = ReportItem::Kind::VLine;
    item.rect = QRectF(x, y1, 0, y2 - y1);
    existing(m_bands.at(static_cast<size_t>(band))).items.append(item);
}

void ReportLayout::addBox(Kind band, const QRectF& rect)
{
    addHLine(band, rect.top(), rect.left(), rect.right());
    addHLine(band, rect.bottom(), rect.left(), rect.right());
    addVLine(band, rect.left(), rect.top(), rect.bottom());
    addVLine(band, rect.right(), rect.top(), rect.bottom());
}

ReportItem& ReportLayout::addTitleLabel(Kind band, double top, double height, double pointSize, const QString& name)
{
    ReportItem& item = addLabel(band, QRectF(0, top, m_contentWidth, height), m_title, Qt::AlignHCenter, name);
    item.font.pointSize = pointSize;
    item.font.bold = true;
    return item;
}

void ReportLayout::addTable(Kind headingBand, double top, double headingHeight, const QList<ReportColumn>& columns,
                            db::Dataset* dataset)
{
    const ReportBand* detail = band(Kind::Detail);
    if (!detail)
        throw std::logic_error("a table needs a detail band");
    const double rowHeight = detail->height;
    double width = 0;
    for (const ReportColumn& c : columns)
        width += c.width;

    double x = 0;
    for (const ReportColumn& c : columns) {
        addLabel(headingBand, QRectF(x, top, c.width, headingHeight), c.heading, Qt::AlignHCenter);
        addData(Kind::Detail, QRectF(x, 0, c.width, rowHeight), dataset, c.field, c.alignment);
        addVLine(headingBand, x, top, top + headingHeight);
        addVLine(Kind::Detail, x, 0, rowHeight);
        x += c.width;
    }
    addVLine(headingBand, width, top, top + headingHeight);
    addVLine(Kind::Detail, width, 0, rowHeight);
    addHLine(headingBand, top, 0, width);
    addHLine(headingBand, top + headingHeight, 0, width);
    // Each cell is closed on both edges, so a page that starts without headings
    // still shows boxed rows; the shared edge of two rows prints twice in one place.
    addHLine(Kind::Detail, 0, 0, width);
    addHLine(Kind::Detail, rowHeight, 0, width);
}

double ReportLayout::addPairs(Kind band, double x, double top, double height, const QList<Pair>& pairs)
{
    for (const Pair& p : pairs) {
        if (!p.caption.isEmpty())
            addLabel(band, QRectF(x, top, p.captionWidth, height), p.caption);
        x += p.captionWidth;
        if (!p.name.isEmpty())
            addLabel(band, QRectF(x, top, p.valueWidth, height), QString(), p.alignment, p.name);
        x += p.valueWidth;
    }
    return x;
}
