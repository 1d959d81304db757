#include "reports/ReceiptLayout.h"

#include "reports/EscPosReceipt.h"
#include "reports/ReceiptText.h"
#include "reports/ReportDocument.h"

namespace {

// Latin half an em wide and Chinese a whole one, as the roll's columns are.
const QString monospaced = QStringLiteral("Noto Sans Mono CJK SC");
constexpr double barcodeHeightMm = 14;

} // namespace

double ReceiptLayout::rollWidthMm(int columns)
{
    return EscPosReceipt::dotsAcross(columns) * 25.4 / 203;
}

ReceiptLayout::ReceiptLayout(const shop::Receipt& receipt, int columns, QSizeF pageMm, QObject* parent)
    : ReportLayout(parent)
{
    setObjectName(QStringLiteral("ReceiptLayout"));
    setTitle(receipt.isReturn ? QStringLiteral("退货小票") : QStringLiteral("小票"));
    ReportPaper paper = ReportPaper::custom(pageMm.width(), pageMm.height());
    // A roll-wide page keeps little of its width blank.
    paper.border = pageMm.width() < 100 ? 2.0 : ReportPaper::margin;
    setPaper(paper);
    const double width = qMin(rollWidthMm(columns), pageMm.width() - 2 * paper.border);
    setContentWidth(width);

    const double em = 2 * (width - 2 * ReportDocument::textPaddingMm) / columns;
    ReportFont font;
    font.family = monospaced;
    font.pointSize = em * 0.96 * 72.0 / 25.4;
    setDefaultFont(font);
    const double lineHeight = em * 1.3;

    const QList<ReceiptText::Line> lines = ReceiptText::lines(receipt, columns);
    double height = barcodeHeightMm + lineHeight;
    for (const ReceiptText::Line& line : lines)
        height += line.style == ReceiptText::Style::Large ? lineHeight * 1.5 : lineHeight;
    addBand(Kind::Title, height);

    double y = 0;
    for (const ReceiptText::Line& line : lines) {
        const bool large = line.style == ReceiptText::Style::Large;
        const double h = large ? lineHeight * 1.5 : lineHeight;
        const QRectF row(0, y, width, h);
        const auto styled = [&line, large](ReportItem& item) {
            item.font.bold = line.style != ReceiptText::Style::Normal;
            if (large)
                item.font.pointSize *= 1.25;
        };
        if (line.rule) {
            addHLine(Kind::Title, y + h / 2, 0, width);
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
    if (!receipt.number.isEmpty())
        addBarcode(Kind::Title, QRectF(0, y + lineHeight / 2, width, barcodeHeightMm), receipt.number);
}
