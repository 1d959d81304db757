#include "reports/LabelLayout.h"

#include "core/TFrmDataMod.h"
#include "db/Connection.h"
#include "db/Dataset.h"
#include "db/Statement.h"
#include "reports/BarcodePainter.h"

#include <cmath>
#include <stdexcept>

namespace {

// Columns a label prints; label_code is the barcode, or the goods code without one.
const QString labelColumns = QStringLiteral(
    "g.gods_code, g.gods_name, g.gods_color, g.gods_size, g.valu_out, "
    "case when g.bar_code is null or g.bar_code='' then g.gods_code else g.bar_code end as label_code");

// Numbers 1..:most, to repeat a row.
const QString numbers = QStringLiteral(
    "with recursive copies(n) as (select 1 union all select n+1 from copies where n<:most) ");

} // namespace

LabelLayout::LabelLayout(QObject* parent)
    : ReportLayout(parent)
{
    setObjectName(QStringLiteral("LabelLayout"));
    setTitle(QStringLiteral("条码标签"));
    m_rows = new db::Dataset(data().AdoConn, QStringLiteral("LabelQ"), this);
    setMasterDataset(m_rows);
    setShape(LabelPaper::Kind::Roll40x30);
}

void LabelLayout::setShape(LabelPaper::Kind kind)
{
    const LabelPaper::Shape& s = LabelPaper::shape(kind);
    ReportPaper paper = ReportPaper::custom(s.page.width(), s.page.height());
    paper.border = s.border;
    setPaper(paper);
    setContentWidth(s.page.width() - 2 * s.border);
    setDetailColumns(s.across);

    // Everything in proportion to the label, inside a 1.5 mm edge.
    const double w = s.label.width();
    const double h = s.label.height();
    const double edge = 1.5;
    const double inner = w - 2 * edge;
    const double line = h * 0.15;
    ReportFont font = defaultFont();
    font.family = QStringLiteral("宋体");
    font.pointSize = line * 72.0 / 25.4 * 0.62;
    setDefaultFont(font);
    addBand(Kind::Detail, h);
    ReportItem& name = addData(Kind::Detail, QRectF(edge, edge, inner, line), m_rows, QStringLiteral("gods_name"));
    name.font.bold = true;
    addData(Kind::Detail, QRectF(edge, edge + line, inner / 2, line), m_rows, QStringLiteral("gods_color"));
    addData(Kind::Detail, QRectF(edge + inner / 2, edge + line, inner / 2, line), m_rows, QStringLiteral("gods_size"));
    addLabel(Kind::Detail, QRectF(edge, edge + 2 * line, inner * 0.3, line), QStringLiteral("售价"));
    addData(Kind::Detail, QRectF(edge + inner * 0.3, edge + 2 * line, inner * 0.7, line), m_rows,
            QStringLiteral("valu_out"));
    const double top = edge + 3 * line + 0.5;
    addBarcode(Kind::Detail, QRectF(edge, top, inner, h - top - edge), m_rows, QStringLiteral("label_code"));
    m_paperName = s.name;
    m_barcodeWidth = inner;
}

void LabelLayout::open(const QString& sql, const QList<std::pair<QString, QVariant>>& parameters)
{
    setShape(LabelPaper::current());
    m_rows->close();
    m_rows->setSql(sql);
    for (const auto& [name, value] : parameters)
        m_rows->setParameter(name, value);
    m_rows->open();
    m_rows->setDisplayFormat(QStringLiteral("valu_out"), QStringLiteral("#0.##"));
    // A code too long for the label is refused rather than printed as bars no scanner reads.
    const int codeField = m_rows->fieldIndex(QStringLiteral("label_code"));
    for (int row = 0; row < m_rows->recordCount(); ++row) {
        const QString code = m_rows->value(row, codeField).toString();
        // One that cannot be encoded at all leaves its barcode blank, as before.
        if (!BarcodePainter::modules(code).isEmpty() && !BarcodePainter::fits(code, m_barcodeWidth))
            throw std::runtime_error(QStringLiteral("条码“%1”太长，在“%2”的标签上印不下（条码宽%3毫米）；"
                                                    "请换用更宽的标签纸，或给该货品一个短一些的条码")
                                         .arg(code, m_paperName)
                                         .arg(m_barcodeWidth)
                                         .toStdString());
    }
}

void LabelLayout::forGoods(const QString& goodsCode, int copies)
{
    open(numbers + QStringLiteral("select %1 from goods g, copies where g.gods_code=:code order by copies.n")
                       .arg(labelColumns),
         {{QStringLiteral("most"), qMax(1, copies)}, {QStringLiteral("code"), goodsCode}});
}

void LabelLayout::forPurchase(const QString& billNo, bool perPiece)
{
    if (!perPiece) {
        open(QStringLiteral("select %1 from ingoods l join goods g on g.gods_code=l.gods_code "
                            "where l.bill_no=:bill_no order by l.in_id")
                 .arg(labelColumns),
             {{QStringLiteral("bill_no"), billNo}});
        return;
    }
    db::Statement most(data().AdoConn, QStringLiteral("select max(sub_amou) from ingoods where bill_no=:bill_no"));
    most.bind(QStringLiteral("bill_no"), billNo);
    const int pieces = most.next() ? int(std::floor(most.doubleValue(0))) : 0;
    open(numbers + QStringLiteral("select %1 from ingoods l join goods g on g.gods_code=l.gods_code "
                                  "join copies on copies.n<=l.sub_amou where l.bill_no=:bill_no "
                                  "order by l.in_id, copies.n")
                       .arg(labelColumns),
         {{QStringLiteral("most"), qMax(1, pieces)}, {QStringLiteral("bill_no"), billNo}});
}
