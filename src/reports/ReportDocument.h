#pragma once

#include "reports/ReportPage.h"

#include <QImage>
#include <QList>
#include <QRectF>
#include <QSizeF>

class QPagedPaintDevice;
class QPainter;
class ReportLayout;

// A layout's prepared pages. Painting reads labels and data texts as they are at
// the time of painting, so one document serves preview, printer, image and PDF.
class ReportDocument {
public:
    // Space between a left- or right-aligned text and its box edge.
    static constexpr double textPaddingMm = 1.0;

    ReportDocument(const ReportLayout& layout, QSizeF pageMm, QList<ReportPage> pages);

    const ReportLayout& layout() const { return *m_layout; }
    QSizeF pageSizeMm() const { return m_pageMm; }
    int pageCount() const { return m_pages.size(); }
    const ReportPage& page(int index) const { return m_pages.at(index); }
    const QList<ReportPage>& pages() const { return m_pages; }

    // How much the layout's design is narrowed so that its content stays between
    // the margins of a paper narrower than it was designed for.
    double horizontalScale() const;
    // Where an item of a placed band lies on the page, in millimetres from the paper's top-left corner.
    QRectF itemRectMm(const ReportItem& item, const ReportPage::PlacedBand& band) const;

    // The text an item prints on a placed band.
    QString itemText(const ReportItem& item, const ReportPage::PlacedBand& band) const;

    // Paints one page with the painter's origin at the paper's top-left corner.
    void paint(int pageIndex, QPainter& painter) const;
    // Paints pages first..last (0-based, inclusive) onto a printer or PDF writer,
    // copies times over; false when the device cannot be painted on.
    bool render(QPagedPaintDevice& device, int first, int last, int copies = 1) const;
    bool writePdf(const QString& fileName) const;
    QImage toImage(int pageIndex, double dotsPerInch) const;

private:
    const ReportLayout* m_layout;
    QSizeF m_pageMm;
    QList<ReportPage> m_pages;
};
