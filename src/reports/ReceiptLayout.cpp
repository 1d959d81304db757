#include "reports/ReceiptLayout.h"

#include "reports/EscPosReceipt.h"
#include "reports/ReceiptText.h"
#include "reports/ReportDocument.h"

namespace {

// Latin half an em wide and Chinese a whole one, as the roll's columns are.
const QString monospaced = QStringLiteral("Noto Sans Mono CJK SC");
constexpr double barcodeHeightMm = 14;

struct Geometry {
    ReportPaper paper;
    double width;        // of the text, millimetres
    double em;
    double lineHeight;
    double pageHeight;   // what a page holds between its margins
};

Geometry geometry(int columns, QSizeF pageMm)
{
    Geometry g;
    g.paper = ReportPaper::custom(pageMm.width(), pageMm.height());
    // A roll-wide page keeps little of its width blank.
    g.paper.border = pageMm.width() < 100 ? 2.0 : ReportPaper::margin;
    g.width = qMin(ReceiptLayout::rollWidthMm(columns), pageMm.width() - 2 * g.paper.border);
    g.em = 2 * (g.width - 2 * ReportDocument::textPaddingMm) / columns;
    g.lineHeight = g.em * 1.3;
    g.pageHeight = pageMm.height() - 2 * g.paper.border;
    return g;
}

double heightOf(const ReceiptText::Line& line, const Geometry& g)
{
    return line.style == ReceiptText::Style::Large ? g.lineHeight * 1.5 : g.lineHeight;
}

double barcodeHeight(const Geometry& g)
{
    return barcodeHeightMm + g.lineHeight / 2;
}

// The page of each line, and after them the page of the barcode when the slip has one.
QList<int> pagesOf(const ReceiptText::Slip& slip, const Geometry& g)
{
    QList<int> pages;
    int page = 0;
    double y = 0;
    const auto place = [&](double h) {
        if (y > 0 && y + h > g.pageHeight) {
            ++page;
            y = 0;
        }
        pages << page;
        y += h;
    };
    for (const ReceiptText::Line& line : slip.lines)
        place(heightOf(line, g));
    if (!slip.barcode.isEmpty())
        place(barcodeHeight(g));
    return pages;
}

} // namespace

double ReceiptLayout::rollWidthMm(int columns)
{
    return EscPosReceipt::dotsAcross(columns) * 25.4 / 203;
}

int ReceiptLayout::pageCount(const ReceiptText::Slip& slip, int columns, QSizeF pageMm)
{
    const QList<int> pages = pagesOf(slip, geometry(columns, pageMm));
    return pages.isEmpty() ? 1 : pages.last() + 1;
}

ReceiptLayout::ReceiptLayout(const ReceiptText::Slip& slip, int columns, QSizeF pageMm, int page, QObject* parent)
    : ReportLayout(parent)
{
    setObjectName(QStringLiteral("ReceiptLayout"));
    setTitle(slip.title);
    const Geometry g = geometry(columns, pageMm);
    setPaper(g.paper);
    setContentWidth(g.width);
    ReportFont font;
    font.family = monospaced;
    font.pointSize = g.em * 0.96 * 72.0 / 25.4;
    setDefaultFont(font);
    addBand(Kind::Title, g.pageHeight);

    const QList<ReceiptText::Line>& lines = slip.lines;
    const QList<int> pages = pagesOf(slip, g);
    double y = 0;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (pages.at(i) != page)
            continue;
        const ReceiptText::Line& line = lines.at(i);
        const bool large = line.style == ReceiptText::Style::Large;
        const double h = heightOf(line, g);
        const QRectF row(0, y, g.width, h);
        const auto styled = [&line, large](ReportItem& item) {
            item.font.bold = line.style != ReceiptText::Style::Normal;
            if (large)
                item.font.pointSize *= 1.25;
        };
        if (line.rule) {
            addHLine(Kind::Title, y + h / 2, 0, g.width);
        } else if (line.centred) {
            styled(addLabel(Kind::Title, row, line.text, Qt::AlignHCenter | Qt::AlignVCenter));
        } else {
            if (!line.text.isEmpty())
                styled(addLabel(Kind::Title, row, line.text, Qt::AlignLeft | Qt::AlignVCenter));
            if (!line.right.isEmpty())
                styled(addLabel(Kind::Title, row, line.right, Qt::AlignRight | Qt::AlignVCenter));
        }
        y += h;
    }
    if (!slip.barcode.isEmpty() && pages.last() == page)
        addBarcode(Kind::Title, QRectF(0, y + g.lineHeight / 2, g.width, barcodeHeightMm), slip.barcode);
}
