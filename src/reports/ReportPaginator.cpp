#include "reports/ReportPaginator.h"

#include "reports/ReportLayout.h"
#include "reports/ReportPaper.h"

namespace {

// Heights are sums of tenths of millimetres; allow their rounding.
constexpr double tolerance = 1e-6;

using Kind = ReportBand::Kind;

class Builder {
public:
    Builder(const ReportLayout& layout, QSizeF pageMm)
        : m_layout(layout)
    {
        m_contentBottom = pageMm.height() - layout.paper().border;
        if (const ReportBand* footer = layout.band(Kind::PageFooter))
            m_contentBottom -= footer->height;
    }

    void startPage(bool first)
    {
        m_pages.append(ReportPage());
        m_y = m_layout.paper().border;
        m_column = 0;
        if (first)
            place(Kind::Title, -1);
        place(Kind::PageHeader, -1);
        m_pageHasBody = false;
    }

    // Places a band of the body, breaking the page first when the band would run
    // into the page footer. A band taller than an empty page still gets one page of
    // its own rather than breaking forever.
    void placeBody(Kind kind, int row)
    {
        const ReportBand* band = m_layout.band(kind);
        if (!band)
            return;
        if (m_pageHasBody && m_y + band->height > m_contentBottom + tolerance)
            startPage(false);
        place(kind, row);
        m_pageHasBody = true;
    }

    // Detail bands side by side, a row of them at a time.
    void placeAcross(int row)
    {
        const ReportBand* band = m_layout.band(Kind::Detail);
        if (!band)
            return;
        if (m_column == 0 && m_pageHasBody && m_y + band->height > m_contentBottom + tolerance)
            startPage(false);
        const double pitch = m_layout.contentWidth() / m_layout.detailColumns();
        m_pages.last().bands.append({Kind::Detail, m_y, row, m_column * pitch});
        m_pageHasBody = true;
        if (++m_column == m_layout.detailColumns())
            endRow();
    }

    void endRow()
    {
        if (m_column == 0)
            return;
        m_column = 0;
        m_y += m_layout.band(Kind::Detail)->height;
    }

    QList<ReportPage> finish()
    {
        if (m_layout.band(Kind::PageFooter))
            for (ReportPage& page : m_pages)
                page.bands.append({Kind::PageFooter, m_contentBottom, -1});
        return std::move(m_pages);
    }

private:
    void place(Kind kind, int row)
    {
        const ReportBand* band = m_layout.band(kind);
        if (!band)
            return;
        m_pages.last().bands.append({kind, m_y, row});
        m_y += band->height;
    }

    const ReportLayout& m_layout;
    QList<ReportPage> m_pages;
    double m_y = 0;
    double m_contentBottom = 0;
    int m_column = 0;
    bool m_pageHasBody = false;
};

} // namespace

QList<ReportPage> ReportPaginator::paginate(const ReportLayout& layout, QSizeF pageMm, int rowCount)
{
    Builder builder(layout, pageMm);
    builder.startPage(true);
    for (int row = 0; row < rowCount; ++row) {
        if (layout.detailColumns() > 1)
            builder.placeAcross(row);
        else
            builder.placeBody(Kind::Detail, row);
    }
    builder.endRow();
    builder.placeBody(Kind::Summary, -1);
    return builder.finish();
}
