#include "reports/ReportPageView.h"

#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>
#include <cmath>

namespace {

// Grey around and between the pages, in pixels.
constexpr int gap = 16;
constexpr int shadow = 4;
constexpr double minZoom = 0.1;
constexpr double maxZoom = 4.0;
constexpr double wheelZoomStep = 1.25;
// Rendered pages kept, in KiB: a few A4 pages at large zoom.
constexpr int cacheKiB = 96 * 1024;

} // namespace

ReportPageView::ReportPageView(QWidget* parent)
    : QAbstractScrollArea(parent)
    , m_cache(cacheKiB)
{
    // Always there, so fitting the width never makes it come and go.
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setFrameShape(QFrame::NoFrame);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setBackgroundRole(QPalette::Dark);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
}

ReportPageView::~ReportPageView() = default;

void ReportPageView::setDocument(const ReportDocument& document)
{
    const double into = scrolledIntoPage();
    m_document = document;
    m_cache.clear();
    const int count = pageCount();
    const int page = count == 0 ? 0 : qBound(1, m_currentPage, count);
    const bool changed = page != m_currentPage;
    m_currentPage = page;
    relayout(into);
    if (changed)
        emit currentPageChanged(m_currentPage);
}

int ReportPageView::pageCount() const
{
    return m_document ? m_document->pageCount() : 0;
}

void ReportPageView::setCurrentPage(int page)
{
    const int count = pageCount();
    if (count == 0)
        return;
    page = qBound(1, page, count);
    const bool changed = page != m_currentPage;
    m_currentPage = page;
    m_placing = true;
    verticalScrollBar()->setValue((page - 1) * pageStride());
    m_placing = false;
    if (changed)
        emit currentPageChanged(page);
}

void ReportPageView::setZoomMode(ZoomMode mode)
{
    m_zoomMode = mode;
    relayout(scrolledIntoPage());
}

void ReportPageView::setZoomFactor(double factor)
{
    const double into = scrolledIntoPage();
    m_zoomMode = ZoomMode::Custom;
    m_zoom = qBound(minZoom, factor, maxZoom);
    relayout(into);
}

double ReportPageView::screenDotsPerMm() const
{
    return logicalDpiX() / 25.4;
}

int ReportPageView::imageDotsPerInch() const
{
    // Whole dots per inch, as the engine paints by the device's resolution; rounded
    // down so a fitted page never outgrows the view.
    return qMax(1, int(logicalDpiX() * m_zoom * devicePixelRatioF() + 1e-6));
}

QSize ReportPageView::pageSize() const
{
    if (!m_document)
        return {};
    const QSizeF mm = m_document->pageSizeMm();
    const double dots = imageDotsPerInch() / 25.4 / devicePixelRatioF();
    return {qMax(1, qRound(mm.width() * dots)), qMax(1, qRound(mm.height() * dots))};
}

int ReportPageView::pageStride() const
{
    return pageSize().height() + gap;
}

int ReportPageView::contentWidth() const
{
    return pageSize().width() + 2 * gap;
}

QRect ReportPageView::pageRect(int page) const
{
    const QSize size = pageSize();
    const int width = viewport()->width();
    const int x = contentWidth() <= width ? (width - size.width()) / 2 : gap - horizontalScrollBar()->value();
    const int y = gap + (page - 1) * pageStride() - verticalScrollBar()->value();
    return {QPoint(x, y), size};
}

double ReportPageView::scrolledIntoPage() const
{
    if (!m_document || m_currentPage < 1)
        return 0;
    const int stride = pageStride();
    return qBound(0.0, double(verticalScrollBar()->value() - (m_currentPage - 1) * stride) / stride, 1.0);
}

