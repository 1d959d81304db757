// Prints 库存调整表: each goods' book quantity and the quantity it is adjusted to, over ChektempQ.
#include "reports/TQRcheck.h"

#include "core/TFrmDataMod.h"

TQRcheck::TQRcheck(QObject* parent)
    : GoodsStockLayout(QStringLiteral("库存调整表"), data().ChektempQ, {},
                       {{QStringLiteral("库存数量"), QStringLiteral("gods_amou"), 28, Qt::AlignRight},
                        {QStringLiteral("调整数量"), QStringLiteral("chek_amou"), 28, Qt::AlignRight}},
                       false, parent)
{
    setObjectName(QStringLiteral("TQRcheck"));
}
