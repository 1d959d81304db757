#include "reports/ReportDocument.h"

#include "db/Dataset.h"
#include "reports/BarcodePainter.h"
#include "reports/PdfTextRepair.h"
#include "reports/ReportLayout.h"
#include "reports/ReportPaper.h"

#include <QFontMetricsF>
#include <QHash>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

namespace {

constexpr double ruleWidthMm = 0.2;

struct FontEntry {
    QFont font;
    QFontMetricsF metrics;
    QHash<char16_t, double> advances;

    // Sum of cached character advances: measuring whole strings costs a text
    // layout each, and lists repeat the same few characters thousands of times.
    double width(const QString& text)
    {
        double sum = 0;
        for (const QChar c : text) {
            if (c.isSurrogate())
                return metrics.horizontalAdvance(text);
            auto it = advances.constFind(c.unicode());
            if (it == advances.constEnd())
                it = advances.insert(c.unicode(), metrics.horizontalAdvance(c));
            sum += *it;
        }
        return sum;
    }
};

QString fontKey(const ReportFont& f)
{
    return f.family + QLatin1Char('/') + QString::number(f.pointSize) + (f.bold ? QStringLiteral("b") : QString());
}

} // namespace

ReportDocument::ReportDocument(const ReportLayout& layout, QSizeF pageMm, QList<ReportPage> pages)
    : m_layout(&layout)
    , m_pageMm(pageMm)
    , m_pages(std::move(pages))
{
}

double ReportDocument::horizontalScale() const
{
    const double designed = m_layout->contentWidth();
    const double available = m_pageMm.width() - 2 * m_layout->paper().border;
    // Narrower paper narrows the columns; wider paper keeps the layout as designed.
    return designed > 0 && available > 0 && available < designed ? available / designed : 1.0;
}

QRectF ReportDocument::itemRectMm(const ReportItem& item, const ReportPage::PlacedBand& band) const
{
    const double scale = horizontalScale();
    return QRectF(m_layout->paper().border + (band.left + item.rect.x()) * scale, band.top + item.rect.y(), item.rect.width() * scale,
                  item.rect.height());
}

QString ReportDocument::itemText(const ReportItem& item, const ReportPage::PlacedBand& band) const
{
    // A barcode of no field prints its fixed code.
    if (item.kind == ReportItem::Kind::Label || (item.kind == ReportItem::Kind::Barcode && item.field.isEmpty()))
        return item.text;
    if (item.kind != ReportItem::Kind::DataText && item.kind != ReportItem::Kind::Barcode)
        return {};
    const db::Dataset* dataset = item.dataset.data();
    if (!dataset && band.kind == ReportBand::Kind::Detail)
        return m_layout->rowText(band.row, item.field);
    if (!dataset || !dataset->isOpen())
        return {};
    // Detail bands show the row they were placed for; every other data text shows
    // its dataset's current row (a bill header beside its lines).
    const bool detailRow = band.kind == ReportBand::Kind::Detail && dataset == m_layout->masterDataset();
    const int row = detailRow ? band.row : dataset->currentRow();
    if (row < 0)
        return {};
    return dataset->displayText(row, dataset->fieldIndex(item.field));
}

