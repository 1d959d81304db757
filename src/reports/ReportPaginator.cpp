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
        m_contentBottom = pageMm.height() - ReportPaper::margin;
        if (const ReportBand* footer = layout.band(Kind::PageFooter))
            m_contentBottom -= footer->height;
    }

    void startPage(bool first)
    {
        m_pages.append(ReportPage());
        m_y = ReportPaper::margin;
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
    bool m_pageHasBody = false;
};

} // namespace

QList<ReportPage> ReportPaginator::paginate(const ReportLayout& layout, QSizeF pageMm, int rowCount)
{
    Builder builder(layout, pageMm);
    builder.startPage(true);
    for (int row = 0; row < rowCount; ++row)
        builder.placeBody(Kind::Detail, row);
    builder.placeBody(Kind::Summary, -1);
    return builder.finish();
}
