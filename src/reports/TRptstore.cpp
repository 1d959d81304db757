#include "reports/TRptstore.h"

#include "core/TFrmDataMod.h"

TRptstore::TRptstore(QObject* parent)
    : StockListLayout(QStringLiteral("库存报表"), data().StoreQ, parent)
{
    setObjectName(QStringLiteral("TRptstore"));
    const Qt::Alignment number = Qt::AlignRight;
    build({{QStringLiteral("总数量"), 14, QStringLiteral("hjsl"), 40},
           {QStringLiteral("总成本"), 14, QStringLiteral("hjcb"), 40}},
          {{QStringLiteral("货品编码"), QStringLiteral("gods_code"), 22},
           {QStringLiteral("货品名称"), QStringLiteral("gods_name"), 30},
           {QStringLiteral("分类"), QStringLiteral("gods_kind"), 14},
           {QStringLiteral("品牌"), QStringLiteral("gods_spec"), 14},
           {QStringLiteral("款式"), QStringLiteral("gods_type"), 14},
           {QStringLiteral("颜色"), QStringLiteral("gods_color"), 14},
           {QStringLiteral("尺码"), QStringLiteral("gods_size"), 14},
           {QStringLiteral("单位"), QStringLiteral("gods_unit"), 12},
           {QStringLiteral("数量"), QStringLiteral("gods_amou"), 18, number},
           {QStringLiteral("成本"), QStringLiteral("cost_pric"), 18, number},
           {QStringLiteral("小计"), QStringLiteral("cost_tota"), 20, number}},
          true);
}
