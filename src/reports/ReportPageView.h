#pragma once

#include "reports/ReportDocument.h"

#include <QAbstractScrollArea>
#include <QCache>
#include <QImage>
#include <optional>

// The preview's pages, one below the other. Their places come from the page count
// and paper size alone; a page is painted from the document only when it comes
// into view, so a long report shows its first page at once.
class ReportPageView : public QAbstractScrollArea {
    Q_OBJECT
public:
    enum class ZoomMode { FitInView, FitToWidth, Custom };

    explicit ReportPageView(QWidget* parent = nullptr);
    ~ReportPageView() override;

    // Shows another preparation of the report (new paper or orientation),
    // staying on the current page where it still exists.
    void setDocument(const ReportDocument& document);
    int pageCount() const;
    // 1-based; 0 when there is no document.
    int currentPage() const { return m_currentPage; }
    void setCurrentPage(int page);

    ZoomMode zoomMode() const { return m_zoomMode; }
    // 1.0 shows the paper at its real size.
    double zoomFactor() const { return m_zoom; }
    void setZoomMode(ZoomMode mode);
    void setZoomFactor(double factor);

    // Where a page (1-based) lies in viewport coordinates.
    QRect pageRect(int page) const;

signals:
    void currentPageChanged(int page);
    // A page (1-based) was painted from the document rather than taken from the cache.
    void pageRendered(int page);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    double screenDotsPerMm() const;
    int imageDotsPerInch() const;
    QSize pageSize() const;
    int pageStride() const;
    int contentWidth() const;
    // How far into the current page the view is scrolled, in pages.
    double scrolledIntoPage() const;
    void relayout(double scrolledIntoPage);
    void updateCurrentPage();
    const QImage& pageImage(int index);
    void paintPage(QPainter& painter, const QRect& rect, int index);

    std::optional<ReportDocument> m_document;
    ZoomMode m_zoomMode = ZoomMode::FitToWidth;
    double m_zoom = 1.0;
    int m_currentPage = 0;
    // Set while scrolling to a chosen page, so that page stays the current one.
    bool m_placing = false;
    // Rendered pages at the current zoom, cost in KiB.
    QCache<int, QImage> m_cache;
    // A page too large for the cache, kept while it is painted.
    QImage m_uncached;
};