void ReportPageView::relayout(double scrolledIntoPage)
{
    if (!m_document) {
        viewport()->update();
        return;
    }
    const QSizeF mm = m_document->pageSizeMm();
    const double dots = screenDotsPerMm();
    const QSize room = viewport()->size() - QSize(2 * gap, 2 * gap);
    double zoom = m_zoom;
    if (m_zoomMode == ZoomMode::FitToWidth)
        zoom = room.width() / (mm.width() * dots);
    else if (m_zoomMode == ZoomMode::FitInView)
        zoom = qMin(room.width() / (mm.width() * dots), room.height() / (mm.height() * dots));
    zoom = qBound(minZoom, zoom, maxZoom);
    if (!qFuzzyCompare(zoom, m_zoom)) {
        m_zoom = zoom;
        m_cache.clear();
    }

    const int stride = pageStride();
    QScrollBar* vertical = verticalScrollBar();
    QScrollBar* horizontal = horizontalScrollBar();
    horizontal->setRange(0, qMax(0, contentWidth() - viewport()->width()));
    horizontal->setPageStep(viewport()->width());
    horizontal->setSingleStep(gap * 2);
    m_placing = true;
    vertical->setRange(0, qMax(0, gap + pageCount() * stride - viewport()->height()));
    vertical->setPageStep(viewport()->height());
    vertical->setSingleStep(gap * 2);
    // A page fitted into the view is shown whole; other zooms keep the place read.
    const double into = m_zoomMode == ZoomMode::FitInView ? 0.0 : scrolledIntoPage;
    vertical->setValue(qMax(0, m_currentPage - 1) * stride + qRound(into * stride));
    m_placing = false;
    viewport()->update();
}

void ReportPageView::updateCurrentPage()
{
    const int count = pageCount();
    if (count == 0)
        return;
    // The page that fills most of the view is the current one.
    const int height = viewport()->height();
    int best = m_currentPage;
    int bestShown = -1;
    for (int page = qMax(1, verticalScrollBar()->value() / pageStride()); page <= count; ++page) {
        const QRect rect = pageRect(page);
        if (rect.top() >= height)
            break;
        const int shown = qMin(rect.bottom() + 1, height) - qMax(rect.top(), 0);
        if (shown > bestShown) {
            best = page;
            bestShown = shown;
        }
    }
    if (best != m_currentPage) {
        m_currentPage = best;
        emit currentPageChanged(best);
    }
}

void ReportPageView::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    relayout(scrolledIntoPage());
}

void ReportPageView::scrollContentsBy(int, int)
{
    viewport()->update();
    if (!m_placing)
        updateCurrentPage();
}

void ReportPageView::wheelEvent(QWheelEvent* event)
{
    if (!(event->modifiers() & Qt::ControlModifier)) {
        QAbstractScrollArea::wheelEvent(event);
        return;
    }
    const int steps = event->angleDelta().y() / QWheelEvent::DefaultDeltasPerStep;
    if (steps != 0)
        setZoomFactor(m_zoom * std::pow(wheelZoomStep, steps));
    event->accept();
}

void ReportPageView::paintEvent(QPaintEvent* event)
{
    QPainter painter(viewport());
    const QRect area = event->rect();
    painter.fillRect(area, palette().brush(QPalette::Dark));
    const int count = pageCount();
    if (count == 0)
        return;
    const int first = qMax(1, (verticalScrollBar()->value() + area.top() - gap) / pageStride() + 1);
    for (int page = first; page <= count; ++page) {
        const QRect rect = pageRect(page);
        if (rect.top() > area.bottom())
            break;
        if (rect.adjusted(0, 0, shadow, shadow).intersects(area))
            paintPage(painter, rect, page - 1);
    }
}

void ReportPageView::paintPage(QPainter& painter, const QRect& rect, int index)
{
    // Overlapping translucent strips darken towards the page: a soft shadow.
    for (int i = shadow; i > 0; --i)
        painter.fillRect(rect.translated(i, i), QColor(0, 0, 0, 28));
    painter.drawImage(rect.topLeft(), pageImage(index));
}

const QImage& ReportPageView::pageImage(int index)
{
    const qreal ratio = devicePixelRatioF();
    if (const QImage* cached = m_cache.object(index); cached && cached->devicePixelRatio() == ratio)
        return *cached;

    QImage image = m_document->toImage(index, imageDotsPerInch());
    image.setDevicePixelRatio(ratio);
    emit pageRendered(index + 1);

    const qsizetype cost = qMax<qsizetype>(1, image.sizeInBytes() / 1024);
    if (cost > m_cache.maxCost()) {
        m_uncached = std::move(image);
        return m_uncached;
    }
    m_cache.insert(index, new QImage(std::move(image)), cost);
    return *m_cache.object(index);
}
