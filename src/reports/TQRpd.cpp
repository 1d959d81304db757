// Prints 盘点表: each goods' book, counted and lost quantity of a stock count, over ChektempQ.
#include "reports/TQRpd.h"

#include "core/TFrmDataMod.h"

TQRpd::TQRpd(QObject* parent)
    : StockListLayout(QStringLiteral("盘 点 表"), data().ChektempQ, parent)
{
    setObjectName(QStringLiteral("TQRpd"));
    const Qt::Alignment number = Qt::AlignRight;
    build({},
          {{QStringLiteral("货品编码"), QStringLiteral("gods_code"), 20},
           {QStringLiteral("货品名称"), QStringLiteral("gods_name"), 28},
           {QStringLiteral("分类"), QStringLiteral("gods_kind"), 13},
           {QStringLiteral("品牌"), QStringLiteral("gods_spec"), 13},
           {QStringLiteral("款式"), QStringLiteral("gods_type"), 13},
           {QStringLiteral("颜色"), QStringLiteral("gods_color"), 13},
           {QStringLiteral("尺码"), QStringLiteral("gods_size"), 13},
           {QStringLiteral("单位"), QStringLiteral("gods_unit"), 11},
           {QStringLiteral("库存数量"), QStringLiteral("gods_amou"), 22, number},
           {QStringLiteral("实盘数量"), QStringLiteral("chek_amou"), 22, number},
           {QStringLiteral("盈亏数量"), QStringLiteral("lost_amou"), 22, number}},
          false);
}