void ReportDocument::paint(int pageIndex, QPainter& painter) const
{
    if (pageIndex < 0 || pageIndex >= m_pages.size())
        return;
    const QPaintDevice* device = painter.device();
    const double sx = device->logicalDpiX() / 25.4;
    const double sy = device->logicalDpiY() / 25.4;
    // Bars are whole dots of a printer or an image; those of a PDF, of a label printer's.
    const bool hasDots = device->devType() == QInternal::Printer || device->devType() == QInternal::Image;
    const double barcodeDpi = hasDots ? device->logicalDpiX() : BarcodePainter::labelPrinterDpi;

    painter.save();
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setRenderHint(QPainter::Antialiasing, false);
    QPen rulePen(Qt::black, qMax(1.0, ruleWidthMm * sy));
    rulePen.setCapStyle(Qt::SquareCap);
    painter.setBrush(Qt::NoBrush);

    QHash<QString, FontEntry> fonts;
    const auto fontFor = [&](const ReportFont& f, const QString& key) -> FontEntry& {
        auto it = fonts.find(key);
        if (it == fonts.end()) {
            const QFont font = f.toQFont(sy);
            it = fonts.insert(key, {font, QFontMetricsF(font, painter.device()), {}});
        }
        return it.value();
    };

    QString currentKey;
    // Recorded devices (the preview) store every state change: change only when needed.
    bool rulePenSet = false;
    const auto usePen = [&](bool rule) {
        if (rule != rulePenSet) {
            painter.setPen(rule ? rulePen : QPen(Qt::black));
            rulePenSet = rule;
        }
    };
    painter.setPen(Qt::black);
    for (const ReportPage::PlacedBand& placed : m_pages.at(pageIndex).bands) {
        const ReportBand* band = m_layout->band(placed.kind);
        if (!band)
            continue;
        for (const ReportItem& item : band->items) {
            const QRectF mm = itemRectMm(item, placed);
            const QRectF r(mm.x() * sx, mm.y() * sy, mm.width() * sx, mm.height() * sy);
            switch (item.kind) {
            case ReportItem::Kind::HLine:
                usePen(true);
                painter.drawLine(QLineF(r.left(), r.top(), r.right(), r.top()));
                continue;
            case ReportItem::Kind::VLine:
                usePen(true);
                painter.drawLine(QLineF(r.left(), r.top(), r.left(), r.bottom()));
                continue;
            case ReportItem::Kind::Barcode:
                BarcodePainter::draw(painter, r, itemText(item, placed), barcodeDpi);
                currentKey.clear();
                rulePenSet = false;
                painter.setPen(Qt::black);
                continue;
            case ReportItem::Kind::Label:
            case ReportItem::Kind::DataText:
                break;
            }
            QString text = itemText(item, placed);
            if (text.isEmpty())
                continue;
            const QString key = fontKey(item.font);
            FontEntry& entry = fontFor(item.font, key);
            if (key != currentKey) {
                painter.setFont(entry.font);
                currentKey = key;
            }
            const Qt::Alignment h = item.alignment & Qt::AlignHorizontal_Mask;
            const double pad = (h & Qt::AlignHCenter) ? 0.0 : textPaddingMm * sx;
            const QRectF inner = r.adjusted(pad, 0, -pad, 0);
            // A text wider than its box is cut with an ellipsis rather than run
            // over its neighbours.
            double width = entry.width(text);
            if (width > inner.width()) {
                text = entry.metrics.elidedText(text, Qt::ElideRight, inner.width());
                width = entry.metrics.horizontalAdvance(text);
            }
            // Placing the baseline directly is much cheaper than a text layout per cell.
            double x = inner.left();
            if (h & Qt::AlignRight)
                x = inner.right() - width;
            else if (h & Qt::AlignHCenter)
                x = inner.left() + (inner.width() - width) / 2;
            const double baseline = inner.center().y() + (entry.metrics.ascent() - entry.metrics.descent()) / 2;
            usePen(false);
            painter.drawText(QPointF(x, baseline), text);
        }
    }
    painter.restore();
}

bool ReportDocument::render(QPagedPaintDevice& device, int first, int last, int copies) const
{
    first = qMax(0, first);
    last = qMin(last, pageCount() - 1);
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    bool firstPage = true;
    for (int copy = 0; copy < qMax(1, copies); ++copy) {
        for (int i = first; i <= last; ++i) {
            if (!firstPage && !device.newPage())
                return false;
            firstPage = false;
            paint(i, painter);
        }
    }
    return painter.end();
}

bool ReportDocument::writePdf(const QString& fileName) const
{
    QPdfWriter writer(fileName);
    writer.setResolution(600);
    writer.setTitle(m_layout->title());
    writer.setPageLayout(QPageLayout(QPageSize(m_pageMm, QPageSize::Millimeter, QString(), QPageSize::ExactMatch),
                                     QPageLayout::Portrait, QMarginsF()));
    if (!render(writer, 0, pageCount() - 1))
        return false;
    return PdfTextRepair::repair(fileName);
}

QImage ReportDocument::toImage(int pageIndex, double dotsPerInch) const
{
    const double perMm = dotsPerInch / 25.4;
    QImage image(qRound(m_pageMm.width() * perMm), qRound(m_pageMm.height() * perMm), QImage::Format_RGB32);
    image.setDotsPerMeterX(qRound(perMm * 1000));
    image.setDotsPerMeterY(qRound(perMm * 1000));
    image.fill(Qt::white);
    QPainter painter(&image);
    paint(pageIndex, painter);
    return image;
}
