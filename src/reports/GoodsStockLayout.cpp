#include "reports/GoodsStockLayout.h"

GoodsStockLayout::GoodsStockLayout(const QString& title, db::Dataset* dataset, const QList<Pair>& totals,
                                   const QList<ReportColumn>& quantities, bool pageFooter, QObject* parent)
    : StockListLayout(title, dataset, parent)
{
    const QList<ReportColumn> goods{{QStringLiteral("货品编码"), QStringLiteral("gods_code"), 22},
                                    {QStringLiteral("货品名称"), QStringLiteral("gods_name"), 30},
                                    {QStringLiteral("分类"), QStringLiteral("gods_kind"), 14},
                                    {QStringLiteral("品牌"), QStringLiteral("gods_spec"), 14},
                                    {QStringLiteral("款式"), QStringLiteral("gods_type"), 14},
                                    {QStringLiteral("颜色"), QStringLiteral("gods_color"), 14},
                                    {QStringLiteral("尺码"), QStringLiteral("gods_size"), 14},
                                    {QStringLiteral("单位"), QStringLiteral("gods_unit"), 12}};
    build(totals, goods + quantities, pageFooter);
}
