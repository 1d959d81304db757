// Prints 库存报表: each goods' stock quantity, cost price and value, over StoreQ.
#include "reports/TRptstore.h"

#include "core/TFrmDataMod.h"

TRptstore::TRptstore(QObject* parent)
    : GoodsStockLayout(QStringLiteral("库存报表"), data().StoreQ,
                       {{QStringLiteral("总数量"), 14, QStringLiteral("hjsl"), 40},
                        {QStringLiteral("总成本"), 14, QStringLiteral("hjcb"), 40}},
                       {{QStringLiteral("数量"), QStringLiteral("gods_amou"), 18, Qt::AlignRight},
                        {QStringLiteral("成本"), QStringLiteral("cost_pric"), 18, Qt::AlignRight},
                        {QStringLiteral("小计"), QStringLiteral("cost_tota"), 20, Qt::AlignRight}},
                       true, parent)
{
    setObjectName(QStringLiteral("TRptstore"));
}
